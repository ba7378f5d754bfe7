// The Linux .reg-file registry on real files: the store contract, then what
// only files can do wrong: missing folders, damaged or cut files, files this
// user may not write, a crash in the middle of a save, odd file types.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "fakes/fake_ports.h"
#include "settings/reg_text.h"
#include "settings/registry_contract.h"
#include "settings/registry_file_posix.h"
#include "settings/settings_io.h"

namespace fs = std::filesystem;

namespace {

using namespace std::string_literals;

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "glimmora-reg-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() { fs::remove_all(path_); }
  std::string operator/(const std::string& sub) const { return path_ + "/" + sub; }

 private:
  std::string path_;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Utf16File(const std::string& text) { return "\xFF\xFE" + Utf8ToUtf16Le(text); }

// Real files, with an optional say over who may write them.
class TestFiles final : public RegFileIo {
 public:
  explicit TestFiles(PosixRegFileOptions options = {}) : real_(CreatePosixRegFileIo(std::move(options))) {}
  ReadResult ReadFile(const std::string& path, std::string& bytes) override { return real_->ReadFile(path, bytes); }
  bool ReplaceFile(const std::string& path, const std::string& bytes, bool shared) override {
    return real_->ReplaceFile(path, bytes, shared);
  }
  bool CanWrite(const std::string& path) override { return !read_only.count(path) && real_->CanWrite(path); }
  std::set<std::string> read_only;  // as for a user who is not root

 private:
  std::unique_ptr<RegFileIo> real_;
};

struct FileStore {
  explicit FileStore(const TempDir& dir, PosixRegFileOptions options = {}) {
    paths = {dir / "config/glimmora/user.reg", dir / "etc/glimmora/machine.reg"};
    auto io = std::make_unique<TestFiles>(std::move(options));
    files = io.get();
    store = CreateFileRegistry(paths, std::move(io));
  }
  RegFilePaths paths;
  TestFiles* files;
  std::unique_ptr<RegistryStore> store;
};

class FileEnv final : public RegistryTestEnv {
 public:
  FileEnv() : store_(dir_) { scratch = "Software\\GlimmoraContract"; }
  RegistryStore& Store() override { return *store_.store; }

