#pragma once
// Dialog services port: input box, folder picker, colour picker, link opener.
// (First cut: the interface grows with the subsystem that uses it.)
#include <memory>

class DialogServices {
 public:
  virtual ~DialogServices() = default;
};

std::unique_ptr<DialogServices> CreatePlatformDialogServices();
