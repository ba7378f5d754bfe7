// Linux backend of reader processes. The saver and a reader share a
// sequenced-packet socket pair (each send is one message), the reader's end
// as descriptor 3. Pictures come back in memfds the reader seals before
// passing them over the socket, so the saver maps memory that can no longer
// change under it. The reader's sandbox: no new privileges, a memory limit,
// death with the saver, Landlock (no file may be written) where the kernel
// has it, and a seccomp allow-list (no sockets, no programs, no tracing,
// writes only to the channel).
#include <errno.h>
#include <fcntl.h>
#include <linux/landlock.h>
#include <poll.h>
#include <seccomp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

#include "platform/reader_process.h"

extern char** environ;

namespace {

constexpr int kChannelFd = 3;
constexpr unsigned kSealed = F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizers reserve terabytes of address space and report on stderr.
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Runs every start of a reader on one thread that lives as long as the
// program: a reader is told to die with the thread that started it, and
// work-queue threads come and go.
class Launcher {
 public:
  static pid_t Spawn(const std::function<pid_t()>& spawn) {
    static Launcher* launcher = new Launcher;  // never destroyed: it outlives every caller
    std::packaged_task<pid_t()> task(spawn);
    std::future<pid_t> result = task.get_future();
    {
      std::lock_guard<std::mutex> lock(launcher->mutex_);
      launcher->tasks_.push_back(std::move(task));
    }
    launcher->wake_.notify_one();
    return result.get();
  }

 private:
  Launcher() {
    std::thread([this] {
      std::unique_lock<std::mutex> lock(mutex_);
      for (;;) {
        wake_.wait(lock, [this] { return !tasks_.empty(); });
        std::packaged_task<pid_t()> task = std::move(tasks_.front());
        tasks_.pop_front();
        lock.unlock();
        task();
        lock.lock();
      }
    }).detach();
  }
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::packaged_task<pid_t()>> tasks_;
};

// A killed reader is reaped by a thread of its own: one stuck in the
// kernel on a dead share ends only when its read returns.
void Reap(pid_t pid) {
  if (waitpid(pid, nullptr, WNOHANG) != 0) return;
  std::thread([pid] {
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }).detach();
}

class MappedBlock final : public SharedBlock {
 public:
  MappedBlock(void* data, std::size_t size) : data_(static_cast<std::uint8_t*>(data)), size_(size) {}
  ~MappedBlock() override { munmap(data_, size_); }
  const std::uint8_t* data() const override { return data_; }
  std::size_t size() const override { return size_; }

 private:
  std::uint8_t* data_;
  std::size_t size_;
};

// Maps a block the reader handed over, when it is sealed as promised.
std::unique_ptr<SharedBlock> MapSealed(int fd) {
  struct stat st;
  if (fcntl(fd, F_GET_SEALS) != static_cast<int>(kSealed) || fstat(fd, &st) != 0 || st.st_size <= 0) return nullptr;
  // Private and writable: what draws from it may scribble without the pages
  // being copied until then.
  void* data = mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
  if (data == MAP_FAILED) return nullptr;
  return std::make_unique<MappedBlock>(data, static_cast<std::size_t>(st.st_size));
}

// One message, and a descriptor passed with it (-1 when none).
ssize_t ReceivePacket(int socket, std::string& message, int& passed) {
  passed = -1;
  message.resize(kMaxReaderMessage);
  iovec io{message.data(), message.size()};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))];
  msghdr header{};
  header.msg_iov = &io;
  header.msg_iovlen = 1;
  header.msg_control = control;
  header.msg_controllen = sizeof control;
  ssize_t n;
  while ((n = recvmsg(socket, &header, MSG_CMSG_CLOEXEC)) < 0 && errno == EINTR) {
  }
  for (cmsghdr* c = CMSG_FIRSTHDR(&header); n >= 0 && c; c = CMSG_NXTHDR(&header, c))
    if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_RIGHTS && c->cmsg_len >= CMSG_LEN(sizeof(int)))
      std::memcpy(&passed, CMSG_DATA(c), sizeof(int));
  message.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  // A cut message is no message: the other side is not the program.
  if (n > 0 && (header.msg_flags & (MSG_TRUNC | MSG_CTRUNC))) n = -1;
  return n;
}

bool SendPacket(int socket, const std::string& message, int pass) {
  if (message.empty() || message.size() > kMaxReaderMessage) return false;
  iovec io{const_cast<char*>(message.data()), message.size()};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
  msghdr header{};
  header.msg_iov = &io;
  header.msg_iovlen = 1;
  if (pass >= 0) {
    header.msg_control = control;
    header.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&header);
    c->cmsg_level = SOL_SOCKET;
    c->cmsg_type = SCM_RIGHTS;
    c->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(c), &pass, sizeof(int));
  }
  ssize_t n;
  while ((n = sendmsg(socket, &header, MSG_NOSIGNAL)) < 0 && errno == EINTR) {
  }
  return n == static_cast<ssize_t>(message.size());
}

