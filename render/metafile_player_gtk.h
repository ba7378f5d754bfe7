#pragma once
// Metafiles are played by gdk-pixbuf's loader, whose player keeps about
// eight bytes of every pixel it draws after it is done (docs/memory.md), and
// is old code reading untrusted files. So each
// metafile is played in a child process of this same program, which hands
// back the pixels and exits, taking whatever the player kept with it; one
// that plays past its deadline is killed.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <chrono>

#include "render/picture_file.h"

// The metafile played at width x height; null when it cannot be played or
// is not played within `deadline`.
GdkPixbuf* PlayMetafileAside(PictureFile& file, int width, int height,
                             std::chrono::milliseconds deadline = std::chrono::seconds(10));
