// The transport panels: song mode, play and stop, restart, tempo and master volume.
#include "ui/screens/transport_panels.h"
#include "ui/screens/undo_keys.h"

#include <initializer_list>

#include "edit/edit.h"
#include "engine/song.h"
#include "ui/platform/input.h"
#include "ui/screens/menu_tree.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/widgets/state_table.h"
#include "ui/screens/step_editor.h"

namespace zorbel {

namespace {

constexpr float kMasterVolCeiling = 10.0f;
constexpr float kMasterVolAboveCeiling = 9.99f;

// D-RT / D-LT walk the panels in this order, wrapping.
int next_panel(int state, int delta) {
  const int first = kStatePanelSongLoop;
  const int count = kStatePanelVol - kStatePanelSongLoop + 1;
  return first + ((state - first + delta) % count + count) % count;
}

void song_loop_panel() {
  if (button_pressed(kBtnDUp) || button_pressed(kBtnDDn)) transport_toggle_song_mode();
}

void play_stop_panel() {
  if (button_pressed(kBtnDUp) || button_pressed(kBtnDDn)) transport_toggle_play();
  if (button_pressed(kBtnX)) {
    transport_restart();
    redraw_sequencer_screen();
  }
}

void bpm_panel() {
  float bpm = song.bpm;
  if (button_held(kBtnDUp) || button_held(kBtnAUp)) bpm += 1.0f;
  if (button_held(kBtnDDn) || button_held(kBtnADn)) bpm -= 1.0f;
  const int drag = mouse_drag_pixels();
  if (mouse_left_held()) bpm += 0.002f * static_cast<float>(drag);
  if (mouse_right_held()) bpm += 0.2f * static_cast<float>(drag);
  if (bpm != song.bpm) edit_bpm(bpm);
}

void vol_panel() {
  float vol = song.master_vol;
  if (button_held(kBtnDUp)) vol += 0.01f;
  if (button_held(kBtnDDn)) vol -= 0.01f;
  if (button_held(kBtnAUp)) vol += 0.1f;
  if (button_held(kBtnADn)) vol -= 0.1f;
  const int drag = mouse_drag_pixels();
  if (mouse_left_held()) vol += 0.0001f * static_cast<float>(drag);
  if (mouse_right_held()) vol += 0.01f * static_cast<float>(drag);
  if (vol > kMasterVolCeiling) vol = kMasterVolAboveCeiling;
  if (vol < 0.0f) vol = 0.0f;
  if (vol != song.master_vol) edit_master_vol(vol);
}

void transport_panel_input() {
  const int state = editor_state();
  step_editor.request_transport = true;
  if (undo_combination()) {
    request_all_panels();
    return;
  }
  if (button_pressed(kBtnRTr)) transport_loop_change(1);
  if (button_pressed(kBtnLTr)) transport_loop_change(-1);
  if (button_pressed(kBtnSelect)) {
    set_editor_state(kStateStepEdit);
    request_all_panels();
    return;
  }
  if (button_pressed(kBtnStart)) {
    const bool song_playing =
        transport.play_mode == kPlaySong && transport.transport_stopped.load() == 0;
    if (!song_playing) {
      open_main_menu();
      return;
    }
  }
  if (button_pressed(kBtnDRt) || button_pressed(kBtnDLt)) {
    set_editor_state(next_panel(state, button_pressed(kBtnDRt) ? 1 : -1));
    request_all_panels();
    return;
  }
  switch (state) {
    case kStatePanelSongLoop: song_loop_panel(); break;
    case kStatePanelPlayStop: play_stop_panel(); break;
    case kStatePanelBpm: bpm_panel(); break;
    case kStatePanelVol: vol_panel(); break;
    default: break;
  }
}

}  // namespace

void register_transport_panels() {
  for (int state : {kStatePanelSongLoop, kStatePanelPlayStop, kStatePanelBpm, kStatePanelVol})
    set_state_handler(state, transport_panel_input);
}

}  // namespace zorbel
