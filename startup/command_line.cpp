#include "startup/command_line.h"

#include "platform/text.h"

#include <cctype>
#include <charconv>
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

namespace {

// The flags of a hack's command line, and whether a value follows. Only
// root and window-id mean something here; the others are what a daemon or a
// user may give any hack.
struct HackFlag {
  const char* name;
  bool takes_value;
};
constexpr HackFlag kHackFlags[] = {
    {"root", false},  {"window-id", true}, {"fps", false},  {"install", false},
    {"visual", true}, {"geometry", true},  {"delay", true},
};

// The name of a flag without its one or two dashes; "" for anything else.
std::string FlagName(const std::string& arg) {
  if (arg.size() < 2 || arg[0] != '-') return "";
  return arg.substr(arg[1] == '-' ? 2 : 1);
}

const HackFlag* FindHackFlag(const std::string& name) {
  for (const HackFlag& flag : kHackFlags)
    if (name == flag.name) return &flag;
  return nullptr;
}

}  // namespace

WindowHandle ParseWindowId(const std::string& text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* first = text.data() + (hex ? 2 : 0);
  const char* last = text.data() + text.size();
  std::uint32_t id = 0;
  const auto [end, error] = std::from_chars(first, last, id, hex ? 16 : 10);
  if (error != std::errc() || end != last) return 0;
  return static_cast<WindowHandle>(id);
}

HackCommand ParseHackCommand(const std::vector<std::string>& args, const char* saver_window) {
  HackCommand hack;
  for (const std::string& arg : args)
    if (FlagName(arg) == "root" || FlagName(arg) == "window-id") hack.is_hack = true;
  if (!hack.is_hack) return hack;

  const std::string* window_id = nullptr;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const HackFlag* flag = FindHackFlag(FlagName(args[i]));
    if (!flag) {
      hack.error = "unknown option " + args[i];
      return hack;
    }
    if (flag->takes_value && i + 1 == args.size()) {
      hack.error = args[i] + " needs a value";
      return hack;
    }
    if (flag->takes_value) ++i;
    if (std::string(flag->name) == "window-id") window_id = &args[i];
  }

  if (window_id) {
    hack.window = ParseWindowId(*window_id);
    if (hack.window == 0) hack.error = "not a window id: \"" + *window_id + "\"";
  } else if (saver_window && *saver_window) {
    // Set by the daemon for the window it made for this hack.
    hack.window = ParseWindowId(saver_window);
    if (hack.window == 0) hack.error = "XSCREENSAVER_WINDOW is not a window id: \"" + std::string(saver_window) + "\"";
  }
  return hack;
}
