#pragma once
// GDK key values -> Windows virtual-key codes, the core's key vocabulary.
#include <gdk/gdk.h>

int VirtualKeyFromGdk(guint keyval);
// GDK modifier state -> the forms' Shift argument (1 shift, 2 control, 4 alt).
int ShiftStateFromGdk(guint state);
