#include "reader/reader_server.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "catalogue/file_system.h"
#include "decode/picture_file.h"
#include "decode/picture_preparation.h"
#include "platform/reader_process.h"
#include "reader/reader_messages.h"

namespace {

// Entries go out in messages of about this size.
constexpr std::size_t kEntriesBytes = kMaxReaderMessage - 4096;

void Misbehave(const std::string& path) {
  switch (FaultFor(path)) {
    case ReaderFault::Crash: std::abort();
    case ReaderFault::Stall: std::this_thread::sleep_for(std::chrono::hours(1)); break;
    case ReaderFault::Balloon:
      for (std::vector<char*> taken;;) {
        char* block = new (std::nothrow) char[1 << 20];
        if (!block) std::abort();  // the limit held: as a decoder that cannot go on
        std::fill(block, block + (1 << 20), 1);
        taken.push_back(block);
      }
    case ReaderFault::SlowDecode:  // in the decode itself (below)
    case ReaderFault::Healthy: break;
  }
}

// Pictures' memory in this process: shared blocks, which the saver takes over.
class BlockMemory final : public PixelMemory {
 public:
  explicit BlockMemory(ReaderChannel& channel) : channel_(channel) {}
  std::shared_ptr<std::uint8_t> Get(std::size_t bytes) override {
    std::shared_ptr<WritableBlock> block = channel_.CreateBlock(bytes);
    if (!block) return nullptr;
    blocks_.push_back(block);
    return std::shared_ptr<std::uint8_t>(block, block->data());
  }
  // The block that holds the picture's pixels, which the picture lets go.
  std::shared_ptr<WritableBlock> Take(Pixels& pixels) {
    std::shared_ptr<WritableBlock> found;
    for (const std::weak_ptr<WritableBlock>& weak : blocks_)
      if (std::shared_ptr<WritableBlock> block = weak.lock(); block && block->data() == pixels.data()) found = block;
    pixels = Pixels();
    blocks_.clear();
    return found;
  }

 private:
  ReaderChannel& channel_;
  std::vector<std::weak_ptr<WritableBlock>> blocks_;
};

// A picture's file as its decoder reads it. Every 200 ms of the decode it
// tells the saver the decode goes on, except while a read is under way (a
// share that stalls says nothing) and after kLongestDecode (a decoder that
// never ends is taken for a stall): libheif decodes a whole photo in one
// call that reads nothing, for seconds on a slow machine. Once the saver
// says the picture is no longer wanted the file ends, as a truncated one
// would.
class WatchedFile final : public PictureFile {
 public:
  static constexpr std::chrono::seconds kLongestDecode{20};

  WatchedFile(PictureFile& file, ReaderChannel& channel) : file_(file), channel_(channel), beat_([this] { Beat(); }) {}
  ~WatchedFile() override {
    {
      const std::lock_guard lock(mutex_);
      done_ = true;
    }
    wake_.notify_one();
    beat_.join();
  }
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    {
      const std::lock_guard lock(mutex_);
      const auto now = std::chrono::steady_clock::now();
      if (now - last_check_ >= std::chrono::milliseconds(200)) {
        last_check_ = now;
        std::string message;
        if (!skipped_ && channel_.MessageWaiting() && channel_.Receive(message))
          skipped_ = MessageReader(message).Is(ReaderCall::Skip);
      }
      if (skipped_) return 0;
      reading_ = true;
    }
    const std::size_t read = file_.ReadAt(offset, buffer, size);
    const std::lock_guard lock(mutex_);
    reading_ = false;
    return read;
  }
  std::uint64_t Size() override { return file_.Size(); }

 private:
  void Beat() {
    const auto end = std::chrono::steady_clock::now() + kLongestDecode;
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::milliseconds(200), [this] { return done_; }) &&
           std::chrono::steady_clock::now() < end)
      if (!reading_) channel_.Send(MessageWriter(ReaderAnswer::Working).bytes());
  }

  PictureFile& file_;
  ReaderChannel& channel_;
  std::mutex mutex_;  // the channel, and what follows
  std::condition_variable wake_;
  std::chrono::steady_clock::time_point last_check_ = std::chrono::steady_clock::now();
  bool skipped_ = false, reading_ = false, done_ = false;
  std::thread beat_;  // last: it starts once the rest is set
};

class Server {
 public:
  explicit Server(ReaderChannel& channel) : channel_(channel), files_(CreatePlatformFileSystem()) {}

