// Windows backend of reader processes. The saver and a reader share a named
// pipe in message mode (each write is one message), the reader's end
// inherited as the only handle it gets, its value on the command line.
// Pictures come back in pagefile-backed file mappings: the reader unmaps its
// view and names the mapping's handle in its message; the saver takes the
// handle over from the reader's process, closing it there.
// Each reader runs in a job of its own that the saver holds: a memory limit,
// one process (it starts no program), death when the saver ends or lets it
// go, and no error dialog on a crash. In its sandbox the reader lowers itself
// to low integrity, which keeps it from writing where users keep their files.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/reader_process.h"
#include "platform/utf16_win.h"

namespace {

// What the program itself may commit in a reader besides what its work maps.
constexpr std::size_t kProgramBytes = 32u << 20;

// Before each message from a reader: the value of the handed-over mapping's
// handle in the reader (0 when none) and the block's size.
struct BlockHeader {
  std::uint64_t handle;
  std::uint64_t size;
};
constexpr DWORD kPipeBuffer = 2 * (kMaxReaderMessage + sizeof(BlockHeader));

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

template <typename Function>
Function NtFunction(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

enum class Transfer { Done, TimedOut, Failed };

// Reads or writes one message on an overlapped pipe. Gives up after `wait`,
// or when `process` (if any) ends first; a message too long for `size` fails.
Transfer TransferMessage(HANDLE pipe, bool write, void* data, DWORD size, DWORD& done, DWORD wait,
                         HANDLE process = nullptr) {
  done = 0;
  OVERLAPPED overlapped{};
  OwnedHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!event) return Transfer::Failed;
  overlapped.hEvent = event.get();
  const BOOL finished =
      write ? WriteFile(pipe, data, size, nullptr, &overlapped) : ReadFile(pipe, data, size, nullptr, &overlapped);
  DWORD waited = WAIT_OBJECT_0;
  if (!finished) {
    if (GetLastError() != ERROR_IO_PENDING) return Transfer::Failed;
    HANDLE waits[] = {event.get(), process};
    waited = WaitForMultipleObjects(process ? 2 : 1, waits, FALSE, wait);
    if (waited != WAIT_OBJECT_0) CancelIoEx(pipe, &overlapped);
  }
  // After a cancel the transfer may still have finished first: it counts.
  if (GetOverlappedResult(pipe, &overlapped, &done, TRUE)) return Transfer::Done;
  return waited == WAIT_TIMEOUT ? Transfer::TimedOut : Transfer::Failed;
}

class MappedBlock final : public SharedBlock {
 public:
  MappedBlock(void* data, std::size_t size) : data_(static_cast<std::uint8_t*>(data)), size_(size) {}
  ~MappedBlock() override { UnmapViewOfFile(data_); }
  const std::uint8_t* data() const override { return data_; }
  std::size_t size() const override { return size_; }

 private:
  std::uint8_t* data_;
  std::size_t size_;
};

// Takes over a mapping the reader handed over and maps it, when it is what a
// reader makes: pagefile-backed memory committed whole, at least `size` long.
// A mapping of a file (one on a share that stops answering, say) or of
// memory reserved but not committed would stall or crash the saver later.
std::unique_ptr<SharedBlock> TakeBlock(HANDLE process, std::uint64_t value, std::uint64_t size) {
  HANDLE taken = nullptr;
  if (!DuplicateHandle(process, reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value)), GetCurrentProcess(),
                       &taken, FILE_MAP_READ | SECTION_QUERY, FALSE, DUPLICATE_CLOSE_SOURCE))
    return nullptr;
  OwnedHandle mapping(taken);
  struct {
    void* base;
    ULONG attributes;
    LARGE_INTEGER size;
  } basics{};
  using QuerySection = LONG(NTAPI*)(HANDLE, int, void*, SIZE_T, SIZE_T*);
  static const auto query_section = NtFunction<QuerySection>("NtQuerySection");
  if (!query_section || query_section(mapping.get(), 0, &basics, sizeof basics, nullptr) != 0 ||
      (basics.attributes & (SEC_COMMIT | SEC_FILE | SEC_IMAGE | SEC_RESERVE)) != SEC_COMMIT || size == 0 ||
      size > static_cast<std::uint64_t>(basics.size.QuadPart) || size > SIZE_MAX)
    return nullptr;
  // Copy-on-write: what draws from it may scribble without the pages being
  // copied until then.
  void* data = MapViewOfFile(mapping.get(), FILE_MAP_COPY, 0, 0, static_cast<SIZE_T>(size));
  if (!data) return nullptr;
  return std::make_unique<MappedBlock>(data, static_cast<std::size_t>(size));
}

