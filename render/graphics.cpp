#include "render/graphics.h"

#include <utility>

#include "platform/system.h"

bool GraphicsGate::Enter() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (open_) ++inside_;
  return open_;
}

void GraphicsGate::Leave() {
  std::lock_guard<std::mutex> lock(mutex_);
  --inside_;
}

void GraphicsSession::Start() {
  if (token_ != 0) return;
  if (library_.Startup(&token_) != 0) {
    // Default title: the graphics library failed, so nothing else is trusted.
    system_.ShowMessage("Error loading GDI+!", "", MessageBoxStyle::Critical);
    system_.EndProcess(1);
  }
  std::lock_guard<std::mutex> lock(gate_->mutex_);
  gate_->open_ = true;
}

void GraphicsSession::Stop() {
  if (token_ == 0) return;
  const std::uint32_t token = std::exchange(token_, 0);
  {
    std::lock_guard<std::mutex> lock(gate_->mutex_);
    gate_->open_ = false;
    if (gate_->inside_ > 0) return;
  }
  library_.Shutdown(token);
}
