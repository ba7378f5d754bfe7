#include "options/options_dialog.h"

#include "catalogue/admission.h"
#include "options/grace_period.h"
#include "options/options_storage.h"
#include "options/preview_show.h"
#include "platform/system.h"
#include "version.h"

const std::vector<std::string> kScaleModeItems = {"Center small pics", "Upscale small pics (keep aspect ratio)",
                                                  "Fill screen (no aspect ratio)",
                                                  "Fill screen (keep aspect ratio, cut borders)"};
const std::vector<std::string> kCaptionItems = {"No", "Top", "Bottom"};
const std::vector<std::string> kTransitionItems = {"No (cut)",  "0.5 seconds", "1 second", "1.5 seconds",
                                                   "2 seconds", "2.5 seconds", "3 seconds"};
const std::vector<std::string> kCaptionTextItems = {"Path", "File name", "Date and folder"};
const char kChangelogText[] =
    "v. 0.9.42\r\n- Added Exclude Paths\r\n- Added this changelog :-)\r\nv. 0.9.40\r\n"
    "- Added Aspect Ratio options\r\nv. 0.9.39\r\n- Changed Random alghorithm\r\nv 0.9.35\r\n"
    "- Added Sleep during screensaver (key S)\r\nv 0.9.30\r\n- Added options to display big images only\r\n"
    "v 0.9.24\r\n- Added Display resolution beside filename\r\nv 0.9.18\r\n- Added Include subdirs switch option\r\n";

