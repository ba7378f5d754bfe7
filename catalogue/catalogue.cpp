#include "catalogue/catalogue.h"

#include <array>
#include <memory>
#include <string_view>

#include "catalogue/admission.h"
#include "catalogue/file_system.h"
#include "decode/picture_formats.h"
#include "platform/show_timers.h"
#include "platform/event_loop.h"
#include "platform/text.h"
#include "platform/work_queue.h"

namespace {

constexpr int kEntriesPerChunk = 30;

// A shortcut: ".lnk" in any case. Bytes of a UTF-8 name never fold into an
// ASCII extension, so bytes will do.
bool IsShortcutName(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ext = name.substr(name.size() - 4);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext == ".lnk";
}

std::string WithSeparator(std::string folder, char separator) {
  if (!folder.empty() && folder.back() != separator) folder += separator;
  return folder;
}

// What the walk needs on its queue, copied: the settings may change on the
// UI thread while the job runs.
struct WalkJob {
  FileSystem* files;
  PictureProbe* probe;
  SaverSettings settings;
  char separator;
  std::string folder;

  // A shortcut's target: a folder is queued (with subfolders on), a picture
  // is listed under the target's own path; "" and anything else are skipped.
  void TakeShortcut(const std::string& target, Catalogue::Found& found) const {
    if (target.empty()) return;
    if (files->GetAttributes(target) & kFileDirectory) {
      // A drive root ("C:\", "/") already ends with the separator.
      if (settings.include_subfolders) found.emplace_back(true, WithSeparator(target, separator));
      return;
    }
    if (IsPictureName(target)) TakePicture(target, found);
  }

  void TakePicture(std::string path, Catalogue::Found& found) const {
    if (AdmitPicture(settings, *probe, path)) found.emplace_back(false, std::move(path));
  }

  void TakeEntry(const FolderEntry& entry, Catalogue::Found& found) const {
    if (entry.attributes & kFileDirectory) {
      if (settings.include_subfolders) found.emplace_back(true, folder + entry.name + separator);
      return;
    }
    if (entry.attributes & kFileSymlink || IsShortcutName(entry.name)) {
      TakeShortcut(files->ResolveShortcut(folder, entry.name), found);
    } else if (IsPictureName(entry.name)) {
      TakePicture(folder + entry.name, found);
    }
  }
};

}  // namespace

bool IsPictureName(const std::string& name) { return HasPictureExtension(name); }

Catalogue::Catalogue(const Services& services, const SaverSettings& settings)
    : services_(services), settings_(settings), cancelled_(std::make_shared<std::atomic<bool>>(false)) {}

Catalogue::~Catalogue() { *cancelled_ = true; }

void Catalogue::Seed() {
  ++run_;
  *cancelled_ = true;
  cancelled_ = std::make_shared<std::atomic<bool>>(false);
  walking_ = false;
  queued_.clear();
  scanned_.clear();
  pictures_.clear();
  folders_.clear();
  scan_done_ = false;
  stop_requested_ = false;
  const char separator = services_.paths.separator;
  excludes_ = SplitFolderLines(settings_.exclude_folders);
  for (std::string& exclude : excludes_) exclude = WithSeparator(std::move(exclude), separator);
  for (const std::string& line : SplitFolderLines(settings_.include_folders)) {
    if (line.empty()) continue;
    const std::string include = WithSeparator(line, separator);
    if (!IsExcluded(include)) QueueFolder(TrimSpaces(include));
  }
}

void Catalogue::StartScan() {
  scan_done_ = false;
  services_.timers.ScanTimer().SetEnabled(true);
}

void Catalogue::RequestStop() {
  stop_requested_ = true;
  scan_done_ = false;
  *cancelled_ = true;
}

void Catalogue::OnScanTimer() {
  ShowTimers& timers = services_.timers;
  if (scan_done_ || !timers.IsRunning()) return;
  Timer& timer = timers.ScanTimer();
  if (!timer.Enabled()) return;
  // Off for good: the timer only starts the walk.
  timer.SetEnabled(false);
  BeginWalk();
}

void Catalogue::BeginWalk() {
  if (walking_) return;
  walking_ = true;
  WalkFrom(1);
}

