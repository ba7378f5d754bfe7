// Decoding behind the Cairo canvas: reduced-scale JPEG decoding, the other
// formats through gdk-pixbuf, and the pixel budget.
#include "render/picture_decode_cairo.h"

#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "render/picture_header.h"

namespace {

using Colour = std::uint32_t;  // 0xRRGGBB

class PictureDecodeTest : public ::testing::Test {
 protected:
  PictureDecodeTest() {
    gchar* d = g_dir_make_tmp("glimmora-decode-XXXXXX", nullptr);
    dir = d;
    g_free(d);
  }

  // Saves a picture painted by colour(x, y) (alpha 0xFF unless given) in a gdk-pixbuf format.
  std::string Save(const std::string& name, int w, int h, const char* type,
                   const std::function<std::uint32_t(int, int)>& argb, const char* key = nullptr,
                   const char* value = nullptr) {
    const bool alpha = std::string(type) != "jpeg";
    GdkPixbuf* pb = gdk_pixbuf_new(GDK_COLORSPACE_RGB, alpha, 8, w, h);
    guchar* px = gdk_pixbuf_get_pixels(pb);
    const int stride = gdk_pixbuf_get_rowstride(pb), channels = alpha ? 4 : 3;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const std::uint32_t c = argb(x, y);
        guchar* p = px + y * stride + x * channels;
        p[0] = c >> 16, p[1] = c >> 8, p[2] = c;
        if (alpha) p[3] = c >> 24;
      }
    const std::string path = dir + "/" + name;
    EXPECT_TRUE(gdk_pixbuf_save(pb, path.c_str(), type, nullptr, key, value, nullptr));
    g_object_unref(pb);
    return path;
  }

  static std::uint32_t Quadrants(int x, int y, int w, int h) {
    const bool right = x >= w / 2, bottom = y >= h / 2;
    return 0xFF000000u | (bottom ? (right ? 0xF0E020 : 0x2040E0) : (right ? 0x20C020 : 0xE02020));
  }

  static Colour At(cairo_surface_t* s, int x, int y) {
    cairo_surface_flush(s);
    const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
  }

  static bool Near(Colour a, Colour b, int tolerance = 24) {
    for (int shift : {0, 8, 16})
      if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
        return false;
    return true;
  }

  void ExpectQuadrants(cairo_surface_t* s) {
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    EXPECT_TRUE(Near(At(s, w / 4, h / 4), 0xE02020)) << std::hex << At(s, w / 4, h / 4);
    EXPECT_TRUE(Near(At(s, 3 * w / 4, h / 4), 0x20C020));
    EXPECT_TRUE(Near(At(s, w / 4, 3 * h / 4), 0x2040E0));
    EXPECT_TRUE(Near(At(s, 3 * w / 4, 3 * h / 4), 0xF0E020));
  }

  std::string dir;
};

TEST_F(PictureDecodeTest, JpegIsDecodedAtAReducedScaleThenToTheTarget) {
  const std::string path = Save("big.jpg", 3200, 2400, "jpeg", [](int x, int y) { return Quadrants(x, y, 3200, 2400); });
  const CairoPictureInfo info = ProbeCairoPicture(path);
  EXPECT_EQ(info.Decoder, CairoDecoder::Jpeg);
  EXPECT_EQ(info.Width, 3200);  // its own size, whatever it is decoded at
  EXPECT_EQ(info.Height, 2400);
  struct Case {
    int targetW, targetH, w, h;
  } cases[] = {
      {400, 300, 400, 300},      // 1/8 exactly
      {1080, 810, 1080, 810},    // 3/8, then reduced
      {152, 86, 152, 86},        // a preview
      {6400, 4800, 3200, 2400},  // never enlarged here: Cairo does that while drawing
      {3200, 100, 3200, 100},    // stretched: each side on its own
  };
  for (const Case& c : cases) {
    cairo_surface_t* s = DecodeCairoPicture(path, info, c.targetW, c.targetH);
    ASSERT_TRUE(s) << c.targetW;
    EXPECT_EQ(cairo_image_surface_get_width(s), c.w);
    EXPECT_EQ(cairo_image_surface_get_height(s), c.h);
    ExpectQuadrants(s);
    cairo_surface_destroy(s);
  }
}

TEST_F(PictureDecodeTest, OtherFormatsThroughGdkPixbuf) {
  for (const char* type : {"png", "bmp"}) {
    const std::string path =
        Save(std::string("q.") + type, 64, 48, type, [](int x, int y) { return Quadrants(x, y, 64, 48); });
    const CairoPictureInfo info = ProbeCairoPicture(path);
    EXPECT_EQ(info.Decoder, CairoDecoder::Pixbuf) << type;
    EXPECT_EQ(info.Width, 64);
    cairo_surface_t* s = DecodeCairoPicture(path, info, 32, 24);
    ASSERT_TRUE(s) << type;
    EXPECT_EQ(cairo_image_surface_get_width(s), 32);
    ExpectQuadrants(s);
    cairo_surface_destroy(s);
  }
}

TEST_F(PictureDecodeTest, ProgressiveGreyAndCmykJpegs) {
  // gdk-pixbuf writes none of them; build them from a baseline file with ImageMagick if it is there.
  const std::string base = Save("base.jpg", 800, 600, "jpeg", [](int x, int y) { return Quadrants(x, y, 800, 600); });
  // CMYK goes to gdk-pixbuf's loader (libjpeg-turbo cannot make RGB of it) and is not reduced.
  for (const char* options : {"-interlace Plane", "-colorspace Gray", "-colorspace CMYK"}) {
    const std::string out = dir + "/variant.jpg";
    const std::string command = "convert '" + base + "' " + options + " '" + out + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "ImageMagick's convert is missing";
    const CairoPictureInfo info = ProbeCairoPicture(out);
    ASSERT_EQ(info.Decoder, CairoDecoder::Jpeg) << options;
    cairo_surface_t* s = DecodeCairoPicture(out, info, 200, 150);
    ASSERT_TRUE(s) << options;
    EXPECT_EQ(cairo_image_surface_get_width(s), 200);
    if (std::string(options).find("-colorspace") == std::string::npos) ExpectQuadrants(s);
    cairo_surface_destroy(s);
  }
}

