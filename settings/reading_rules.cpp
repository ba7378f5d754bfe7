#include "settings/reading_rules.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

struct Scan {
  bool found = false;  // a number was read
  double value = 0;
  std::size_t end = 0;  // first character after the number
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::size_t SkipDigits(std::string_view text, std::size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

Scan ScanHex(std::string_view text, std::size_t i) {
  Scan scan;
  i += 2;  // "&H"
  double value = 0;
  std::size_t start = i;
  for (; i < text.size() && HexDigit(text[i]) >= 0; ++i) value = value * 16 + HexDigit(text[i]);
  if (i == start) return scan;
  return {true, value, i};
}

// A decimal that from_chars rejects as out of range: far too large or too small.
double OutOfRange(std::string_view number, bool negative) {
  std::size_t e = number.find_first_of("eE");
  bool tiny = e != std::string_view::npos && number.substr(e + 1).starts_with('-');
  if (tiny) return negative ? -0.0 : 0.0;
  return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
}

Scan ScanDecimal(std::string_view text, std::size_t start) {
  Scan scan;
  std::size_t i = start;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::size_t digits_start = i;
  i = SkipDigits(text, i);
  std::size_t int_digits = i - digits_start;
  std::size_t frac_digits = 0;
  if (i < text.size() && text[i] == '.') {
    std::size_t after = SkipDigits(text, i + 1);
    frac_digits = after - (i + 1);
    if (int_digits + frac_digits > 0) i = after;
  }
  if (int_digits + frac_digits == 0) return scan;
  // An exponent counts only when digits follow it.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    std::size_t after = SkipDigits(text, j);
    if (after > j) i = after;
  }
  std::string number(text.substr(digits_start, i - digits_start));
  double value = 0;
  auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) return {true, OutOfRange(number, negative), i};
  return {true, negative ? -value : value, i};
}

Scan ScanNumber(std::string_view text, std::size_t i) {
  if (i + 1 < text.size() && text[i] == '&' && (text[i + 1] == 'H' || text[i + 1] == 'h')) return ScanHex(text, i);
  return ScanDecimal(text, i);
}

bool IsLeadingSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text, std::string_view blanks) {
  std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsLeadingSpace(text[i])) ++i;
  Scan scan = ScanNumber(text, i);
  return scan.found ? scan.value : 0.0;
}

std::optional<double> WholeNumber(std::string_view text) {
  std::string_view inner = Trim(text, " \t");
  Scan scan = ScanNumber(inner, 0);
  if (!scan.found || scan.end != inner.size()) return std::nullopt;
  return scan.value;
}

bool BooleanRule(std::string_view text) { return Trim(text, " ") == "yes" || LeadingNumber(text) > 0; }

double RoundHalfEven(double value) {
  double rounded = std::round(value);  // halves away from zero
  if (std::fabs(value - std::trunc(value)) == 0.5) rounded = 2.0 * std::round(value / 2.0);
  return rounded;
}
