// Decoding behind the Cairo canvas: reduced-scale JPEG decoding, the other
// formats through gdk-pixbuf, and the pixel budget.
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "render/picture_decode_cairo.h"
#include "render/picture_header.h"

namespace {

class PictureDecodeTest : public ::testing::Test {
 protected:
  PictureDecodeTest() {
    gchar* d = g_dir_make_tmp("glimmora-decode-XXXXXX", nullptr);
    dir = std::string(d) + "/";
    g_free(d);
  }

  // Saves a w x h picture of red, green / blue, yellow quadrants (alpha from
  // alpha(x, y) where the format has it).
  std::string Save(
      const std::string& name, int w, int h, const char* type,
      std::function<int(int, int)> alpha = [](int, int) { return 255; }) {
    const bool hasAlpha = std::string(type) != "jpeg";
    const int n = hasAlpha ? 4 : 3;
    GdkPixbuf* pb = gdk_pixbuf_new(GDK_COLORSPACE_RGB, hasAlpha, 8, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const std::uint32_t c = Quadrant(x * 2 / w, y * 2 / h);
        guchar* p = gdk_pixbuf_get_pixels(pb) + y * gdk_pixbuf_get_rowstride(pb) + x * n;
        p[0] = c >> 16, p[1] = c >> 8, p[2] = c;
        if (hasAlpha) p[3] = alpha(x, y);
      }
    EXPECT_TRUE(gdk_pixbuf_save(pb, (dir + name).c_str(), type, nullptr, nullptr));
    g_object_unref(pb);
    return dir + name;
  }

  static std::uint32_t Quadrant(int col, int row) {
    static const std::uint32_t colours[2][2] = {{0xE02020, 0x20C020}, {0x2040E0, 0xF0E020}};
    return colours[row][col];
  }

  static std::uint32_t At(cairo_surface_t* s, int x, int y) {
    cairo_surface_flush(s);
    return reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(s) +
                                                  y * cairo_image_surface_get_stride(s))[x];
  }

  static bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 24) {
    for (int shift : {0, 8, 16})
      if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
        return false;
    return true;
  }

  // Decodes to target and checks the size and the quadrants' colours.
  void ExpectDecoded(const std::string& path, int targetW, int targetH, int w, int h, bool colours = true) {
    cairo_surface_t* s = DecodeCairoPicture(path, ProbeCairoPicture(path), targetW, targetH);
    ASSERT_TRUE(s) << path << " to " << targetW << "x" << targetH;
    ASSERT_EQ(cairo_image_surface_get_width(s), w);
    ASSERT_EQ(cairo_image_surface_get_height(s), h);
    for (int row = 0; colours && row < 2; ++row)
      for (int col = 0; col < 2; ++col) {
        const std::uint32_t p = At(s, (2 * col + 1) * w / 4, (2 * row + 1) * h / 4);
        EXPECT_TRUE(Near(p, Quadrant(col, row))) << std::hex << p << " " << targetW;
      }
    cairo_surface_destroy(s);
  }

  std::string dir;
};

TEST_F(PictureDecodeTest, JpegDecodedAtAReducedScaleThenToTheTarget) {
  const std::string path = Save("big.jpg", 3200, 2400, "jpeg");
  const CairoPictureInfo info = ProbeCairoPicture(path);
  EXPECT_EQ(info.Decoder, CairoDecoder::Jpeg);
  EXPECT_EQ(info.Width, 3200);  // its own size, whatever it is decoded at
  EXPECT_EQ(info.Height, 2400);
  ExpectDecoded(path, 400, 300, 400, 300);      // 1/8 exactly
  ExpectDecoded(path, 1080, 810, 1080, 810);    // 1/2, then reduced
  ExpectDecoded(path, 152, 86, 152, 86);        // a preview
  ExpectDecoded(path, 6400, 4800, 3200, 2400);  // never enlarged here: Cairo does that while drawing
  ExpectDecoded(path, 3200, 100, 3200, 100);    // stretched: each side on its own
}

