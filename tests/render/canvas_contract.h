#pragma once
// The canvas contract: every real canvas (Cairo, GDI+), with its platform's
// picture preparer, draws the same frames. A picture is prepared, then the
// frame renderer draws into an offscreen target whose pixels are sampled.
// Instantiate with a Backend that has CreateTarget(width, height),
// PeakMemoryBytes() (of the process), and for fades and motion
// CreateBox(width, height), the platform's own picture box without a window
// on the screen, and RunFrame(box), one paced frame of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include "catalogue/test_files.h"
#include "fakes/fake_services.h"
#include "render/canvas.h"
#include "render/picture_cache.h"
#include "render/renderer.h"
#include "render/test_jpeg.h"
#include "sequence/slide_animator.h"
#include "test_pictures.h"

// A picture box without a window whose pixels (0xRRGGBB) can be read back.
class OffscreenTarget : public PictureBox {
 public:
  OffscreenTarget(int width, int height) : width_(width), height_(height) {}
  virtual std::uint32_t Pixel(int x, int y) = 0;
  void AreaSize(int& width, int& height) override { width = width_, height = height_; }
  void Refresh() override {}
  void Clear() override {}

 private:
  int width_, height_;
};

namespace canvas_contract {

using Colour = std::uint32_t;  // 0xRRGGBB
// Bmp: one colour, or red, green / blue, yellow quadrants.
constexpr Colour kRed = 0xE02020, kGreen = 0x20C020, kBlue = 0x2040E0, kYellow = 0xF0E020, kQuadrants = 1;

inline bool Near(Colour a, Colour b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > tolerance) return false;
  return true;
}

// What a box shows at (x, y).
inline Colour BoxPixel(PictureBox& box, int x, int y) {
  const FrameBuffer frame = box.LayerPixels(FrameLayer::Shown);
  const std::uint8_t* bgr = frame.data + frame.stride * y + x * frame.bytes_per_pixel;
  return Colour{bgr[2]} << 16 | Colour{bgr[1]} << 8 | bgr[0];
}

// a and b mixed, `share` of b.
inline Colour Mix(Colour a, Colour b, double share) {
  Colour mixed = 0;
  for (int shift : {0, 8, 16})
    mixed |= Colour(std::lround((a >> shift & 0xFF) * (1 - share) + (b >> shift & 0xFF) * share)) << shift;
  return mixed;
}

inline std::string Bmp(int w, int h, Colour colour = kQuadrants) {
  return test_files::Bmp(w, h, [=](int x, int y) {
    return colour != kQuadrants ? colour : y < h / 2 ? (x < w / 2 ? kRed : kGreen) : (x < w / 2 ? kBlue : kYellow);
  });
}

// A w x h PNG, black, one bit a pixel, stored without compression.
inline std::string Png(std::uint32_t w, std::uint32_t h) {
  const auto be32 = [](std::uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  const auto chunk = [&](const std::string& type_and_data) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char c : type_and_data) {
      crc ^= c;
      for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return be32(std::uint32_t(type_and_data.size() - 4)) + type_and_data + be32(~crc);
  };
  const std::size_t raw = std::size_t(h) * (1 + (w + 7) / 8);  // a filter byte and the bits of each row, all 0
  std::string zlib = "\x78\x01";
  for (std::size_t done = 0, n; done < raw; done += n) {
    n = std::min<std::size_t>(raw - done, 65535);
    zlib += {char(done + n == raw), char(n), char(n >> 8), char(~n), char(~n >> 8)};
    zlib.append(n, '\0');
  }
  zlib += be32(std::uint32_t(raw % 65521) << 16 | 1);  // Adler-32 of zeros
  return "\x89PNG\r\n\x1A\n" + chunk("IHDR" + be32(w) + be32(h) + std::string("\1\0\0\0\0", 5)) + chunk("IDAT" + zlib) +
         chunk("IEND");
}

// A budget that keeps the largest reservation and acts the moment a decode
// reserves its memory: after the header is checked, before the decode.
struct WatchingBudget final : DecodeBudget {
  void Reserve(std::size_t bytes) override {
    largest = std::max(largest, bytes);
    if (on_reserve) on_reserve();
  }
  void Release(std::size_t) override {}
  std::size_t largest = 0;
  std::function<void()> on_reserve;
};

}  // namespace canvas_contract

