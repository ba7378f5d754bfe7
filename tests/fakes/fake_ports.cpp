#include "fakes/fake_ports.h"

FakePorts::FakePorts() = default;
FakePorts::~FakePorts() = default;

Ports FakePorts::View() {
  Ports p;
  p.loop = &loop;
  p.system = &system;
  p.windows = &windows;
  p.display = &display;
  p.graphics = &graphics;
  p.dialogs = &dialogs;
  p.power = &power;
  p.registry = &registry;
  p.files = &files;
  p.probe = &probe;
  return p;
}

FakeProgram::FakeProgram() { state.ports = fakes.View(); }
FakeProgram::~FakeProgram() = default;
