// The step editor's own state: the copy source, what the sequencer screen last drew, and the
// redraw requests (the view and APAD settings are in view_settings). One instance; reset_step_editor() puts it back.
#pragma once

#include "engine/song.h"

namespace zorbel {

// The step copied with O+L-TR and a snapshot of its synth parameter values.
struct CopySource {
  bool selected;
  int step;
  int track;
  int loop;
  int value_count;
  float values[PARAM_SLOTS];
};

enum MuteBoxRequest : int { kMuteBoxNone = 0, kMuteBoxCursor = 1, kMuteBoxAll = 2 };

// What the sequencer screen has on the surface, so the per-frame update redraws only changes.
// A negative value means "nothing drawn yet": the next update draws that part.
struct DrawnScreen {
  int cursor_step;
  int cursor_track;
  int loop;
  int cursor_fill;     // the colour of the cursor cell's fill; -1 not drawn
  int copy_step;       // where the copy-source marker stands; -1 none
  int copy_track;
  int play_step;       // where the playback mark stands
  int song_pos;
  int rep_count;
  int play_mode;
  // What the transport panels show: the open panel, song mode, stopped, tempo, volume.
  int panel_state;
  int panel_mode;
  int panel_stopped;
  float panel_bpm;
  float panel_master_vol;
  int trig;
  int vol;
  int tvol;
  int pan;
  bool trig_active;    // TRIG/VOL panel in the active colour
  bool tvol_active;
  bool params_shown;   // the parameter lines hold text
  bool params_active;
  int octave_shown;    // the piano octave on screen + 1; 0 none
  char param_text[2][24];
  char param_name[2][16];
  float scope[1024];   // the samples the trace shows
  bool scope_valid;
};

struct StepEditor {
  CopySource copy;
  // After X+L-TR has cleared the cursor step, X acts again only once it has been released.
  bool x_waits_for_release;
  bool tri_was_held;
  // The cursor step and loop at the end of the last acting tick (hit marks follow the cursor).
  int tick_cursor_step;
  int tick_loop;

  // Redraw requests.
  bool request_values;     // TRIG/VOL and TVOL/PAN
  bool request_params;     // the quick parameter panel
  bool request_transport;  // the four transport panels
  bool request_loop_lines; // loop and song lines
  int request_mute_boxes;  // MuteBoxRequest

  DrawnScreen drawn;
};

extern StepEditor step_editor;

// No copy selected, every part of the screen to be drawn.
void reset_step_editor();
// Forgets what the screen shows: the next update redraws every changing part.
void forget_drawn_screen();
// Asks the next update to redraw every panel.
void request_all_panels();

}  // namespace zorbel