class PosixReaderProcess final : public ReaderProcess {
 public:
  PosixReaderProcess(pid_t pid, int socket) : pid_(pid), socket_(socket) {}
  ~PosixReaderProcess() override {
    Kill();
    close(socket_);
  }

  bool Send(const std::string& message) override { return pid_ > 0 && SendPacket(socket_, message, -1); }

  Outcome Receive(std::string& message, std::unique_ptr<SharedBlock>& block, std::chrono::milliseconds wait) override {
    block.reset();
    if (pid_ <= 0) return Outcome::Ended;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd p{socket_, POLLIN, 0};
      const int ready = poll(&p, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
      if (ready < 0 && errno == EINTR) continue;
      if (ready == 0) return Outcome::TimedOut;
      if (ready < 0) return Outcome::Ended;
      break;
    }
    int passed = -1;
    const ssize_t n = ReceivePacket(socket_, message, passed);
    if (passed >= 0) {
      block = MapSealed(passed);
      close(passed);
      if (!block) return Outcome::Ended;  // not what a reader sends: treat it as gone
    }
    return n > 0 ? Outcome::Message : Outcome::Ended;
  }

  void Kill() override {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    Reap(pid_);
    pid_ = 0;
  }

 private:
  pid_t pid_;
  int socket_;
};

class PosixWritableBlock final : public WritableBlock {
 public:
  PosixWritableBlock(int fd, void* data, std::size_t size)
      : fd_(fd), data_(static_cast<std::uint8_t*>(data)), size_(size) {}
  ~PosixWritableBlock() override {
    if (data_) munmap(data_, size_);
    if (fd_ >= 0) close(fd_);
  }
  std::uint8_t* data() override { return data_; }
  std::size_t size() const override { return size_; }
  // Unmaps and seals the block; its descriptor, for passing on.
  int Seal() {
    munmap(data_, size_);
    data_ = nullptr;
    return fcntl(fd_, F_ADD_SEALS, kSealed) == 0 ? fd_ : -1;
  }

 private:
  int fd_;
  std::uint8_t* data_;
  std::size_t size_;
};

int LandlockAbi() {
  const long abi = syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
  return abi < 0 ? 0 : static_cast<int>(abi);
}

// Every file-system right that changes something, as far as the kernel's
// Landlock knows them; reading stays open everywhere (links and shortcuts
// may lead anywhere).
bool ForbidWrites() {
  const int abi = LandlockAbi();
  if (abi < 1) return false;
  landlock_ruleset_attr rules{};
  rules.handled_access_fs = LANDLOCK_ACCESS_FS_WRITE_FILE | LANDLOCK_ACCESS_FS_REMOVE_DIR |
                            LANDLOCK_ACCESS_FS_REMOVE_FILE | LANDLOCK_ACCESS_FS_MAKE_CHAR |
                            LANDLOCK_ACCESS_FS_MAKE_DIR | LANDLOCK_ACCESS_FS_MAKE_REG | LANDLOCK_ACCESS_FS_MAKE_SOCK |
                            LANDLOCK_ACCESS_FS_MAKE_FIFO | LANDLOCK_ACCESS_FS_MAKE_BLOCK | LANDLOCK_ACCESS_FS_MAKE_SYM;
#ifdef LANDLOCK_ACCESS_FS_REFER
  if (abi >= 2) rules.handled_access_fs |= LANDLOCK_ACCESS_FS_REFER;
#endif
#ifdef LANDLOCK_ACCESS_FS_TRUNCATE
  if (abi >= 3) rules.handled_access_fs |= LANDLOCK_ACCESS_FS_TRUNCATE;
#endif
  const long ruleset = syscall(SYS_landlock_create_ruleset, &rules, sizeof rules, 0);
  if (ruleset < 0) return false;
  const bool ok = syscall(SYS_landlock_restrict_self, ruleset, 0) == 0;
  close(static_cast<int>(ruleset));
  return ok;
}

