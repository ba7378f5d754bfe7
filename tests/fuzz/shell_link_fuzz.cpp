// libFuzzer target for the readers of untrusted file headers: shell links
// (.lnk) and placeable metafiles. The commands are in tests/fuzz/CMakeLists.txt.
#include "catalogue/shell_link.h"
#include "catalogue/wmf_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const auto link = ParseShellLink(data, size))
    for (const std::string& path : {link->local_path, link->relative_path})
      LinkPathToPosix(path, "/links/", [](char letter) { return std::string(letter == 'c' ? "/drive_c/" : ""); });
  PlaceableWmfSize(data, size);
  return 0;
}
