#include "reader/reader_connection.h"

ReaderConnection::ReaderConnection(Starter start, std::chrono::milliseconds patience)
    : start_(std::move(start)), patience_(patience) {}

ReaderConnection::Result ReaderConnection::Call(const std::string& call, const OnAnswer& on_answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!reader_) {
    reader_ = start_();
    ++starts_;
  }
  auto fail = [this](Result result) {
    reader_.reset();  // kills it
    return result;
  };
  if (!reader_ || !reader_->Send(call)) return fail(Result::Failed);
  const ReaderConnection::Reply reply = [this](const std::string& message) { return reader_->Send(message); };
  for (;;) {
    std::string message;
    std::unique_ptr<SharedBlock> block;
    switch (reader_->Receive(message, block, patience_)) {
      case ReaderProcess::Outcome::TimedOut: return fail(Result::Stalled);
      case ReaderProcess::Outcome::Ended: return fail(Result::Failed);
      case ReaderProcess::Outcome::Message: break;
    }
    MessageReader answer(message);
    if (answer.Is(ReaderAnswer::Working)) continue;  // patience renewed
    if (!answer.ok() || answer.Kind() < static_cast<std::uint8_t>(ReaderAnswer::Folder)) return fail(Result::Failed);
    if (on_answer(answer, block, reply)) return Result::Done;
  }
}

void ReaderConnection::Kill() {
  std::lock_guard<std::mutex> lock(mutex_);
  reader_.reset();
}

ReaderConnection::Starter ProgramReaders(std::size_t memory_bytes) {
  return [memory_bytes] { return ReaderProcess::Start({"reader", memory_bytes}); };
}
