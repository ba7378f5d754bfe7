#include "decode/heif_library.h"

const HeifLibrary* LoadHeifLibrary() {
  static const HeifLibrary library{heif_context_alloc,
                                   heif_context_free,
                                   heif_context_set_maximum_image_size_limit,
                                   heif_context_set_max_decoding_threads,
                                   heif_context_read_from_reader,
                                   heif_context_get_primary_image_handle,
                                   heif_image_handle_release,
                                   heif_decoding_options_alloc,
                                   heif_decoding_options_free,
                                   heif_decode_image,
                                   heif_image_release,
                                   heif_image_get_colorspace,
                                   heif_image_get_width,
                                   heif_image_get_height,
                                   heif_image_get_bits_per_pixel_range,
                                   heif_image_has_channel,
                                   heif_image_get_plane_readonly,
                                   heif_image_is_premultiplied_alpha,
                                   heif_image_get_chroma_format,
                                   heif_image_get_nclx_color_profile,
                                   heif_nclx_color_profile_free};
  return &library;
}
