#pragma once
// Small Win32 helpers shared by the options dialog and the input box: the
// screen's DPI, twips to pixels, point-size fonts and in-memory dialog
// templates (so neither dialog needs a resource script).
#include <windows.h>

#include "options/control_ids.h"
#include "platform/keyboard_win.h"

#include <string>
#include <vector>

struct ScreenDpi {
  int x = 96;
  int y = 96;
};

// The screen's logical DPI (GetDeviceCaps LOGPIXELSX / LOGPIXELSY).
ScreenDpi QueryScreenDpi();


// A font of `points` size (fractions allowed: 8.25, 9.75, 13.5) for a
// screen of `dpi`. Symbol fonts such as "Marlett" get the symbol character
// set, so their letters map to their glyphs. The caller deletes the font.
HFONT CreatePointFont(const char* face, double points, bool bold, bool underline, int dpi);

// A dialog template with no controls (the dialog creates its own in code).
// `class_name` is a registered dialog class (cbWndExtra = DLGWINDOWEXTRA,
// window procedure DefDlgProc), or null for the system dialog class.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, DWORD ex_style, const wchar_t* class_name);
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  std::vector<WORD> words_;  // WORD-aligned, as the template format requires
};

// The text of a window (GetWindowTextA), any length.
std::string WindowText(HWND window);

// Resizes `window` so that its client area is width x height pixels,
// keeping its top-left corner.
void SetClientPixels(HWND window, int width, int height);