DWORD Milliseconds(std::chrono::milliseconds wait) {
  return static_cast<DWORD>(std::clamp<std::int64_t>(wait.count(), 0, INFINITE - 1));
}

class WinReaderProcess final : public ReaderProcess {
 public:
  WinReaderProcess(OwnedHandle pipe, OwnedHandle process, OwnedHandle job)
      : pipe_(std::move(pipe)), process_(std::move(process)), job_(std::move(job)) {}
  ~WinReaderProcess() override { Kill(); }

  bool Send(const std::string& message) override {
    if (!process_ || message.empty() || message.size() > kMaxReaderMessage) return false;
    DWORD done = 0;
    return TransferMessage(pipe_.get(), true, const_cast<char*>(message.data()), static_cast<DWORD>(message.size()),
                           done, INFINITE, process_.get()) == Transfer::Done &&
           done == message.size();
  }

  Outcome Receive(std::string& message, std::unique_ptr<SharedBlock>& block, std::chrono::milliseconds wait) override {
    block.reset();
    message.clear();
    if (!process_) return Outcome::Ended;
    std::string packet(sizeof(BlockHeader) + kMaxReaderMessage, '\0');
    DWORD done = 0;
    switch (TransferMessage(pipe_.get(), false, packet.data(), static_cast<DWORD>(packet.size()), done,
                            Milliseconds(wait), process_.get())) {
      case Transfer::Done: break;
      case Transfer::TimedOut: return Outcome::TimedOut;
      case Transfer::Failed: return Outcome::Ended;
    }
    // Anything else is not what a reader sends: treat it as gone.
    if (done <= sizeof(BlockHeader)) return Outcome::Ended;
    BlockHeader header;
    std::memcpy(&header, packet.data(), sizeof header);
    if (header.handle != 0) {
      block = TakeBlock(process_.get(), header.handle, header.size);
      if (!block) return Outcome::Ended;
    } else if (header.size != 0) {
      return Outcome::Ended;
    }
    message.assign(packet, sizeof header, done - sizeof header);
    return Outcome::Message;
  }

  void Kill() override {
    if (!process_) return;
    TerminateProcess(process_.get(), 1);
    process_.reset();
    job_.reset();
  }

 private:
  OwnedHandle pipe_;
  OwnedHandle process_;
  OwnedHandle job_;
};

class WinWritableBlock final : public WritableBlock {
 public:
  WinWritableBlock(OwnedHandle mapping, void* data, std::size_t size)
      : mapping_(std::move(mapping)), data_(static_cast<std::uint8_t*>(data)), size_(size) {}
  ~WinWritableBlock() override {
    if (data_) UnmapViewOfFile(data_);
  }
  std::uint8_t* data() override { return data_; }
  std::size_t size() const override { return size_; }
  // Unmaps the block; its mapping, for handing over.
  OwnedHandle Release() {
    UnmapViewOfFile(data_);
    data_ = nullptr;
    return std::move(mapping_);
  }

 private:
  OwnedHandle mapping_;
  std::uint8_t* data_;
  std::size_t size_;
};

