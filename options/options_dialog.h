#pragma once
// The options dialog "C" as a view-model: the state of its controls and its
// handlers. The platform dialog (options_window_*.cpp) renders the state and
// forwards the user's actions here; the contract between them is described at
// the top of options_window.h.
//
// The dialog edits CurrentSettings in place, so the live preview shows every
// change at once; it keeps the settings as they were at load and puts them
// back when it unloads, so only OK makes changes permanent (by saving them).
#include <array>
#include <memory>
#include <string>

#include "options/control_ids.h"
#include "options/dialog_services.h"
#include "options/folder_lists.h"
#include "options/options_window.h"
#include "settings/saver_settings.h"

struct ProgramState;
class DialogServices;
class OptionsStorage;
class PreviewEngine;

class OptionsDialog {
 public:
  // With the program's show machinery and registry storage.
  explicit OptionsDialog(ProgramState& state);
  OptionsDialog(ProgramState& state, std::unique_ptr<PreviewEngine> engine, std::unique_ptr<OptionsStorage> storage);
  ~OptionsDialog();
  OptionsDialog(const OptionsDialog&) = delete;
  OptionsDialog& operator=(const OptionsDialog&) = delete;

  // Creates the window and runs Form_Load (once).
  void Load();
  void Show();
  OptionsWindow* Window() { return window_.get(); }

  // State the platform window shows.
  // ControlId::Form gives an empty, enabled and visible state.
  const ControlState& Control(ControlId id) const;
  const std::string& Caption() const { return caption_; }
  int ClientWidthTwips() const { return client_width_; }
  int ClientHeightTwips() const { return kClientHeight; }
  // Visibility of the frames fraFrame(0..2); 2 is the Info panel with the preview.
  bool fraFrameVisible(int index) const;
  PictureBox* picSaver();
  const SaverSettings& SettingsAtOpen() const { return settings_at_open_; }
  const std::string& GraceAtOpen() const { return grace_at_open_; }

  // User events (see options_window.h).
  void cmdAdd_Click(int index);
  void cmdAddExclude_Click(int index);
  void cmdDel_Click();
  void cmdDelExclude_Click();
  void cmdMove_Click(int index);
  void lstDirectory_Click(int index);
  void lstExclude_Click(int index);
  void cmbInterval_Click(int index);
  void cmbCheckSize_Click(int index);
  void cmbAspectRatio_Click(int index);
  void cmbUpscaleMode_Click(int index);
  void cmbFileName_Click(int index);
  void chkRecursive_Click(bool checked);
  void chkRandom_Click(bool checked);
  void chkResolution_Click(bool checked);
  void cmdColor_Click(int index);
  void txtGrace_Change(const std::string& text);
  void cmdMore_Click();
  void picSaver_KeyDown(int key_code, int shift);
  void lblLink_DblClick();
  void cmdOk_Click();
  void cmdCancel_Click();
  // Every way of closing ends here: restores the settings in memory, gives
  // the owner window back and ends the program (it does not return).
  void Form_Unload();

  // The same events by control id, for windows that forward from one place.
  void OnClick(ControlId id);
  void OnSelect(ControlId id, int index);
  void OnCheck(ControlId id, bool checked);
  void OnTextChange(ControlId id, const std::string& text);
  void OnKeyDown(ControlId id, int key_code, int shift);
  void OnDoubleClick(ControlId id);

 private:
  // Load (options_dialog.cpp).
  void Form_Load();
  void FillIntervals();
  void LoadFolderLists();
  void LoadOptionControls();
  void LoadGraceAndInfo();

  // Control state changes: each notifies the window; SetChecked and
  // SetListIndex raise the control's change handler when the value changes,
  // as a user's change would.
  ControlState& Mutable(ControlId id) { return controls_[IndexOf(id)]; }
  void Notify(ControlId id, unsigned aspects);
  void SetEnabled(ControlId id, bool enabled);
  void SetVisible(ControlId id, bool visible);
  void SetText(ControlId id, const std::string& text);
  void SetColor(ControlId id, std::int32_t color);
  void SetChecked(ControlId id, bool checked);
  void SetListIndex(ControlId id, int index);
  void AddItem(ControlId id, const std::string& text);
  void InsertItem(ControlId id, int index, const std::string& text);
  void RemoveItem(ControlId id, int index);
  void RaiseChange(ControlId id);
  int ItemCount(ControlId id) const { return static_cast<int>(Control(id).items.size()); }
  bool Accepts(ControlId id) const;
  // A user's pick in a list or combo box: stored (the widget shows it), then handled.
  void UserSelect(ControlId id, int index);
  void UserCheck(ControlId id, bool checked);
  void FocusControl(ControlId id);
  void Refuse(const std::string& message);
  WindowHandle Handle() const;

  // Folder lists (options_folders.cpp).
  void AddFolder(FolderListKind kind, bool typed);
  std::string AskFolder(FolderListKind kind, bool typed);
  bool CheckNestingOf(FolderListKind kind, const std::string& path);
  void AppendFolder(FolderListKind kind, const std::string& path);
  void ApplySelectionRule();
  void RemoveNestedIncludes();
  void RebuildImageDirectory();
  void RebuildExcludeDirectory();

  // Option controls and preview (options_controls.cpp).
  void IntervalChanged();
  void RandomChanged();
  void RecursiveChanged();
  void CheckSizeChanged();
  void AspectRatioChanged();
  void UpscaleModeChanged();
  void FileNameChanged();
  void ResolutionChanged();
  void ShowPreviousPicture();
  // The show machinery, which does nothing while the Info panel is hidden.
  void StartCatalogue();
  void StopCatalogue();
  void StartSlideTimer();

  ProgramState& state_;
  std::unique_ptr<PreviewEngine> engine_;
  std::unique_ptr<OptionsStorage> storage_;
  std::unique_ptr<OptionsWindow> window_;
  std::array<ControlState, kControlCount> controls_;
  std::string caption_;
  int client_width_ = kClientWidthAtOpen;
  SaverSettings settings_at_open_;
  std::string grace_at_open_;
  CustomColors custom_colors_{};  // kept for the life of the process; start black
};

// "C": the single instance, created on first use.
OptionsDialog& Options(ProgramState& state);

// The items of the fixed lists, index 0 first (the index is the stored value).
extern const std::vector<std::string> kCheckSizeItems;
extern const std::vector<std::string> kAspectRatioItems;
extern const std::vector<std::string> kUpscaleModeItems;
extern const std::vector<std::string> kFileNameItems;
extern const char kChangelogText[];
