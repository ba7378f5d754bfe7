#pragma once
// Options window port: the platform dialog that shows the options view-model
// (OptionsDialog, options_dialog.h) and forwards the user's actions to it.
// UI thread only.
//
// CONTRACT FOR A PLATFORM DIALOG (options_window_win.cpp, options_window_gtk.cpp)
//
// Creation. CreatePlatformOptionsWindow(dialog) builds the window and every
// control of the table in control_ids.h: kind, container, initial text,
// tooltip, place in twips (15 twips per pixel at 96 dpi; convert with the
// screen's DPI, or use a native layout that keeps the tab order), tab order,
// access keys ("&" in the text), font, colours, default (Ok) and cancel
// (Cancel) buttons. It then reads each control's current state with
// dialog.Control(id) and the client size with dialog.ClientWidthTwips() /
// ClientHeightTwips(). The window is created hidden; the view-model fills the
// controls right after creation and shows the window with Show().
//
// State out (view-model -> window). The view-model owns the state of every
// control (ControlState below). Whenever it changes any part of it, from its
// load or from any handler, it calls ControlChanged(id, aspects) with the
// parts that changed (ControlAspect bits); the window then reads
// dialog.Control(id) and updates that widget. It never reports back a value
// the user has just entered: the widget already shows it. The window must not
// raise user events while it applies a change (block its own signals, or rely
// on the view-model ignoring an event that repeats the current value). Lists
// and combo boxes: `items` are the lines; `selected` is the selected line, -1
// for none. Check boxes: `checked`. Labels, buttons, frames: `text` is the
// caption. Text boxes: `text`. Shapes: `color` fills the rectangle. Every
// control can be enabled or disabled; InfoPanel is the one control whose
// `visible` changes; a hidden frame hides its children.
//
// Window effects (view-model -> window): SetCaption (at load), SetClientSize
// (InfoToggle widens and narrows the client area, in twips; keep the left
// edge), FocusControl (moves the keyboard focus), Surface() (the preview's
// picture box, which the show draws into and refreshes; it keeps its last
// frame and repaints it), SetOwner / MoveTo / Show (start-up places the dialog).
//
// Events in (window -> view-model), each only for a user's action:
//   OnClick(id)               a button
//   OnSelect(id, index)       a line of a list or combo box (-1: none)
//   OnCheck(id, checked)      a check box
//   OnTextChange(id, text)    GraceText, on every edit
//   OnKeyDown(Preview, key, shift)
//                             while the preview has the focus; it takes every
//                             key, Enter, arrows and function keys included
//                             (Linux maps GDK key values to Windows
//                             virtual-key codes)
//   OnDoubleClick(AboutLink)
//   Close()                   the close box (ends the process; so do OK and Cancel)
// Enter elsewhere clicks Ok, Esc clicks Cancel. Events for disabled or hidden
// controls are ignored. A handler may open modal dialogs (DialogServices) and
// message boxes, and OK, Cancel and the close box end the process from
// inside the call.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "options/control_ids.h"
#include "platform/window_system.h"

class OptionsDialog;
class PictureBox;

// The changing state of one control.
struct ControlState {
  bool enabled = true;
  bool visible = true;
  bool checked = false;            // check boxes
  std::vector<std::string> items;  // list and combo boxes
  int selected = -1;               // list and combo boxes: -1 = no selection
  std::string text;                // caption (labels, buttons, frames) or text (text boxes)
  std::int32_t color = 0;          // shapes: fill colour, 0x00BBGGRR
};

// Which parts of a ControlState changed.
enum ControlAspect : unsigned {
  kAspectEnabled = 1u << 0,
  kAspectVisible = 1u << 1,
  kAspectChecked = 1u << 2,
  kAspectItems = 1u << 3,  // lines added or removed (the selection may follow)
  kAspectSelection = 1u << 4,
  kAspectText = 1u << 5,
  kAspectColor = 1u << 6,
  kAspectAll = 0x7Fu,
};

class OptionsWindow {
 public:
  virtual ~OptionsWindow() = default;
  virtual WindowHandle Handle() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // SetWindowLongA(window, GWL_HWNDPARENT, owner): the dialog is owned by that window.
  virtual void SetOwner(WindowHandle owner) = 0;
  // SetWindowPos(window, HWND_NOTOPMOST, x, y, 0, 0, SWP_NOSIZE), in pixels.
  virtual void MoveTo(int x, int y) = 0;
  // The window's outer size in pixels.
  virtual int OuterWidth() const = 0;
  virtual int OuterHeight() const = 0;
  // Shows the dialog modeless.
  virtual void Show() = 0;
  // The live preview's picture box; null when it has no surface.
  virtual PictureBox* Surface() = 0;

  // Parts of a control's state changed: read dialog.Control(id).
  virtual void ControlChanged(ControlId id, unsigned aspects) = 0;
  // The client area's new size, in twips.
  virtual void SetClientSize(int width_twips, int height_twips) = 0;
  // Moves the keyboard focus to the control.
  virtual void FocusControl(ControlId id) = 0;
};

using OptionsWindowFactory = std::function<std::unique_ptr<OptionsWindow>(OptionsDialog&)>;

std::unique_ptr<OptionsWindow> CreatePlatformOptionsWindow(OptionsDialog& dialog);
