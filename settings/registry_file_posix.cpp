// The Linux registry: .reg files read whole and replaced atomically
// (temporary file in the same folder, fsync, rename, fsync of the folder), so
// a crash or a full disk leaves either the old file or the new one.
#include "settings/registry_file_posix.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool MakeFolders(const std::string& folder, mode_t mode) {
  struct stat st;
  if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  std::string parent = FolderOf(folder);
  if (parent != folder && !MakeFolders(parent, mode)) return false;
  return mkdir(folder.c_str(), mode) == 0 || errno == EEXIST;
}

void SyncFolder(const std::string& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// The file a save replaces: a symbolic link's target, so a settings file
// linked from elsewhere (a dotfiles folder) stays linked.
std::string WriteTarget(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string target = real;
  std::free(real);
  return target;
}

RegFileStamp StampOf(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
          static_cast<std::uint64_t>(st.st_size), std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec};
}

class PosixRegFileIo final : public RegFileIo {
 public:
  explicit PosixRegFileIo(PosixRegFileOptions options) : options_(std::move(options)) {}

  // Saves replace the file, so a save gives a new inode; only an edit in
  // place that keeps the size within one tick of the file system's clock
  // would keep the stamp.
  std::optional<RegFileStamp> Stamp(const std::string& path) override {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return StampOf(st);
  }

  ReadResult ReadFile(const std::string& path, std::string& bytes) override {
    // Non-blocking open: a FIFO in place of the file must not hang the program.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ReadResult::kMissing : ReadResult::kFailed;
    ReadResult result = ReadOpenFile(fd, bytes);
    close(fd);
    return result;
  }

  bool ReplaceFile(const std::string& path, const std::string& bytes, bool shared, RegFileStamp& stamp) override {
    std::string target = WriteTarget(path);
    std::string folder = FolderOf(target);
    if (!MakeFolders(folder, shared ? 0755 : 0700)) return false;
    mode_t mode = shared ? 0644 : 0600;
    struct stat st;
    if (stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) mode = st.st_mode & 07777;
    std::string pattern = target + ".XXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    // The stamp of the written file, which the rename keeps.
    bool ok = WriteAll(fd, bytes) && fchmod(fd, mode) == 0 && fsync(fd) == 0 && fstat(fd, &st) == 0;
    ok = close(fd) == 0 && ok;
    stamp = StampOf(st);
    if (ok && options_.before_rename) options_.before_rename();
    if (!ok || rename(temp.data(), target.c_str()) != 0) {
      unlink(temp.data());
      return false;
    }
    SyncFolder(folder);
    return true;
  }

  bool CanWrite(const std::string& path) override {
    std::string target = WriteTarget(path);
    struct stat st;
    if (stat(target.c_str(), &st) == 0) {
      // Replacing the file needs the folder too (the rename writes there).
      return S_ISREG(st.st_mode) && access(target.c_str(), W_OK) == 0 &&
             access(FolderOf(target).c_str(), W_OK | X_OK) == 0;
    }
    // A missing file: the nearest existing folder above must let us create it.
    std::string folder = FolderOf(target);
    while (stat(folder.c_str(), &st) != 0) {
      int error = errno;
      std::string up = FolderOf(folder);
      if (error != ENOENT || up == folder) return false;
      folder = up;
    }
    return S_ISDIR(st.st_mode) && access(folder.c_str(), W_OK | X_OK) == 0;
  }

 private:
  ReadResult ReadOpenFile(int fd, std::string& bytes) {
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return ReadResult::kFailed;
    if (static_cast<std::size_t>(st.st_size) > options_.max_file_size) return ReadResult::kFailed;
    bytes.clear();
    std::vector<char> chunk(1 << 16);
    for (;;) {
      ssize_t n = read(fd, chunk.data(), chunk.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return ReadResult::kFailed;
      if (n == 0) return ReadResult::kRead;
      bytes.append(chunk.data(), static_cast<std::size_t>(n));
      // The file may have grown since fstat.
      if (bytes.size() > options_.max_file_size) return ReadResult::kFailed;
    }
  }

  PosixRegFileOptions options_;
};

std::string ConfigHome() {
  // The base directory rules: only an absolute XDG_CONFIG_HOME counts.
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config";
  struct passwd* user = getpwuid(getuid());
  if (user && user->pw_dir && user->pw_dir[0] == '/') return std::string(user->pw_dir) + "/.config";
  return "";
}

}  // namespace

std::unique_ptr<RegFileIo> CreatePosixRegFileIo(PosixRegFileOptions options) {
  return std::make_unique<PosixRegFileIo>(std::move(options));
}

RegFilePaths PlatformRegFilePaths() {
  std::string config = ConfigHome();
  RegFilePaths paths;
  if (!config.empty()) paths.current_user = config + "/glimmora/user.reg";
  paths.local_machine = "/etc/glimmora/machine.reg";
  return paths;
}

std::unique_ptr<RegistryStore> CreatePlatformRegistry() {
  return CreateFileRegistry(PlatformRegFilePaths(), CreatePosixRegFileIo());
}
