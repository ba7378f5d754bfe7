#include "platform/path_style.h"

PathStyle PlatformPathStyle() { return kWindowsPaths; }
