// POSIX backend of the file-system port (the Linux build).
// Network paths inside .lnk files have no local meaning and are not followed.
// Devices, pipes and sockets are never listed: they cannot hold a picture, and
// opening a pipe would block the walk.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "catalogue/file_system.h"
#include "catalogue/shell_link.h"

namespace {

constexpr off_t kMaxShortcutBytes = 1 << 20;  // real .lnk files are a few KiB

// Attributes of a file-system object, or nullopt for kinds we never list.
bool AttributesOfMode(mode_t mode, std::uint32_t* attributes) {
  if (S_ISDIR(mode))
    *attributes = kFileDirectory;
  else if (S_ISREG(mode))
    *attributes = kFileArchive;
  else if (S_ISLNK(mode))
    *attributes = kFileSymlink;
  else
    return false;
  return true;
}

class DirListing final : public FolderListing {
 public:
  explicit DirListing(DIR* dir) : dir_(dir) {}
  ~DirListing() override { closedir(dir_); }

  bool Next(FolderEntry& entry) override {
    while (const dirent* d = readdir(dir_)) {
      const char* name = d->d_name;
      if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
      std::uint32_t attributes = 0;
      if (!TypeOf(*d, &attributes)) continue;
      if (name[0] == '.') attributes |= kFileHidden;
      entry.name = name;
      entry.attributes = attributes;
      return true;
    }
    return false;
  }

  std::string Identity() override {
    struct stat st {};
    if (fstat(dirfd(dir_), &st) != 0) return {};
    return std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino);
  }

 private:
  // False for entries never listed. An entry whose type cannot be read keeps
  // attributes 0 and counts as a file.
  bool TypeOf(const dirent& d, std::uint32_t* attributes) {
    switch (d.d_type) {
      case DT_DIR: *attributes = kFileDirectory; return true;
      case DT_REG: *attributes = kFileArchive; return true;
      case DT_LNK: *attributes = kFileSymlink; return true;
      case DT_UNKNOWN: break;
      default: return false;
    }
    struct stat st {};
    if (fstatat(dirfd(dir_), d.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return true;
    return AttributesOfMode(st.st_mode, attributes);
  }

  DIR* dir_;
};

std::string RealPath(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return {};
  std::string result(resolved);
  free(resolved);
  return result;
}

// A target the walk can use: an existing folder or regular file.
bool IsUsableTarget(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || S_ISREG(st.st_mode));
}

bool ReadSmallFile(const std::string& path, std::vector<std::uint8_t>* bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);  // a terminal never becomes ours
  if (fd < 0) return false;
  struct stat st {};
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxShortcutBytes;
  if (ok) {
    bytes->resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (ok && done < bytes->size()) {
      const ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
      ok = got > 0;
      if (ok) done += static_cast<std::size_t>(got);
    }
  }
  close(fd);
  return ok;
}

class PosixFileSystem final : public FileSystem {
 public:
  std::unique_ptr<FolderListing> OpenFolder(const std::string& folder) override {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return nullptr;
    return std::make_unique<DirListing>(dir);
  }

  std::uint32_t GetAttributes(const std::string& path) override {
    struct stat st {};
    std::uint32_t attributes = 0;
    if (path.empty() || stat(path.c_str(), &st) != 0) return 0;
    if (!AttributesOfMode(st.st_mode, &attributes)) return 0;
    const std::size_t slash = path.find_last_of('/', path.size() - 2);
    if (path.compare(slash == std::string::npos ? 0 : slash + 1, 1, ".") == 0) attributes |= kFileHidden;
    return attributes;
  }

  std::string ResolveShortcut(const std::string& folder, const std::string& name) override {
    const std::string path = folder + name;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return {};
    std::string target;
    if (S_ISLNK(st.st_mode))
      target = RealPath(path);
    else if (S_ISREG(st.st_mode))
      target = ShellLinkTarget(folder, path);
    return IsUsableTarget(target) ? target : std::string();
  }

 private:
  std::string ShellLinkTarget(const std::string& folder, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (!ReadSmallFile(path, &bytes)) return {};
    const std::optional<ShellLinkPaths> link = ParseShellLink(bytes.data(), bytes.size());
    if (!link) return {};
    auto drive_root = [this](char letter) { return DriveRoot(letter); };
    for (const std::string* candidate : {&link->local_path, &link->relative_path}) {
      const std::string local = RealPath(LinkPathToPosix(*candidate, folder, drive_root));
      if (IsUsableTarget(local)) return local;
    }
    return {};
  }

  // The folder that stands for a drive letter in Wine: Z: is the root, the
  // others are symbolic links in the prefix's dosdevices folder. Kept once
  // found; the walk's threads share what is kept.
  std::string DriveRoot(char letter) {
    if (letter == 'z') return "/";
    {
      std::lock_guard<std::mutex> lock(drive_roots_mutex_);
      auto known = drive_roots_.find(letter);
      if (known != drive_roots_.end()) return known->second;
    }
    std::string prefix;
    if (const char* wine = std::getenv("WINEPREFIX"); wine && *wine)
      prefix = wine;
    else if (const char* home = std::getenv("HOME"); home && *home)
      prefix = std::string(home) + "/.wine";
    // Found without the lock: a lookup stuck on a dead mount holds up only its own thread.
    std::string root = prefix.empty() ? std::string() : RealPath(prefix + "/dosdevices/" + letter + ':');
    std::lock_guard<std::mutex> lock(drive_roots_mutex_);
    return drive_roots_.emplace(letter, std::move(root)).first->second;
  }

  std::mutex drive_roots_mutex_;
  std::map<char, std::string> drive_roots_;
};

}  // namespace

std::unique_ptr<FileSystem> CreatePlatformFileSystem() { return std::make_unique<PosixFileSystem>(); }
