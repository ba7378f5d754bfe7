#include <cctype>
#include <cstring>

#include "options/control_ids.h"

namespace {

using C = ControlId;
using K = ControlKind;

constexpr FontSpec kNormal{};
constexpr FontSpec kBoldSymbol{"MS Sans Serif", 9.75, true, false};
constexpr FontSpec kPlainSymbol{"MS Sans Serif", 9.75, false, false};
constexpr FontSpec kArrow{"Marlett", 9.75, false, false};
constexpr FontSpec kMore{"MS Sans Serif", 8.25, true, false};
constexpr FontSpec kTitle{"MS Sans Serif", 13.5, false, false};
constexpr FontSpec kLink{"MS Sans Serif", 12, false, true};

constexpr char kAddTip[] = "Add a folder!";
constexpr char kDelTip[] = "Remove selected folder";
constexpr char kManualTip[] = "Manually add a folder or a network path!";
constexpr char kHelpText[] =
    "During Screen Saver, use arrows keys to navigate pictures backwards and forward, S to turn the "
    "monitor(s) off, any other key or mouse move to quit!";

// clang-format off
const ControlInfo kControls[kControlCount] = {
  {C::OptionsFrame, K::Frame, C::Dialog, 0, "Glimmora Options", "", {120, 120, 4755, 6255}, kNormal},
  {C::IntervalLabel, K::Label, C::OptionsFrame, 1, "&Interval:", "", {120, 360, 735, 255}, kNormal},
  {C::IntervalCombo, K::ComboBox, C::OptionsFrame, 2, "", "", {1320, 300, 1275, 315}, kNormal},
  {C::IncludeLabel, K::Label, C::OptionsFrame, 3, "&Path(s):", "", {120, 720, 735, 255}, kNormal},
  {C::IncludeList, K::ListBox, C::OptionsFrame, 4, "",
   "List of folders where to search images in.", {1320, 660, 2895, 1815}, kNormal},
  {C::AddIncludeWithPicker, K::Button, C::OptionsFrame, 5, "+", kAddTip, {4260, 660, 315, 315}, kBoldSymbol},
  {C::RemoveInclude, K::Button, C::OptionsFrame, 6, "-", kDelTip, {4260, 1020, 315, 315}, kBoldSymbol},
  {C::MoveIncludeUp, K::Button, C::OptionsFrame, 7, "t", "Move up", {4260, 1380, 315, 315}, kArrow},
  {C::MoveIncludeDown, K::Button, C::OptionsFrame, 8, "u", "Move down", {4260, 1740, 315, 315}, kArrow},
  {C::AddIncludeByPath, K::Button, C::OptionsFrame, 9, "M", kManualTip, {4260, 2160, 315, 315}, kPlainSymbol},
  {C::SubfoldersLabel, K::Label, C::OptionsFrame, 10, "&Include subdirs", "", {120, 2580, 1155, 255}, kNormal},
  {C::SubfoldersCheck, K::CheckBox, C::OptionsFrame, 11, "", "", {1320, 2580, 195, 195}, kNormal},
  {C::RandomLabel, K::Label, C::OptionsFrame, 12, "&Random", "", {3420, 2580, 735, 255}, kNormal},
  {C::RandomCheck, K::CheckBox, C::OptionsFrame, 13, "", "", {4320, 2580, 195, 195}, kNormal},
  {C::ExcludeLabel, K::Label, C::OptionsFrame, 14, "&Exclude paths", "", {120, 2940, 1095, 375}, kNormal},
  {C::ExcludeList, K::ListBox, C::OptionsFrame, 15, "", "", {1320, 2880, 2895, 1035}, kNormal},
  {C::AddExcludeWithPicker, K::Button, C::OptionsFrame, 16, "+", kAddTip, {4260, 2880, 315, 315},
   kBoldSymbol},
  {C::RemoveExclude, K::Button, C::OptionsFrame, 17, "-", kDelTip, {4260, 3240, 315, 315}, kBoldSymbol},
  {C::AddExcludeByPath, K::Button, C::OptionsFrame, 18, "M", kManualTip, {4260, 3600, 315, 315},
   kPlainSymbol},
  {C::SizeFilterLabel, K::Label, C::OptionsFrame, 19, "&Big images only", "", {120, 4020, 1095, 255}, kNormal},
  {C::SizeFilterCombo, K::ComboBox, C::OptionsFrame, 20, "", "", {1320, 3960, 3255, 315}, kNormal},
  {C::AspectFilterLabel, K::Label, C::OptionsFrame, 21, "Aspect &ratio", "", {120, 4380, 1095, 255}, kNormal},
  {C::AspectFilterCombo, K::ComboBox, C::OptionsFrame, 22, "", "", {1320, 4320, 3255, 315}, kNormal},
  {C::ScaleModeLabel, K::Label, C::OptionsFrame, 23, "&Mode", "", {120, 4740, 735, 255}, kNormal},
  {C::ScaleModeCombo, K::ComboBox, C::OptionsFrame, 24, "", "", {1320, 4680, 3255, 315}, kNormal},
  {C::CaptionLabel, K::Label, C::OptionsFrame, 25, "Show &Filename", "", {120, 5100, 1095, 255}, kNormal},
  {C::CaptionCombo, K::ComboBox, C::OptionsFrame, 26, "", "", {1320, 5040, 1395, 315}, kNormal},
  {C::ResolutionLabel, K::Label, C::OptionsFrame, 27, "R&esolution", "", {3420, 5100, 855, 255}, kNormal},
  {C::ResolutionCheck, K::CheckBox, C::OptionsFrame, 28, "", "", {4320, 5100, 195, 195}, kNormal},
  {C::TextColourLabel, K::Label, C::OptionsFrame, 29, "&Text color", "", {120, 5460, 735, 255}, kNormal},
  {C::TextColourSwatch, K::Shape, C::OptionsFrame, -1, "", "", {1320, 5400, 1095, 315}, kNormal},
  {C::PickTextColour, K::Button, C::OptionsFrame, 30, "...", "Choose text color!", {2400, 5400, 315, 315},
   kNormal},
  {C::BorderColourLabel, K::Label, C::OptionsFrame, 31, "&Border color", "", {120, 5820, 1095, 255}, kNormal},
  {C::BorderColourSwatch, K::Shape, C::OptionsFrame, -1, "", "", {1320, 5760, 1095, 315}, kNormal},
  {C::PickBorderColour, K::Button, C::OptionsFrame, 32, "...", "", {2400, 5760, 315, 315}, kNormal},
  {C::SystemFrame, K::Frame, C::Dialog, 33, "Main Options (Affect all screensavers and users!)", "",
   {120, 6480, 4755, 795}, kNormal},
  {C::GraceLabel, K::Label, C::SystemFrame, 34, "&Grace period:", "", {120, 360, 1155, 255}, kNormal},
  {C::GraceText, K::TextBox, C::SystemFrame, 35, "", "", {1320, 300, 1215, 315}, kNormal},
  {C::Ok, K::Button, C::Dialog, 36, "&OK", "", {1860, 7380, 915, 435}, kNormal,
   kSystemWindowText, kSystemWindowText, false, false, true},
  {C::Cancel, K::Button, C::Dialog, 37, "&Cancel", "", {2880, 7380, 915, 435}, kNormal,
   kSystemWindowText, kSystemWindowText, false, false, false, true},
  {C::InfoToggle, K::Button, C::Dialog, 38, ">>>", "", {3900, 7380, 915, 435}, kMore},
  {C::InfoPanel, K::Frame, C::Dialog, 39, "Info", "", {4980, 120, 4755, 7695}, kNormal},
  {C::ProgramNameLabel, K::Label, C::InfoPanel, 40, "", "", {180, 240, 4395, 435}, kTitle,
   kSystemWindowText, kSystemWindowText, true},
  {C::VersionLabel, K::Label, C::InfoPanel, 41, "", "", {180, 660, 4395, 435}, kTitle,
   kSystemWindowText, kSystemWindowText, true},
  // The preview's tooltip is where the overlay keys are told: the help label's text is fixed.
  {C::Preview, K::PictureBox, C::InfoPanel, 42, "",
   "Arrow keys step through the pictures; F7 then F8 shows or hides the overlay.",
   {180, 1080, 4395, 3295}, kNormal,
   kSystemWindowText, 0x000000},
  {C::AboutLink, K::Label, C::InfoPanel, 43, "", "", {60, 7290, 4635, 315}, kLink,
   0xFF0000, kSystemWindowText, true, false, false, false, true},
  {C::HelpLabel, K::Label, C::InfoPanel, 44, kHelpText, "", {210, 4440, 4215, 615}, kNormal},
  {C::ShowFrame, K::Frame, C::InfoPanel, 45, "Show", "", {180, 5100, 4395, 1035}, kNormal},
  {C::TransitionLabel, K::Label, C::ShowFrame, 46, "Fa&de", "", {120, 300, 975, 255}, kNormal},
  {C::TransitionCombo, K::ComboBox, C::ShowFrame, 47, "", "", {1110, 240, 1575, 315}, kNormal},
  {C::MotionLabel, K::Label, C::ShowFrame, 48, "Pa&n and zoom", "", {2760, 300, 1275, 255}, kNormal},
  {C::MotionCheck, K::CheckBox, C::ShowFrame, 49, "", "", {4080, 300, 195, 195}, kNormal},
  {C::CaptionTextLabel, K::Label, C::ShowFrame, 50, "Caption te&xt", "", {120, 660, 975, 255}, kNormal},
  {C::CaptionTextCombo, K::ComboBox, C::ShowFrame, 51, "", "", {1110, 600, 1575, 315}, kNormal},
  {C::BackdropLabel, K::Label, C::ShowFrame, 52, "Soft bac&kground", "", {2760, 660, 1275, 255}, kNormal},
  {C::BackdropCheck, K::CheckBox, C::ShowFrame, 53, "", "", {4080, 660, 195, 195}, kNormal},
  {C::ChangelogText, K::TextBox, C::InfoPanel, 54, "", "", {180, 6450, 4365, 645}, kNormal,
   kSystemWindowText, kSystemButtonFace, false, true},
  {C::ChangelogLabel, K::Label, C::InfoPanel, 55, "ChangeLog:", "", {180, 6180, 4365, 255}, kNormal},
};
// clang-format on

bool TakesFocus(const ControlInfo& info) {
  return info.tab_index >= 0 && info.kind != ControlKind::Label && info.kind != ControlKind::Frame;
}

}  // namespace

