// The canvas contract against the Cairo canvas, drawing into an image surface
// (no display needed).
#include <cairo.h>
#include <glib/gstdio.h>
#include <sys/resource.h>

#include <fstream>

#include "render/canvas_cairo.h"
#include "render/canvas_contract.h"

namespace {

class CairoTarget final : public OffscreenTarget, public PictureBox {
 public:
  CairoTarget(int width, int height) : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)) {
    // Grey, so a frame that is not drawn at all shows.
    cairo_t* cr = cairo_create(surface_);
    cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
    cairo_paint(cr);
    cairo_destroy(cr);
  }
  ~CairoTarget() override { cairo_surface_destroy(surface_); }
  PictureBox& Box() override { return *this; }
  int Width() const override { return cairo_image_surface_get_width(surface_); }
  int Height() const override { return cairo_image_surface_get_height(surface_); }
  std::uint32_t Pixel(int x, int y) override {
    cairo_surface_flush(surface_);
    const unsigned char* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
  }
  std::unique_ptr<Canvas> CreateCanvas() override { return CreateCairoCanvas(surface_); }
  void Refresh() override {}
  void Cls() override {}

 private:
  cairo_surface_t* surface_;
};

struct CairoBackend {
  static std::unique_ptr<OffscreenTarget> CreateTarget(int width, int height) {
    return std::make_unique<CairoTarget>(width, height);
  }
  static std::string TempDir() {
    gchar* dir = g_dir_make_tmp("glimmora-canvas-XXXXXX", nullptr);
    std::string out = std::string(dir) + "/";
    g_free(dir);
    return out;
  }
  static std::uint64_t PeakMemoryBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;
  }
  static void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  static bool WrapsLongLines() { return true; }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Cairo, CanvasContract, CairoBackend);

TEST(CairoCanvas, NoSurfaceNoCanvas) {
  EXPECT_FALSE(CreateCairoCanvas(nullptr));
  cairo_surface_t* broken = cairo_image_surface_create(CAIRO_FORMAT_RGB24, -1, -1);
  EXPECT_FALSE(CreateCairoCanvas(broken));
  cairo_surface_destroy(broken);
}
