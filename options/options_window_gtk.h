#pragma once
#include <gtk/gtk.h>

#include <memory>

#include "options/options_window.h"

class OptionsDialog;

std::unique_ptr<OptionsWindow> CreatePlatformOptionsWindow(OptionsDialog& dialog);
