// libFuzzer target for the .reg reader and writer and the file store above
// them: any input must read without crashing or hanging and keep the
// properties in tests/settings/reg_file_properties.h. Build and run (clang):
//   cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
//         -DGLIMMORA_FUZZ=ON -DGLIMMORA_TESTS=OFF -DGLIMMORA_BENCH=OFF
//   cmake --build build/fuzz --target reg_file_fuzz
//   mkdir -p build/fuzz/corpus
//   build/fuzz/tests/fuzz/reg_file_fuzz build/fuzz/corpus tests/settings/data \
//         -dict=tests/fuzz/reg_file.dict -max_total_time=300
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
