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
  {C::fraFrame0, "fraFrame(0)", K::Frame, C::Form, 0, "Glimmora Options", "", {120, 120, 4755, 6255}, kNormal},
  {C::lblDesc0, "lblDesc(0)", K::Label, C::fraFrame0, 1, "&Interval:", "", {120, 360, 735, 255}, kNormal},
  {C::cmbInterval, "cmbInterval", K::ComboBox, C::fraFrame0, 2, "", "", {1320, 300, 1275, 315}, kNormal},
  {C::lblDesc1, "lblDesc(1)", K::Label, C::fraFrame0, 3, "&Path(s):", "", {120, 720, 735, 255}, kNormal},
  {C::lstDirectory, "lstDirectory", K::ListBox, C::fraFrame0, 4, "",
   "List of folders where to search images in.", {1320, 660, 2895, 1815}, kNormal},
  {C::cmdAdd0, "cmdAdd(0)", K::Button, C::fraFrame0, 5, "+", kAddTip, {4260, 660, 315, 315}, kBoldSymbol},
  {C::cmdDel, "cmdDel", K::Button, C::fraFrame0, 6, "-", kDelTip, {4260, 1020, 315, 315}, kBoldSymbol},
  {C::cmdMove0, "cmdMove(0)", K::Button, C::fraFrame0, 7, "t", "Move up", {4260, 1380, 315, 315}, kArrow},
  {C::cmdMove1, "cmdMove(1)", K::Button, C::fraFrame0, 8, "u", "Move down", {4260, 1740, 315, 315}, kArrow},
  {C::cmdAdd1, "cmdAdd(1)", K::Button, C::fraFrame0, 9, "M", kManualTip, {4260, 2160, 315, 315}, kPlainSymbol},
  {C::lblDesc2, "lblDesc(2)", K::Label, C::fraFrame0, 10, "&Include subdirs", "", {120, 2580, 1155, 255}, kNormal},
  {C::chkRecursive, "chkRecursive", K::CheckBox, C::fraFrame0, 11, "", "", {1320, 2580, 195, 195}, kNormal},
  {C::lblDesc3, "lblDesc(3)", K::Label, C::fraFrame0, 12, "&Random", "", {3420, 2580, 735, 255}, kNormal},
  {C::chkRandom, "chkRandom", K::CheckBox, C::fraFrame0, 13, "", "", {4320, 2580, 195, 195}, kNormal},
  {C::lblDesc12, "lblDesc(12)", K::Label, C::fraFrame0, 14, "&Exclude paths", "", {120, 2940, 1095, 375}, kNormal},
  {C::lstExclude, "lstExclude", K::ListBox, C::fraFrame0, 15, "", "", {1320, 2880, 2895, 1035}, kNormal},
  {C::cmdAddExclude0, "cmdAddExclude(0)", K::Button, C::fraFrame0, 16, "+", kAddTip, {4260, 2880, 315, 315},
   kBoldSymbol},
  {C::cmdDelExclude, "cmdDelExclude", K::Button, C::fraFrame0, 17, "-", kDelTip, {4260, 3240, 315, 315}, kBoldSymbol},
  {C::cmdAddExclude1, "cmdAddExclude(1)", K::Button, C::fraFrame0, 18, "M", kManualTip, {4260, 3600, 315, 315},
   kPlainSymbol},
  {C::lblDesc10, "lblDesc(10)", K::Label, C::fraFrame0, 19, "&Big images only", "", {120, 4020, 1095, 255}, kNormal},
  {C::cmbCheckSize, "cmbCheckSize", K::ComboBox, C::fraFrame0, 20, "", "", {1320, 3960, 3255, 315}, kNormal},
  {C::lblDesc11, "lblDesc(11)", K::Label, C::fraFrame0, 21, "Aspect &ratio", "", {120, 4380, 1095, 255}, kNormal},
  {C::cmbAspectRatio, "cmbAspectRatio", K::ComboBox, C::fraFrame0, 22, "", "", {1320, 4320, 3255, 315}, kNormal},
  {C::lblDesc4, "lblDesc(4)", K::Label, C::fraFrame0, 23, "&Mode", "", {120, 4740, 735, 255}, kNormal},
  {C::cmbUpscaleMode, "cmbUpscaleMode", K::ComboBox, C::fraFrame0, 24, "", "", {1320, 4680, 3255, 315}, kNormal},
  {C::lblDesc5, "lblDesc(5)", K::Label, C::fraFrame0, 25, "Show &Filename", "", {120, 5100, 1095, 255}, kNormal},
  {C::cmbFileName, "cmbFileName", K::ComboBox, C::fraFrame0, 26, "", "", {1320, 5040, 1395, 315}, kNormal},
  {C::lblDesc9, "lblDesc(9)", K::Label, C::fraFrame0, 27, "R&esolution", "", {3420, 5100, 855, 255}, kNormal},
  {C::chkResolution, "chkResolution", K::CheckBox, C::fraFrame0, 28, "", "", {4320, 5100, 195, 195}, kNormal},
  {C::lblDesc6, "lblDesc(6)", K::Label, C::fraFrame0, 29, "&Text color", "", {120, 5460, 735, 255}, kNormal},
  {C::shpDemo0, "shpDemo(0)", K::Shape, C::fraFrame0, -1, "", "", {1320, 5400, 1095, 315}, kNormal},
  {C::cmdColor0, "cmdColor(0)", K::Button, C::fraFrame0, 30, "...", "Choose text color!", {2400, 5400, 315, 315},
   kNormal},
  {C::lblDesc7, "lblDesc(7)", K::Label, C::fraFrame0, 31, "&Border color", "", {120, 5820, 1095, 255}, kNormal},
  {C::shpDemo1, "shpDemo(1)", K::Shape, C::fraFrame0, -1, "", "", {1320, 5760, 1095, 315}, kNormal},
  {C::cmdColor1, "cmdColor(1)", K::Button, C::fraFrame0, 32, "...", "", {2400, 5760, 315, 315}, kNormal},
  {C::fraFrame1, "fraFrame(1)", K::Frame, C::Form, 33, "Main Options (Affect all screensavers and users!)", "",
   {120, 6480, 4755, 795}, kNormal},
  {C::lblDesc8, "lblDesc(8)", K::Label, C::fraFrame1, 34, "&Grace period:", "", {120, 360, 1155, 255}, kNormal},
  {C::txtGrace, "txtGrace", K::TextBox, C::fraFrame1, 35, "", "", {1320, 300, 1215, 315}, kNormal},
  {C::cmdOk, "cmdOk", K::Button, C::Form, 36, "&OK", "", {1860, 7380, 915, 435}, kNormal,
   kSystemWindowText, kSystemWindowText, false, false, true},
  {C::cmdCancel, "cmdCancel", K::Button, C::Form, 37, "&Cancel", "", {2880, 7380, 915, 435}, kNormal,
   kSystemWindowText, kSystemWindowText, false, false, false, true},
  {C::cmdMore, "cmdMore", K::Button, C::Form, 38, ">>>", "", {3900, 7380, 915, 435}, kMore},
  {C::fraFrame2, "fraFrame(2)", K::Frame, C::Form, 39, "Info", "", {4980, 120, 4755, 7695}, kNormal},
  {C::lblInfo0, "lblInfo(0)", K::Label, C::fraFrame2, 40, "", "", {180, 240, 4395, 435}, kTitle,
   kSystemWindowText, kSystemWindowText, true},
  {C::lblInfo1, "lblInfo(1)", K::Label, C::fraFrame2, 41, "", "", {180, 660, 4395, 435}, kTitle,
   kSystemWindowText, kSystemWindowText, true},
  // The preview's tooltip is where the overlay keys are told: the help label's text is fixed.
  {C::picSaver, "picSaver", K::PictureBox, C::fraFrame2, 42, "",
   "Arrow keys step through the pictures; F7 then F8 shows or hides the overlay.",
   {180, 1080, 4395, 3295}, kNormal,
   kSystemWindowText, 0x000000},
  {C::lblLink, "lblLink", K::Label, C::fraFrame2, 43, "", "", {60, 7290, 4635, 315}, kLink,
   0xFF0000, kSystemWindowText, true, false, false, false, true},
  {C::lblInfo2, "lblInfo(2)", K::Label, C::fraFrame2, 44, kHelpText, "", {210, 4440, 4215, 615}, kNormal},
  {C::txtChangelog, "txtChangelog", K::TextBox, C::fraFrame2, 45, "", "", {180, 5550, 4365, 1545}, kNormal,
   kSystemWindowText, kSystemButtonFace, false, true},
  {C::lblInfo3, "lblInfo(3)", K::Label, C::fraFrame2, 46, "ChangeLog:", "", {180, 5250, 4365, 255}, kNormal},
};
// clang-format on

bool TakesFocus(const ControlInfo& info) {
  return info.tab_index >= 0 && info.kind != ControlKind::Label && info.kind != ControlKind::Frame;
}

}  // namespace

// The dialog itself, for code that walks up the containers.
const ControlInfo kForm = {C::Form, "Form", K::Frame, C::Form, -1, "", "", {0, 0, kClientWidthAtOpen, kClientHeight},
                           kNormal};

const ControlInfo& InfoOf(ControlId id) {
  const int index = IndexOf(id);
  return index >= 0 && index < kControlCount ? kControls[index] : kForm;
}

const ControlInfo* AllControls() { return kControls; }

char AccessKeyOf(ControlId id) {
  if (id == ControlId::Form) return 0;
  const char* amp = std::strchr(InfoOf(id).text, '&');
  if (!amp || amp[1] == '\0') return 0;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(amp[1])));
}

ControlId AccessKeyTarget(ControlId label) {
  if (label == ControlId::Form || InfoOf(label).kind != ControlKind::Label || AccessKeyOf(label) == 0) {
    return ControlId::Form;
  }
  for (int i = IndexOf(label) + 1; i < kControlCount; ++i) {
    if (TakesFocus(kControls[i])) return kControls[i].id;
  }
  return ControlId::Form;
}
