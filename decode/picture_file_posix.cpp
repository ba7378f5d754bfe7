// POSIX backend of picture files: open without blocking (a pipe's open waits
// for a writer otherwise), then only regular files are kept.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "decode/picture_file.h"

namespace {

class PosixPictureFile final : public PictureFile {
 public:
  explicit PosixPictureFile(int fd) : fd_(fd) {}
  ~PosixPictureFile() override { close(fd_); }
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = pread(fd_, static_cast<char*>(buffer) + done, size - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }
  std::uint64_t Size() override {
    struct stat st;
    return fstat(fd_, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<PictureFile> OpenPictureFile(const std::string& path) {
  // O_NOCTTY: a terminal reached through a link never becomes this process's own.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<PosixPictureFile>(fd);
}
