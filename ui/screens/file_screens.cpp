// LOAD, SAVE, SAVE AS, the overwrite question, RENAME LOOP, RECORD and NEW. A failed load or
// save says so and leaves the song, its name and the files on disk as they were.
#include "ui/screens/file_screens.h"

#include <algorithm>
#include <chrono>
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "edit/edit.h"
#include "engine/song.h"
#include "files/custom_template_file.h"
#include "files/file_names.h"
#include "files/colour_scheme.h"
#include "files/file_replace.h"
#include "files/platform_dir.h"
#include "files/song_file.h"
#include "files/wav_recorder.h"
#include "ui/draw/draw.h"
#include "ui/draw/message_box.h"
#include "ui/draw/text.h"
#include "ui/widgets/editor_state.h"
#include "ui/widgets/file_browser.h"
#include "ui/platform/input.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_tree.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/widgets/prompt.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

namespace {

constexpr int kTriJump = 8;              // names TRI with D-UP / D-DN skips
constexpr int kBuiltInTemplates = 5;     // NEW items 0..4; CUSTOM0..3 follow

struct FileScreens {
  std::vector<std::string> names;  // the LOAD list
  int selected = 0;
  NameEntry entry;                 // SAVE AS, RENAME LOOP and RECORD names
  // The file the song was last loaded from or saved to, and the name shown for it then: SAVE
  // writes exactly that file while the shown name is still the same, whatever the file's name
  // holds (dots, a length the name field cannot show).
  std::string song_file;
  std::string song_file_shown;
  bool saving_own_file = false;    // the overwrite question came from SAVE, not SAVE AS
  int loop = 0;                    // RENAME LOOP: the loop being named
  int new_item = 0;                // NEW: the item asked about
  CustomTemplateEditorOpen custom_editor = nullptr;
};

FileScreens screens;

bool confirm_pressed() { return button_pressed(kBtnX) || button_pressed(kBtnDRt); }

void set_song_name(const std::string& name) {
  std::snprintf(editor_link.song_name, sizeof editor_link.song_name, "%s", name.c_str());
}

// The name shown for a song file: the file name without its song extension.
std::string song_name_of_file(const std::string& file) {
  const std::string ext = make_file_name("", kFileKindSong);
  if (file.size() >= ext.size() &&
      strcasecmp(file.c_str() + file.size() - ext.size(), ext.c_str()) == 0)
    return file.substr(0, file.size() - ext.size());
  return file;
}

void remember_song_file(const std::string& file) {
  screens.song_file = file;
  screens.song_file_shown = editor_link.song_name;
}

// The file SAVE writes: the remembered one while the song still shows its name, otherwise the
// file made from the shown name ("" when the song has none yet).
std::string song_save_file() {
  if (!screens.song_file.empty() && screens.song_file_shown == editor_link.song_name)
    return screens.song_file;
  if (std::strcmp(editor_link.song_name, kNoSongName) == 0) return "";
  return make_file_name(editor_link.song_name, kFileKindSong);
}

void show_could_not_save(const std::string& file_name) {
  const std::string& reason = last_replace_failure();
  std::fprintf(stderr, "zorbel: could not save %s: %s\n", file_name.c_str(),
               reason.empty() ? "not written" : reason.c_str());
  show_message_state(kStateMessage18, PromptText("COULD NOT SAVE ").add(file_name.c_str()).c_str());
}

// ---- LOAD ----

void draw_load_list() { draw_file_list(screens.names, screens.selected); }

void open_load(int) {
  screens.names = scan_files(kFileKindSong);
  screens.selected = 0;
  set_editor_state(kStateLoad);
  draw_file_frame();
  draw_load_list();
}

void load_selected() {
  if (screens.names.empty()) return;
  const std::string& file = screens.names[screens.selected];
  std::string reason;
  const std::string path = std::string(kSongFolder) + file;
  if (edit_load_song(path.c_str(), &reason) != EditResult::kOk) {
    std::fprintf(stderr, "zorbel: could not open %s: %s\n", path.c_str(), reason.c_str());
    show_message_state(kStateCouldNotOpen, PromptText("COULD NOT OPEN ").add(file.c_str()).c_str());
    return;
  }
  set_song_name(song_name_of_file(file));
  remember_song_file(file);
  const std::string& missing = first_missing_sample();
  if (missing.empty()) return return_to_step_edit();
  // The song plays with a silent placeholder that keeps the sample's name for the next save.
  std::fprintf(stderr, "zorbel: %s: sample %s not found in %s\n", path.c_str(), missing.c_str(),
               kWavFolder);
  show_message_state(kStateWavNotLoaded,
                     PromptText("WAV NOT LOADED: ").add(missing.c_str()).c_str());
}

void load_input() {
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (confirm_pressed()) return load_selected();
  const int step = button_held(kBtnTri) ? kTriJump : 1;
  int delta = 0;
  if (button_held(kBtnDUp)) delta = -step;
  else if (button_held(kBtnDDn)) delta = step;
  if (delta == 0 || screens.names.empty()) return;
  screens.selected = step_selection(screens.selected, delta, static_cast<int>(screens.names.size()));
  draw_load_list();
}

// ---- SAVE, SAVE AS and the overwrite question ----

void ask_overwrite(int state, const std::string& file_name) {
  set_editor_state(state);
  ask_question(PromptText("OVERWRITE ").add(file_name.c_str()).add("?").c_str(), true);
}

void save_song_file(const std::string& file, const std::string& shown_name) {
  if (edit_save_song(file.c_str()) != EditResult::kOk) return show_could_not_save(file);
  set_song_name(shown_name);
  remember_song_file(file);
  return_to_step_edit();
}

void save_entered_song() {
  const std::string name = name_entry_text(screens.entry);
  if (name.empty()) return return_to_step_edit();
  save_song_file(make_file_name(name.c_str(), kFileKindSong), name);
}

// SAVE: the song's own file again, under the name it shows.
void save_named_song() {
  const std::string shown = editor_link.song_name;
  save_song_file(song_save_file(), shown);
}

void open_save_as(int) {
  name_entry_begin(screens.entry, kSongNameLength);
  set_editor_state(kStateSaveAs);
  show_name_entry(screens.entry);
}

void open_save(int leaf_id) {
  const std::string file = song_save_file();
  if (file.empty()) return open_save_as(leaf_id);
  screens.saving_own_file = true;
  ask_overwrite(kStateOverwrite, file);
}

void save_as_input() {
  switch (name_entry_keys(screens.entry)) {
    case NameKey::kCancelled: return return_to_step_edit();
    case NameKey::kConfirmed: {
      const std::string name = name_entry_text(screens.entry);
      if (name.empty()) return;
      const std::string file = make_file_name(name.c_str(), kFileKindSong);
      screens.saving_own_file = false;
      if (file_exists(file.c_str(), kFileKindSong)) return ask_overwrite(kStateOverwrite, file);
      return save_entered_song();
    }
    default: return;
  }
}

// The overwrite questions: Y does the write, N does nothing; either way back to step edit.
void overwrite_input(void (*write)()) {
  switch (question_keys()) {
    case QuestionKey::kConfirmed:
      if (question_answer()) return write();
      return return_to_step_edit();
    case QuestionKey::kBack:
    case QuestionKey::kClose: return return_to_step_edit();
    default: return;
  }
}

void song_overwrite_input() {
  overwrite_input(screens.saving_own_file ? save_named_song : save_entered_song);
}

// ---- RENAME LOOP ----

void draw_rename_loop() {
  show_prompt(PromptText("RENAME LOOP ").add(song.loop_name[screens.loop]).c_str());
}

void open_rename_loop(int) {
  screens.loop = transport.current_loop;
  set_editor_state(kStateRenameLoop);
  draw_rename_loop();
}

void rename_loop_input() {
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (confirm_pressed()) {
    name_entry_begin(screens.entry, kLoopNameLength);
    set_editor_state(kStateRenameLoopName);
    show_name_entry(screens.entry);
    return;
  }
  int step = 0;
  if (button_held(kBtnDUp)) step = 1;
  else if (button_held(kBtnDDn)) step = -1;
  else if (mouse_left_held()) {
    const int pixels = mouse_drag_pixels();
    step = (pixels > 0) - (pixels < 0);
  }
  if (step == 0) return;
  screens.loop = step_selection(screens.loop, step, MAX_LOOPS);
  draw_rename_loop();
}

void rename_loop_name_input() {
  switch (name_entry_keys(screens.entry)) {
    case NameKey::kCancelled: return return_to_step_edit();
    case NameKey::kConfirmed:
      // An empty name is allowed: the loop then shows no name.
      edit_loop_name(screens.loop, name_entry_text(screens.entry).c_str());
      return return_to_step_edit();
    default: return;
  }
}

// ---- RECORD ----

// The RECORD list: the loop, the song, or the stems of what the transport plays.
enum RecordItem { kRecordLoopItem = 0, kRecordSongItem = 1, kRecordStemsItem = 2 };
constexpr const char* kRecordQuestions[] = {"RECORD LOOP?", "RECORD SONG?", "RECORD STEMS?"};
// Rendering gets this much of each frame while a recording runs; the frame then shows progress.
constexpr auto kRecordSlice = std::chrono::milliseconds(40);
constexpr int kProgressBarWidth = 200;  // pixels
constexpr int kProgressBarHeight = 8;

struct RecordScreen {
  int item = kRecordLoopItem;
  RecordJob job;
  std::string file;
  long drawn_done = -1;
};

RecordScreen recorder;

void open_record(int) {
  current_menu().selection = transport.play_mode == kPlaySong ? kRecordSongItem : kRecordLoopItem;
  open_menu(false);
}

void record_list_input() {
  if (list_keys(menu_items(current_menu()), kListKeysAll)) return;
  if (!confirm_pressed()) return;
  recorder.item = current_menu().selection;
  set_editor_state(kStateRecordQuestion);
  ask_question(kRecordQuestions[recorder.item], true);
}

// The message box with the file's name over a bar that fills as the buffers are rendered.
void draw_record_progress() {
  const PromptText title = PromptText("RECORDING ").add(recorder.file.c_str());
  const int width = std::max(kProgressBarWidth, 8 * static_cast<int>(std::strlen(title.c_str())));
  const int height = 8 + 8 + kProgressBarHeight;
  draw_message_frame(width, height, 0);
  const int left = 400 - width / 2;
  const int top = 300 - height / 2;
  draw_text(left, top, colour_scheme.active[kSlotActiveMenuText], title.c_str());
  const int bar_left = 400 - kProgressBarWidth / 2;
  const int bar_top = top + 16;
  draw_rect(bar_left, bar_top, kProgressBarWidth, kProgressBarHeight,
            colour_scheme.active[kSlotActiveMenuText]);
  const long total = std::max(1L, recorder.job.total());
  const int filled = static_cast<int>((kProgressBarWidth - 4) * recorder.job.done() / total);
  if (filled > 0)
    fill_rect(bar_left + 2, bar_top + 2, filled, kProgressBarHeight - 4,
              colour_scheme.active[kSlotActiveMenuText]);
  recorder.drawn_done = recorder.job.done();
}

void record_entered_name() {
  const std::string name = name_entry_text(screens.entry);
  if (name.empty()) return return_to_step_edit();
  const std::string file = make_file_name(name.c_str(), kFileKindWav);
  const int mode = recorder.item == kRecordLoopItem ? kPlayLoop
                   : recorder.item == kRecordSongItem ? kPlaySong
                                                      : -1;
  if (!edit_record_begin(recorder.job, file.c_str(), mode, recorder.item == kRecordStemsItem))
    return show_could_not_save(file);
  recorder.file = file;
  set_editor_state(kStateRecording);
  draw_record_progress();
}

void record_question_input() {
  switch (question_keys()) {
    case QuestionKey::kConfirmed:
      if (transport.recording.load()) return;
      if (!question_answer()) return close_menu();
      name_entry_begin(screens.entry, kSongNameLength);
      set_editor_state(kStateRecordName);
      show_name_entry(screens.entry);
      return;
    case QuestionKey::kBack: return reopen_current_menu();
    case QuestionKey::kClose: return close_menu();
    default: return;
  }
}

void record_name_input() {
  switch (name_entry_keys(screens.entry)) {
    case NameKey::kCancelled: return return_to_step_edit();
    case NameKey::kConfirmed: {
      const std::string name = name_entry_text(screens.entry);
      if (name.empty()) return;
      const std::string file = make_file_name(name.c_str(), kFileKindWav);
      if (file_exists(file.c_str(), kFileKindWav))
        return ask_overwrite(kStateRecordOverwrite, file);
      return record_entered_name();
    }
    default: return;
  }
}

void record_overwrite_input() { overwrite_input(record_entered_name); }

// START stops a running recording; nothing of it stays on disk.
void recording_input() {
  if (!button_pressed(kBtnStart) || !recorder.job.running()) return;
  recorder.job.cancel();
  redraw_sequencer_screen();  // the progress box is larger than the message
  std::fprintf(stderr, "zorbel: recording %s cancelled\n", recorder.file.c_str());
  show_message_state(kStateMessage18, "RECORDING CANCELLED");
}

// ---- NEW ----

const char* new_items() { return menu_items(current_menu()); }

void open_new(int) { open_menu(true); }

void new_list_input() {
  if (list_keys(new_items(), kListKeysAll)) return;
  if (!confirm_pressed()) return;
  screens.new_item = current_menu().selection;
  set_editor_state(kStateNewConfirm);
  ask_question(PromptText("RESET ZORBEL, GET PRESET ")
                   .add_trimmed(list_entry(new_items(), screens.new_item))
                   .add("?")
                   .c_str(),
               false);
}

void start_new_song() {
  const int item = screens.new_item;
  if (item < kBuiltInTemplates) {
    const EditResult result = edit_new_song(item);
    if (result != EditResult::kOk)
      return show_message_state(kStateMessage18, edit_result_text(result));
    return return_to_step_edit();
  }
  std::string reason;
  if (!load_custom_template(item - kBuiltInTemplates, &reason)) {
    std::fprintf(stderr, "zorbel: could not open %s%s: %s\n", kSongFolder, kCustomTemplateFile,
                 reason.c_str());
    // The question closes first: the message stands alone on the grid, not over its wider box.
    close_menu();
    return show_message_state(kStateCouldNotOpen,
                              PromptText("COULD NOT OPEN ").add(kCustomTemplateFile).c_str());
  }
  if (!screens.custom_editor) return close_menu();
  screens.custom_editor(item - kBuiltInTemplates);
}

void new_confirm_input() {
  switch (question_keys()) {
    case QuestionKey::kConfirmed:
      if (!question_answer()) return close_menu();
      return start_new_song();
    case QuestionKey::kBack: return reopen_current_menu();
    case QuestionKey::kClose: return close_menu();
    default: return;
  }
}

const ScreenEntry kScreens[] = {
    {kStateLoad, open_load, kStateLoad, load_input},
    {kStateSave, open_save, kStateOverwrite, song_overwrite_input},
    {kStateSaveAs, open_save_as, kStateSaveAs, save_as_input},
    {kStateRenameLoop, open_rename_loop, kStateRenameLoop, rename_loop_input},
    {kNoEntry, nullptr, kStateRenameLoopName, rename_loop_name_input},
    {kStateRecord, open_record, kStateRecord, record_list_input},
    {kNoEntry, nullptr, kStateRecordQuestion, record_question_input},
    {kNoEntry, nullptr, kStateRecordName, record_name_input},
    {kNoEntry, nullptr, kStateRecordOverwrite, record_overwrite_input},
    {kNoEntry, nullptr, kStateRecording, recording_input},
    {kStateNew, open_new, kStateNew, new_list_input},
    {kNoEntry, nullptr, kStateNewConfirm, new_confirm_input},
};

}  // namespace

void register_file_screens() {
  register_screens(kScreens);
}

void set_custom_template_editor(CustomTemplateEditorOpen open) { screens.custom_editor = open; }

bool serve_recording() {
  if (editor_state() != kStateRecording) return false;
  if (!recorder.job.running()) return true;  // cancelled: its message is up
  const auto until = std::chrono::steady_clock::now() + kRecordSlice;
  bool more = true;
  while (more && std::chrono::steady_clock::now() < until) more = recorder.job.step(1);
  if (more) {
    draw_record_progress();
    return true;
  }
  RecordStats stats;
  const RecordOutcome outcome = recorder.job.finish(&stats);
  redraw_sequencer_screen();  // the progress box is larger than the message
  if (outcome != RecordOutcome::kDone) {
    show_could_not_save(recorder.file);
    return true;
  }
  const std::string summary = record_summary(recorder.file.c_str(), stats);
  std::printf("zorbel: recorded %s\n", summary.c_str());
  show_message_state(kStateMessage18, summary.c_str());
  return true;
}

}  // namespace zorbel
