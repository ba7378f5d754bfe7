#pragma once
// The registry store contract, with the value rules of GetRegistryValue and
// SetRegistryValue: the in-memory fake, the Linux .reg-file store and the
// real registry (under Wine) must all pass it. Instantiate it per store with
// a RegistryTestEnv class that sets the store up and cleans it away.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "settings/registry.h"

struct RegistryTestEnv {
  virtual ~RegistryTestEnv() = default;
  virtual RegistryStore& Store() = 0;
  std::string scratch;  // a key path no other test uses
  // Makes HKEY_LOCAL_MACHINE read-only, as for an ordinary user; empty where a store cannot.
  std::function<void()> deny_machine_writes;
};

using StoredValue = std::pair<std::uint32_t, std::string>;  // type, bytes

template <typename Env>
class RegistryContract : public ::testing::Test {
 protected:
  // GetRegistryValue's text, or nothing when it fails (and leaves no text).
  std::optional<std::string> Get(const std::string& sub, const std::string& name, RegKey root = kHkeyCurrentUser) {
    std::string text = "stale";
    bool ok = GetRegistryValue(env->Store(), root, env->scratch + sub, name, text);
    EXPECT_TRUE(ok || text.empty()) << name;
    return ok ? std::optional(text) : std::nullopt;
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
    return result == kRegSuccess ? std::optional(StoredValue{type, buffer.substr(0, size)}) : std::nullopt;
  }
  std::unique_ptr<Env> env = std::make_unique<Env>();
};

TYPED_TEST_SUITE_P(RegistryContract);

using namespace std::string_literals;

// Raw writes of `count` bytes (the buffer goes on past the count, as a
// RegSetValueExA caller's may): the bytes stored, and GetRegistryValue's text.
TYPED_TEST_P(RegistryContract, StoredBytesAndTheTextTheyReadAs) {
  struct Case {
    const char* name;
    std::uint32_t type, count;
    std::string buffer, stored;
    std::optional<std::string> text;
  };
  const std::string y1023(1023, 'y');
  const Case cases[] = {
      {"SzCounted", kRegSz, 4, "abc\0"s, "abc\0"s, "abc"},
      {"SzUncounted", kRegSz, 3, "abc\0"s, "abc\0"s, "abc"},  // the terminator is stored anyway
      {"SzCutShort", kRegSz, 3, "abcd", "abc", "abc"},
      {"DwordEmpty", kRegDword, 0, "", "", "&H0"},
      {"DwordShort", kRegDword, 2, "\x10\x27", "\x10\x27", "10000"},
      {"MultiUncounted", kRegMultiSz, 3, "A\0B\0"s, "A\0B\0"s, "A\r\nB"},
      {"MultiDoubleNul", kRegMultiSz, 5, "A\0B\0\0"s, "A\0B\0\0"s, "A\r\nB\r\n"},
      {"Expand", kRegExpandSz, 3, "%X%\0"s, "%X%\0"s, ""},  // other types read as empty text
      {"Binary", kRegBinary, 2, "ab\0"s, "ab", ""},
      {"Fits1024", kRegMultiSz, 1023, y1023, y1023 + '\0', y1023},
      {"Over1024", kRegSz, 1024, y1023 + 'y', y1023 + "y\0"s, std::nullopt},
  };
  RegKey key = 0;
  ASSERT_EQ(this->env->Store().CreateKey(kHkeyCurrentUser, this->env->scratch, &key), kRegSuccess);
  for (const Case& c : cases) {
    auto data = reinterpret_cast<const std::uint8_t*>(c.buffer.c_str());
    EXPECT_EQ(this->env->Store().SetValueEx(key, c.name, c.type, data, c.count), kRegSuccess);
    EXPECT_EQ(this->Raw("", c.name), StoredValue(c.type, c.stored)) << c.name;
    EXPECT_EQ(this->Get("", c.name), c.text) << c.name;
  }
  this->env->Store().CloseKey(key);
  EXPECT_FALSE(this->Get("", "Missing") || this->Get("\\Missing", "SzCounted"));
}

// SetRegistryValue, all into one new key: each value's stored bytes (nothing
// for a failed or skipped write) and its text, read with other letter case.
TYPED_TEST_P(RegistryContract, WrittenValuesAndTheirBytes) {
  struct Case {
    const char* name;
    std::uint32_t type;
    RegistryData value;
    bool ok;
    std::optional<std::string> stored = {}, text = {};
  };
  const Case cases[] = {
      {"Text", kRegSz, "15000", true, "15000\0"s, "15000"},
      {"Binary", kRegBinary, "ab", true, "ab", ""},
      {"Number", kRegDword, 60000, true, "\x60\xea\0\0"s, "60000"},
      {"Negative", kRegDword, -1, true, "\xff\xff\xff\xff"s, "-1"},
      {"HalfToEven", kRegDword, 2.5, true, "\x02\0\0\0"s, "2"},
      {"HexText", kRegDword, " &H10 ", true, "\x10\0\0\0"s, "16"},
      {"NotWhole", kRegDword, "12 apples", false},
      {"OutOfRange", kRegDword, 2147483648.0, false},
      {"List", kRegMultiSz, "A\r\nB\r\n", true, "A\0B\0"s, "A\r\nB"},
      {"ListEmptyLine", kRegMultiSz, "A\r\n\r\nB", true, "A\0\0B\0"s, "A\r\n\r\nB"},
      {"Expand", kRegExpandSz, "x", true},  // writes nothing; the key exists
  };
  for (const Case& c : cases) EXPECT_EQ(this->Set("\\Sub", c.type, c.name, c.value), c.ok) << c.name;
  for (const Case& c : cases) {
    auto raw = this->Raw("\\SUB", c.name);
    EXPECT_EQ(raw ? std::optional(raw->second) : std::nullopt, c.stored) << c.name;
    EXPECT_EQ(this->Get("\\sub", c.name), c.text) << c.name;
  }
  EXPECT_EQ(this->Get("\\Sub", "HEXTEXT"), "16");  // names are case-blind too
  // A type that writes nothing tells whether the key exists: the parent was created with Sub.
  EXPECT_TRUE(this->Set("", kRegExpandSz, "A", "x"));
  EXPECT_FALSE(this->Set("\\New", kRegExpandSz, "A", "x"));
}

// Where the user may not write HKEY_LOCAL_MACHINE, both procedures fail on
// it (they open with write access) and nothing changes; plain reads work.
TYPED_TEST_P(RegistryContract, AKeyTheUserMayNotWriteIsNeitherReadNorWritten) {
  if (!this->env->deny_machine_writes) GTEST_SKIP() << "a store where every user may write";
  ASSERT_TRUE(this->Set("", kRegSz, "Grace", "7", kHkeyLocalMachine));
  this->env->deny_machine_writes();
  EXPECT_EQ(this->Get("", "Grace", kHkeyLocalMachine), std::nullopt);
  EXPECT_FALSE(this->Set("", kRegSz, "Grace", "10", kHkeyLocalMachine) ||
               this->Set("\\New", kRegSz, "A", "b", kHkeyLocalMachine));
  EXPECT_EQ(this->Raw("", "Grace", kHkeyLocalMachine), StoredValue(kRegSz, "7\0"s));
  EXPECT_EQ(this->Raw("\\New", "A", kHkeyLocalMachine), std::nullopt);
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract, StoredBytesAndTheTextTheyReadAs, WrittenValuesAndTheirBytes,
                            AKeyTheUserMayNotWriteIsNeitherReadNorWritten);
