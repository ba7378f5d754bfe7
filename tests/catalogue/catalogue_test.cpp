// The catalogue over the in-memory file system: the file-system contract, then
// the scan timer's walk, in chunks handed back through the event loop, to its
// end or to a stop.
#include "catalogue/catalogue.h"

#include "file_system_contract.h"

namespace {

TEST(CatalogueTest, ScanTimerWalksToTheEndOrToAStop) {
  const struct { const char* include; bool stop; int pictures; const char* opened; } cases[] = {
      {"", false, 0, ""},
      {"C:\\A", false, 100, "C:\\A\\"},
      {"C:\\A\r\nC:\\D\r\nC:\\C", false, 251, "C:\\A\\C:\\D\\C:\\C\\"},
      {"C:\\A\r\nC:\\C", true, 30, "C:\\A\\"},        // a stop is seen every 30 entries
      {"C:\\B\r\nC:\\C", true, 5, "C:\\B\\C:\\C\\"},  // and at each folder's end
  };
  for (const auto& c : cases) {
    FakeShow s;
    for (auto [folder, count] : {std::pair{"C:\\A\\", 100}, {"C:\\B\\", 5}, {"C:\\C\\", 1}, {"C:\\D\\", 150}})
      for (int i = 0; i < count; ++i) s.fakes.files.Make(folder + std::to_string(i) + ".jpg");
    s.settings.include_folders = c.include;
    s.timers.Start();
    s.catalogue.Seed();
    s.catalogue.StartScan();
    s.catalogue.OnScanTimer();
    // The first chunk comes back; a stop asked for now is seen at the next one.
    s.fakes.loop.RunPosted(c.stop ? 2 : 100000);
    if (c.stop) s.catalogue.RequestStop();
    s.fakes.loop.RunPosted();
    std::string opened;
    for (const std::string& folder : s.fakes.files.opened) opened += folder;
    EXPECT_EQ(std::tuple(s.catalogue.PictureCount(), opened, s.catalogue.ScanDone(), s.timers.IsRunning()),
              std::tuple(c.pictures, std::string(c.opened), !c.stop, !c.stop))
        << c.include << " stop " << c.stop;
    EXPECT_FALSE(s.timers.IsRunning() && s.timers.ScanTimer().Enabled());
  }
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, FileSystemContract, FakeFileSystem);
