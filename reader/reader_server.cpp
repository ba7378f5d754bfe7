#include "reader/reader_server.h"

#include <chrono>
#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

#include "catalogue/file_system.h"
#include "platform/reader_process.h"
#include "reader/reader_messages.h"
#include "decode/picture_file.h"

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
    case ReaderFault::None: break;
  }
}

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
        default: {  // not a call this reader knows: an empty answer of no kind ends the exchange
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
  Server(channel).Run();
}

void RunAsReaderIfStartedAsOne() {
  std::unique_ptr<ReaderChannel> channel = ReaderChannel::Open(ProgramArguments(), "reader");
  if (!channel) return;
  ServeReader(*channel);
  std::_Exit(0);  // nothing of the program was started: nothing to end
}
