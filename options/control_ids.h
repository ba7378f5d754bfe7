#pragma once
// The options dialog's controls: one id per control, and the fixed facts a
// platform dialog needs to build it (kind, container, texts, tooltip, place in
// twips, tab index, font). The changing state lives in the view-model
// (options_dialog.h); this table never changes.
#include <cstdint>
#include <functional>

// The enumerators follow the tab order; the two colour swatches take no focus.
enum class ControlId : int {
  OptionsFrame,
  IntervalLabel,
  IntervalCombo,
  IncludeLabel,
  IncludeList,
  AddIncludeWithPicker,
  RemoveInclude,
  MoveIncludeUp,
  MoveIncludeDown,
  AddIncludeByPath,
  SubfoldersLabel,
  SubfoldersCheck,
  RandomLabel,
  RandomCheck,
  ExcludeLabel,
  ExcludeList,
  AddExcludeWithPicker,
  RemoveExclude,
  AddExcludeByPath,
  SizeFilterLabel,
  SizeFilterCombo,
  AspectFilterLabel,
  AspectFilterCombo,
  ScaleModeLabel,
  ScaleModeCombo,
  CaptionLabel,
  CaptionCombo,
  ResolutionLabel,
  ResolutionCheck,
  TextColourLabel,
  TextColourSwatch,
  PickTextColour,
  BorderColourLabel,
  BorderColourSwatch,
  PickBorderColour,
  SystemFrame,
  GraceLabel,
  GraceText,
  Ok,
  Cancel,
  InfoToggle,
  InfoPanel,
  ProgramNameLabel,
  VersionLabel,
  Preview,
  AboutLink,
  HelpLabel,
  ShowFrame,  // on the Info panel, beside the live preview that shows its effect
  TransitionLabel,
  TransitionCombo,
  MotionLabel,
  MotionCheck,
  CaptionTextLabel,
  CaptionTextCombo,
  BackdropLabel,
  BackdropCheck,
  ChangelogText,
  ChangelogLabel,
  Dialog,  // the dialog itself: the container of the three frames and the buttons
};

inline constexpr int kControlCount = static_cast<int>(ControlId::Dialog);

enum class ControlKind {
  Frame,     // a captioned group box
  Label,     // static text; "&" marks its access key
  ComboBox,  // a drop-down list: the user can only pick an item
  ListBox,   // single selection
  Button,
  CheckBox,  // no text of its own: the label in front names it
  TextBox,
  Shape,       // a filled rectangle showing a colour
  PictureBox,  // the live preview surface
};

// Twips (1440 an inch) to pixels at `dpi` dots per inch, halves rounded up.
inline int TwipsToPixels(int twips, double dpi) {
  if (!(dpi > 0)) dpi = 96;
  const double pixels = twips * dpi / 1440.0;
  return static_cast<int>(pixels < 0 ? pixels - 0.5 : pixels + 0.5);
}

struct TwipsRect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct FontSpec {
  const char* face = "MS Sans Serif";
  double points = 8.25;
  bool bold = false;
  bool underline = false;
};

// Colours: 0x00BBGGRR values, or one of these system colours.
inline constexpr std::int32_t kSystemWindowText = -1;  // the platform's default
inline constexpr std::int32_t kSystemButtonFace = -2;

struct ControlInfo {
  ControlId id;
  ControlKind kind;
  ControlId container;  // a frame, or ControlId::Dialog
  int tab_index;        // 0..55; -1 for the shapes
  const char* text;     // initial caption or text ("" when set at load)
  const char* tooltip;  // "" when none
  TwipsRect rect;       // relative to the container
  FontSpec font;
  std::int32_t fore_color = kSystemWindowText;
  std::int32_t back_color = kSystemWindowText;
  bool centred = false;         // labels: centred text
  bool multiline = false;       // text boxes: several lines with a vertical scroll bar, read-only
  bool default_button = false;  // Enter
  bool cancel_button = false;   // Esc
  bool link = false;            // shows a hand pointer; double-click opens it
};

// The dialog's client area at open (the left column only), in twips.
inline constexpr int kClientWidthAtOpen = 4980;
inline constexpr int kClientHeight = 7950;
// InfoToggle widens (and later narrows) the window by the Info panel's width
// plus this margin.
inline constexpr int kInfoPanelMargin = 120;

// ControlId::Dialog (or any id out of range) gives the dialog's own entry.
const ControlInfo& InfoOf(ControlId id);
// All controls, in tab order (index = static_cast<int>(id)).
const ControlInfo* AllControls();
// The control a label's access key moves the focus to: the next control in
// tab order that can take the focus. ControlId::Dialog for a control that is
// not a label with an access key.
ControlId AccessKeyTarget(ControlId label);
// The control Alt + letter moves the focus to: the target of the first
// label with that access key after the focus in tab order (from the start
// when nothing has it), wrapping, passing over targets that cannot take the
// focus now (can_focus false: disabled or hidden), so labels that share a
// letter take turns. ControlId::Dialog when no label's target can take it.
ControlId AccessKeyFocus(char letter, ControlId focus, const std::function<bool(ControlId)>& can_focus);
// The access-key letter of a label ("&Interval:" gives 'I'), upper-cased; 0 when none.
char AccessKeyOf(ControlId id);
inline int IndexOf(ControlId id) { return static_cast<int>(id); }
