// libFuzzer target for the readers of untrusted file headers: shell links
// (.lnk) and placeable metafiles. Built only with -DGLIMMORA_FUZZ=ON and
// clang; see docs/benchmarks.md for the command.
#include <cstddef>
#include <cstdint>
#include <string>

#include "catalogue/shell_link.h"
#include "catalogue/wmf_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const auto link = ParseShellLink(data, size)) {
    auto drives = [](char letter) { return letter == 'c' ? std::string("/drive_c/") : std::string(); };
    LinkPathToPosix(link->local_path, "/links/", drives);
    LinkPathToPosix(link->relative_path, "/links/", drives);
  }
  PlaceableWmfSize(data, size);
  return 0;
}
