#include "options/control_widgets_win.h"

#include <cstring>

#include "options/dialog_util_win.h"

namespace {

bool HasAccessKey(const ControlInfo& info) { return std::strchr(info.text, '&') != nullptr; }

DWORD LabelStyle(const ControlInfo& info) {
  DWORD style = info.centred ? SS_CENTER : SS_LEFT;
  // Texts set at load (names, the link) show an "&" as it is.
  if (!HasAccessKey(info)) style |= SS_NOPREFIX;
  if (info.link) style |= SS_NOTIFY;  // double-clicks and its own cursor
  return style;
}

DWORD TextBoxStyle(const ControlInfo& info) {
  if (info.multiline) return ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL;
  return ES_AUTOHSCROLL;
}

// Long network paths can be scrolled into view: the list scrolls sideways
// as far as its widest line needs (the bar shows only then).
void FitHorizontalExtent(HWND list, const std::vector<std::string>& items) {
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  for (const std::string& item : items) {
    SIZE size{};
    GetTextExtentPoint32A(dc, item.c_str(), static_cast<int>(item.size()), &size);
    if (size.cx > widest) widest = size.cx;
  }
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 4), 0);
}

bool SameFont(const FontSpec& a, const FontSpec& b) {
  return std::strcmp(a.face, b.face) == 0 && a.points == b.points && a.bold == b.bold && a.underline == b.underline;
}

}  // namespace

WidgetClass WidgetClassOf(const ControlInfo& info) {
  switch (info.kind) {
    case ControlKind::Frame: return {"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::Label: return {"STATIC", LabelStyle(info), 0};
    case ControlKind::ComboBox: return {"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 0};
    case ControlKind::ListBox:
      return {"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Button:
      return {"BUTTON", static_cast<DWORD>(info.default_button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0};
    case ControlKind::CheckBox: return {"BUTTON", BS_AUTOCHECKBOX, 0};
    case ControlKind::TextBox: return {"EDIT", TextBoxStyle(info), WS_EX_CLIENTEDGE};
    case ControlKind::Shape: return {"STATIC", SS_OWNERDRAW, 0};
    case ControlKind::PictureBox: return {kPreviewBoxClass, 0, WS_EX_CLIENTEDGE};
  }
  return {"STATIC", 0, 0};
}

bool IsTabStop(const ControlInfo& info) {
  return info.tab_index >= 0 && info.kind != ControlKind::Frame && info.kind != ControlKind::Label &&
         info.kind != ControlKind::Shape;
}

void WriteItems(HWND widget, ControlKind kind, const ControlState& state) {
  if (kind != ControlKind::ListBox && kind != ControlKind::ComboBox) return;
  const bool list = kind == ControlKind::ListBox;
  SendMessageA(widget, WM_SETREDRAW, FALSE, 0);
  SendMessageA(widget, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
  for (const std::string& item : state.items) {
    SendMessageA(widget, list ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  if (list) FitHorizontalExtent(widget, state.items);
  WriteSelection(widget, kind, state);
  SendMessageA(widget, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(widget, nullptr, TRUE);
}

void WriteSelection(HWND widget, ControlKind kind, const ControlState& state) {
  if (kind == ControlKind::ListBox) SendMessageA(widget, LB_SETCURSEL, static_cast<WPARAM>(state.selected), 0);
  if (kind == ControlKind::ComboBox) SendMessageA(widget, CB_SETCURSEL, static_cast<WPARAM>(state.selected), 0);
}

void WriteText(HWND widget, ControlKind kind, const ControlState& state) {
  switch (kind) {
    case ControlKind::Label:
    case ControlKind::Button:
    case ControlKind::Frame:
    case ControlKind::TextBox:
      if (WindowText(widget) != state.text) SetWindowTextA(widget, state.text.c_str());
      return;
    default: return;
  }
}

void WriteChecked(HWND widget, ControlKind kind, const ControlState& state) {
  if (kind == ControlKind::CheckBox) SendMessageA(widget, BM_SETCHECK, state.checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SizeComboBox(HWND combo, int closed_height) {
  RECT r;
  GetWindowRect(combo, &r);
  const int field = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  const int field_wanted = field + closed_height - (r.bottom - r.top);
  if (field_wanted > 0 && field_wanted != field) {
    SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field_wanted);
  }
  const int item = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
  SetWindowPos(combo, nullptr, 0, 0, r.right - r.left, closed_height + kComboDropItems * item + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

FontSet::~FontSet() {
  for (const Entry& e : fonts_) DeleteObject(e.font);
}

HFONT FontSet::For(const FontSpec& wanted) {
  for (const Entry& e : fonts_) {
    if (SameFont(e.wanted, wanted)) return e.font;
  }
  HFONT font = CreatePointFont(wanted.face, wanted.points, wanted.bold, wanted.underline, dpi_);
  fonts_.push_back({wanted, font});
  return font;
}
