#pragma once
// File work that stalls as on a dead network share: a call at a chosen point
// (opening a folder, reading its listing, reading a header, decoding) on a
// path under the marked one sleeps for the stall's length on whichever
// thread makes it, then fails. Wraps the fakes of the file system, the
// picture probe and the preparer, for tests that run the walk and the
// decoding on real work queues. A stalled call outlives the test that made
// it: what it touches afterwards (these objects, the event loop it posts to)
// must live to the end of the process.
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>

#include "catalogue/file_system.h"
#include "fakes/recording_canvas.h"
#include "decode/picture_probe.h"

enum StallPoint : unsigned {
  kStallOpenFolder = 1,
  kStallListing = 2,
  kStallHeader = 4,
  kStallDecode = 8,
};

class Stall {
 public:
  // Made on the UI thread, which must never be the one that stalls.
  Stall(std::string marked, unsigned points, std::chrono::milliseconds length)
      : marked_(std::move(marked)), points_(points), length_(length), ui_thread_(std::this_thread::get_id()) {}

  bool Covers(unsigned point, const std::string& path) const {
    return (points_ & point) != 0 && path.rfind(marked_, 0) == 0;
  }
  // Sleeps for the stall's length and returns true when the call stalls.
  bool Hit(unsigned point, const std::string& path) {
    if (!Covers(point, path)) return false;
    if (std::this_thread::get_id() == ui_thread_) on_ui_thread_ = true;
    ++begun_;
    std::this_thread::sleep_for(length_);
    ++ended_;
    return true;
  }
  int Begun() const { return begun_; }
  int Stalling() const { return begun_ - ended_; }
  bool StalledUiThread() const { return on_ui_thread_; }

 private:
  const std::string marked_;
  const unsigned points_;
  const std::chrono::milliseconds length_;
  const std::thread::id ui_thread_;
  std::atomic<int> begun_{0}, ended_{0};
  std::atomic<bool> on_ui_thread_{false};
};

class SlowFileSystem final : public FileSystem {
 public:
  SlowFileSystem(FileSystem& files, Stall& stall) : files_(files), stall_(stall) {}
  std::unique_ptr<FolderListing> OpenFolder(const std::string& folder) override {
    if (stall_.Hit(kStallOpenFolder, folder)) return nullptr;
    std::unique_ptr<FolderListing> listing = files_.OpenFolder(folder);
    if (!listing || !stall_.Covers(kStallListing, folder)) return listing;
    return std::make_unique<SlowListing>(std::move(listing), stall_, folder);
  }
  std::uint32_t GetAttributes(const std::string& path) override { return files_.GetAttributes(path); }
  std::string ResolveShortcut(const std::string& folder, const std::string& name) override {
    return files_.ResolveShortcut(folder, name);
  }

 private:
  class SlowListing final : public FolderListing {
   public:
    SlowListing(std::unique_ptr<FolderListing> listing, Stall& stall, std::string folder)
        : listing_(std::move(listing)), stall_(stall), folder_(std::move(folder)) {}
    bool Next(FolderEntry& entry) override { return !stall_.Hit(kStallListing, folder_) && listing_->Next(entry); }
    std::string Identity() override { return listing_->Identity(); }

   private:
    std::unique_ptr<FolderListing> listing_;
    Stall& stall_;
    std::string folder_;
  };

  FileSystem& files_;
  Stall& stall_;
};

class SlowProbe final : public PictureProbe {
 public:
  SlowProbe(PictureProbe& probe, Stall& stall) : probe_(probe), stall_(stall) {}
  PictureHeader Read(const std::string& path) override {
    return stall_.Hit(kStallHeader, path) ? PictureHeader{} : probe_.Read(path);
  }

 private:
  PictureProbe& probe_;
  Stall& stall_;
};

// Each decode holds `reserve` bytes of the memory budget while it reads, the
// stalled ones included.
class SlowPreparer final : public PicturePreparer {
 public:
  SlowPreparer(PicturePreparer& preparer, Stall& stall) : preparer_(preparer), stall_(stall) {}
  std::unique_ptr<PreparedPicture> Prepare(const PictureRequest& request, DecodeBudget& budget) override {
    budget.Reserve(reserve);
    std::unique_ptr<PreparedPicture> picture;
    if (!stall_.Hit(kStallDecode, request.path)) {
      picture = preparer_.Prepare(request, budget);
    } else {
      auto unreadable = std::make_unique<RecordedPreparedPicture>();
      unreadable->path = request.path;
      picture = std::move(unreadable);
    }
    budget.Release(reserve);
    return picture;
  }
  FileStamp Stamp(const std::string& path) override { return preparer_.Stamp(path); }
  std::size_t reserve = 0;

 private:
  PicturePreparer& preparer_;
  Stall& stall_;
};
