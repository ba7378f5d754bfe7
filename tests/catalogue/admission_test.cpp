// AdmitPicture on generated pictures through the header probe, and on
// scripted sizes for the ratio arithmetic.
#include "catalogue/admission.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "fakes/fake_services.h"
#include "decode/picture_probe.h"
#include "render/test_jpeg.h"
#include "test_files.h"

namespace {

using namespace test_files;

TEST(AdmissionTest, BoundarySizesAndRatios) {
  TempFolder dir;
  FakePictureProbe fake;
  const std::unique_ptr<PictureProbe> probe = CreateHeaderProbe();
  using S = SizeFilter;
  using A = AspectFilter;
  // file: made at width x height ("text.jpg": text; with an orientation: a JPEG
  // stored so, measured upright as it is shown); null: the fake probe answers.
  const struct { const char* file; std::int64_t width, height; S size; A ratio; bool admitted; int orientation = 0; }
  cases[] = {
      {"a.bmp", 1024, 768, S::Min1024x768, A::All, true},
      {"b.bmp", 1023, 768, S::Min1024x768, A::All, false},
      {"c.bmp", 1024, 767, S::Min1024x768, A::All, false},
      {"d \xe5\x86\x99.bmp", 1920, 1200, S::Min1920x1200, A::All, true},
      {"e.bmp", 1200, 1920, S::Min1920x1200, A::All, false},  // portrait: no rotation
      {"e.bmp", 1200, 1920, S::Off, A::Narrow, true},
      {"f.bmp", 1500, 1000, S::Off, A::Wide, true},
      {"f.bmp", 1500, 1000, S::Off, A::Narrow, false},
      {"a.bmp", 1024, 768, S::Off, A::Wide, false},
      {"text.jpg", 0, 0, S::Min320x200, A::All, false},  // unreadable: 0 x 0
      {"text.jpg", 0, 0, S::Off, A::Wide, true},         // 0 / 0 counts as wide
      {"text.jpg", 0, 0, S::Off, A::Narrow, false},
      {nullptr, 14999998, 9999999, S::Off, A::Wide, true},  // 1.5 in single precision, below it in double
      {nullptr, 1920, 1080, S::Min1024x768, A::Narrow, false},  // both filters must pass
      {"g.jpg", 1600, 900, S::Off, A::Narrow, true, 6},           // 900 x 1600
      {"g.jpg", 1600, 900, S::Off, A::Wide, false, 6},
      {"g.jpg", 1600, 900, S::Off, A::Wide, true, 3},  // half a turn: still 1600 x 900
      {"g.jpg", 1920, 1200, S::Min1920x1200, A::All, false, 6},  // a portrait must meet the width itself
      {"g.jpg", 1200, 1920, S::Min1920x1200, A::All, true, 8},
  };
  SaverSettings settings;
  for (const auto& c : cases) {
    const std::string path = c.file ? Utf8(dir.path / FromUtf8(c.file)) : "P";
    const int w = int(c.width), h = int(c.height);
    if (c.file) Write(path, c.orientation ? test_jpeg::Jpeg(w, h, {}, test_jpeg::ExifPayload(c.orientation))
                            : path.ends_with(".jpg") ? "not a picture" : Bmp(w, h));
    fake.Set("P", c.width, c.height);
    settings.size_filter = c.size;
    settings.aspect_filter = c.ratio;
    EXPECT_EQ(AdmitPicture(settings, c.file ? *probe : fake, path), c.admitted)
        << (c.file ? c.file : "") << " " << c.width << "x" << c.height;
  }
}

// The dialog shows each row's text and the filter uses its numbers: they must agree.
TEST(AdmissionTest, EverySizeRowSaysWhatItAsksFor) {
  for (std::size_t i = 1; i < kImageSizeOptions.size(); ++i) {
    const ImageSizeOption& row = kImageSizeOptions[i];
    int width = 0, height = 0;
    ASSERT_EQ(std::sscanf(row.text, "%dx%d", &width, &height), 2) << row.text;
    EXPECT_EQ(std::pair(float(width), float(height)), std::pair(row.min_width, row.min_height)) << row.text;
  }
}

}  // namespace
