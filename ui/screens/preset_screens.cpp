// SYNTH -> MAKE PRESET FILE, LOAD PRESET and SAVE PRESET: choosing a synth's preset file by its
// name, browsing and previewing its 64 presets, writing one over a step, the loop or the song,
// and replacing one with the synth's sound at the cursor.
#include "ui/screens/preset_screens.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "edit/edit.h"
#include "engine/song.h"
#include "files/colour_scheme.h"
#include "files/file_names.h"
#include "files/preset_file.h"
#include "engine/synth_tracks.h"
#include "ui/screens/custom_template_screen.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_tree.h"
#include "ui/draw/message_box.h"
#include "ui/widgets/file_browser.h"
#include "ui/widgets/prompt.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

namespace {

// Type names are padded to the longest ("BAMSVF") and file labels and preset names to the name
// entry's width, so a prompt keeps one width while its value steps.
constexpr int kTypeNameShown = 6;

const char* const kFreqAnswers[] = {"NO", "YES"};   // NO keeps the synth's frequency data
const char* const kRangeAnswers[] = {"STEP", "LOOP", "SONG"};
constexpr PresetRange kRanges[] = {PresetRange::kStep, PresetRange::kLoop, PresetRange::kSong};

struct PresetScreens {
  int track = 0;                   // the synth whose presets are loaded or saved
  bool saving = false;             // SAVE PRESET rather than LOAD PRESET
  std::vector<std::string> files;  // the preset folder, in list order
  std::vector<int> matches;        // indices into files of those offered to the synth
  int match = 0;
  PresetFile file;                 // the chosen file, read whole
  int preset = 0;                  // the preset shown
  bool keep_freq = false;          // LOAD PRESET: the synth's pitch data stays
  int make_type = 0;               // MAKE PRESET FILE: the type on offer
  NameEntry name;
};

PresetScreens screens;

// The file shown; "" before any was chosen (a state entered without its screen).
const std::string& chosen_file() {
  static const std::string kNone;
  if (screens.match < 0 || screens.match >= static_cast<int>(screens.matches.size())) return kNone;
  return screens.files[screens.matches[screens.match]];
}

bool pressed_x_or_right() { return button_pressed(kBtnX) || button_pressed(kBtnDRt); }

// +1 for D-DN held, -1 for D-UP held: the next or the previous of a stepped value.
int dpad_step() {
  if (button_held(kBtnDDn)) return 1;
  if (button_held(kBtnDUp)) return -1;
  return 0;
}

int wrapped(int value, int step, int count) {
  return count > 0 ? (value + step + count) % count : 0;
}

// A file problem: the message names the file or synth; the reason goes to stderr.
void show_could_not_open(const std::string& name, const std::string& reason) {
  if (!reason.empty()) std::fprintf(stderr, "could not open %s: %s\n", name.c_str(), reason.c_str());
  show_message_state(kStateCouldNotOpen, PromptText("COULD NOT OPEN ").add(name.c_str()).c_str());
}

void show_could_not_save(const std::string& name, const std::string& reason) {
  std::fprintf(stderr, "could not save %s: %s\n", name.c_str(), reason.c_str());
  show_message_state(kStateMessage18, PromptText("COULD NOT SAVE ").add(name.c_str()).c_str());
}

// The field is narrower than the prompt before it, which goes first.
void open_name_field() { show_name_entry(screens.name); }

// ---- Choosing the file -----------------------------------------------------------------------

void draw_file_choice() {
  show_prompt(PromptText("PRESET FILE: ")
                  .add_padded(preset_file_label(chosen_file()).c_str(), kPresetNameLength)
                  .c_str());
}

// The files whose names start with the synth's name and a ".": the first is shown.
void choose_file_for(int track, bool saving) {
  screens.track = track;
  screens.saving = saving;
  screens.files = scan_presets();
  screens.matches = preset_files_for_synth(screens.files, song.track_name[track]);
  if (screens.matches.empty()) {
    std::string synth = PromptText().add_trimmed(song.track_name[track]).c_str();
    return show_could_not_open(synth, "");
  }
  screens.match = 0;
  set_editor_state(saving ? kStateSavePreset : kStateLoadPresetFile);
  draw_file_choice();
}

void draw_load_prompt() {
  const bool preview = preset_preview_on();
  show_message(PromptText("LOAD PRESET: ")
                   .add_padded(screens.file.names[screens.preset].c_str(), kPresetNameLength)
                   .c_str(),
               colour_scheme.active[preview ? kSlotInterpolateText : kSlotActiveMenuText]);
}

void draw_save_prompt() {
  show_prompt(PromptText("SAVE PRESET: ")
                  .add_padded(screens.file.names[screens.preset].c_str(), kPresetNameLength)
                  .c_str());
}

// Reads the chosen file whole; a file that does not read as the synth's type is refused.
void open_chosen_file() {
  std::string reason;
  if (!read_preset_file(chosen_file().c_str(), song.synth_type[screens.track], screens.file,
                        &reason))
    return show_could_not_open(chosen_file(), reason);
  screens.preset = 0;
  set_editor_state(screens.saving ? kStateSavePresetChoose : kStateLoadPresetChoose);
  if (screens.saving) return draw_save_prompt();
  draw_load_prompt();
}

void file_choice_input() {
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (pressed_x_or_right()) return open_chosen_file();
  const int step = dpad_step();
  if (step == 0) return;
  screens.match = wrapped(screens.match, step, static_cast<int>(screens.matches.size()));
  draw_file_choice();
}

// ---- LOAD PRESET -------------------------------------------------------------------------------

void load_synth_list_input() {
  if (list_keys(synth_name_list(), kListKeysAll)) return;
  if (pressed_x_or_right()) choose_file_for(current_menu().selection, false);
}

void ask_range() {
  set_editor_state(kStateLoadPresetRange);
  ask_choice("LOAD TO STEP, LOOP, OR SONG?", kRangeAnswers, 3, 0);
}

// The preset shown: D-UP/D-DN browse; L-TR previews it keeping the synth's pitch data, R-TR
// with its own, a second press ends the preview; X takes it on to the questions. Every way out
// ends a preview first, so the loop never keeps a preview's values.
void load_choose_input() {
  const bool leaving = button_pressed(kBtnO) || button_pressed(kBtnDLt) ||
                       button_pressed(kBtnStart) || pressed_x_or_right();
  if (leaving) edit_end_preset_preview();
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (pressed_x_or_right()) {
    if (song.freq_mode[screens.track] == kFreqNone) {
      screens.keep_freq = false;
      return ask_range();
    }
    set_editor_state(kStateLoadPresetFreq);
    return ask_choice("OVERWRITE FREQ DATA?", kFreqAnswers, 2, 0);
  }
  const bool left = button_pressed(kBtnLTr);
  if (left || button_pressed(kBtnRTr)) {
    if (preset_preview_on())
      edit_end_preset_preview();
    else
      edit_preview_preset(screens.track, screens.file.presets[screens.preset], left);
    return draw_load_prompt();
  }
  const int step = dpad_step();
  if (step == 0 || preset_preview_on()) return;
  screens.preset = wrapped(screens.preset, step, kPresetsPerFile);
  draw_load_prompt();
}

void load_freq_input() {
  switch (choice_keys()) {
    case QuestionKey::kConfirmed:
      screens.keep_freq = choice_answer() == 0;
      return ask_range();
    case QuestionKey::kBack: return menu_back();
    case QuestionKey::kClose: return close_menu();
    default: return;
  }
}

void load_range_input() {
  switch (choice_keys()) {
    case QuestionKey::kConfirmed:
      edit_apply_preset(screens.track, screens.file.presets[screens.preset],
                        kRanges[choice_answer()], transport.current_loop, editor_link.cursor_step,
                        screens.keep_freq);
      return return_to_step_edit();
    case QuestionKey::kBack: return menu_back();
    case QuestionKey::kClose: return close_menu();
    default: return;
  }
}

// ---- SAVE PRESET -------------------------------------------------------------------------------

// The synth under the cursor, whose values at the cursor step the preset takes.
void open_save_preset(int) {
  choose_file_for(std::clamp(editor_link.cursor_track, 0, song.track_count - 1), true);
}

void save_choose_input() {
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (button_pressed(kBtnX)) {
    name_entry_begin(screens.name, kPresetNameLength, screens.file.names[screens.preset].c_str());
    set_editor_state(kStateSavePresetName);
    return open_name_field();
  }
  const int step = dpad_step();
  if (step == 0) return;
  screens.preset = wrapped(screens.preset, step, kPresetsPerFile);
  draw_save_prompt();
}

void save_name_input() {
  switch (name_entry_keys(screens.name)) {
    case NameKey::kCancelled: return return_to_step_edit();
    case NameKey::kConfirmed: {
      const std::string name = name_entry_text(screens.name);
      if (name.empty()) return;
      set_editor_state(kStateSavePresetQuestion);
      return ask_question(PromptText("SAVE PRESET ")
                              .add(name.c_str())
                              .add(" OVER ")
                              .add(screens.file.names[screens.preset].c_str())
                              .add("?")
                              .c_str(),
                          false);
    }
    default: return;
  }
}

void save_question_input() {
  switch (question_keys()) {
    case QuestionKey::kConfirmed: {
      if (!question_answer()) return return_to_step_edit();
      std::string reason;
      const EditResult result =
          edit_save_preset(screens.track, transport.current_loop, editor_link.cursor_step,
                           chosen_file().c_str(), screens.preset,
                           name_entry_text(screens.name).c_str(), &reason);
      if (result != EditResult::kOk) return show_could_not_save(chosen_file(), reason);
      return return_to_step_edit();
    }
    case QuestionKey::kBack:
    case QuestionKey::kClose: return return_to_step_edit();
    default: return;
  }
}

// ---- MAKE PRESET FILE --------------------------------------------------------------------------

void draw_make_type() {
  show_prompt(PromptText("MAKE PRESET FILE FOR: ")
                  .add_padded(type_name_from_code(screens.make_type), kTypeNameShown)
                  .c_str());
}

void open_make_preset_file(int) {
  screens.make_type = 0;
  set_editor_state(kStateMakePresetFile);
  draw_make_type();
}

void make_type_input() {
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (pressed_x_or_right()) {
    name_entry_begin(screens.name, kPresetNameLength);
    set_editor_state(kStateMakePresetName);
    return open_name_field();
  }
  const int step = dpad_step();
  if (step == 0) return;
  screens.make_type = wrapped(screens.make_type, step, kTypeCount);
  draw_make_type();
}

std::string made_file_name() {
  return preset_file_name(screens.make_type, name_entry_text(screens.name).c_str());
}

void write_made_file() {
  std::string reason;
  if (!make_preset_file(screens.make_type, name_entry_text(screens.name).c_str(), &reason))
    return show_could_not_save(made_file_name(), reason);
  return_to_step_edit();
}

void make_name_input() {
  switch (name_entry_keys(screens.name)) {
    case NameKey::kCancelled: return return_to_step_edit();
    case NameKey::kConfirmed:
      if (name_entry_text(screens.name).empty()) return;
      if (!file_exists(made_file_name().c_str(), kFileKindPreset)) return write_made_file();
      set_editor_state(kStateMakePresetOverwrite);
      return ask_question(PromptText("OVERWRITE ").add(made_file_name().c_str()).add("?").c_str(),
                          false);
    default: return;
  }
}

void make_overwrite_input() {
  switch (question_keys()) {
    case QuestionKey::kConfirmed:
      if (question_answer()) return write_made_file();
      return return_to_step_edit();
    case QuestionKey::kBack:
    case QuestionKey::kClose: return return_to_step_edit();
    default: return;
  }
}

}  // namespace

void register_preset_screens() {
  set_leaf_action(kStateMakePresetFile, open_make_preset_file);
  set_state_handler(kStateMakePresetFile, make_type_input);
  set_state_handler(kStateMakePresetName, make_name_input);
  set_state_handler(kStateMakePresetOverwrite, make_overwrite_input);

  set_leaf_action(kStateLoadPreset, open_synth_list_leaf);
  set_state_handler(kStateLoadPreset, load_synth_list_input);
  set_state_handler(kStateLoadPresetFile, file_choice_input);
  set_state_handler(kStateLoadPresetChoose, load_choose_input);
  set_state_handler(kStateLoadPresetFreq, load_freq_input);
  set_state_handler(kStateLoadPresetRange, load_range_input);

  set_leaf_action(kStateSavePreset, open_save_preset);
  set_state_handler(kStateSavePreset, file_choice_input);
  set_state_handler(kStateSavePresetChoose, save_choose_input);
  set_state_handler(kStateSavePresetName, save_name_input);
  set_state_handler(kStateSavePresetQuestion, save_question_input);

  register_custom_template_screen();
}

}  // namespace zorbel
