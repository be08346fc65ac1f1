// Entering and leaving the visualizer, its buttons, and what the displays read from the engine.
#include "ui/screens/visualizer.h"

#include <algorithm>
#include <cstring>

#include "edit/edit.h"
#include "engine/song.h"
#include "engine/step_event.h"
#include "files/colour_scheme.h"
#include "synth/random_table.h"
#include "ui/draw/draw.h"
#include "ui/platform/input.h"
#include "ui/platform/main_loop.h"
#include "ui/screens/menu_tree.h"
#include "ui/draw/screen.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

VisualizerState visualizer;

namespace {

constexpr uint16_t kEntryFrameColour = 0xFFFF;
constexpr int kEntryFrameHeight = 271;

void leave_visualizer() {
  set_mode(kModeEditor);
  editor_link.visualizer_showing.store(false);
  // O or START is still held: the editor must not see it as a new press, or START in step edit
  // would open the visualizer again at once.
  std::memcpy(input.previous, input.keys, kPreviousKeyCount);
  return_to_step_edit();
}

// R-TR and L-TR change the loop at once here, whatever the instant-switch setting.
void change_loop_now(int direction) {
  const bool instant = transport.instant_loop_switch != 0;
  transport_set_instant_switch(true);
  transport_loop_change(direction);
  transport_set_instant_switch(instant);
}

}  // namespace

void reset_visualizer() { visualizer = VisualizerState{}; }

const float* display_buffer() { return buses.record_right; }

int full_trigger_count() {
  if (transport.transport_stopped.load() != 0) return 0;
  return std::clamp(last_full_trigger_count(), 0, MAX_TRACKS);
}

int random_int(int low, int high) {
  const int value = low + static_cast<int>(random_between(0.0f, static_cast<float>(high - low + 1)));
  return std::clamp(value, low, high);
}

bool visualizer_button(int key) {
  if (key < 0 || key >= kKeySymbolCount) return false;
  if (!button_held(key)) {
    visualizer.latched[key] = 0;
    return false;
  }
  return visualizer.latched[key] == 0;
}

void start_visualizer_type() { kDisplayStart[visualizer.type](); }

void select_visualizer_type(int type) {
  visualizer.type = ((type % kVisualizerTypeCount) + kVisualizerTypeCount) % kVisualizerTypeCount;
  start_visualizer_type();
}

void enter_visualizer() {
  set_editor_state(kStateVisualizer);
  set_mode(kModeVisualizer);
  editor_link.visualizer_showing.store(true);
  clear_console_area(colour_scheme.active[kSlotBackground]);
  draw_rect(kConsoleX, kConsoleY, kConsoleWidth, kEntryFrameHeight, kEntryFrameColour);
  start_visualizer_type();
  std::memcpy(visualizer.latched, input.keys, sizeof visualizer.latched);
  forget_keys();
}

void visualizer_frame() { kDisplayFrame[visualizer.type](); }

// Keys are not edge-detected: a held button repeats its action on every acting tick.
void visualizer_input() {
  if (!input_tick()) return;
  if (button_held(kKeyEscape)) {
    input.quit = true;
    return;
  }
  if (visualizer_button(kBtnO) || visualizer_button(kBtnStart)) {
    leave_visualizer();
    return;
  }
  if (visualizer_button(kBtnDRt))
    select_visualizer_type(visualizer.type + 1);
  else if (visualizer_button(kBtnDLt))
    select_visualizer_type(visualizer.type - 1);
  if (visualizer_button(kBtnRTr)) change_loop_now(1);
  if (visualizer_button(kBtnLTr)) change_loop_now(-1);
  if (visualizer_button(kBtnX)) transport_toggle_play();
  if (visualizer_button(kBtnSq)) {
    fill_rect(kConsoleX, kConsoleY, kConsoleWidth, kConsoleHeight, 0);
    start_visualizer_type();
  }
  if (visualizer_button(kBtnTri)) transport_restart();
}

void register_visualizer() {
  set_mode_functions(kModeVisualizer, visualizer_frame, visualizer_input);
  // SYSTEM > VISUALIZE: the menu is simply left behind; leaving returns to step edit.
  set_leaf_action(kStateVisualizer, [](int) { enter_visualizer(); });
  // Each start of the workstation begins with the oscilloscope.
  reset_visualizer();
}

}  // namespace zorbel
