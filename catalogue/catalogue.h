#pragma once
// The picture catalogue: the include folders become a folder queue that the
// scan timer walks breadth-first into the picture list while the show
// already runs. The walk runs on the UI thread and yields every 30 entries
// and after each folder, so input and the slide timer are served meanwhile.
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/path_style.h"
#include "settings/saver_settings.h"

class Engine;
class EventLoop;
class FileSystem;
class GraphicsSession;
class ImageProbe;
struct FolderEntry;

// How a walk of the queue ended.
enum class ScanEnd {
  Done,        // every queued folder was walked: the scan is done
  Stopped,     // a stop request was seen at a yield
  Superseded,  // a newer Seed (or the end of the engine) replaced this walk during a yield
};

class Catalogue {
 public:
  struct Services {
    FileSystem& files;
    ImageProbe& probe;
    EventLoop& loop;
    Engine& engine;
    GraphicsSession& graphics;
    PathStyle paths;
  };

  Catalogue(const Services& services, const SaverSettings& settings);

  // A new run: both lists emptied, the exclude list read from the settings,
  // every include folder that is not excluded queued with a trailing
  // separator; the scan is not done and no stop is requested.
  void Seed();
  // Starts the walk: the scan timer's first tick walks the whole queue.
  void StartScan();
  // Asks a running walk to stop at its next yield (which unloads the engine).
  void RequestStop();

  // The scan timer's tick: turns the timer off for good and walks the queue.
  void OnScanTimer();
  // Walks the queue from its first folder until it is exhausted or a stop is
  // requested; the timer's tick in all but the timer handling.
  ScanEnd ScanQueue();
  // Walks the queued folder at 1-based position. Every error is swallowed: a
  // folder that cannot be listed, an entry whose attributes cannot be read, a
  // shortcut that cannot be resolved just contribute nothing.
  void ScanFolder(std::int32_t position);

  bool ScanDone() const { return scan_done_; }
  std::int32_t PictureCount() const { return static_cast<std::int32_t>(pictures_.size()); }
  std::int32_t FolderCount() const { return static_cast<std::int32_t>(folders_.size()); }
  const std::string& Picture(std::int32_t index) const { return pictures_[static_cast<std::size_t>(index)]; }
  // The random order shuffles the list in place as it goes.
  void SwapPictures(std::int32_t a, std::int32_t b);

  // Queues a folder unless the same path was queued before in this run.
  bool QueueFolder(std::string folder);

 private:
  bool IsExcluded(const std::string& folder) const;
  bool FirstVisit(const std::string& folder, const std::string& identity);
  void ListPicture(std::string path);
  void TakeShortcutTarget(const std::string& target);
  void TakeEntry(const std::string& folder, const FolderEntry& entry);

  Services services_;
  const SaverSettings& settings_;
  std::vector<std::string> pictures_;
  std::vector<std::string> folders_;  // each ends with the separator
  std::vector<std::string> excludes_;
  bool scan_done_ = false;
  bool stop_requested_ = false;
  // Walk guards, reset by each Seed: the run number tells a walk interrupted
  // at a yield that a newer Seed replaced it; the two sets keep links to
  // ancestor folders from making the walk endless.
  std::uint32_t run_ = 0;
  std::unordered_set<std::string> queued_;   // folder paths queued in this run
  std::unordered_set<std::string> scanned_;  // identities of folders listed in this run
};

// True when the last four characters, lower-cased, are a picture extension.
bool IsPictureName(const std::string& name);
