#pragma once
// Picture decoding for the Cairo canvas (Linux): JPEG through libjpeg-turbo
// with DCT scaling (a 24-megapixel photo drawn on a 1080p screen is decoded
// at half its size), every other format through gdk-pixbuf. Memory stays
// within kPictureBudgetPixels whatever a header claims.
#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <string>

enum class CairoDecoder { None, Jpeg, Pixbuf, Wmf };

struct CairoPictureInfo {
  CairoDecoder decoder = CairoDecoder::None;  // None: not a picture we can decode
  int width = 0, height = 0;                  // the picture's own size, upright
  int orientation = 1;                        // JPEG: EXIF orientation of the stored pixels
};

// The picture's format, upright size and orientation, from its header only.
CairoPictureInfo ProbeCairoPicture(const std::string& path);

// Decodes the picture, scales it down to target_width x target_height where
// it is larger (never up: Cairo enlarges while drawing) and turns it upright. Null when the
// file cannot be decoded or does not fit the budget. The caller destroys it.
cairo_surface_t* DecodeCairoPicture(const std::string& path, const CairoPictureInfo& info, int target_width,
                                    int target_height);

// A Cairo image surface holding the pixbuf's pixels (alpha premultiplied).
// Works without a display, unlike gdk_cairo_surface_create_from_pixbuf.
// Null when the surface cannot be made.
cairo_surface_t* SurfaceFromPixbuf(const GdkPixbuf* pixbuf);
