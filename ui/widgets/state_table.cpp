// The editor state machine: current state, handler table and the message states.
#include "ui/widgets/state_table.h"

#include "files/colour_scheme.h"
#include "ui/platform/input.h"
#include "ui/draw/message_box.h"

namespace zorbel {

namespace {

int current_state = kStateStepEdit;
StateInput handlers[kStateLast + 1] = {};
void (*background_redraw)() = nullptr;

}  // namespace

int editor_state() { return current_state; }
void set_editor_state(int state) { current_state = state; }

void set_state_handler(int state, StateInput on_input) {
  if (state < 0 || state > kStateLast) return;
  handlers[state] = on_input;
}

StateInput state_handler(int state) {
  if (state < 0 || state > kStateLast) return nullptr;
  return handlers[state];
}

void dispatch_editor_state() {
  const StateInput handler = state_handler(current_state);
  if (handler) handler();
}

void reset_state_table() {
  for (StateInput& h : handlers) h = nullptr;
  current_state = kStateStepEdit;
}

void show_message_state(int state, const char* text) {
  show_message(text, colour_scheme.active[kSlotActiveMenuText]);
  set_editor_state(state);
}

void message_state_input() {
  if (button_pressed(kBtnDLt) || button_pressed(kBtnDRt) || button_pressed(kBtnO) ||
      button_pressed(kBtnX) || button_pressed(kBtnStart))
    return_to_step_edit();
}

void return_to_step_edit() {
  set_editor_state(kStateStepEdit);
  redraw_background();
}

void set_background_redraw(void (*redraw)()) { background_redraw = redraw; }

void redraw_background() {
  if (background_redraw) background_redraw();
}

}  // namespace zorbel
