#pragma once
// The GTK widgets of the options dialog and their native layout: the two
// frames of options and the OK row in the left column, the Info panel to
// their right. Every control of the table in control_ids.h gets its widget,
// with its initial text, access key, tooltip and font; the window
// (options_window_gtk.cpp) fills in the state and connects the events.
#include <gtk/gtk.h>

#include <array>

#include "options/control_ids.h"

struct GtkControl {
  GtkWidget* widget = nullptr;    // shows the control's state and raises its events
  GtkWidget* outer = nullptr;     // what the layout holds: the widget, or its scrolled window, frame or event box
  GtkListStore* store = nullptr;  // list boxes: one text column
};

struct OptionsLayout {
  std::array<GtkControl, kControlCount> controls{};
  GtkWidget* content = nullptr;  // the window's child; owned by the window once added
  int preview_width = 0;         // Preview, in pixels
  int preview_height = 0;

  GtkControl& operator[](ControlId id) { return controls[IndexOf(id)]; }
  const GtkControl& operator[](ControlId id) const { return controls[IndexOf(id)]; }
};

// Builds every control. Sizes given in twips (lists, swatches, the preview)
// are converted at the screen's resolution `dpi`.
OptionsLayout BuildOptionsLayout(double dpi);

// Kinds that take the keyboard focus (the table's labels, frames and shapes do not).
bool KindTakesFocus(ControlKind kind);
