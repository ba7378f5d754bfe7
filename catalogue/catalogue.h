#pragma once
// The picture catalogue: the include folders become a folder queue that is
// walked breadth-first into the picture list while the show already runs.
// The walk's file work (listing a folder, resolving shortcuts, reading the
// headers the filters need) runs on the walk's work queue, one folder at a
// time in queue order, and comes back to the UI thread in chunks of 30
// entries, which the UI thread adds to the lists in order. So a slow share
// never holds up the UI thread, and the lists grow as they always would.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/path_style.h"
#include "settings/saver_settings.h"

class ShowTimers;
class EventLoop;
class FileSystem;
class FolderListing;
class PictureProbe;
class WorkQueue;

class Catalogue {
 public:
  struct Services {
    FileSystem& files;
    PictureProbe& probe;
    EventLoop& loop;
    ShowTimers& timers;
    WorkQueue& walk_queue;
    PathStyle paths;
  };

  Catalogue(const Services& services, const SaverSettings& settings);
  ~Catalogue();

  // A new run: both lists emptied, the exclude list read from the settings,
  // every include folder that is not excluded queued with a trailing
  // separator; the scan is not done and no stop is requested. A walk of an
  // earlier run ends at its next chunk.
  void Seed();
  // Starts the walk: the scan timer's first tick begins it.
  void StartScan();
  // Asks the walk to stop; it does, and stops the show's timers, at its next chunk.
  void RequestStop();

  // The scan timer's tick: turns the timer off for good and begins the walk.
  void OnScanTimer();
  // Walks the queue from its first folder (what the scan timer's tick does).
  void BeginWalk();

  bool ScanDone() const { return scan_done_; }
  bool Walking() const { return walking_; }
  std::int32_t PictureCount() const { return static_cast<std::int32_t>(pictures_.size()); }
  std::int32_t FolderCount() const { return static_cast<std::int32_t>(folders_.size()); }
  const std::string& Picture(std::int32_t index) const { return pictures_[static_cast<std::size_t>(index)]; }
  // The random order shuffles the list in place as it goes.
  void SwapPictures(std::int32_t a, std::int32_t b);
  // Runs on the UI thread each time the walk has added pictures to the list.
  void OnGrown(std::function<void()> grown) { grown_ = std::move(grown); }

  // What a folder's walk hands back: subfolders to queue (true) and admitted
  // pictures (false), in the order the folder lists them.
  using Found = std::vector<std::pair<bool, std::string>>;

 private:
  // Opens the queued folder at 1-based position on the walk's queue, or ends
  // the walk when the queue is exhausted.
  void WalkFrom(std::int32_t position);
  void OnOpened(std::uint32_t run, std::int32_t position, std::shared_ptr<FolderListing> listing,
                const std::string& identity);
  void OnFound(std::uint32_t run, std::int32_t position, Found found, bool end);
  void EndWalk();
  bool IsExcluded(const std::string& folder) const;
  bool QueueFolder(std::string folder);

  Services services_;
  const SaverSettings& settings_;
  std::vector<std::string> pictures_;
  std::vector<std::string> folders_;  // each ends with the separator
  std::vector<std::string> excludes_;
  std::function<void()> grown_;
  bool scan_done_ = false;
  bool stop_requested_ = false;
  bool walking_ = false;
  // Walk guards, reset by each Seed: the run number tells the chunks of an
  // earlier run (and the cancel flag its jobs) that a newer Seed replaced
  // them; the two sets keep links to ancestor folders from making the walk
  // endless.
  std::uint32_t run_ = 0;
  std::shared_ptr<std::atomic<bool>> cancelled_;
  // Chunks posted back after the catalogue is gone are dropped.
  std::shared_ptr<Catalogue*> self_ = std::make_shared<Catalogue*>(this);
  std::unordered_set<std::string> queued_;   // folder paths queued in this run
  std::unordered_set<std::string> scanned_;  // identities of folders listed in this run
};

// True when the name ends in a picture format's extension, in any case.
bool IsPictureName(const std::string& name);
