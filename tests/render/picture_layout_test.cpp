// Where each scale mode puts a picture, on the worked examples.
#include "render/picture_layout.h"

#include <gtest/gtest.h>

namespace {

struct LayoutCase {
  const char* name;
  float w, h, areaW, areaH;
  std::int16_t mode;
  bool preview;
  float x, y, dw, dh;
};

class LayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTest, PlacesThePicture) {
  const LayoutCase& c = GetParam();
  const PicturePlacement p = PlacePicture(c.w, c.h, c.areaW, c.areaH, c.mode, c.preview);
  ASSERT_TRUE(p.Draw);
  EXPECT_FLOAT_EQ(p.X, c.x);
  EXPECT_FLOAT_EQ(p.Y, c.y);
  EXPECT_FLOAT_EQ(p.Width, c.dw);
  EXPECT_FLOAT_EQ(p.Height, c.dh);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, LayoutTest,
    ::testing::Values(LayoutCase{"SmallCentred", 640, 480, 1920, 1080, 0, false, 640, 300, 640, 480},
                      LayoutCase{"SmallUpscaled", 640, 480, 1920, 1080, 1, false, 240, 0, 1440, 1080},
                      LayoutCase{"SmallStretched", 640, 480, 1920, 1080, 2, false, 0, 0, 1920, 1080},
                      LayoutCase{"SmallCovering", 640, 480, 1920, 1080, 3, false, 0, -180, 1920, 1440},
                      LayoutCase{"WideCentreMode", 4000, 1000, 1000, 1000, 0, false, 0, 375, 1000, 250},
                      LayoutCase{"WideFitted", 4000, 1000, 1000, 1000, 1, false, 0, 375, 1000, 250},
                      LayoutCase{"WideStretched", 4000, 1000, 1000, 1000, 2, false, 0, 0, 1000, 1000},
                      LayoutCase{"WideCovering", 4000, 1000, 1000, 1000, 3, false, -1500, 0, 4000, 1000},
                      LayoutCase{"TallFitted", 1000, 4000, 1000, 1000, 1, false, 375, 0, 250, 1000},
                      LayoutCase{"TallCovering", 1000, 4000, 1000, 1000, 3, false, 0, -1500, 1000, 4000},
                      // One tenth: 192 x 108 does not fit 152 x 112, so centre mode fits it.
                      LayoutCase{"PreviewTenthFitted", 1920, 1080, 152, 112, 0, true, 0, 13.25f, 152, 85.5f},
                      LayoutCase{"PreviewTenthCentred", 640, 480, 152, 112, 0, true, 44, 32, 64, 48},
                      LayoutCase{"ExactFitNaturalSize", 1920, 1080, 1920, 1080, 0, false, 0, 0, 1920, 1080},
                      LayoutCase{"OutOfRangeModeFits", 640, 480, 1920, 1080, 7, false, 240, 0, 1440, 1080},
                      LayoutCase{"NegativeModeFits", 640, 480, 1920, 1080, -1, false, 240, 0, 1440, 1080}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST(PicturePlacement, EqualRatiosGiveExactlyTheAreaInFitAndCoverModes) {
  // 36/100 and 18/50 are the same single-precision ratio; 100 * r / r done
  // in single precision alone would give 99.9999924.
  for (std::int16_t mode : {1, 3}) {
    const PicturePlacement p = PlacePicture(36, 18, 100, 50, mode, false);
    EXPECT_EQ(p.Width, 100.0f) << "mode " << mode;
    EXPECT_EQ(p.Height, 50.0f) << "mode " << mode;
    EXPECT_EQ(p.X, 0.0f);
    EXPECT_EQ(p.Y, 0.0f);
  }
}

TEST(PicturePlacement, NothingToDrawWithoutASize) {
  EXPECT_FALSE(PlacePicture(0, 0, 1920, 1080, 1, false).Draw);  // undecodable
  EXPECT_FALSE(PlacePicture(0, 0, 1920, 1080, 1, true).Draw);
  EXPECT_FALSE(PlacePicture(640, 480, 0, 0, 1, false).Draw);  // box with no area
  EXPECT_FALSE(PlacePicture(640, 0, 1920, 1080, 3, false).Draw);
}

TEST(ResolutionText, WholeNumbersInParentheses) {
  EXPECT_EQ(ResolutionText(1920, 1080), "(1920x1080)");
  EXPECT_EQ(ResolutionText(0, 0), "(0x0)");
  EXPECT_EQ(ResolutionText(50000, 50000), "(50000x50000)");
  EXPECT_EQ(ResolutionText(2.5f, 99.5f), "(3x100)");  // metafile sizes may be fractional
}

}  // namespace
