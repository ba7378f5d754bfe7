#pragma once
// GTK saver window (Linux).
#include <memory>

#include "saver/saver_window.h"

std::unique_ptr<SaverWindow> CreateGtkSaverWindow(SaverWindowEvents& events);
