#include "options/options_dialog.h"

#include "options/grace_period.h"
#include "options/options_storage.h"
#include "options/preview_engine.h"
#include "platform/system.h"
#include "startup/program_state.h"
#include "version.h"

const std::vector<std::string> kCheckSizeItems = {
    "Disable (really, REALLY, faster!)", "320x200",  "640x480",   "800x600",   "1024x768",
    "1152x864",                          "1280x800", "1280x1024", "1440x900",  "1600x1200",
    "1680x1050",                         "1920x1200", "2048x1576"};
const std::vector<std::string> kAspectRatioItems = {"ALL (really, REALLY, faster!)", "4/3 only (1.4-)",
                                                    "16/9 only (1.5+)"};
const std::vector<std::string> kUpscaleModeItems = {"Center small pics", "Upscale small pics (keep aspect ratio)",
                                                    "Fill screen (no aspect ratio)",
                                                    "Fill screen (keep aspect ratio, cut borders)"};
const std::vector<std::string> kFileNameItems = {"No", "Top", "Bottom"};
const char kChangelogText[] =
    "v. 0.9.42\r\n- Added Exclude Paths\r\n- Added this changelog :-)\r\nv. 0.9.40\r\n"
    "- Added Aspect Ratio options\r\nv. 0.9.39\r\n- Changed Random alghorithm\r\nv 0.9.35\r\n"
    "- Added Sleep during screensaver (key S)\r\nv 0.9.30\r\n- Added options to display big images only\r\n"
    "v 0.9.24\r\n- Added Display resolution beside filename\r\nv 0.9.18\r\n- Added Include subdirs switch option\r\n";

OptionsDialog::OptionsDialog(ProgramState& state)
    : OptionsDialog(state, CreateProgramPreviewEngine(state), CreateRegistryOptionsStorage(state)) {}

