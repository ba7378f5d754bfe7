// The catalogue over the in-memory file system: the file-system contract, then
// the scan timer's walk (stops, list growth) and the options preview's catalogue.
#include "catalogue/catalogue.h"

#include "file_system_contract.h"
#include "options/options_dialog.h"
#include "startup/engine_form.h"

namespace {

TEST(CatalogueTest, ScanTimerWalksToTheEndOrToAStopAndGrowsTheListInStepsOfAHundred) {
  const struct { const char* include; bool stop; int pictures; std::size_t slots; const char* opened; } cases[] = {
      {"", false, 0, 101, ""},
      {"C:\\A", false, 100, 101, "C:\\A\\"},
      {"C:\\A\r\nC:\\C", false, 101, 201, "C:\\A\\C:\\C\\"},
      {"C:\\A\r\nC:\\D\r\nC:\\C", false, 251, 301, "C:\\A\\C:\\D\\C:\\C\\"},
      {"C:\\A\r\nC:\\C", true, 30, 101, "C:\\A\\"},  // a stop is seen every 30 entries
      {"C:\\B\r\nC:\\C", true, 5, 101, "C:\\B\\"},    // and at each folder's end
  };
  for (const auto& c : cases) {
    FakeProgram p;
    ProgramState& s = p.state;
    for (auto [folder, count] : {std::pair{"C:\\A\\", 100}, {"C:\\B\\", 5}, {"C:\\C\\", 1}, {"C:\\D\\", 150}})
      for (int i = 0; i < count; ++i) p.fakes.files.Make(folder + std::to_string(i) + ".jpg");
    if (c.stop) p.fakes.loop.on_yield = [&] { s.StopScan = true; };
    s.CurrentSettings.ImageDirectory = c.include;
    Engine(s).Load();
    SeedCatalogue(s);
    s.ScanDone = false;  // as every caller of the seed does
    Engine(s).tmrScansione().SetEnabled(true);
    p.fakes.loop.Advance(1);
    std::string opened;
    for (const std::string& folder : p.fakes.files.opened) opened += folder;
    EXPECT_EQ(std::tuple(s.PictureCount, s.PictureList.size(), opened, s.ScanDone, EngineLoaded(s)),
              std::tuple(c.pictures, c.slots, std::string(c.opened), !c.stop, !c.stop))
        << c.include << " stop " << c.stop;
    EXPECT_FALSE(EngineLoaded(s) && Engine(s).tmrScansione().Enabled());
  }
}

TEST(CatalogueTest, PreviewCatalogueRunsOnlyWithTheInfoPanelShown) {
  FakeProgram p;
  ProgramState& s = p.state;
  s.CurrentSettings.ImageDirectory = "C:\\A";
  StartCatalogue(s);  // no dialog
  Options(s).Load();
  StartCatalogue(s);  // the Info panel hidden
  EXPECT_FALSE(EngineLoaded(s));
  RestartPreviewCatalogue(s);  // what the guarded calls do with the panel shown
  EXPECT_TRUE(EngineLoaded(s) && Engine(s).tmrScansione().Enabled());
  HaltPreviewCatalogue(s);
  EXPECT_TRUE(s.StopScan && !EngineLoaded(s));
  EXPECT_EQ(p.fakes.windows.options_windows[0]->box.clears, 2);  // by the restart's halt, then the halt
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, FileSystemContract, FakeFileSystem);
