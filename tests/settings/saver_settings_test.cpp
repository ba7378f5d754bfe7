#include "settings/saver_settings.h"

#include <gtest/gtest.h>

TEST(SaverSettings, Defaults) {
  SaverSettings d = MakeDefaultSettings();
  EXPECT_EQ(d.Interval, 15000);
  EXPECT_EQ(d.ImageDirectory, "");
  EXPECT_EQ(d.ExcludeDirectory, "");
  EXPECT_TRUE(d.Recursive);
  EXPECT_TRUE(d.Random);
  EXPECT_EQ(d.UpscaleMode, 1);
  EXPECT_EQ(d.ShowFilename, 2);
  EXPECT_EQ(d.ShowFilenameColorText, 16777215);
  EXPECT_EQ(d.ShowFilenameColorBorder, 0);
  EXPECT_FALSE(d.ShowFileResolution);
  EXPECT_EQ(d.CheckImageSize, 0);
  EXPECT_EQ(d.CheckAspectRatio, 0);
}

TEST(SaverSettings, IntervalIsUnsigned) {
  SaverSettings s;
  s.Interval = 60000;
  EXPECT_EQ(s.Interval, 60000);
  EXPECT_GT(s.Interval, 32767);
}

TEST(SaverSettings, CopiesAreIndependent) {
  SaverSettings a = MakeDefaultSettings();
  SaverSettings b = a;
  b.ImageDirectory = "C:\\Photos\\";
  EXPECT_EQ(a.ImageDirectory, "");
  EXPECT_FALSE(a == b);
}
