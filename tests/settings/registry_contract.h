#pragma once
// The registry store contract: the in-memory fake, the Linux .reg-file store
// and the real Windows registry (under Wine) must all pass these, so the
// stores cannot drift apart. The value rules of GetRegistryValue and
// SetRegistryValue run through each store too. Include in one test file per
// store and instantiate with INSTANTIATE_TYPED_TEST_SUITE_P; the factory's
// Create() returns a RegistryTestEnv.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "settings/registry.h"

// A store and a key path under HKEY_CURRENT_USER that no other test uses
// (removed by the environment's destructor where the store outlives it).
class RegistryTestEnv {
 public:
  virtual ~RegistryTestEnv() = default;
  virtual RegistryStore& Store() = 0;
  std::string scratch;
};

template <typename Factory>
class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override { env = Factory::Create(); }

  RegistryStore& store() { return env->Store(); }
  std::string Key(const std::string& sub = "") const { return sub.empty() ? env->scratch : env->scratch + "\\" + sub; }

  RegKey Create(const std::string& sub = "") {
    RegKey key = 0;
    EXPECT_EQ(store().CreateKey(kHkeyCurrentUser, Key(sub), &key), kRegSuccess);
    return key;
  }

  // Stores `count` bytes of `data` with the raw store call; like a caller
  // of RegSetValueExA, the buffer goes on past the count (data holds more).
  long Put(RegKey key, const std::string& name, std::uint32_t type, const std::string& data, std::size_t count) {
    return store().SetValueEx(key, name, type, reinterpret_cast<const std::uint8_t*>(data.c_str()),
                              static_cast<std::uint32_t>(count));
  }

  struct Read {
    long result;
    std::uint32_t type;
    std::string data;
  };
  Read Query(RegKey key, const std::string& name, std::uint32_t buffer_size = kRegReadBufferSize) {
    std::string buffer(buffer_size, '\x7f');
    Read read{0, 0, ""};
    std::uint32_t size = buffer_size;
    read.result = store().QueryValueEx(key, name, &read.type, reinterpret_cast<std::uint8_t*>(buffer.data()), &size);
    read.data = read.result == kRegSuccess ? buffer.substr(0, size) : std::to_string(size);
    return read;
  }

  std::unique_ptr<RegistryTestEnv> env;
};

TYPED_TEST_SUITE_P(RegistryContract);

TYPED_TEST_P(RegistryContract, MissingKeysAndValuesAreNotFound) {
  RegKey key = 99;
  EXPECT_EQ(this->store().OpenKeyEx(kHkeyCurrentUser, this->Key("none"), kRegAccessAll, &key), kRegFileNotFound);
  RegKey created = this->Create();
  EXPECT_EQ(this->Query(created, "Nothing").result, kRegFileNotFound);
  EXPECT_EQ(this->store().CloseKey(created), kRegSuccess);
  RegKey opened = 0;
  ASSERT_EQ(this->store().OpenKeyEx(kHkeyCurrentUser, this->Key(), kRegAccessAll, &opened), kRegSuccess);
  this->store().CloseKey(opened);
}

TYPED_TEST_P(RegistryContract, StoresTheBytesTheCallerCounts) {
  struct Case {
    const char* what;
    std::uint32_t type;
    std::string buffer;
    std::size_t count;
    std::string stored;
  };
  using namespace std::string_literals;
  const Case cases[] = {
      {"text with its terminator counted", kRegSz, "abc\0"s, 4, "abc\0"s},
      {"text without it: the terminator is stored anyway", kRegSz, "abc\0"s, 3, "abc\0"s},
      {"text cut short of a non-NUL byte", kRegSz, "abcd"s, 3, "abc"s},
      {"empty text", kRegSz, ""s, 0, ""s},
      {"list with its final NUL passed, not counted", kRegMultiSz, "A\0B\0"s, 3, "A\0B\0"s},
      {"list with the customary second NUL", kRegMultiSz, "A\0B\0\0"s, 5, "A\0B\0\0"s},
      {"expandable text", kRegExpandSz, "%X%\0"s, 3, "%X%\0"s},
      {"binary keeps the count exactly", kRegBinary, "ab\0"s, 2, "ab"s},
      {"binary with NULs", kRegBinary, "\0\x01\0"s, 3, "\0\x01\0"s},
      {"dword", kRegDword, "\x98\x3a\0\0"s, 4, "\x98\x3a\0\0"s},
      {"dword without data", kRegDword, ""s, 0, ""s},
      {"no type", kRegNone, "xy"s, 2, "xy"s},
  };
  RegKey key = this->Create();
  for (const Case& c : cases) {
    EXPECT_EQ(this->Put(key, c.what, c.type, c.buffer, c.count), kRegSuccess) << c.what;
    auto read = this->Query(key, c.what);
    EXPECT_EQ(read.result, kRegSuccess) << c.what;
    EXPECT_EQ(read.type, c.type) << c.what;
    EXPECT_EQ(read.data, c.stored) << c.what;
  }
  this->store().CloseKey(key);
}

