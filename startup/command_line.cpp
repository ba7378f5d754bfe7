#include "startup/command_line.h"

#include "platform/text.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

std::string UpperCase(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return text;
}

// The decimal number at the start of the text (blanks before it skipped),
// rounded half to even to a 32-bit integer; 0 when there are no digits or
// the number does not fit.
WindowHandle LeadingNumber(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  double value = 0;
  bool any = false;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    any = true;
  }
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
      value += (text[i] - '0') * scale;
      scale /= 10;
      any = true;
    }
  }
  if (!any) return 0;
  double rounded = std::nearbyint(value);
  // A handle is a 32-bit number; X window ids use the unsigned range.
  if (rounded > static_cast<double>(std::numeric_limits<std::uint32_t>::max())) return 0;
  return static_cast<WindowHandle>(rounded);
}

}  // namespace

CommandLine ParseCommandLine(const std::string& raw) {
  std::string text = UpperCase(TrimSpaces(raw));
  CommandLine result;
  result.mode = TrimSpaces(text.substr(0, 2));
  if (text.size() > 3) result.handle = LeadingNumber(text.substr(3));
  return result;
}
