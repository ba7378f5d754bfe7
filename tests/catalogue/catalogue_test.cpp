// The catalogue over the in-memory file system: the file-system contract,
// then the scan timer, yields, stops and the options preview's catalogue.
#include "catalogue/catalogue.h"

#include "file_system_contract.h"
#include "options/options_dialog.h"
#include "startup/engine_form.h"

namespace {

struct FakeTree {
  FakeFileSystem files;
  FileSystem& Files() { return files; }
  PathStyle Paths() const { return kWindowsPaths; }
  std::string Root() const { return "C:\\"; }
  void Make(const std::string& path, std::uint32_t attributes = kFileArchive) { files.Add(path, attributes); }
  void MakeShortcut(const std::string& folder, const std::string& stem, const std::string& target) {
    files.AddShortcut(folder + stem + ".lnk", target);
  }
  std::string AliasOf(const std::string& folder) {
    files.aliases["C:\\alias\\"] = folder;
    return "C:\\alias\\";
  }
};

class CatalogueTest : public ::testing::Test {
 protected:
  // Seeds from include and lets the scan timer run the walk.
  void ScanByTimer(const std::string& include) {
    s.CurrentSettings.ImageDirectory = include;
    Engine(s).Load();
    SeedCatalogue(s);
    s.ScanDone = false;  // as every caller of the seed does
    Engine(s).tmrScansione().SetEnabled(true);
    f.loop.Advance(1);
  }
  void AddPictures(const std::string& folder, int count) {
    for (int i = 0; i < count; ++i) f.files.Add(folder + std::to_string(100 + i) + ".jpg");
  }

  FakeProgram p;
  FakePorts& f = p.fakes;
  ProgramState& s = p.state;
};

TEST_F(CatalogueTest, NoIncludeFoldersIsDoneAtTheFirstTimerEvent) {
  ScanByTimer("");
  EXPECT_TRUE(s.ScanDone);
  EXPECT_TRUE(EngineLoaded(s));
  EXPECT_FALSE(Engine(s).tmrScansione().Enabled());
  EXPECT_TRUE(f.files.opened.empty());
}

TEST_F(CatalogueTest, StopEndsTheWalkWithinThirtyEntriesOrAtTheFolderEnd) {
  AddPictures("C:\\A\\", 100);
  AddPictures("C:\\B\\", 5);
  AddPictures("C:\\C\\", 1);
  s.CurrentSettings.CheckAspectRatio = 2;  // every picture through the probe (0 x 0 counts as wide)
  for (auto [first, listed] : {std::pair{"C:\\A\\", 30}, {"C:\\B\\", 5}}) {
    f.files.opened.clear();
    f.probe.opened.clear();
    s.StopScan = false;
    f.loop.on_yield = [&] {
      f.loop.on_yield = nullptr;
      s.StopScan = true;
    };
    ScanByTimer(std::string(first) + "\r\nC:\\C\\");
    EXPECT_EQ(s.PictureCount, listed);
    EXPECT_EQ(f.probe.opened.size(), static_cast<std::size_t>(listed));
    EXPECT_FALSE(s.ScanDone);
    EXPECT_FALSE(EngineLoaded(s));
    EXPECT_EQ(f.files.opened, std::vector<std::string>{first});
  }
}

TEST_F(CatalogueTest, PreviewCatalogueStartsAndStopsOnlyWithTheInfoPanel) {
  s.CurrentSettings.ImageDirectory = "C:\\A";
  StartCatalogue(s);  // no dialog
  Options(s).Load();
  StartCatalogue(s);  // the Info panel hidden
  StopCatalogue(s);
  EXPECT_FALSE(EngineLoaded(s));
  EXPECT_EQ(s.FolderCount, 0);
  RestartPreviewCatalogue(s);  // what the guarded calls do with the panel shown
  ASSERT_TRUE(EngineLoaded(s));
  EXPECT_TRUE(Engine(s).tmrScansione().Enabled());
  HaltPreviewCatalogue(s);
  EXPECT_TRUE(s.StopScan);
  EXPECT_FALSE(EngineLoaded(s));
  EXPECT_EQ(f.windows.options_windows[0]->box.clears, 2);
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, FileSystemContract, FakeTree);