OptionsDialog::OptionsDialog(ProgramState& state, std::unique_ptr<PreviewEngine> engine,
                             std::unique_ptr<OptionsStorage> storage)
    : state_(state), engine_(std::move(engine)), storage_(std::move(storage)) {
  // The controls as designed, before the load fills them.
  for (int i = 0; i < kControlCount; ++i) controls_[i].text = AllControls()[i].text;
  Mutable(ControlId::cmbCheckSize).items = kCheckSizeItems;
  Mutable(ControlId::cmbAspectRatio).items = kAspectRatioItems;
  Mutable(ControlId::cmbUpscaleMode).items = kUpscaleModeItems;
  Mutable(ControlId::cmbFileName).items = kFileNameItems;
  Mutable(ControlId::txtChangelog).text = kChangelogText;
  Mutable(ControlId::fraFrame2).visible = false;  // the Info panel opens with cmdMore
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::Load() {
  if (window_) return;
  window_ = state_.ports.windows->CreateOptionsWindow(*this);
  Form_Load();
}

void OptionsDialog::Show() { window_->Show(); }

bool OptionsDialog::fraFrameVisible(int index) const {
  if (index < 0 || index > 2) return false;
  static constexpr ControlId kFrames[] = {ControlId::fraFrame0, ControlId::fraFrame1, ControlId::fraFrame2};
  return Control(kFrames[index]).visible;
}

PictureBox* OptionsDialog::picSaver() { return window_ ? window_->picSaver() : nullptr; }

// ---- Load -------------------------------------------------------------------

void OptionsDialog::Form_Load() {
  caption_ = state_.ProgramTitle;
  window_->SetCaption(caption_);
  settings_at_open_ = state_.CurrentSettings;
  FillIntervals();
  LoadFolderLists();
  LoadOptionControls();
  LoadGraceAndInfo();
}

// Item k reads "5 + k seconds"; the stored interval selects its item only
// when it is a whole number of seconds from 5 to 60.
void OptionsDialog::FillIntervals() {
  const double seconds = state_.CurrentSettings.Interval / 1000.0;
  for (int n = 5; n <= 60; ++n) {
    AddItem(ControlId::cmbInterval, std::to_string(n) + " second" + (n > 1 ? "s" : ""));
    if (seconds == n) SetListIndex(ControlId::cmbInterval, ItemCount(ControlId::cmbInterval) - 1);
  }
}

void OptionsDialog::LoadFolderLists() {
  for (const std::string& line : SplitFolderLines(state_.CurrentSettings.ImageDirectory)) {
    AddItem(ControlId::lstDirectory, line);
  }
  const int includes = ItemCount(ControlId::lstDirectory);
  if (includes >= 1) SetListIndex(ControlId::lstDirectory, 0);
  SetEnabled(ControlId::cmdDel, includes >= 1);
  SetEnabled(ControlId::cmdMove0, false);
  SetEnabled(ControlId::cmdMove1, includes >= 2);

  for (const std::string& line : SplitFolderLines(state_.CurrentSettings.ExcludeDirectory)) {
    AddItem(ControlId::lstExclude, line);
  }
  const int excludes = ItemCount(ControlId::lstExclude);
  if (excludes >= 1) SetListIndex(ControlId::lstExclude, 0);
  SetEnabled(ControlId::cmdDelExclude, excludes >= 1);
}

// A stored list index outside its list selects nothing.
void OptionsDialog::LoadOptionControls() {
  // Live: the handlers raised below write into it.
  const SaverSettings& s = state_.CurrentSettings;
  auto select = [this](ControlId id, int index) {
    if (index >= 0 && index < ItemCount(id)) SetListIndex(id, index);
  };
  select(ControlId::cmbCheckSize, s.CheckImageSize);
  select(ControlId::cmbAspectRatio, s.CheckAspectRatio);
  select(ControlId::cmbUpscaleMode, s.UpscaleMode);

  const bool recursive = s.Recursive;
  SetChecked(ControlId::chkRecursive, recursive);  // checking it also removes nested includes
  for (ControlId id : {ControlId::lstExclude, ControlId::cmdAddExclude0, ControlId::cmdAddExclude1}) {
    SetEnabled(id, recursive);
  }
  const bool excludes = ItemCount(ControlId::lstExclude) >= 1;
  if (recursive && excludes) SetListIndex(ControlId::lstExclude, 0);
  SetEnabled(ControlId::cmdDelExclude, recursive && excludes);

  SetChecked(ControlId::chkRandom, s.Random);
  SetChecked(ControlId::chkResolution, s.ShowFilename >= 1 && s.ShowFileResolution);
  select(ControlId::cmbFileName, s.ShowFilename);
  SetColor(ControlId::shpDemo0, s.ShowFilenameColorText);
  SetColor(ControlId::shpDemo1, s.ShowFilenameColorBorder);
  select(ControlId::cmbCheckSize, s.CheckImageSize);
}

void OptionsDialog::LoadGraceAndInfo() {
  std::string stored;
  const bool read = storage_->ReadGrace(stored);
  SetText(ControlId::txtGrace, GraceTextFromStore(read, stored));
  grace_at_open_ = Control(ControlId::txtGrace).text;
  SetText(ControlId::lblInfo0, state_.ProgramFullName);
  SetText(ControlId::lblInfo1, "Version: " + std::to_string(GLIMMORA_VERSION_MAJOR) + "." +
                                   std::to_string(GLIMMORA_VERSION_MINOR) + "." +
                                   std::to_string(GLIMMORA_VERSION_REVISION));
  SetText(ControlId::lblLink, state_.AboutLinkTarget);
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
    case ControlId::cmbInterval: return IntervalChanged();
    case ControlId::chkRandom: return RandomChanged();
    case ControlId::chkRecursive: return RecursiveChanged();
    case ControlId::cmbCheckSize: return CheckSizeChanged();
    case ControlId::cmbAspectRatio: return AspectRatioChanged();
    case ControlId::cmbUpscaleMode: return UpscaleModeChanged();
    case ControlId::cmbFileName: return FileNameChanged();
    case ControlId::chkResolution: return ResolutionChanged();
    case ControlId::lstDirectory: return ApplySelectionRule();
    default: return;
  }
}

// A control takes input only while it and every container around it are
// enabled and visible (the platform should not send anything else).
bool OptionsDialog::Accepts(ControlId id) const {
  for (ControlId c = id; c != ControlId::Form; c = InfoOf(c).container) {
    if (!Control(c).enabled || !Control(c).visible) return false;
  }
  return true;
}

void OptionsDialog::UserSelect(ControlId id, int index) {
  if (!Accepts(id) || index < -1 || index >= ItemCount(id)) {
    Notify(id, kAspectSelection);  // let the window show the state again
    return;
  }
  if (Control(id).selected == index) return;
  Mutable(id).selected = index;
  RaiseChange(id);
}

void OptionsDialog::UserCheck(ControlId id, bool checked) {
  if (!Accepts(id)) {
    Notify(id, kAspectChecked);
    return;
  }
  if (Control(id).checked == checked) return;
  Mutable(id).checked = checked;
  RaiseChange(id);
}