// This process's token lowered to low integrity: from then on it may write
// no file or folder that is not marked for low integrity (users' files,
// their temporary folder), while reading stays open.
bool LowerIntegrity() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_DEFAULT | TOKEN_QUERY, &token)) return false;
  OwnedHandle owned(token);
  SID low_sid{SID_REVISION, 1, SECURITY_MANDATORY_LABEL_AUTHORITY, {SECURITY_MANDATORY_LOW_RID}};
  TOKEN_MANDATORY_LABEL label{{&low_sid, SE_GROUP_INTEGRITY}};
  SetTokenInformation(token, TokenIntegrityLevel, &label, sizeof label + GetLengthSid(&low_sid));
  // What the system says now, not what the call said (Wine accepts and ignores it).
  alignas(TOKEN_MANDATORY_LABEL) char buffer[64];
  DWORD length = 0;
  if (!GetTokenInformation(token, TokenIntegrityLevel, buffer, sizeof buffer, &length)) return false;
  const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
  return *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1) <= SECURITY_MANDATORY_LOW_RID;
}

class WinReaderChannel final : public ReaderChannel {
 public:
  WinReaderChannel(HANDLE pipe, std::size_t memory_bytes)
      : pipe_(pipe), memory_bytes_(std::min<std::size_t>(memory_bytes, SIZE_MAX - kProgramBytes)) {}

  bool Receive(std::string& message) override {
    message.resize(kMaxReaderMessage);
    DWORD done = 0;
    const bool received = TransferMessage(pipe_.get(), false, message.data(), static_cast<DWORD>(message.size()), done,
                                          INFINITE) == Transfer::Done;
    message.resize(done);
    return received && done > 0;
  }

  bool MessageWaiting() override {
    DWORD waiting = 0;
    return PeekNamedPipe(pipe_.get(), nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0;
  }

  bool Send(const std::string& message, WritableBlock* block) override {
    if (message.empty() || message.size() > kMaxReaderMessage) return false;
    OwnedHandle mapping;
    BlockHeader header{0, 0};
    if (block) {
      auto* windows = dynamic_cast<WinWritableBlock*>(block);
      if (!windows) return false;
      header.size = windows->size();
      mapping = windows->Release();
      header.handle = reinterpret_cast<std::uintptr_t>(mapping.get());
    }
    std::string packet(reinterpret_cast<const char*>(&header), sizeof header);
    packet += message;
    DWORD done = 0;
    if (TransferMessage(pipe_.get(), true, packet.data(), static_cast<DWORD>(packet.size()), done, INFINITE) !=
            Transfer::Done ||
        done != packet.size())
      return false;
    // The saver closes it here as it takes it over: closing it too could close
    // a handle that took its value meanwhile.
    mapping.release();
    return true;
  }

  std::unique_ptr<WritableBlock> CreateBlock(std::size_t bytes) override {
    if (bytes == 0) return nullptr;
    const std::uint64_t size = bytes;
    OwnedHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                           static_cast<DWORD>(size >> 32), static_cast<DWORD>(size), nullptr));
    void* data = mapping ? MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, bytes) : nullptr;
    if (!data) return nullptr;
    return std::make_unique<WinWritableBlock>(std::move(mapping), data, bytes);
  }

  // The job's limits were set by the saver before this process ran; what
  // holds is measured here, since Wine accepts limits it does not enforce
  // and tells nothing of them.
  std::string EnterSandbox() override {
    std::string report;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION job{};
    BOOL in_job = FALSE;
    if (!IsProcessInJob(GetCurrentProcess(), nullptr, &in_job) || !in_job ||
        !QueryInformationJobObject(nullptr, JobObjectExtendedLimitInformation, &job, sizeof job, nullptr))
      job = {};
    const DWORD flags = job.BasicLimitInformation.LimitFlags;
    // Committing the whole allowance at once must fail where the limit holds.
    if (void* all = VirtualAlloc(nullptr, kProgramBytes + memory_bytes_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)) {
      VirtualFree(all, 0, MEM_RELEASE);
      report += "no memory limit; ";
    } else {
      report += "memory limit (job); ";
    }
    report += flags & JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE ? "dies with the saver (job); "
                                                         : "death with the saver not confirmed; ";
    report += (flags & JOB_OBJECT_LIMIT_ACTIVE_PROCESS) && job.BasicLimitInformation.ActiveProcessLimit == 1
                  ? "no programs (job); "
                  : "programs not fenced; ";
    report += LowerIntegrity() ? "no file writes (low integrity)" : "file writes not fenced (integrity not lowered)";
    return report;
  }

 private:
  OwnedHandle pipe_;
  std::size_t memory_bytes_;
};

