#pragma once
// The registry store contract, with the value rules of GetRegistryValue and
// SetRegistryValue: the in-memory fake, the Linux .reg-file store and the
// real registry (under Wine) must all pass it. Instantiate it per store with
// a factory whose Create() returns a RegistryTestEnv.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "settings/registry.h"

class RegistryTestEnv {
 public:
  virtual ~RegistryTestEnv() = default;
  virtual RegistryStore& Store() = 0;
  std::string scratch;  // a key path no other test uses
  // Makes HKEY_LOCAL_MACHINE read-only, as for an ordinary user; empty where a store cannot.
  std::function<void()> deny_machine_writes;
};

using StoredValue = std::pair<std::uint32_t, std::string>;  // type, bytes

template <typename Factory>
class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override { env = Factory::Create(); }
  bool Get(const std::string& sub, const std::string& name, std::string& text, RegKey root = kHkeyCurrentUser) {
    return GetRegistryValue(env->Store(), root, env->scratch + sub, name, text);
  }
  bool Set(const std::string& sub, std::uint32_t type, const std::string& name, const RegistryData& value,
           RegKey root = kHkeyCurrentUser) {
    return SetRegistryValue(env->Store(), root, env->scratch + sub, type, name, value);
  }
  // The stored type and bytes, or nothing when the value is missing.
  std::optional<StoredValue> Raw(const std::string& sub, const std::string& name, RegKey root = kHkeyCurrentUser) {
    RegKey key = 0;
    if (env->Store().OpenKeyEx(root, env->scratch + sub, kRegAccessRead, &key) != kRegSuccess) return std::nullopt;
    std::string buffer(4096, '\x7f');
    std::uint32_t type = 0, size = 4096;
    long result = env->Store().QueryValueEx(key, name, &type, reinterpret_cast<std::uint8_t*>(buffer.data()), &size);
    env->Store().CloseKey(key);
    if (result != kRegSuccess) return std::nullopt;
    return StoredValue{type, buffer.substr(0, size)};
  }
  std::unique_ptr<RegistryTestEnv> env;
};

TYPED_TEST_SUITE_P(RegistryContract);

using namespace std::string_literals;

// Raw writes of `count` bytes (the buffer goes on past the count, as a
// RegSetValueExA caller's may): the bytes stored, and GetRegistryValue's text.
TYPED_TEST_P(RegistryContract, StoredBytesAndTheTextTheyReadAs) {
  struct Case {
    const char* name;
    std::uint32_t type;
    std::string buffer;
    std::uint32_t count;
    std::string stored;
    std::optional<std::string> text;  // nothing: GetRegistryValue fails
  };
  const std::string y1023(1023, 'y');
  const Case cases[] = {
      {"SzCounted", kRegSz, "abc\0"s, 4, "abc\0"s, "abc"},
      {"SzUncounted", kRegSz, "abc\0"s, 3, "abc\0"s, "abc"},  // the terminator is stored anyway
      {"SzCutShort", kRegSz, "abcd", 3, "abc", "abc"},
      {"DwordEmpty", kRegDword, "", 0, "", "&H0"},
      {"DwordShort", kRegDword, "\x10\x27", 2, "\x10\x27", "10000"},
      {"MultiUncounted", kRegMultiSz, "A\0B\0"s, 3, "A\0B\0"s, "A\r\nB"},
      {"MultiDoubleNul", kRegMultiSz, "A\0B\0\0"s, 5, "A\0B\0\0"s, "A\r\nB\r\n"},
      {"Expand", kRegExpandSz, "%X%\0"s, 3, "%X%\0"s, ""},
      {"Binary", kRegBinary, "ab\0"s, 2, "ab", ""},
      {"Fits1024", kRegMultiSz, y1023, 1023, y1023 + '\0', y1023},
      {"Over1024", kRegSz, y1023 + 'y', 1024, y1023 + "y\0"s, std::nullopt},
  };
  RegKey key = 0;
  ASSERT_EQ(this->env->Store().CreateKey(kHkeyCurrentUser, this->env->scratch, &key), kRegSuccess);
  for (const Case& c : cases) {
    auto data = reinterpret_cast<const std::uint8_t*>(c.buffer.c_str());
    EXPECT_EQ(this->env->Store().SetValueEx(key, c.name, c.type, data, c.count), kRegSuccess);
  }
  this->env->Store().CloseKey(key);
  for (const Case& c : cases) {
    EXPECT_EQ(this->Raw("", c.name), StoredValue(c.type, c.stored)) << c.name;
    std::string text = "stale";
    EXPECT_EQ(this->Get("", c.name, text), c.text.has_value()) << c.name;
    EXPECT_EQ(text, c.text.value_or("")) << c.name;
  }
  std::string text = "stale";
  EXPECT_FALSE(this->Get("", "Missing", text) || this->Get("\\Missing", "SzCounted", text));
  EXPECT_EQ(text, "");
}