 private:
  TempDir dir_;
  FileStore store_;
};

struct FileStoreFactory {
  static std::unique_ptr<RegistryTestEnv> Create() { return std::make_unique<FileEnv>(); }
};

// A program state whose registry is the file store.
struct FileProgram : FakeProgram {
  explicit FileProgram(RegistryStore& store) {
    state.ports.registry = &store;
    state.SettingsKeyPath = "Software\\Glimmora";
    state.DefaultSettings = MakeDefaultSettings();
    state.CurrentSettings = state.DefaultSettings;
  }
  SaverSettings Load() {
    state.CurrentSettings = state.DefaultSettings;
    LoadSettings(state);
    return state.CurrentSettings;
  }
};

SaverSettings Sample() {
  SaverSettings s = MakeDefaultSettings();
  s.Interval = 60000;
  s.ImageDirectory = "/home/ann/Pictures/\r\n/media/photos/2023 Holiday/";
  s.ExcludeDirectory = "/home/ann/Pictures/private/";
  s.Recursive = false;
  s.UpscaleMode = 3;
  s.ShowFilename = 1;
  s.ShowFilenameColorText = 255;
  s.ShowFileResolution = true;
  s.CheckImageSize = 5;
  s.CheckAspectRatio = 2;
  return s;
}

const char kWinlogon[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

TEST(FileRegistry, FirstSaveCreatesTheFolderPrivately) {
  TempDir dir;
  FileStore f(dir);
  FileProgram p(*f.store);
  EXPECT_EQ(p.Load(), MakeDefaultSettings());
  EXPECT_FALSE(fs::exists(dir / "config"));  // reading creates nothing
  p.state.CurrentSettings = Sample();
  SaveSettings(p.state);
  struct stat st;
  ASSERT_EQ(stat(f.paths.current_user.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(stat((dir / "config/glimmora").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(p.Load(), Sample());
  EXPECT_TRUE(ReadAll(f.paths.current_user).starts_with(Utf16File("Windows Registry Editor Version 5.00\r\n\r\n")));
}

TEST(FileRegistry, HandEditedFileKeepsItsReadableValues) {
  TempDir dir;
  FileStore f(dir);
  WriteAll(f.paths.current_user,
           "Windows Registry Editor Version 5.00\r\n\r\n"
           "[hkey_current_user\\software\\GLIMMORA]\r\n"
           "\"Interval\"=\"20000 ms\"\r\n"
           "this line is nonsense\r\n"
           "\"UpscaleMode\"=dword:zz\r\n"
           "\"random\"=dword:00000000\r\n"
           "\"ShowFilename\"=dword:00000001\r\n"
           "\"ShowFilename\"=dword:00000000\r\n"  // the last one counts, as on import
           "\"ShowFilenameColorText\"=\"&HFF\"\r\n");
  FileProgram p(*f.store);
  SaverSettings s = p.Load();
  EXPECT_EQ(s.Interval, 20000);
  EXPECT_EQ(s.UpscaleMode, 1);
  EXPECT_FALSE(s.Random);
  EXPECT_EQ(s.ShowFilename, 0);
  EXPECT_EQ(s.ShowFilenameColorText, 255);
  // Saving keeps the broken lines as notes and changes the last duplicate.
  p.state.CurrentSettings.ShowFilename = 2;
  SaveSettings(p.state);
  std::string file = Utf16LeToUtf8(ReadAll(f.paths.current_user).substr(2));
  EXPECT_NE(file.find("; this line is nonsense\r\n"), std::string::npos);
  EXPECT_NE(file.find("; \"UpscaleMode\"=dword:zz\r\n"), std::string::npos);
  EXPECT_EQ(p.Load().ShowFilename, 2);
}

TEST(FileRegistry, EveryCutOfASavedFileLoadsSavedValuesOrDefaults) {
  TempDir dir;
  FileStore f(dir);
  FileProgram p(*f.store);
  p.state.CurrentSettings = Sample();
  SaveSettings(p.state);
  const std::string saved = ReadAll(f.paths.current_user);
  const SaverSettings sample = Sample(), defaults = MakeDefaultSettings();
  for (std::size_t cut = 0; cut <= saved.size(); cut += 2) {  // an odd cut reads like the even one below it
    WriteAll(f.paths.current_user, saved.substr(0, cut));
    SaverSettings s = p.Load();
    auto either = [&](auto field) { return s.*field == sample.*field || s.*field == defaults.*field; };
    EXPECT_TRUE(either(&SaverSettings::ImageDirectory) && either(&SaverSettings::ExcludeDirectory) &&
                either(&SaverSettings::Interval) && either(&SaverSettings::ShowFilenameColorText) &&
                either(&SaverSettings::CheckImageSize) && either(&SaverSettings::UpscaleMode))
        << "cut at " << cut;
  }
}

TEST(FileRegistry, ValuesOfExactly1024BytesReadAndLongerOnesDoNot) {
  TempDir dir;
  FileStore f(dir);
  auto list_of = [](std::size_t bytes) {  // a folder list whose stored data has that many bytes
    std::string hex;
    for (std::size_t i = 0; i + 1 < bytes; ++i) hex += "61,00,";
    return hex + "00,00";
  };
  WriteAll(f.paths.current_user, Utf16File("Windows Registry Editor Version 5.00\r\n\r\n"
                                           "[HKEY_CURRENT_USER\\Software\\Glimmora]\r\n"
                                           "\"ImageDirectory\"=hex(7):" + list_of(1024) + "\r\n"
                                           "\"ExcludeDirectory\"=hex(7):" + list_of(1025) + "\r\n"));
  FileProgram p(*f.store);
  p.state.DefaultSettings.ExcludeDirectory = "default";
  SaverSettings s = p.Load();
  EXPECT_EQ(s.ImageDirectory, std::string(1023, 'a'));
  EXPECT_EQ(s.ExcludeDirectory, "default");
}

TEST(FileRegistry, AFileThisUserMayNotWriteCannotBeOpenedForWriting) {
  TempDir dir;
  FileStore f(dir);
  WriteAll(f.paths.local_machine, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + std::string(kWinlogon) +
                                      "]\n\"ScreenSaverGracePeriod\"=\"7\"\n");
  const std::string before = ReadAll(f.paths.local_machine);
  f.files->read_only.insert(f.paths.local_machine);
  std::string text = "stale";
  EXPECT_FALSE(GetRegistryValue(*f.store, kHkeyLocalMachine, kWinlogon, "ScreenSaverGracePeriod", text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(SetRegistryValue(*f.store, kHkeyLocalMachine, kWinlogon, kRegSz, "ScreenSaverGracePeriod", "10"));
  EXPECT_FALSE(SetRegistryValue(*f.store, kHkeyLocalMachine, "Software\\New", kRegSz, "A", "b"));
  EXPECT_EQ(ReadAll(f.paths.local_machine), before);
  // Read access alone still works, as it does for such users on Windows.
  RegKey key = 0;
  ASSERT_EQ(f.store->OpenKeyEx(kHkeyLocalMachine, kWinlogon, kRegAccessRead, &key), kRegSuccess);
  std::uint8_t buffer[16] = {};
  std::uint32_t type = 0, size = sizeof buffer;
  EXPECT_EQ(f.store->QueryValueEx(key, "ScreenSaverGracePeriod", &type, buffer, &size), kRegSuccess);
  EXPECT_EQ(f.store->SetValueEx(key, "ScreenSaverGracePeriod", kRegSz, buffer, 1), kRegAccessDenied);
  f.store->CloseKey(key);
  // Root may write it.
  f.files->read_only.clear();
  EXPECT_TRUE(SetRegistryValue(*f.store, kHkeyLocalMachine, kWinlogon, kRegSz, "ScreenSaverGracePeriod", "10"));
  EXPECT_TRUE(GetRegistryValue(*f.store, kHkeyLocalMachine, kWinlogon, "ScreenSaverGracePeriod", text));
  EXPECT_EQ(text, "10");
  struct stat st;
  ASSERT_EQ(stat(f.paths.local_machine.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);  // kept, so every user can read it
}

// The real permission check, as an ordinary user: tests run as root, whom
// file modes do not stop, so the check runs in a child that drops to nobody.
TEST(FileRegistry, FileModesDecideWriteAccessForOrdinaryUsers) {
  TempDir dir;
  FileStore f(dir);
  WriteAll(f.paths.local_machine, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + std::string(kWinlogon) +
                                      "]\n\"ScreenSaverGracePeriod\"=\"7\"\n");
  for (const std::string& p : {dir / "", dir / "etc", dir / "etc/glimmora"}) chmod(p.c_str(), 0755);
  chmod(f.paths.local_machine.c_str(), 0644);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(10);
    } else {  // already an ordinary user, who owns these files: take the right away
      chmod(f.paths.local_machine.c_str(), 0444);
      chmod((dir / "etc/glimmora").c_str(), 0555);
      chmod((dir / "etc").c_str(), 0555);
    }
    std::string text;
    int code = 0;
    if (GetRegistryValue(*f.store, kHkeyLocalMachine, kWinlogon, "ScreenSaverGracePeriod", text)) code |= 1;
    RegKey key = 0;
    if (f.store->OpenKeyEx(kHkeyLocalMachine, kWinlogon, kRegAccessRead, &key) != kRegSuccess) code |= 2;
    if (SetRegistryValue(*f.store, kHkeyLocalMachine, "Software\\New", kRegSz, "A", "b")) code |= 4;
    _exit(code);
  }
  int status = 0;
  waitpid(child, &status, 0);
  for (const std::string& p : {dir / "etc", dir / "etc/glimmora"}) chmod(p.c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: grace read with write access, 2: plain read failed, 4: write allowed";
}

TEST(FileRegistry, ACrashBeforeTheRenameLeavesThePreviousFile) {
  TempDir dir;
  FileStore f(dir);
  FileProgram p(*f.store);
  p.state.CurrentSettings = Sample();
  SaveSettings(p.state);
  const std::string before = ReadAll(f.paths.current_user);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FileStore crashing(dir, {16u << 20, [] { _exit(0); }});  // dies with the new file written and synced
    FileProgram q(*crashing.store);
    q.state.CurrentSettings.Interval = 1234;
    SaveSettings(q.state);
    _exit(3);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadAll(f.paths.current_user), before);
  EXPECT_EQ(p.Load(), Sample());
  // The leftover temporary file does not disturb later saves.
  p.state.CurrentSettings.Interval = 4321;
  SaveSettings(p.state);
  EXPECT_EQ(p.Load().Interval, 4321);
}

TEST(FileRegistry, FilesThatCannotBeReadAreNeitherReadNorReplaced) {
  TempDir dir;
  FileStore small(dir, {64, {}});  // larger files are refused
  WriteAll(small.paths.current_user, "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Glimmora]\n\"Interval\"=dword:00000bb8\n");
  const std::string big = ReadAll(small.paths.current_user);
  FileProgram p(*small.store);
  EXPECT_EQ(p.Load().Interval, 15000);
  SaveSettings(p.state);
  EXPECT_EQ(ReadAll(small.paths.current_user), big);

  TempDir odd;
  FileStore f(odd);
  fs::create_directories(f.paths.current_user);  // a folder where the file should be
  FileProgram q(*f.store);
  EXPECT_EQ(q.Load(), MakeDefaultSettings());
  SaveSettings(q.state);
  EXPECT_TRUE(fs::is_directory(f.paths.current_user));
  fs::remove(f.paths.current_user);
  ASSERT_EQ(mkfifo(f.paths.current_user.c_str(), 0600), 0);  // would block a plain open
  EXPECT_EQ(q.Load(), MakeDefaultSettings());
}

TEST(FileRegistry, ALinkedSettingsFileStaysALink) {
  TempDir dir;
  FileStore f(dir);
  WriteAll(dir / "dotfiles/user.reg", "REGEDIT4\n");
  fs::create_directories(dir / "config/glimmora");
  fs::create_symlink(dir / "dotfiles/user.reg", f.paths.current_user);
  FileProgram p(*f.store);
  p.state.CurrentSettings = Sample();
  SaveSettings(p.state);
  EXPECT_TRUE(fs::is_symlink(f.paths.current_user));
  EXPECT_EQ(p.Load(), Sample());
}

TEST(FileRegistry, PathsFollowTheEnvironment) {
  struct Case {
    const char* xdg;
    const char* home;
    const char* user_file;
  };
  const Case cases[] = {{"/x/config", "/home/ann", "/x/config/glimmora/user.reg"},
                        {"relative/config", "/home/ann", "/home/ann/.config/glimmora/user.reg"},
                        {nullptr, "/home/bob", "/home/bob/.config/glimmora/user.reg"}};
  std::string old_xdg = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  std::string old_home = std::getenv("HOME") ? std::getenv("HOME") : "";
  for (const Case& c : cases) {
    c.xdg ? setenv("XDG_CONFIG_HOME", c.xdg, 1) : unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", c.home, 1);
    RegFilePaths paths = PlatformRegFilePaths();
    EXPECT_EQ(paths.current_user, c.user_file);
    EXPECT_EQ(paths.local_machine, "/etc/glimmora/machine.reg");
  }
  old_xdg.empty() ? unsetenv("XDG_CONFIG_HOME") : setenv("XDG_CONFIG_HOME", old_xdg.c_str(), 1);
  setenv("HOME", old_home.c_str(), 1);
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Files, RegistryContract, FileStoreFactory);