// The calls a reader makes: reading files and folders, memory, threads of
// its own (decoders use them), time, and its channel. Everything else fails
// with EPERM.
bool LoadSeccompFilter() {
  scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ERRNO(EPERM));
  if (!filter) return false;
  static constexpr const char* kAllowed[] = {"read",
                                             "readv",
                                             "pread64",
                                             "preadv",
                                             "preadv2",
                                             "close",
                                             "fstat",
                                             "newfstatat",
                                             "statx",
                                             "stat",
                                             "lstat",
                                             "lseek",
                                             "getdents64",
                                             "readlink",
                                             "readlinkat",
                                             "getcwd",
                                             "access",
                                             "faccessat",
                                             "faccessat2",
                                             "fcntl",
                                             "dup",
                                             "dup2",
                                             "dup3",
                                             "statfs",
                                             "fstatfs",
                                             "fadvise64",
                                             "getxattr",
                                             "lgetxattr",
                                             "fgetxattr",
                                             "mmap",
                                             "munmap",
                                             "mremap",
                                             "mprotect",
                                             "madvise",
                                             "brk",
                                             "mincore",
                                             "memfd_create",
                                             "ftruncate",
                                             "futex",
                                             "set_robust_list",
                                             "get_robust_list",
                                             "rseq",
                                             "set_tid_address",
                                             "sched_yield",
                                             "sched_getaffinity",
                                             "membarrier",
                                             "poll",
                                             "ppoll",
                                             "recvmsg",
                                             "recvfrom",
                                             "rt_sigaction",
                                             "rt_sigprocmask",
                                             "rt_sigreturn",
                                             "sigaltstack",
                                             "clock_gettime",
                                             "clock_getres",
                                             "clock_nanosleep",
                                             "nanosleep",
                                             "gettimeofday",
                                             "getpid",
                                             "gettid",
                                             "getppid",
                                             "getuid",
                                             "geteuid",
                                             "getgid",
                                             "getegid",
                                             "getrandom",
                                             "uname",
                                             "sysinfo",
                                             "prlimit64",
                                             "getrlimit",
                                             "exit",
                                             "exit_group",
                                             "restart_syscall",
                                             "eventfd2",
                                             "pipe2",
                                             "arch_prctl"};
  bool ok = true;
  for (const char* name : kAllowed) {
    const int call = seccomp_syscall_resolve_name(name);
    if (call != __NR_SCMP_ERROR) ok = seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0) == 0 && ok;
  }
  // Files open for reading only (the access mode bits are zero).
  for (int call : {SCMP_SYS(openat), SCMP_SYS(open)}) {
    const unsigned flags_arg = call == SCMP_SYS(openat) ? 2 : 1;
    ok = seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 1,
                          SCMP_CMP(flags_arg, SCMP_CMP_MASKED_EQ, O_ACCMODE | O_CREAT | O_TRUNC, 0)) == 0 &&
         ok;
  }
  // Writes go to the channel only. A sanitizer build also writes its reports
  // to stderr and probes memory by writing it into pipes of its own: there
  // the files' own rules (Landlock, read-only opens) are the fence.
  for (int call : {SCMP_SYS(write), SCMP_SYS(writev), SCMP_SYS(sendmsg), SCMP_SYS(sendto)}) {
    ok = (kSanitized ? seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0)
                     : seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 1, SCMP_A0(SCMP_CMP_EQ, kChannelFd))) == 0 &&
         ok;
  }
  // Threads, not processes: clone only with CLONE_THREAD; clone3 hides its
  // flags from the filter, so it is "not there" and the C library falls back.
  ok = seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(clone), 1,
                        SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, CLONE_THREAD)) == 0 &&
       ok;
  ok = seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0) == 0 && ok;
  // A thread may signal itself (abort), no other process.
  ok = seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(tgkill), 1,
                        SCMP_A0(SCMP_CMP_EQ, static_cast<scmp_datum_t>(getpid()))) == 0 &&
       ok;
  ok = ok && seccomp_load(filter) == 0;
  seccomp_release(filter);
  return ok;
}

class PosixReaderChannel final : public ReaderChannel {
 public:
  PosixReaderChannel(pid_t saver, std::size_t memory_bytes) : saver_(saver), memory_bytes_(memory_bytes) {}
  ~PosixReaderChannel() override { close(kChannelFd); }

  bool Receive(std::string& message) override {
    int passed = -1;
    const ssize_t n = ReceivePacket(kChannelFd, message, passed);
    if (passed >= 0) close(passed);
    return n > 0;
  }

  bool MessageWaiting() override {
    pollfd p{kChannelFd, POLLIN, 0};
    return poll(&p, 1, 0) > 0;
  }

  bool Send(const std::string& message, WritableBlock* block) override {
    int pass = -1;
    if (auto* posix = dynamic_cast<PosixWritableBlock*>(block)) pass = posix->Seal();
    if (block && pass < 0) return false;
    return SendPacket(kChannelFd, message, pass);
  }

