// Cairo backend of the picture preparer: the header decides what the file
// is; the picture is decoded at the size it is drawn, inside the budget.
#include <algorithm>
#include <malloc.h>

#include <cmath>

#include "render/picture_decode_cairo.h"
#include "render/prepared_picture_cairo.h"

namespace {

// A picture cut off at the box's edges (covering the box, or laid out past
// it) keeps only its visible part, so a panorama takes no more memory than
// the box; the placement becomes that part's rectangle.
void CropToBox(CairoPreparedPicture& picture, int area_width, int area_height) {
  PicturePlacement& at = picture.placement;
  const int sw = cairo_image_surface_get_width(picture.surface), sh = cairo_image_surface_get_height(picture.surface);
  const double sx = sw / static_cast<double>(at.width), sy = sh / static_cast<double>(at.height);
  const double left = std::max<double>(at.x, 0), top = std::max<double>(at.y, 0);
  const double right = std::min<double>(at.x + static_cast<double>(at.width), area_width);
  const double bottom = std::min<double>(at.y + static_cast<double>(at.height), area_height);
  if (right <= left || bottom <= top) return;
  const int x0 = static_cast<int>(std::floor((left - at.x) * sx)), y0 = static_cast<int>(std::floor((top - at.y) * sy));
  const int x1 = std::min(sw, static_cast<int>(std::ceil((right - at.x) * sx)));
  const int y1 = std::min(sh, static_cast<int>(std::ceil((bottom - at.y) * sy)));
  if (x0 <= 0 && y0 <= 0 && x1 >= sw && y1 >= sh) return;  // all of it shows
  cairo_surface_t* part = cairo_surface_create_similar_image(
      picture.surface, cairo_image_surface_get_format(picture.surface), x1 - x0, y1 - y0);
  cairo_t* cr = cairo_create(part);
  cairo_set_source_surface(cr, picture.surface, -x0, -y0);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(picture.surface);
  picture.surface = part;
  at.x = static_cast<float>(at.x + x0 / sx);
  at.y = static_cast<float>(at.y + y0 / sy);
  at.width = static_cast<float>((x1 - x0) / sx);
  at.height = static_cast<float>((y1 - y0) / sy);
}

// The picture's file as the decoders read it: once the picture is
// abandoned it ends, and every decoder stops as at the end of a truncated
// file (a large one then takes no more of the worker's time).
class FileUntilAbandoned final : public PictureFile {
 public:
  FileUntilAbandoned(PictureFile& file, const DecodeBudget& budget) : file_(file), budget_(budget) {}
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    return budget_.Abandoned() ? 0 : file_.ReadAt(offset, buffer, size);
  }
  std::uint64_t Size() override { return file_.Size(); }

 private:
  PictureFile& file_;
  const DecodeBudget& budget_;
};

class CairoPicturePreparer final : public PicturePreparer {
 public:
  std::unique_ptr<PreparedPicture> Prepare(const PictureRequest& request, DecodeBudget& budget) override {
    auto picture = std::make_unique<CairoPreparedPicture>();
    std::unique_ptr<PictureFile> file = OpenPictureFile(request.path);
    if (!file) return picture;
    const PictureHeader header = ReadPictureHeader(
        [&file](std::uint64_t offset, void* buffer, std::size_t size) { return file->ReadAt(offset, buffer, size); });
    // Only placeable metafiles say their size; other metafiles cannot be laid out.
    if (header.kind == PictureKind::Unknown || header.width <= 0 || header.height <= 0) return picture;
    picture->width = static_cast<float>(UprightWidth(header));
    picture->height = static_cast<float>(UprightHeight(header));
    picture->placement = PlacePicture(picture->width, picture->height, static_cast<float>(request.area_width),
                                      static_cast<float>(request.area_height), request.mode, request.preview_scale);
    const PicturePlacement& at = picture->placement;
    if (!at.draw || !(at.width >= 0.5f && at.height >= 0.5f)) return picture;
    const int target_width = DrawnPixels(at.width), target_height = DrawnPixels(at.height);
    const std::size_t working = DecodeWorkingBytes(header, target_width, target_height);
    if (working > kDecodeBudgetBytes) return picture;  // as a file that cannot be decoded
    budget.Reserve(working);
    FileUntilAbandoned read(*file, budget);
    picture->surface = DecodeCairoPicture(read, header, target_width, target_height);
    if (picture->surface) CropToBox(*picture, request.area_width, request.area_height);
    budget.Release(working);
    // Decoders free many small blocks (a metafile player's rows, say) into
    // this thread's heap, which would otherwise keep their pages: tens of
    // megabytes a picture that no later decode might reuse.
    malloc_trim(0);
    if (picture->surface)
      picture->bytes = static_cast<std::size_t>(cairo_image_surface_get_stride(picture->surface)) *
                       static_cast<std::size_t>(cairo_image_surface_get_height(picture->surface));
    return picture;
  }
};

}  // namespace

std::unique_ptr<PicturePreparer> CreatePlatformPicturePreparer() { return std::make_unique<CairoPicturePreparer>(); }