TEST_F(PictureDecodeTest, TruncatedJpegShowsWhatArrived) {
  const std::string path = Save("cut.jpg", 800, 600, "jpeg", [](int x, int y) { return Quadrants(x, y, 800, 600); });
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes.substr(0, bytes.size() / 3);
  const CairoPictureInfo info = ProbeCairoPicture(path);
  cairo_surface_t* s = DecodeCairoPicture(path, info, 800, 600);
  ASSERT_TRUE(s);
  EXPECT_TRUE(Near(At(s, 200, 50), 0xE02020));  // the top rows arrived
  cairo_surface_destroy(s);
}

TEST_F(PictureDecodeTest, AlphaIsPremultipliedOverBlack) {
  const std::string path = Save("half.png", 8, 8, "png", [](int, int) { return 0x80FF8000u; });  // orange, half
  cairo_surface_t* s = DecodeCairoPicture(path, ProbeCairoPicture(path), 8, 8);
  ASSERT_TRUE(s);
  EXPECT_EQ(cairo_image_surface_get_format(s), CAIRO_FORMAT_ARGB32);
  cairo_surface_flush(s);
  const std::uint32_t p = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(s))[0];
  EXPECT_EQ(p, 0x80804000u);
  cairo_surface_destroy(s);
}

TEST_F(PictureDecodeTest, PlaceableWmfIsSizedByItsHeaderAndRenderedAtTheTarget) {
  // A placeable WMF: a 400 x 300 unit box at 1440 units an inch, one red rectangle.
  std::string w;
  auto u16 = [&w](unsigned v) { w += static_cast<char>(v & 0xFF), w += static_cast<char>(v >> 8); };
  auto u32 = [&u16](std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
  u32(0x9AC6CDD7u), u16(0), u16(0), u16(0), u16(400), u16(300), u16(1440), u32(0);
  unsigned checksum = 0;
  for (std::size_t i = 0; i < 20; i += 2)
    checksum ^= static_cast<unsigned char>(w[i]) | (static_cast<unsigned char>(w[i + 1]) << 8);
  u16(checksum);
  std::string records;
  auto rec = [&records](unsigned function, std::initializer_list<unsigned> params) {
    std::string r;
    const std::uint32_t size = 3 + static_cast<std::uint32_t>(params.size());
    for (unsigned v : {size & 0xFFFF, size >> 16, function}) r += static_cast<char>(v & 0xFF), r += static_cast<char>(v >> 8);
    for (unsigned v : params) r += static_cast<char>(v & 0xFF), r += static_cast<char>(v >> 8);
    records += r;
  };
  rec(0x020B, {0, 0});                 // SetWindowOrg
  rec(0x020C, {300, 400});             // SetWindowExt
  rec(0x02FC, {0, 0x00FF, 0x0000, 0});  // CreateBrushIndirect: solid red
  rec(0x012D, {0});                    // SelectObject
  rec(0x041B, {300, 400, 0, 0});       // Rectangle
  rec(0x0000, {});                     // end
  const std::uint32_t words = static_cast<std::uint32_t>(18 + records.size()) / 2;
  u16(1), u16(9), u16(0x300), u32(words), u16(1), u32(7), u16(0);
  w += records;
  const std::string path = dir + "/red.wmf";
  std::ofstream(path, std::ios::binary) << w;

  const CairoPictureInfo info = ProbeCairoPicture(path);
  EXPECT_EQ(info.Decoder, CairoDecoder::Wmf);
  EXPECT_EQ(info.Width, 400);
  EXPECT_EQ(info.Height, 300);
  cairo_surface_t* s = DecodeCairoPicture(path, info, 80, 60);
  if (!s) GTEST_SKIP() << "no WMF loader for gdk-pixbuf (libwmf-0.2-7-gtk)";
  ASSERT_EQ(cairo_image_surface_get_width(s), 80);
  ASSERT_EQ(cairo_image_surface_get_height(s), 60);
  EXPECT_TRUE(Near(At(s, 40, 30), 0xFF0000, 40)) << std::hex << At(s, 40, 30);
  cairo_surface_destroy(s);
}

TEST_F(PictureDecodeTest, NothingBeyondTheBudget) {
  // A real picture one pixel row over the budget is not decoded, but keeps its size.
  const int w = 10000, h = static_cast<int>(kPictureBudgetPixels / w) + 1;
  const std::string png = Save("over.png", 8, 8, "png", [](int, int) { return 0xFFFFFFFFu; });
  CairoPictureInfo info = ProbeCairoPicture(png);
  info.Width = w;  // as a header would claim
  info.Height = h;
  EXPECT_EQ(DecodeCairoPicture(png, info, 100, 100), nullptr);

  // Files that are not pictures, or are gone.
  const std::string text = dir + "/notes.jpg";
  std::ofstream(text) << "not a picture";
  for (const std::string& path : {text, dir + "/missing.png"}) {
    const CairoPictureInfo none = ProbeCairoPicture(path);
    EXPECT_EQ(none.Decoder, CairoDecoder::None) << path;
    EXPECT_EQ(none.Width, 0);
    EXPECT_EQ(DecodeCairoPicture(path, none, 100, 100), nullptr);
  }
}

}  // namespace
