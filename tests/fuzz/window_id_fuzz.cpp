// libFuzzer target for the window ids of the command lines: the Windows-style
// line ("/P 1234"), the X window id parser and the hack's arguments (the
// input cut at NUL bytes; the last piece as $XSCREENSAVER_WINDOW). An id read
// reads back the same from its decimal and hexadecimal text; only a hack's
// arguments give a window or an error. The commands are in
// tests/fuzz/CMakeLists.txt.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "startup/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ParseCommandLine(text);
  if (const WindowHandle id = ParseWindowId(text)) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%llx", static_cast<unsigned long long>(id));
    if (ParseWindowId(std::to_string(id)) != id || ParseWindowId(hex) != id) std::abort();
  }
  std::vector<std::string> args;
  for (std::size_t at = 0; at <= text.size();) {
    const std::size_t end = std::min(text.find('\0', at), text.size());
    args.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  const std::string saver_window = args.back();
  args.pop_back();
  const HackCommand hack = ParseHackCommand(args, saver_window.c_str());
  if (!hack.is_hack && (hack.window != 0 || !hack.error.empty())) std::abort();
  return 0;
}
