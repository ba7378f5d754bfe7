// Catalogue start and the folder walk over the in-memory file system: queue
// seeding, breadth-first order, growth, yields, stops and the guards against
// endless and overlapping walks. Extensions, exclusions and shortcuts on real
// trees: file_system_contract.h.
#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/folder_scan.h"
#include "fakes/fake_ports.h"
#include "options/options_dialog.h"
#include "startup/engine_form.h"

namespace {

std::vector<std::string> Used(const std::vector<std::string>& list, std::int32_t count) {
  return std::vector<std::string>(list.begin(), list.begin() + count);
}

class CatalogueTest : public ::testing::Test {
 protected:
  // Seeds from the settings and runs the scan timer's event to its end.
  ScanEnd Scan(const std::string& include, bool recursive = true, const std::string& exclude = "") {
    s.CurrentSettings.ImageDirectory = include;
    s.CurrentSettings.ExcludeDirectory = exclude;
    s.CurrentSettings.Recursive = recursive;
    SeedCatalogue(s);
    s.ScanDone = false;  // as every caller of the seed does before arming the timer
    // A walk that never ends fails instead of hanging the suite.
    if (!f.loop.on_yield) f.loop.on_yield = [this] { s.StopScan = s.StopScan || f.loop.yields > 10000; };
    return ScanQueue(s);
  }
  std::vector<std::string> Pictures() const { return Used(s.PictureList, s.PictureCount); }
  std::vector<std::string> Folders() const { return Used(s.FolderQueue, s.FolderCount); }
  void AddPictures(const std::string& folder, int count) {
    for (int i = 0; i < count; ++i) f.files.Add(folder, std::to_string(i) + ".jpg");
  }

