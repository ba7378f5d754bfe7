#pragma once
// Reader processes: this same program started in an internal mode to read
// users' folders and pictures, so that a share that stops answering or a
// picture that crashes or bloats its decoder costs a reader, never the saver.
// The two talk in small messages over a channel; a picture comes back in a
// block of shared memory that the reader fills and then gives up.
//
// The saver holds a ReaderProcess: it starts the reader, sends and receives
// with a deadline, and kills it. The reader gets a ReaderChannel and, before
// it touches a user's file, locks itself into its sandbox.
// Linux: reader_process_posix.cpp (a socket pair, sealed memfds, seccomp,
// Landlock, rlimits). Windows: reader_process_win.cpp (a named pipe, file
// mappings, a job object).
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The largest message either side sends; longer results go in several.
inline constexpr std::size_t kMaxReaderMessage = 60 * 1024;

// Shared memory as the saver sees it once the reader has handed it over:
// the reader can no longer change it.
class SharedBlock {
 public:
  virtual ~SharedBlock() = default;
  virtual const std::uint8_t* data() const = 0;
  virtual std::size_t size() const = 0;
};

// Shared memory the reader fills before handing it over.
class WritableBlock {
 public:
  virtual ~WritableBlock() = default;
  virtual std::uint8_t* data() = 0;
  virtual std::size_t size() const = 0;
};

struct ReaderLimits {
  // What the started process serves (the program's readers, or a test's).
  std::string role = "reader";
  // The most memory the reader may map besides the program itself; past it
  // an allocation fails (and the decoders give up).
  std::size_t memory_bytes = 256u << 20;
};

class ReaderProcess {
 public:
  // A fresh reader of this program; null when none can be started.
  static std::unique_ptr<ReaderProcess> Start(const ReaderLimits& limits);
  // Kills the reader if it still runs; never waits for it to end.
  virtual ~ReaderProcess() = default;

  // False when the reader is gone.
  virtual bool Send(const std::string& message) = 0;
  enum class Outcome { Message, TimedOut, Ended };
  // Waits up to `wait` for the reader's next message, and the shared block
  // that came with it, if any.
  virtual Outcome Receive(std::string& message, std::unique_ptr<SharedBlock>& block,
                          std::chrono::milliseconds wait) = 0;
  // Ends the reader at once (one stuck in the kernel ends when it returns).
  virtual void Kill() = 0;
};

class ReaderChannel {
 public:
  // The channel to the saver when this process was started as its reader
  // in `role`; null otherwise (the internal switch typed by hand, say).
  static std::unique_ptr<ReaderChannel> Open(const std::vector<std::string>& arguments, const std::string& role);
  virtual ~ReaderChannel() = default;

  // Blocks for the saver's next message; false once the saver is gone.
  virtual bool Receive(std::string& message) = 0;
  // True when a message from the saver waits (a running job checks for "stop").
  virtual bool MessageWaiting() = 0;
  // Sends a message, handing the block over with it when one is given: the
  // block's memory is then the saver's, and gone from this process.
  virtual bool Send(const std::string& message, WritableBlock* block = nullptr) = 0;
  // Shared memory to fill; null when there is no room for it.
  virtual std::unique_ptr<WritableBlock> CreateBlock(std::size_t bytes) = 0;
  // From here on the process may read files but not write them, may not
  // start programs or open connections, and may not outgrow its limits.
  // Whether each of these held is in the result, for the log.
  virtual std::string EnterSandbox() = 0;
};

// This process's command line, split as the system splits it.
std::vector<std::string> ProgramArguments();
#ifdef _WIN32
// A Windows command line split as the system splits it.
std::vector<std::string> SplitCommandLine(const wchar_t* line);
#endif

// The internal switch that starts a reader.
inline constexpr char kReaderSwitch[] = "--glimmora-reader";
