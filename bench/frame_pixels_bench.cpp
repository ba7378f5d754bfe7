// The pixel work of one animated frame on a 1920 x 1080 screen, as the
// program does it on both platforms: a moving picture (prepared 10% larger)
// drawn magnified into the frame, in the Linux buffer's four bytes a pixel
// and the Windows buffer's three, and a fade's blend of two frames. The
// reference in the same run: Cairo's bilinear pattern doing the motion frame.
//   frame_pixels_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdint>
#include <random>
#include <vector>

#include "render/frame_pixels.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

Pixels NoisePicture() {
  Pixels picture = Pixels::Allocate(kWidth * 11 / 10, kHeight * 11 / 10);
  std::mt19937 noise(7);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) picture.Row(y)[x] = 0xFF000000u | (noise() & 0xFFFFFFu);
  return picture;
}

// The part shown half-way through an interval: magnified by 5%.
const RectF kSource{40, 20, kWidth * 1.1f / 1.05f, kHeight * 1.1f / 1.05f};
const RectF kShown{0, 0, kWidth, kHeight};

void BM_MotionFrame(benchmark::State& bench) {
  const Pixels picture = NoisePicture();
  const int bytes = static_cast<int>(bench.range(0));
  const std::ptrdiff_t stride = (kWidth * bytes + 3) / 4 * 4;
  std::vector<std::uint8_t> memory(static_cast<std::size_t>(stride) * kHeight);
  const FrameBuffer frame{memory.data(), kWidth, kHeight, stride, bytes};
  for (auto _ : bench) {
    DrawMagnified(picture, kSource, frame, kShown);
    benchmark::DoNotOptimize(memory.data());
  }
}

void BM_MotionFrameCairo(benchmark::State& bench) {
  const Pixels picture = NoisePicture();
  cairo_surface_t* source = cairo_image_surface_create_for_data(picture.data(), CAIRO_FORMAT_RGB24, picture.width(),
                                                                picture.height(), static_cast<int>(picture.stride()));
  cairo_surface_t* frame = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  for (auto _ : bench) {
    cairo_t* cr = cairo_create(frame);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(source);
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, kSource.x, kSource.y);
    cairo_matrix_scale(&m, kSource.width / kShown.width, kSource.height / kShown.height);
    cairo_pattern_set_matrix(pattern, &m);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_set_source(cr, pattern);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_pattern_destroy(pattern);
    cairo_destroy(cr);
    cairo_surface_flush(frame);
  }
  cairo_surface_destroy(frame);
  cairo_surface_destroy(source);
}

void BM_FadeFrame(benchmark::State& bench) {
  const int bytes = static_cast<int>(bench.range(0));
  const std::ptrdiff_t stride = (kWidth * bytes + 3) / 4 * 4;
  std::vector<std::uint8_t> a(static_cast<std::size_t>(stride) * kHeight, 10), b(a.size(), 200), out(a.size());
  const FrameBuffer outgoing{a.data(), kWidth, kHeight, stride, bytes}, incoming{b.data(), kWidth, kHeight, stride, bytes};
  const FrameBuffer shown{out.data(), kWidth, kHeight, stride, bytes};
  for (auto _ : bench) {
    BlendFrames(outgoing, incoming, shown, 100);
    benchmark::DoNotOptimize(out.data());
  }
}

}  // namespace

BENCHMARK(BM_MotionFrame)->ArgName("bytes")->Arg(4)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MotionFrameCairo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FadeFrame)->ArgName("bytes")->Arg(4)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
