// ADD SYNTH and DEL SYNTH: choosing a type to add within the engine's limits, and deleting a
// synth only after the user has said yes, since a deleted track cannot be brought back.
#include "edit/edit.h"
#include "engine/song.h"
#include "engine/synth_tracks.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_screens.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/prompt.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

namespace {

// Type names are padded to the longest ("BAMSVF"), so the prompt keeps one width.
constexpr int kTypeNameShown = 6;

struct SynthListScreens {
  int type = 0;    // ADD SYNTH: the type on offer
  int track = 0;   // DEL SYNTH: the synth asked about
};

SynthListScreens screens;

// A refusal of the edit layer as a message that X, O or START takes away.
void show_refusal(EditResult result) {
  const int state = result == EditResult::kMaxSynths ? kStateMaxSynths
                  : result == EditResult::kLastSynth ? kStateLastSynth
                                                     : kStateCannotAdd;
  show_message_state(state, edit_result_text(result));
}

void draw_add_synth() {
  show_prompt(
      PromptText("ADD SYNTH: ").add_padded(type_name_from_code(screens.type), kTypeNameShown).c_str());
}

void open_add_synth(int) {
  if (song.track_count >= MAX_TRACKS) return show_refusal(EditResult::kMaxSynths);
  screens.type = 0;
  set_editor_state(kStateAddSynthChoose);
  draw_add_synth();
}

void add_synth_input() {
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (button_pressed(kBtnX) || button_pressed(kBtnDRt)) {
    const EditResult result = edit_add_synth(screens.type);
    if (result != EditResult::kOk) return show_refusal(result);
    return close_menu();
  }
  int step = 0;
  if (button_held(kBtnDDn)) step = 1;
  if (button_held(kBtnDUp)) step = -1;
  if (step == 0) return;
  screens.type = (screens.type + step + kTypeCount) % kTypeCount;
  draw_add_synth();
}

void open_del_synth(int leaf_id) {
  if (song.track_count <= 1) return show_refusal(EditResult::kLastSynth);
  open_synth_list_leaf(leaf_id);
}

void del_synth_list_input() {
  if (list_keys(synth_name_list(), kListKeysAll)) return;
  if (!button_pressed(kBtnX) && !button_pressed(kBtnDRt)) return;
  screens.track = current_menu().selection;
  set_editor_state(kStateDelSynthQuestion);
  ask_question(PromptText("DEL SYNTH ").add_trimmed(song.track_name[screens.track]).add("?").c_str(),
               false);
}

void del_synth_question_input() {
  switch (question_keys()) {
    case QuestionKey::kConfirmed: {
      if (!question_answer()) return close_menu();
      const EditResult result = edit_delete_synth(screens.track);
      if (result != EditResult::kOk) return show_refusal(result);
      return close_menu();
    }
    case QuestionKey::kBack: return reopen_current_menu();
    case QuestionKey::kClose: return close_menu();
    default: return;
  }
}

}  // namespace

void register_synth_list_screens() {
  set_leaf_action(kStateAddSynth, open_add_synth);
  set_state_handler(kStateAddSynthChoose, add_synth_input);
  set_leaf_action(kStateDelSynth, open_del_synth);
  set_state_handler(kStateDelSynth, del_synth_list_input);
  set_state_handler(kStateDelSynthQuestion, del_synth_question_input);
}

}  // namespace zorbel