template <typename Backend>
class CanvasContract : public ::testing::Test {
 protected:
  // Renders a file of these bytes into a w x 100 target; returns its path.
  std::string Render(const std::string& name, const std::string& bytes, int w = 200, DecodeBudget* budget = nullptr) {
    const std::string path = test_files::Utf8(dir.path / test_files::FromUtf8(name));
    test_files::Write(path, bytes);
    target = Backend::CreateTarget(width = w, 100);
    graphics.Start();
    picture =
        preparer->Prepare(PictureRequest{path, w, 100, settings.scale_mode, false, settings.backdrop == Backdrop::Soft},
                          budget ? *budget : cache);
    renderer.Draw(target.get(), picture.get(), path, "", overlay ? &status : nullptr);
    return path;
  }
  // Prepares a picture of these bytes for a 1920 x 1080 screen: 1 when it is
  // not drawn as expected, its largest reservation passes the budget twice,
  // or the peak memory grows more than peak_mb.
  int PrepareAlone(const std::string& bytes, ScaleMode mode, bool drawn, int peak_mb) {
    test_files::TempFolder folder;  // its own: the process ends without the fixture's destructor
    const std::string path = test_files::Utf8(folder.path / "crafted");
    test_files::Write(path, bytes);
    graphics.Start();
    Backend::CreateTarget(8, 8);
    canvas_contract::WatchingBudget budget;
    const std::uint64_t before = Backend::PeakMemoryBytes();
    const auto prepared = preparer->Prepare(PictureRequest{path, 1920, 1080, mode, false}, budget);
    const std::uint64_t grew_mb = (Backend::PeakMemoryBytes() - before) >> 20;
    std::fprintf(stderr, "drawn %d, reserved %zu MB, peak +%llu MB\n", prepared->bytes > 0, budget.largest >> 20,
                 static_cast<unsigned long long>(grew_mb));
    return (prepared->bytes > 0) != drawn || budget.largest > 2 * kDecodeBudgetBytes ||
           grew_mb > static_cast<std::uint64_t>(peak_mb);
  }
  std::shared_ptr<const PreparedPicture> Prepare(const std::string& name, const std::string& bytes, int w, int h) {
    const std::string path = test_files::Utf8(dir.path / test_files::FromUtf8(name));
    test_files::Write(path, bytes);
    graphics.Start();
    PictureRequest request{path, w, h, settings.scale_mode, false};
    request.motion = settings.motion;
    return preparer->Prepare(request, cache);
  }
  int CountNear(canvas_contract::Colour colour, int tolerance, int top, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < width; ++x) n += canvas_contract::Near(target->Pixel(x, y), colour, tolerance);
    return n;
  }

  test_files::TempFolder dir;
  FakeServices fakes;
  SaverSettings settings;  // no caption, small pictures centred
  ProgramIdentity identity = RestoreIdentity();
  GraphicsSession graphics{fakes.graphics, fakes.system};
  FrameRenderer renderer{graphics, settings, identity};
  bool overlay = false;
  ShowStatus status;
  std::unique_ptr<PicturePreparer> preparer = CreatePicturePreparer();
  PictureCache cache{200u << 20};
  std::unique_ptr<PreparedPicture> picture;
  std::unique_ptr<OffscreenTarget> target;
  int width = 200;
};

TYPED_TEST_SUITE_P(CanvasContract);

