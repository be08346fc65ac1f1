// The MIDI settings screens and the frame's MIDI input, drawn like the other settings.
#include "ui/screens/midi_screen.h"

#include "edit/midi_dispatch.h"
#include "engine/midi_settings.h"
#include "engine/song.h"
#include "ui/platform/input.h"
#include "ui/screens/menu_tree.h"
#include "ui/screens/param_page.h"
#include "ui/screens/step_editor.h"
#include "ui/widgets/editor_state.h"
#include "ui/widgets/prompt.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

namespace {

const char* const kSyncAnswers[] = {"OFF", "SEND", "FOLLOW"};  // by MidiSync
constexpr int kSyncAnswerCount = 3;

struct MidiScreen {
  bool flag = false;  // the working copy of NOTE INPUT or CHANNEL PLAY
  void (*settings_hook)() = nullptr;
};

MidiScreen screen;

void settings_stored() {
  if (screen.settings_hook) screen.settings_hook();
}

// ---- SYNC ----

void open_sync(int) {
  set_editor_state(kStateMidiSync);
  ask_choice("MIDI SYNC:", kSyncAnswers, kSyncAnswerCount,
             static_cast<int>(midi_settings.sync.load()));
}

void sync_input() {
  switch (choice_keys()) {
    case QuestionKey::kConfirmed:
      midi_settings.sync.store(static_cast<MidiSync>(choice_answer()));
      settings_stored();
      return close_menu();
    case QuestionKey::kBack: return menu_back();
    case QuestionKey::kClose: return close_menu();
    default: return;
  }
}

// ---- NOTE INPUT and CHANNEL PLAY: on/off, stored with X or D-RT ----

const char* on_off_label(int state) {
  return state == kStateMidiNoteInput ? "MIDI NOTE INPUT:" : "MIDI CHANNEL PLAY:";
}

std::atomic<bool>& on_off_setting(int state) {
  return state == kStateMidiNoteInput ? midi_settings.note_input : midi_settings.channel_play;
}

void open_on_off(int leaf) {
  screen.flag = on_off_setting(leaf).load();
  set_editor_state(leaf);
  show_on_off_prompt(on_off_label(leaf), screen.flag);
}

void on_off_input() {
  const int state = editor_state();
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (button_pressed(kBtnX) || button_pressed(kBtnDRt)) {
    on_off_setting(state).store(screen.flag);
    settings_stored();
    return close_menu();
  }
  if (!button_pressed(kBtnDUp) && !button_pressed(kBtnDDn)) return;
  screen.flag = !screen.flag;
  show_on_off_prompt(on_off_label(state), screen.flag);
}

const ScreenEntry kScreens[] = {
    {kStateMidiSync, open_sync, kStateMidiSync, sync_input},
    {kStateMidiNoteInput, open_on_off, kStateMidiNoteInput, on_off_input},
    {kStateMidiChannelPlay, open_on_off, kStateMidiChannelPlay, on_off_input},
};

bool on_parameter_page(int state) { return state >= kStateGenPage && state <= kStateEnvPage; }

// The track notes go into here, or -1.
int note_track() {
  const int state = editor_state();
  if (state == kStateStepEdit) {
    const int track = editor_link.cursor_track;
    return track >= 0 && track < song.track_count ? track : -1;
  }
  if (on_parameter_page(state)) return param_page.track;
  return -1;
}

}  // namespace

void register_midi_screens() { register_screens(kScreens); }

void set_midi_settings_hook(void (*hook)()) { screen.settings_hook = hook; }

void midi_frame(uint32_t now_ms) {
  const MidiNews news = dispatch_midi_input(now_ms, note_track());
  if (news.notes_entered) {
    if (on_parameter_page(editor_state())) {
      draw_parameter_page();
    } else {
      editor_link.redraw_grid.store(true);
      request_all_panels();
    }
  }
  if (news.clock_lost) show_message_state(kStateMessage18, "MIDI CLOCK LOST");
}

}  // namespace zorbel
