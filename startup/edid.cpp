#include "startup/edid.h"

namespace {

constexpr std::size_t kBlockSize = 128;
constexpr unsigned char kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
// The four 18-byte descriptors of the base block.
constexpr std::size_t kDescriptorOffsets[] = {54, 72, 90, 108};
constexpr std::size_t kDescriptorSize = 18;
constexpr unsigned char kMonitorNameTag = 0xFC;

bool HasHeader(const unsigned char* data) {
  for (std::size_t i = 0; i < sizeof kHeader; ++i)
    if (data[i] != kHeader[i]) return false;
  return true;
}

// A display descriptor (not a detailed timing) starts with three zero bytes,
// then its tag.
bool IsMonitorName(const unsigned char* d) { return d[0] == 0 && d[1] == 0 && d[2] == 0 && d[3] == kMonitorNameTag; }

std::string NameText(const unsigned char* d) {
  std::string name;
  for (std::size_t i = 5; i < kDescriptorSize && d[i] != 0x0A; ++i)
    if (d[i] >= 0x20 && d[i] < 0x7F) name += static_cast<char>(d[i]);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

}  // namespace

std::string MonitorNameFromEdid(const unsigned char* data, std::size_t size) {
  if (data == nullptr || size < kBlockSize || !HasHeader(data)) return {};
  for (std::size_t offset : kDescriptorOffsets) {
    const unsigned char* d = data + offset;
    if (IsMonitorName(d)) return NameText(d);
  }
  return {};
}
