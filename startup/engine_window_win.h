#pragma once
#include <memory>

#include "startup/engine_window.h"

std::unique_ptr<EngineWindow> CreateWin32EngineWindow();
