// The include and exclude folder lists of the options dialog: add by picker
// or typed path, remove, move, and the rules that keep the lists free of
// duplicates and (while subfolders are included) of nested folders.
#include <algorithm>

#include "options/dialog_services.h"
#include "options/options_dialog.h"
#include "options/preview_engine.h"
#include "startup/program_state.h"

namespace {

ControlId ListOf(FolderListKind kind) {
  return kind == FolderListKind::Include ? ControlId::lstDirectory : ControlId::lstExclude;
}

}  // namespace

void OptionsDialog::cmdAdd_Click(int index) {
  if (Accepts(index == 0 ? ControlId::cmdAdd0 : ControlId::cmdAdd1)) AddFolder(FolderListKind::Include, index != 0);
}

void OptionsDialog::cmdAddExclude_Click(int index) {
  if (Accepts(index == 0 ? ControlId::cmdAddExclude0 : ControlId::cmdAddExclude1)) {
    AddFolder(FolderListKind::Exclude, index != 0);
  }
}

void OptionsDialog::AddFolder(FolderListKind kind, bool typed) {
  std::string path = AskFolder(kind, typed);
  if (path.empty()) return;
  const PathStyle style = state_.ports.paths;
  path = WithTrailingSeparator(path, style);
  if (!IsAcceptedFolder(path, style)) return Refuse(kOnlyUncAndLocal);
  const FolderLines& lines = Control(ListOf(kind)).items;
  if (std::find(lines.begin(), lines.end(), path) != lines.end()) return;
  if (!CheckNestingOf(kind, path)) return;
  if (kind == FolderListKind::Exclude && !IsInsideInclude(Control(ControlId::lstDirectory).items, path)) {
    return Refuse(kOnlyInsideInclude);
  }
  AppendFolder(kind, path);
}

// The picker's folder, or the typed text without blanks around it; "" when
// the user cancels.
std::string OptionsDialog::AskFolder(FolderListKind kind, bool typed) {
  DialogServices* dialogs = state_.ports.dialogs;
  if (!dialogs) return "";
  if (!typed) return dialogs->BrowseFolder(Handle(), FolderPickerTitle(kind));
  return TrimBlanks(
      dialogs->InputBox(Handle(), TypedFolderPrompt(kind, state_.ports.paths), state_.ProgramTitle, ""));
}

// Removes listed folders that lie inside the new one; false (after the
// message) when a listed folder contains it. The include list is checked only
// while subfolders are included: without them, nested folders are distinct.
// What was removed stays removed even when the add is refused, and the stored
// list is then left as it was.
bool OptionsDialog::CheckNestingOf(FolderListKind kind, const std::string& path) {
  if (kind == FolderListKind::Include && !state_.CurrentSettings.Recursive) return true;
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
    SetEnabled(ControlId::cmdDel, true);
    if (ItemCount(list) >= 2) {
      SetEnabled(ControlId::cmdMove0, true);
      SetEnabled(ControlId::cmdMove1, false);
    }
    RebuildImageDirectory();
  } else {
    SetEnabled(ControlId::cmdDelExclude, true);
    RebuildExcludeDirectory();
  }
  StartCatalogue();
}

// Removing an include folder also removes the exclusions that name it.
void OptionsDialog::cmdDel_Click() {
  const int selected = Control(ControlId::lstDirectory).selected;
  if (!Accepts(ControlId::cmdDel) || selected < 0) return;
  const std::string folder = Control(ControlId::lstDirectory).items[selected];
  for (int k = ItemCount(ControlId::lstExclude) - 1; k >= 0; --k) {
    if (!Contains(Control(ControlId::lstExclude).items[k], folder)) continue;
    RemoveItem(ControlId::lstExclude, k);
    const bool left = ItemCount(ControlId::lstExclude) >= 1;
    if (left) SetListIndex(ControlId::lstExclude, 0);
    // The exclude controls stay disabled while subfolders are not included.
    SetEnabled(ControlId::cmdDelExclude, left && Control(ControlId::chkRecursive).checked);
  }
  RemoveItem(ControlId::lstDirectory, selected);
  if (ItemCount(ControlId::lstDirectory) >= 1) {
    SetListIndex(ControlId::lstDirectory, 0);
    SetEnabled(ControlId::cmdDel, true);
    ApplySelectionRule();
  } else {
    FocusControl(ControlId::lstDirectory);
    SetEnabled(ControlId::cmdDel, false);
    SetEnabled(ControlId::cmdMove0, false);
    SetEnabled(ControlId::cmdMove1, false);
  }
  RebuildImageDirectory();
  RebuildExcludeDirectory();
  StartCatalogue();
}

void OptionsDialog::cmdDelExclude_Click() {
  const int selected = Control(ControlId::lstExclude).selected;
  if (!Accepts(ControlId::cmdDelExclude) || selected < 0) return;
  RemoveItem(ControlId::lstExclude, selected);
  if (ItemCount(ControlId::lstExclude) >= 1) {
    SetListIndex(ControlId::lstExclude, 0);
    SetEnabled(ControlId::cmdDelExclude, true);
  } else {
    FocusControl(ControlId::lstExclude);
    SetEnabled(ControlId::cmdDelExclude, false);
  }
  RebuildExcludeDirectory();
  StartCatalogue();
}

// Moves the selected include line one place up (0) or down (1). A move past
// either end is not possible (its button is disabled) and changes nothing.
void OptionsDialog::cmdMove_Click(int index) {
  const bool up = index == 0;
  const int k = Control(ControlId::lstDirectory).selected;
  if (!Accepts(up ? ControlId::cmdMove0 : ControlId::cmdMove1) || k < 0) return;
  const int count = ItemCount(ControlId::lstDirectory);
  if (up ? k < 1 : k >= count - 1) return;
  const std::string line = Control(ControlId::lstDirectory).items[k];
  RemoveItem(ControlId::lstDirectory, k);
  const int target = up ? k - 1 : k + 1;
  InsertItem(ControlId::lstDirectory, target, line);
  SetListIndex(ControlId::lstDirectory, target);
  const bool at_end = up ? target == 0 : target == count - 1;
  if (at_end) FocusControl(ControlId::lstDirectory);  // its button has just been disabled
  RebuildImageDirectory();
  StartCatalogue();
}

// With two lines or more, up is possible below the first line and down above
// the last one; with fewer lines neither is.
void OptionsDialog::ApplySelectionRule() {
  const int count = ItemCount(ControlId::lstDirectory);
  const int selected = Control(ControlId::lstDirectory).selected;
  SetEnabled(ControlId::cmdMove0, count >= 2 && selected >= 1);
  SetEnabled(ControlId::cmdMove1, count >= 2 && selected < count - 1);
}

void OptionsDialog::RemoveNestedIncludes() {
  FolderLines lines = Control(ControlId::lstDirectory).items;
  const std::vector<int> removed = RemoveNestedFolders(lines);
  for (int index : removed) RemoveItem(ControlId::lstDirectory, index);
  // Fewer lines can leave a move button pointing past the end.
  if (!removed.empty()) ApplySelectionRule();
  RebuildImageDirectory();
}

void OptionsDialog::RebuildImageDirectory() {
  state_.CurrentSettings.ImageDirectory = JoinFolderLines(Control(ControlId::lstDirectory).items);
}

void OptionsDialog::RebuildExcludeDirectory() {
  state_.CurrentSettings.ExcludeDirectory = JoinFolderLines(Control(ControlId::lstExclude).items);
}
