#pragma once
#include <memory>

#include "options/options_window.h"

class OptionsDialog;

std::unique_ptr<OptionsWindow> CreateGtkOptionsWindow(OptionsDialog& dialog);
