// An Xlib I/O error handler: the only word a program gets that its X server is gone.
#include "ui/platform/display_loss.h"

#include <X11/Xlib.h>
#include <unistd.h>

namespace zorbel {

namespace {

void (*lost_handler)() = nullptr;
constexpr int kDisplayLostStatus = 3;

int on_io_error(Display*) {
  // Xlib ends the process when this returns; the handler leaves first with its own status.
  if (lost_handler) lost_handler();
  ::_exit(kDisplayLostStatus);
}

}  // namespace

void set_display_lost_handler(void (*handler)()) {
  lost_handler = handler;
  XSetIOErrorHandler(handler ? on_io_error : nullptr);
}

}  // namespace zorbel
