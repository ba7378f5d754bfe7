// The canvas contract on the Cairo canvas, drawing into an image surface (no
// display needed); then JPEG decoding through libjpeg-turbo at a reduced scale.
#include <cairo.h>
#include <sys/resource.h>

#include <cstring>

#include "render/canvas_cairo.h"
#include "render/canvas_contract.h"
#include "render/picture_decode_cairo.h"
#include "render/test_jpeg.h"

namespace {

using namespace canvas_contract;

std::uint32_t At(cairo_surface_t* s, int x, int y) {
  cairo_surface_flush(s);
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s))[x];
}

class CairoTarget final : public OffscreenTarget {
 public:
  CairoTarget(int w, int h) : surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h)) {
    std::memset(cairo_image_surface_get_data(surface), 0x80, h * cairo_image_surface_get_stride(surface));  // grey
    cairo_surface_mark_dirty(surface);
  }
  ~CairoTarget() override { cairo_surface_destroy(surface); }
  std::uint32_t Pixel(int x, int y) override { return At(surface, x, y) & 0xFFFFFF; }
  std::unique_ptr<Canvas> CreateCanvas() override { return CreateCairoCanvas(surface); }
  cairo_surface_t* surface;
};

struct CairoBackend {
  static std::unique_ptr<OffscreenTarget> CreateTarget(int w, int h) { return std::make_unique<CairoTarget>(w, h); }
  static std::uint64_t PeakMemoryBytes() {
    rusage usage{};
    return getrusage(RUSAGE_SELF, &usage), std::uint64_t(usage.ru_maxrss) * 1024;
  }
};

TEST(CairoDecodeTest, JpegAtAReducedScaleThenToTheTargetAndTruncatedUpToWhereItEnds) {
  test_files::TempFolder dir;
  const std::string bmp = (dir.path / "q.bmp").string(), path = (dir.path / "q.jpg").string();
  test_files::Write(bmp, Bmp(1600, 1200));
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(bmp.c_str(), nullptr);
  ASSERT_TRUE(gdk_pixbuf_save(pixbuf, path.c_str(), "jpeg", nullptr, nullptr));
  g_object_unref(pixbuf);
  const CairoPictureInfo info = ProbeCairoPicture(path);
  EXPECT_EQ(std::tuple(info.decoder, info.width, info.height), std::tuple(CairoDecoder::Jpeg, 1600, 1200));
  const Colour colours[] = {kRed, kGreen, kBlue, kYellow};
  // 1/8 exactly, 1/2 then reduced, never enlarged (Cairo does that while drawing), each side on its own.
  for (auto [tw, th, w, h] : {std::array{200, 150, 200, 150}, {540, 405, 540, 405}, {3200, 2400, 1600, 1200},
                              {1600, 50, 1600, 50}}) {
    cairo_surface_t* s = DecodeCairoPicture(path, info, tw, th);
    ASSERT_TRUE(s) << tw;
    EXPECT_EQ(std::pair(cairo_image_surface_get_width(s), cairo_image_surface_get_height(s)), std::pair(w, h));
    for (int q = 0; q < 4; ++q)
      EXPECT_TRUE(Near(At(s, (q % 2 * 2 + 1) * w / 4, (q / 2 * 2 + 1) * h / 4), colours[q], 24)) << tw << " " << q;
    cairo_surface_destroy(s);
  }
  const std::string whole = test_files::Read(path);
  test_files::Write(path, whole.substr(0, whole.size() / 3));  // truncated: the rows that arrived show
  cairo_surface_t* s = DecodeCairoPicture(path, info, 1600, 1200);
  EXPECT_TRUE(s && Near(At(s, 400, 100), kRed, 24));
  if (s) cairo_surface_destroy(s);
}

// A photo turned a quarter is decoded and reduced as stored, to the target
// turned with it, then turned: exactly the target's size, upright.
TEST(CairoDecodeTest, QuarterTurnedJpegReducedToTheTargetThenTurned) {
  test_files::TempFolder dir;
  const std::string path = (dir.path / "turned.jpg").string();
  test_files::Write(path, test_jpeg::OrientedJpeg(6, 1600, 1200, [](int x, int y) {
    return y < 600 ? (x < 800 ? kRed : kGreen) : (x < 800 ? kBlue : kYellow);
  }));
  const CairoPictureInfo info = ProbeCairoPicture(path);
  EXPECT_EQ(std::tuple(info.width, info.height, info.orientation), std::tuple(1600, 1200, 6));
  cairo_surface_t* s = DecodeCairoPicture(path, info, 540, 405);
  ASSERT_TRUE(s);
  EXPECT_EQ(std::pair(cairo_image_surface_get_width(s), cairo_image_surface_get_height(s)), std::pair(540, 405));
  const Colour colours[] = {kRed, kGreen, kBlue, kYellow};
  for (int q = 0; q < 4; ++q)
    EXPECT_TRUE(Near(At(s, (q % 2 * 2 + 1) * 135, (q / 2 * 2 + 1) * 101), colours[q], 24)) << q;
  cairo_surface_destroy(s);
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Cairo, CanvasContract, CairoBackend);
