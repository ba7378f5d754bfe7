// The registry rules and the store contract over the in-memory fake, plus
// what only the fake can show: every opened key is closed again, and a root
// the user may not write cannot be read through these procedures either.
#include "fakes/fake_registry.h"

#include <gtest/gtest.h>

#include "settings/registry_contract.h"

namespace {

struct FakeEnv final : RegistryTestEnv {
  FakeEnv() { scratch = "Software\\GlimmoraContract"; }
  RegistryStore& Store() override { return registry; }
  FakeRegistry registry;
};

struct FakeStoreFactory {
  static std::unique_ptr<RegistryTestEnv> Create() { return std::make_unique<FakeEnv>(); }
};

const char kWinlogon[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

TEST(RegistryAccess, EveryKeyOpenedIsClosedAndOpenedForWritingToo) {
  FakeRegistry registry;
  registry.Put(kHkeyCurrentUser, "Software\\Glimmora", "Interval", kRegDword, std::string("\x98\x3a\0\0", 4));
  std::string text;
  EXPECT_TRUE(GetRegistryValue(registry, kHkeyCurrentUser, "Software\\Glimmora", "Interval", text));
  EXPECT_FALSE(GetRegistryValue(registry, kHkeyCurrentUser, "Software\\Glimmora", "Missing", text));
  EXPECT_TRUE(SetRegistryValue(registry, kHkeyCurrentUser, "Software\\Glimmora", kRegDword, "Interval", 1));
  EXPECT_TRUE(SetRegistryValue(registry, kHkeyCurrentUser, "Software\\New", kRegSz, "A", "b"));
  EXPECT_FALSE(SetRegistryValue(registry, kHkeyCurrentUser, "Software\\Other", kRegExpandSz, "A", "b"));
  EXPECT_EQ(registry.OpenHandles(), 0);
  for (std::uint32_t access : registry.open_access) EXPECT_EQ(access, 0x2003Fu);
}

TEST(RegistryAccess, AKeyTheUserMayNotWriteCannotBeReadOrWritten) {
  FakeRegistry registry;
  registry.Put(kHkeyLocalMachine, kWinlogon, "ScreenSaverGracePeriod", kRegSz, std::string("7\0", 2));
  registry.read_only_roots.insert(kHkeyLocalMachine);
  std::string text = "stale";
  EXPECT_FALSE(GetRegistryValue(registry, kHkeyLocalMachine, kWinlogon, "ScreenSaverGracePeriod", text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(SetRegistryValue(registry, kHkeyLocalMachine, kWinlogon, kRegSz, "ScreenSaverGracePeriod", "10"));
  EXPECT_FALSE(SetRegistryValue(registry, kHkeyLocalMachine, "Software\\Missing", kRegSz, "A", "b"));
  EXPECT_EQ(registry.Find(kHkeyLocalMachine, kWinlogon, "ScreenSaverGracePeriod")->data, std::string("7\0", 2));
  EXPECT_FALSE(registry.HasKey(kHkeyLocalMachine, "Software\\Missing"));
  EXPECT_EQ(registry.OpenHandles(), 0);
  registry.read_only_roots.clear();
  EXPECT_TRUE(SetRegistryValue(registry, kHkeyLocalMachine, kWinlogon, kRegSz, "ScreenSaverGracePeriod", "10"));
  EXPECT_TRUE(GetRegistryValue(registry, kHkeyLocalMachine, kWinlogon, "ScreenSaverGracePeriod", text));
  EXPECT_EQ(text, "10");
}

TEST(RegistryAccess, ADwordWithoutAWholeNumberWritesNothing) {
  FakeRegistry registry;
  const RegistryData bad[] = {"abc", "12 apples", 2147483648.0, -2147483649.0, 1e300};
  for (const RegistryData& value : bad) {
    EXPECT_FALSE(SetRegistryValue(registry, kHkeyCurrentUser, "Software\\T", kRegDword, "V", value));
  }
  EXPECT_FALSE(registry.HasKey(kHkeyCurrentUser, "Software\\T"));
  // Text that is a whole number, and the extremes of the signed range, are fine.
  EXPECT_TRUE(SetRegistryValue(registry, kHkeyCurrentUser, "Software\\T", kRegDword, "V", " &H10 "));
  EXPECT_EQ(registry.Find(kHkeyCurrentUser, "Software\\T", "V")->data, std::string("\x10\0\0\0", 4));
  EXPECT_TRUE(SetRegistryValue(registry, kHkeyCurrentUser, "Software\\T", kRegDword, "V", -2147483648.0));
  EXPECT_EQ(registry.Find(kHkeyCurrentUser, "Software\\T", "V")->data, std::string("\0\0\0\x80", 4));
  // A number given for a text type is written as its text.
  EXPECT_TRUE(SetRegistryValue(registry, kHkeyCurrentUser, "Software\\T", kRegSz, "S", 2.5));
  EXPECT_EQ(registry.Find(kHkeyCurrentUser, "Software\\T", "S")->data, std::string("2.5\0", 4));
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, RegistryContract, FakeStoreFactory);
