// Monitor discovery over the real Windows display port (user32).
#include <windows.h>

#include "startup/expected_monitors.h"

TEST(Win32Display, FindsTheMonitorsOfTheDesktop) { ExpectPlatformMonitors(); }
