#pragma once
// Picture decoding for the Cairo canvas (Linux): JPEG through libjpeg-turbo
// with DCT scaling (a 24-megapixel photo drawn on a 1080p screen is decoded
// at half its size), PNG, GIF and BMP reduced while they are read,
// metafiles played aside. Memory stays within the decode budget whatever a
// header claims. Safe on any thread.
#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstddef>

#include "render/picture_file.h"

// Leaves gdk-pixbuf only the loaders of the five formats, so no other loader
// ever runs in this process (called once at start-up).
void RestrictPixbufLoaders();

// The memory decoding this picture to the target takes, counted from its
// header: every buffer the decoder and its library allocate (rows, tables,
// what it holds of the whole picture, the output). More than
// kDecodeBudgetBytes when the picture cannot be decoded within it.
std::size_t DecodeWorkingBytes(const PictureHeader& header, int target_width, int target_height);

// Decodes the picture the header describes, reduces it to target_width x
// target_height where it is larger (never enlarged: Cairo does that while
// drawing) and turns it upright (the target is the upright size). Null when
// the file cannot be decoded, no longer says what the header says, or does
// not fit the budget. The caller destroys the surface.
cairo_surface_t* DecodeCairoPicture(PictureFile& file, const PictureHeader& header, int target_width,
                                    int target_height);

// A Cairo image surface holding the pixbuf's pixels (alpha premultiplied).
// Works without a display, unlike gdk_cairo_surface_create_from_pixbuf.
// Null when the surface cannot be made.
cairo_surface_t* SurfaceFromPixbuf(const GdkPixbuf* pixbuf);
