// libFuzzer target for the EDID reader: any block gives a name of at most
// 13 printable ASCII characters, without trailing blanks, or none. The
// commands are in tests/fuzz/CMakeLists.txt.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "startup/edid.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string name = MonitorNameFromEdid(data, size);
  if (name.size() > 13 || (!name.empty() && name.back() == ' ')) std::abort();
  for (char c : name)
    if (c < 0x20 || c > 0x7E) std::abort();
  return 0;
}
