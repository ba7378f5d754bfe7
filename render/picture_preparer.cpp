// The in-process preparer: the picture decoded on the calling thread with
// the program's decoders, inside the budget.
#include "render/prepared_picture.h"

namespace {

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

class LocalPicturePreparer final : public PicturePreparer {
 public:
  std::unique_ptr<PreparedPicture> Prepare(const PictureRequest& request, DecodeBudget& budget) override {
    std::unique_ptr<PictureFile> file = OpenPictureFile(request.path);
    if (!file) return WrapPixels({}, request);
    const PictureSizing sizing = SizePicture(*file, request);
    if (!sizing.Decodable())
      return WrapPixels({sizing.width, sizing.height, sizing.placement, {}, sizing.taken}, request);
    budget.Reserve(sizing.working_bytes);
    FileUntilAbandoned read(*file, budget);
    PreparedPixels pixels = DecodeSized(read, sizing, request);
    budget.Release(sizing.working_bytes);
    return WrapWithinBudget(std::move(pixels), request, budget);
  }
};

}  // namespace

std::unique_ptr<PreparedPicture> WrapWithinBudget(PreparedPixels prepared, const PictureRequest& request,
                                                  DecodeBudget& budget) {
  const std::size_t bytes = WrappingBytes(prepared, request);
  if (bytes) budget.Reserve(bytes);
  if (budget.Abandoned()) prepared.pixels = Pixels();
  std::unique_ptr<PreparedPicture> picture = WrapPixels(std::move(prepared), request);
  if (bytes) budget.Release(bytes);
  return picture;
}

std::unique_ptr<PicturePreparer> CreatePicturePreparer() { return std::make_unique<LocalPicturePreparer>(); }
