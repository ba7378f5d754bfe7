#include "catalogue/catalogue.h"

#include <array>
#include <memory>
#include <string_view>

#include "catalogue/admission.h"
#include "catalogue/file_system.h"
#include "platform/engine.h"
#include "platform/event_loop.h"
#include "platform/text.h"

namespace {

constexpr int kEntriesPerYield = 30;
constexpr std::array<std::string_view, 5> kPictureExtensions = {".jpg", ".gif", ".png", ".bmp", ".wmf"};

// The last four characters, ASCII lower-cased (a shorter text whole). Bytes
// of a UTF-8 name never lower-case into an ASCII extension, so bytes will do.
std::string LastFourLower(const std::string& name) {
  std::string ext = name.size() > 4 ? name.substr(name.size() - 4) : name;
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

bool IsPictureExtension(const std::string& ext) {
  for (std::string_view known : kPictureExtensions)
    if (ext == known) return true;
  return false;
}

std::string WithSeparator(std::string folder, char separator) {
  if (!folder.empty() && folder.back() != separator) folder += separator;
  return folder;
}

}  // namespace

bool IsPictureName(const std::string& name) { return IsPictureExtension(LastFourLower(name)); }

Catalogue::Catalogue(const Services& services, const SaverSettings& settings)
    : services_(services), settings_(settings) {}

void Catalogue::Seed() {
  ++run_;
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
  services_.engine.ScanTimer().SetEnabled(true);
}

void Catalogue::RequestStop() {
  stop_requested_ = true;
  scan_done_ = false;
}

void Catalogue::OnScanTimer() {
  Engine& engine = services_.engine;
  if (scan_done_ || !engine.IsLoaded()) return;
  Timer& timer = engine.ScanTimer();
  if (!timer.Enabled()) return;
  // Off for good: the timer only starts the walk; this tick runs all of it.
  timer.SetEnabled(false);
  if (ScanQueue() == ScanEnd::Stopped && engine.IsLoaded()) engine.Unload();
}

ScanEnd Catalogue::ScanQueue() {
  const std::uint32_t run = run_;
  std::int32_t position = 0;
  do {
    // The count is read afresh: the walk appends to the queue.
    if (position >= FolderCount()) {
      scan_done_ = true;
      return ScanEnd::Done;
    }
    ++position;
    ScanFolder(position);
    if (run_ != run) return ScanEnd::Superseded;
    services_.loop.ProcessPendingEvents();
    if (run_ != run) return ScanEnd::Superseded;
  } while (!stop_requested_);
  return ScanEnd::Stopped;
}

void Catalogue::ScanFolder(std::int32_t position) {
  if (position < 1 || position > FolderCount() || scan_done_) return;
  // A copy: queuing subfolders may move the queue's strings.
  const std::string folder = folders_[static_cast<std::size_t>(position - 1)];
  if (IsExcluded(folder)) return;
  std::unique_ptr<FolderListing> listing = services_.files.OpenFolder(folder);
  if (!listing || !FirstVisit(folder, listing->Identity())) return;
  const std::uint32_t run = run_;
  FolderEntry entry;
  for (int n = 1; !scan_done_ && listing->Next(entry);) {
    if (entry.name == "." || entry.name == "..") continue;
    TakeEntry(folder, entry);
    if (n++ % kEntriesPerYield != 0) continue;
    services_.loop.ProcessPendingEvents();
    // A Seed during the yield replaced the lists: this walk is over.
    if (run_ != run) return;
    if (stop_requested_) {
      if (services_.engine.IsLoaded()) services_.engine.Unload();
      return;
    }
  }
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

// A folder is listed once per run, however many paths lead to it (links,
// junctions, bind mounts, another letter case): with QueueFolder this is what
// ends a walk through a link to one of its own ancestors. It also means that
// a folder reached twice (two overlapping include folders, a folder shortcut
// into a folder already walked) lists its pictures once, not twice; a picture
// is still listed twice when it is reached directly and through a picture
// shortcut, since pictures are not guarded.
bool Catalogue::FirstVisit(const std::string& folder, const std::string& identity) {
  return scanned_.insert(identity.empty() ? "path:" + folder : identity).second;
}

void Catalogue::ListPicture(std::string path) {
  if (AdmitPicture(settings_, services_.probe, services_.graphics, path)) pictures_.push_back(std::move(path));
}

// A shortcut's target: a folder is queued (with subfolders on), a picture is
// listed under the target's own path; "" and anything else are skipped.
void Catalogue::TakeShortcutTarget(const std::string& target) {
  if (target.empty()) return;
  if (services_.files.GetAttributes(target) & kFileDirectory) {
    if (!settings_.include_subfolders) return;
    // A drive root ("C:\", "/") already ends with the separator.
    QueueFolder(WithSeparator(target, services_.paths.separator));
    return;
  }
  if (IsPictureName(target)) ListPicture(target);
}

void Catalogue::TakeEntry(const std::string& folder, const FolderEntry& entry) {
  const char separator = services_.paths.separator;
  if (entry.attributes & kFileDirectory) {
    if (settings_.include_subfolders) QueueFolder(folder + entry.name + separator);
    return;
  }
  const std::string ext = LastFourLower(entry.name);
  if (entry.attributes & kFileSymlink || ext == ".lnk") {
    TakeShortcutTarget(services_.files.ResolveShortcut(folder, entry.name));
  } else if (IsPictureExtension(ext)) {
    ListPicture(folder + entry.name);
  }
}