// A job of the reader's own, so that "one process" counts the reader alone.
OwnedHandle CreateReaderJob(std::size_t memory_bytes) {
  OwnedHandle job(CreateJobObjectW(nullptr, nullptr));
  if (!job) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_PROCESS_MEMORY |
                                            JOB_OBJECT_LIMIT_ACTIVE_PROCESS |
                                            JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
  limits.BasicLimitInformation.ActiveProcessLimit = 1;
  limits.ProcessMemoryLimit = kProgramBytes + std::min<std::size_t>(memory_bytes, SIZE_MAX - kProgramBytes);
  if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) return nullptr;
  // Nothing a picture reader needs; best effort.
  JOBOBJECT_BASIC_UI_RESTRICTIONS ui{JOB_OBJECT_UILIMIT_DESKTOP | JOB_OBJECT_UILIMIT_DISPLAYSETTINGS |
                                     JOB_OBJECT_UILIMIT_EXITWINDOWS | JOB_OBJECT_UILIMIT_SYSTEMPARAMETERS |
                                     JOB_OBJECT_UILIMIT_READCLIPBOARD | JOB_OBJECT_UILIMIT_WRITECLIPBOARD};
  SetInformationJobObject(job.get(), JobObjectBasicUIRestrictions, &ui, sizeof ui);
  return job;
}

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return path.substr(0, length);
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

// The pipe's two ends: the saver's, and the reader's, inheritable.
bool CreateChannel(OwnedHandle& saver_end, OwnedHandle& reader_end) {
  static std::atomic<unsigned> counter{0};
  const std::wstring name = L"\\\\.\\pipe\\glimmora-reader-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(counter++) + L"-" + std::to_wstring(std::random_device{}());
  // One instance, first of its name, its other end opened at once: should
  // another process get in first, this fails.
  saver_end.reset(CreateNamedPipeW(
      name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
      PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_REJECT_REMOTE_CLIENTS, 1, kPipeBuffer, kPipeBuffer, 0, nullptr));
  if (saver_end.get() == INVALID_HANDLE_VALUE) return false;
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  reader_end.reset(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, &inherited, OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED, nullptr));
  DWORD mode = PIPE_READMODE_MESSAGE;
  return reader_end.get() != INVALID_HANDLE_VALUE && SetNamedPipeHandleState(reader_end.get(), &mode, nullptr, nullptr);
}

DWORD ParentProcessId() {
  struct {
    LONG exit_status;
    void* process_block;
    ULONG_PTR affinity;
    LONG priority;
    ULONG_PTR process_id;
    ULONG_PTR parent_process_id;
  } basics{};
  using QueryProcess = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  const auto query_process = NtFunction<QueryProcess>("NtQueryInformationProcess");
  if (!query_process || query_process(GetCurrentProcess(), 0, &basics, sizeof basics, nullptr) != 0) return 0;
  return static_cast<DWORD>(basics.parent_process_id);
}

bool ParseNumber(const std::string& text, std::uint64_t& value) {
  if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  value = std::stoull(text);
  return true;
}

}  // namespace

