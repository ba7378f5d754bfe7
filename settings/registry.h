#pragma once
// Registry access: a store port that mirrors the five advapi32 calls the
// program makes (same numbers, same results), and the two procedures every
// caller uses, GetRegistryValue and SetRegistryValue, whose value rules are
// portable. Stores: advapi32 (registry_win.cpp), .reg-format text files on
// Linux (registry_file.cpp + registry_file_posix.cpp), an in-memory fake in
// tests (tests/fakes/fake_registry.h).
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <variant>

using RegKey = std::uintptr_t;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;
constexpr RegKey kHkeyLocalMachine = 0x80000002u;

// Value types, in the system's numbering.
enum RegType : std::uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
};

// Access masks. Both procedures open keys with kRegAccessAll, for reading
// too, so a key the user may read but not write cannot be read either.
constexpr std::uint32_t kRegAccessAll = 0x2003F;  // READ_CONTROL | the six key rights
constexpr std::uint32_t kRegAccessRead = 0x20019;  // KEY_READ
// Rights that need write access to the key.
constexpr std::uint32_t kRegWriteRights = 0x2 | 0x4 | 0x20 | 0x10000 | 0x40000 | 0x80000 | 0x10000000 | 0x40000000;

// Result codes: 0 is success, anything else a failure (Windows error numbers).
constexpr long kRegSuccess = 0;
constexpr long kRegFileNotFound = 2;
constexpr long kRegAccessDenied = 5;
constexpr long kRegInvalidHandle = 6;
constexpr long kRegMoreData = 234;
constexpr long kRegIoFailed = 1016;

// The size of the buffer GetRegistryValue reads into: longer values cannot be read.
constexpr std::uint32_t kRegReadBufferSize = 1024;

class RegistryStore {
 public:
  virtual ~RegistryStore() = default;
  // RegOpenKeyExA(root, path, 0, access, &key). Fails with kRegFileNotFound
  // when the key does not exist and kRegAccessDenied when the access asks
  // for write rights the user does not have.
  virtual long OpenKeyEx(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) = 0;
  // RegQueryValueExA(key, name, nullptr, &type, data, &size): size in = buffer size,
  // out = bytes of the value (kRegMoreData when it does not fit; data untouched then).
  virtual long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) = 0;
  // RegCreateKeyA(root, path, &key): opens the key, creating it and its parents.
  virtual long CreateKey(RegKey root, const std::string& path, RegKey* key) = 0;
  // RegSetValueExA(key, name, 0, type, data, size). As on Windows NT, for the
  // string types (1, 2, 7) a NUL just after the counted bytes is stored too
  // when the last counted byte is not NUL, so data[size] must be readable.
  virtual long SetValueEx(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t size) = 0;
  // RegCloseKey(key).
  virtual long CloseKey(RegKey key) = 0;
};

std::unique_ptr<RegistryStore> CreatePlatformRegistry();

// True when a type is one of the string types whose bytes the ANSI calls convert.
constexpr bool IsRegStringType(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// The value SetRegistryValue writes: text for REG_SZ, REG_BINARY and
// REG_MULTI_SZ (lists as CR-LF separated lines), a number for REG_DWORD.
class RegistryData {
 public:
  RegistryData(std::string text) : value_(std::move(text)) {}
  RegistryData(const char* text) : value_(std::string(text)) {}
  template <typename Number>
    requires std::is_arithmetic_v<Number>
  RegistryData(Number number) : value_(static_cast<double>(number)) {}

  const std::string* text() const { return std::get_if<std::string>(&value_); }
  const double* number() const { return std::get_if<double>(&value_); }

 private:
  std::variant<std::string, double> value_;
};

// Reads one value as text, whatever its stored type: REG_SZ as its text,
// REG_DWORD as signed decimal ("&H0" when it holds no bytes), REG_MULTI_SZ as
// its strings joined by CR-LF, any other type as empty text. False (and empty
// text) when the key or value is missing, cannot be opened for reading and
// writing, or holds more than 1,024 bytes.
bool GetRegistryValue(RegistryStore& registry, RegKey root, const std::string& path, const std::string& name,
                      std::string& text);

// Writes one value of type 1, 3, 4 or 7, creating the key when needed. For any
// other type nothing is written and the result says whether the key existed.
// A REG_DWORD is the number rounded half to even; a number outside the signed
// 32-bit range (or a text that is not a number) writes nothing and fails.
bool SetRegistryValue(RegistryStore& registry, RegKey root, const std::string& path, std::uint32_t type,
                      const std::string& name, const RegistryData& value);
