// The walk driven by the platform's own event loop over real folders: other
// timers keep firing while the scan timer's event runs, they see the list
// grow, and hiding the preview from one of them stops the walk at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "catalogue/catalogue.h"
#include "catalogue/file_system.h"
#include "catalogue/image_probe.h"
#include "fakes/fake_ports.h"
#include "platform/event_loop.h"
#include "startup/engine_form.h"
#include "test_files.h"

namespace {

using namespace test_files;

// A probe slow enough that the walk spans many timer intervals.
class SlowProbe final : public ImageProbe {
 public:
  PictureSize Dimensions(const std::string&) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return {1920, 1080};
  }
};

class ScanLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int f = 0; f < kFolders; ++f) {
      const fs::path folder = dir.path() / std::to_string(f);
      fs::create_directory(folder);
      for (int i = 0; i < kPerFolder; ++i) WriteText(folder / (std::to_string(i) + ".jpg"), "");
    }
    s.ports.loop = loop.get();
    s.ports.files = files.get();
    s.ports.probe = &probe;
    s.ports.paths = PlatformPathStyle();
    s.CurrentSettings.ImageDirectory = Utf8(dir.path());
    s.CurrentSettings.Recursive = true;
    s.CurrentSettings.CheckImageSize = 1;  // every picture goes through the slow probe
    Engine(s).Load();
    SeedCatalogue(s);
    s.ScanDone = false;
    Engine(s).tmrScansione().SetEnabled(true);
  }

  // Runs the loop until a handler quits it, or fails after a generous limit.
  int Run() {
    auto watchdog = loop->CreateTimer(30000, [this] { loop->Quit(-1); });
    watchdog->SetEnabled(true);
    return loop->Run();
  }

  static constexpr int kFolders = 4, kPerFolder = 50, kPictures = kFolders * kPerFolder;
  TempFolder dir;
  std::unique_ptr<EventLoop> loop = CreatePlatformEventLoop();
  std::unique_ptr<FileSystem> files = CreatePlatformFileSystem();
  SlowProbe probe;
  FakeProgram p;  // after the loop: T's timers go before the loop does
  ProgramState& s = p.state;
};

TEST_F(ScanLoopTest, OtherTimersRunAndSeeTheListGrowDuringTheWalk) {
  std::vector<std::int32_t> seen;
  auto show = loop->CreateTimer(5, [&] {
    seen.push_back(s.PictureCount);
    if (s.ScanDone) loop->Quit(0);
  });
  show->SetEnabled(true);
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(s.PictureCount, kPictures);
  EXPECT_EQ(s.FolderCount, kFolders + 1);
  EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](std::int32_t n) { return n > 0 && n < kPictures; }))
      << "no tick saw a partial list";
}

TEST_F(ScanLoopTest, HidingThePreviewStopsTheWalkWithinThirtyEntries) {
  std::int32_t at_stop = -1;
  std::unique_ptr<Timer> hide;
  hide = loop->CreateTimer(5, [&] {
    if (s.PictureCount == 0) return;
    hide->SetEnabled(false);
    at_stop = s.PictureCount;
    HaltPreviewCatalogue(s);
    loop->Quit(0);
  });
  hide->SetEnabled(true);
  ASSERT_EQ(Run(), 0);
  loop->DoEvents();  // the interrupted walk returns here, if it had not yet
  ASSERT_GT(at_stop, 0);
  EXPECT_LE(s.PictureCount, at_stop + 30);
  EXPECT_LT(s.PictureCount, kPictures);
  EXPECT_FALSE(s.ScanDone);
  EXPECT_FALSE(EngineLoaded(s));
}

}  // namespace
