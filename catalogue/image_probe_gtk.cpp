// Linux backend of the image probe: the picture's size from its header only
// (gdk_pixbuf_get_file_info), never a full decode, turned upright for a JPEG
// with an EXIF orientation; for placeable metafiles, whose loader gives no
// size, from the metafile header.
// Formats GDI+ cannot show (SVG, WebP...) measure 0 x 0 on purpose, so both
// builds admit the same files.
#include <fcntl.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <unistd.h>

#include <array>
#include <string_view>
#include <utility>

#include "catalogue/image_probe.h"
#include "catalogue/wmf_header.h"
#include "render/exif_orientation.h"
#include "render/picture_header.h"

namespace {

// The formats both builds can decode (what GDI+ decodes natively).
constexpr std::array<std::string_view, 7> kShownFormats = {"jpeg", "png", "gif", "bmp", "tiff", "ico", "wmf"};

bool IsShownFormat(GdkPixbufFormat* format) {
  gchar* name = gdk_pixbuf_format_get_name(format);
  const std::string_view view = name ? name : "";
  bool shown = false;
  for (std::string_view known : kShownFormats) shown = shown || view == known;
  g_free(name);
  return shown;
}

PictureSize MetafileSize(const std::string& path) {
  std::array<std::uint8_t, kPlaceableWmfHeaderSize> header{};
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {};
  const ssize_t got = read(fd, header.data(), header.size());
  close(fd);
  if (got < 0) return {};
  return PlaceableWmfSize(header.data(), static_cast<std::size_t>(got)).value_or(PictureSize{});
}

// A JPEG's EXIF orientation, from the header reader: the filters measure
// the picture upright.
int JpegOrientation(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return 1;
  const PictureHeader header = ReadPictureHeader([fd](std::uint64_t offset, void* buffer, std::size_t size) {
    const ssize_t got = pread(fd, buffer, size, static_cast<off_t>(offset));
    return got > 0 ? static_cast<std::size_t>(got) : std::size_t{0};
  });
  close(fd);
  return header.orientation;
}

bool IsJpeg(GdkPixbufFormat* format) {
  gchar* name = gdk_pixbuf_format_get_name(format);
  const bool jpeg = g_strcmp0(name, "jpeg") == 0;
  g_free(name);
  return jpeg;
}

bool EndsWithWmf(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return ext == ".wmf";
}

class PixbufImageProbe final : public ImageProbe {
 public:
  PictureSize Dimensions(const std::string& path) override {
    // The metafile loader measures nothing without rendering and complains
    // (a GLib critical) about the size it was given: skip it for .wmf names.
    if (EndsWithWmf(path)) return MetafileSize(path);
    gint width = -1, height = -1;
    GdkPixbufFormat* format = gdk_pixbuf_get_file_info(path.c_str(), &width, &height);
    // No loader knows it, or it is a metafile: only its own header can tell.
    if (!format || width <= 0 || height <= 0) return MetafileSize(path);
    if (!IsShownFormat(format)) return {};
    if (IsJpeg(format) && SwapsSides(JpegOrientation(path))) std::swap(width, height);
    return PictureSize{static_cast<float>(width), static_cast<float>(height)};
  }
};

}  // namespace

std::unique_ptr<ImageProbe> CreatePlatformImageProbe() { return std::make_unique<PixbufImageProbe>(); }
