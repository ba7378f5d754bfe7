#include "fakes/fake_display.h"

FakeDisplay::Adapter& FakeDisplay::AddAdapter(const std::string& description, bool attached) {
  Adapter& a = adapters.emplace_back();
  a.description = description;
  a.attached = attached;
  return a;
}

FakeDisplay::Adapter& FakeDisplay::AddMonitor(int x, int y, int width, int height, bool primary) {
  Adapter& a = AddAdapter("A", true);
  a.primary = primary;
  a.monitors.push_back({"M", true});
  a.current_mode = a.stored_mode =
      DisplayMode{x, y, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
  a.work = {x, y, x + width, y + height - 40};
  return a;
}

std::optional<WindowRect> FakeDisplay::WorkAreaAt(std::int32_t x, std::int32_t y) {
  for (const Adapter& a : adapters) {
    if (!a.attached || !a.current_mode) continue;
    const DisplayMode& m = *a.current_mode;
    if (static_cast<std::uint32_t>(x - m.left) < m.width && static_cast<std::uint32_t>(y - m.top) < m.height)
      return a.work;
  }
  return std::nullopt;
}
