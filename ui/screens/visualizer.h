// The visualizer: the second top-level mode, seven animated displays of the output and of the
// triggers that play, with its own buttons for the transport, the loop and the display type.
#pragma once

#include <cstdint>

#include "engine/mixer.h"
#include "ui/platform/key_map.h"

namespace zorbel {

constexpr int kVisualizerTypeCount = 7;
// Samples the displays read: the right channel of the latest device buffer, then what the
// offline render last left in the second half.
constexpr int kDisplayBufferSize = 2 * kBufferFrames;
constexpr int kWobbleCircles = 4;
constexpr int kWobbleBlocks = 8;     // one 128-sample block per octant

// Everything the visualizer keeps between frames. One instance; the type survives leaving.
struct VisualizerState {
  int type = 0;
  // Colour trace: the counter the colour is made from and its three divisors (1..4).
  int colour_counter = 0;
  int divisors[3] = {1, 1, 1};
  // Random walk: position (0..239, 0..135), thresholds against a draw in -32767..32767, colour.
  int walker_x = 0;
  int walker_y = 0;
  float threshold_x = 0.0f;
  float threshold_y = 0.0f;
  uint16_t walker_colour = 0;
  // Level circles.
  float last_level = 1.0f;
  bool erase_circles = false;
  bool erase_key_held = false;  // D-UP or D-DN held at the last frame: one toggle per press
  // Wobbling circles: the samples each octant of each circle was displaced by last frame.
  float wobble[kWobbleCircles][kWobbleBlocks][kBlockFrames] = {};
  bool wobble_drawn = false;
  // Keys held when the visualizer was entered; each is ignored until it has been let go, so the
  // press that opened the visualizer does not also act in it.
  uint8_t latched[kKeySymbolCount] = {};
};

extern VisualizerState visualizer;

// Back to the start-up state: type 0 and fresh per-type state (tests).
void reset_visualizer();

// Enters mode 1 with editor state 25: clears and outlines the console area, starts the current
// type and forgets every key. The sequencer and the audio go on unchanged.
void enter_visualizer();
// The input function of mode 1 (acts on every third call, like the editor's).
void visualizer_input();
// The draw function of mode 1: the frame of the current type. The screen is locked.
void visualizer_frame();
// Registers both with the main loop; called once from register_all_screens().
void register_visualizer();

// Switches to type (0..6) and runs its start function.
void select_visualizer_type(int type);
void start_visualizer_type();

// What the displays read: kDisplayBufferSize samples, nominally in -1..1.
const float* display_buffer();
// Tracks with a full trigger at the step now playing; 0 while the transport is stopped.
int full_trigger_count();
// Held, and not still held from before the visualizer was entered.
bool visualizer_button(int key);
// A random whole number in low..high (both included), from the shared random table.
int random_int(int low, int high);

// The per-type start (clear and prepare) and frame functions.
using DisplayFunction = void (*)();
extern const DisplayFunction kDisplayStart[kVisualizerTypeCount];
extern const DisplayFunction kDisplayFrame[kVisualizerTypeCount];

}  // namespace zorbel