TYPED_TEST_P(CanvasContract, PicturesArePlacedByScaleModeOverBlackAndReleased) {
  using namespace canvas_contract;
  using M = ScaleMode;
  const struct {
    const char* name;
    int w, h;
    M mode;
    float x, y, dw, dh;
  } cases[] = {// on 200 x 100
               {"square.bmp", 40, 40, M::CenterSmall, 80, 30, 40, 40},
               {"square.bmp", 40, 40, M::Fit, 50, 0, 100, 100},
               {"wide.bmp", 400, 50, M::Cover, -300, 0, 800, 100},
               {"gr\xC3\xBCn \xE2\x80\x93 \xE5\x86\x99.bmp", 40, 40, M::Stretch, 0, 0, 200, 100}};
  const Colour colours[4] = {kRed, kGreen, kBlue, kYellow};
  for (const auto& c : cases) {
    this->settings.scale_mode = c.mode;
    this->Render(c.name, Bmp(c.w, c.h));
    // Near the corners of each quadrant's visible part, clear of the blended edges: its colour.
    const float m = 3 + std::max(c.dw / c.w, c.dh / c.h), left[] = {c.x, c.x + c.dw / 2}, top[] = {c.y, c.y + c.dh / 2};
    for (int q = 0; q < 4; ++q)
      for (float x : {std::max(left[q % 2], 0.f) + m, std::min(left[q % 2] + c.dw / 2, 200.f) - m})
        for (float y : {std::max(top[q / 2], 0.f) + m, std::min(top[q / 2] + c.dh / 2, 100.f) - m})
          EXPECT_TRUE(Near(this->target->Pixel(int(x), int(y)), colours[q], 40)) << c.name << " at " << x << "," << y;
    for (int y = 1; y < 100; y += 6)
      for (int x = 1; x < 200; x += 6)  // outside the picture: black
        EXPECT_TRUE((x > c.x - 2 && x < c.x + c.dw + 2 && y > c.y - 2 && y < c.y + c.dh + 2) ||
                    Near(this->target->Pixel(x, y), 0, 8))
            << c.name << " at " << x << "," << y;
  }
  // Nothing kept the file open: it can be replaced while the show runs.
  this->Render("square.bmp", Bmp(8, 8, kGreen));
  EXPECT_TRUE(Near(this->target->Pixel(100, 50), kGreen, 40));
}

// Photos are shown upright whichever way the camera was held, in their
// colours, in every format: each EXIF orientation of a JPEG in both byte
// orders, a HEIF picture stored turned with its rotation, 10-bit HEIF and
// AVIF, WebP lossy, lossless and animated (its first frame), transparent
// halves over black. Quadrants of a 3:2 picture drawn to fit (150 x 100 in
// the middle), its size upright for the caption.
// Where a portrait picture leaves its screen bare: black, or the soft
// background, the picture itself blurred and darkened to two fifths.
TYPED_TEST_P(CanvasContract, ASoftBackgroundFillsWhatThePictureLeavesBare) {
  using namespace canvas_contract;
  this->settings.scale_mode = ScaleMode::Fit;
  for (Backdrop backdrop : {Backdrop::Black, Backdrop::Soft}) {
    this->settings.backdrop = backdrop;
    this->Render("portrait.bmp", Bmp(50, 100, kRed));
    EXPECT_TRUE(Near(this->target->Pixel(100, 50), kRed, 40));
    for (int x : {5, 60, 140, 195})
      EXPECT_TRUE(Near(this->target->Pixel(x, 50), backdrop == Backdrop::Soft ? 0x660000 : 0, 40)) << x;
  }
}

TYPED_TEST_P(CanvasContract, PhotosStandUprightInTheirColoursInEveryFormat) {
  using namespace canvas_contract;
  const auto quadrants = [](int x, int y) { return y < 160 ? (x < 240 ? kRed : kGreen) : (x < 240 ? kBlue : kYellow); };
  static constexpr Colour q[] = {kRed, kGreen, kBlue, kYellow}, half[] = {kRed, 0, kRed, 0};
  std::vector<std::tuple<std::string, std::string, const Colour*, float>> files;  // name, bytes, colours, width
  for (int orientation = 1; orientation <= 8; ++orientation)
    files.emplace_back("photo" + std::to_string(orientation) + ".jpg",
                       test_jpeg::OrientedJpeg(orientation, 480, 320, quadrants, orientation % 2 == 1), q, 480.f);
  for (auto [name, colours] : {std::pair{"turned.heic", q},
                               {"ten-bit.heic", q},
                               {"ten-bit.avif", q},
                               {"half-clear.avif", half},
                               {"lossy.webp", q},
                               {"lossless.webp", q},
                               {"half-clear.webp", half},
                               {"animated.webp", q}})
    files.emplace_back(name, test_pictures::Get(name), colours, 96.f);
  this->settings.scale_mode = ScaleMode::Fit;
  for (const auto& [name, bytes, colours, width] : files) {
    this->Render(name, bytes);
    const int points[][2] = {{62, 25}, {137, 25}, {62, 75}, {137, 75}, {12, 50}};
    for (int i = 0; i < 5; ++i)
      EXPECT_TRUE(Near(this->target->Pixel(points[i][0], points[i][1]), i < 4 ? colours[i] : 0, 40))
          << name << " at " << points[i][0] << "," << points[i][1];
    EXPECT_EQ(std::pair(this->picture->width, this->picture->height), std::pair(width, width / 1.5f)) << name;
  }
}

