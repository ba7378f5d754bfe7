#include "render/graphics.h"

#include "platform/system.h"

void GraphicsSession::Start() {
  if (token_ != 0) return;
  if (library_.Startup(&token_) != 0) {
    // Default title: the graphics library failed, so nothing else is trusted.
    system_.ShowMessage("Error loading GDI+!", "", MessageBoxStyle::Critical);
    system_.EndProcess(1);
  }
}

void GraphicsSession::Stop() {
  if (token_ == 0) return;
  library_.Shutdown(token_);
  token_ = 0;
}
