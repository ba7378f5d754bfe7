#pragma once
// The picture preparer served by a reader: the reader sizes the picture, the
// saver makes room for its decode in the picture budget, the reader decodes
// it into shared memory, which becomes the prepared picture without a copy.
// A reader that stalls costs its picture and takes the share offline; one
// that crashes or hits its memory limit costs its picture, once: the file
// is not given to a reader again. Either way the picture is unreadable: it
// shows as a black frame with its caption.
#include <mutex>
#include <set>

#include "reader/reader_connection.h"
#include "reader/share_watch.h"
#include "render/prepared_picture.h"

class ReaderPreparer final : public PicturePreparer {
 public:
  ReaderPreparer(ReaderConnection& connection, ShareWatch& shares) : connection_(connection), shares_(shares) {}
  std::unique_ptr<PreparedPicture> Prepare(const PictureRequest& request, DecodeBudget& budget) override;
  FileStamp Stamp(const std::string& path) override;

 private:
  // Whether the file may go to a reader; a call that killed its reader marks it.
  bool MayRead(const std::string& path);
  void Finished(const std::string& path, ReaderConnection::Result result);

  ReaderConnection& connection_;
  ShareWatch& shares_;
  std::mutex mutex_;
  std::set<std::string> fatal_;
};