// The PNG claims 50,000 x 50,000 pixels (its checksums are right): its size
// is told, nothing is drawn.
TYPED_TEST_P(CanvasContract, CaptionAtItsEdgeOverThePictureOrBlackWhereThereIsNone) {
  static const char huge[] =
      "\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR\x00\x00\xC3\x50\x00\x00\xC3\x50\x08\x02\x00\x00\x00\xC4\xCD\xAA\x9D"
      "\x00\x00\x00\x12IDAT\x78\x9C\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x2B\x55\xD8\xBD"
      "\x00\x00\x00\x00IEND\xAE\x42\x60\x82";
  using namespace canvas_contract;
  this->settings.scale_mode = ScaleMode::Stretch;
  this->settings.caption_shows_size = true;
  this->settings.caption_text_colour = 0x3F3FFF;  // 0x00BBGGRR: light red
  for (auto [name, bytes, size, colour] :
       {std::tuple{"blue.bmp", Bmp(800, 100, kBlue), 800, kBlue},  // no edges blended in
        {"broken.jpg", std::string("not a picture"), 0, 0u},
        {"huge.png", std::string(huge, sizeof huge - 1), 50000, 0u}})
    for (CaptionPosition where : {CaptionPosition::Top, CaptionPosition::Bottom}) {
      this->settings.caption = where;
      const std::string path = this->Render(name, bytes, 800);  // the whole path on one line
      const bool at_top = where == CaptionPosition::Top;
      const int top = at_top ? 0 : 70, other = at_top ? 35 : 0;
      EXPECT_GT(this->CountNear(0xFF3F3F, 30, top, top + 30), 40) << name << at_top;         // fill
      EXPECT_TRUE(!colour || this->CountNear(0, 40, top, top + 30) > 40) << name << at_top;  // outline
      EXPECT_EQ(this->CountNear(colour, 40, other, other + 65), 800 * 65) << name << at_top;
      EXPECT_EQ(this->picture->width, size) << name;
    }
}

// Transparent parts of a picture show the frame's black: the only pixel of
// this GIF is white and transparent.
TYPED_TEST_P(CanvasContract, TransparentPartsShowTheBlackBehind) {
  static const char gif[] =
      "GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00!\xF9\x04\x01\x00\x00\x00\x00"
      ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;";
  this->settings.scale_mode = ScaleMode::Stretch;
  this->Render("clear.gif", std::string(gif, sizeof gif - 1));
  EXPECT_EQ(this->picture->width, 1.f);
  EXPECT_EQ(this->CountNear(0, 8, 0, 100), 200 * 100);
}

// A metafile is played into its box; one whose header claims more than the
// file holds is not played at all (black, as an unreadable picture).
TYPED_TEST_P(CanvasContract, SoundMetafilesAreDrawnDamagedOnesAreNot) {
  using namespace canvas_contract;
  this->settings.scale_mode = ScaleMode::Stretch;
  this->Render("drawing.wmf", test_files::Wmf(kGreen));
  EXPECT_GT(this->CountNear(kGreen, 40, 10, 90), 150 * 70);
  this->Render("damaged.wmf", test_files::Wmf(kGreen, 0x2B1A205A));
  EXPECT_EQ(this->CountNear(0, 8, 0, 100), 200 * 100);
}

// The status overlay: light red while the scan runs, light green once done.
TYPED_TEST_P(CanvasContract, OverlayTurnsGreenOnceTheScanIsDone) {
  this->overlay = true;
  this->settings.caption = CaptionPosition::Off;
  for (bool done : {false, true}) {
    this->status.scan_done = done;
    this->Render("black.bmp", canvas_contract::Bmp(8, 8, 0), 800);
    EXPECT_GT(this->CountNear(done ? 0x3FFF3F : 0xFF3F3F, 30, 0, 100), 40) << done;
    EXPECT_EQ(this->CountNear(done ? 0xFF3F3F : 0x3FFF3F, 30, 0, 100), 0) << done;
  }
}

