#pragma once
// The graphics library's lifetime: started by the first drawing or admission
// check, at most once, and shut down once when the saver ends. GDI+ on
// Windows (graphics_win.cpp); Cairo and Pango need no start-up, but the
// lifetime has the same shape on Linux (graphics_gtk.cpp).
#include <cstdint>
#include <memory>
#include <mutex>

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

// Who is inside the library off the UI thread (a decode on the picture
// queue). Shared with those threads, which may outlive the session.
class GraphicsGate {
 public:
  // False while the library is not running: then the caller stays out.
  bool Enter();
  void Leave();

 private:
  friend class GraphicsSession;
  std::mutex mutex_;
  int inside_ = 0;
  bool open_ = false;
};

// Started and stopped on the UI thread; other threads go through its gate.
class GraphicsSession {
 public:
  GraphicsSession(GraphicsLibrary& library, SystemPort& system) : library_(library), system_(system) {}
  // Starts the library unless it runs already; on failure shows
  // "Error loading GDI+!" and ends the process at once.
  void Start();
  // Shuts the library down, unless a thread is inside it: then it is left
  // running (the process ends next) rather than pulled from under that
  // thread. Either way no thread enters after.
  void Stop();
  bool Started() const { return token_ != 0; }
  const std::shared_ptr<GraphicsGate>& Gate() const { return gate_; }

 private:
  GraphicsLibrary& library_;
  SystemPort& system_;
  std::uint32_t token_ = 0;  // 0: not started
  std::shared_ptr<GraphicsGate> gate_ = std::make_shared<GraphicsGate>();
};
