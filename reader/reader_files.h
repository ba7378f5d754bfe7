#pragma once
// The walk's ports served by a reader: listing folders, attributes,
// shortcuts and the headers the filters read. A call that stalls or kills
// its reader counts as a failure (a folder that cannot be listed, a file
// that cannot be read); one that stalled also marks its share offline, and
// calls on an offline share fail at once.
#include <memory>

#include "catalogue/file_system.h"
#include "reader/reader_connection.h"
#include "reader/share_watch.h"
#include "decode/picture_probe.h"

// Both ports over one connection (the walk queue's reader).
class ReaderFiles final : public FileSystem, public PictureProbe {
 public:
  ReaderFiles(ReaderConnection& connection, ShareWatch& shares) : connection_(connection), shares_(shares) {}

  std::unique_ptr<FolderListing> OpenFolder(const std::string& folder) override;
  std::uint32_t GetAttributes(const std::string& path) override;
  std::string ResolveShortcut(const std::string& folder, const std::string& name) override;
  PictureHeader Read(const std::string& path) override;

 private:
  // One call about `path`, with the share watch told how it went.
  bool Call(const std::string& path, const std::string& call, const ReaderConnection::OnAnswer& on_answer);

  ReaderConnection& connection_;
  ShareWatch& shares_;
};
