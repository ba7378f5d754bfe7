#pragma once
// The cursor over the program's windows. Windows keeps a display counter
// per process (ShowCursor); this mirrors it so the saver windows can follow.
#include <gdk/gdk.h>

// ShowCursor(show): adds or removes one from the counter; the cursor shows
// while the counter is 0 or more. Applies to every window already open.
void GtkShowCursor(bool show);
// Applies the current visibility to one window (call when it is realized).
void GtkApplyCursor(GdkWindow* window);
