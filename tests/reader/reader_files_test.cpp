// The walk's ports through a reader process (the test program started as
// one): what a reader's stall, crash or balloon costs, and the share watch.
#include "reader/reader_files.h"

#include <gtest/gtest.h>

#include "reader/reader_preparer.h"

#include "reader/reader_server.h"
#include "catalogue/test_files.h"
#include "render/test_jpeg.h"
#include "test_pictures.h"

namespace {

using namespace std::chrono_literals;
using namespace test_files;

// Before main: started as the program's reader, the test program serves and ends.
const bool reader_started = (RunAsReaderIfStartedAsOne(), false);

TEST(ShareWatch, ADeadShareIsSkippedForADoublingBackOff) {
  auto now = std::chrono::steady_clock::time_point{};
  ShareWatch watch([](const std::string& path) { return path.substr(0, path.find('/', 1)); }, [&] { return now; });
  const struct {
    std::chrono::seconds wait;
    bool may_read;
    bool stalls;
  } steps[] = {
      {0s, true, true},                         // stalls: offline for 30 s
      {29s, false, false},                      // still waiting
      {1s, true, true},                         // retried, stalls again: 60 s
      {59s, false, false},  {1s, true, true},   // 120 s
      {120s, true, true},                       // 240 s
      {240s, true, true},                       // 300 s, the longest
      {299s, false, false}, {1s, true, false},  // answers: online again
      {0s, true, true},                         // a new stall starts again at 30 s
      {30s, true, false},
  };
  for (const auto& step : steps) {
    now += step.wait;
    EXPECT_EQ(watch.MayRead("/share/a.jpg"), step.may_read) << (now.time_since_epoch() / 1s);
    EXPECT_TRUE(watch.MayRead("/other/b.jpg"));
    if (step.may_read) step.stalls ? watch.Stalled("/share/b.jpg") : watch.Answered("/share/c.jpg");
  }
}

struct ReaderRig {
  TempFolder dir;
  ShareWatch shares{[](const std::string& path) { return path.find("dead") != std::string::npos ? "dead" : "live"; }};
  // Long enough for a reader to start under Wine on a busy machine, shorter
  // than the slow decode (2 s) that only its heartbeats keep alive.
  ReaderConnection connection{ProgramReaders(64u << 20), 1500ms};
  ReaderFiles files{connection, shares};
  std::string Root() const { return dir.path.string() + static_cast<char>(fs::path::preferred_separator); }
};

TEST(ReaderFiles, AStallCostsOnePatienceAndTakesItsShareOffline) {
  ReaderRig rig;
  const std::string root = rig.Root();
  Write(root + "ok.jpg", "not a picture");
  fs::create_directory(root + "live");
  EXPECT_NE(rig.files.GetAttributes(root + "ok.jpg"), 0u);
  const auto asked = std::chrono::steady_clock::now();
  EXPECT_FALSE(rig.files.OpenFolder(root + "dead-stall-reader" + root.back()));
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 5s);
  // The dead share's other files fail at once, without a reader.
  const int starts = rig.connection.Starts();
  EXPECT_EQ(rig.files.Read(root + "dead-other.jpg").kind, PictureKind::Unknown);
  EXPECT_EQ(rig.connection.Starts(), starts);
  // A fresh reader serves the live share.
  std::unique_ptr<FolderListing> live = rig.files.OpenFolder(root);
  ASSERT_TRUE(live);
  EXPECT_FALSE(live->Identity().empty());
  EXPECT_EQ(rig.connection.Starts(), starts + 1);
}

// A picture that kills its reader costs one reader, once: asked again it is
// unreadable at once, and the next picture gets a fresh reader. A decode
// that reads nothing for longer than the patience is no stall.
TEST(ReaderPreparer, APictureThatKillsItsReaderCostsOneReaderOnce) {
  ReaderRig rig;
  ReaderPreparer preparer(rig.connection, rig.shares);
  struct : DecodeBudget {
    void Reserve(std::size_t) override {}
    void Release(std::size_t) override {}
  } budget;
  PictureRequest request{"", 64, 48};
  for (const char* name : {"crash-reader.png", "crash-reader.png", "fine.png", "slow-decode.webp"}) {
    request.path = rig.Root() + name;
    Write(request.path, name[0] == 's' ? test_pictures::Get("lossy.webp") : "x");
    EXPECT_EQ(preparer.Stamp(request.path).size, name[0] == 'c' ? -1 : fs::file_size(request.path)) << name;
    EXPECT_EQ(preparer.Prepare(request, budget)->bytes > 0, name[0] == 's') << name;
  }
  request.path = rig.Root() + "dated.jpg";  // the day taken comes back with the picture
  Write(request.path, test_jpeg::Jpeg(16, 16, {}, test_jpeg::ExifPayload(1, false, "2023:12:24 10:00:00")));
  EXPECT_EQ(preparer.Prepare(request, budget)->taken, (CalendarDate{2023, 12, 24}));
  EXPECT_EQ(rig.connection.Starts(), 2);
}

}  // namespace
