#pragma once
// Monitor-power port: turn the monitors off, report power-state changes.
// (First cut: the interface grows with the subsystem that uses it.)
#include <memory>

class PowerPort {
 public:
  virtual ~PowerPort() = default;
};

std::unique_ptr<PowerPort> CreatePlatformPower();
