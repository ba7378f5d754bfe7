#pragma once
// Linux: leaves gdk-pixbuf only its metafile loader, so no other loader ever
// runs in this process (called once at start-up).
void RestrictPixbufLoaders();
