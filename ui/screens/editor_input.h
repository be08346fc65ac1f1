// The input function of the editor mode: the shared tick, Esc, and the editor state's handler.
#pragma once

namespace zorbel {

// Called by the main loop once per event and every sixth frame; acts on every third call.
void editor_input();

}  // namespace zorbel
