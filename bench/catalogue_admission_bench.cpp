// Admission with a size filter on 2,000 JPEGs: the header-only probe the
// program uses (its own header reader) against a full decode of every file,
// in files per second.
// The pictures (GLIMMORA_BENCH_JPEGS, default /tmp/glimmora-bench/jpegs) are
// generated on the first run: 1024x768 noise, so no decoder takes a shortcut.
#include <benchmark/benchmark.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "catalogue/admission.h"
#include "decode/picture_probe.h"

namespace {

constexpr int kPictures = 2000;
constexpr int kWidth = 1024, kHeight = 768;

std::string JpegFolder() {
  const char* folder = std::getenv("GLIMMORA_BENCH_JPEGS");
  return folder && *folder ? folder : "/tmp/glimmora-bench/jpegs";
}

std::string JpegPath(int i) { return JpegFolder() + "/IMG_" + std::to_string(10000 + i) + ".jpg"; }

bool MakeJpegs() {
  std::filesystem::create_directories(JpegFolder());
  std::mt19937 random(42);
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, kWidth, kHeight);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  bool ok = true;
  for (int i = 0; i < kPictures && ok; ++i) {
    if (std::filesystem::exists(JpegPath(i))) continue;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth * 3; ++x)
        pixels[y * stride + x] = static_cast<guchar>((x + y + i) / 4 + random() % 64);
    ok = gdk_pixbuf_save(pixbuf, JpegPath(i).c_str(), "jpeg", nullptr, "quality", "90", nullptr);
  }
  g_object_unref(pixbuf);
  return ok;
}

// What a probe that decodes the whole picture would cost.
class FullDecodeProbe final : public PictureProbe {
 public:
  PictureHeader Read(const std::string& path) override {
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
    if (!pixbuf) return {};
    PictureHeader header{PictureKind::Raster, PictureFormat::Jpeg, gdk_pixbuf_get_width(pixbuf),
                         gdk_pixbuf_get_height(pixbuf)};
    g_object_unref(pixbuf);
    return header;
  }
};

void RunAdmission(benchmark::State& bench, PictureProbe& probe) {
  SaverSettings settings;
  settings.size_filter = SizeFilter::Min1024x768;
  std::vector<std::string> paths;
  for (int i = 0; i < kPictures; ++i) paths.push_back(JpegPath(i));
  int admitted = 0;
  for (auto _ : bench) {
    admitted = 0;
    for (const std::string& path : paths) admitted += AdmitPicture(settings, probe, path);
  }
  bench.SetItemsProcessed(bench.iterations() * kPictures);
  bench.counters["admitted"] = admitted;
}

void BM_AdmitHeaderOnly(benchmark::State& bench) {
  std::unique_ptr<PictureProbe> probe = CreateHeaderProbe();
  RunAdmission(bench, *probe);
}

void BM_AdmitFullDecode(benchmark::State& bench) {
  FullDecodeProbe probe;
  RunAdmission(bench, probe);
}

BENCHMARK(BM_AdmitHeaderOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AdmitFullDecode)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
  if (!MakeJpegs()) {
    std::fprintf(stderr, "Could not write the pictures to %s\n", JpegFolder().c_str());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
