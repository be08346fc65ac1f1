// FREQMODE: the synth list from the first synth with a pitch, and the question that switches a
// synth between pitches in Hz (ABS) and note numbers (MIDI), which resets all its pitch values.
#include "edit/edit.h"
#include "engine/song.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_tree.h"
#include "ui/screens/param_page.h"
#include "ui/widgets/prompt.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

namespace {

// The answers of the mode question, in the order D-UP steps through them.
constexpr int kAnswerAbs = 0;
constexpr int kAnswerMidi = 1;
const char* const kModeAnswers[] = {"ABS ", "MIDI"};

int question_track = 0;

bool has_pitch(int track) {
  for (int k = 0; k < song.param_count[track]; ++k) {
    if (is_pitch_class(song.param_slot[track][k].cls)) return true;
  }
  return false;
}

void open_freq_mode(int leaf_id) {
  for (int t = 0; t < song.track_count; ++t) {
    if (!has_pitch(t)) continue;
    set_current_menu(leaf_id);
    current_menu().selection = static_cast<int16_t>(t);
    set_editor_state(leaf_id);
    draw_menu(synth_name_list(), kListCentred, t);
    return;
  }
  // No synth has a pitch: the CONFIG menu stays as it is, FREQMODE highlighted.
  set_current_menu(kMenuConfig);
}

void freq_mode_list_input() {
  if (list_keys(synth_name_list(), kListKeysAll)) return;
  if (!button_pressed(kBtnX) && !button_pressed(kBtnDRt)) return;
  const int track = current_menu().selection;
  if (track < 0 || track >= song.track_count || !has_pitch(track)) return;
  question_track = track;
  set_editor_state(kStateFreqModeQuestion);
  ask_choice(PromptText("SET ").add_trimmed(song.track_name[track]).add(" FREQ MODE:").c_str(),
             kModeAnswers, 2, song.freq_mode[track] == kFreqMidi ? kAnswerMidi : kAnswerAbs);
}

void freq_mode_question_input() {
  switch (choice_keys()) {
    case QuestionKey::kConfirmed: {
      const bool midi = choice_answer() == kAnswerMidi;
      // Switching resets every pitch value of the track, so only a real change does it.
      if (midi != (song.freq_mode[question_track] == kFreqMidi)) edit_set_freq_mode(question_track);
      return close_menu();
    }
    case QuestionKey::kBack: return reopen_current_menu();
    case QuestionKey::kClose: return close_menu();
    default: return;
  }
}

}  // namespace

void register_freq_mode_screen() {
  set_leaf_action(kStateFreqMode, open_freq_mode);
  set_state_handler(kStateFreqMode, freq_mode_list_input);
  set_state_handler(kStateFreqModeQuestion, freq_mode_question_input);
}

}  // namespace zorbel