// A picture the show has given up on before its decode is not decoded:
// nothing is drawn, no pixels are kept.
TYPED_TEST_P(CanvasContract, AbandonedPictureIsNotDecoded) {
  struct AbandonedBudget final : DecodeBudget {
    void Reserve(std::size_t) override {}
    void Release(std::size_t) override {}
    bool Abandoned() const override { return true; }
  } abandoned;
  for (const char* name : {"square.bmp", "square.jpg"}) {
    const std::string path = test_files::Utf8(this->dir.path / name);
    test_files::Write(path, name[7] == 'b' ? canvas_contract::Bmp(40, 40) : test_jpeg::Jpeg(40, 40));
    this->graphics.Start();
    std::unique_ptr<PreparedPicture> picture =
        this->preparer->Prepare(PictureRequest{path, 200, 100, ScaleMode::Fit, false}, abandoned);
    EXPECT_EQ(picture->bytes, 0u) << name;
  }
}

// Pictures made to take memory: each is drawn, or a black frame when its
// decode would pass the budget; none takes more than its share. Each in a
// process of its own, for its peak memory.
TYPED_TEST_P(CanvasContract, CraftedPicturesStayWithinTheirBudget) {
  using namespace canvas_contract;
  const std::string gif_frame = std::string("GIF89a\1\0\1\0\x80\0\0\0\0\0\xFF\xFF\xFF,\0\0\0\0", 24) +
                                "\x58\x1B\x58\x1B" + std::string("\0\2\2\x44\1\0;", 7);  // a 7000 x 7000 frame on 1 x 1
  const std::string bmp_header = test_files::Bmp(1, 1).substr(0, 54);
  const std::string bmp = bmp_header.substr(0, 18) + "\x80\xF0\xFA\x02" + bmp_header.substr(22, 6) + "\x20" +
                          bmp_header.substr(29);  // 50,000,000 x 1 at 32 bits
  const struct {
    const char* what;
    std::function<std::string()> bytes;
    ScaleMode mode;
    bool drawn;
    int peak_mb;
  } cases[] = {
      {"50,000,000 x 1 BMP", [&] { return bmp; }, ScaleMode::Stretch, false, 64},
      {"50,000,000 x 1 BMP covering the screen", [&] { return bmp; }, ScaleMode::Cover, false, 64},
      {"1,000,000 x 1 PNG", [] { return Png(1'000'000, 1); }, ScaleMode::Stretch, true, 64},
      {"1,000,000 x 60 PNG", [] { return Png(1'000'000, 60); }, ScaleMode::Stretch, false, 64},
      {"progressive 7000 x 7000 JPEG, 4:4:4",
       [] { return test_jpeg::Jpeg(7000, 7000, {}, {}, test_jpeg::Kind::Progressive); }, ScaleMode::Fit, false, 64},
      {"GIF frame of 7000 x 7000 on 1 x 1", [&] { return gif_frame; }, ScaleMode::Fit, false, 32},
      {"50,000 x 1,000 JPEG covering the screen", [] { return test_jpeg::Jpeg(50'000, 1'000); }, ScaleMode::Cover, true,
       200},  // rows 50,000 pixels wide, and the part cut out of them
  };
  for (const auto& c : cases)
    EXPECT_EXIT(std::exit(this->PrepareAlone(c.bytes(), c.mode, c.drawn, c.peak_mb)), ::testing::ExitedWithCode(0), "")
        << c.what;
}

