// The Linux .reg-file registry on real files: the store contract, then what
// only files can do wrong: hand-edited damage, a crash in the middle of a
// save, file modes.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "settings/reg_text.h"
#include "settings/registry_contract.h"
#include "settings/registry_file_posix.h"

namespace fs = std::filesystem;

namespace {

const char kGlimmora[] = "Software\\Glimmora";

struct TempDir {
  std::string path = mkdtemp((fs::temp_directory_path() / "glimmora-reg-XXXXXX").string().data());
  ~TempDir() { fs::remove_all(path); }
};

std::string ReadAll(const std::string& path) {
  std::stringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

// Real files, with a say over which this user may write (tests run as root).
struct TestFiles final : RegFileIo {
  ReadResult ReadFile(const std::string& path, std::string& bytes) override { return real->ReadFile(path, bytes); }
  bool ReplaceFile(const std::string& path, const std::string& bytes, bool shared) override {
    return real->ReplaceFile(path, bytes, shared);
  }
  bool CanWrite(const std::string& path) override { return !read_only.count(path) && real->CanWrite(path); }
  std::unique_ptr<RegFileIo> real = CreatePosixRegFileIo();
  std::set<std::string> read_only;
};

struct FileEnv final : RegistryTestEnv {
  FileEnv() {
    scratch = "Software\\GlimmoraContract";
    deny_machine_writes = [this] { files->read_only.insert(paths.local_machine); };
  }
  RegistryStore& Store() override { return *store; }
  bool Get(const std::string& name, std::string& text, const std::string& path = kGlimmora) {
    return GetRegistryValue(*store, kHkeyCurrentUser, path, name, text);
  }
  bool Set(const std::string& name, int value) {
    return SetRegistryValue(*store, kHkeyCurrentUser, kGlimmora, kRegDword, name, value);
  }
  TempDir dir;
  RegFilePaths paths{dir.path + "/config/glimmora/user.reg", dir.path + "/etc/glimmora/machine.reg"};
  TestFiles* files = new TestFiles;
  std::unique_ptr<RegistryStore> store = CreateFileRegistry(paths, std::unique_ptr<RegFileIo>(files));
};

struct FileStoreFactory {
  static std::unique_ptr<RegistryTestEnv> Create() { return std::make_unique<FileEnv>(); }
};

TEST(FileRegistry, AHandEditedFileKeepsItsReadableValuesAndASaveKeepsTheRest) {
  FileEnv f;
  fs::create_directories(f.dir.path + "/config/glimmora");
  std::ofstream(f.paths.current_user, std::ios::binary)
      << "Windows Registry Editor Version 5.00\r\n\r\n[hkey_current_user\\software\\GLIMMORA]\r\n"
         "\"Interval\"=\"20000 ms\"\r\nthis line is nonsense\r\n\"UpscaleMode\"=dword:zz\r\n"
         "\"ShowFilename\"=dword:00000001\r\n\"ShowFilename\"=dword:00000000\r\n"
         "[HKEY_CURRENT_USER\\Software\\Broken\r\n\"Orphan\"=\"x\"\r\n"
         "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Kept\"=\"k\"\r\n\"Cut\"=hex(7):41,00,\\\r\n";
  const char* cases[][3] = {
      {kGlimmora, "Interval", "20000 ms"}, {kGlimmora, "UpscaleMode", nullptr},
      {kGlimmora, "ShowFilename", "0"},  // the last one counts, as on import
      {"Software\\Broken", "Orphan", nullptr}, {"Software\\Other", "Kept", "k"}, {"Software\\Other", "Cut", nullptr}};
  for (int save = 0; save < 2; ++save) {
    for (const auto& c : cases) {
      std::string text;
      EXPECT_EQ(f.Get(c[1], text, c[0]), c[2] != nullptr) << c[1] << " save " << save;
      EXPECT_EQ(text, c[2] ? c[2] : "") << c[1] << " save " << save;
    }
    EXPECT_TRUE(f.Set("CheckImageSize", 5));
  }
  std::string file = Utf16LeToUtf8(ReadAll(f.paths.current_user).substr(2));
  EXPECT_NE(file.find("; this line is nonsense\r\n"), std::string::npos);
}

TEST(FileRegistry, ACrashBeforeTheRenameLeavesThePreviousFile) {
  FileEnv f;
  ASSERT_TRUE(f.Set("Interval", 60000));
  const std::string before = ReadAll(f.paths.current_user);
  pid_t child = fork();
  if (child == 0) {  // dies with the new file written and synced
    SetRegistryValue(*CreateFileRegistry(f.paths, CreatePosixRegFileIo({16u << 20, [] { _exit(0); }})),
                     kHkeyCurrentUser, kGlimmora, kRegDword, "Interval", 1234);
    _exit(3);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadAll(f.paths.current_user), before);
  std::string text;  // the leftover temporary file does not disturb a later save
  EXPECT_TRUE(f.Set("Interval", 4321) && f.Get("Interval", text) && text == "4321");
}

// The real permission check: root is not stopped by file modes, so an
// ordinary user (nobody) tries in a child process.
TEST(FileRegistry, FileModesDecideWriteAccessForOrdinaryUsers) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to become nobody";
  FileEnv f;
  ASSERT_TRUE(SetRegistryValue(*f.store, kHkeyLocalMachine, "Software\\W", kRegSz, "Grace", "7"));
  fs::permissions(f.dir.path, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  pid_t child = fork();
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(10);
    std::string text;
    RegKey key = 0;
    int code = GetRegistryValue(*f.store, kHkeyLocalMachine, "Software\\W", "Grace", text) ? 1 : 0;
    if (f.store->OpenKeyEx(kHkeyLocalMachine, "Software\\W", kRegAccessRead, &key) != kRegSuccess) code |= 2;
    if (SetRegistryValue(*f.store, kHkeyLocalMachine, "Software\\New", kRegSz, "A", "b")) code |= 4;
    _exit(code);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << WEXITSTATUS(status) << " (1: read with write access, 2: plain read failed, 4: write allowed)";
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Files, RegistryContract, FileStoreFactory);
