// The input box: a modal dialog (DialogBoxIndirectParam, so the owner is
// disabled and Enter / Esc work as in any dialog) laid out like the classic
// one: the prompt at the top left, OK and Cancel at the top right, the text
// field across the bottom.
#include "options/input_box_win.h"

#include <algorithm>

#include "options/dialog_util_win.h"

namespace {

// Layout in twips, converted for the screen's DPI.
constexpr int kMargin = 120;
constexpr int kClientWidth = 5400;
constexpr int kButtonWidth = 1095;
constexpr int kButtonHeight = 345;
constexpr int kButtonGap = 90;
constexpr int kTextHeight = 315;
constexpr double kFontPoints = 8.25;

struct InputBoxState {
  std::string prompt, title, default_text;
  std::string result;
  bool accepted = false;
  HWND owner = nullptr;
  HFONT font = nullptr;
  ScreenDpi dpi;
};

int PromptHeight(HWND dialog, HFONT font, const std::string& text, int width) {
  HDC dc = GetDC(dialog);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r{0, 0, width, 0};
  DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_LEFT);
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
  return r.bottom;
}

HWND AddControl(HWND dialog, const char* window_class, const char* text, DWORD style, DWORD ex_style, RECT r,
                int id, HFONT font) {
  HWND control = CreateWindowExA(ex_style, window_class, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

// Over the middle of the owner, or of the work area when there is none,
// and wholly on the work area.
void Centre(HWND dialog, HWND owner) {
  RECT work{}, around{}, self{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  if (!owner || !GetWindowRect(owner, &around)) around = work;
  GetWindowRect(dialog, &self);
  const int width = self.right - self.left, height = self.bottom - self.top;
  int x = (around.left + around.right - width) / 2;
  int y = (around.top + around.bottom - height) / 2;
  x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - width));
  y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - height));
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Build(HWND dialog, InputBoxState& s) {
  auto px = [&](int twips) { return TwipsToPixels(twips, s.dpi.x); };
  auto py = [&](int twips) { return TwipsToPixels(twips, s.dpi.y); };
  const std::string prompt = PromptLines(s.prompt);
  const int width = px(kClientWidth);
  const int mx = px(kMargin), my = py(kMargin);
  const int prompt_width = px(kClientWidth - 3 * kMargin - kButtonWidth);
  const int prompt_height = PromptHeight(dialog, s.font, prompt, prompt_width);
  const int button_left = width - mx - px(kButtonWidth);
  const int button_height = py(kButtonHeight);
  const int cancel_top = my + button_height + py(kButtonGap);
  const int text_top = std::max(my + prompt_height, cancel_top + button_height) + my;
  const int text_bottom = text_top + py(kTextHeight);

  AddControl(dialog, "STATIC", prompt.c_str(), SS_LEFT | SS_NOPREFIX, 0,
             RECT{mx, my, mx + prompt_width, my + prompt_height}, kInputBoxPromptId, s.font);
  HWND text = AddControl(dialog, "EDIT", s.default_text.c_str(), ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP,
                         WS_EX_CLIENTEDGE, RECT{mx, text_top, width - mx, text_bottom}, kInputBoxTextId, s.font);
  AddControl(dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0,
             RECT{button_left, my, width - mx, my + button_height}, IDOK, s.font);
  AddControl(dialog, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0,
             RECT{button_left, cancel_top, width - mx, cancel_top + button_height}, IDCANCEL, s.font);

  SetWindowTextA(dialog, s.title.c_str());
  SetClientPixels(dialog, width, text_bottom + my);
  Centre(dialog, s.owner);
  SendMessageA(text, EM_SETSEL, 0, -1);
  SetFocus(text);
}

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lparam);
    Build(dialog, *reinterpret_cast<InputBoxState*>(lparam));
    return FALSE;  // the focus is in the text field already
  }
  auto* s = reinterpret_cast<InputBoxState*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!s || message != WM_COMMAND) return FALSE;
  switch (LOWORD(wparam)) {
    case IDOK:
      s->result = WindowText(GetDlgItem(dialog, kInputBoxTextId));
      s->accepted = true;
      EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL:  // the Cancel button, Esc and the close box
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

std::string PromptLines(const std::string& prompt) {
  std::string lines;
  lines.reserve(prompt.size() + 8);
  for (size_t i = 0; i < prompt.size(); ++i) {
    const char c = prompt[i];
    if (c == '\r' || c == '\n') {
      lines += "\r\n";
      if (c == '\r' && i + 1 < prompt.size() && prompt[i + 1] == '\n') ++i;
    } else {
      lines += c;
    }
  }
  return lines;
}

std::string ShowInputBox(HWND owner, const std::string& prompt, const std::string& title,
                         const std::string& default_text) {
  InputBoxState state;
  state.prompt = prompt;
  state.title = title;
  state.default_text = default_text;
  state.owner = owner;
  state.dpi = QueryScreenDpi();
  state.font = CreatePointFont("MS Sans Serif", kFontPoints, false, false, state.dpi.y);
  const DialogTemplate form(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, nullptr);
  DialogBoxIndirectParamA(GetModuleHandleA(nullptr), form.Get(), owner, &InputBoxProc,
                          reinterpret_cast<LPARAM>(&state));
  DeleteObject(state.font);
  return state.accepted ? state.result : "";
}
