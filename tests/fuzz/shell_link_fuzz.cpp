// libFuzzer target for the shell-link (.lnk) reader. The commands are in
// tests/fuzz/CMakeLists.txt.
#include "catalogue/shell_link.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const auto link = ParseShellLink(data, size))
    for (const std::string& path : {link->local_path, link->relative_path})
      LinkPathToPosix(path, "/links/", [](char letter) { return std::string(letter == 'c' ? "/drive_c/" : ""); });
  return 0;
}