  void Run() {
    for (std::string message; channel_.Receive(message);) {
      MessageReader call(message);
      switch (static_cast<ReaderCall>(call.Kind())) {
        case ReaderCall::ListFolder: ListFolder(call.Fields().NextCountedText()); break;
        case ReaderCall::Attributes: {
          const std::string path = call.Fields().NextCountedText();
          Misbehave(path);
          MessageWriter answer(ReaderAnswer::Attributes);
          answer.Put32(files_->GetAttributes(path));
          Send(answer);
          break;
        }
        case ReaderCall::ResolveShortcut: {
          const std::string folder = call.Fields().NextCountedText(), name = call.NextCountedText();
          Misbehave(folder + name);
          MessageWriter answer(ReaderAnswer::Shortcut);
          answer.PutText(files_->ResolveShortcut(folder, name));
          Send(answer);
          break;
        }
        case ReaderCall::ReadHeader: {
          const std::string path = call.Fields().NextCountedText();
          Misbehave(path);
          MessageWriter answer(ReaderAnswer::Header);
          answer.PutHeader(ReadPictureFileHeader(path));
          Send(answer);
          break;
        }
        case ReaderCall::ReadStamp: {
          const std::string path = call.Fields().NextCountedText();
          Misbehave(path);
          const FileStamp stamp = ReadFileStamp(path);
          MessageWriter answer(ReaderAnswer::Stamp);
          answer.Put64(static_cast<std::uint64_t>(stamp.modified));
          answer.Put64(static_cast<std::uint64_t>(stamp.size));
          Send(answer);
          break;
        }
        case ReaderCall::Prepare: Prepare(call.Fields().NextPictureRequest()); break;
        case ReaderCall::Skip: break;  // came after the decode it would have stopped had ended
        default: {                     // not a call this reader knows: an empty answer of no kind ends the exchange
          MessageWriter answer(ReaderAnswer::Unreadable);
          answer.PutHeader({});
          Send(answer);
          break;
        }
      }
    }
  }

 private:
  void Send(const MessageWriter& message) { channel_.Send(message.bytes()); }

  // The picture's size and what decoding it takes; then, when the saver has
  // made room, its pixels in a block of their own.
  void Prepare(const PictureRequest& request) {
    Misbehave(request.path);
    std::unique_ptr<PictureFile> file = OpenPictureFile(request.path);
    const PictureSizing sizing = file ? SizePicture(*file, request) : PictureSizing{};
    MessageWriter sized(sizing.Decodable() ? ReaderAnswer::Sizing : ReaderAnswer::Unreadable);
    sized.PutFloat(sizing.width);
    sized.PutFloat(sizing.height);
    sized.PutPlacement(sizing.placement);
    sized.PutDate(sizing.taken);
    if (sizing.Decodable()) sized.Put64(sizing.working_bytes);
    Send(sized);
    std::string message;
    if (!sizing.Decodable() || !channel_.Receive(message) || !MessageReader(message).Is(ReaderCall::Decode)) return;
    BlockMemory memory(channel_);
    UsePixelMemory(&memory);
    PreparedPixels prepared = [&] {
      WatchedFile watched(*file, channel_);
      if (FaultFor(request.path) == ReaderFault::SlowDecode) std::this_thread::sleep_for(std::chrono::seconds(2));
      return DecodeSized(watched, sizing, request);
    }();
    UsePixelMemory(nullptr);
    const int width = prepared.pixels.width(), height = prepared.pixels.height();
    const std::size_t stride = prepared.pixels.stride();
    const bool opaque = prepared.pixels.opaque();
    std::shared_ptr<WritableBlock> block = memory.Take(prepared.pixels);
    MessageWriter answer(block ? ReaderAnswer::Pixels : ReaderAnswer::Unreadable);
    answer.PutFloat(prepared.width);
    answer.PutFloat(prepared.height);
    answer.PutPlacement(prepared.placement);
    answer.PutDate(prepared.taken);
    if (block) {
      answer.Put32(static_cast<std::uint32_t>(width));
      answer.Put32(static_cast<std::uint32_t>(height));
      answer.Put64(stride);
      answer.Put8(opaque ? 1 : 0);
    }
    channel_.Send(answer.bytes(), block.get());
    // A metafile player keeps memory after it is done: this reader ends, and
    // the saver starts a fresh one for the next call.
    if (sizing.header.kind == PictureKind::Metafile) std::_Exit(0);
  }

  // The folder's identity, then its entries in as many messages as they fill.
  void ListFolder(const std::string& folder) {
    Misbehave(folder);
    std::unique_ptr<FolderListing> listing = files_->OpenFolder(folder);
    MessageWriter opened(ReaderAnswer::Folder);
    opened.Put8(listing ? 1 : 0);
    opened.PutText(listing ? listing->Identity() : "");
    Send(opened);
    if (listing) {
      std::vector<FolderEntry> entries;
      std::size_t bytes = 0;
      auto flush = [&] {
        MessageWriter batch(ReaderAnswer::Entries);
        batch.Put32(static_cast<std::uint32_t>(entries.size()));
        for (const FolderEntry& entry : entries) {
          batch.PutText(entry.name);
          batch.Put32(entry.attributes);
        }
        Send(batch);
        entries.clear();
        bytes = 0;
      };
      for (FolderEntry entry; listing->Next(entry);) {
        if (entry.name.size() > kEntriesBytes / 2) continue;  // no file system has such names
        if (bytes + entry.name.size() + 8 > kEntriesBytes) flush();
        bytes += entry.name.size() + 8;
        entries.push_back(std::move(entry));
      }
      if (!entries.empty()) flush();
    }
    Send(MessageWriter(ReaderAnswer::FolderEnd));
  }

  ReaderChannel& channel_;
  std::unique_ptr<FileSystem> files_;
};

}  // namespace

void ServeReader(ReaderChannel& channel) {
  channel.EnterSandbox();
  channel.Send(MessageWriter(ReaderAnswer::Ready).bytes());
  Server(channel).Run();
}

void RunAsReaderIfStartedAsOne(void (*prepare)()) {
  std::unique_ptr<ReaderChannel> channel = ReaderChannel::Open(ProgramArguments(), "reader");
  if (!channel) return;
  if (prepare) prepare();
  ServeReader(*channel);
  std::_Exit(0);  // nothing of the program was started: nothing to end
}
