#pragma once
// Win32 event loop extras for windows that need them.
#include <windows.h>

// A modeless dialog whose keyboard navigation (Tab, Enter, Esc, access keys)
// the loop handles with IsDialogMessage. Pass nullptr to remove it.
void SetModelessDialog(HWND dialog);
