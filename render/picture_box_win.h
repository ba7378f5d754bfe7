#pragma once
// The picture box on Win32: a back buffer (a memory DC with a 24-bit DIB
// section) that frames are drawn into and that the window paints on
// WM_PAINT, like a picture box with AutoRedraw on. The owning window calls
// OnSize and OnPaint from its window procedure.
#include <windows.h>

#include "render/canvas.h"

class Win32PictureBox final : public PictureBox {
 public:
  explicit Win32PictureBox(HWND window);
  ~Win32PictureBox() override;
  Win32PictureBox(const Win32PictureBox&) = delete;
  Win32PictureBox& operator=(const Win32PictureBox&) = delete;

  std::unique_ptr<Canvas> CreateCanvas() override;
  void AreaSize(int& width, int& height) override {
    width = shown_.width;
    height = shown_.height;
  }
  void Refresh() override;
  void Clear() override;
  std::unique_ptr<Canvas> CreateLayerCanvas(FrameLayer layer) override;
  FrameBuffer LayerPixels(FrameLayer layer) override;
  void LayerPixelsChanged(FrameLayer) override {}
  void DropLayers() override;
  // Paced by a timer that waits for the desktop compositor's next frame
  // (DwmFlush) where it runs; 60 a second where it does not.
  void PaceFrames(std::function<bool()> on_frame) override;
  void StopFrames() override;
  void RunFrame();

  // Sizes the buffer, keeping what was drawn.
  void Resize(int width, int height);
  void OnPaint();
  HDC BufferDC() const { return shown_.dc; }

 private:
  // A memory DC with a top-down 24-bit DIB section, all black.
  struct Buffer {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old_bitmap = nullptr;
    std::uint8_t* bits = nullptr;
    int width = 0, height = 0;
    int bits_per_pixel = 24;
  };
  static Buffer NewBuffer(int width, int height, int bits = 24);
  static void FreeBuffer(Buffer& buffer);
  static FrameBuffer PixelsOf(const Buffer& buffer);
  Buffer* Layer(FrameLayer layer);

  HWND window_;
  Buffer shown_;
  Buffer layers_[2];  // outgoing, incoming
  // While frames run, what is painted: the frame copied into 32 bits, the
  // window's own layout, so that painting it is a plain copy.
  Buffer painted_;
  FrameCallback on_frame_;
};
