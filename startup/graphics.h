#pragma once
// Graphics library lifetime: started lazily by the first drawing or admission
// check, at most once; shut down once by EndSaver. GDI+ on Windows
// (graphics_win.cpp); on Linux Cairo/Pango need little, but the lifetime has
// the same shape (graphics_gtk.cpp).
#include <cstdint>
#include <memory>

struct ProgramState;

class GraphicsLibrary {
 public:
  virtual ~GraphicsLibrary() = default;
  // GdiplusStartup(&token, {version 1}, nullptr): 0 (Ok) on success.
  virtual int Startup(std::uint32_t* token) = 0;
  // GdiplusShutdown(token).
  virtual void Shutdown(std::uint32_t token) = 0;
};

std::unique_ptr<GraphicsLibrary> CreatePlatformGraphics();

// Starts the graphics library unless it runs already; on failure shows
// "Error loading GDI+!" and ends the process at once.
void StartGdiplus(ProgramState& state);
void StopGdiplus(ProgramState& state);