// The dialog itself, for code that walks up the containers.
const ControlInfo kDialogInfo = {C::Dialog, K::Frame, C::Dialog, -1, "", "", {0, 0, kClientWidthAtOpen, kClientHeight},
                                 kNormal};

const ControlInfo& InfoOf(ControlId id) {
  const int index = IndexOf(id);
  return index >= 0 && index < kControlCount ? kControls[index] : kDialogInfo;
}

const ControlInfo* AllControls() { return kControls; }

char AccessKeyOf(ControlId id) {
  if (id == ControlId::Dialog) return 0;
  const char* amp = std::strchr(InfoOf(id).text, '&');
  if (!amp || amp[1] == '\0') return 0;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(amp[1])));
}

ControlId AccessKeyTarget(ControlId label) {
  if (label == ControlId::Dialog || InfoOf(label).kind != ControlKind::Label || AccessKeyOf(label) == 0) {
    return ControlId::Dialog;
  }
  for (int i = IndexOf(label) + 1; i < kControlCount; ++i) {
    if (TakesFocus(kControls[i])) return kControls[i].id;
  }
  return ControlId::Dialog;
}

ControlId AccessKeyFocus(char letter, ControlId focus, const std::function<bool(ControlId)>& can_focus) {
  const int start = focus == ControlId::Dialog ? kControlCount - 1 : IndexOf(focus);
  for (int step = 1; step <= kControlCount; ++step) {
    const ControlId label = kControls[(start + step) % kControlCount].id;
    if (AccessKeyOf(label) != letter) continue;
    const ControlId target = AccessKeyTarget(label);
    if (target != ControlId::Dialog && can_focus(target)) return target;
  }
  return ControlId::Dialog;
}
