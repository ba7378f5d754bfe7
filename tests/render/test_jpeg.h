#pragma once
// JPEGs for tests on both platforms, and EXIF blocks with an orientation.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace test_jpeg {

// The payload of an EXIF APP1 segment: IFD0 with the orientation tag alone,
// in big-endian ("MM") or little-endian ("II") order.
inline std::string ExifPayload(int orientation, bool big_endian = true, const std::string& taken = {}) {
  std::string s("Exif\0\0", 6);
  s += big_endian ? "MM" : "II";
  const auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += char(v >> 8 * (big_endian ? bytes - 1 - i : i));
  };
  put(42, 2), put(8, 4);                                                       // IFD0 right after the header
  put(taken.empty() ? 1 : 2, 2), put(0x0112, 2), put(3, 2), put(1, 4), put(orientation, 2), put(0, 2);  // a SHORT
  if (!taken.empty()) put(0x8769, 2), put(4, 2), put(1, 4), put(38, 4);        // the Exif IFD at 38
  put(0, 4);                                                                   // no next IFD
  if (!taken.empty()) {  // DateTimeOriginal, its 20 characters at 56
    put(1, 2), put(0x9003, 2), put(2, 2), put(20, 4), put(56, 4), put(0, 4);
    s += (taken + std::string(20, '\0')).substr(0, 20);
  }
  return s;
}

// Progressive: a picture of 8 x 8 whose frame claims w x h (its decoder must
// hold every coefficient: the budget refuses it from its header alone).
// AdobeCmyk: four inks, stored inverted as Adobe's programs do.
enum class Kind { Baseline, Progressive, AdobeCmyk };

// A w x h JPEG by libjpeg, 4:4:4 at quality 100, of colour(x, y) (0xRRGGBB),
// grey without it. app1: the payload of an APP1 segment after the start marker.
inline std::string Jpeg(int w, int h, const std::function<std::uint32_t(int, int)>& colour = {},
                        const std::string& app1 = {}, Kind kind = Kind::Baseline) {
  const bool cmyk = kind == Kind::AdobeCmyk, progressive = kind == Kind::Progressive;
  jpeg_compress_struct info{};
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* bytes = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &bytes, &size);
  info.image_width = progressive ? 8 : w, info.image_height = progressive ? 8 : h;
  info.input_components = cmyk ? 4 : 3;
  info.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  for (int c = 0; c < info.num_components; ++c) info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  if (!app1.empty()) jpeg_write_marker(&info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(app1.data()), app1.size());
  std::vector<JSAMPLE> row(info.image_width * info.input_components);
  for (JSAMPROW rows[] = {row.data()}; info.next_scanline < info.image_height; jpeg_write_scanlines(&info, rows, 1))
    for (JDIMENSION x = 0; x < info.image_width; ++x) {
      const std::uint32_t c = colour ? colour(x, info.next_scanline) : 0x808080;
      const JSAMPLE rgbk[] = {JSAMPLE(c >> 16), JSAMPLE(c >> 8), JSAMPLE(c), 255};  // inverted: no ink is 255
      std::copy_n(rgbk, info.input_components, &row[x * info.input_components]);
    }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string out(reinterpret_cast<char*>(bytes), size);
  std::free(bytes);
  if (progressive)  // the frame's height and width, after its marker, length and precision
    for (std::size_t at = out.find("\xFF\xC2") + 5, i = 0; i < 4; ++i)
      out[at + i] = char((i < 2 ? h : w) >> (i % 2 ? 0 : 8));
  return out;
}

// Where the stored pixel (x, y) shows in the upright picture of upright_w x
// upright_h, in EXIF's own terms: for each orientation, which side of the
// upright picture the stored first row and first column are.
struct Position {
  int x, y;
};
inline Position UprightOf(int orientation, int x, int y, int upright_w, int upright_h) {
  // {first row on a side (left/right), not a top/bottom; first row at the far side; first column at the far side}
  static const bool sides[9][3] = {{},        {0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0},
                                   {1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}};
  const bool* s = sides[orientation];
  if (!s[0]) return {s[2] ? upright_w - 1 - x : x, s[1] ? upright_h - 1 - y : y};
  return {s[1] ? upright_w - 1 - y : y, s[2] ? upright_h - 1 - x : x};
}

// A JPEG stored in the given orientation whose upright picture, of
// upright_w x upright_h, is colour(x, y).
inline std::string OrientedJpeg(int orientation, int upright_w, int upright_h,
                                const std::function<std::uint32_t(int, int)>& colour, bool big_endian = true) {
  const bool swap = orientation >= 5;
  return Jpeg(
      swap ? upright_h : upright_w, swap ? upright_w : upright_h,
      [&](int x, int y) {
        const Position p = UprightOf(orientation, x, y, upright_w, upright_h);
        return colour(p.x, p.y);
      },
      ExifPayload(orientation, big_endian));
}

}  // namespace test_jpeg