void Catalogue::WalkFrom(std::int32_t position) {
  // Excluded folders are passed over here, before any file work.
  while (position <= FolderCount() && IsExcluded(folders_[static_cast<std::size_t>(position - 1)])) ++position;
  if (position > FolderCount()) {
    walking_ = false;
    scan_done_ = true;
    return;
  }
  const std::string folder = folders_[static_cast<std::size_t>(position - 1)];
  FileSystem* files = &services_.files;
  EventLoop* loop = &services_.loop;
  const std::uint32_t run = run_;
  const std::weak_ptr<Catalogue*> self = self_;
  services_.walk_queue.Submit([files, loop, run, self, position, folder] {
    std::shared_ptr<FolderListing> listing = files->OpenFolder(folder);
    const std::string identity = listing ? listing->Identity() : "";
    loop->Post([self, run, position, listing, identity] {
      if (auto catalogue = self.lock()) (*catalogue)->OnOpened(run, position, listing, identity);
    });
  });
}

// A folder is listed once per run, however many paths lead to it (links,
// junctions, bind mounts, another letter case): with QueueFolder this is what
// ends a walk through a link to one of its own ancestors. It also means that
// a folder reached twice (two overlapping include folders, a folder shortcut
// into a folder already walked) lists its pictures once, not twice; a picture
// is still listed twice when it is reached directly and through a picture
// shortcut, since pictures are not guarded.
void Catalogue::OnOpened(std::uint32_t run, std::int32_t position, std::shared_ptr<FolderListing> listing,
                         const std::string& identity) {
  if (run != run_) return;
  if (stop_requested_) return EndWalk();
  const std::string& folder = folders_[static_cast<std::size_t>(position - 1)];
  if (!listing || !scanned_.insert(identity.empty() ? "path:" + folder : identity).second)
    return WalkFrom(position + 1);
  WalkJob job{&services_.files, &services_.probe, settings_, services_.paths.separator, folder};
  EventLoop* loop = &services_.loop;
  const std::weak_ptr<Catalogue*> self = self_;
  const std::shared_ptr<std::atomic<bool>> cancelled = cancelled_;
  services_.walk_queue.Submit([job, listing, loop, self, cancelled, run, position] {
    auto hand_back = [&](Found found, bool end) {
      loop->Post([self, run, position, found = std::move(found), end]() mutable {
        if (auto catalogue = self.lock()) (*catalogue)->OnFound(run, position, std::move(found), end);
      });
    };
    Found found;
    FolderEntry entry;
    for (int n = 0; listing->Next(entry);) {
      if (entry.name == "." || entry.name == "..") continue;
      job.TakeEntry(entry, found);
      if (++n % kEntriesPerChunk != 0) continue;
      if (*cancelled) return;
      hand_back(std::move(found), false);
      found.clear();
    }
    hand_back(std::move(found), true);
  });
}

// Entries that come after a stop request are not taken: the walk stops
// between two chunks.
void Catalogue::OnFound(std::uint32_t run, std::int32_t position, Found found, bool end) {
  if (run != run_) return;
  if (stop_requested_) return EndWalk();
  const std::size_t listed = pictures_.size();
  for (auto& [is_folder, path] : found) {
    if (is_folder) {
      QueueFolder(std::move(path));
    } else {
      pictures_.push_back(std::move(path));
    }
  }
  if (pictures_.size() > listed && grown_) grown_();
  if (end) WalkFrom(position + 1);
}

// A stop ends the timers as well: the preview it served is going.
void Catalogue::EndWalk() {
  walking_ = false;
  *cancelled_ = true;
  if (services_.timers.IsRunning()) services_.timers.Stop();
}

void Catalogue::SwapPictures(std::int32_t a, std::int32_t b) {
  std::swap(pictures_[static_cast<std::size_t>(a)], pictures_[static_cast<std::size_t>(b)]);
}

bool Catalogue::QueueFolder(std::string folder) {
  // Without this a link to an ancestor would re-queue the same tree for as
  // long as the scan runs. It also means a folder reached along two paths
  // with the same text is walked, and its pictures listed, once.
  if (!queued_.insert(folder).second) return false;
  folders_.push_back(std::move(folder));
  return true;
}

bool Catalogue::IsExcluded(const std::string& folder) const {
  for (const std::string& exclude : excludes_)
    if (!exclude.empty() && exclude == folder) return true;
  return false;
}
