// The include and exclude folder lists of the options dialog: add by picker
// or typed path, remove, move, and the rules that keep the lists free of
// duplicates and (while subfolders are included) of nested folders.
#include <algorithm>

#include "options/dialog_services.h"
#include "options/options_dialog.h"
#include "options/preview_show.h"

namespace {

ControlId ListOf(FolderListKind kind) {
  return kind == FolderListKind::Include ? ControlId::IncludeList : ControlId::ExcludeList;
}

}  // namespace

void OptionsDialog::AddFolder(FolderListKind kind, bool typed) {
  std::string path = AskFolder(kind, typed);
  if (path.empty()) return;
  const PathStyle style = services_.paths;
  path = WithTrailingSeparator(path, style);
  if (!IsAcceptedFolder(path, style)) return Refuse(kOnlyUncAndLocal);
  const FolderLines& lines = Control(ListOf(kind)).items;
  if (std::find(lines.begin(), lines.end(), path) != lines.end()) return;
  if (!CheckNestingOf(kind, path)) return;
  if (kind == FolderListKind::Exclude && !IsInsideInclude(Control(ControlId::IncludeList).items, path)) {
    return Refuse(kOnlyInsideInclude);
  }
  AppendFolder(kind, path);
}

// The picker's folder, or the typed text without blanks around it; "" when
// the user cancels.
std::string OptionsDialog::AskFolder(FolderListKind kind, bool typed) {
  DialogServices& dialogs = services_.dialogs;
  if (!typed) return dialogs.BrowseFolder(Handle(), FolderPickerTitle(kind));
  return TrimBlanks(dialogs.InputBox(Handle(), TypedFolderPrompt(kind, services_.paths), identity_.title, ""));
}

// Removes listed folders that lie inside the new one; false (after the
// message) when a listed folder contains it. The include list is checked only
// while subfolders are included: without them, nested folders are distinct.
// What was removed stays removed even when the add is refused, and the stored
// list is then left as it was.
bool OptionsDialog::CheckNestingOf(FolderListKind kind, const std::string& path) {
  if (kind == FolderListKind::Include && !settings_.include_subfolders) return true;
  const ControlId list = ListOf(kind);
  FolderLines lines = Control(list).items;
  std::vector<int> removed;
  std::optional<std::string> container = CheckNesting(lines, path, &removed);
  for (int index : removed) RemoveItem(list, index);
  if (!container) return true;
  Refuse(SubfolderMessage(kind, *container));
  return false;
}

void OptionsDialog::AppendFolder(FolderListKind kind, const std::string& path) {
  const ControlId list = ListOf(kind);
  AddItem(list, path);
  SetListIndex(list, ItemCount(list) - 1);
  if (kind == FolderListKind::Include) {
    SetEnabled(ControlId::RemoveInclude, true);
    if (ItemCount(list) >= 2) {
      SetEnabled(ControlId::MoveIncludeUp, true);
      SetEnabled(ControlId::MoveIncludeDown, false);
    }
    RebuildIncludeFolders();
  } else {
    SetEnabled(ControlId::RemoveExclude, true);
    RebuildExcludeFolders();
  }
  StartCatalogue();
}

// Removing an include folder also removes the exclusions that name it.
void OptionsDialog::RemoveIncludeFolder() {
  const int selected = Control(ControlId::IncludeList).selected;
  if (selected < 0) return;
  const std::string folder = Control(ControlId::IncludeList).items[selected];
  for (int k = ItemCount(ControlId::ExcludeList) - 1; k >= 0; --k) {
    if (!Contains(Control(ControlId::ExcludeList).items[k], folder)) continue;
    RemoveItem(ControlId::ExcludeList, k);
    const bool left = ItemCount(ControlId::ExcludeList) >= 1;
    if (left) SetListIndex(ControlId::ExcludeList, 0);
    // The exclude controls stay disabled while subfolders are not included.
    SetEnabled(ControlId::RemoveExclude, left && Control(ControlId::SubfoldersCheck).checked);
  }
  RemoveItem(ControlId::IncludeList, selected);
  if (ItemCount(ControlId::IncludeList) >= 1) {
    SetListIndex(ControlId::IncludeList, 0);
    SetEnabled(ControlId::RemoveInclude, true);
    ApplySelectionRule();
  } else {
    FocusControl(ControlId::IncludeList);
    SetEnabled(ControlId::RemoveInclude, false);
    SetEnabled(ControlId::MoveIncludeUp, false);
    SetEnabled(ControlId::MoveIncludeDown, false);
  }
  RebuildIncludeFolders();
  RebuildExcludeFolders();
  StartCatalogue();
}

void OptionsDialog::RemoveExcludeFolder() {
  const int selected = Control(ControlId::ExcludeList).selected;
  if (selected < 0) return;
  RemoveItem(ControlId::ExcludeList, selected);
  if (ItemCount(ControlId::ExcludeList) >= 1) {
    SetListIndex(ControlId::ExcludeList, 0);
    SetEnabled(ControlId::RemoveExclude, true);
  } else {
    FocusControl(ControlId::ExcludeList);
    SetEnabled(ControlId::RemoveExclude, false);
  }
  RebuildExcludeFolders();
  StartCatalogue();
}

// Moves the selected include line one place up or down. A move past either
// end is not possible (its button is disabled) and changes nothing.
void OptionsDialog::MoveIncludeFolder(bool up) {
  const int k = Control(ControlId::IncludeList).selected;
  if (k < 0) return;
  const int count = ItemCount(ControlId::IncludeList);
  if (up ? k < 1 : k >= count - 1) return;
  const std::string line = Control(ControlId::IncludeList).items[k];
  RemoveItem(ControlId::IncludeList, k);
  const int target = up ? k - 1 : k + 1;
  InsertItem(ControlId::IncludeList, target, line);
  SetListIndex(ControlId::IncludeList, target);
  const bool at_end = up ? target == 0 : target == count - 1;
  if (at_end) FocusControl(ControlId::IncludeList);  // its button has just been disabled
  RebuildIncludeFolders();
  StartCatalogue();
}

// With two lines or more, up is possible below the first line and down above
// the last one; with fewer lines neither is.
void OptionsDialog::ApplySelectionRule() {
  const int count = ItemCount(ControlId::IncludeList);
  const int selected = Control(ControlId::IncludeList).selected;
  SetEnabled(ControlId::MoveIncludeUp, count >= 2 && selected >= 1);
  SetEnabled(ControlId::MoveIncludeDown, count >= 2 && selected < count - 1);
}

void OptionsDialog::RemoveNestedIncludes() {
  FolderLines lines = Control(ControlId::IncludeList).items;
  const std::vector<int> removed = RemoveNestedFolders(lines);
  for (int index : removed) RemoveItem(ControlId::IncludeList, index);
  // Fewer lines can leave a move button pointing past the end.
  if (!removed.empty()) ApplySelectionRule();
  RebuildIncludeFolders();
}

void OptionsDialog::RebuildIncludeFolders() {
  settings_.include_folders = JoinFolderLines(Control(ControlId::IncludeList).items);
}

void OptionsDialog::RebuildExcludeFolders() {
  settings_.exclude_folders = JoinFolderLines(Control(ControlId::ExcludeList).items);
}