void OptionsDialog::FocusControl(ControlId id) {
  if (window_) window_->FocusControl(id);
}

void OptionsDialog::Refuse(const std::string& message) {
  state_.ports.system->MsgBox(message, state_.ProgramTitle, kMbCritical);
}

WindowHandle OptionsDialog::Handle() const { return window_ ? window_->Handle() : 0; }

// ---- Events by control id -------------------------------------------------------

void OptionsDialog::OnClick(ControlId id) {
  switch (id) {
    case ControlId::cmdAdd0: return cmdAdd_Click(0);
    case ControlId::cmdAdd1: return cmdAdd_Click(1);
    case ControlId::cmdAddExclude0: return cmdAddExclude_Click(0);
    case ControlId::cmdAddExclude1: return cmdAddExclude_Click(1);
    case ControlId::cmdDel: return cmdDel_Click();
    case ControlId::cmdDelExclude: return cmdDelExclude_Click();
    case ControlId::cmdMove0: return cmdMove_Click(0);
    case ControlId::cmdMove1: return cmdMove_Click(1);
    case ControlId::cmdColor0: return cmdColor_Click(0);
    case ControlId::cmdColor1: return cmdColor_Click(1);
    case ControlId::cmdMore: return cmdMore_Click();
    case ControlId::cmdOk: return cmdOk_Click();
    case ControlId::cmdCancel: return cmdCancel_Click();
    default: return;
  }
}

void OptionsDialog::OnSelect(ControlId id, int index) {
  switch (id) {
    case ControlId::lstDirectory: return lstDirectory_Click(index);
    case ControlId::lstExclude: return lstExclude_Click(index);
    case ControlId::cmbInterval: return cmbInterval_Click(index);
    case ControlId::cmbCheckSize: return cmbCheckSize_Click(index);
    case ControlId::cmbAspectRatio: return cmbAspectRatio_Click(index);
    case ControlId::cmbUpscaleMode: return cmbUpscaleMode_Click(index);
    case ControlId::cmbFileName: return cmbFileName_Click(index);
    default: return;
  }
}

void OptionsDialog::OnCheck(ControlId id, bool checked) {
  switch (id) {
    case ControlId::chkRecursive: return chkRecursive_Click(checked);
    case ControlId::chkRandom: return chkRandom_Click(checked);
    case ControlId::chkResolution: return chkResolution_Click(checked);
    default: return;
  }
}

void OptionsDialog::OnTextChange(ControlId id, const std::string& text) {
  if (id == ControlId::txtGrace) txtGrace_Change(text);
}

void OptionsDialog::OnKeyDown(ControlId id, int key_code, int shift) {
  if (id == ControlId::picSaver) picSaver_KeyDown(key_code, shift);
}

void OptionsDialog::OnDoubleClick(ControlId id) {
  if (id == ControlId::lblLink) lblLink_DblClick();
}

void OptionsDialog::lstDirectory_Click(int index) { UserSelect(ControlId::lstDirectory, index); }
void OptionsDialog::lstExclude_Click(int index) { UserSelect(ControlId::lstExclude, index); }
void OptionsDialog::cmbInterval_Click(int index) { UserSelect(ControlId::cmbInterval, index); }
void OptionsDialog::cmbCheckSize_Click(int index) { UserSelect(ControlId::cmbCheckSize, index); }
void OptionsDialog::cmbAspectRatio_Click(int index) { UserSelect(ControlId::cmbAspectRatio, index); }
void OptionsDialog::cmbUpscaleMode_Click(int index) { UserSelect(ControlId::cmbUpscaleMode, index); }
void OptionsDialog::cmbFileName_Click(int index) { UserSelect(ControlId::cmbFileName, index); }
void OptionsDialog::chkRecursive_Click(bool checked) { UserCheck(ControlId::chkRecursive, checked); }
void OptionsDialog::chkRandom_Click(bool checked) { UserCheck(ControlId::chkRandom, checked); }
void OptionsDialog::chkResolution_Click(bool checked) { UserCheck(ControlId::chkResolution, checked); }

void OptionsDialog::txtGrace_Change(const std::string& text) {
  if (!Accepts(ControlId::txtGrace)) return;
  Mutable(ControlId::txtGrace).text = text;
}

OptionsDialog& Options(ProgramState& state) {
  if (!state.C) state.C = std::make_unique<OptionsDialog>(state);
  return *state.C;
}
