#include "sequence/universal_random.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <utility>

#include "platform/event_loop.h"
#include "platform/system.h"
#include "version.h"

namespace {

constexpr const char* kErr = "ERR";

constexpr std::int32_t kSeed1Max = 31328;
constexpr std::int32_t kSeed2Max = 30081;
constexpr std::int32_t kTestSeed1 = 1802;
constexpr std::int32_t kTestSeed2 = 9373;
constexpr std::int32_t kTestLongLag = 97;
constexpr std::int32_t kTestShortLag = 33;
constexpr std::int32_t kWarmUpSteps = 20000;
constexpr int kBitsPerEntry = 24;
constexpr double kTwoTo24 = 16777216.0;
constexpr std::int32_t kMedianSamples = 100000;
constexpr std::int32_t kMaxStringLength = 32768;
constexpr std::size_t kJoinBufferStart = 90000;
constexpr std::size_t kJoinBufferGrowth = 10000;
constexpr std::int32_t kExchangeSortLimit = 25;

// (long lag, short lag) by the last decimal digit of the tick count.
constexpr std::pair<std::int32_t, std::int32_t> kLagPairs[10] = {
    {17, 5}, {33, 13}, {39, 14}, {52, 24}, {63, 31}, {73, 25}, {97, 33}, {607, 273}, {97, 33}, {97, 33},
};

// Round to nearest, halves to even (the default floating-point mode).
std::int32_t RoundHalfEven(double x) { return static_cast<std::int32_t>(std::nearbyint(x)); }

int LastDigit(std::int32_t value) {
  std::string text = std::to_string(value);
  return text.back() - '0';
}

// The number written by the last five characters of value's decimal text
// (a short negative number keeps its sign).
std::int32_t LastFiveCharacters(std::int32_t value) {
  std::string text = std::to_string(value);
  if (text.size() > 5) text.erase(0, text.size() - 5);
  std::int32_t number = 0;
  std::from_chars(text.data(), text.data() + text.size(), number);
  return number;
}

std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::string HexByte(std::uint8_t byte) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[byte >> 4], kDigits[byte & 0xF]};
}

// Keeps a generator value on the unit circle: a sum that rounded up to 1 is 0.
double Wrap(double x) { return x >= 1 ? 0.0 : x; }

}  // namespace

double RoundTo15Digits(double x) {
  if (x == 0 || !std::isfinite(x)) return x;
  // to_chars gives the exactly rounded decimal (ties to even); from_chars
  // reads it back to the nearest double. Both are locale-free.
  char text[32];
  auto written = std::to_chars(text, text + sizeof text, x, std::chars_format::scientific, 14);
  double rounded = x;
  std::from_chars(text, written.ptr, rounded);
  return rounded;
}

UniversalRandom::UniversalRandom(SystemPort& system, EventLoop& loop) : system_(system), loop_(loop) {
  if (!InitGenerator()) Clear();
}

UniversalRandom::~UniversalRandom() { Clear(); }

void UniversalRandom::Clear() {
  correction_ = correction_step_ = correction_modulus_ = 0;
  test_mode_ = false;
  error_.clear();
  lag_table_ = {};
}

void UniversalRandom::ReseedOnNextDraw(bool on) { reseed_ = on; }

std::string UniversalRandom::Error() const { return error_; }

std::string UniversalRandom::Version() const {
  return std::to_string(GLIMMORA_VERSION_MAJOR) + "." + std::to_string(GLIMMORA_VERSION_MINOR) + "." +
         std::to_string(GLIMMORA_VERSION_REVISION) + "  " + GLIMMORA_VERSION_COMMENTS;
}

double UniversalRandom::MeanOfSamples() {
  reseed_ = true;
  IndexedArray<double> values = Values(kMedianSamples);
  return std::accumulate(values.begin(), values.end(), 0.0) / kMedianSamples;
}

void UniversalRandom::SetTestMode(bool on) { test_mode_ = on; }

