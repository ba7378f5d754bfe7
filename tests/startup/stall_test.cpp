// The saver over file work that stalls as on a dead share, with the walk and
// the decoding on real threads (the stall is a real two-second sleep): the
// UI thread never waits for a stalled call, the show goes on with what the
// healthy files hold, and Escape ends the saver at once while the stall
// lasts. Each case waits a fraction of the stall and leaves its stalled
// threads behind, as the program does.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fakes/fake_services.h"
#include "fakes/slow_files.h"
#include "platform/work_queue.h"
#include "settings/settings_io.h"
#include "startup/program.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kStallLength = 2000ms;
constexpr auto kWaitLimit = 200ms;  // what a case waits for the show at most
constexpr auto kPromptly = 100ms;   // a UI-thread turn, and the end after Escape
// Short, so that a stuck decode is left behind well within a case's wait.
constexpr auto kPatience = 30ms;
constexpr int kEscape = 27;

// What a stalled call may still touch after its case is over.
struct StallWorld {
  StallWorld(const std::string& marked, unsigned points) : stall(marked, points, kStallLength) {}
  Stall stall;
  FakeEventLoop loop;
  FakeFileSystem fake_files;
  FakePictureProbe fake_probe;
  RecordingPreparer fake_preparer;
  SlowFileSystem files{fake_files, stall};
  SlowProbe probe{fake_probe, stall};
  SlowPreparer preparer{fake_preparer, stall};
};

// Never freed: a stalled thread may wake while the test binary exits.
StallWorld& KeepToTheEnd(std::unique_ptr<StallWorld> world) {
  static auto* kept = new std::vector<std::unique_ptr<StallWorld>>;
  kept->push_back(std::move(world));
  return *kept->back();
}

struct StallRig {
  StallRig(const std::string& marked, unsigned points) : w(KeepToTheEnd(std::make_unique<StallWorld>(marked, points))) {
    // A stalled decode holds more than the budget leaves for the next one.
    w.preparer.reserve = kPictureMemoryBudget * 3 / 4;
  }
  StallWorld& w;
  FakeServices f;  // the ports that never stall
  std::unique_ptr<WorkQueue> walk_queue = CreateThreadWorkQueue(kPatience);
  std::unique_ptr<WorkQueue> picture_queue = CreateThreadWorkQueue(kPatience);
  Program program{{w.loop, f.system, f.windows, f.registry, f.display, f.graphics, w.files, w.probe, w.preparer,
                   *walk_queue, *picture_queue, f.power, f.dialogs, kWindowsPaths, f.windows.HiddenWindows(),
                   f.windows.SaverWindows(), f.windows.OptionsWindows()}};
};

bool Drawn(const RecordingPictureBox& box, const std::string& path) {
  for (const std::string& line : box.log)
    if (line.rfind("DrawPicture(" + path + ",", 0) == 0 && line.find(",none)") == std::string::npos) return true;
  return false;
}

TEST(Stall, SaverEndsAtOnceWhileFileWorkStalls) {
  // size_filter: on, headers are read during the walk; shown: drawn while the stall lasts
  const struct { const char* name; unsigned points; const char *marked, *include_folders; SizeFilter size_filter;
                 const char* shown; } cases[] = {
      {"folder open", kStallOpenFolder, "C:\\slow\\", "C:\\fast\\\r\nC:\\slow\\", SizeFilter::Off,
       "C:\\fast\\p000.jpg"},
      {"folder listing", kStallListing, "C:\\slow\\", "C:\\fast\\\r\nC:\\slow\\", SizeFilter::Off,
       "C:\\fast\\p000.jpg"},
      {"header read", kStallHeader, "C:\\slow\\", "C:\\fast\\\r\nC:\\slow\\", SizeFilter::Min640x480,
       "C:\\fast\\p000.jpg"},
      // The first picture's decode is left behind and its memory given back;
      // the second one shows at the next slide.
      {"picture read", kStallDecode, "C:\\fast\\p000.jpg", "C:\\fast\\", SizeFilter::Off, "C:\\fast\\p001.jpg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StallRig r(c.marked, c.points);
    for (const char* path : {"C:\\fast\\p000.jpg", "C:\\fast\\p001.jpg", "C:\\slow\\s000.jpg", "C:\\slow\\s001.jpg"}) {
      r.w.fake_files.Make(path);
      r.w.fake_probe.Set(path, 1024, 768);
      r.w.fake_preparer.pictures[path] = {1024, 768};
    }
    SaverSettings settings = MakeDefaultSettings();
    settings.include_folders = c.include_folders;
    settings.random_order = false;
    settings.size_filter = c.size_filter;
    SaveSettings(r.f.registry, RestoreIdentity().settings_key, settings);
    r.f.display.AddMonitor(0, 0, 1920, 1080, true);

    const Clock::time_point start = Clock::now();
    ASSERT_TRUE(r.program.Main("/S"));
    Clock::duration longest_turn = Clock::now() - start;
    const RecordingPictureBox& box = r.f.windows.saver_windows.at(0)->box;
    // The UI thread's loop: what the workers posted, then a second of the
    // show's virtual time, until the picture is drawn and a frame came while
    // the stall lasted.
    int frames_at_stall = -1;
    while (Clock::now() - start < kWaitLimit) {
      const Clock::time_point turn = Clock::now();
      if (frames_at_stall < 0 && r.w.stall.Begun() > 0) frames_at_stall = box.refreshes;
      r.w.loop.RunPosted();
      r.w.loop.Advance(1000);
      longest_turn = std::max(longest_turn, Clock::now() - turn);
      if (Drawn(box, c.shown) && frames_at_stall >= 0 && box.refreshes > frames_at_stall) break;
      std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(Drawn(box, c.shown));
    EXPECT_GE(frames_at_stall, 0) << "the stall never began";
    EXPECT_GT(box.refreshes, frames_at_stall) << "no frame while the stall lasted";
    EXPECT_LT(longest_turn, kPromptly);
    EXPECT_FALSE(r.w.stall.StalledUiThread());

    EXPECT_GE(r.w.stall.Stalling(), 1);  // Escape comes while a call stalls
    const Clock::time_point key = Clock::now();
    int exit_code = -1;
    try {
      r.f.windows.saver_windows.at(0)->events.OnKeyDown(kEscape, 0);
    } catch (const ProcessEnded& end) {
      exit_code = end.exit_code;
    }
    const auto ending = Clock::now() - key;
    EXPECT_EQ(exit_code, 0);
    EXPECT_LT(ending, kPromptly);
    EXPECT_FALSE(r.w.stall.StalledUiThread());
  }
}

}  // namespace
