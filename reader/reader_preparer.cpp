#include "reader/reader_preparer.h"

namespace {

// The block's pixels, when the block holds what the answer says it does.
Pixels PixelsIn(MessageReader& answer, std::unique_ptr<SharedBlock>& block) {
  const auto width = static_cast<std::int32_t>(answer.Next32()), height = static_cast<std::int32_t>(answer.Next32());
  const std::uint64_t stride = answer.Next64();
  const bool opaque = answer.Next8() == 1;
  if (!answer.Complete() || !block || width <= 0 || height <= 0 || width > kMaxDrawnSide || height > kMaxDrawnSide ||
      stride < static_cast<std::uint64_t>(width) * 4 || stride > block->size() / static_cast<std::uint64_t>(height))
    return {};
  std::shared_ptr<SharedBlock> owner(std::move(block));
  // Read only by the canvases: the memory is the saver's own copy-on-write view.
  auto* data = const_cast<std::uint8_t*>(owner->data());
  Pixels pixels = Pixels::Over(std::move(owner), data, width, height, static_cast<std::size_t>(stride));
  pixels.set_opaque(opaque);
  return pixels;
}

// The picture's own size, its placement and the day it was taken, as an answer gives them.
void ReadLayout(MessageReader& answer, PreparedPixels& prepared) {
  prepared.width = answer.Fields().NextFloat();
  prepared.height = answer.NextFloat();
  prepared.placement = answer.NextPlacement();
  prepared.taken = answer.NextDate();
}

}  // namespace

bool ReaderPreparer::MayRead(const std::string& path) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fatal_.count(path)) return false;
  }
  return shares_.MayRead(path);
}

void ReaderPreparer::Finished(const std::string& path, ReaderConnection::Result result) {
  if (result == ReaderConnection::Result::Stalled) shares_.Stalled(path);
  if (result == ReaderConnection::Result::Done) shares_.Answered(path);
  if (result == ReaderConnection::Result::Failed) {
    std::lock_guard<std::mutex> lock(mutex_);
    fatal_.insert(path);
  }
}

std::unique_ptr<PreparedPicture> ReaderPreparer::Prepare(const PictureRequest& request, DecodeBudget& budget) {
  PreparedPixels prepared;
  if (!MayRead(request.path)) return WrapPixels(std::move(prepared), request);
  MessageWriter call(ReaderCall::Prepare);
  call.PutRequest(request);
  std::size_t reserved = 0;
  bool skipped = false;
  const auto skip = [&](const ReaderConnection::Reply& reply) {
    if (!skipped && budget.Abandoned()) skipped = reply(MessageWriter(ReaderCall::Skip).bytes());
  };
  const ReaderConnection::Result result = connection_.Call(
      call.bytes(),
      [&](MessageReader& answer, std::unique_ptr<SharedBlock>& block, const ReaderConnection::Reply& reply) {
        if (answer.Is(ReaderAnswer::Sizing)) {
          ReadLayout(answer, prepared);
          const std::uint64_t working = answer.Next64();
          if (!answer.Complete() || working > kDecodeBudgetBytes) return true;
          budget.Reserve(reserved = static_cast<std::size_t>(working));
          if (budget.Abandoned()) return reply(MessageWriter(ReaderCall::Skip).bytes()), true;
          reply(MessageWriter(ReaderCall::Decode).bytes());
          return false;
        }
        if (answer.Is(ReaderAnswer::Pixels)) {
          ReadLayout(answer, prepared);
          prepared.pixels = PixelsIn(answer, block);
        } else if (answer.Is(ReaderAnswer::Unreadable)) {
          ReadLayout(answer, prepared);
        }
        return true;
      },
      skip);
  if (reserved) budget.Release(reserved);
  Finished(request.path, result);
  if (result != ReaderConnection::Result::Done || skipped) prepared.pixels = Pixels();
  return WrapWithinBudget(std::move(prepared), request, budget);
}

FileStamp ReaderPreparer::Stamp(const std::string& path) {
  FileStamp stamp;
  if (!MayRead(path)) return stamp;
  MessageWriter call(ReaderCall::ReadStamp);
  call.PutText(path);
  const ReaderConnection::Result result = connection_.Call(call.bytes(), [&](MessageReader& answer, auto&, auto&) {
    if (answer.Is(ReaderAnswer::Stamp)) {
      stamp.modified = static_cast<std::int64_t>(answer.Fields().Next64());
      stamp.size = static_cast<std::int64_t>(answer.Next64());
    }
    return true;
  });
  Finished(path, result);
  return stamp;
}
