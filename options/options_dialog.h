#pragma once
// The options dialog as a view-model: the state of its controls and its
// handlers. The platform dialog (options_window_*.cpp) renders the state and
// forwards the user's actions here; the contract between them is described at
// the top of options_window.h.
//
// The dialog edits the settings in place, so the live preview shows every
// change at once; it keeps the settings as they were at load and puts them
// back when it closes, so only OK makes changes permanent (by saving them).
#include <array>
#include <memory>
#include <string>

#include "options/control_ids.h"
#include "options/dialog_services.h"
#include "options/folder_lists.h"
#include "options/options_window.h"
#include "sequence/slide_show.h"
#include "settings/identity.h"
#include "settings/saver_settings.h"

class OptionsStorage;
class PreviewShow;
class SystemPort;

class OptionsDialog : public DialogPreview {
 public:
  struct Services {
    SystemPort& system;
    WindowSystem& windows;
    DialogServices& dialogs;
    PathStyle paths;
    OptionsWindowFactory create_window;
  };

  OptionsDialog(const Services& services, SaverSettings& settings, const ProgramIdentity& identity,
                std::unique_ptr<PreviewShow> preview, std::unique_ptr<OptionsStorage> storage);
  ~OptionsDialog() override;
  OptionsDialog(const OptionsDialog&) = delete;
  OptionsDialog& operator=(const OptionsDialog&) = delete;

  // Creates the window and fills the controls from the settings (once).
  void Load();
  void Show();
  OptionsWindow* Window() { return window_.get(); }
  // The window the dialog belongs to (disabled while the dialog is open), or 0.
  void SetOwner(WindowHandle owner) { owner_ = owner; }

  // State the platform window shows.
  // ControlId::Dialog gives an empty, enabled and visible state.
  const ControlState& Control(ControlId id) const;
  const std::string& Caption() const { return caption_; }
  int ClientWidthTwips() const { return client_width_; }
  int ClientHeightTwips() const { return kClientHeight; }
  const SaverSettings& SettingsAtOpen() const { return settings_at_open_; }

  // The live preview on the Info panel.
  bool PreviewShown() const override { return Control(ControlId::InfoPanel).visible; }
  PictureBox* PreviewBox() override;

  // The user's actions, by control (see options_window.h). Events for
  // disabled or hidden controls are ignored.
  void OnClick(ControlId id);
  void OnSelect(ControlId id, int index);
  void OnCheck(ControlId id, bool checked);
  void OnTextChange(ControlId id, const std::string& text);
  void OnKeyDown(ControlId id, int key_code, int shift);
  void OnDoubleClick(ControlId id);
  // Every way of closing ends here (OK and Cancel too): restores the
  // settings in memory, gives the owner window back and ends the program.
  void Close();

 private:
  // Load (options_dialog.cpp).
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
  void FocusControl(ControlId id);
  void Refuse(const std::string& message);
  WindowHandle Handle() const;

  // Folder lists (options_folders.cpp).
  void AddFolder(FolderListKind kind, bool typed);
  std::string AskFolder(FolderListKind kind, bool typed);
  bool CheckNestingOf(FolderListKind kind, const std::string& path);
  void AppendFolder(FolderListKind kind, const std::string& path);
  void RemoveIncludeFolder();
  void RemoveExcludeFolder();
  void MoveIncludeFolder(bool up);
  void ApplySelectionRule();
  void RemoveNestedIncludes();
  void RebuildIncludeFolders();
  void RebuildExcludeFolders();

  // Option controls and preview (options_controls.cpp).
  void IntervalChanged();
  void RandomChanged();
  void SubfoldersChanged();
  void SizeFilterChanged();
  void AspectFilterChanged();
  void ScaleModeChanged();
  void CaptionChanged();
  void ResolutionChanged();
  void ShowStyleChanged();  // fade, pan and zoom, caption text, background
  void PickColour(bool text);
  void ToggleInfoPanel();
  void PreviewKey(int key_code);
  void OpenAboutLink();
  // The show machinery, which does nothing while the Info panel is hidden.
  void StartCatalogue();
  void StopCatalogue();
  void StartSlideTimer();

  // Closing (options_commit.cpp).
  void SaveAndClose();

  Services services_;
  SaverSettings& settings_;
  const ProgramIdentity& identity_;
  std::unique_ptr<PreviewShow> preview_;
  std::unique_ptr<OptionsStorage> storage_;
  std::unique_ptr<OptionsWindow> window_;
  WindowHandle owner_ = 0;
  std::array<ControlState, kControlCount> controls_;
  std::string caption_;
  int client_width_ = kClientWidthAtOpen;
  SaverSettings settings_at_open_;
  std::string grace_at_open_;
  CustomColors custom_colors_{};  // kept for the life of the process; start black
};

// The items of the fixed lists, index 0 first (the index is the stored value).
extern const std::vector<std::string> kScaleModeItems;
extern const std::vector<std::string> kCaptionItems;
extern const std::vector<std::string> kTransitionItems;  // item k fades for k * kTransitionStepMs
extern const std::vector<std::string> kCaptionTextItems;
inline constexpr int kTransitionStepMs = 500;
extern const char kChangelogText[];