  std::unique_ptr<WritableBlock> CreateBlock(std::size_t bytes) override {
    if (bytes == 0) return nullptr;
    const int fd = memfd_create("glimmora-picture", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) return nullptr;
    void* data = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(bytes)) == 0)
      data = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (data == MAP_FAILED) {
      close(fd);
      return nullptr;
    }
    return std::make_unique<PosixWritableBlock>(fd, data, bytes);
  }

  std::string EnterSandbox() override {
    std::string report;
    // Dies with the saver; a saver already gone before this took hold means now.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != saver_) _exit(0);
    if (kSanitized) report += "no memory limit (a sanitizer build); ";
    if (!kSanitized) {
      rlimit limit{};
      getrlimit(RLIMIT_AS, &limit);
      const rlim_t wanted = static_cast<rlim_t>(MappedBytes() + memory_bytes_);
      if (limit.rlim_max == RLIM_INFINITY || wanted < limit.rlim_max) limit.rlim_cur = limit.rlim_max = wanted;
      report += setrlimit(RLIMIT_AS, &limit) == 0 ? "memory limit; " : "no memory limit; ";
    }
    report += prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 ? "no new privileges; " : "new privileges possible; ";
    report += ForbidWrites() ? "no file writes (Landlock); " : "file writes not fenced (no Landlock); ";
    report += LoadSeccompFilter() ? "system calls filtered" : "system calls not filtered";
    return report;
  }

 private:
  // The address space the process has now (the program and its libraries).
  static std::size_t MappedBytes() {
    std::size_t total = 0;
    if (FILE* maps = std::fopen("/proc/self/maps", "r")) {
      unsigned long from = 0, to = 0;
      char line[512];
      while (std::fgets(line, sizeof line, maps))
        if (std::sscanf(line, "%lx-%lx", &from, &to) == 2 && to > from) total += to - from;
      std::fclose(maps);
    }
    return total;
  }

  pid_t saver_;
  std::size_t memory_bytes_;
};

bool IsChannel(int fd) {
  int type = 0;
  socklen_t length = sizeof type;
  sockaddr_storage address{};
  socklen_t address_length = sizeof address;
  return getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &length) == 0 && type == SOCK_SEQPACKET &&
         getsockname(fd, reinterpret_cast<sockaddr*>(&address), &address_length) == 0 && address.ss_family == AF_UNIX;
}

}  // namespace

std::unique_ptr<ReaderProcess> ReaderProcess::Start(const ReaderLimits& limits) {
  int pair[2];
  if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) return nullptr;
  // Above the descriptors a spawn renumbers, so the move to 3 clears close-on-exec.
  const int child_end = fcntl(pair[1], F_DUPFD_CLOEXEC, 10);
  close(pair[1]);
  if (child_end < 0) {
    close(pair[0]);
    return nullptr;
  }
  const std::string saver = std::to_string(getpid()), memory = std::to_string(limits.memory_bytes);
  const pid_t pid = Launcher::Spawn([&]() -> pid_t {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, child_end, kChannelFd);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    char* argv[] = {const_cast<char*>("glimmora"),          const_cast<char*>(kReaderSwitch),
                    const_cast<char*>(limits.role.c_str()), const_cast<char*>(saver.c_str()),
                    const_cast<char*>(memory.c_str()),      nullptr};
    pid_t child = 0;
    const int error = posix_spawn(&child, "/proc/self/exe", &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? child : -1;
  });
  close(child_end);
  if (pid <= 0) {
    close(pair[0]);
    return nullptr;
  }
  return std::make_unique<PosixReaderProcess>(pid, pair[0]);
}

std::unique_ptr<ReaderChannel> ReaderChannel::Open(const std::vector<std::string>& arguments, const std::string& role) {
  if (arguments.size() != 5 || arguments[1] != kReaderSwitch || arguments[2] != role || !IsChannel(kChannelFd))
    return nullptr;
  char* end = nullptr;
  const long saver = std::strtol(arguments[3].c_str(), &end, 10);
  if (*end || saver <= 1) return nullptr;
  // Started by a saver that has ended since (one given a preview host that
  // does not exist ends at once): nobody to answer, so no window of its own.
  if (saver != getppid()) _exit(0);
  const unsigned long long memory = std::strtoull(arguments[4].c_str(), &end, 10);
  if (*end || memory == 0) return nullptr;
  return std::make_unique<PosixReaderChannel>(static_cast<pid_t>(saver), static_cast<std::size_t>(memory));
}

std::vector<std::string> ProgramArguments() {
  std::vector<std::string> arguments;
  if (FILE* in = std::fopen("/proc/self/cmdline", "rb")) {
    std::string argument;
    for (int c; (c = std::fgetc(in)) != EOF;) {
      if (c) {
        argument += static_cast<char>(c);
      } else {
        arguments.push_back(std::move(argument));
        argument.clear();
      }
    }
    std::fclose(in);
  }
  return arguments;
}