double UniversalRandom::Uniform(float low, float high) {
  error_.clear();
  if (!std::isfinite(low) || !std::isfinite(high) || low < 0 || high < 0 || (low == 0 && high == 0)) {
    error_ = kErr;
    return 0;
  }
  const bool low_big = low >= 1;
  const bool high_big = high >= 1;
  const double x = FillArray(1)[1];
  if (low_big != high_big) {
    const double n = low_big ? low : high;
    return n * x + 1;
  }
  double lo = low;
  double hi = high;
  if (low_big && lo > hi) std::swap(lo, hi);
  return (hi + 1 - lo) * x + lo;
}

IndexedArray<double> UniversalRandom::Values(std::int32_t count) {
  error_.clear();
  IndexedArray<double> failed(0, 1);
  failed[1] = -1;
  if (count < 1 || count > kMaxElements) {
    error_ = kErr;
    return failed;
  }
  if (!InitGenerator()) return failed;
  return FillArray(count);
}

// ---- The generator -------------------------------------------------------

bool UniversalRandom::InitGenerator() {
  std::int32_t seed1 = kTestSeed1;
  std::int32_t seed2 = kTestSeed2;
  if (!test_mode_) {
    do {
      seed1 = SeedFromClock(kSeed1Max);
      seed2 = SeedFromClock(kSeed2Max);
    } while (seed1 == seed2);
  }
  if (test_mode_) {
    long_lag_ = kTestLongLag;
    short_lag_ = kTestShortLag;
  } else {
    PickLags();
  }
  if (!SeedTable(seed1, seed2)) return false;
  FillArray(kWarmUpSteps, false);
  return true;
}

std::int32_t UniversalRandom::SeedFromClock(std::int32_t max) {
  loop_.ProcessPendingEvents();
  // Only a reading whose last five characters give 0 or a short negative
  // number repeats; the clock moves on within a tick period.
  std::int32_t x = 0;
  while (x < 1) x = LastFiveCharacters(WrappingAdd(max, system_.TickCount()));
  // x is at most 99999, so this steps down at most ten times.
  while (x > max) {
    const std::int32_t v = x % 32768;
    if (v >= 1 && v <= max) return v;
    x -= 10000;
  }
  return x;
}

void UniversalRandom::PickLags() {
  const auto [r, s] = kLagPairs[LastDigit(system_.TickCount())];
  long_lag_ = r;
  short_lag_ = s;
}

bool UniversalRandom::SeedTable(std::int32_t seed1, std::int32_t seed2) {
  error_.clear();
  if (seed1 < 0 || seed1 > kSeed1Max || seed2 < 0 || seed2 > kSeed2Max) {
    error_ = kErr;
    return false;
  }
  lag_table_ = IndexedArray<double>(1, long_lag_ + 1);
  std::int32_t k1 = RoundHalfEven(seed1 / 185.0) % 185 + 2;
  std::int32_t k2 = seed1 % 185 + 2;
  std::int32_t k3 = RoundHalfEven(seed2 / 177.0) % 186 + 1;
  std::int32_t k4 = seed2 % 177;
  for (std::int32_t m = 1; m <= long_lag_; ++m) {
    double sum = 0;
    double t = 0.5;
    for (int bit = 0; bit < kBitsPerEntry; ++bit) {
      const std::int32_t w = (((k1 * k2) % 179) * k3) % 179;
      k1 = k2;
      k2 = k3;
      k3 = w;
      k4 = (53 * k4 + 1) % 169;
      if ((k4 * w) % 64 >= 32) sum += t;
      t /= 2;
    }
    lag_table_[m] = RoundTo15Digits(sum);
  }
  correction_ = 362436 / kTwoTo24;
  correction_step_ = 7654321 / kTwoTo24;
  correction_modulus_ = 16777213 / kTwoTo24;
  long_lag_at_ = long_lag_;
  short_lag_at_ = short_lag_;
  return true;
}

// One step of the lagged generator and the correction sequence, unrounded.
// Because j stays within 1..s, the two positions meet within r x s steps;
// that pass clears entries 1..s, after which the entries above s repeat
// every r steps and the equidistributed correction sequence carries the
// variation: outputs stay evenly spread, more evenly than independent draws.
double UniversalRandom::Step() {
  double x = lag_table_[long_lag_at_] - lag_table_[short_lag_at_];
  if (x < 0) x = Wrap(x + 1);
  lag_table_[long_lag_at_] = x;
  if (--long_lag_at_ == 0) long_lag_at_ = long_lag_;
  // The short lag wraps to s, so j only ever visits the entries 1..s.
  if (--short_lag_at_ == 0) short_lag_at_ = short_lag_;
  correction_ -= correction_step_;
  if (correction_ < 0) correction_ += correction_modulus_;
  x -= correction_;
  if (x < 0) x = Wrap(x + 1);
  return x;
}

