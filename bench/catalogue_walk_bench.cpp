// Folder walk rate of the catalogue on a warm tree, side by side with
// `find <tree> -type f | wc -l`, and the memory the catalogue holds per entry.
// The tree (GLIMMORA_BENCH_TREE, default /tmp/glimmora-bench/tree) is made by
// bench/catalogue_bench.sh; every entry below it counts once per walk.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/file_system.h"
#include "platform/show_timers.h"
#include "platform/event_loop.h"
#include "platform/work_queue.h"
#include "decode/picture_probe.h"

namespace {

std::string TreeRoot() {
  const char* tree = std::getenv("GLIMMORA_BENCH_TREE");
  return tree && *tree ? tree : "/tmp/glimmora-bench/tree";
}

// Files and folders below the root (what both walkers visit).
std::int64_t CountEntries(const std::string& root) {
  std::int64_t entries = 0;
  for (auto it = std::filesystem::recursive_directory_iterator(root); it != decltype(it)(); ++it) ++entries;
  return entries;
}

// The real platform services the walk uses; no window is needed.
struct WalkPorts {
  WalkPorts() {
    settings.include_subfolders = true;
    settings.include_folders = TreeRoot();
  }
  // The walk runs on its queue; the chunks come back through the loop.
  std::int32_t Walk() {
    catalogue.Seed();
    catalogue.BeginWalk();
    while (catalogue.Walking()) loop->ProcessPendingEvents();
    return catalogue.PictureCount();
  }
  std::unique_ptr<EventLoop> loop = CreatePlatformEventLoop();
  std::unique_ptr<FileSystem> files = CreatePlatformFileSystem();
  std::unique_ptr<PictureProbe> probe = CreateHeaderProbe();
  std::unique_ptr<WorkQueue> queue = CreateThreadWorkQueue(std::chrono::seconds(2));
  ShowTimers timers{*loop, CreatePlatformHiddenWindow};
  SaverSettings settings;
  Catalogue catalogue{{*files, *probe, *loop, timers, *queue, PlatformPathStyle()}, settings};
};

void BM_FindTypeF(benchmark::State& bench) {
  const std::string command = "find '" + TreeRoot() + "' -type f | wc -l";
  long files = 0;
  for (auto _ : bench) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe || std::fscanf(pipe, "%ld", &files) != 1) bench.SkipWithError("find failed");
    if (pipe) pclose(pipe);
  }
  bench.SetItemsProcessed(bench.iterations() * CountEntries(TreeRoot()));
  bench.counters["files"] = static_cast<double>(files);
}

void BM_CatalogueWalk(benchmark::State& bench) {
  WalkPorts ports;
  std::int32_t pictures = 0;
  for (auto _ : bench) pictures = ports.Walk();
  bench.SetItemsProcessed(bench.iterations() * CountEntries(TreeRoot()));
  bench.counters["pictures"] = pictures;
  bench.counters["folders"] = ports.catalogue.FolderCount();
}

// Heap held after one walk, per listed picture (paths, list slots, folder
// queue and the walk's guards included).
void BM_CatalogueMemory(benchmark::State& bench) {
  double per_picture = 0;
  for (auto _ : bench) {
    const std::size_t before = mallinfo2().uordblks;
    auto ports = std::make_unique<WalkPorts>();
    const std::int32_t pictures = ports->Walk();
    const std::size_t after = mallinfo2().uordblks;
    per_picture = pictures ? static_cast<double>(after - before) / pictures : 0;
  }
  bench.counters["bytes_per_picture"] = per_picture;
}

BENCHMARK(BM_FindTypeF)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CatalogueWalk)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CatalogueMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (!std::filesystem::is_directory(TreeRoot())) {
    std::fprintf(stderr, "No tree at %s: run bench/catalogue_bench.sh (or set GLIMMORA_BENCH_TREE).\n",
                 TreeRoot().c_str());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
