// Frame time of the Linux canvas: one 24-megapixel JPEG prepared for a
// 1920 x 1080 picture box (reduced-scale decoding, on the picture worker in the
// program) and drawn by the frame renderer with its caption (on the UI
// thread), against the plain way in the same run: a full gdk-pixbuf decode
// scaled by Cairo. The UI thread's share, drawing a prepared picture, is
// measured on its own too. The same frame from the picture stored turned back a
// quarter with EXIF orientation 6 adds the cost of turning it upright. Run
// through bench/render_bench.sh, which makes both pictures.
//   GLIMMORA_BENCH_JPEG=picture.jpg GLIMMORA_BENCH_JPEG6=turned.jpg render_bench --benchmark_repetitions=...
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/system.h"
#include "render/canvas_cairo.h"
#include "render/graphics.h"
#include "render/picture_cache.h"
#include "decode/pixels.h"
#include "render/renderer.h"
#include "settings/identity.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

// The picture stored as it is shown (orientation 1) or turned (6).
std::string Picture(int orientation = 1) {
  const char* path = std::getenv(orientation == 6 ? "GLIMMORA_BENCH_JPEG6" : "GLIMMORA_BENCH_JPEG");
  return path ? path : "";
}

// The reference's picture: a pixbuf's pixels in a Cairo surface (gdk's own
// conversion needs a display).
cairo_surface_t* SurfaceFromPixbuf(const GdkPixbuf* pixbuf) {
  const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf), stride = gdk_pixbuf_get_rowstride(pixbuf);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  const guchar* src = gdk_pixbuf_read_pixels(pixbuf);
  for (int y = 0; y < height; ++y) {
    const guchar* in = src + static_cast<std::size_t>(y) * stride;
    auto* out = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface) +
                                                 static_cast<std::size_t>(y) * cairo_image_surface_get_stride(surface));
    for (int x = 0; x < width; ++x, in += channels) out[x] = 0xFF000000u | std::uint32_t{in[0]} << 16 | in[1] << 8 | in[2];
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

class SurfaceBox final : public PictureBox {
 public:
  SurfaceBox() : surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight)) {}
  ~SurfaceBox() override { cairo_surface_destroy(surface); }
  std::unique_ptr<Canvas> CreateCanvas() override { return CreateCairoCanvas(surface); }
  void AreaSize(int& width, int& height) override { width = kWidth, height = kHeight; }
  void Refresh() override {}
  void Clear() override {}
  cairo_surface_t* surface;
};

// The product's frame: the picture prepared and drawn by the frame renderer
// with the default settings (fit keeping the aspect ratio), the path as a
// caption at the bottom (caption 2) or none (0), from the picture stored in
// the given orientation; drawn_only 1: the UI thread's share alone (a
// prepared picture drawn with its caption).
void BM_RenderPicture(benchmark::State& bench) {
  const std::string path = Picture(static_cast<int>(bench.range(1)));
  if (path.empty()) {
    bench.SkipWithError("GLIMMORA_BENCH_JPEG or GLIMMORA_BENCH_JPEG6 not set");
    return;
  }
  std::unique_ptr<GraphicsLibrary> library = CreatePlatformGraphics();
  std::unique_ptr<SystemPort> system = CreatePlatformSystem();
  GraphicsSession graphics(*library, *system);
  SaverSettings settings = MakeDefaultSettings();
  settings.caption = static_cast<CaptionPosition>(bench.range(0));
  const ProgramIdentity identity = RestoreIdentity();
  FrameRenderer renderer(graphics, settings, identity);
  std::unique_ptr<PicturePreparer> preparer = CreatePicturePreparer();
  PictureCache budget(200u << 20);
  SurfaceBox box;
  const PictureRequest request{path, kWidth, kHeight, settings.scale_mode, false};
  const bool compose_only = bench.range(2) != 0;
  std::unique_ptr<PreparedPicture> prepared = preparer->Prepare(request, budget);
  for (auto _ : bench) {
    if (!compose_only) prepared = preparer->Prepare(request, budget);
    renderer.Draw(&box, prepared.get(), path, "", nullptr);
    cairo_surface_flush(box.surface);
  }
}

// The reference: decode every pixel, then let Cairo's GOOD filter reduce it.
void BM_FullDecodeThenCairoScale(benchmark::State& bench) {
  const std::string path = Picture();
  SurfaceBox box;
  for (auto _ : bench) {
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
    if (!pixbuf) {
      bench.SkipWithError("cannot decode GLIMMORA_BENCH_JPEG");
      return;
    }
    cairo_surface_t* picture = SurfaceFromPixbuf(pixbuf);
    const double w = gdk_pixbuf_get_width(pixbuf), h = gdk_pixbuf_get_height(pixbuf);
    g_object_unref(pixbuf);
    const double scale = std::min(kWidth / w, kHeight / h);
    cairo_t* cr = cairo_create(box.surface);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    cairo_translate(cr, (kWidth - w * scale) / 2, (kHeight - h * scale) / 2);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(picture);
    cairo_surface_flush(box.surface);
  }
}

// For comparison: gdk-pixbuf's own reduced decoding (DCT scale 1/2, 1/4 or
// 1/8 only), then drawn 1:1.
void BM_PixbufAtScaleThenDraw(benchmark::State& bench) {
  const std::string path = Picture();
  SurfaceBox box;
  for (auto _ : bench) {
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file_at_scale(path.c_str(), kWidth, kHeight, TRUE, nullptr);
    if (!pixbuf) {
      bench.SkipWithError("cannot decode GLIMMORA_BENCH_JPEG");
      return;
    }
    cairo_surface_t* picture = SurfaceFromPixbuf(pixbuf);
    const int w = gdk_pixbuf_get_width(pixbuf), h = gdk_pixbuf_get_height(pixbuf);
    g_object_unref(pixbuf);
    cairo_t* cr = cairo_create(box.surface);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    cairo_set_source_surface(cr, picture, (kWidth - w) / 2, (kHeight - h) / 2);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(picture);
    cairo_surface_flush(box.surface);
  }
}

// The turn alone, on the reduced picture of the orientation-6 frame (stored
// 1080 x 1620, upright 1620 x 1080), for an orientation (argument).
void BM_TurnUpright(benchmark::State& bench) {
  const Pixels stored = Pixels::Allocate(kHeight, kHeight * 3 / 2);
  for (auto _ : bench) benchmark::DoNotOptimize(TurnUpright(stored, static_cast<int>(bench.range(0))).data());
}

}  // namespace

BENCHMARK(BM_RenderPicture)
    ->ArgNames({"caption", "orientation", "drawn_only"})
    ->Args({2, 1, 0})
    ->Args({0, 1, 0})
    ->Args({2, 6, 0})
    ->Args({2, 1, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_FullDecodeThenCairoScale)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PixbufAtScaleThenDraw)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TurnUpright)->Arg(3)->Arg(6)->Arg(7)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_MAIN();