TYPED_TEST_P(RegistryContract, ValuesLongerThanTheBufferReportTheirSize) {
  RegKey key = this->Create();
  this->Put(key, "Fits", kRegBinary, std::string(1024, 'x'), 1024);
  this->Put(key, "TooLong", kRegBinary, std::string(1025, 'x'), 1025);
  this->Put(key, "TextFits", kRegSz, std::string(1023, 'y'), 1023);   // + terminator = 1,024
  this->Put(key, "TextTooLong", kRegSz, std::string(1024, 'y'), 1024);
  EXPECT_EQ(this->Query(key, "Fits").data.size(), 1024u);
  EXPECT_EQ(this->Query(key, "TextFits").data, std::string(1023, 'y') + '\0');
  auto long_binary = this->Query(key, "TooLong");
  EXPECT_EQ(long_binary.result, kRegMoreData);
  EXPECT_EQ(long_binary.data, "1025");  // the size it needs
  EXPECT_EQ(this->Query(key, "TextTooLong").result, kRegMoreData);
  this->store().CloseKey(key);
}

TYPED_TEST_P(RegistryContract, NamesAndPathsIgnoreCase) {
  RegKey key = this->Create("Sub\\Deeper");
  this->Put(key, "Interval", kRegDword, std::string("\x01\0\0\0", 4), 4);
  this->Put(key, "INTERVAL", kRegDword, std::string("\x02\0\0\0", 4), 4);  // the same value
  this->store().CloseKey(key);
  RegKey other = 0;
  ASSERT_EQ(this->store().OpenKeyEx(kHkeyCurrentUser, this->Key("SUB\\deeper"), kRegAccessAll, &other), kRegSuccess);
  EXPECT_EQ(this->Query(other, "interval").data, std::string("\x02\0\0\0", 4));
  this->store().CloseKey(other);
}

TYPED_TEST_P(RegistryContract, CreatingAKeyCreatesItsParentsAndKeepsSiblingsApart) {
  RegKey a = this->Create("A\\Inner");
  RegKey b = this->Create("B");
  this->Put(a, "Name", kRegSz, "in A", 4);
  this->Put(b, "Name", kRegSz, "in B", 4);
  this->Put(b, "Other", kRegSz, "x", 1);
  this->Put(b, "Name", kRegBinary, "new", 3);  // replaced, type too; Other stays
  RegKey parent = 0;
  EXPECT_EQ(this->store().OpenKeyEx(kHkeyCurrentUser, this->Key("A"), kRegAccessAll, &parent), kRegSuccess);
  EXPECT_EQ(this->Query(parent, "Name").result, kRegFileNotFound);
  EXPECT_EQ(this->Query(a, "Name").data, std::string("in A\0", 5));
  auto replaced = this->Query(b, "Name");
  EXPECT_EQ(replaced.type, static_cast<std::uint32_t>(kRegBinary));
  EXPECT_EQ(replaced.data, "new");
  EXPECT_EQ(this->Query(b, "Other").data, std::string("x\0", 2));
  for (RegKey k : {a, b, parent}) this->store().CloseKey(k);
}

