#include "render/picture_box_win.h"

#include <algorithm>
#include <vector>

#include "render/canvas_gdiplus.h"
#include "render/frame_pixels.h"

namespace {

// One timer paces the frames of every box, so that waiting for the
// compositor's frame is done once a frame, not once a box.
class FramePacer {
 public:
  static FramePacer& Get() {
    static FramePacer pacer;
    return pacer;
  }
  void Add(Win32PictureBox* box) {
    if (std::find(boxes_.begin(), boxes_.end(), box) == boxes_.end()) boxes_.push_back(box);
    if (!timer_) timer_ = SetTimer(nullptr, 0, Composited() ? 1 : 16, &FramePacer::OnTimer);
  }
  void Remove(Win32PictureBox* box) {
    boxes_.erase(std::remove(boxes_.begin(), boxes_.end(), box), boxes_.end());
    if (boxes_.empty() && timer_) KillTimer(nullptr, timer_), timer_ = 0;
  }

 private:
  using DwmIsCompositionEnabledCall = HRESULT(WINAPI*)(BOOL*);
  using DwmFlushCall = HRESULT(WINAPI*)();

  FramePacer() {
    // Loaded here, not linked: readers never load it.
    if (HMODULE dwm = LoadLibraryW(L"dwmapi.dll")) {
      is_composited_ = reinterpret_cast<DwmIsCompositionEnabledCall>(
          reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
      flush_ = reinterpret_cast<DwmFlushCall>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmFlush")));
    }
  }
  bool Composited() const {
    BOOL on = FALSE;
    return is_composited_ && flush_ && SUCCEEDED(is_composited_(&on)) && on;
  }
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    FramePacer& pacer = Get();
    if (pacer.Composited()) pacer.flush_();  // until the compositor's next frame
    const std::vector<Win32PictureBox*> boxes = pacer.boxes_;
    for (Win32PictureBox* box : boxes)
      if (std::find(pacer.boxes_.begin(), pacer.boxes_.end(), box) != pacer.boxes_.end()) box->RunFrame();
  }

  std::vector<Win32PictureBox*> boxes_;
  UINT_PTR timer_ = 0;
  DwmIsCompositionEnabledCall is_composited_ = nullptr;
  DwmFlushCall flush_ = nullptr;
};

}  // namespace

Win32PictureBox::Win32PictureBox(HWND window) : window_(window) {
  RECT r;
  GetClientRect(window_, &r);
  Resize(r.right - r.left, r.bottom - r.top);
}

Win32PictureBox::~Win32PictureBox() {
  StopFrames();
  DropLayers();
  FreeBuffer(painted_);
  FreeBuffer(shown_);
}

Win32PictureBox::Buffer Win32PictureBox::NewBuffer(int width, int height, int bits_per_pixel) {
  Buffer buffer;
  HDC screen = GetDC(nullptr);
  buffer.dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  // 24 bits, no alpha: Wine's GDI+ takes a 32-bit DIB for one with alpha and
  // then fills and draws every frame pixel by pixel in software; on 24 bits
  // it draws through GDI (docs/benchmarks.md has the figures).
  info.bmiHeader.biBitCount = static_cast<WORD>(bits_per_pixel);
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  buffer.bitmap = CreateDIBSection(buffer.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!buffer.bitmap) {
    DeleteDC(buffer.dc);
    return {};
  }
  buffer.bits = static_cast<std::uint8_t*>(bits);
  buffer.old_bitmap = SelectObject(buffer.dc, buffer.bitmap);
  buffer.width = width, buffer.height = height, buffer.bits_per_pixel = bits_per_pixel;
  PatBlt(buffer.dc, 0, 0, width, height, BLACKNESS);
  return buffer;
}

void Win32PictureBox::FreeBuffer(Buffer& buffer) {
  if (!buffer.dc) return;
  SelectObject(buffer.dc, buffer.old_bitmap);
  DeleteObject(buffer.bitmap);
  DeleteDC(buffer.dc);
  buffer = {};
}

FrameBuffer Win32PictureBox::PixelsOf(const Buffer& buffer) {
  if (!buffer.bits) return {};
  GdiFlush();
  const int bytes = buffer.bits_per_pixel / 8;
  return FrameBuffer{buffer.bits, buffer.width, buffer.height, (buffer.width * bytes + 3) / 4 * 4, bytes};
}

void Win32PictureBox::Resize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (shown_.dc && width == shown_.width && height == shown_.height) return;
  Buffer fresh = NewBuffer(width, height);
  if (!fresh.dc) return;
  if (shown_.dc) BitBlt(fresh.dc, 0, 0, shown_.width, shown_.height, shown_.dc, 0, 0, SRCCOPY);  // keep what was drawn
  FreeBuffer(shown_);
  shown_ = fresh;
}

std::unique_ptr<Canvas> Win32PictureBox::CreateCanvas() { return CreateGdiplusCanvas(shown_.dc, PixelsOf(shown_)); }

Win32PictureBox::Buffer* Win32PictureBox::Layer(FrameLayer layer) {
  if (layer == FrameLayer::Shown) return &shown_;
  Buffer& buffer = layers_[layer == FrameLayer::Outgoing ? 0 : 1];
  if (buffer.dc && (buffer.width != shown_.width || buffer.height != shown_.height)) FreeBuffer(buffer);
  if (!buffer.dc) buffer = NewBuffer(shown_.width, shown_.height);
  return buffer.dc ? &buffer : nullptr;
}

std::unique_ptr<Canvas> Win32PictureBox::CreateLayerCanvas(FrameLayer layer) {
  Buffer* buffer = Layer(layer);
  return buffer ? CreateGdiplusCanvas(buffer->dc, PixelsOf(*buffer)) : nullptr;
}

FrameBuffer Win32PictureBox::LayerPixels(FrameLayer layer) {
  return PixelsOf(layer == FrameLayer::Shown ? shown_ : layers_[layer == FrameLayer::Outgoing ? 0 : 1]);
}

void Win32PictureBox::DropLayers() {
  for (Buffer& buffer : layers_) FreeBuffer(buffer);
}

void Win32PictureBox::PaceFrames(std::function<bool()> on_frame) {
  on_frame_.Set(std::move(on_frame));
  if (painted_.dc && (painted_.width != shown_.width || painted_.height != shown_.height)) FreeBuffer(painted_);
  if (!painted_.dc) painted_ = NewBuffer(shown_.width, shown_.height, 32);
  FramePacer::Get().Add(this);
}

void Win32PictureBox::StopFrames() {
  on_frame_.Set(nullptr);
  FreeBuffer(painted_);
  FramePacer::Get().Remove(this);
}

void Win32PictureBox::RunFrame() {
  if (!on_frame_.Run()) StopFrames();
}

void Win32PictureBox::Refresh() {
  InvalidateRect(window_, nullptr, FALSE);
  UpdateWindow(window_);
}

void Win32PictureBox::Clear() {
  PatBlt(shown_.dc, 0, 0, shown_.width, shown_.height, BLACKNESS);
  Refresh();
}

void Win32PictureBox::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  const bool copied = painted_.dc && painted_.width == shown_.width && painted_.height == shown_.height;
  if (copied) CopyFrame(PixelsOf(shown_), PixelsOf(painted_));
  BitBlt(dc, 0, 0, shown_.width, shown_.height, copied ? painted_.dc : shown_.dc, 0, 0, SRCCOPY);
  EndPaint(window_, &ps);
}
