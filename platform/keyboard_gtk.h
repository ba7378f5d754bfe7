#pragma once
// GDK key values -> Windows virtual-key codes, the core's key vocabulary.
#include <gdk/gdk.h>

// The code Windows gives the key that produces keyval: letters and digits by
// their capital or digit, keypad, function, editing and punctuation keys (US
// positions) by their VK_ codes. A key without any symbol is 255, as Windows
// reports keys it has no code for; any other symbol is VK_OEM_CLEAR (0xFE).
int VirtualKeyFromGdk(guint keyval);
// As Windows codes keys by their place, not by what they type: when the
// event's symbol has no code of its own (a shifted digit, a letter of a
// non-Latin layout), the first symbol the same key has on any layout or
// level that has a code decides.
int VirtualKeyFromEvent(const GdkEventKey* event);
// GDK modifier state -> the forms' Shift argument (1 shift, 2 control, 4 alt).
int ShiftStateFromGdk(guint state);