// GetRegistryValue over each store: stored type and bytes -> text.
TYPED_TEST_P(RegistryContract, ReadRulesTurnEveryStoredFormIntoText) {
  struct Case {
    const char* name;
    std::uint32_t type;
    std::string buffer;
    std::size_t count;
    bool ok;
    std::string text;
  };
  using namespace std::string_literals;
  const Case cases[] = {
      {"SzFive", kRegSz, "5\0"s, 1, true, "5"},
      {"SzEmpty", kRegSz, ""s, 0, true, ""},
      {"SzOnlyNul", kRegSz, "\0"s, 1, true, ""},
      {"SzTrailingSpace", kRegSz, "20000 ab\0"s, 8, true, "20000 ab"},
      {"DwordEmpty", kRegDword, ""s, 0, true, "&H0"},
      {"DwordZero", kRegDword, "\0\0\0\0"s, 4, true, "0"},
      {"DwordMax24", kRegDword, "\xff\xff\xff\0"s, 4, true, "16777215"},
      {"DwordAllOnes", kRegDword, "\xff\xff\xff\xff"s, 4, true, "-1"},
      {"DwordShort", kRegDword, "\x10\x27"s, 2, true, "10000"},
      {"MultiEach", kRegMultiSz, "A\0B\0"s, 4, true, "A\r\nB"},
      {"MultiDouble", kRegMultiSz, "A\0B\0\0"s, 5, true, "A\r\nB\r\n"},
      {"MultiNoFinalNul", kRegMultiSz, "A\0BC"s, 3, true, "A\r\n"},
      {"MultiEmpty", kRegMultiSz, ""s, 0, true, ""},
      {"Expand", kRegExpandSz, "%PATH%\0"s, 7, true, ""},
      {"Binary", kRegBinary, "abc"s, 3, true, ""},
      {"MaxText", kRegSz, std::string(1023, 'z'), 1023, true, std::string(1023, 'z')},
      {"TooLong", kRegBinary, std::string(1025, 'z'), 1025, false, ""},
  };
  RegKey key = this->Create();
  for (const Case& c : cases) this->Put(key, c.name, c.type, c.buffer, c.count);
  this->store().CloseKey(key);
  for (const Case& c : cases) {
    std::string text = "stale";
    EXPECT_EQ(GetRegistryValue(this->store(), kHkeyCurrentUser, this->Key(), c.name, text), c.ok) << c.name;
    EXPECT_EQ(text, c.text) << c.name;
  }
  std::string text = "stale";
  EXPECT_FALSE(GetRegistryValue(this->store(), kHkeyCurrentUser, this->Key(), "Missing", text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(GetRegistryValue(this->store(), kHkeyCurrentUser, this->Key("NoKey"), "SzFive", text));
}

// SetRegistryValue over each store: value -> stored type and bytes, and back.
TYPED_TEST_P(RegistryContract, WriteRulesStoreTheDocumentedBytes) {
  struct Case {
    const char* name;
    std::uint32_t type;
    RegistryData value;
    std::string stored;
    std::string read_back;
  };
  using namespace std::string_literals;
  const Case cases[] = {
      {"Text", kRegSz, "15000", "15000\0"s, "15000"},
      {"EmptyText", kRegSz, "", ""s, ""},
      {"Binary", kRegBinary, "ab", "ab"s, ""},
      {"Number", kRegDword, 15000, "\x98\x3a\0\0"s, "15000"},
      {"Unsigned16", kRegDword, 60000, "\x60\xea\0\0"s, "60000"},
      {"Negative", kRegDword, -1, "\xff\xff\xff\xff"s, "-1"},
      {"HalfDown", kRegDword, 2.5, "\x02\0\0\0"s, "2"},
      {"HalfUp", kRegDword, 3.5, "\x04\0\0\0"s, "4"},
      {"List", kRegMultiSz, "A\r\nB", "A\0B\0"s, "A\r\nB"},
      {"ListTrailingBreak", kRegMultiSz, "A\r\nB\r\n", "A\0B\0"s, "A\r\nB"},
      {"ListEmptyLine", kRegMultiSz, "A\r\n\r\nB", "A\0\0B\0"s, "A\r\n\r\nB"},
      {"ListEndingInNul", kRegMultiSz, "A\0"s, "A\0"s, "A"},
      {"ListEmpty", kRegMultiSz, "", ""s, ""},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(SetRegistryValue(this->store(), kHkeyCurrentUser, this->Key("W"), c.type, c.name, c.value)) << c.name;
  }
  RegKey key = 0;
  ASSERT_EQ(this->store().OpenKeyEx(kHkeyCurrentUser, this->Key("W"), kRegAccessAll, &key), kRegSuccess);
  for (const Case& c : cases) {
    auto read = this->Query(key, c.name);
    EXPECT_EQ(read.type, c.type) << c.name;
    EXPECT_EQ(read.data, c.stored) << c.name;
    std::string text;
    EXPECT_TRUE(GetRegistryValue(this->store(), kHkeyCurrentUser, this->Key("W"), c.name, text));
    EXPECT_EQ(text, c.read_back) << c.name;
  }
  this->store().CloseKey(key);
}

TYPED_TEST_P(RegistryContract, TypesThatWriteNothingReportWhetherTheKeyExisted) {
  SetRegistryValue(this->store(), kHkeyCurrentUser, this->Key("Existing"), kRegSz, "Keep", "kept");
  EXPECT_TRUE(SetRegistryValue(this->store(), kHkeyCurrentUser, this->Key("Existing"), kRegExpandSz, "Keep", "x"));
  EXPECT_FALSE(SetRegistryValue(this->store(), kHkeyCurrentUser, this->Key("New"), kRegExpandSz, "Keep", "x"));
  std::string text;
  EXPECT_TRUE(GetRegistryValue(this->store(), kHkeyCurrentUser, this->Key("Existing"), "Keep", text));
  EXPECT_EQ(text, "kept");
  EXPECT_FALSE(GetRegistryValue(this->store(), kHkeyCurrentUser, this->Key("New"), "Keep", text));
  RegKey created = 0;
  EXPECT_EQ(this->store().OpenKeyEx(kHkeyCurrentUser, this->Key("New"), kRegAccessAll, &created), kRegSuccess);
  this->store().CloseKey(created);
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract, MissingKeysAndValuesAreNotFound, StoresTheBytesTheCallerCounts,
                            ValuesLongerThanTheBufferReportTheirSize, NamesAndPathsIgnoreCase,
                            CreatingAKeyCreatesItsParentsAndKeepsSiblingsApart,
                            ReadRulesTurnEveryStoredFormIntoText, WriteRulesStoreTheDocumentedBytes,
                            TypesThatWriteNothingReportWhetherTheKeyExisted);
