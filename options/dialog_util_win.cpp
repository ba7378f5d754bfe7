#include "options/dialog_util_win.h"

#include <cmath>
#include <cstring>

ScreenDpi QueryScreenDpi() {
  ScreenDpi dpi;
  HDC screen = GetDC(nullptr);
  if (!screen) return dpi;
  const int x = GetDeviceCaps(screen, LOGPIXELSX);
  const int y = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (x > 0) dpi.x = x;
  if (y > 0) dpi.y = y;
  return dpi;
}

HFONT CreatePointFont(const char* face, double points, bool bold, bool underline, int dpi) {
  const bool symbol = std::strcmp(face, "Marlett") == 0;
  // A negative height asks for the character height (the em), as point sizes mean.
  const int height = -static_cast<int>(std::lround(points * dpi / 72.0));
  return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline ? TRUE : FALSE, FALSE,
                     symbol ? SYMBOL_CHARSET : DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

DialogTemplate::DialogTemplate(DWORD style, DWORD ex_style, const wchar_t* class_name) {
  DLGTEMPLATE head{};
  head.style = style;
  head.dwExtendedStyle = ex_style;
  head.cdit = 0;
  head.cx = 100;  // dialog units; the dialog sets its size in pixels itself
  head.cy = 100;
  words_.resize(sizeof(DLGTEMPLATE) / sizeof(WORD));
  std::memcpy(words_.data(), &head, sizeof(DLGTEMPLATE));
  words_.push_back(0);  // no menu
  if (class_name) {
    for (const wchar_t* c = class_name; *c; ++c) words_.push_back(static_cast<WORD>(*c));
  }
  words_.push_back(0);  // end of the class name (or the system dialog class)
  words_.push_back(0);  // empty title: set at load
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return "";
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

void SetClientPixels(HWND window, int width, int height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
