#pragma once
// The saver's end of one reader: calls made one at a time (a work queue's
// thread makes them), each answered within the reader's patience. A reader
// that crashes or outlasts its patience is killed; the call fails, and the
// next call starts a fresh reader. A reader that is busy decoding says so
// now and then, which renews its patience, so a slow picture is not taken
// for a dead share.
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/reader_process.h"
#include "reader/reader_messages.h"

class ReaderConnection {
 public:
  enum class Result {
    Done,      // every answer came
    Stalled,   // the reader said nothing for its whole patience: killed
    Failed,    // it ended, or said what no reader says: killed
    NoReader,  // none could be started
  };
  // Takes one answer, and may say something back (a decode's go-ahead);
  // returns true once it was the last answer the call gets.
  using Reply = std::function<bool(const std::string& message)>;
  using OnAnswer = std::function<bool(MessageReader& answer, std::unique_ptr<SharedBlock>& block, const Reply& reply)>;
  // Starts readers; the reader argument is for tests (a probe in place of
  // the program's own reader).
  using Starter = std::function<std::unique_ptr<ReaderProcess>()>;

  ReaderConnection(Starter start, std::chrono::milliseconds patience);
  ReaderConnection(const ReaderConnection&) = delete;
  ReaderConnection& operator=(const ReaderConnection&) = delete;

  // Sends `call` and hands every answer to `on_answer` until it is done.
  // `on_working` hears each "still working" (which renews the patience), and
  // may reply to it (a decode nobody waits for any more is stopped).
  Result Call(const std::string& call, const OnAnswer& on_answer,
              const std::function<void(const Reply& reply)>& on_working = {});
  // Starts the reader now, so that its own start-up overlaps the saver's.
  void StartEarly();
  // Ends the reader now (the program is ending, or a call went wrong).
  void Kill();

  // How many readers this connection has started (for the tests).
  int Starts() const { return starts_; }

 private:
  Starter start_;
  const std::chrono::milliseconds patience_;
  std::mutex mutex_;
  std::unique_ptr<ReaderProcess> reader_;
  // A reader's patience runs from its first word: until then it may still be
  // starting (slow on a busy machine, slower under Wine), which is no stall.
  bool ready_ = false;
  std::chrono::steady_clock::time_point started_;
  int starts_ = 0;
  void StartReader();
};

// The program's own readers, each allowed `memory_bytes` of its own.
ReaderConnection::Starter ProgramReaders(std::size_t memory_bytes);
