#pragma once
// How each kind of control of the options table becomes a native Win32
// control: its window class, styles and fonts, and how a control's state is
// written into it. Used by the options window (options_window_win.cpp).
#include <windows.h>

#include <vector>

#include "options/control_ids.h"
#include "options/options_window.h"

struct WidgetClass {
  const char* class_name;
  DWORD style;     // besides WS_CHILD, WS_GROUP, WS_VISIBLE and WS_DISABLED
  DWORD ex_style;
};

// The preview box's own window class (registered by the options window).
inline constexpr char kPreviewBoxClass[] = "GlimmoraPreviewBox";

// Class and styles of a control of the table.
WidgetClass WidgetClassOf(const ControlInfo& info);

// Whether the user can tab to the control.
bool IsTabStop(const ControlInfo& info);

// Writes the state's text, items, selection or check mark into the widget,
// as the control's kind keeps them. Each returns without notifying.
void WriteItems(HWND widget, ControlKind kind, const ControlState& state);
void WriteSelection(HWND widget, ControlKind kind, const ControlState& state);
void WriteText(HWND widget, ControlKind kind, const ControlState& state);
void WriteChecked(HWND widget, ControlKind kind, const ControlState& state);

// A drop-down list shows its closed field at the table's height and drops
// down this many items.
inline constexpr int kComboDropItems = 8;
void SizeComboBox(HWND combo, int closed_height);

// The fonts of the table, one per distinct FontSpec, deleted with the set.
class FontSet {
 public:
  explicit FontSet(int dpi) : dpi_(dpi) {}
  ~FontSet();
  FontSet(const FontSet&) = delete;
  FontSet& operator=(const FontSet&) = delete;
  HFONT For(const FontSpec& wanted);

 private:
  struct Entry {
    FontSpec wanted;
    HFONT font;
  };
  int dpi_;
  std::vector<Entry> fonts_;
};
