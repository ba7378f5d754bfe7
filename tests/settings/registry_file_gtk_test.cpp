// The Linux .reg-file registry on real files: the store contract, then what
// only files can do wrong: hand-edited damage, a crash in the middle of a save.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "settings/registry_contract.h"
#include "settings/registry_file_posix.h"

namespace fs = std::filesystem;

namespace {

struct TempDir {
  std::string path = mkdtemp((fs::temp_directory_path() / "glimmora-reg-XXXXXX").string().data());
  ~TempDir() { fs::remove_all(path); }
};

// A store in a folder of its own. Write access goes by the real user id
// (access(2)), so a root test process that takes nobody as its real user
// sees root's machine file as an ordinary user does: readable, not writable.
struct FileEnv final : RegistryTestEnv {
  FileEnv() {
    scratch = "Software\\GlimmoraContract";
    if (geteuid() == 0) deny_machine_writes = [] { ASSERT_EQ(setresuid(65534, -1, -1), 0); };
  }
  ~FileEnv() override { EXPECT_EQ(setresuid(geteuid(), -1, -1), 0); }
  RegistryStore& Store() override { return *store; }
  TempDir dir;
  RegFilePaths paths{dir.path + "/config/glimmora/user.reg", dir.path + "/etc/glimmora/machine.reg"};
  std::unique_ptr<RegistryStore> store = CreateFileRegistry(paths, CreatePosixRegFileIo());
};

using FileRegistry = RegistryContract<FileEnv>;

TEST_F(FileRegistry, AHandEditedFileKeepsItsReadableValuesAndASaveKeepsTheRest) {
  fs::create_directories(env->dir.path + "/config/glimmora");
  std::ofstream(env->paths.current_user, std::ios::binary)
      << "Windows Registry Editor Version 5.00\r\n\r\n[hkey_current_user\\software\\GLIMMORAcontract]\r\n"
         "\"interval\"=\"20000 ms\"\r\nthis line is nonsense\r\n\"UpscaleMode\"=dword:zz\r\n"
         "\"ShowFilename\"=dword:00000001\r\n\"ShowFilename\"=dword:00000000\r\n"
         "[HKEY_CURRENT_USER\\Software\\GlimmoraContract\\Broken\r\n\"Orphan\"=\"x\"\r\n"
         "[HKEY_CURRENT_USER\\Software\\GlimmoraContract\\Other]\r\n\"Kept\"=\"k\"\r\n\"Cut\"=hex(7):41,00,\\\r\n";
  const std::tuple<const char*, const char*, std::optional<std::string>> cases[] = {
      {"", "Interval", "20000 ms"}, {"", "UpscaleMode", std::nullopt},
      {"", "ShowFilename", "0"},  // the last one counts, as on import
      {"\\Broken", "Orphan", std::nullopt}, {"\\Other", "Kept", "k"}, {"\\Other", "Cut", std::nullopt}};
  for (int save = 0; save < 2; ++save) {
    for (const auto& [sub, name, text] : cases) EXPECT_EQ(Get(sub, name), text) << name << " save " << save;
    EXPECT_TRUE(Set("", kRegDword, "CheckImageSize", 5));
  }
}

// The store keeps what it parsed only while the file keeps its stamp: another
// process's save, of the same size, is seen at once.
TEST_F(FileRegistry, AnotherProcesssSaveIsSeenAtOnce) {
  auto other = CreateFileRegistry(env->paths, CreatePosixRegFileIo());
  for (int interval : {1000, 2000}) {
    ASSERT_TRUE(SetRegistryValue(*other, kHkeyCurrentUser, env->scratch, kRegDword, "Interval", interval));
    EXPECT_EQ(Get("", "Interval"), std::to_string(interval));
  }
}

TEST_F(FileRegistry, ACrashBeforeTheRenameLeavesThePreviousFile) {
  ASSERT_TRUE(Set("", kRegDword, "Interval", 60000));
  if (fork() == 0) {  // dies with the new file written and synced
    auto crashing = CreateFileRegistry(env->paths, CreatePosixRegFileIo({16u << 20, [] { _exit(0); }}));
    SetRegistryValue(*crashing, kHkeyCurrentUser, env->scratch, kRegDword, "Interval", 1234);
    _exit(3);
  }
  int status = 0;
  wait(&status);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(Get("", "Interval"), "60000");
  EXPECT_TRUE(Set("", kRegDword, "Interval", 4321));  // the leftover temporary file does not disturb a later save
  EXPECT_EQ(Get("", "Interval"), "4321");
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Files, RegistryContract, FileEnv);
