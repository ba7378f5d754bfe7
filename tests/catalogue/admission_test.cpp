// Admission filters against scripted picture sizes: the size table, the two
// ratio classes, and that nothing is opened while both filters are off.
#include "catalogue/admission.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fakes/fake_ports.h"

namespace {

class AdmissionTest : public ::testing::Test {
 protected:
  bool Admit(float width, float height, std::int16_t size_check, std::int16_t ratio_check) {
    f.probe.sizes["P"] = PictureSize{width, height};
    s.CurrentSettings.CheckImageSize = size_check;
    s.CurrentSettings.CheckAspectRatio = ratio_check;
    return AdmitPicture(s, "P");
  }
  FakeProgram p;
  FakePorts& f = p.fakes;
  ProgramState& s = p.state;
};

TEST_F(AdmissionTest, BothFiltersOffAdmitsWithoutOpeningOrStartingGraphics) {
  for (std::int16_t off : {0, -1, -32768}) {
    s.CurrentSettings.CheckImageSize = off;
    s.CurrentSettings.CheckAspectRatio = off;
    EXPECT_TRUE(AdmitPicture(s, "not even there.jpg"));
  }
  EXPECT_TRUE(f.probe.opened.empty());
  EXPECT_EQ(f.graphics.starts, 0);
  EXPECT_EQ(s.GdiplusToken, 0u);
}

TEST_F(AdmissionTest, AnyFilterStartsGraphicsOnceAndOpensEachFileOnce) {
  Admit(800, 600, 1, 0);
  Admit(800, 600, 0, 1);
  EXPECT_EQ(f.graphics.starts, 1);
  EXPECT_EQ(f.probe.opened.size(), 2u);
}

TEST_F(AdmissionTest, SizeTableHasItsTextsAndMinimums) {
  ASSERT_EQ(kImageSizeOptions.size(), 13u);
  EXPECT_STREQ(kImageSizeOptions[0].text, "Disable (really, REALLY, faster!)");
  EXPECT_STREQ(kImageSizeOptions[4].text, "1024x768");
  EXPECT_STREQ(kImageSizeOptions[12].text, "2048x1576");
  // Every entry but "off" is its own text: "WxH".
  for (std::size_t i = 1; i < kImageSizeOptions.size(); ++i) {
    const ImageSizeOption& o = kImageSizeOptions[i];
    EXPECT_EQ(o.text,
              std::to_string(static_cast<int>(o.min_width)) + "x" + std::to_string(static_cast<int>(o.min_height)));
  }
  EXPECT_STREQ(kAspectRatioOptions[0], "ALL (really, REALLY, faster!)");
  EXPECT_STREQ(kAspectRatioOptions[1], "4/3 only (1.4-)");
  EXPECT_STREQ(kAspectRatioOptions[2], "16/9 only (1.5+)");
}

struct Case {
  float width, height;
  std::int16_t size_check, ratio_check;
  bool admitted;
};

TEST_F(AdmissionTest, BoundariesOfSizeAndRatio) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      // Minimum size: both sides must reach it, no rotation.
      {1024, 768, 4, 0, true},
      {1023, 768, 4, 0, false},
      {1024, 767, 4, 0, false},
      {1920, 1200, 11, 0, true},
      {1200, 1920, 11, 0, false},
      {2048, 1576, 12, 0, true},
      {2047, 1576, 12, 0, false},
      {320, 200, 1, 0, true},
      {319, 200, 1, 0, false},
      // Past the table: a minimum of 0 x 0.
      {0, 0, 13, 0, true},
      {1, 1, 32767, 0, true},
      // Ratio 1.5 and above is "wide", below is "4/3".
      {1920, 1080, 0, 2, true},
      {1500, 1000, 0, 2, true},
      {1024, 768, 0, 2, false},
      {1000, 1000, 0, 2, false},
      {1024, 768, 0, 1, true},
      {1080, 1920, 0, 1, true},
      {1500, 1000, 0, 1, false},
      // 14999998 / 9999999 is below 1.5 in double, exactly 1.5 in single precision.
      {14999998, 9999999, 0, 2, true},
      {14999998, 9999999, 0, 1, false},
      // Classes past 2 admit nothing.
      {1024, 768, 0, 3, false},
      {1920, 1080, 0, 3, false},
      // An unreadable file is 0 x 0: no size passes; 0/0 counts as wide.
      {0, 0, 1, 0, false},
      {0, 0, 0, 2, true},
      {0, 0, 0, 1, false},
      {nan, nan, 0, 2, true},
      {640, 0, 0, 2, true},  // x/0 is infinite: wide
      // Both filters: both must pass.
      {1920, 1080, 4, 2, true},
      {1920, 1080, 4, 1, false},
      {1000, 700, 4, 1, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Admit(c.width, c.height, c.size_check, c.ratio_check), c.admitted)
        << c.width << "x" << c.height << " size " << c.size_check << " ratio " << c.ratio_check;
}

TEST_F(AdmissionTest, GraphicsStartFailureEndsTheProcessBeforeAnyProbe) {
  f.graphics.fail = true;
  s.CurrentSettings.CheckImageSize = 4;
  EXPECT_THROW(AdmitPicture(s, "P"), ProcessEnded);
  ASSERT_EQ(f.system.boxes.size(), 1u);
  EXPECT_EQ(f.system.boxes[0].text, "Error loading GDI+!");
  EXPECT_TRUE(f.probe.opened.empty());
}

}  // namespace
