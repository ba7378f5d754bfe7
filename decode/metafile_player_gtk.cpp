// Linux metafile player: gdk-pixbuf's WMF loader, drawing at the size asked.
// The player keeps about eight bytes of every pixel it drew after it is done
// (docs/memory.md): the program's readers play metafiles, and a reader ends
// after playing one, taking that memory with it.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <string_view>

#include "decode/metafile_player.h"
#include "decode/metafile_player_gtk.h"

namespace {

void SizeTo(GdkPixbufLoader* loader, int, int, gpointer size) {
  const int* wh = static_cast<const int*>(size);
  gdk_pixbuf_loader_set_size(loader, wh[0], wh[1]);
}

// The pixbuf's pixels, premultiplied, in native order.
Pixels FromPixbuf(const GdkPixbuf* pixbuf) {
  const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf), stride = gdk_pixbuf_get_rowstride(pixbuf);
  const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
  if (channels < (alpha ? 4 : 3)) return {};
  Pixels out = Pixels::Allocate(width, height);
  if (out.empty()) return out;
  const guchar* src = gdk_pixbuf_read_pixels(pixbuf);
  for (int y = 0; y < height; ++y) {
    const guchar* in = src + static_cast<std::size_t>(y) * stride;
    std::uint32_t* row = out.Row(y);
    for (int x = 0; x < width; ++x, in += channels) {
      const std::uint32_t a = alpha ? in[3] : 255;
      auto pre = [a](std::uint32_t c) { return (c * a + 127) / 255; };
      row[x] = a << 24 | pre(in[0]) << 16 | pre(in[1]) << 8 | pre(in[2]);
    }
  }
  return out;
}

}  // namespace

Pixels PlayMetafile(const std::string& bytes, int width, int height) {
  int size[2] = {width, height};
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("wmf", nullptr);
  if (!loader) return {};
  g_signal_connect(loader, "size-prepared", G_CALLBACK(SizeTo), size);
  bool ok = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()), bytes.size(), nullptr);
  ok = gdk_pixbuf_loader_close(loader, nullptr) && ok;
  GdkPixbuf* pixbuf = ok ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  Pixels out;
  if (pixbuf && gdk_pixbuf_get_width(pixbuf) <= width && gdk_pixbuf_get_height(pixbuf) <= height)
    out = FromPixbuf(pixbuf);
  g_object_unref(loader);
  return out;
}

std::optional<std::pair<float, float>> MetafileSize(const std::string&, float box_width, float box_height) {
  if (!(box_width > 0 && box_height > 0)) return std::nullopt;  // without a bounding box it cannot be laid out
  return std::pair{box_width, box_height};
}

void RestrictPixbufLoaders() {
  GSList* formats = gdk_pixbuf_get_formats();
  for (GSList* f = formats; f; f = f->next) {
    auto* format = static_cast<GdkPixbufFormat*>(f->data);
    gchar* name = gdk_pixbuf_format_get_name(format);
    gdk_pixbuf_format_set_disabled(format, std::string_view(name ? name : "") != "wmf");
    g_free(name);
  }
  g_slist_free(formats);
}
