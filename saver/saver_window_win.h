#pragma once
// Win32 saver window.
#include <memory>

#include "saver/saver_window.h"

std::unique_ptr<SaverWindow> CreateWin32SaverWindow(SaverWindowEvents& events);
