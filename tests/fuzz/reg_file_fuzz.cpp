// libFuzzer target for the .reg reader and writer and the file store above
// them: any input must read without crashing or hanging and keep the
// properties in tests/settings/reg_file_properties.h. The commands are in
// tests/fuzz/CMakeLists.txt.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/reg_file_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string problem = reg_file_properties::CheckRegFileProperties(bytes);
  if (!problem.empty()) {
    std::fprintf(stderr, "property broken: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