IndexedArray<double> UniversalRandom::FillArray(std::int32_t n, bool keep) {
  error_.clear();
  if (n < 1 || n > kMaxElements) {
    error_ = kErr;
    return {};
  }
  // An instance whose construction failed has no table yet: seed it first.
  if (reseed_ || lag_table_.empty()) {
    reseed_ = false;
    if (!InitGenerator()) return IndexedArray<double>(1, 1);
  }
  IndexedArray<double> result(1, keep ? n : 0);
  for (std::int32_t k = 1; k <= n; ++k) {
    const double x = Step();
    if (keep) result[k] = Wrap(RoundTo15Digits(x));
  }
  return result;
}

// ---- Strings of random bytes ---------------------------------------------

std::string UniversalRandom::RandomString(std::int32_t length, std::int16_t lower, std::int16_t upper, bool as_hex,
                                          bool convert_all) {
  error_.clear();
  if (length < 1 || length > kMaxStringLength || lower < 0 || lower > upper || upper > 255) {
    error_ = kErr;
    return {};
  }
  IndexedArray<std::uint8_t> bytes = RandomBytes(length, lower, upper);
  if (bytes.empty() || !ShuffleBytes(bytes)) return {};
  std::vector<std::string> pieces;
  pieces.reserve(bytes.size());
  for (std::uint8_t byte : bytes) pieces.push_back(as_hex ? HexByte(byte) : std::string(1, static_cast<char>(byte)));
  std::string text = JoinStrings(pieces);
  if (as_hex && !convert_all && text.size() > static_cast<std::size_t>(length)) {
    text.resize(static_cast<std::size_t>(length));
  }
  return text;
}

// Bytes at indices 0..length - 1 from a freshly seeded generator; empty on failure.
IndexedArray<std::uint8_t> UniversalRandom::RandomBytes(std::int32_t length, std::int16_t lower, std::int16_t upper) {
  if (!InitGenerator()) return {};
  IndexedArray<double> values = FillArray(length + 1);
  if (values.size() < static_cast<std::size_t>(length) + 1) return {};
  IndexedArray<std::uint8_t> bytes(0, length - 1);
  const double width = upper - lower + 1;
  for (std::int32_t k = 0; k < length; ++k) {
    bytes[k] = static_cast<std::uint8_t>(static_cast<std::int32_t>(width * values[k + 1]) + lower);
  }
  return bytes;
}

// Concatenates in a space-filled buffer that grows in steps, then drops the
// buffer's trailing spaces, which takes trailing spaces of the text with them.
std::string UniversalRandom::JoinStrings(const std::vector<std::string>& pieces) {
  std::string buffer(kJoinBufferStart, ' ');
  std::size_t used = 0;
  for (const std::string& piece : pieces) {
    while (used + piece.size() > buffer.size()) buffer.append(kJoinBufferGrowth, ' ');
    buffer.replace(used, piece.size(), piece);
    used += piece.size();
  }
  buffer.erase(buffer.find_last_not_of(' ') + 1);
  return buffer;
}

// ---- Sets of distinct numbers ---------------------------------------------