OptionsDialog::OptionsDialog(const Services& services, SaverSettings& settings, const ProgramIdentity& identity,
                             std::unique_ptr<PreviewShow> preview, std::unique_ptr<OptionsStorage> storage)
    : services_(services),
      settings_(settings),
      identity_(identity),
      preview_(std::move(preview)),
      storage_(std::move(storage)) {
  // The controls as designed, before the load fills them.
  for (int i = 0; i < kControlCount; ++i) controls_[i].text = AllControls()[i].text;
  for (const ImageSizeOption& option : kImageSizeOptions)
    Mutable(ControlId::SizeFilterCombo).items.push_back(option.text);
  for (const char* option : kAspectRatioOptions) Mutable(ControlId::AspectFilterCombo).items.push_back(option);
  Mutable(ControlId::ScaleModeCombo).items = kScaleModeItems;
  Mutable(ControlId::CaptionCombo).items = kCaptionItems;
  Mutable(ControlId::TransitionCombo).items = kTransitionItems;
  Mutable(ControlId::CaptionTextCombo).items = kCaptionTextItems;
  Mutable(ControlId::ChangelogText).text = kChangelogText;
  Mutable(ControlId::InfoPanel).visible = false;  // the Info panel opens with InfoToggle
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::Load() {
  if (window_) return;
  window_ = services_.create_window(*this);
  caption_ = identity_.title;
  window_->SetCaption(caption_);
  settings_at_open_ = settings_;
  FillIntervals();
  LoadFolderLists();
  LoadOptionControls();
  LoadGraceAndInfo();
}

void OptionsDialog::Show() { window_->Show(); }

PictureBox* OptionsDialog::PreviewBox() { return window_ ? window_->Surface() : nullptr; }

// ---- Load -------------------------------------------------------------------

// Item k reads "5 + k seconds"; the stored interval selects its item only
// when it is a whole number of seconds from 5 to 60.
void OptionsDialog::FillIntervals() {
  const double seconds = settings_.interval_ms / 1000.0;
  for (int n = 5; n <= 60; ++n) {
    AddItem(ControlId::IntervalCombo, std::to_string(n) + " second" + (n > 1 ? "s" : ""));
    if (seconds == n) SetListIndex(ControlId::IntervalCombo, ItemCount(ControlId::IntervalCombo) - 1);
  }
}

void OptionsDialog::LoadFolderLists() {
  for (const std::string& line : SplitFolderLines(settings_.include_folders)) {
    AddItem(ControlId::IncludeList, line);
  }
  const int includes = ItemCount(ControlId::IncludeList);
  if (includes >= 1) SetListIndex(ControlId::IncludeList, 0);
  SetEnabled(ControlId::RemoveInclude, includes >= 1);
  SetEnabled(ControlId::MoveIncludeUp, false);
  SetEnabled(ControlId::MoveIncludeDown, includes >= 2);

  for (const std::string& line : SplitFolderLines(settings_.exclude_folders)) {
    AddItem(ControlId::ExcludeList, line);
  }
  const int excludes = ItemCount(ControlId::ExcludeList);
  if (excludes >= 1) SetListIndex(ControlId::ExcludeList, 0);
  SetEnabled(ControlId::RemoveExclude, excludes >= 1);
}

// A stored list index outside its list selects nothing.
void OptionsDialog::LoadOptionControls() {
  // Live: the handlers raised below write into it.
  const SaverSettings& s = settings_;
  auto select = [this](ControlId id, auto value) {
    const int index = static_cast<int>(value);
    if (index >= 0 && index < ItemCount(id)) SetListIndex(id, index);
  };
  select(ControlId::SizeFilterCombo, s.size_filter);
  select(ControlId::AspectFilterCombo, s.aspect_filter);
  select(ControlId::ScaleModeCombo, s.scale_mode);

  const bool subfolders = s.include_subfolders;
  SetChecked(ControlId::SubfoldersCheck, subfolders);  // checking it also removes nested includes
  for (ControlId id : {ControlId::ExcludeList, ControlId::AddExcludeWithPicker, ControlId::AddExcludeByPath}) {
    SetEnabled(id, subfolders);
  }
  const bool excludes = ItemCount(ControlId::ExcludeList) >= 1;
  if (subfolders && excludes) SetListIndex(ControlId::ExcludeList, 0);
  SetEnabled(ControlId::RemoveExclude, subfolders && excludes);

  SetChecked(ControlId::RandomCheck, s.random_order);
  SetChecked(ControlId::ResolutionCheck, s.caption != CaptionPosition::Off && s.caption_shows_size);
  select(ControlId::CaptionCombo, s.caption);
  SetColor(ControlId::TextColourSwatch, s.caption_text_colour);
  SetColor(ControlId::BorderColourSwatch, s.caption_border_colour);
  select(ControlId::SizeFilterCombo, s.size_filter);
  // One handler reads all four controls, so the stored values are kept
  // aside while they are shown; a fade typed in by hand shows as the nearest
  // item and keeps its time until another is picked.
  const SaverSettings stored = s;
  select(ControlId::TransitionCombo, (stored.transition_ms + kTransitionStepMs / 2) / kTransitionStepMs);
  SetChecked(ControlId::MotionCheck, stored.motion);
  select(ControlId::CaptionTextCombo, stored.caption_text);
  SetChecked(ControlId::BackdropCheck, stored.backdrop == Backdrop::Soft);
  settings_.transition_ms = stored.transition_ms;
  settings_.motion = stored.motion;
  settings_.caption_text = stored.caption_text;
  settings_.backdrop = stored.backdrop;
}

void OptionsDialog::LoadGraceAndInfo() {
  std::string stored;
  const bool read = storage_->ReadGrace(stored);
  SetText(ControlId::GraceText, GraceTextFromStore(read, stored));
  grace_at_open_ = Control(ControlId::GraceText).text;
  SetText(ControlId::ProgramNameLabel, identity_.full_name);
  SetText(ControlId::VersionLabel, "Version: " + std::to_string(GLIMMORA_VERSION_MAJOR) + "." +
                                       std::to_string(GLIMMORA_VERSION_MINOR) + "." +
                                       std::to_string(GLIMMORA_VERSION_REVISION));
  SetText(ControlId::AboutLink, identity_.about_link);
}

// ---- Control state ------------------------------------------------------------

const ControlState& OptionsDialog::Control(ControlId id) const {
  static const ControlState kForm;
  const int index = IndexOf(id);
  return index >= 0 && index < kControlCount ? controls_[index] : kForm;
}

void OptionsDialog::Notify(ControlId id, unsigned aspects) {
  if (window_) window_->ControlChanged(id, aspects);
}

void OptionsDialog::SetEnabled(ControlId id, bool enabled) {
  if (Control(id).enabled == enabled) return;
  Mutable(id).enabled = enabled;
  Notify(id, kAspectEnabled);
}

void OptionsDialog::SetVisible(ControlId id, bool visible) {
  if (Control(id).visible == visible) return;
  Mutable(id).visible = visible;
  Notify(id, kAspectVisible);
}

void OptionsDialog::SetText(ControlId id, const std::string& text) {
  if (Control(id).text == text) return;
  Mutable(id).text = text;
  Notify(id, kAspectText);
}

void OptionsDialog::SetColor(ControlId id, std::int32_t color) {
  if (Control(id).color == color) return;
  Mutable(id).color = color;
  Notify(id, kAspectColor);
}

void OptionsDialog::SetChecked(ControlId id, bool checked) {
  if (Control(id).checked == checked) return;
  Mutable(id).checked = checked;
  Notify(id, kAspectChecked);
  RaiseChange(id);
}

void OptionsDialog::SetListIndex(ControlId id, int index) {
  if (index < -1 || index >= ItemCount(id) || Control(id).selected == index) return;
  Mutable(id).selected = index;
  Notify(id, kAspectSelection);
  RaiseChange(id);
}

void OptionsDialog::AddItem(ControlId id, const std::string& text) {
  Mutable(id).items.push_back(text);
  Notify(id, kAspectItems);
}

// The selection stays with its line, as a list box keeps it.
void OptionsDialog::InsertItem(ControlId id, int index, const std::string& text) {
  ControlState& c = Mutable(id);
  c.items.insert(c.items.begin() + index, text);
  const bool moved = c.selected >= index;
  if (moved) ++c.selected;
  Notify(id, kAspectItems | (moved ? kAspectSelection : 0u));
  if (moved) RaiseChange(id);
}

// Removing the selected line leaves no selection; a selected line below the
// removed one moves up with its index.
void OptionsDialog::RemoveItem(ControlId id, int index) {
  ControlState& c = Mutable(id);
  c.items.erase(c.items.begin() + index);
  const int before = c.selected;
  if (c.selected == index) {
    c.selected = -1;
  } else if (c.selected > index) {
    --c.selected;
  }
  const bool moved = c.selected != before;
  Notify(id, kAspectItems | (moved ? kAspectSelection : 0u));
  if (moved) RaiseChange(id);
}

void OptionsDialog::RaiseChange(ControlId id) {
  switch (id) {
    case ControlId::IntervalCombo: return IntervalChanged();
    case ControlId::RandomCheck: return RandomChanged();
    case ControlId::SubfoldersCheck: return SubfoldersChanged();
    case ControlId::SizeFilterCombo: return SizeFilterChanged();
    case ControlId::AspectFilterCombo: return AspectFilterChanged();
    case ControlId::ScaleModeCombo: return ScaleModeChanged();
    case ControlId::CaptionCombo: return CaptionChanged();
    case ControlId::ResolutionCheck: return ResolutionChanged();
    case ControlId::TransitionCombo:
    case ControlId::MotionCheck:
    case ControlId::CaptionTextCombo:
    case ControlId::BackdropCheck: return ShowStyleChanged();
    case ControlId::IncludeList: return ApplySelectionRule();
    default: return;
  }
}

// A control takes input only while it and every container around it are
// enabled and visible (the platform should not send anything else).
bool OptionsDialog::Accepts(ControlId id) const {
  for (ControlId c = id; c != ControlId::Dialog; c = InfoOf(c).container) {
    if (!Control(c).enabled || !Control(c).visible) return false;
  }
  return true;
}

void OptionsDialog::FocusControl(ControlId id) {
  if (window_) window_->FocusControl(id);
}

void OptionsDialog::Refuse(const std::string& message) {
  services_.system.ShowMessage(message, identity_.title, MessageBoxStyle::Critical);
}

WindowHandle OptionsDialog::Handle() const { return window_ ? window_->Handle() : 0; }

// ---- Events by control id -------------------------------------------------------

void OptionsDialog::OnClick(ControlId id) {
  if (!Accepts(id)) return;
  switch (id) {
    case ControlId::AddIncludeWithPicker: return AddFolder(FolderListKind::Include, false);
    case ControlId::AddIncludeByPath: return AddFolder(FolderListKind::Include, true);
    case ControlId::AddExcludeWithPicker: return AddFolder(FolderListKind::Exclude, false);
    case ControlId::AddExcludeByPath: return AddFolder(FolderListKind::Exclude, true);
    case ControlId::RemoveInclude: return RemoveIncludeFolder();
    case ControlId::RemoveExclude: return RemoveExcludeFolder();
    case ControlId::MoveIncludeUp: return MoveIncludeFolder(true);
    case ControlId::MoveIncludeDown: return MoveIncludeFolder(false);
    case ControlId::PickTextColour: return PickColour(true);
    case ControlId::PickBorderColour: return PickColour(false);
    case ControlId::InfoToggle: return ToggleInfoPanel();
    case ControlId::Ok: return SaveAndClose();
    case ControlId::Cancel: return Close();
    default: return;
  }
}

// A user's pick in a list or combo box: stored (the widget shows it), then handled.
void OptionsDialog::OnSelect(ControlId id, int index) {
  const ControlKind kind = InfoOf(id).kind;
  if (kind != ControlKind::ListBox && kind != ControlKind::ComboBox) return;
  if (!Accepts(id) || index < -1 || index >= ItemCount(id)) {
    Notify(id, kAspectSelection);  // let the window show the state again
    return;
  }
  if (Control(id).selected == index) return;
  Mutable(id).selected = index;
  RaiseChange(id);
}

void OptionsDialog::OnCheck(ControlId id, bool checked) {
  if (InfoOf(id).kind != ControlKind::CheckBox) return;
  if (!Accepts(id)) {
    Notify(id, kAspectChecked);
    return;
  }
  if (Control(id).checked == checked) return;
  Mutable(id).checked = checked;
  RaiseChange(id);
}

void OptionsDialog::OnTextChange(ControlId id, const std::string& text) {
  if (id == ControlId::GraceText && Accepts(id)) Mutable(id).text = text;
}

void OptionsDialog::OnKeyDown(ControlId id, int key_code, int) {
  if (id == ControlId::Preview && Accepts(id)) PreviewKey(key_code);
}

void OptionsDialog::OnDoubleClick(ControlId id) {
  if (id == ControlId::AboutLink && Accepts(id)) OpenAboutLink();
}
