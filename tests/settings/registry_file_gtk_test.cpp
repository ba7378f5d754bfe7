// The Linux .reg-file registry on real files: the store contract, then what
// only files can do wrong: a crash in the middle of a save, another process's
// save (hand-edited damage: the .reg reader's tests and the end-to-end settings.sh).
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
