// The renderer on a recording canvas, and where each scale mode puts a picture.
#include "render/renderer.h"

#include <gtest/gtest.h>

#include "fakes/fake_services.h"
#include "fakes/recording_canvas.h"
#include "render/caption_date.h"
#include "render/picture_cache.h"
#include "decode/picture_layout.h"

namespace {

using Log = std::vector<std::string>;

TEST(PicturePlacement, ScaleModesOnPictureAndAreaSizes) {
  using M = ScaleMode;
  const struct { float w, h, area_w, area_h; M mode; bool preview; PicturePlacement at; } cases[] = {
      {640, 480, 1920, 1080, M::CenterSmall, false, {true, 640, 300, 640, 480}},  // centred at its own size
      {640, 480, 1920, 1080, M::Fit, false, {true, 240, 0, 1440, 1080}},
      {640, 480, 1920, 1080, M::Stretch, false, {true, 0, 0, 1920, 1080}},
      {640, 480, 1920, 1080, M::Cover, false, {true, 0, -180, 1920, 1440}},
      {640, 480, 1920, 1080, M(7), false, {true, 240, 0, 1440, 1080}},                // out of range: fit
      {4000, 1000, 1000, 1000, M::CenterSmall, false, {true, 0, 375, 1000, 250}},   // too big to centre: fit
      {4000, 1000, 1000, 1000, M::Cover, false, {true, -1500, 0, 4000, 1000}},
      {640, 480, 152, 112, M::CenterSmall, true, {true, 44, 32, 64, 48}},           // preview: one tenth
      {1200, 800, 100, 50, M::CenterSmall, true, {true, 12.5f, 0, 75, 50}},       // a tenth still too big: fit
      {36, 18, 100, 50, M::Cover, false, {true, 0, 0, 100, 50}},  // equal ratios: exactly the area, not 99.9999924
      {0, 0, 1920, 1080, M::Fit, false, {}},                      // undecodable
  };
  for (const auto& c : cases) {
    const PicturePlacement p = PlacePicture(c.w, c.h, c.area_w, c.area_h, c.mode, c.preview);
    EXPECT_EQ(std::tuple(p.draw, p.x, p.y, p.width, p.height),
              std::tuple(c.at.draw, c.at.x, c.at.y, c.at.width, c.at.height))
        << c.w << "x" << c.h << " in " << c.area_w << "x" << c.area_h << " mode " << int(c.mode);
  }
  EXPECT_EQ(ResolutionText(2.5f, 99.5f), "(3x100)");  // metafile sizes may be fractional
}

struct RendererTest : ::testing::Test {
  // A frame of the picture at path as the recording preparer lays it out.
  Log Render(const std::string& path, const std::string& message = "") {
    box.log.clear();
    PictureRequest request{path, 1920, 1080, settings.scale_mode, false};
    std::unique_ptr<PreparedPicture> picture = fakes.preparer.Prepare(request, cache);
    renderer.Draw(&box, path.empty() ? nullptr : picture.get(), path, message, overlay ? &status : nullptr);
    return box.log;
  }
  FakeServices fakes;
  SaverSettings settings = MakeDefaultSettings();  // fit, white on black
  ProgramIdentity identity = [] { ProgramIdentity i; i.title = "Glimmora"; return i; }();
  GraphicsSession graphics{fakes.graphics, fakes.system};
  FrameRenderer renderer{graphics, settings, identity};
  bool overlay = false;
  ShowStatus status{.random_order = true, .current_index = 0};
  RecordingPictureBox box;
  PictureCache cache{1 << 20};
};

TEST_F(RendererTest, TextLayersTakeTheirEdgesAndNeedASurfaceAndAFont) {
  settings.caption_shows_size = true;
  identity.title = "T";
  using P = CaptionPosition;
  fakes.preparer.pictures["/p/x/d.jpg"] = {640, 480}, fakes.preparer.taken["/p/x/d.jpg"] = {2023, 12, 24};
  const bool kFont = true, kNoFont = false;
  const struct {
    const char* path;
    P caption;
    const char* message;
    bool overlay, font;
    Log texts;
    CaptionText words = CaptionText::Path;
  } cases[] = {
      {"/p/a.jpg", P::Off, "", true, kFont, {"T 0"}},  // texts: to the first line break, then the line alignment
      {"/p/a.jpg", P::Bottom, "", true, kFont, {"/p/a.jpg (0x0) 2", "T 0"}},       // undecodable: 0 x 0
      {"/p/a.jpg", P::Off, "No files found", false, kFont, {"No files found 2"}},  // whatever the caption says
      {"", P::Top, "", false, kFont, {"  0"}},                                     // no picture, no size
      {"/p/a.jpg", P::Bottom, "No files found", true, kNoFont, {}},                // no font: no text at all
      {"/p/x/a.jpg", P::Top, "", false, kFont, {"a.jpg (0x0) 0"}, CaptionText::FileName},
      {"/p/x/a.jpg", P::Top, "", false, kFont, {"x (0x0) 0"}, CaptionText::DateAndFolder},  // no day known
      {"/p/x/d.jpg", P::Top, "", false, kFont, {"24.12.2023  x (640x480) 0"}, CaptionText::DateAndFolder},
  };
  const std::string day = LocalDateText({2023, 12, 24});  // the user's format
  ASSERT_NE(day.find("24"), std::string::npos) << day;
  for (const auto& c : cases) {
    settings.caption = c.caption, settings.caption_text = c.words;
    overlay = c.overlay;
    box.font_installed = c.font;
    Log texts;
    for (const std::string& call : Render(c.path, c.message))
      if (call.starts_with("AddString"))
        texts.push_back(call.substr(13, std::min(call.find('\r'), call.find(",style")) - 13) + " " + call[call.size() - 2]);
    if (!texts.empty() && texts[0].starts_with(day)) texts[0].replace(0, day.size(), "24.12.2023");
    EXPECT_EQ(texts, c.texts) << c.path << " " << int(c.caption) << " '" << c.message << "' " << c.overlay;
  }
  renderer.Draw(nullptr, nullptr, "/p/a.jpg", "", nullptr);  // no box, or one without a surface: nothing drawn
  box.valid = false;
  EXPECT_TRUE(Render("/p/a.jpg").empty());
}

}  // namespace
