#pragma once
#include <gtk/gtk.h>

#include <memory>

#include "options/options_window.h"

class OptionsDialog;

std::unique_ptr<OptionsWindow> CreatePlatformOptionsWindow(OptionsDialog& dialog);

// For tests: the widget that shows a control (the tree view of a list, the
// entry of a text box ...); null for a window that is not a GTK options window.
GtkWidget* GtkOptionsWidget(OptionsWindow& window, ControlId id);