std::unique_ptr<ReaderProcess> ReaderProcess::Start(const ReaderLimits& limits) {
  const std::wstring program = ProgramPath();
  if (program.empty() || limits.role.empty() || limits.role.find_first_of(" \t\"") != std::string::npos) return nullptr;
  OwnedHandle saver_end, reader_end;
  if (!CreateChannel(saver_end, reader_end)) return nullptr;
  // A reader outside its job would outlive the saver and its limits: none.
  OwnedHandle job = CreateReaderJob(limits.memory_bytes);
  if (!job) return nullptr;

  // The reader inherits its end of the pipe and nothing else.
  SIZE_T list_size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &list_size);
  std::vector<char> list(list_size);
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(list.data());
  if (!InitializeProcThreadAttributeList(attributes, 1, 0, &list_size)) return nullptr;
  HANDLE inherited = reader_end.get();
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.lpAttributeList = attributes;
  std::wstring command = L"\"" + program + L"\" " +
                         Utf8ToWide(std::string(kReaderSwitch) + " " + limits.role + " " +
                                    std::to_string(GetCurrentProcessId()) + " " + std::to_string(limits.memory_bytes) +
                                    " " + std::to_string(reinterpret_cast<std::uintptr_t>(inherited)));
  PROCESS_INFORMATION started{};
  // Suspended until it is in its job, so it runs nothing outside it.
  const bool created =
      UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &inherited, sizeof inherited, nullptr,
                                nullptr) &&
      CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE,
                     CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr, &startup.StartupInfo, &started);
  DeleteProcThreadAttributeList(attributes);
  // Only the reader may hold this end: the pipe breaks when it ends.
  reader_end.reset();
  if (!created) return nullptr;
  OwnedHandle process(started.hProcess), thread(started.hThread);
  if (!AssignProcessToJobObject(job.get(), process.get()) || ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
    TerminateProcess(process.get(), 1);
    return nullptr;
  }
  return std::make_unique<WinReaderProcess>(std::move(saver_end), std::move(process), std::move(job));
}

std::unique_ptr<ReaderChannel> ReaderChannel::Open(const std::vector<std::string>& arguments, const std::string& role) {
  std::uint64_t saver = 0, memory = 0, value = 0;
  if (arguments.size() != 6 || arguments[1] != kReaderSwitch || arguments[2] != role ||
      !ParseNumber(arguments[3], saver) || !ParseNumber(arguments[4], memory) || !ParseNumber(arguments[5], value) ||
      memory == 0 || memory > SIZE_MAX || saver == 0 || saver != ParentProcessId())
    return nullptr;
  HANDLE pipe = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
  DWORD flags = 0;
  if (GetFileType(pipe) != FILE_TYPE_PIPE || !GetNamedPipeInfo(pipe, &flags, nullptr, nullptr, nullptr) ||
      (flags & PIPE_SERVER_END))
    return nullptr;
  return std::make_unique<WinReaderChannel>(pipe, static_cast<std::size_t>(memory));
}

std::vector<std::string> SplitCommandLine(const wchar_t* line) {
  std::vector<std::string> arguments;
  std::wstring argument;
  // The program's name: up to the next quote when quoted, else to white space.
  const wchar_t* p = line;
  if (*p == L'"') {
    for (++p; *p && *p != L'"'; ++p) argument += *p;
    if (*p) ++p;
  } else {
    for (; *p && *p != L' ' && *p != L'\t'; ++p) argument += *p;
  }
  arguments.push_back(WideToUtf8(argument));
  for (;;) {
    while (*p == L' ' || *p == L'\t') ++p;
    if (!*p) return arguments;
    argument.clear();
    bool quoted = false;
    while (*p && (quoted || (*p != L' ' && *p != L'\t'))) {
      std::size_t slashes = 0;
      while (p[slashes] == L'\\') ++slashes;
      if (p[slashes] != L'"') {  // backslashes before anything but a quote are themselves
        argument.append(slashes, L'\\');
        p += slashes;
        if (slashes == 0) argument += *p++;
        continue;
      }
      // 2n backslashes and a quote: n backslashes, and the quote opens or
      // closes (two inside quotes make one and close); 2n+1: n and the quote.
      argument.append(slashes / 2, L'\\');
      p += slashes;
      if (slashes % 2) {
        argument += L'"';
      } else if (quoted && p[1] == L'"') {
        argument += L'"';
        quoted = false;
        ++p;
      } else {
        quoted = !quoted;
      }
      ++p;
    }
    arguments.push_back(WideToUtf8(argument));
  }
}

// Not CommandLineToArgvW: shell32 would load user32 and, under Wine, the
// display driver in every reader.
std::vector<std::string> ProgramArguments() { return SplitCommandLine(GetCommandLineW()); }
