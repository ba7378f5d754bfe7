#include "reader/reader_files.h"

#include <vector>

namespace {

// A folder listed in full by the reader, handed out entry by entry.
class ListedFolder final : public FolderListing {
 public:
  ListedFolder(std::string identity, std::vector<FolderEntry> entries)
      : identity_(std::move(identity)), entries_(std::move(entries)) {}
  bool Next(FolderEntry& entry) override {
    if (next_ >= entries_.size()) return false;
    entry = std::move(entries_[next_++]);
    return true;
  }
  std::string Identity() override { return identity_; }

 private:
  std::string identity_;
  std::vector<FolderEntry> entries_;
  std::size_t next_ = 0;
};

std::string PathCall(ReaderCall kind, const std::string& path) {
  MessageWriter call(kind);
  call.PutText(path);
  return call.bytes();
}

}  // namespace

bool ReaderFiles::Call(const std::string& path, const std::string& call, const ReaderConnection::OnAnswer& on_answer) {
  if (!shares_.MayRead(path)) return false;
  switch (connection_.Call(call, on_answer)) {
    case ReaderConnection::Result::Done: shares_.Answered(path); return true;
    case ReaderConnection::Result::Stalled: shares_.Stalled(path); return false;
    default: return false;
  }
}

std::unique_ptr<FolderListing> ReaderFiles::OpenFolder(const std::string& folder) {
  bool opened = false;
  std::string identity;
  std::vector<FolderEntry> entries;
  Call(folder, PathCall(ReaderCall::ListFolder, folder), [&](MessageReader& answer, auto&, auto&) {
    if (answer.Is(ReaderAnswer::Folder)) {
      opened = answer.Fields().Next8() == 1;
      identity = answer.NextCountedText();
      if (answer.Complete()) return false;  // the entries and the end follow
      opened = false;
      return true;
    }
    if (answer.Is(ReaderAnswer::Entries)) {
      const std::uint32_t count = answer.Fields().Next32();
      for (std::uint32_t i = 0; i < count && answer.ok(); ++i) {
        FolderEntry entry;
        entry.name = answer.NextCountedText();
        entry.attributes = answer.Next32();
        if (answer.ok()) entries.push_back(std::move(entry));
      }
      return !answer.Complete();  // a damaged batch ends the listing there
    }
    return true;  // FolderEnd, or what no reader says
  });
  // A listing cut short keeps what came: as a folder whose reading failed midway.
  if (!opened) return nullptr;
  return std::make_unique<ListedFolder>(std::move(identity), std::move(entries));
}

std::uint32_t ReaderFiles::GetAttributes(const std::string& path) {
  std::uint32_t attributes = 0;
  Call(path, PathCall(ReaderCall::Attributes, path), [&](MessageReader& answer, auto&, auto&) {
    if (answer.Is(ReaderAnswer::Attributes)) attributes = answer.Fields().Next32();
    return true;
  });
  return attributes;
}

std::string ReaderFiles::ResolveShortcut(const std::string& folder, const std::string& name) {
  MessageWriter call(ReaderCall::ResolveShortcut);
  call.PutText(folder);
  call.PutText(name);
  std::string target;
  Call(folder + name, call.bytes(), [&](MessageReader& answer, auto&, auto&) {
    if (answer.Is(ReaderAnswer::Shortcut)) target = answer.Fields().NextCountedText();
    return true;
  });
  return target;
}

PictureHeader ReaderFiles::Read(const std::string& path) {
  PictureHeader header;
  Call(path, PathCall(ReaderCall::ReadHeader, path), [&](MessageReader& answer, auto&, auto&) {
    if (answer.Is(ReaderAnswer::Header)) header = answer.Fields().NextHeader();
    return true;
  });
  return header;
}
