// Picture sizes read from headers alone (JPEG: the format whose segments must
// be walked), and the pixel budget. The other formats: the canvas contract.
#include "decode/picture_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "render/test_jpeg.h"
#include "test_pictures.h"

namespace {

PictureHeader Read(const std::string& file, CalendarDate* taken = nullptr) {
  return ReadPictureHeader(
      [&](std::uint64_t at, void* buffer, std::size_t size) {
        const std::size_t n = at < file.size() ? std::min<std::size_t>(size, file.size() - at) : 0;
        return std::memcpy(buffer, file.data() + std::min<std::size_t>(at, file.size()), n), n;
      },
      taken);
}

std::string Be16(std::size_t v) { return {char(v >> 8), char(v)}; }
std::string Segment(char marker, const std::string& body) {
  return std::string{'\xFF', marker} + Be16(body.size() + 2) + body;
}

// Metadata, a fill byte and a Huffman table (not a frame) before the frame
// (baseline C0, progressive C2) of one colour, or of the colours given (id,
// sampling), and a scan of the first `scanned` of them.
std::string Jpeg(unsigned w, unsigned h, std::size_t metadata, char frame = '\xC0', std::string colours = "\x01\x11",
                 char scanned = 1) {
  std::string components(1, char(colours.size() / 2));
  for (std::size_t c = 0; c < colours.size(); c += 2) components += colours.substr(c, 2) + '\0';
  return std::string("\xFF\xD8") + Segment('\xE1', std::string(metadata, 0)) + "\xFF" +
         Segment('\xC4', std::string(20, 0)) + Segment(frame, std::string(1, 8) + Be16(h) + Be16(w) + components) +
         Segment('\xDA', scanned + std::string(9, 0));
}

// Its size, and what its decoder must hold: libjpeg keeps every coefficient
// (128 bytes a block of 8 x 8) of a progressive frame, or of one whose
// colours come in separate scans.
TEST(PictureHeader, JpegSizeFromItsFrameAndNoneFromDamagedHeaders) {
  const std::string yuv420("\x01\x22\x02\x11\x03\x11", 6);
  const struct {
    std::string file;
    std::int64_t w, h, held;
  } cases[] = {
      {Jpeg(6000, 4000, 100), 6000, 4000, 0},
      {Jpeg(640, 480, 60000, '\xC2'), 640, 480, 80 * 60 * 128},
      {Jpeg(60, 44, 10, '\xC2', yuv420), 60, 44, (8 * 6 + 4 * 3 * 2) * 128},  // 4:2:0: chroma at half size
      {Jpeg(60, 44, 10, '\xC0', yuv420, 3), 60, 44, 0},
      {Jpeg(60, 44, 10, '\xC0', yuv420, 1), 60, 44, (8 * 6 + 4 * 3 * 2) * 128},
      {Jpeg(640, 480, 100).substr(0, 40), 0, 0, 0},
      {"\xFF\xD8" + Segment('\xDA', std::string(10, 0)), 0, 0, 0},        // data before a frame
      {Jpeg(640, 0, 10), 0, 0, 0},                                        // height defined later
      {Jpeg(640, 480, 10, '\xC0', std::string("\x01\x50", 2)), 0, 0, 0},  // a sampling factor libjpeg refuses
  };
  for (const auto& c : cases) {
    const PictureHeader h = Read(c.file);
    EXPECT_EQ(std::tuple(h.kind == PictureKind::Raster, h.width, h.height, h.held_bytes),
              std::tuple(c.w > 0, c.w, c.h, c.held))
        << c.w;
  }
}

std::string Le16(unsigned v) { return {char(v), char(v >> 8)}; }
std::string Le32(unsigned v) { return Le16(v) + Le16(v >> 16); }

// Its first chunk, and more after it.
std::string Webp(const std::string& chunk, const std::string& data, const std::string& more = "") {
  return "RIFF" + Le32(12 + data.size() + more.size()) + "WEBP" + chunk + Le32(data.size()) + data + more;
}

// The bytes decide, not the name: only the formats shown are recognised;
// and what a decoder must hold of the whole picture before its first row.
TEST(PictureHeader, OnlyTheShownFormatsAreRecognisedByTheirBytes) {
  const std::string vp8 =
      Webp("VP8 ", std::string("\x30\x01\x00\x9D\x01\x2A", 6) + Le16(640) + Le16(480) + std::string(20, 0));
  const std::string vp8x =
      Webp("VP8X", std::string("\x10\0\0\0", 4) + Le32(999).substr(0, 3) + Le32(1999).substr(0, 3));
  const std::string png = std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16) + std::string("\0\0\x01\0\0\0\0\x80", 8);
  const std::string bmp = "BM" + std::string(12, 0) + Le32(40) + Le32(64);
  const struct {
    std::string file;
    PictureFormat format;
    std::int64_t w, h, held;
  } cases[] = {
      {png + std::string(8, 0), PictureFormat::Png, 256, 128, 0},
      {png + std::string("\x08\x06\0\0\x01\0\0\0", 8), PictureFormat::Png, 256, 128, 256 * 128 * 4},  // interlaced
      {"\x89PNX" + png.substr(4) + std::string(8, 0), PictureFormat::Unknown, 0, 0, 0},
      {"GIF89a" + Le16(320) + Le16(200) + std::string(8, 0), PictureFormat::Gif, 320, 200, 320 * 200},
      {"GIF87a" + Le16(1) + Le16(1) + std::string(8, 0), PictureFormat::Gif, 1, 1, 1},
      {"GIF90a" + Le16(320) + Le16(200) + std::string(8, 0), PictureFormat::Unknown, 0, 0, 0},
      {bmp + Le32(-48) + std::string(8, 0), PictureFormat::Bmp, 64, 48, 0},
      {bmp + Le32(48) + Le16(1) + Le16(8) + Le32(1), PictureFormat::Bmp, 64, 48, 64 * 48},  // run lengths
      {Le32(0x9AC6CDD7) + Le16(0) + Le16(0) + Le16(0) + Le16(300) + Le16(200) + std::string(10, 0), PictureFormat::Wmf,
       300, 200, 0},
      {Le16(1) + Le16(9) + Le16(0x300) + std::string(20, 0), PictureFormat::Wmf, 0, 0, 0},
      {Le32(1) + std::string(36, 0) + " EMF" + std::string(20, 0), PictureFormat::Unknown, 0, 0, 0},  // EMF: not shown
      {"II*\0" + std::string(60, 0), PictureFormat::Unknown, 0, 0, 0},                                // TIFF
      {"P6\n640 480\n255\n", PictureFormat::Unknown, 0, 0, 0},                                        // PNM
      {"", PictureFormat::Unknown, 0, 0, 0},
      {vp8, PictureFormat::Webp, 640, 480, 50},                                                 // the file, read whole
      {vp8.substr(0, 29), PictureFormat::Unknown, 0, 0, 0},                                     // truncated
      {"RIFF" + vp8.substr(4, 16) + "\x31" + vp8.substr(21), PictureFormat::Unknown, 0, 0, 0},  // not a key frame
      {Webp("VP8L", "\x2F" + Le32(299 | 199 << 14)), PictureFormat::Webp, 300, 200, 25},
      {Webp("VP8L", "\x2E" + Le32(299 | 199 << 14)), PictureFormat::Unknown, 0, 0, 0},
      {vp8x, PictureFormat::Webp, 1000, 2000, 30 + 1000 * 2000},  // and its alpha plane
      {Webp("VP8X", std::string(10, '\xFF')), PictureFormat::Webp, 1 << 24, 1 << 24, 30 + kPictureBudgetPixels + 1},
      {Webp("ALPH", std::string(10, 0)), PictureFormat::Unknown, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const PictureHeader h = Read(c.file);
    EXPECT_EQ(std::tuple(h.format, h.width, h.height, h.held_bytes), std::tuple(c.format, c.w, c.h, c.held))
        << c.file.substr(0, 6) << c.w;
  }
}

// The orientation comes from the first EXIF block before the frame; other
// APP1 blocks (XMP) do not count, and the upright size follows from it.
TEST(PictureHeader, JpegOrientationFromItsFirstExifBlock) {
  const std::string frame =
      Segment('\xC0', std::string(1, 8) + Be16(900) + Be16(1600) + std::string("\x01\x01\x11\0", 4));
  const std::string exif6 = Segment('\xE1', test_jpeg::ExifPayload(6));
  const std::string exif3 = Segment('\xE1', test_jpeg::ExifPayload(3));
  const struct {
    std::string file;
    int orientation;
  } cases[] = {
      {"\xFF\xD8" + exif6 + frame, 6},
      {"\xFF\xD8" + Segment('\xE1', "http://ns.adobe.com/xap/1.0/" + std::string(40, 0)) + exif6 + frame, 6},
      {"\xFF\xD8" + Segment('\xE1', test_jpeg::ExifPayload(8, false) + std::string(60000, 0)) + frame, 8},
      {"\xFF\xD8" + exif3 + exif6 + frame, 3},
      {"\xFF\xD8" + Segment('\xE1', "Exif") + exif6 + frame, 6},  // too short to be the EXIF block
      {"\xFF\xD8" + frame + exif6, 1},                            // after the frame: not read
      {"\xFF\xD8" + exif6 + frame.substr(0, 6), 1},               // no frame: no picture
  };
  for (const auto& c : cases) {
    const PictureHeader h = Read(c.file);
    EXPECT_EQ(h.orientation, c.orientation) << c.file.size();
    using Size = std::pair<std::int64_t, std::int64_t>;
    if (h.kind == PictureKind::Raster) {
      EXPECT_EQ(Size(UprightWidth(h), UprightHeight(h)), c.orientation >= 5 ? Size(900, 1600) : Size(1600, 900));
    }
  }
}

std::string Be32(std::uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
std::string Box(const std::string& type, const std::string& body) { return Be32(body.size() + 8) + type + body; }
std::string FullBox(const std::string& type, const std::string& body) { return Box(type, std::string(4, 0) + body); }
std::string Ispe(std::uint32_t w, std::uint32_t h) { return FullBox("ispe", Be32(w) + Be32(h)); }

// A HEIF file with these brands whose primary item (2) has these
// properties, in this order, and item 1 a rotation.
std::string Heif(const std::string& brands, const std::vector<std::string>& properties) {
  std::string ipco = Box("irot", "\1"), ipma = Be32(2) + Be16(1) + "\1\x81" + Be16(2) + char(properties.size());
  for (std::size_t i = 0; i < properties.size(); ++i) ipco += properties[i], ipma += char(0x82 + i);
  return Box("ftyp", brands) + Box("mdat", std::string(50, 0)) +
         Box("meta", std::string(4, 0) + Box("hdlr", std::string(24, 0)) + FullBox("pitm", Be16(2)) +
                         Box("iprp", Box("ipco", ipco) + FullBox("ipma", ipma)));
}

// HEIF and AVIF by their brands, their size from the primary item's ispe,
// upright by its rotations and mirrors in order; what libheif holds: the
// coded samples (4:4:4 unless said) twice and three RGB ones a pixel, or a
// 4:2:0 picture's coded samples three times; alpha, two bytes each past 8
// bits, the file.
TEST(PictureHeader, HeifAndAvifByBrandSizeAndTurnFromThePrimaryItem) {
  const std::string heic = std::string("heic") + std::string(4, 0) + "mif1heic", ispe = Ispe(4032, 3024);
  const std::string hvcc10 = Box("hvcC", std::string(16, 0) + "\x01\x02" + std::string(10, 0));  // 4:2:0
  const std::string alpha = FullBox("auxC", "urn:mpeg:mpegB:cicp:systems:auxiliary:alpha");
  const std::string deep = Heif(heic, {ispe, hvcc10, alpha}), whole = Heif(heic, {ispe});
  const struct {
    std::string file;
    PictureFormat format;
    std::int64_t w, h;
    int orientation;
    std::int64_t held;
  } cases[] = {
      {whole, PictureFormat::Heif, 4032, 3024, 1, 4032 * 3024 * 9 + std::int64_t(whole.size()) - 32},
      {Heif(std::string("avif\0\0\0\0mif1miafavif", 20), {ispe}), PictureFormat::Avif, 4032, 3024, 1, 0},
      {Heif(std::string("mif1\0\0\0\0mif1avif", 16), {ispe}), PictureFormat::Avif, 4032, 3024, 1, 0},
      {Heif(std::string("msf1\0\0\0\0", 8), {ispe}), PictureFormat::Heif, 4032, 3024, 1, 0},
      {Heif(std::string("heix\0\0\0\0avif", 12), {ispe}), PictureFormat::Heif, 4032, 3024, 1, 0},
      {Heif(std::string("isom\0\0\0\0mp41", 12), {ispe}), PictureFormat::Unknown, 0, 0, 1, 0},  // a video
      {Heif(heic, {ispe, Box("irot", "\1")}), PictureFormat::Heif, 4032, 3024, 8, 0},
      {Heif(heic, {Box("irot", "\3"), ispe}), PictureFormat::Heif, 4032, 3024, 6, 0},
      {Heif(heic, {ispe, Box("irot", "\2")}), PictureFormat::Heif, 4032, 3024, 3, 0},
      {Heif(heic, {ispe, Box("imir", "\1")}), PictureFormat::Heif, 4032, 3024, 2, 0},
      {Heif(heic, {ispe, Box("imir", std::string(1, 0))}), PictureFormat::Heif, 4032, 3024, 4, 0},
      {Heif(heic, {ispe, Box("irot", "\1"), Box("imir", "\1")}), PictureFormat::Heif, 4032, 3024, 7, 0},
      {Heif(heic, {ispe, Box("imir", "\1"), Box("irot", "\1")}), PictureFormat::Heif, 4032, 3024, 5, 0},
      {deep, PictureFormat::Heif, 4032, 3024, 1, 4032 * 3024 * 11 + std::int64_t(deep.size()) - 32},
      {Heif(heic, {Ispe(8000, 6000)}), PictureFormat::Heif, 8000, 6000, 1, 0},  // 48 megapixels
      {Heif(heic, {Ispe(8000, 6251)}), PictureFormat::Heif, 8000, 6251, 1, 0},  // just over
      {Heif(heic, {Ispe(~0u, ~0u)}), PictureFormat::Heif, ~0u, ~0u, 1, 0},      // forged: no overflow
      {Heif(heic, {Box("irot", "\1")}), PictureFormat::Unknown, 0, 0, 1, 0},    // no size
      {whole.substr(0, 120), PictureFormat::Unknown, 0, 0, 1, 0},               // truncated
      {whole.substr(0, 82) + Be32(1u << 30) + whole.substr(86), PictureFormat::Unknown, 0, 0, 1, 0},  // a huge meta
  };
  for (const auto& c : cases) {
    const PictureHeader h = Read(c.file);
    EXPECT_EQ(std::tuple(h.format, h.width, h.height, h.orientation), std::tuple(c.format, c.w, c.h, c.orientation))
        << c.file.substr(8, 4) << " " << c.orientation;
    EXPECT_TRUE(!c.held || h.held_bytes == c.held) << h.held_bytes;
    EXPECT_EQ(h.coded_420, c.file == deep);
    EXPECT_EQ(FitsPictureBudget(h), c.w > 0 && c.h <= 6000) << c.w;
  }
}

// The day taken from each format's EXIF block: a JPEG's APP1 segment, a
// WebP file's EXIF chunk (when its flags say it has one; the chunks before
// it skipped, an odd one padded), a HEIF or AVIF picture's Exif item.
TEST(PictureHeader, DayTakenFromTheExifBlockOfEachFormat) {
  const std::string exif = test_jpeg::ExifPayload(1, false, "2023:12:24 10:00:00"), tiff = exif.substr(6);
  const auto vp8x = [](char flags, const std::string& more) {
    return Webp("VP8X", flags + std::string(3, 0) + Le32(99).substr(0, 3) + Le32(99).substr(0, 3),
                "ICCP" + Le32(3) + std::string("abc\0", 4) + more);
  };
  const std::string dated = test_pictures::Get("dated.heic");
  const CalendarDate christmas{2023, 12, 24}, july{2021, 7, 14};
  const struct {
    std::string file;
    CalendarDate expected;
  } cases[] = {
      {test_jpeg::Jpeg(16, 16, {}, exif), christmas},
      {vp8x(8, "EXIF" + Le32(tiff.size()) + tiff), christmas},
      {vp8x(8, "EXIF" + Le32(exif.size()) + exif), christmas},
      {vp8x(0, "EXIF" + Le32(tiff.size()) + tiff), {}},
      {vp8x(8, "EXIF" + Le32(0)), {}},
      {vp8x(8, "EXIF" + Le32((1 << 20) + 1) + tiff + std::string(1 << 20, 0)), {}},  // past 1 MB
      {dated, july},
      {dated.substr(0, 8) + "avif" + dated.substr(12), july},
      {dated.substr(0, dated.size() - 1), {}},  // its block cut short
  };
  for (const auto& c : cases) {
    CalendarDate taken{1, 1, 1};
    EXPECT_NE(Read(c.file, &taken).kind, PictureKind::Unknown);
    EXPECT_EQ(taken, c.expected) << c.file.substr(0, 12);
  }
}

}  // namespace
