#pragma once
// UniversalRandom: the program's own uniform random number generator.
//
// A lagged subtractive generator with a correction sequence, after the
// universal generator of Marsaglia and Zaman, with eight lag pairs picked by
// the tick count, its own seed derivation from the tick count, and every
// output rounded to 15 significant decimal digits. The slide sequencer draws
// from it with Uniform(0, 9999999); the other members complete the class's public
// face (arrays, strings, sets of distinct numbers, a mean, a test mode).
//
// Choices made here:
// - Arrays come back as IndexedArray, which keeps the index range callers
//   rely on: generated values at 1..n, the failure marker -1 at index 1
//   (Values) or index 0 (DistinctNumbers) of a 0..1 array.
// - Rounding to 15 significant digits resolves an exact tie at the 16th
//   digit to even (1000000000000005 -> 1000000000000000, ...15 -> ...20),
//   the default of IEEE arithmetic, so the rounding has no upward bias.
// - The generator works on the unit circle: a value that would reach 1 by
//   floating-point rounding wraps to 0, so every output stays in [0, 1).
// - Seeding from the clock: a five-digit reading above the maximum whose
//   lowest 15 bits are 0 (32768, 65536, 98304) steps down by 10000 like any
//   other reading above the maximum, so all three give 22768 for 31328.
// - Requests for more than kMaxElements values (arrays, the range of
//   DistinctNumbers) are refused with "ERR" like other bad arguments.
// - DistinctNumbers never repeats 0: the shuffle's spare slot holds 0,
//   which a range reaching 0 would otherwise be able to return twice.
//
// Not thread-safe: one instance, used on the user-interface thread. Seeding
// and shuffles yield to the message queue through the event loop.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class SystemPort;
class EventLoop;

// An array that carries its own index range Lower()..Upper() (an empty one
// has Lower() = 1, Upper() = 0). Indexing outside the range throws
// std::out_of_range.
template <typename T>
class IndexedArray {
 public:
  IndexedArray() = default;
  // Indices lower..upper, every element value-initialised; empty when upper < lower.
  IndexedArray(std::int32_t lower, std::int32_t upper)
      : lower_(lower), values_(upper < lower ? 0 : static_cast<std::size_t>(std::int64_t{upper} - lower + 1)) {}

  std::int32_t Lower() const { return lower_; }
  std::int32_t Upper() const {
    return static_cast<std::int32_t>(lower_ + static_cast<std::int64_t>(values_.size()) - 1);
  }
  std::size_t size() const { return values_.size(); }
  bool empty() const { return values_.empty(); }

  T& operator[](std::int32_t index) { return values_.at(Offset(index)); }
  const T& operator[](std::int32_t index) const { return values_.at(Offset(index)); }

  // The elements in index order.
  auto begin() { return values_.begin(); }
  auto end() { return values_.end(); }
  auto begin() const { return values_.begin(); }
  auto end() const { return values_.end(); }

  friend bool operator==(const IndexedArray&, const IndexedArray&) = default;

 private:
  // A negative offset turns into a huge one, which at() refuses.
  std::size_t Offset(std::int32_t index) const { return static_cast<std::size_t>(std::int64_t{index} - lower_); }

  std::int32_t lower_ = 1;
  std::vector<T> values_;
};

// x rounded to 15 significant decimal digits (ties to even); 0, infinities
// and NaN come back unchanged.
double RoundTo15Digits(double x);

class UniversalRandom {
 public:
  // Seeds from the tick count of `system`; yields through `loop`.
  UniversalRandom(SystemPort& system, EventLoop& loop);
  ~UniversalRandom();
  // A copy draws what the original would draw next: the show looks ahead with one.
  UniversalRandom(const UniversalRandom&) = default;
  UniversalRandom& operator=(const UniversalRandom&) = delete;

  // The next draw (through FillArray) re-initialises the generator first.
  void ReseedOnNextDraw(bool on);
  // "ERR" after invalid arguments to the last member that checks them, else "".
  std::string Error() const;
  // "major.minor.revision  comments" of the program.
  std::string Version() const;
  // Mean of 100,000 values of a freshly seeded generator (about 0.5).
  double MeanOfSamples();
  // Later initialisations use the fixed seeds 1802, 9373 and the lags 97/33.
  void SetTestMode(bool on);
  // Uniform(N), Uniform(0, N) or Uniform(N, 0) with N >= 1: a value in [1, N + 1).
  // Uniform(a, b) with a, b >= 1: a value in [min, max + 1). Both below 1: a value
  // in [a, b + 1), unordered. A negative bound, both 0, or a non-finite
  // bound: 0 with "ERR".
  double Uniform(float low, float high = 0);
  // n values in [0, 1) at indices 1..n from a freshly seeded generator;
  // n < 1: "ERR" and a 0..1 array holding -1 at index 1.
  IndexedArray<double> Values(std::int32_t count);
  // length shuffled random bytes with codes lower..upper, as
  // characters or (as_hex) upper-case hex pairs cut to length
  // characters unless convert_all. Trailing spaces are dropped.
  std::string RandomString(std::int32_t length, std::int16_t lower, std::int16_t upper, bool as_hex = false,
                           bool convert_all = false);
  // count distinct values from min_value..max_value at indices
  // 1..count, optionally sorted; bad arguments: "ERR" and a 0..1
  // array holding -1 at index 0.
  IndexedArray<std::int32_t> DistinctNumbers(std::int32_t count, std::int32_t min_value, std::int32_t max_value,
                                             bool sorted = false);

  static constexpr std::int32_t kMaxElements = 1 << 24;

 private:
  friend struct UniversalRandomInternals;  // white-box tests of the private steps

  // `keep` = false runs the steps without rounding or storing (warm-up).
  IndexedArray<double> FillArray(std::int32_t n, bool keep = true);
  bool InitGenerator();
  std::int32_t SeedFromClock(std::int32_t max);
  void PickLags();
  bool SeedTable(std::int32_t seed1, std::int32_t seed2);
  IndexedArray<std::uint8_t> RandomBytes(std::int32_t length, std::int16_t lower, std::int16_t upper);
  bool ShuffleBytes(IndexedArray<std::uint8_t>& bytes);
  bool ShuffleNumbers(IndexedArray<std::int32_t>& values);
  template <typename T>
  bool Shuffle(IndexedArray<T>& values);
  int ShufflePasses();
  void QuickSortNumbers(IndexedArray<std::int32_t>& values, std::int32_t low, std::int32_t high);
  static void ExchangeSortNumbers(IndexedArray<std::int32_t>& values);
  static std::string JoinStrings(const std::vector<std::string>& pieces);
  template <typename T>
  static void SwapValues(T& a, T& b);
  double Step();
  void Clear();

  SystemPort& system_;
  EventLoop& loop_;
  bool test_mode_ = false;
  bool reseed_ = false;
  std::int32_t long_lag_ = 0;  // live table entries 1..long_lag_
  std::int32_t short_lag_ = 0;
  std::int32_t long_lag_at_ = 0;   // table position of the long lag, counts down long_lag_..1
  std::int32_t short_lag_at_ = 0;  // table position of the short lag, counts down short_lag_..1
  std::string error_;
  // The correction sequence subtracted from every output.
  double correction_ = 0;
  double correction_step_ = 0;
  double correction_modulus_ = 0;
  // Indices 1..long_lag_ + 1; the last entry stays 0 and is never read.
  IndexedArray<double> lag_table_;
};
