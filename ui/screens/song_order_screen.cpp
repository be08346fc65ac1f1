// The song order list (SONG -> SEQUENCE): 16 positions around the selected one, with loop
// numbers and repetitions edited in place, inserts, deletes and playing a position.
#include <algorithm>
#include <cstring>

#include "edit/edit.h"
#include "engine/song.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_screens.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/prompt.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

namespace {

constexpr int kLines = 16;
constexpr int kSelectedLine = 7;     // the highlighted line; position = top + 7
constexpr int kLineWidth = 24;
constexpr int kLoopNameShown = 6;
constexpr int kFastScroll = 10;      // SQ held
constexpr int kRepsMin = 1, kRepsMax = 99;
constexpr int kLastLoop = MAX_LOOPS - 1;
// After an insert or a delete, loop and REPS changes wait this many calls, so a held trigger
// does not go on editing the line that just moved under it.
constexpr int kBlockCallsAfterMove = 10;

struct SongOrderScreen {
  int top = 0;                 // first position shown
  int blocked_calls = 0;
  char lines[list_bytes(kLineWidth, kLines)] = {};
};

SongOrderScreen order;

int wrap_position(int p) { return ((p % SONG_LENGTH) + SONG_LENGTH) % SONG_LENGTH; }
int selected_position() { return wrap_position(order.top + kSelectedLine); }

void build_line(int line) {
  const int position = wrap_position(order.top + line);
  PromptText text;
  text.add_int(position, 3, '0').add(": ");
  const int entry = song.song_list[position];
  if (entry == SONG_RESTART) {
    text.add("RESTART");
  } else if (entry == SONG_HALT) {
    text.add("HALT");
  } else {
    const char* name = entry >= 0 && entry < MAX_LOOPS ? song.loop_name[entry] : "";
    text.add("LOOP ").add_padded(name, kLoopNameShown).add(" REPS ");
    text.add_int(song.song_reps[position], 2, '0');
  }
  write_list_entry(order.lines, kLineWidth, line, text.c_str());
}

void draw_list() {
  for (int line = 0; line < kLines; ++line) build_line(line);
  end_list(order.lines, kLineWidth, kLines);
  draw_menu(order.lines, kListCentred, kSelectedLine);
}

void redraw_selected_line() {
  build_line(kSelectedLine);
  redraw_menu_row(order.lines, kListCentred, kSelectedLine);
}

// The next loop number up or down: the loops, then HALT, then RESTART, round again. Position 0
// is where the song starts, so there only loops are offered.
int next_loop_entry(int entry, int direction, bool first_position) {
  if (first_position) {
    if (entry < 0) return 0;
    return direction > 0 ? (entry >= kLastLoop ? 0 : entry + 1)
                         : (entry <= 0 ? kLastLoop : entry - 1);
  }
  if (direction > 0) {
    if (entry == kLastLoop) return SONG_HALT;
    if (entry == SONG_HALT) return SONG_RESTART;
    if (entry == SONG_RESTART) return 0;
    return std::min(entry + 1, kLastLoop);
  }
  if (entry == 0) return SONG_HALT;
  if (entry == SONG_HALT) return SONG_RESTART;
  if (entry == SONG_RESTART) return kLastLoop;
  return std::max(entry - 1, 0);
}

// -1, 0 or +1 from APAD up/down while the trigger is held, or a drag with the given button.
int value_direction(int trigger, bool drag_held) {
  int direction = 0;
  if (button_held(trigger)) direction += button_held(kBtnAUp) - button_held(kBtnADn);
  if (drag_held) {
    const int pixels = mouse_drag_pixels();
    direction += (pixels > 0) - (pixels < 0);
  }
  return std::clamp(direction, -1, 1);
}

void change_selected(int loop_direction, int reps_direction) {
  const int position = selected_position();
  int entry = song.song_list[position];
  int reps = song.song_reps[position];
  if (loop_direction != 0) entry = next_loop_entry(entry, loop_direction, position == 0);
  if (reps_direction != 0) reps = std::clamp(reps + reps_direction, kRepsMin, kRepsMax);
  if (entry == song.song_list[position] && reps == song.song_reps[position]) return;
  edit_song_entry(position, entry, reps);
  redraw_selected_line();
}

void scroll(int delta) {
  order.top = wrap_position(order.top + delta);
  draw_list();
}

void open_song_order(int) {
  const int selected = transport.play_mode == kPlaySong ? static_cast<int>(transport.song_pos) : 0;
  order.top = wrap_position(selected - kSelectedLine);
  order.blocked_calls = 0;
  set_editor_state(kStateSongOrder);
  draw_list();
}

bool last_position_empty() {
  return song.song_list[SONG_LENGTH - 1] == 0 && song.song_reps[SONG_LENGTH - 1] == 1;
}

void song_order_input() {
  if (order.blocked_calls > 0) --order.blocked_calls;
  if (button_pressed(kBtnStart)) return close_menu();
  if (button_pressed(kBtnO) || button_pressed(kBtnDLt)) return menu_back();
  if (button_pressed(kBtnX)) {
    if (transport_play_song_position(selected_position())) {
      redraw_sequencer_screen();
      draw_list();
    }
    return;
  }
  if (button_held(kBtnTri)) {
    const int position = selected_position();
    if (button_pressed(kBtnDDn)) {
      // Only when the last position is free, so inserting loses nothing off the end.
      if (!last_position_empty()) return;
      edit_song_insert(position);
      edit_song_entry(position, 0, 1);
    } else if (button_pressed(kBtnDUp)) {
      edit_song_delete(position);
    } else {
      return;
    }
    order.blocked_calls = kBlockCallsAfterMove;
    return draw_list();
  }
  const int step = button_held(kBtnSq) ? kFastScroll : 1;
  if (button_held(kBtnDUp)) return scroll(-step);
  if (button_held(kBtnDDn)) return scroll(step);
  if (order.blocked_calls > 0) return;
  change_selected(value_direction(kBtnLTr, mouse_left_held()),
                  value_direction(kBtnRTr, mouse_right_held()));
}

}  // namespace

void register_song_order_screen() {
  set_leaf_action(kStateSongOrder, open_song_order);
  set_state_handler(kStateSongOrder, song_order_input);
}

}  // namespace zorbel
