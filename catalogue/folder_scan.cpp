#include "catalogue/folder_scan.h"

#include <array>
#include <memory>
#include <string_view>

#include "catalogue/admission.h"
#include "catalogue/file_system.h"
#include "platform/event_loop.h"
#include "startup/engine_form.h"
#include "startup/program_state.h"

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

bool IsExcluded(const ProgramState& state, const std::string& folder) {
  for (const std::string& exclude : state.ExcludeList)
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
bool FirstVisit(ProgramState& state, const std::string& folder, FolderListing& listing) {
  std::string identity = listing.Identity();
  if (identity.empty()) identity = "path:" + folder;
  return state.ScannedFolders.insert(std::move(identity)).second;
}

void ListPicture(ProgramState& state, std::string path) {
  if (AdmitPicture(state, path)) AppendGrowing(state.PictureList, state.PictureCount, std::move(path));
}

// A shortcut's target: a folder is queued (with subfolders on), a picture is
// listed under the target's own path; "" and anything else are skipped.
void TakeShortcutTarget(ProgramState& state, const std::string& target) {
  if (target.empty()) return;
  if (state.ports.files->GetAttributes(target) & kFileDirectory) {
    if (!state.CurrentSettings.Recursive) return;
    const char sep = state.ports.paths.separator;
    // A drive root ("C:\", "/") already ends with the separator.
    QueueFolder(state, target.back() == sep ? target : target + sep);
    return;
  }
  if (IsPictureName(target)) ListPicture(state, target);
}

void TakeEntry(ProgramState& state, const std::string& folder, const FolderEntry& entry) {
  if (entry.attributes & kFileDirectory) {
    if (state.CurrentSettings.Recursive) QueueFolder(state, folder + entry.name + state.ports.paths.separator);
    return;
  }
  const std::string ext = LastFourLower(entry.name);
  if (entry.attributes & kFileSymlink || ext == ".lnk") {
    TakeShortcutTarget(state, ResolveShortcut(state, folder, entry.name));
  } else if (IsPictureExtension(ext)) {
    ListPicture(state, folder + entry.name);
  }
}

}  // namespace

void AppendGrowing(std::vector<std::string>& list, std::int32_t& count, std::string entry) {
  if (static_cast<std::int64_t>(list.size()) - 1 <= count) list.resize(static_cast<std::size_t>(count) + 101);
  list[static_cast<std::size_t>(count)] = std::move(entry);
  ++count;
}

bool QueueFolder(ProgramState& state, std::string folder) {
  // Without this a link to an ancestor would re-queue the same tree for as
  // long as the scan runs. It also means a folder reached along two paths
  // with the same text is walked, and its pictures listed, once.
  if (!state.QueuedFolders.insert(folder).second) return false;
  AppendGrowing(state.FolderQueue, state.FolderCount, std::move(folder));
  return true;
}

bool IsPictureName(const std::string& name) { return IsPictureExtension(LastFourLower(name)); }

std::string ResolveShortcut(ProgramState& state, const std::string& folder, const std::string& name) {
  return state.ports.files->ResolveShortcut(folder, name);
}

void ScanFolder(ProgramState& state, std::int32_t position) {
  std::int32_t n = 0;
  if (position < 1 || position > state.FolderCount || state.ScanDone) return;
  // A copy: queuing subfolders may move the queue's strings.
  const std::string folder = state.FolderQueue[static_cast<std::size_t>(position - 1)];
  if (IsExcluded(state, folder)) return;
  std::unique_ptr<FolderListing> listing = state.ports.files->OpenFolder(folder);
  if (!listing || !FirstVisit(state, folder, *listing)) return;
  const std::uint32_t run = state.ScanRun;
  FolderEntry entry;
  while (!state.ScanDone && listing->Next(entry)) {
    if (entry.name == "." || entry.name == "..") continue;
    ++n;
    TakeEntry(state, folder, entry);
    if (n % kEntriesPerYield != 0) continue;
    state.ports.loop->DoEvents();
    // A catalogue start during the yield replaced the lists: this walk is over.
    if (state.ScanRun != run) return;
    if (state.StopScan) {
      if (EngineLoaded(state)) Engine(state).Unload();
      return;
    }
  }
}

ScanEnd ScanQueue(ProgramState& state) {
  const std::uint32_t run = state.ScanRun;
  std::int32_t position = 0;
  do {
    // FolderCount is read afresh: the walk appends to the queue.
    if (position >= state.FolderCount) {
      state.ScanDone = true;
      return ScanEnd::kDone;
    }
    ++position;
    ScanFolder(state, position);
    if (state.ScanRun != run) return ScanEnd::kSuperseded;
    state.ports.loop->DoEvents();
    if (state.ScanRun != run) return ScanEnd::kSuperseded;
  } while (!state.StopScan);
  return ScanEnd::kStopped;
}
