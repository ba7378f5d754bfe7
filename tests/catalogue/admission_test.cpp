// AdmitPicture on generated pictures through the platform's probe (headers on
// Linux, GDI+ on Windows), and on scripted sizes for the ratio arithmetic.
#include "catalogue/admission.h"

#include <gtest/gtest.h>

#include <limits>

#include "catalogue/image_probe.h"
#include "fakes/fake_ports.h"
#include "startup/graphics.h"
#include "test_files.h"

namespace {

using namespace test_files;

TEST(AdmissionTest, BoundarySizesAndRatios) {
  TempFolder dir;
  FakeProgram p;
  ProgramState& s = p.state;
  const std::unique_ptr<GraphicsLibrary> graphics = CreatePlatformGraphics();
  const std::unique_ptr<ImageProbe> probe = CreatePlatformImageProbe();
  s.ports.graphics = graphics.get();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  // file: made at width x height ("text.jpg": text); null: the fake probe answers.
  const struct { const char* file; float width, height; std::int16_t size_check, ratio_check; bool admitted; } cases[] = {
      {"a.bmp", 1024, 768, 4, 0, true},   {"b.bmp", 1023, 768, 4, 0, false},  {"c.bmp", 1024, 767, 4, 0, false},
      {"d \xe5\x86\x99.bmp", 1920, 1200, 11, 0, true}, {"e.bmp", 1200, 1920, 11, 0, false},  // portrait: no rotation
      {"e.bmp", 1200, 1920, 0, 1, true},  {"f.bmp", 1500, 1000, 0, 2, true},   {"f.bmp", 1500, 1000, 0, 1, false},
      {"a.bmp", 1024, 768, 0, 2, false},  {"a.bmp", 1024, 768, 0, 1, true},
      {"text.jpg", 0, 0, 1, 0, false},  // unreadable: 0 x 0
      {"text.jpg", 0, 0, 0, 2, true},   // 0 / 0 counts as wide
      {"text.jpg", 0, 0, 0, 1, false},
      {nullptr, 14999998, 9999999, 0, 2, true},  // 1.5 in single precision, below it in double
      {nullptr, nan, nan, 0, 2, true},   {nullptr, 1, 1, 13, 0, true},  // past the table: no minimum
      {nullptr, 1920, 1080, 4, 1, false},                               // both filters must pass
      {nullptr, 1920, 1080, 0, 3, false},                               // no class past 2
  };
  for (const auto& c : cases) {
    const std::string path = c.file ? Utf8(dir.path / FromUtf8(c.file)) : "P";
    if (c.file) Write(path, path.ends_with(".jpg") ? "not a picture" : Bmp(int(c.width), int(c.height)));
    p.fakes.probe.sizes["P"] = {c.width, c.height};
    s.ports.probe = c.file ? probe.get() : &p.fakes.probe;
    s.CurrentSettings.CheckImageSize = c.size_check;
    s.CurrentSettings.CheckAspectRatio = c.ratio_check;
    EXPECT_EQ(AdmitPicture(s, path), c.admitted)
        << (c.file ? c.file : "") << " " << c.width << "x" << c.height << " size " << c.size_check << " ratio "
        << c.ratio_check;
  }
  StopGdiplus(s);
}

}  // namespace
