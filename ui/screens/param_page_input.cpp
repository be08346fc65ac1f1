// The commands of the parameter pages (editor states 141-143), the GEN/FX/ENV leaves and the
// hooks the menus and step edit reach the pages by.
#include <algorithm>
#include <cstdlib>

#include "edit/edit.h"
#include "engine/song.h"
#include "files/wav_import.h"
#include "engine/synth_tracks.h"
#include "synth/param_value.h"
#include "synth/random_table.h"
#include "synth/synth_types.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/screens/menu_screens.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/param_editor_link.h"
#include "ui/widgets/param_modifier.h"
#include "ui/screens/param_page.h"
#include "ui/screens/piano_keys.h"
#include "ui/screens/screen_links.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

namespace {

// A held D-pad change acts when the repeat counter passes this, so it repeats every sixth
// acting tick.
constexpr int kDpadRepeatAct = 10;
constexpr int kDpadRepeatRested = 11;
constexpr int kApadDirection = 3;    // A-UP/A-DN and the right-button drag: the coarse step

int cursor_step() { return std::clamp(editor_link.cursor_step, 0, MAX_STEPS - 1); }
int loop_length() { return std::clamp<int>(song.seqlen, 1, MAX_STEPS); }
int current_slot() { return page_line_slot(param_page.cursor, cursor_step()); }

bool on_page(int state) { return state >= kStateGenPage && state <= kStateEnvPage; }

void forget_points() {
  param_page.interpolation.count = 0;
  param_page.random.count = 0;
}

void clear_marks_and_points() {
  reset_param_step_marks();
  forget_points();
}

bool point_pending_here(const PagePoint& point, int slot, int step) {
  return point.count == 1 && point.slot == slot && point.step == step;
}

// The highlighted row is drawn in the interpolate colour while its step is marked for its
// parameter or is the first point of a fill still waiting for its second.
bool page_row_marked(int row) {
  if (!on_page(editor_state()) || row != param_page.cursor) return false;
  const int step = cursor_step();
  const int slot = current_slot();
  if (slot < 0) return false;
  if (param_step_marks.param == slot && param_step_marks.step[step]) return true;
  return point_pending_here(param_page.interpolation, slot, step) ||
         point_pending_here(param_page.random, slot, step);
}

int page_group_on_screen() { return page_group(); }

// The parameter modifier on the cursor's line (the step volume on the ENV volume line).
void change(int direction, int source) {
  const int slot = current_slot();
  if (slot < 0) return;
  if (page_line_is_step_volume(param_page.cursor, cursor_step()))
    modify_step_volume(param_page.page, param_page.track, slot, direction, source);
  else
    modify_parameter(param_page.page, param_page.track, slot, direction, source);
}

// D-RT: marks are kept per parameter; marking for another parameter starts them over.
void toggle_step_mark() {
  const int slot = current_slot();
  const int step = cursor_step();
  const bool any = std::any_of(std::begin(param_step_marks.step), std::end(param_step_marks.step),
                               [](bool m) { return m; });
  if (any && param_step_marks.param == slot) {
    param_step_marks.step[step] = !param_step_marks.step[step];
    return;
  }
  reset_param_step_marks();
  param_step_marks.param = slot;
  param_step_marks.step[step] = true;
}

// X: random values between the values of two points, over the steps between them.
void random_point() {
  PagePoint& point = param_page.random;
  const int slot = current_slot();
  const int step = cursor_step();
  if (point.count == 0 || point.slot != slot) {
    point = {1, step, parameter_value(step), slot};
    return;
  }
  point.count = 0;
  if (point.step == step) return;
  const float end_value = parameter_value(step);
  const float low = std::min(point.value, end_value);
  const float high = std::max(point.value, end_value);
  for (int s = std::min(point.step, step); s <= std::max(point.step, step); ++s)
    set_parameter_value(s, random_between(low, high));
}

// SELECT: a straight line between two points, wrapping past the last played step.
void interpolation_point() {
  PagePoint& point = param_page.interpolation;
  const int slot = current_slot();
  const int step = cursor_step();
  if (point.count == 0) {
    point = {1, step, parameter_value(step), slot};
    return;
  }
  point.count = 0;
  const float end_value = parameter_value(step);
  if (step == point.step || end_value == point.value || slot != point.slot) return;
  const int length = loop_length();
  const int n = step > point.step ? step - point.step : length + step - point.step;
  for (int k = 1; k < n; ++k) {
    const float v = point.value + static_cast<float>(k) * (end_value - point.value) /
                                      static_cast<float>(n);
    set_parameter_value((point.step + k) % length, v);
  }
}

// A-RT / A-LT: the next or previous hit of the edited track within one loop length; the edited
// track becomes the cursor track.
void move_to_hit(int direction) {
  const ParamPage& p = param_page;
  const int length = loop_length();
  const int from = cursor_step() % length;
  const int selector_before = truncate_to_16(param_value(p.track, page_line_slot(0, from),
                                                         transport.current_loop, from));
  for (int i = 1; i <= length; ++i) {
    const int s = ((from + direction * i) % length + length) % length;
    if (song.step_trig[transport.current_loop][p.track][s] == 0) continue;
    editor_link.cursor_step = s;
    break;
  }
  editor_link.cursor_track = p.track;
  const int step = cursor_step();
  const int selector_after = truncate_to_16(param_value(p.track, page_line_slot(0, step),
                                                        transport.current_loop, step));
  if (p.page == kStateEnvPage && selector_after != selector_before) param_page.cursor = 0;
}

void back_to_menu() {
  const int track = param_page.track;
  const bool has_effect = type_effect_kind(song.synth_type[track]) >= 0;
  forget_points();
  register_track_pages(track, has_effect);
  set_current_menu(kMenuTrackPageFirst + track);
  int item = param_page.page - kStateGenPage;  // GEN 0, FX 1, ENV 2
  if (!has_effect && item == 2) item = 1;
  current_menu().selection = static_cast<int16_t>(item);
  reopen_current_menu();
}

// Rules 6 to 12: the first that matches acts. True when something may have changed.
bool first_matching_command() {
  ParamPage& p = param_page;
  const bool up = button_held(kBtnDUp);
  const bool down = button_held(kBtnDDn);
  if ((up || down) && (button_held(kBtnLTr) || button_held(kBtnRTr))) {
    // The pacing holds back a change that repeats; a button pressed anew acts at once.
    const bool fresh = button_pressed(kBtnDUp) || button_pressed(kBtnDDn) ||
                       button_pressed(kBtnLTr) || button_pressed(kBtnRTr);
    if (!fresh && ++p.dpad_repeat <= kDpadRepeatAct) return false;
    p.dpad_repeat = 0;
    change(up ? 1 : -1, kSourceDpad);
    return true;
  }
  if (up || down) {
    const int n = page_line_count(cursor_step());
    if (n <= 0) return false;
    p.cursor = up ? (p.cursor <= 0 ? n - 1 : p.cursor - 1) : (p.cursor >= n - 1 ? 0 : p.cursor + 1);
    param_step_marks.param = current_slot();
    forget_points();
    return true;
  }
  if (button_pressed(kBtnSelect)) {
    interpolation_point();
    return true;
  }
  if (button_pressed(kBtnDLt)) {
    back_to_menu();
    return false;
  }
  const int pixels = mouse_drag_pixels();
  if (pixels != 0 && (mouse_left_held() || mouse_right_held())) {
    const int unit = mouse_left_held() ? 1 : kApadDirection;
    for (int i = 0; i < std::abs(pixels); ++i) change(pixels > 0 ? unit : -unit, kSourceApad);
    return true;
  }
  if (button_held(kBtnAUp) || button_held(kBtnADn)) {
    change(button_held(kBtnAUp) ? kApadDirection : -kApadDirection, kSourceApad);
    return true;
  }
  if (button_pressed(kBtnARt) || button_pressed(kBtnALt)) {
    move_to_hit(button_pressed(kBtnARt) ? 1 : -1);
    return true;
  }
  return false;
}

void page_input() {
  ParamPage& p = param_page;
  p.dpad_repeat = std::min(p.dpad_repeat + 1, kDpadRepeatRested);
  // Shift held: the letter rows enter notes on the page's track at the cursor step.
  bool entered = false;
  if (piano_keys_input(p.track, &entered)) {
    if (entered && on_page(editor_state())) draw_parameter_page();
    return;
  }
  if (button_pressed(kBtnStart)) {
    clear_marks_and_points();
    return return_to_step_edit();
  }
  bool redraw = false;
  if (button_pressed(kBtnSq)) {
    const int slot = current_slot();
    const bool volume = page_line_is_step_volume(p.cursor, cursor_step());
    // The step volume's default is that of a new hit.
    if (slot >= 0) set_parameter_value(cursor_step(), volume ? 0.5f : song.param_slot[p.track][slot].def);
    redraw = true;
  }
  const bool sample_line = p.page == kStateGenPage && p.cursor == 0 &&
                           type_engine_kind(song.synth_type[p.track]) == kKindWav;
  if (button_pressed(kBtnX) && sample_line) {
    const int number = truncate_to_int32(parameter_value(cursor_step()));
    if (load_track_sample(p.track, number) != kWavLoaded) return;  // a message waits for a key
    redraw = true;
  }
  if (button_pressed(kBtnDRt)) {
    toggle_step_mark();
    redraw = true;
  }
  if (button_pressed(kBtnX) && !sample_line) {
    random_point();
    redraw = true;
  }
  if (first_matching_command()) redraw = true;
  if (redraw && on_page(editor_state())) draw_parameter_page();
}

void open_page_leaf(int leaf_id) {
  const int from = leaf_opened_from();
  const int track = from >= kMenuTrackPageFirst && from <= kMenuTrackPageLast
                        ? from - kMenuTrackPageFirst
                        : editor_link.cursor_track;
  if (!open_parameter_page(kStateGenPage + (leaf_id - kStateGenPageLeaf), track)) close_menu();
}

int load_pasted_sample(int track, float number) {
  return load_track_sample(track, truncate_to_int32(number));
}

}  // namespace

void register_param_pages() {
  reset_param_page();
  for (int page = kStateGenPage; page <= kStateEnvPage; ++page) set_state_handler(page, page_input);
  for (int leaf = kStateGenPageLeaf; leaf <= kStateEnvPageLeaf; ++leaf)
    set_leaf_action(leaf, open_page_leaf);
  param_editor_link.clear_step_marks = clear_marks_and_points;
  param_editor_link.row_marked = page_row_marked;
  param_editor_link.page_group = page_group_on_screen;
  screen_links.load_pasted_sample = load_pasted_sample;
  register_freq_mode_screen();
}

}  // namespace zorbel
