// Hearing of a lost display connection (an X server that went away) before the windowing
// library ends the process.
#pragma once

namespace zorbel {

// Installs handler for a broken display connection. It runs on the thread that found the break,
// and the process ends right after it (the connection cannot be used again), so it must do its
// last work itself without drawing. Null removes it.
void set_display_lost_handler(void (*handler)());

}  // namespace zorbel
