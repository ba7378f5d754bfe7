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
    width = width_;
    height = height_;
  }
  void Refresh() override;
  void Clear() override;

  // Sizes the buffer, keeping what was drawn.
  void Resize(int width, int height);
  void OnPaint();
  HDC BufferDC() const { return dc_; }

 private:
  HWND window_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_bitmap_ = nullptr;
  int width_ = 0, height_ = 0;
};