TEST_F(PictureDecodeTest, ProgressiveGreyCmykAndTruncatedJpegs) {
  // gdk-pixbuf writes none of these; ImageMagick makes them from a baseline file.
  const std::string base = Save("base.jpg", 800, 600, "jpeg");
  for (const char* options : {"-interlace Plane", "-colorspace Gray", "-colorspace CMYK"}) {
    const std::string out = dir + "variant.jpg";
    if (std::system(("convert '" + base + "' " + options + " '" + out + "' 2>/dev/null").c_str()) != 0)
      GTEST_SKIP() << "ImageMagick's convert is missing";
    ASSERT_EQ(ProbeCairoPicture(out).Decoder, CairoDecoder::Jpeg) << options;
    // CMYK goes to gdk-pixbuf's loader: libjpeg-turbo makes no RGB of it.
    ExpectDecoded(out, 200, 150, 200, 150, std::string(options) == "-interlace Plane");
  }
  std::string bytes;
  std::ifstream in(base, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  std::ofstream(base, std::ios::binary | std::ios::trunc) << bytes.substr(0, bytes.size() / 3);
  cairo_surface_t* s = DecodeCairoPicture(base, ProbeCairoPicture(base), 800, 600);
  ASSERT_TRUE(s);
  EXPECT_TRUE(Near(At(s, 200, 50), 0xE02020));  // the rows that arrived
  cairo_surface_destroy(s);
}

TEST_F(PictureDecodeTest, OtherFormatsThroughGdkPixbufWithAlphaPremultiplied) {
  for (const char* type : {"png", "bmp"}) {
    const std::string path = Save(std::string("q.") + type, 64, 48, type);
    EXPECT_EQ(ProbeCairoPicture(path).Decoder, CairoDecoder::Pixbuf) << type;
    ExpectDecoded(path, 32, 24, 32, 24);
  }
  const std::string half = Save("half.png", 8, 8, "png", [](int, int) { return 0x80; });
  cairo_surface_t* s = DecodeCairoPicture(half, ProbeCairoPicture(half), 8, 8);
  ASSERT_TRUE(s);
  EXPECT_EQ(cairo_image_surface_get_format(s), CAIRO_FORMAT_ARGB32);
  EXPECT_EQ(At(s, 1, 1), 0x80701010u);  // 0xE02020 at half
  cairo_surface_destroy(s);
}

TEST_F(PictureDecodeTest, PlaceableWmfSizedByItsHeaderAndDrawnAtTheTarget) {
  // A 400 x 300 unit box at 1440 units an inch, filled by one red rectangle.
  static const char wmf[] =
      "\xD7\xCD\xC6\x9A\x00\x00\x00\x00\x00\x00\x90\x01\x2C\x01\xA0\x05\x00\x00\x00\x00\x0D\x52\x01\x00"
      "\x09\x00\x00\x03\x28\x00\x00\x00\x01\x00\x07\x00\x00\x00\x00\x00\x05\x00\x00\x00\x0B\x02\x00\x00"
      "\x00\x00\x05\x00\x00\x00\x0C\x02\x2C\x01\x90\x01\x07\x00\x00\x00\xFC\x02\x00\x00\xFF\x00\x00\x00"
      "\x00\x00\x04\x00\x00\x00\x2D\x01\x00\x00\x07\x00\x00\x00\x1B\x04\x2C\x01\x90\x01\x00\x00\x00\x00"
      "\x03\x00\x00\x00\x00\x00";
  const std::string path = dir + "red.wmf";
  std::ofstream(path, std::ios::binary) << std::string(wmf, sizeof wmf - 1);
  const CairoPictureInfo info = ProbeCairoPicture(path);
  EXPECT_EQ(info.Decoder, CairoDecoder::Wmf);
  EXPECT_EQ(info.Width, 400);
  EXPECT_EQ(info.Height, 300);
  cairo_surface_t* s = DecodeCairoPicture(path, info, 80, 60);
  ASSERT_TRUE(s) << "no WMF loader for gdk-pixbuf (libwmf-0.2-7-gtk)";
  ASSERT_EQ(cairo_image_surface_get_width(s), 80);
  EXPECT_TRUE(Near(At(s, 40, 30), 0xFF0000, 40)) << std::hex << At(s, 40, 30);
  cairo_surface_destroy(s);
}

TEST_F(PictureDecodeTest, NothingBeyondTheBudgetOrWithoutAPicture) {
  const std::string png = Save("over.png", 8, 8, "png");
  CairoPictureInfo info = ProbeCairoPicture(png);
  info.Width = 10000;  // as a header would claim: one row over the budget
  info.Height = static_cast<int>(kPictureBudgetPixels / 10000) + 1;
  EXPECT_EQ(DecodeCairoPicture(png, info, 100, 100), nullptr);

  std::ofstream(dir + "notes.jpg") << "not a picture";
  for (const std::string& path : {dir + "notes.jpg", dir + "missing.png"}) {
    const CairoPictureInfo none = ProbeCairoPicture(path);
    EXPECT_EQ(none.Decoder, CairoDecoder::None) << path;
    EXPECT_EQ(none.Width, 0);
    EXPECT_EQ(DecodeCairoPicture(path, none, 100, 100), nullptr);
  }
}

}  // namespace
