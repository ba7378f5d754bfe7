#pragma once
#include <memory>

#include "options/options_window.h"

class OptionsDialog;

std::unique_ptr<OptionsWindow> CreatePlatformOptionsWindow(OptionsDialog& dialog);

// The control id (GetDlgItem, WM_COMMAND) of a control of the options
// window: IDOK for Ok, IDCANCEL for Cancel (so Enter and Esc reach
// them through the dialog manager), 100 + its index for the others.
int Win32ControlCommandId(ControlId id);
