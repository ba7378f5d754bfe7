#pragma once
// The graphics library's lifetime: started by the first drawing or admission
// check, at most once, and shut down once when the saver ends. GDI+ on
// Windows (graphics_win.cpp); Cairo and Pango need no start-up, but the
// lifetime has the same shape on Linux (graphics_gtk.cpp).
#include <cstdint>
#include <memory>

class SystemPort;

class GraphicsLibrary {
 public:
  virtual ~GraphicsLibrary() = default;
  // GdiplusStartup(&token, {version 1}, nullptr): 0 (Ok) on success.
  virtual int Startup(std::uint32_t* token) = 0;
  // GdiplusShutdown(token).
  virtual void Shutdown(std::uint32_t token) = 0;
};

std::unique_ptr<GraphicsLibrary> CreatePlatformGraphics();

class GraphicsSession {
 public:
  GraphicsSession(GraphicsLibrary& library, SystemPort& system) : library_(library), system_(system) {}
  // Starts the library unless it runs already; on failure shows
  // "Error loading GDI+!" and ends the process at once.
  void Start();
  void Stop();
  bool Started() const { return token_ != 0; }

 private:
  GraphicsLibrary& library_;
  SystemPort& system_;
  std::uint32_t token_ = 0;  // 0: not started
};