  FakeProgram p;
  FakePorts& f = p.fakes;
  ProgramState& s = p.state;
};

TEST_F(CatalogueTest, SeedNormalisesIncludesAndDropsExactExcludes) {
  s.CurrentSettings.ImageDirectory = "C:\\A\r\nC:\\B\\\r\n\r\n  C:\\C \r\nC:\\X\r\nC:\\A\\";
  s.CurrentSettings.ExcludeDirectory = "C:\\X\r\n\r\nc:\\b\\";
  SeedCatalogue(s);
  // The separator is added before trimming; case decides; a repeated folder is queued once.
  EXPECT_EQ(Folders(), (std::vector<std::string>{"C:\\A\\", "C:\\B\\", "C:\\C \\"}));
  EXPECT_EQ(s.ExcludeList, (std::vector<std::string>{"C:\\X\\", "", "c:\\b\\"}));
  EXPECT_EQ(s.PictureCount, 0);
  EXPECT_EQ(s.PictureList.size(), 101u);
  EXPECT_EQ(s.FolderQueue.size(), 101u);
}

TEST_F(CatalogueTest, SeedUsesThePlatformSeparator) {
  s.ports.paths = kPosixPaths;
  s.CurrentSettings.ImageDirectory = "/home/u/Pictures\r\n/srv/photos/";
  s.CurrentSettings.ExcludeDirectory = "/srv/photos";
  SeedCatalogue(s);
  EXPECT_EQ(Folders(), (std::vector<std::string>{"/home/u/Pictures/"}));
}

TEST_F(CatalogueTest, ListsGrowInStepsOfAHundred) {
  std::string includes;
  for (int i = 0; i < 150; ++i) includes += "C:\\F" + std::to_string(i) + "\r\n";
  s.CurrentSettings.ImageDirectory = includes;
  SeedCatalogue(s);
  EXPECT_EQ(s.FolderCount, 150);
  EXPECT_EQ(s.FolderQueue.size(), 201u);  // grown once, after the hundredth

  for (auto [count, slots] : {std::pair{100, 101u}, {101, 201u}, {250, 301u}}) {
    FakeProgram q;
    for (int i = 0; i < count; ++i) q.fakes.files.Add("C:\\P\\", std::to_string(i) + ".jpg");
    q.state.CurrentSettings.ImageDirectory = "C:\\P\\";
    SeedCatalogue(q.state);
    ScanQueue(q.state);
    EXPECT_EQ(q.state.PictureCount, count);
    EXPECT_EQ(q.state.PictureList.size(), slots) << count;
  }
}

TEST_F(CatalogueTest, EmptyIncludeListIsDoneAtTheFirstTimerEvent) {
  EngineForm& engine = Engine(s);
  engine.Load();
  SeedCatalogue(s);
  engine.tmrScansione().SetEnabled(true);
  f.loop.Advance(1);
  EXPECT_TRUE(s.ScanDone);
  EXPECT_TRUE(engine.IsLoaded());
  EXPECT_FALSE(engine.tmrScansione().Enabled());
  EXPECT_TRUE(f.files.opened.empty());
}

TEST_F(CatalogueTest, WalksBreadthFirstAndTakesPicturesByTheirLastFourCharacters) {
  f.files.Add("C:\\A\\", "1.jpg");
  f.files.Add("C:\\A\\", "sub", kFileDirectory);
  f.files.Add("C:\\A\\", "2.PNG");
  for (const char* refused : {"x.jpeg", "x.tif", "x.tiff", "x.txt", "jpg", "x.jpg.bak"})
    f.files.Add("C:\\A\\", refused);
  f.files.Add("C:\\A\\sub\\", "deeper", kFileDirectory);
  f.files.Add("C:\\A\\sub\\", "3.Gif");
  f.files.Add("C:\\A\\sub\\deeper\\", "4.bmp");
  f.files.Add("C:\\A\\sub\\deeper\\", "5.WMF", kFileHidden | kFileReadOnly);
  f.files.Add("C:\\A\\sub\\deeper\\", "6.jpg", kFileSystem | kFileHidden);
  f.files.Add("C:\\A\\sub\\deeper\\", "7.jpg", 0);  // unreadable attributes: a file
  f.files.Add("C:\\B\\", "8.jpg");

  EXPECT_EQ(Scan("C:\\A\r\nC:\\B"), ScanEnd::kDone);
  EXPECT_TRUE(s.ScanDone);
  EXPECT_EQ(Folders(), (std::vector<std::string>{"C:\\A\\", "C:\\B\\", "C:\\A\\sub\\", "C:\\A\\sub\\deeper\\"}));
  EXPECT_EQ(Pictures(), (std::vector<std::string>{"C:\\A\\1.jpg", "C:\\A\\2.PNG", "C:\\B\\8.jpg", "C:\\A\\sub\\3.Gif",
                                                  "C:\\A\\sub\\deeper\\4.bmp", "C:\\A\\sub\\deeper\\5.WMF",
                                                  "C:\\A\\sub\\deeper\\7.jpg"}));
  // Both filters off: no file was opened.
  EXPECT_TRUE(f.probe.opened.empty());
}

TEST_F(CatalogueTest, LinksBackToAFolderAlreadyWalkedEndTheWalk) {
  f.files.Add("C:\\A\\", "1.jpg");
  f.files.Add("C:\\A\\", "sub", kFileDirectory);
  f.files.AddShortcut("C:\\A\\sub\\", "up.lnk", "C:\\A");
  // The same folder under another name (another case, a junction).
  f.files.AddShortcut("C:\\A\\sub\\", "alias.lnk", "C:\\a");
  f.files.AddAlias("C:\\a\\", "C:\\A\\");
  EXPECT_EQ(Scan("C:\\A\\"), ScanEnd::kDone);
  EXPECT_EQ(Folders(), (std::vector<std::string>{"C:\\A\\", "C:\\A\\sub\\", "C:\\a\\"}));
  EXPECT_EQ(Pictures(), (std::vector<std::string>{"C:\\A\\1.jpg"}));
}

TEST_F(CatalogueTest, FiltersDecideThroughTheProbe) {
  f.files.Add("C:\\A\\", "big.jpg");
  f.files.Add("C:\\A\\", "small.jpg");
  f.files.Add("C:\\A\\", "text.jpg");
  f.probe.sizes["C:\\A\\big.jpg"] = {1920, 1080};
  f.probe.sizes["C:\\A\\small.jpg"] = {640, 480};
  s.CurrentSettings.CheckImageSize = 4;
  Scan("C:\\A\\");
  EXPECT_EQ(Pictures(), (std::vector<std::string>{"C:\\A\\big.jpg"}));
  EXPECT_EQ(f.probe.opened.size(), 3u);
}

TEST_F(CatalogueTest, YieldsEveryThirtyEntriesAndAfterEachFolder) {
  AddPictures("C:\\A\\", 95);
  f.files.Add("C:\\A\\", ".");
  f.files.Add("C:\\A\\", "..");
  f.files.Add("C:\\B\\", "1.jpg");
  Scan("C:\\A\r\nC:\\B");
  // 30, 60, 90 in A; one after each of the two folders.
  EXPECT_EQ(f.loop.yields, 3 + 2);
}

TEST_F(CatalogueTest, StopRequestEndsTheWalkWithinThirtyEntries) {
  AddPictures("C:\\A\\", 100);
  f.files.Add("C:\\B\\", "1.jpg");
  Engine(s).Load();
  f.loop.on_yield = [&] {
    f.loop.on_yield = nullptr;
    s.StopScan = true;
  };
  EXPECT_EQ(Scan("C:\\A\r\nC:\\B"), ScanEnd::kStopped);
  EXPECT_EQ(s.PictureCount, 30);
  EXPECT_FALSE(s.ScanDone);
  EXPECT_FALSE(EngineLoaded(s));  // the walk unloads T itself
  EXPECT_EQ(f.files.opened, (std::vector<std::string>{"C:\\A\\"}));
}

TEST_F(CatalogueTest, StopBetweenFoldersEndsBeforeTheNextFolder) {
  AddPictures("C:\\A\\", 5);
  AddPictures("C:\\B\\", 5);
  Engine(s).Load();
  s.CurrentSettings.ImageDirectory = "C:\\A\r\nC:\\B";
  SeedCatalogue(s);
  Engine(s).tmrScansione().SetEnabled(true);
  f.loop.on_yield = [&] {
    f.loop.on_yield = nullptr;
    HaltPreviewCatalogue(s);  // what hiding the Info panel does
  };
  f.loop.Advance(1);
  EXPECT_EQ(s.PictureCount, 5);
  EXPECT_FALSE(s.ScanDone);
  EXPECT_FALSE(EngineLoaded(s));
}

TEST_F(CatalogueTest, RestartDuringAWalkReplacesItWithoutMixingTheLists) {
  AddPictures("C:\\A\\", 40);
  f.files.Add("C:\\B\\", "b.jpg");
  s.CurrentSettings.ImageDirectory = "C:\\A\\";
  Engine(s).Load();
  SeedCatalogue(s);
  Engine(s).tmrScansione().SetEnabled(true);
  f.loop.on_yield = [&] {
    f.loop.on_yield = nullptr;
    s.CurrentSettings.ImageDirectory = "C:\\B\\";  // the user changed the folders
    RestartPreviewCatalogue(s);
  };
  f.loop.Advance(1);  // the old walk stops at its first yield; the new one waits for its own tick
  EXPECT_EQ(s.PictureCount, 0);
  EXPECT_FALSE(s.ScanDone);
  ASSERT_TRUE(EngineLoaded(s));
  EXPECT_TRUE(Engine(s).tmrScansione().Enabled());
  f.loop.Advance(1);
  EXPECT_TRUE(s.ScanDone);
  EXPECT_EQ(Pictures(), (std::vector<std::string>{"C:\\B\\b.jpg"}));
}

TEST_F(CatalogueTest, StartAndStopDoNothingWithoutTheInfoPanel) {
  s.CurrentSettings.ImageDirectory = "C:\\A\\";
  StartCatalogue(s);  // no dialog at all
  Options(s).Load();
  StartCatalogue(s);  // dialog, Info panel hidden
  StopCatalogue(s);
  EXPECT_FALSE(EngineLoaded(s));
  EXPECT_EQ(f.loop.yields, 0);
  EXPECT_EQ(s.FolderCount, 0);
  EXPECT_EQ(f.windows.options_windows[0]->box.clears, 0);
}

TEST_F(CatalogueTest, PreviewStartQueuesAndArmsTheScanTimer) {
  Options(s).Load();
  s.StopScan = true;
  s.CurrentIndex = 7;
  s.CurrentSettings.ImageDirectory = "C:\\A";
  RestartPreviewCatalogue(s);
  ASSERT_TRUE(EngineLoaded(s));
  EXPECT_TRUE(Engine(s).tmrScansione().Enabled());
  EXPECT_FALSE(s.StopScan);
  EXPECT_FALSE(s.ScanDone);
  EXPECT_EQ(s.CurrentIndex, -1);
  EXPECT_EQ(Folders(), (std::vector<std::string>{"C:\\A\\"}));
  EXPECT_EQ(f.loop.yields, 4);  // two in the stop, one after it, one after arming
  EXPECT_EQ(f.windows.options_windows[0]->box.clears, 1);
}

TEST_F(CatalogueTest, PreviewStopUnloadsTheEngineAndClearsThePreview) {
  Options(s).Load();
  Engine(s).Load();
  HaltPreviewCatalogue(s);
  EXPECT_TRUE(s.StopScan);
  EXPECT_FALSE(s.ScanDone);
  EXPECT_FALSE(EngineLoaded(s));
  EXPECT_EQ(f.loop.yields, 2);
  EXPECT_EQ(f.windows.options_windows[0]->box.clears, 1);
}

TEST_F(CatalogueTest, TimerEventRunsOnlyWhenArmedAndNotDone) {
  f.files.Add("C:\\A\\", "1.jpg");
  s.CurrentSettings.ImageDirectory = "C:\\A";
  Engine(s).Load();
  SeedCatalogue(s);
  tmrScansione_Timer(s);  // timer disabled: nothing
  EXPECT_EQ(s.PictureCount, 0);
  Engine(s).tmrScansione().SetEnabled(true);
  s.ScanDone = true;
  tmrScansione_Timer(s);  // already done: nothing
  EXPECT_EQ(s.PictureCount, 0);
  s.ScanDone = false;
  tmrScansione_Timer(s);
  EXPECT_EQ(s.PictureCount, 1);
  EXPECT_TRUE(s.ScanDone);
}

}  // namespace
