// The editor state machine: the current state, one input handler per state, and the shared
// ways back to step edit.
#pragma once

#include <cstdint>

#include "ui/widgets/editor_state.h"

namespace zorbel {

// A state's handler, called on each acting tick of the editor input while the state is current.
using StateInput = void (*)();

int editor_state();
void set_editor_state(int state);

// Registers the handler of a state (0..kStateLast); null makes the state inert.
void set_state_handler(int state, StateInput on_input);
StateInput state_handler(int state);
// Runs the current state's handler; a state without one, or above kStateLast, does nothing.
void dispatch_editor_state();

// Registers every screen's handlers; called once by the user-interface start-up. Each screen
// family adds its registration function here.
void register_all_screens();
// Forgets every handler and puts the state back to step edit (tests).
void reset_state_table();

// Shows text in the message box and enters a message state (18, 19, 69, 70, 72, 149, 150):
// D-LT, D-RT, O, X or START then return to step edit.
void show_message_state(int state, const char* text);
// The input handler the message states share.
void message_state_input();
// Editor state 0 and a full redraw of the sequencer screen: how every screen ends.
void return_to_step_edit();
// What lies under every menu, prompt and name field: the sequencer screen installs its full
// redraw here when it registers. Until then nothing is drawn.
void set_background_redraw(void (*redraw)());
void redraw_background();

}  // namespace zorbel
