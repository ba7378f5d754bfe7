// The graphics library's session: started once, stopped once, and never
// stopped under a picture thread.
#include "render/graphics.h"

#include <gtest/gtest.h>

#include "fakes/fake_services.h"

namespace {

// Started once, stopped once; a failure shows the critical message with the
// default title and ends without any clean-up.
TEST(GraphicsSession, StartsOnceAndStopsOnce) {
  FakeServices fakes;
  GraphicsSession session(fakes.graphics, fakes.system);
  session.Stop();  // never started: nothing to stop
  session.Start();
  session.Start();
  EXPECT_EQ(fakes.graphics.starts, 1);
  session.Stop();
  session.Stop();
  EXPECT_EQ(fakes.graphics.stops, 1);
  fakes.graphics.fail = true;  // a later need starts it again
  try {
    session.Start();
    ADD_FAILURE() << "the program goes on";
  } catch (const ProcessEnded& end) {
    EXPECT_EQ(end.exit_code, 1);
  }
  EXPECT_EQ(fakes.graphics.starts, 2);
  const FakeSystem::Box& box = fakes.system.boxes.at(0);
  EXPECT_EQ(box.text + "|" + box.title, "Error loading GDI+!|");
  EXPECT_EQ(box.style, MessageBoxStyle::Critical);
  EXPECT_EQ(fakes.system.calls, (std::vector<std::string>{"MessageBox", "EndProcess"}));
}

// The end comes while a picture thread is inside the graphics library: the
// library is left running (the process ends next), and no thread enters after.
TEST(GraphicsSession, NotStoppedUnderAPictureThread) {
  FakeShow s;
  bool entered_after = true;
  s.fakes.preparer.while_decoding = [&s, &entered_after] {
    s.graphics.Stop();
    entered_after = s.graphics.Gate()->Enter();
  };
  s.supply.Request(PictureRequest{FakeShow::Picture(0), 10, 10}, true);
  EXPECT_EQ(s.fakes.graphics.stops, 0);
  EXPECT_FALSE(entered_after);
}

}  // namespace