IndexedArray<std::int32_t> UniversalRandom::DistinctNumbers(std::int32_t count, std::int32_t min_value,
                                                            std::int32_t max_value, bool sorted) {
  error_.clear();
  const std::int64_t span = std::int64_t{max_value} - min_value;
  const bool valid = count >= 1 && max_value >= 1 && min_value < max_value && count <= std::int64_t{max_value} + 1 &&
                     count <= span + 1 && span + 4 <= kMaxElements;
  if (!valid) {
    error_ = kErr;
    IndexedArray<std::int32_t> failed(0, 1);
    failed[0] = -1;
    return failed;
  }
  // Every value of the range, two beyond it, and a spare 0 that the shuffle
  // may move into the range.
  const auto last = static_cast<std::int32_t>(span + 3);
  IndexedArray<std::int32_t> pool(0, last);
  for (std::int32_t index = 0; index < last; ++index) {
    pool[index] = static_cast<std::int32_t>(static_cast<std::uint32_t>(min_value) + static_cast<std::uint32_t>(index));
  }
  ShuffleNumbers(pool);

  IndexedArray<std::int32_t> result(1, count);
  std::int32_t filled = 0;
  bool zero_taken = false;
  for (std::int32_t index = 0; index <= last && filled < count; ++index) {
    const std::int32_t value = pool[index];
    if (value < min_value || value > max_value) continue;
    if (value == 0 && std::exchange(zero_taken, true)) continue;
    result[++filled] = value;
  }
  if (sorted && count >= 2) {
    if (count <= kExchangeSortLimit) {
      ExchangeSortNumbers(result);
    } else {
      QuickSortNumbers(result, 1, count);
    }
  }
  return result;
}

// Swaps the first adjacent pair out of order, then scans again from the start.
void UniversalRandom::ExchangeSortNumbers(IndexedArray<std::int32_t>& values) {
  std::int32_t k = values.Lower();
  while (k < values.Upper()) {
    if (values[k] > values[k + 1]) {
      SwapValues(values[k], values[k + 1]);
      k = values.Lower();
    } else {
      ++k;
    }
  }
}

// Quicksort around the element at the rounded middle index. It recurses into
// the smaller part and loops on the larger, so the depth stays logarithmic.
void UniversalRandom::QuickSortNumbers(IndexedArray<std::int32_t>& values, std::int32_t low, std::int32_t high) {
  while (low < high) {
    const std::int32_t pivot = values[RoundHalfEven((static_cast<double>(low) + high) / 2)];
    std::int32_t i = low;
    std::int32_t j = high;
    while (i <= j) {
      while (values[i] < pivot) ++i;
      while (values[j] > pivot) --j;
      if (i <= j) SwapValues(values[i++], values[j--]);
    }
    if (j - low < high - i) {
      QuickSortNumbers(values, low, j);
      low = i;
    } else {
      QuickSortNumbers(values, i, high);
      high = j;
    }
  }
}

// ---- Shuffles --------------------------------------------------------------

bool UniversalRandom::ShuffleBytes(IndexedArray<std::uint8_t>& bytes) { return Shuffle(bytes); }

bool UniversalRandom::ShuffleNumbers(IndexedArray<std::int32_t>& values) { return Shuffle(values); }

// Passes of exchanges with randomly drawn partners. An array starting at
// index 0 keeps its last element as a spare outside the visited range that
// an exchange can still bring in.
template <typename T>
bool UniversalRandom::Shuffle(IndexedArray<T>& values) {
  if (values.size() < 2) return false;
  const std::int32_t first = values.Lower();
  const std::int32_t last = first == 0 ? values.Upper() - 1 : values.Upper();
  const double width = static_cast<double>(last) - first + 1;
  const int passes = ShufflePasses();

  const std::int32_t batch_size = std::min(kMaxElements, 2 * values.Upper());
  IndexedArray<double> batch;
  std::int32_t next = 1;
  for (int pass = 0; pass < passes; ++pass) {
    for (std::int32_t k = first; k <= last; ++k) {
      std::int32_t t = k;
      while (t == k || t > values.Upper()) {
        if (next > batch.Upper()) {
          batch = FillArray(batch_size);
          next = 1;
          if (batch.empty()) return false;
        }
        t = RoundHalfEven(width * batch[next++] + first);
      }
      SwapValues(values[k], values[t]);
    }
  }
  return true;
}

// The last digit of the tick count, read until it lies in 3..7.
int UniversalRandom::ShufflePasses() {
  int passes = 0;
  do {
    loop_.ProcessPendingEvents();
    passes = LastDigit(system_.TickCount());
  } while (passes < 3 || passes > 7);
  return passes;
}

template <typename T>
void UniversalRandom::SwapValues(T& a, T& b) {
  std::swap(a, b);
}
