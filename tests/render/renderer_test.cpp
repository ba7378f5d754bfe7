// The renderer's calls on a recording canvas: background, picture placement,
// caption and overlay text, their alignment, pens and fills.
#include "render/renderer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_ports.h"
#include "fakes/recording_canvas.h"
#include "render/caption.h"
#include "version.h"

namespace {

using Log = std::vector<std::string>;

class RendererTest : public ::testing::Test {
 protected:
  RendererTest() {
    state.CurrentSettings = MakeDefaultSettings();  // fit, caption at the bottom, white on black
    state.ProgramTitle = "Glimmora - slide show by Glimmora Labs";
    box.pictures["/p/small.jpg"] = {640, 480};
    box.pictures["/p/full.jpg"] = {1920, 1080};
  }

  Log Render(const std::string& path, const std::string& message = "", bool preview = false) {
    box.log.clear();
    RenderPicture(state, path, message, &box, preview);
    return box.log;
  }

  // The lines of the log that start with prefix.
  static Log Calls(const Log& log, const std::string& prefix) {
    Log out;
    for (const std::string& line : log)
      if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
  }

  FakeProgram program;
  ProgramState& state = program.state;
  RecordingPictureBox box;
};

TEST_F(RendererTest, OneFrameInOrderWithEveryObjectReleased) {
  const Log expected = {
      "CreateCanvas",
      "VisibleClipBounds",
      "SetInterpolationMode(7)",
      "CreatePath(#1,fill mode 1)",
      "AddRectangle(#1,0,0,1920,1080)",
      "FillPath(#1,FF000000)",
      "DeletePath(#1)",
      "LoadPicture(/p/small.jpg)",
      "DrawImageRect(/p/small.jpg,240,0,1440,1080)",
      "DisposeImage(/p/small.jpg)",
      "SetTextRenderingHint(0)",
      "SetSmoothingMode(4)",
      "CreateFontFamily(Arial)",
      "IsStyleAvailable(0)",
      "CreatePath(#2,fill mode 0)",
      "AddString(#2,/p/small.jpg,style 1,18,0,0,1920,1080,align 1,line 2)",
      "DrawPath(#2,3F000000,3)",
      "DrawPath(#2,FF000000,2)",
      "FillPath(#2,FFFFFFFF)",
      "DeletePath(#2)",
      "DeleteFontFamily(Arial)",
      "DeleteCanvas",
  };
  EXPECT_EQ(Render("/p/small.jpg"), expected);
  EXPECT_EQ(program.fakes.graphics.starts, 1);
}

TEST_F(RendererTest, LayersTakeTheirEdges) {
  struct Case {
    std::int16_t showFilename;
    const char* message;
    bool debug;
    Log strings;  // AddString calls, text cut to its first 11 characters
  } cases[] = {
      {0, "", false, {}},
      {0, "", true, {"Glimmora -  line 0"}},
      {1, "", false, {"/p/small.jp line 0"}},
      {1, "", true, {"/p/small.jp line 0", "Glimmora -  line 2"}},
      {2, "", true, {"/p/small.jp line 2", "Glimmora -  line 0"}},
      {0, "No files found :(", false, {"No files fo line 2"}},
      {1, "No files found :(", true, {"No files fo line 0", "Glimmora -  line 2"}},
      {5, "", false, {"/p/small.jp line 0"}},  // out of range: top, as any value but 0 and 2
  };
  for (const Case& c : cases) {
    state.CurrentSettings.ShowFilename = c.showFilename;
    state.DebugMode = c.debug;
    Log strings;
    for (const std::string& call : Calls(Render("/p/small.jpg", c.message), "AddString(")) {
      const std::string text = call.substr(call.find(',') + 1, 11);
      strings.push_back(text + " line " + call.substr(call.size() - 2, 1));
    }
    EXPECT_EQ(strings, c.strings) << "ShowFilename " << c.showFilename << " message '" << c.message << "' debug "
                                  << c.debug;
  }
}

TEST_F(RendererTest, CaptionShowsThePicturesOwnSize) {
  state.CurrentSettings.ShowFileResolution = true;
  state.CurrentSettings.UpscaleMode = 0;  // natural size, so the one-tenth layout shows
  struct Case {
    const char* path;
    bool preview;
    const char* image;    // expected DrawImageRect, or "" for none
    const char* caption;  // expected start of the AddString call
  } cases[] = {
      {"/p/full.jpg", false, "DrawImageRect(/p/full.jpg,0,0,1920,1080)", "AddString(#2,/p/full.jpg (1920x1080),"},
      {"/p/full.jpg", true, "DrawImageRect(/p/full.jpg,864,486,192,108)", "AddString(#2,/p/full.jpg (1920x1080),"},
      {"/p/broken.jpg", false, "", "AddString(#2,/p/broken.jpg (0x0),"},
      {"", false, "", "AddString(#2, ,"},  // no picture: no resolution either
  };
  for (const Case& c : cases) {
    const Log log = Render(c.path, "", c.preview);
    const Log images = Calls(log, "DrawImageRect");
    EXPECT_EQ(images, c.image[0] ? Log{c.image} : Log{}) << c.path;
    EXPECT_EQ(Calls(log, "DisposeImage").size(), c.path[0] ? 1u : 0u) << "released even when nothing was drawn";
    ASSERT_EQ(Calls(log, "AddString").size(), 1u);
    EXPECT_EQ(Calls(log, "AddString")[0].rfind(c.caption, 0), 0u) << Calls(log, "AddString")[0];
  }
}

TEST_F(RendererTest, ColoursFromTheSettingsAndTheScanState) {
  state.CurrentSettings.ShowFilenameColorText = 0x3F3FFF;    // 0x00BBGGRR: light red
  state.CurrentSettings.ShowFilenameColorBorder = 0x123456;  // red 0x56, green 0x34, blue 0x12
  state.DebugMode = true;
  const Log strokes = {"DrawPath(#2,3F563412,3)", "DrawPath(#2,FF563412,2)", "DrawPath(#3,3F000000,3)",
                       "DrawPath(#3,FF000000,2)"};
  state.ScanDone = false;
  Log log = Render("/p/small.jpg");
  EXPECT_EQ(Calls(log, "DrawPath"), strokes);
  EXPECT_EQ(Calls(log, "FillPath(#2"), Log{"FillPath(#2,FFFF3F3F)"});
  EXPECT_EQ(Calls(log, "FillPath(#3"), Log{"FillPath(#3,FFFF3F3F)"});  // scanning: light red
  state.ScanDone = true;
  log = Render("/p/small.jpg");
  EXPECT_EQ(Calls(log, "FillPath(#3"), Log{"FillPath(#3,FF3FFF3F)"});  // done: light green
}

TEST_F(RendererTest, OutOfRangeScaleModeIsRepairedEvenWithoutATarget) {
  state.CurrentSettings.UpscaleMode = 7;
  EXPECT_EQ(Calls(Render("/p/small.jpg"), "DrawImageRect"), Log{"DrawImageRect(/p/small.jpg,240,0,1440,1080)"});
  EXPECT_EQ(state.CurrentSettings.UpscaleMode, 1);

  state.CurrentSettings.UpscaleMode = -3;
  box.valid = false;
  EXPECT_TRUE(Render("/p/small.jpg").empty());  // no surface: nothing drawn
  EXPECT_EQ(state.CurrentSettings.UpscaleMode, 1);

  state.CurrentSettings.UpscaleMode = 4;
  RenderPicture(state, "/p/small.jpg", "", nullptr, false);
  EXPECT_EQ(state.CurrentSettings.UpscaleMode, 1);
  EXPECT_EQ(program.fakes.graphics.starts, 1);  // started once, on the first frame
}

TEST_F(RendererTest, AreaOffsetsFrameTheBackgroundAndTextButNotThePicture) {
  box.bounds = {10, 20, 1920, 1080};
  const Log log = Render("/p/small.jpg");
  EXPECT_EQ(Calls(log, "AddRectangle"), Log{"AddRectangle(#1,10,20,1920,1080)"});
  EXPECT_EQ(Calls(log, "DrawImageRect"), Log{"DrawImageRect(/p/small.jpg,240,0,1440,1080)"});
  EXPECT_NE(Calls(log, "AddString")[0].find(",10,20,1920,1080,"), std::string::npos);
}

TEST_F(RendererTest, NoFontNoText) {
  state.DebugMode = true;
  box.font_installed = false;
  Log log = Render("/p/small.jpg", "message");
  EXPECT_TRUE(Calls(log, "CreatePath(#2").empty());
  EXPECT_EQ(log.back(), "DeleteCanvas");

  box.font_installed = true;
  box.regular_style = false;
  log = Render("/p/small.jpg", "message");
  EXPECT_TRUE(Calls(log, "AddString").empty());
  EXPECT_EQ(Calls(log, "DeleteFontFamily"), Log{"DeleteFontFamily(Arial)"});
}

TEST(StatusOverlayText, EightLines) {
  FakeProgram program;
  ProgramState& state = program.state;
  state.ProgramTitle = "Glimmora - slide show by Glimmora Labs";
  state.CurrentSettings.Random = true;
  state.FolderCount = 12;
  state.PictureCount = 3456;
  state.CurrentIndex = -1;
  const std::string version = std::to_string(GLIMMORA_VERSION_MAJOR) + "." + std::to_string(GLIMMORA_VERSION_MINOR) +
                              "." + std::to_string(GLIMMORA_VERSION_REVISION);
  EXPECT_EQ(StatusOverlayText(state),
            "Glimmora - slide show by Glimmora Labs\r\nVersion: " + version +
                "\r\nRandom: YES\r\nScan done: No :(\r\nFolders scanned: 12\r\nFiles scanned: 3456\r\n"
                "Files seen: -1\r\nSleeping: False");
  state.CurrentSettings.Random = false;
  state.ScanDone = true;
  state.Sleeping = true;
  const std::string text = StatusOverlayText(state);
  EXPECT_NE(text.find("\r\nRandom: No\r\nScan done: YES :)\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nSleeping: True"), std::string::npos);
}

TEST(ToArgb, MovesRedAndBlueAndIgnoresTheTopByte) {
  EXPECT_EQ(ToArgb(0xFFFFFF, 255), 0xFFFFFFFFu);
  EXPECT_EQ(ToArgb(0x3F3FFF, 255), 0xFFFF3F3Fu);
  EXPECT_EQ(ToArgb(0x3FFF3F, 255), 0xFF3FFF3Fu);
  EXPECT_EQ(ToArgb(0, 63), 0x3F000000u);
  EXPECT_EQ(ToArgb(0x00563412, 0), 0x00123456u);
  EXPECT_EQ(ToArgb(static_cast<std::int32_t>(0xAB010203), 128), 0x80030201u);
}

}  // namespace
