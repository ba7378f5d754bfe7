#include "options/grace_period.h"

#include <cmath>
#include <charconv>
#include <system_error>

#include "options/folder_lists.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits with at most one decimal point and at least one digit; advances pos.
bool ScanMantissa(const std::string& s, std::size_t& pos) {
  int digits = 0;
  bool point = false;
  for (; pos < s.size(); ++pos) {
    if (IsDigit(s[pos])) {
      ++digits;
    } else if (s[pos] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  return digits > 0;
}

bool ScanExponent(const std::string& s, std::size_t& pos) {
  if (pos >= s.size() || (s[pos] != 'e' && s[pos] != 'E')) return true;
  ++pos;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
  std::size_t start = pos;
  while (pos < s.size() && IsDigit(s[pos])) ++pos;
  return pos > start;
}

}  // namespace

bool IsDecimalNumber(const std::string& text, double* value) {
  std::string s = TrimBlanks(text);
  std::size_t pos = 0;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
  if (!ScanMantissa(s, pos) || !ScanExponent(s, pos) || pos != s.size()) return false;
  // from_chars ignores the locale (a GTK program may run with a decimal comma).
  std::size_t start = s[0] == '+' ? 1 : 0;
  double v = 0;
  auto result = std::from_chars(s.data() + start, s.data() + s.size(), v);
  if (result.ec != std::errc() || !std::isfinite(v)) return false;
  if (value) *value = v;
  return true;
}

std::string NumberText(double value) {
  if (value == 0) return "0";  // also -0
  char buffer[64];
  std::to_chars_result result =
      std::fabs(value) < 1e15 && value == std::trunc(value)
          ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 0)
          : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return std::string(buffer, result.ptr);
}

std::string GraceTextFromStore(bool read_ok, const std::string& stored) {
  double value = 0;
  if (!read_ok || !IsDecimalNumber(stored, &value)) return kGraceFallback;
  return NumberText(value);
}