// SetRegistryValue: the stored bytes (nothing for a failed or skipped write) and the text read back.
TYPED_TEST_P(RegistryContract, WrittenValuesAndTheirBytes) {
  struct Case {
    const char* name;
    std::uint32_t type;
    RegistryData value;
    bool ok;
    std::optional<std::string> stored;
    std::string text = "";
  };
  const Case cases[] = {
      {"Text", kRegSz, "15000", true, "15000\0"s, "15000"},
      {"NumberAsText", kRegSz, 2.5, true, "2.5\0"s, "2.5"},
      {"Binary", kRegBinary, "ab", true, "ab"},
      {"Number", kRegDword, 60000, true, "\x60\xea\0\0"s, "60000"},
      {"Negative", kRegDword, -1, true, "\xff\xff\xff\xff"s, "-1"},
      {"HalfToEven", kRegDword, 2.5, true, "\x02\0\0\0"s, "2"},
      {"HexText", kRegDword, " &H10 ", true, "\x10\0\0\0"s, "16"},
      {"NotWhole", kRegDword, "12 apples", false, std::nullopt},
      {"OutOfRange", kRegDword, 2147483648.0, false, std::nullopt},
      {"List", kRegMultiSz, "A\r\nB\r\n", true, "A\0B\0"s, "A\r\nB"},
      {"ListEmptyLine", kRegMultiSz, "A\r\n\r\nB", true, "A\0\0B\0"s, "A\r\n\r\nB"},
      {"Expand", kRegExpandSz, "x", true, std::nullopt},  // writes nothing; the key exists
  };
  for (const Case& c : cases) EXPECT_EQ(this->Set("", c.type, c.name, c.value), c.ok) << c.name;
  for (const Case& c : cases) {
    auto raw = this->Raw("", c.name);
    EXPECT_EQ(raw ? std::optional(raw->second) : std::nullopt, c.stored) << c.name;
    std::string text;
    this->Get("", c.name, text);
    EXPECT_EQ(text, c.text) << c.name;
  }
  EXPECT_FALSE(this->Set("\\New", kRegExpandSz, "A", "x"));  // no key: false
}

// A write replaces one value (names and paths are case-blind) and keeps its
// neighbours; creating a key creates its parents.
TYPED_TEST_P(RegistryContract, AWriteKeepsOtherValuesAndKeys) {
  EXPECT_TRUE(this->Set("\\A\\Inner", kRegSz, "Keep", "kept") && this->Set("\\A\\Inner", kRegDword, "Interval", 1));
  EXPECT_TRUE(this->Set("\\B", kRegDword, "Interval", 3) && this->Set("\\a\\INNER", kRegMultiSz, "INTERVAL", "2"));
  std::string keep, interval, other, parent;
  EXPECT_TRUE(this->Get("\\A\\Inner", "Keep", keep) && this->Get("\\A\\Inner", "interval", interval));
  EXPECT_TRUE(this->Get("\\B", "Interval", other));
  EXPECT_EQ(keep + "," + interval + "," + other, "kept,2,3");
  EXPECT_FALSE(this->Get("\\A", "Keep", parent));
  RegKey key = 0;
  EXPECT_EQ(this->env->Store().OpenKeyEx(kHkeyCurrentUser, this->env->scratch + "\\A", kRegAccessAll, &key), 0);
  this->env->Store().CloseKey(key);
}

// Where the user may not write HKEY_LOCAL_MACHINE, both procedures fail on
// it (they open with write access) and nothing changes; plain reads work.
TYPED_TEST_P(RegistryContract, AKeyTheUserMayNotWriteIsNeitherReadNorWritten) {
  if (!this->env->deny_machine_writes) GTEST_SKIP() << "every user may write this store";
  ASSERT_TRUE(this->Set("", kRegSz, "Grace", "7", kHkeyLocalMachine));
  this->env->deny_machine_writes();
  std::string text = "stale";
  EXPECT_FALSE(this->Get("", "Grace", text, kHkeyLocalMachine));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(this->Set("", kRegSz, "Grace", "10", kHkeyLocalMachine));
  EXPECT_FALSE(this->Set("\\New", kRegSz, "A", "b", kHkeyLocalMachine));
  EXPECT_EQ(this->Raw("", "Grace", kHkeyLocalMachine), StoredValue(kRegSz, "7\0"s));
  EXPECT_EQ(this->Raw("\\New", "A", kHkeyLocalMachine), std::nullopt);
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract, StoredBytesAndTheTextTheyReadAs, WrittenValuesAndTheirBytes,
                            AWriteKeepsOtherValuesAndKeys, AKeyTheUserMayNotWriteIsNeitherReadNorWritten);