// The file decoded is the one whose header was checked: a file put in its
// place meanwhile is not read, and one rewritten in place to another size
// is not decoded.
TYPED_TEST_P(CanvasContract, TheDecodedFileIsTheOneChecked) {
  using namespace canvas_contract;
  const std::string red = test_files::Utf8(this->dir.path / "red.jpg");
  const auto green_jpeg = [](int, int) { return kGreen; };
  const auto red_jpeg = [](int, int) { return kRed; };
  WatchingBudget budget;
  this->settings.scale_mode = ScaleMode::Stretch;
  const std::string path = test_files::Utf8(this->dir.path / "photo.jpg");
  budget.on_reserve = [&] {
    test_files::Write(red, test_jpeg::Jpeg(40, 40, red_jpeg));
    std::error_code refused;  // Windows refuses while the file is open: as good
    std::filesystem::rename(test_files::FromUtf8(red), test_files::FromUtf8(path), refused);
  };
  this->Render("photo.jpg", test_jpeg::Jpeg(40, 40, green_jpeg), 200, &budget);
  EXPECT_GT(this->CountNear(kGreen, 40, 0, 100), 200 * 90) << "a file put in its place";
  budget.on_reserve = [&] { test_files::Write(path, test_jpeg::Jpeg(80, 40, red_jpeg)); };
  this->Render("photo.jpg", test_jpeg::Jpeg(40, 40, green_jpeg), 200, &budget);
  EXPECT_EQ(this->CountNear(0, 8, 0, 100), 200 * 100) << "rewritten in place";
}

// A slide the timer brings fades in over the transition time: half-way it
// is the blend of the two; a fade cut short by the next one leaves its
// blend to fade from; a key's slide is there at once; and frames slower than
// 20 a second for two seconds give fades up.
TYPED_TEST_P(CanvasContract, FadesBlendTheirSlidesAndKeysCut) {
  using namespace canvas_contract;
  this->settings.transition_ms = 1000;
  this->settings.scale_mode = ScaleMode::Stretch;
  const auto red = this->Prepare("red.bmp", Bmp(8, 8, kRed), 200, 100);
  const auto blue = this->Prepare("blue.bmp", Bmp(8, 8, kBlue), 200, 100);
  const auto green = this->Prepare("green.bmp", Bmp(8, 8, kGreen), 200, 100);
  double now = 0;
  SlideAnimator animator({this->renderer, [&] { return now; }, [] { return std::optional<ShowStatus>(); },
                          [] { return false; }, [] { return 0.0; }},
                         this->settings);
  const std::unique_ptr<PictureBox> box = TypeParam::CreateBox(200, 100);
  const auto shows = [&](Colour colour) { return Near(BoxPixel(*box, 100, 50), colour, 6); };
  const auto frame_at = [&](double ms) { now = ms, TypeParam::RunFrame(*box); };
  animator.Present(box.get(), red, "red.bmp", "", false);
  EXPECT_TRUE(shows(kRed));
  animator.Present(box.get(), blue, "blue.bmp", "", true);
  EXPECT_TRUE(shows(kRed)) << "a fade starts from what was shown";
  frame_at(500);
  EXPECT_TRUE(shows(Mix(kRed, kBlue, 0.5))) << std::hex << BoxPixel(*box, 100, 50);
  frame_at(1000);
  EXPECT_TRUE(shows(kBlue));
  animator.Present(box.get(), red, "red.bmp", "", true);
  frame_at(1500);
  animator.Present(box.get(), green, "green.bmp", "", true);  // the next tick, half-way
  frame_at(2000);
  EXPECT_TRUE(shows(Mix(Mix(kBlue, kRed, 0.5), kGreen, 0.5))) << std::hex << BoxPixel(*box, 100, 50);
  animator.Present(box.get(), blue, "blue.bmp", "", false);  // a key
  EXPECT_TRUE(shows(kBlue));
  this->settings.transition_ms = 3000;
  animator.Present(box.get(), red, "red.bmp", "", true);
  for (int frame = 1; frame <= 27; ++frame) frame_at(2000 + frame * 80);  // 12 a second for two seconds
  EXPECT_TRUE(animator.StillFrames());
  EXPECT_TRUE(shows(kRed)) << "the fade given up ends on its slide";
  animator.Present(box.get(), blue, "blue.bmp", "", true);
  EXPECT_TRUE(shows(kBlue)) << "then slides cut in";
}

