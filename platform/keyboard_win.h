#pragma once
// The keyboard's modifier state as forms receive it in key and mouse events.
#include <windows.h>

// Shift, Ctrl and Alt held now, as the events' shift mask (1, 2, 4).
inline int ShiftState() {
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}
