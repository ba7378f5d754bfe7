// UniversalRandom against the standard library's Mersenne Twister, side by side in
// one run: one draw as the slide sequencer makes it, the 15-digit rounding
// on its own, and the cost of a fresh generator (seeding, table, warm-up)
// for a short, the common and the longest lag pair.
#include <benchmark/benchmark.h>

#include <random>

#include "platform/event_loop.h"
#include "platform/system.h"
#include "sequence/universal_random.h"

namespace {

// A clock that only counts; the generator's seeding reads nothing else.
class BenchClock final : public SystemPort {
 public:
  std::int32_t TickCount() override { return tick; }
  double SecondsSinceMidnight() override { return 0; }
  void ShowMessage(const std::string&, const std::string&, MessageBoxStyle) override {}
  void ShowCursor(bool) override {}
  void SetScreenSaverRunning(bool) override {}
  [[noreturn]] void EndProcess(int) override { std::abort(); }
  std::int32_t tick = 1000;
};

class NoEvents final : public EventLoop {
 public:
  std::unique_ptr<Timer> CreateTimer(std::uint32_t, std::function<void()>) override { return nullptr; }
  void ProcessPendingEvents() override {}
  void Post(std::function<void()>) override {}
  int Run() override { return 0; }
  void Quit(int) override {}
};

void BM_UniversalRandom_Uniform(benchmark::State& state) {
  BenchClock clock;
  NoEvents loop;
  UniversalRandom prng(clock, loop);
  for (auto _ : state) benchmark::DoNotOptimize(prng.Uniform(0, 9999999));
}
BENCHMARK(BM_UniversalRandom_Uniform);

void BM_Mt19937_UniformReal(benchmark::State& state) {
  std::mt19937 engine(1802);
  std::uniform_real_distribution<double> draw(1, 10000000);
  for (auto _ : state) benchmark::DoNotOptimize(draw(engine));
}
BENCHMARK(BM_Mt19937_UniformReal);

void BM_RoundTo15Digits(benchmark::State& state) {
  double x = 0.123456789012345678;
  for (auto _ : state) {
    benchmark::DoNotOptimize(RoundTo15Digits(x));
    x += 0.0000001;
  }
}
BENCHMARK(BM_RoundTo15Digits);

// Argument: the tick count's last digit, which picks the lags (0: 17/5,
// 6: 97/33, 7: 607/273).
void BM_UniversalRandom_Construct(benchmark::State& state) {
  BenchClock clock;
  clock.tick = 1000 + static_cast<std::int32_t>(state.range(0));
  NoEvents loop;
  for (auto _ : state) {
    UniversalRandom prng(clock, loop);
    benchmark::DoNotOptimize(&prng);
  }
}
BENCHMARK(BM_UniversalRandom_Construct)->Arg(0)->Arg(6)->Arg(7)->Unit(benchmark::kMicrosecond);

void BM_Mt19937_Construct(benchmark::State& state) {
  std::uint32_t seed = 1802;
  for (auto _ : state) {
    std::mt19937 engine(seed++);
    benchmark::DoNotOptimize(engine());
  }
}
BENCHMARK(BM_Mt19937_Construct)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
