// The platform's image probe (gdk-pixbuf headers on Linux, GDI+ on Windows)
// and the admission check on real, generated pictures at the boundary sizes.
#include "catalogue/image_probe.h"

#include <gtest/gtest.h>

#include "catalogue/admission.h"
#include "fakes/fake_ports.h"
#include "startup/graphics.h"
#include "test_files.h"

namespace {

using namespace test_files;

class ImageProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir.path().empty());
    s.ports.graphics = graphics.get();
    s.ports.probe = probe.get();
    StartGdiplus(s);  // the probe needs GDI+ on Windows
  }
  void TearDown() override { StopGdiplus(s); }

  std::string Path(const std::string& name) { return Utf8(dir.path() / FromUtf8(name)); }
  bool Admit(const std::string& name, std::int16_t size_check, std::int16_t ratio_check) {
    s.CurrentSettings.CheckImageSize = size_check;
    s.CurrentSettings.CheckAspectRatio = ratio_check;
    return AdmitPicture(s, Path(name));
  }

  TempFolder dir;
  std::unique_ptr<GraphicsLibrary> graphics = CreatePlatformGraphics();
  std::unique_ptr<ImageProbe> probe = CreatePlatformImageProbe();
  FakeProgram p;
  ProgramState& s = p.state;
};

TEST_F(ImageProbeTest, MeasuresPicturesAndGivesZeroForAnythingElse) {
  WritePng(dir.path() / "wide.png", 1920, 1080);
  WritePng(dir.path() / "odd.png", 1023, 767);
  WritePng(dir.path() / "png inside.jpg", 640, 480);  // the content decides, not the name
  WriteWmf(dir.path() / "drawing.wmf", -100, -50, 900, 450, 576);
  const std::string unicode = Utf8(u8"\u00dcn\u00efc\u00f8d\u00e9 \u2600 \u5199\u771f.png");
  WritePng(dir.path() / FromUtf8(unicode), 320, 200);
  WriteText(dir.path() / "notes.jpg", "not a picture at all\n");
  WriteText(dir.path() / "empty.png", "");
  const struct {
    std::string name;
    float width, height;
  } cases[] = {
      {"wide.png", 1920, 1080},     {"odd.png", 1023, 767},
      {"png inside.jpg", 640, 480}, {"drawing.wmf", 1000, 500},  // the bounding box, as GDI+ reports it
      {unicode, 320, 200},          {"notes.jpg", 0, 0},
      {"empty.png", 0, 0},          {"missing.jpg", 0, 0},
  };
  for (const auto& c : cases) {
    const PictureSize size = probe->Dimensions(Path(c.name));
    EXPECT_EQ(size.width, c.width) << c.name;
    EXPECT_EQ(size.height, c.height) << c.name;
  }
}

TEST_F(ImageProbeTest, AdmissionAtTheBoundarySizes) {
  WritePng(dir.path() / "1024x768.png", 1024, 768);
  WritePng(dir.path() / "1023x768.png", 1023, 768);
  WritePng(dir.path() / "1024x767.png", 1024, 767);
  WritePng(dir.path() / "1920x1200.png", 1920, 1200);
  WritePng(dir.path() / "1200x1920.png", 1200, 1920);
  WritePng(dir.path() / "1500x1000.png", 1500, 1000);
  WritePng(dir.path() / "1000x1000.png", 1000, 1000);
  WriteText(dir.path() / "text.jpg", "hello");
  const struct {
    const char* name;
    std::int16_t size_check, ratio_check;
    bool admitted;
  } cases[] = {
      {"1024x768.png", 4, 0, true},   {"1023x768.png", 4, 0, false},   {"1024x767.png", 4, 0, false},
      {"1920x1200.png", 11, 0, true}, {"1200x1920.png", 11, 0, false}, {"1500x1000.png", 0, 2, true},
      {"1500x1000.png", 0, 1, false}, {"1024x768.png", 0, 1, true},    {"1024x768.png", 0, 2, false},
      {"1000x1000.png", 0, 2, false}, {"1200x1920.png", 0, 1, true},   {"text.jpg", 0, 0, true},
      {"text.jpg", 1, 0, false},      {"text.jpg", 0, 2, true},        {"text.jpg", 0, 1, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Admit(c.name, c.size_check, c.ratio_check), c.admitted)
        << c.name << " size " << c.size_check << " ratio " << c.ratio_check;
}

}  // namespace
