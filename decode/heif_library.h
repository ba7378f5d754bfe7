#pragma once
// The libheif functions the HEIF and AVIF decoder calls. Linux links
// libheif (heif_library_posix.cpp). On Windows libheif.dll, LGPL and so
// kept replaceable, is loaded when first needed (heif_library_win.cpp);
// without it HEIF and AVIF pictures are unreadable and the rest works.
#include <libheif/heif.h>

struct HeifLibrary {
  decltype(&heif_context_alloc) context_alloc;
  decltype(&heif_context_free) context_free;
  decltype(&heif_context_set_maximum_image_size_limit) set_maximum_image_size_limit;
  decltype(&heif_context_set_max_decoding_threads) set_max_decoding_threads;
  decltype(&heif_context_read_from_reader) read_from_reader;
  decltype(&heif_context_get_primary_image_handle) get_primary_image_handle;
  decltype(&heif_image_handle_release) image_handle_release;
  decltype(&heif_decoding_options_alloc) decoding_options_alloc;
  decltype(&heif_decoding_options_free) decoding_options_free;
  decltype(&heif_decode_image) decode_image;
  decltype(&heif_image_release) image_release;
  decltype(&heif_image_get_colorspace) image_colorspace;
  decltype(&heif_image_get_width) image_width;
  decltype(&heif_image_get_height) image_height;
  decltype(&heif_image_get_bits_per_pixel_range) image_bits;
  decltype(&heif_image_has_channel) image_has_channel;
  decltype(&heif_image_get_plane_readonly) image_plane;
  decltype(&heif_image_is_premultiplied_alpha) image_premultiplied;
  decltype(&heif_image_get_chroma_format) image_chroma;
  decltype(&heif_image_get_nclx_color_profile) image_nclx;
  decltype(&heif_nclx_color_profile_free) nclx_free;
};

// Null when libheif cannot be had. Safe on any thread.
const HeifLibrary* LoadHeifLibrary();
