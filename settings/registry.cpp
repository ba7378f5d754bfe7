#include "settings/registry.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

#include "settings/reading_rules.h"

namespace {

// The four bytes at the start of the buffer, little-endian, as a signed
// number. The buffer is zero-filled, so shorter data reads as if padded.
std::int32_t DwordAt(const std::uint8_t* buffer) {
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) bits = (bits << 8) | buffer[i];
  return static_cast<std::int32_t>(bits);
}

std::string MultiStringText(const std::uint8_t* buffer, std::uint32_t length) {
  std::string text;
  // Always one byte less than stored: the terminator of a well-formed list,
  // or the list's last character when the data lacks one.
  for (std::uint32_t i = 0; i + 1 < length; ++i) {
    if (buffer[i] == 0) {
      text += "\r\n";
    } else {
      text += static_cast<char>(buffer[i]);
    }
  }
  return text;
}

std::string ValueText(std::uint32_t type, const std::uint8_t* buffer, std::uint32_t length) {
  if (length == 0) return type == kRegDword ? "&H0" : "";
  std::uint32_t kept = buffer[length - 1] == 0 ? length - 1 : length;
  switch (type) {
    case kRegSz:
      return std::string(reinterpret_cast<const char*>(buffer), kept);
    case kRegDword:
      return std::to_string(DwordAt(buffer));
    case kRegMultiSz:
      return MultiStringText(buffer, length);
    default:
      return "";
  }
}

// The text passed for a string-like write; a number becomes its shortest text.
std::string DataText(const RegistryData& value) {
  if (const std::string* text = value.text()) return *text;
  std::array<char, 64> digits{};
  auto result = std::to_chars(digits.data(), digits.data() + digits.size(), *value.number());
  return std::string(digits.data(), result.ptr);
}

// The 32-bit value of a REG_DWORD write, or nothing when the value has none.
std::optional<std::int32_t> DwordValue(const RegistryData& value) {
  std::optional<double> number;
  if (const double* n = value.number()) number = *n;
  if (const std::string* text = value.text()) number = WholeNumber(*text);
  if (!number || !std::isfinite(*number)) return std::nullopt;
  double rounded = RoundHalfEven(*number);
  if (rounded < -2147483648.0 || rounded > 2147483647.0) return std::nullopt;
  return static_cast<std::int32_t>(rounded);
}

// REG_MULTI_SZ bytes: every CR-LF becomes a NUL and one NUL ends the list.
std::string MultiStringData(const std::string& text) {
  std::string data;
  data.reserve(text.size() + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      data += '\0';
      ++i;
    } else {
      data += text[i];
    }
  }
  if (data.empty() || data.back() != '\0') data += '\0';
  return data;
}

long WriteValue(RegistryStore& registry, RegKey key, std::uint32_t type, const std::string& name,
                const RegistryData& value, std::int32_t dword) {
  auto bytes = [](const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.c_str()); };
  switch (type) {
    case kRegSz:
    case kRegBinary: {
      // The count leaves out the terminator; the store keeps it for REG_SZ.
      std::string text = DataText(value);
      return registry.SetValueEx(key, name, type, bytes(text), static_cast<std::uint32_t>(text.size()));
    }
    case kRegDword: {
      std::uint8_t le[4];
      std::uint32_t bits = static_cast<std::uint32_t>(dword);
      for (int i = 0; i < 4; ++i) le[i] = static_cast<std::uint8_t>(bits >> (8 * i));
      return registry.SetValueEx(key, name, type, le, 4);
    }
    case kRegMultiSz: {
      // The final NUL is passed but not counted, so no second NUL is stored.
      std::string data = MultiStringData(DataText(value));
      return registry.SetValueEx(key, name, type, bytes(data), static_cast<std::uint32_t>(data.size() - 1));
    }
    default:
      return kRegSuccess;
  }
}

bool WritesData(std::uint32_t type) {
  return type == kRegSz || type == kRegBinary || type == kRegDword || type == kRegMultiSz;
}

}  // namespace

bool GetRegistryValue(RegistryStore& registry, RegKey root, const std::string& path, const std::string& name,
                      std::string& text) {
  text.clear();
  RegKey key = 0;
  if (registry.OpenKeyEx(root, path, kRegAccessAll, &key) != kRegSuccess) return false;
  std::array<std::uint8_t, kRegReadBufferSize> buffer{};
  std::uint32_t type = kRegNone;
  std::uint32_t size = kRegReadBufferSize;
  long result = registry.QueryValueEx(key, name, &type, buffer.data(), &size);
  bool ok = result == kRegSuccess && size <= kRegReadBufferSize;
  if (ok) text = ValueText(type, buffer.data(), size);
  registry.CloseKey(key);
  return ok;
}

bool SetRegistryValue(RegistryStore& registry, RegKey root, const std::string& path, std::uint32_t type,
                      const std::string& name, const RegistryData& value) {
  std::optional<std::int32_t> dword;
  if (type == kRegDword) {
    dword = DwordValue(value);
    if (!dword) return false;  // a caller error: nothing to write, nothing touched
  }
  RegKey key = 0;
  bool existed = registry.OpenKeyEx(root, path, kRegAccessAll, &key) == kRegSuccess;
  if (!existed) {
    key = 0;
    registry.CreateKey(root, path, &key);  // its result shows in the write's result
  }
  bool ok = existed;
  if (WritesData(type)) ok = WriteValue(registry, key, type, name, value, dword.value_or(0)) == kRegSuccess;
  if (key != 0) registry.CloseKey(key);
  return ok;
}
