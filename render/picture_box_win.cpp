#include "render/picture_box_win.h"

#include <algorithm>

#include "render/canvas_gdiplus.h"

Win32PictureBox::Win32PictureBox(HWND window) : window_(window) {
  RECT r;
  GetClientRect(window_, &r);
  Resize(r.right - r.left, r.bottom - r.top);
}

Win32PictureBox::~Win32PictureBox() {
  if (dc_) {
    SelectObject(dc_, old_bitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
}

void Win32PictureBox::Resize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (dc_ && width == width_ && height == height_) return;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  // 24 bits, no alpha: Wine's GDI+ takes a 32-bit DIB for one with alpha and
  // then fills and draws every frame pixel by pixel in software; on 24 bits
  // it draws through GDI (docs/benchmarks.md has the figures).
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, width, height, BLACKNESS);
  if (dc_) {  // keep what was drawn, as a resized picture box does
    BitBlt(dc, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
    SelectObject(dc_, old_bitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  dc_ = dc;
  bitmap_ = bitmap;
  old_bitmap_ = old;
  width_ = width;
  height_ = height;
}

std::unique_ptr<Canvas> Win32PictureBox::CreateCanvas() { return CreateGdiplusCanvas(dc_); }

void Win32PictureBox::Refresh() {
  InvalidateRect(window_, nullptr, FALSE);
  UpdateWindow(window_);
}

void Win32PictureBox::Clear() {
  PatBlt(dc_, 0, 0, width_, height_, BLACKNESS);
  Refresh();
}

void Win32PictureBox::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  BitBlt(dc, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
  EndPaint(window_, &ps);
}
