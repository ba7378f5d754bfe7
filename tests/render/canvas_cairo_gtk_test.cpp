// The canvas contract on the Cairo canvas, drawing into an image surface (no
// display needed); picture files that are terminals.
#include <cairo.h>
#include <fcntl.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>

#include "render/canvas_cairo.h"
#include "render/picture_box_gtk.h"
#include "render/canvas_contract.h"
#include "decode/picture_file.h"
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

// The Cairo picture box of a window of that size; its frames come when the test says.
class CairoBox final : public CairoPictureBox {
 public:
  CairoBox(int w, int h) : width_(w), height_(h) {}
  void Refresh() override {}
  void PaceFrames(std::function<bool()> on_frame) override { on_frame_.Set(std::move(on_frame)); }
  void StopFrames() override { on_frame_.Set(nullptr); }

 private:
  void ScreenSize(int& width, int& height) override { width = width_, height = height_; }
  int width_, height_;
};

struct CairoBackend {
  static std::unique_ptr<OffscreenTarget> CreateTarget(int w, int h) { return std::make_unique<CairoTarget>(w, h); }
  static std::unique_ptr<PictureBox> CreateBox(int w, int h) { return std::make_unique<CairoBox>(w, h); }
  static void RunFrame(PictureBox& box) { static_cast<CairoBox&>(box).RunFrame(); }
  static std::uint64_t PeakMemoryBytes() {
    rusage usage{};
    return getrusage(RUSAGE_SELF, &usage), std::uint64_t(usage.ru_maxrss) * 1024;
  }
};

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
