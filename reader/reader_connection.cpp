#include "reader/reader_connection.h"

#include <algorithm>

namespace {

// How long a reader may take to start and say it is ready.
constexpr std::chrono::seconds kStartPatience{15};

}  // namespace

ReaderConnection::ReaderConnection(Starter start, std::chrono::milliseconds patience)
    : start_(std::move(start)), patience_(patience) {}

ReaderConnection::Result ReaderConnection::Call(const std::string& call, const OnAnswer& on_answer,
                                                const std::function<void(const Reply& reply)>& on_working) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto fail = [this](Result result) {
    reader_.reset();  // kills it
    return result;
  };
  const ReaderConnection::Reply reply = [this](const std::string& message) { return reader_->Send(message); };
  // A reader may have ended since the last call (one ends after playing a
  // metafile): the call then goes to a fresh one, once.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const bool fresh = !reader_;
    if (fresh) StartReader();
    if (!reader_) return Result::NoReader;
    bool answered = false;
    if (reader_->Send(call)) {
      for (;;) {
        std::string message;
        std::unique_ptr<SharedBlock> block;
        const auto wait = ready_ ? patience_
                                 : std::max<std::chrono::milliseconds>(
                                       patience_, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                      started_ + kStartPatience - std::chrono::steady_clock::now()));
        const ReaderProcess::Outcome outcome = reader_->Receive(message, block, wait);
        if (outcome == ReaderProcess::Outcome::TimedOut) return fail(ready_ ? Result::Stalled : Result::NoReader);
        if (outcome == ReaderProcess::Outcome::Ended) break;
        MessageReader answer(message);
        if (answer.Is(ReaderAnswer::Ready)) {
          ready_ = true;
          continue;
        }
        if (answer.Is(ReaderAnswer::Working)) {  // patience renewed
          if (on_working) on_working(reply);
          continue;
        }
        answered = true;
        if (!answer.ok() || answer.Kind() < static_cast<std::uint8_t>(ReaderAnswer::Folder))
          return fail(Result::Failed);
        if (on_answer(answer, block, reply)) return Result::Done;
      }
    }
    reader_.reset();
    // It ended in the middle of its answer, or one started for this call
    // ended without one (it crashed on the call: so would the next).
    if (answered || fresh) return Result::Failed;
  }
  return Result::Failed;
}

void ReaderConnection::StartEarly() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!reader_) StartReader();
}

void ReaderConnection::StartReader() {
  reader_ = start_();
  ready_ = false;
  started_ = std::chrono::steady_clock::now();
  ++starts_;
}

void ReaderConnection::Kill() {
  std::lock_guard<std::mutex> lock(mutex_);
  reader_.reset();
}

ReaderConnection::Starter ProgramReaders(std::size_t memory_bytes) {
  return [memory_bytes] { return ReaderProcess::Start({"reader", memory_bytes}); };
}
