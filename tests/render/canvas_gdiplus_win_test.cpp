// The canvas contract against the GDI+ canvas, drawing into a memory DC with
// a 32-bit DIB section (the picture box's back buffer, without a window).
#include <windows.h>
// after windows.h, which they need
#include <gdiplus.h>
#include <psapi.h>

#include "render/canvas_contract.h"
#include "render/canvas_gdiplus.h"

namespace {

std::wstring Wide(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, out.data(), n);
  out.resize(static_cast<std::size_t>(n > 0 ? n - 1 : 0));
  return out;
}

// The tests' own GDI+ session: started once, left for the process to end.
void StartGdiplusOnce() {
  static ULONG_PTR token = [] {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR t = 0;
    Gdiplus::GdiplusStartup(&t, &input, nullptr);
    return t;
  }();
  (void)token;
}

class DibTarget final : public OffscreenTarget, public PictureBox {
 public:
  DibTarget(int width, int height) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) bits_[i] = 0x808080;  // grey: a frame not drawn shows
  }
  ~DibTarget() override {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  PictureBox& Box() override { return *this; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  std::uint32_t Pixel(int x, int y) override {
    GdiFlush();
    return bits_[y * width_ + x] & 0xFFFFFF;
  }
  std::unique_ptr<Canvas> CreateCanvas() override { return CreateGdiplusCanvas(dc_); }
  void Refresh() override {}
  void Cls() override {}

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

struct GdiplusBackend {
  // Wine 8's GdipAddPathString keeps a text's first line only (Windows wraps).
  static bool WrapsLongLines() { return !GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"); }
  static std::unique_ptr<OffscreenTarget> CreateTarget(int width, int height) {
    StartGdiplusOnce();
    return std::make_unique<DibTarget>(width, height);
  }
  static std::string TempDir() {
    static int count = 0;
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::wstring dir =
        std::wstring(base) + L"gc" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++count);
    CreateDirectoryW(dir.c_str(), nullptr);
    const int n = WideCharToMultiByte(CP_UTF8, 0, dir.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, dir.c_str(), -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n - 1));
    return out + "\\";
  }
  static std::uint64_t PeakMemoryBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
  }
  static void WriteFile(const std::string& path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Gdiplus, CanvasContract, GdiplusBackend);

TEST(GdiplusCanvas, NoDeviceContextNoCanvas) {
  StartGdiplusOnce();
  EXPECT_FALSE(CreateGdiplusCanvas(nullptr));
}