// Under motion a picture is prepared larger than its place and the frame
// shows a part of it magnified: the part fills the place and nothing past
// it, at the start, the middle and the end of the interval.
TYPED_TEST_P(CanvasContract, MotionShowsAPartOfThePictureWithinItsPlace) {
  using namespace canvas_contract;
  this->settings.motion = true;
  this->settings.interval_ms = 1000;
  this->settings.scale_mode = ScaleMode::Fit;
  const auto picture = this->Prepare("quadrants.bmp", Bmp(60, 40), 200, 100);  // at 25..175 x 0..100
  double now = 0;
  for (double direction : {0.0, 0.375, 0.625}) {
    SlideAnimator animator({this->renderer, [&] { return now; }, [] { return std::optional<ShowStatus>(); },
                            [] { return false; }, [=] { return direction; }},
                           this->settings);
    const std::unique_ptr<PictureBox> box = TypeParam::CreateBox(200, 100);
    now = 0;
    animator.Present(box.get(), picture, "quadrants.bmp", "", false);
    for (double at : {0.0, 500.0, 1000.0}) {
      if (at > 0) now = at, TypeParam::RunFrame(*box);
      const Colour corners[] = {kRed, kGreen, kBlue, kYellow};
      for (int q = 0; q < 4; ++q)
        EXPECT_TRUE(Near(BoxPixel(*box, q % 2 ? 172 : 27, q / 2 ? 97 : 2), corners[q], 40))
            << at << " " << q << " " << std::hex << BoxPixel(*box, q % 2 ? 172 : 27, q / 2 ? 97 : 2);
      for (int y : {2, 50, 97})
        for (int x : {22, 177}) EXPECT_TRUE(Near(BoxPixel(*box, x, y), 0, 8)) << at << " at " << x << "," << y;
      // Drifting right (direction 0), the border between the quadrants,
      // at 100 when still, comes left: to 92.5 at the end.
      if (direction == 0 && at != 500) {
        EXPECT_TRUE(Near(BoxPixel(*box, 96, 20), at < 1000 ? kRed : kGreen, 40)) << at;
      }
    }
  }
  // A caption wider than the place, drawn once and laid over each frame:
  // beside the place it stays as it was (not darkened frame by frame), and
  // over the moving picture it keeps its letters.
  this->settings.caption = CaptionPosition::Bottom;
  this->settings.caption_text_colour = 0xFFFFFF;
  this->settings.caption_border_colour = 0x0000FF;  // red: its soft edge shows over black
  SlideAnimator animator({this->renderer, [&] { return now; }, [] { return std::optional<ShowStatus>(); },
                          [] { return false; }, [] { return 0.2; }},
                         this->settings);
  const std::unique_ptr<PictureBox> box = TypeParam::CreateBox(200, 100);
  now = 0;
  animator.Present(box.get(), picture, "quadrants/quadrants/quadrants/quadrants.bmp", "", false);
  const auto band = [&](bool beside) {
    std::vector<Colour> pixels;
    for (int y = 50; y < 100; ++y)
      for (int x = 0; x < 200; ++x)
        if ((x < 24 || x > 176) == beside) pixels.push_back(BoxPixel(*box, x, y));
    return pixels;
  };
  const auto letters = [&] {
    std::vector<Colour> over = band(false);
    return std::count_if(over.begin(), over.end(), [](Colour c) { return Near(c, 0xFFFFFF, 40); });
  };
  const std::vector<Colour> beside = band(true);
  const auto first_letters = letters();
  EXPECT_TRUE(std::any_of(beside.begin(), beside.end(), [](Colour c) { return c != 0; }));
  EXPECT_GT(first_letters, 20);
  for (double at : {250.0, 500.0, 1000.0}) {
    now = at, TypeParam::RunFrame(*box);
    EXPECT_EQ(band(true), beside) << at;
    EXPECT_NEAR(letters(), first_letters, first_letters / 5) << at;
  }
}

REGISTER_TYPED_TEST_SUITE_P(CanvasContract, PicturesArePlacedByScaleModeOverBlackAndReleased,
                            FadesBlendTheirSlidesAndKeysCut, MotionShowsAPartOfThePictureWithinItsPlace,
                            ASoftBackgroundFillsWhatThePictureLeavesBare, PhotosStandUprightInTheirColoursInEveryFormat,
                            CaptionAtItsEdgeOverThePictureOrBlackWhereThereIsNone, OverlayTurnsGreenOnceTheScanIsDone,
                            TransparentPartsShowTheBlackBehind, SoundMetafilesAreDrawnDamagedOnesAreNot,
                            AbandonedPictureIsNotDecoded, CraftedPicturesStayWithinTheirBudget,
                            TheDecodedFileIsTheOneChecked);
