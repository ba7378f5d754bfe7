// The canvas contract on the Cairo canvas, drawing into an image surface (no
// display needed); then JPEG decoding through libjpeg-turbo at a reduced scale.
#include <cairo.h>
#include <fcntl.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>

#include "render/canvas_cairo.h"
#include "render/canvas_contract.h"
#include "render/picture_decode_cairo.h"
#include "render/picture_file.h"
#include "render/test_jpeg.h"

namespace {

using namespace canvas_contract;

std::uint32_t At(cairo_surface_t* s, int x, int y) {
  cairo_surface_flush(s);
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s))[x];
}

class CairoTarget final : public OffscreenTarget {
 public:
  CairoTarget(int w, int h) : OffscreenTarget(w, h), surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h)) {
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

// JPEG decodes at a reduced DCT scale then to the target; a large PNG is
// reduced while it is read; neither is ever enlarged (Cairo does that while
// drawing), each side on its own; a truncated file shows the rows that arrived.
TEST(CairoDecodeTest, ReducedToTheTargetAndTruncatedUpToWhereItEnds) {
  test_files::TempFolder dir;
  const std::string bmp = (dir.path / "q.bmp").string();
  test_files::Write(bmp, Bmp(1600, 1200));
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(bmp.c_str(), nullptr);
  const Colour colours[] = {kRed, kGreen, kBlue, kYellow};
  for (const char* type : {"jpeg", "png"}) {
    const std::string path = (dir.path / (std::string("q.") + type)).string();
    ASSERT_TRUE(gdk_pixbuf_save(pixbuf, path.c_str(), type, nullptr, nullptr));
    auto decode = [&](int tw, int th) {
      std::unique_ptr<PictureFile> file = OpenPictureFile(path);
      return DecodeCairoPicture(*file, ReadPictureFileHeader(path), tw, th);
    };
    for (auto [tw, th, w, h] :
         {std::array{200, 150, 200, 150}, {540, 405, 540, 405}, {3200, 2400, 1600, 1200}, {1600, 50, 1600, 50}}) {
      cairo_surface_t* s = decode(tw, th);
      ASSERT_TRUE(s) << type << " " << tw;
      EXPECT_EQ(std::pair(cairo_image_surface_get_width(s), cairo_image_surface_get_height(s)), std::pair(w, h));
      for (int q = 0; q < 4; ++q)
        EXPECT_TRUE(Near(At(s, (q % 2 * 2 + 1) * w / 4, (q / 2 * 2 + 1) * h / 4), colours[q], 24)) << type << tw << q;
      cairo_surface_destroy(s);
    }
    if (std::string(type) != "jpeg") continue;
    const std::string whole = test_files::Read(path);
    test_files::Write(path, whole.substr(0, whole.size() / 3));
    cairo_surface_t* s = decode(1600, 1200);
    EXPECT_TRUE(s && Near(At(s, 400, 100), kRed, 24));
    if (s) cairo_surface_destroy(s);
  }
  g_object_unref(pixbuf);
}

// A photo turned a quarter is decoded and reduced as stored, to the target
// turned with it, then turned: exactly the target's size, upright.
TEST(CairoDecodeTest, QuarterTurnedJpegReducedToTheTargetThenTurned) {
  test_files::TempFolder dir;
  const std::string path = (dir.path / "turned.jpg").string();
  test_files::Write(path, test_jpeg::OrientedJpeg(6, 1600, 1200, [](int x, int y) {
                      return y < 600 ? (x < 800 ? kRed : kGreen) : (x < 800 ? kBlue : kYellow);
                    }));
  const PictureHeader header = ReadPictureFileHeader(path);
  EXPECT_EQ(std::tuple(UprightWidth(header), UprightHeight(header), header.orientation), std::tuple(1600, 1200, 6));
  std::unique_ptr<PictureFile> file = OpenPictureFile(path);
  cairo_surface_t* s = DecodeCairoPicture(*file, header, 540, 405);
  ASSERT_TRUE(s);
  EXPECT_EQ(std::pair(cairo_image_surface_get_width(s), cairo_image_surface_get_height(s)), std::pair(540, 405));
  const Colour colours[] = {kRed, kGreen, kBlue, kYellow};
  for (int q = 0; q < 4; ++q)
    EXPECT_TRUE(Near(At(s, (q % 2 * 2 + 1) * 135, (q / 2 * 2 + 1) * 101), colours[q], 24)) << q;
  cairo_surface_destroy(s);
}

// CMYK JPEGs are converted here, Adobe's inverted inks included.
TEST(CairoDecodeTest, CmykJpegInItsColours) {
  MemoryPictureFile file(test_jpeg::Jpeg(
      16, 16, [](int, int) { return kBlue; }, {}, test_jpeg::Kind::AdobeCmyk));
  const PictureHeader header = ReadPictureHeader(
      [&](std::uint64_t offset, void* buffer, std::size_t size) { return file.ReadAt(offset, buffer, size); });
  cairo_surface_t* s = DecodeCairoPicture(file, header, 16, 16);
  ASSERT_TRUE(s);
  EXPECT_TRUE(Near(At(s, 8, 8), kBlue, 24));
  cairo_surface_destroy(s);
}

// A terminal reached through a picture's name never becomes the program's
// own: a process without one would take it on opening it.
TEST(PosixPictureFileTest, ATerminalNeverBecomesTheProgramsOwn) {
  EXPECT_EXIT(
      {
        setsid();  // a session of its own, without a terminal
        const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
        const bool opened = grantpt(terminal) == 0 && unlockpt(terminal) == 0 && OpenPictureFile(ptsname(terminal));
        std::exit(opened || open("/dev/tty", O_RDONLY) >= 0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Cairo, CanvasContract, CairoBackend);
