// The header of a HEIF or AVIF file, read by the program itself before
// libheif sees the file: its brands say which it is, the primary item's
// properties say its size (ispe) and how to turn it upright (irot, imir),
// and the codec configurations say how many bytes its decoded planes take;
// when asked, the Exif item that describes it says the day it was taken.
// Every length and count comes from the file: each walk is bounded by the
// bytes read and by fixed counts, and the metadata box and the EXIF block
// are read only when small.
#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

#include "decode/exif_orientation.h"
#include "decode/format_codecs.h"
#include "platform/byte_reader.h"

namespace {

constexpr std::size_t kMaxMetaBytes = 4u << 20;  // a 48-megapixel grid of 512 x 512 tiles takes a few KB
constexpr int kMaxTopBoxes = 256;
constexpr int kMaxChildren = 8192;
constexpr int kMaxExifExtents = 16;  // one in every file seen; each may be a read of its own

std::uint32_t FourCc(const char (&text)[5]) {
  return std::uint32_t(std::uint8_t(text[0])) << 24 | std::uint8_t(text[1]) << 16 | std::uint8_t(text[2]) << 8 |
         std::uint8_t(text[3]);
}
std::uint32_t Be32(const std::uint8_t* p) { return std::uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

bool IsAvifBrand(std::uint32_t brand) { return brand == FourCc("avif") || brand == FourCc("avis"); }
bool IsHeifBrand(std::uint32_t brand) {
  for (std::uint32_t heif :
       {FourCc("heic"), FourCc("heix"), FourCc("heim"), FourCc("heis"), FourCc("hevc"), FourCc("hevx")})
    if (brand == heif) return true;
  return false;
}
bool IsGenericHeifBrand(std::uint32_t brand) { return brand == FourCc("mif1") || brand == FourCc("msf1"); }

// The format the ftyp box at the start names: its major brand when that is
// HEIF's or AVIF's own; else AVIF when a compatible brand is AVIF's (a file
// of AV1 pictures lists the generic mif1 too), HEIF when one is HEIF's or
// generic.
PictureFormat BrandFormat(const std::uint8_t* b, std::size_t n) {
  if (n < 16 || Be32(b + 4) != FourCc("ftyp") || Be32(b) < 16) return PictureFormat::Unknown;
  const std::uint32_t major = Be32(b + 8);
  if (IsAvifBrand(major)) return PictureFormat::Avif;
  if (IsHeifBrand(major)) return PictureFormat::Heif;
  bool avif = false, heif = IsGenericHeifBrand(major);
  for (std::size_t at = 16; at + 4 <= std::min<std::size_t>(n, Be32(b)); at += 4) {
    avif = avif || IsAvifBrand(Be32(b + at));
    heif = heif || IsHeifBrand(Be32(b + at)) || IsGenericHeifBrand(Be32(b + at));
  }
  return avif ? PictureFormat::Avif : heif ? PictureFormat::Heif : PictureFormat::Unknown;
}

// Where the file ends: the first offset with no byte, by halving.
std::uint64_t FileEnd(const ReadAt& read) {
  std::uint64_t low = 0, high = 1;  // a byte at low - 1 (none when 0); none at high
  std::uint8_t byte;
  while (read(high - 1, &byte, 1) == 1 && high < (std::uint64_t{1} << 48)) low = high, high *= 2;
  while (high - low > 1) {
    const std::uint64_t middle = low + (high - low) / 2;
    (read(middle - 1, &byte, 1) == 1 ? low : high) = middle;
  }
  return low;
}

struct Box {
  std::uint32_t type = 0;
  std::size_t body = 0, end = 0;  // offsets in the block
};

// The boxes in [begin, end) of a block, at most kMaxChildren; stops at the
// first that does not fit.
std::vector<Box> Children(ByteReader& r, std::size_t begin, std::size_t end) {
  std::vector<Box> boxes;
  for (std::size_t at = begin; at + 8 <= end && boxes.size() < kMaxChildren;) {
    std::uint64_t size = r.U32(at);
    std::size_t header = 8;
    if (size == 1) size = r.U64(at + 8), header = 16;
    if (size == 0) size = end - at;
    if (size < header || size > end - at) break;
    boxes.push_back({r.U32(at + 4), at + header, at + static_cast<std::size_t>(size)});
    at += static_cast<std::size_t>(size);
  }
  return boxes;
}

const Box* Find(const std::vector<Box>& boxes, std::uint32_t type) {
  for (const Box& box : boxes)
    if (box.type == type) return &box;
  return nullptr;
}

// What the file's codec configurations say of the planes libheif decodes:
// the most bytes a sample takes, the most coded samples a pixel (in quarters:
// 4 grey, 6 for 4:2:0, 8 for 4:2:2, 12 for 4:4:4; 4:4:4 when no
// configuration says), and whether any picture has an alpha plane.
struct Planes {
  int bytes_per_sample = 1;
  int coded_quarters = 0;
  bool alpha = false;
};

int HevcQuarters(int chroma_format) {
  static constexpr int kQuarters[] = {4, 6, 8, 12};
  return kQuarters[chroma_format & 3];
}
int Av1Quarters(std::uint8_t flags) {
  if (flags & 0x10) return 4;                         // monochrome
  return flags & 0x08 ? (flags & 0x04 ? 6 : 8) : 12;  // halved across; and down
}

void NoteProperty(ByteReader& r, const Box& box, Planes& planes) {
  int bits = 8;
  if (box.type == FourCc("hvcC") && box.end - box.body > 18) {
    bits = 8 + (r.U8(box.body + 17) & 7);
    planes.coded_quarters = std::max(planes.coded_quarters, HevcQuarters(r.U8(box.body + 16)));
  }
  if (box.type == FourCc("av1C") && box.end - box.body > 2) {
    bits = r.U8(box.body + 2) & 0x40 ? 10 : 8;
    planes.coded_quarters = std::max(planes.coded_quarters, Av1Quarters(r.U8(box.body + 2)));
  }
  if (box.type == FourCc("pixi") && box.end - box.body > 5)
    for (std::size_t c = 0; c < r.U8(box.body + 4) && box.body + 5 + c < box.end; ++c)
      bits = std::max<int>(bits, r.U8(box.body + 5 + c));
  if (bits > 8) planes.bytes_per_sample = 2;
  if (box.type == FourCc("auxC") && box.end - box.body > 4) {
    const std::string_view urn(reinterpret_cast<const char*>(r.data() + box.body + 4), box.end - box.body - 4);
    planes.alpha = planes.alpha || urn.find(":alpha") != std::string_view::npos;
  }
}

// EXIF's number for a picture turned, in the order its properties come,
// by quarter turns anticlockwise (irot) and mirrored (imir) as libheif
// mirrors: axis 1 left to right, axis 0 top to bottom. Kept as "mirror left
// to right first, then so many quarter turns anticlockwise".
struct Turn {
  bool mirror = false;
  int quarters = 0;
  void Rotate(int anticlockwise) { quarters = (quarters + anticlockwise) & 3; }
  void MirrorLeftRight() { mirror = !mirror, quarters = (4 - quarters) & 3; }
  void MirrorTopBottom() { MirrorLeftRight(), Rotate(2); }
  int Orientation() const {
    static constexpr int kPlain[] = {1, 8, 3, 6}, kMirrored[] = {2, 5, 4, 7};
    return (mirror ? kMirrored : kPlain)[quarters];
  }
};

std::uint32_t PrimaryItem(ByteReader& r, const Box& pitm) {
  return r.U8(pitm.body) == 0 ? r.U16(pitm.body + 4) : r.U32(pitm.body + 4);
}

PictureHeader ReadItems(ByteReader& r, PictureFormat format, std::int64_t data_bytes) {
  if (r.size() < 4) return {};
  const std::vector<Box> meta = Children(r, 4, r.size());  // after its version and flags
  const Box* pitm = Find(meta, FourCc("pitm"));
  const Box* iprp = Find(meta, FourCc("iprp"));
  if (!pitm || !iprp || pitm->end - pitm->body < 6) return {};
  const std::uint32_t primary = PrimaryItem(r, *pitm);
  const std::vector<Box> properties = Children(r, iprp->body, iprp->end);
  const Box* ipco = Find(properties, FourCc("ipco"));
  const Box* ipma = Find(properties, FourCc("ipma"));
  if (!ipco || !ipma) return {};
  const std::vector<Box> all = Children(r, ipco->body, ipco->end);
  Planes planes;
  for (const Box& box : all) NoteProperty(r, box, planes);

  // The primary item's properties, in the order they apply.
  const std::uint8_t version = r.U8(ipma->body);
  const bool wide_index = r.U8(ipma->body + 3) & 1;
  std::size_t at = ipma->body + 4;
  const std::uint32_t entries = r.U32(at);
  at += 4;
  std::int64_t width = 0, height = 0;
  Turn turn;
  for (std::uint32_t e = 0; e < entries && r.ok() && at < ipma->end; ++e) {
    const std::uint32_t item = version < 1 ? r.U16(at) : r.U32(at);
    at += version < 1 ? 2 : 4;
    const int count = r.U8(at++);
    for (int a = 0; a < count && r.ok(); ++a, at += wide_index ? 2 : 1) {
      const std::size_t index = wide_index ? r.U16(at) & 0x7FFF : r.U8(at) & 0x7F;
      if (item != primary || index < 1 || index > all.size()) continue;
      const Box& property = all[index - 1];
      if (property.end - property.body < 1) continue;
      if (property.type == FourCc("ispe") && property.end - property.body >= 12)
        width = r.U32(property.body + 4), height = r.U32(property.body + 8);
      if (property.type == FourCc("irot")) turn.Rotate(r.U8(property.body) & 3);
      if (property.type == FourCc("imir")) (r.U8(property.body) & 1) ? turn.MirrorLeftRight() : turn.MirrorTopBottom();
    }
  }
  if (!r.ok() || width <= 0 || height <= 0) return {};
  PictureHeader h;
  h.kind = PictureKind::Raster;
  h.format = format;
  h.width = width, h.height = height;
  h.orientation = turn.Orientation();
  // libheif 1.15 and its codec hold the coded YCbCr planes three times
  // when they are 4:2:0 and handed over as they are (measured), else twice
  // and the RGB planes they become (3 samples a pixel); an alpha plane, and
  // the compressed data.
  h.coded_420 = planes.coded_quarters == 6;
  const std::int64_t coded = planes.coded_quarters ? planes.coded_quarters : 12;
  const std::int64_t quarters = (h.coded_420 ? coded * 3 : coded * 2 + 12) + (planes.alpha ? 4 : 0);
  h.held_bytes = FitsPictureBudget(h) ? width * height * quarters * planes.bytes_per_sample / 4 + data_bytes : 0;
  return h;
}

// A number of 0, 4 or 8 bytes, as iloc sizes its offsets and lengths.
bool IsLocationSize(int bytes) { return bytes == 0 || bytes == 4 || bytes == 8; }
std::uint64_t NextSized(ByteReader& r, int bytes) { return bytes == 4 ? r.Next32() : bytes == 8 ? r.Next64() : 0; }

// The Exif item that describes (iref 'cdsc', as libheif links them) the
// primary item; 0 when there is none.
std::uint32_t PrimaryExifItem(ByteReader& r, const std::vector<Box>& meta, std::uint32_t primary) {
  const Box* iinf = Find(meta, FourCc("iinf"));
  const Box* iref = Find(meta, FourCc("iref"));
  if (!iinf || !iref) return 0;
  std::vector<std::uint32_t> exif;
  for (const Box& infe : Children(r, iinf->body + (r.U8(iinf->body) == 0 ? 6 : 8), iinf->end)) {
    const int version = r.U8(infe.body);  // versions 0 and 1 name no item type
    if (infe.type == FourCc("infe") && version >= 2 && r.Matches(infe.body + (version == 2 ? 8 : 10), "Exif"))
      exif.push_back(version == 2 ? r.U16(infe.body + 4) : r.U32(infe.body + 4));
  }
  const bool wide = r.U8(iref->body) != 0;
  const std::size_t id_bytes = wide ? 4 : 2;
  const auto id = [&](std::size_t at) { return wide ? r.U32(at) : r.U16(at); };
  for (const Box& link : Children(r, iref->body + 4, iref->end)) {
    if (link.type != FourCc("cdsc") || std::find(exif.begin(), exif.end(), id(link.body)) == exif.end()) continue;
    const std::size_t count = std::min<std::size_t>(r.U16(link.body + id_bytes), (link.end - link.body) / id_bytes);
    for (std::size_t i = 0; i < count; ++i)
      if (id(link.body + id_bytes + 2 + i * id_bytes) == primary) return id(link.body);
  }
  return 0;
}

// The day taken in the primary item's EXIF block: its extents (a few at
// most), in the file or in the metadata box's idat, joined; a 4-byte offset
// to its TIFF header first.
CalendarDate ReadDateTaken(ByteReader& r, const ReadAt& read) {
  const std::vector<Box> meta = Children(r, 4, r.size());
  const Box* pitm = Find(meta, FourCc("pitm"));
  const Box* iloc = Find(meta, FourCc("iloc"));
  const Box* idat = Find(meta, FourCc("idat"));
  if (!pitm || !iloc || pitm->end - pitm->body < 6) return {};
  const std::uint32_t item = PrimaryExifItem(r, meta, PrimaryItem(r, *pitm));
  ByteReader locations(r.data() + iloc->body, iloc->end - iloc->body, ByteReader::Order::Big);
  const int version = locations.Next8();
  locations.Seek(4);
  const std::uint16_t sizes = locations.Next16();
  const int offset_bytes = sizes >> 12, length_bytes = sizes >> 8 & 15, base_bytes = sizes >> 4 & 15;
  const int index_bytes = version >= 1 ? sizes & 15 : 0;
  // Each extent takes its length's bytes at least: the walk ends within the box.
  if (!item || length_bytes == 0 || !IsLocationSize(offset_bytes) || !IsLocationSize(length_bytes) ||
      !IsLocationSize(base_bytes) || !IsLocationSize(index_bytes))
    return {};
  const std::uint32_t items = version < 2 ? locations.Next16() : locations.Next32();
  for (std::uint32_t i = 0; i < items && locations.ok(); ++i) {
    const std::uint32_t id = version < 2 ? locations.Next16() : locations.Next32();
    const int method = version >= 1 ? locations.Next16() & 15 : 0;  // 0: in the file, 1: in idat
    const std::uint16_t elsewhere = locations.Next16();             // in another file
    const std::uint64_t base = NextSized(locations, base_bytes);
    const std::uint16_t extents = locations.Next16();
    if (id == item && (elsewhere || method > 1 || (method == 1 && !idat) || extents > kMaxExifExtents)) return {};
    std::vector<std::uint8_t> block;
    for (int e = 0; e < extents && locations.ok(); ++e) {
      NextSized(locations, index_bytes);
      const std::uint64_t offset = NextSized(locations, offset_bytes), length = NextSized(locations, length_bytes);
      if (id != item) continue;
      const std::size_t at = block.size(), idat_bytes = method == 1 ? idat->end - idat->body : 0;
      if (length == 0 || length > kMaxExifBytes - at || offset > ~base ||
          (method == 1 && (base + offset > idat_bytes || length > idat_bytes - (base + offset))))
        return {};
      block.resize(at + length);
      if (method == 1) {
        std::memcpy(block.data() + at, r.data() + idat->body + base + offset, length);
      } else if (read(base + offset, block.data() + at, length) != length) {
        return {};
      }
    }
    if (id != item) continue;
    ByteReader exif(block.data(), block.size(), ByteReader::Order::Big);
    const std::uint32_t tiff = exif.U32(0);
    if (!locations.ok() || !exif.ok() || tiff > block.size() - 4) return {};
    return ReadExifDateTaken(block.data() + 4 + tiff, block.size() - 4 - tiff);
  }
  return {};
}

PictureHeader ReadIsoBmffHeader(const ReadAt& read, PictureFormat format, CalendarDate* taken) {
  std::uint64_t at = 0, meta_at = 0, meta_size = 0;
  std::int64_t data_bytes = 0;
  for (int boxes = 0; boxes < kMaxTopBoxes; ++boxes) {
    std::uint8_t b[16];
    const std::size_t n = read(at, b, sizeof b);
    if (n < 8) break;
    ByteReader r(b, n, ByteReader::Order::Big);
    std::uint64_t size = r.U32(0), header = 8;
    if (size == 1) size = r.U64(8), header = 16;
    const bool to_end = size == 0;
    if (to_end) size = FileEnd(read) - at;
    if (!r.ok() || size < header || at + size < at) return {};
    if (r.U32(4) == FourCc("meta") && !meta_size) meta_at = at + header, meta_size = size - header;
    if (r.U32(4) == FourCc("mdat")) data_bytes += static_cast<std::int64_t>(std::min<std::uint64_t>(size, 1ull << 40));
    if (to_end) break;
    at += size;
  }
  if (!meta_size || meta_size > kMaxMetaBytes) return {};
  std::vector<std::uint8_t> meta(static_cast<std::size_t>(meta_size));
  if (read(meta_at, meta.data(), meta.size()) != meta.size()) return {};
  ByteReader r(meta.data(), meta.size(), ByteReader::Order::Big);
  const PictureHeader header = ReadItems(r, format, data_bytes + static_cast<std::int64_t>(meta_size));
  if (taken && header.kind == PictureKind::Raster) {
    ByteReader items(meta.data(), meta.size(), ByteReader::Order::Big);
    *taken = ReadDateTaken(items, read);
  }
  return header;
}

}  // namespace

bool IsHeifSignature(const std::uint8_t* first, std::size_t size) {
  return BrandFormat(first, size) == PictureFormat::Heif;
}
bool IsAvifSignature(const std::uint8_t* first, std::size_t size) {
  return BrandFormat(first, size) == PictureFormat::Avif;
}
PictureHeader ReadHeifHeader(const ReadAt& read, const std::uint8_t*, std::size_t) {
  return ReadIsoBmffHeader(read, PictureFormat::Heif, nullptr);
}
PictureHeader ReadAvifHeader(const ReadAt& read, const std::uint8_t*, std::size_t) {
  return ReadIsoBmffHeader(read, PictureFormat::Avif, nullptr);
}
PictureHeader ReadHeifDatedHeader(const ReadAt& read, const std::uint8_t*, std::size_t, CalendarDate& taken) {
  return ReadIsoBmffHeader(read, PictureFormat::Heif, &taken);
}
PictureHeader ReadAvifDatedHeader(const ReadAt& read, const std::uint8_t*, std::size_t, CalendarDate& taken) {
  return ReadIsoBmffHeader(read, PictureFormat::Avif, &taken);
}
