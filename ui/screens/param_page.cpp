// The parameter pages: which slots a page shows in which view, the page lines, and opening one.
#include "ui/screens/param_page.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "edit/edit.h"
#include "engine/synth_tracks.h"
#include "files/wav_import.h"
#include "synth/param_value.h"
#include "synth/synth_types.h"
#include "synth/voice_output.h"
#include "ui/widgets/editor_state.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_screens.h"
#include "ui/widgets/param_modifier.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/widgets/state_table.h"
#include "ui/widgets/value_text.h"

namespace zorbel {

ParamPage param_page;

namespace {

// A selector page shows its first `split` lines in the first view; the second view shows the
// selector and then the slots from split + offset - 1 on, each `offset` slots beyond its line.
struct SelectorView {
  int split;
  int offset;
};
constexpr SelectorView kBfmModView{18, 17};     // FMPARAMS: CARR, then MOD 17 slots on
constexpr SelectorView kEnvExpView{9, 8};       // ENVTYPE: DADSR, then EXP 8 slots on
// The step volume stands where the voice's VOL parameters are: DADSR line 7, EXP line 3.
constexpr int kDadsrVolSlot = 7;
constexpr int kExpVolSlot = 11;

// The slots of the open page: base is the page's first slot, count the slots it holds.
struct PageSlots {
  int base = 0;
  int count = 0;
  const SelectorView* selector = nullptr;
};

int kind_params(int kind) {
  const KindOps* ops = kind >= 0 ? kind_ops(kind) : nullptr;
  return ops ? ops->param_count : 0;
}

PageSlots page_slots(int page, int track) {
  PageSlots p;
  if (track < 0 || track >= song.track_count) return p;
  const int type = song.synth_type[track];
  const int engine = type_engine_kind(type);
  if (engine < 0) return p;
  const int gen = kind_params(engine);
  const int fx = kind_params(type_effect_kind(type));
  switch (page) {
    case kStateGenPage:
      p = {0, gen, engine == kKindBfm ? &kBfmModView : nullptr};
      break;
    case kStateFxPage:
      p = {gen, fx, nullptr};
      break;
    case kStateEnvPage:
      p = {gen + fx, kVoiceParamCount, &kEnvExpView};
      break;
    default:
      break;
  }
  // A page never reaches past the track's slots.
  p.count = std::clamp(song.param_count[track] - p.base, 0, p.count);
  if (p.selector && p.count <= p.selector->split) p.selector = nullptr;
  return p;
}

bool second_view(const PageSlots& p, int track, int step) {
  if (!p.selector || step < 0 || step >= MAX_STEPS) return false;
  return truncate_to_16(param_value(track, p.base, transport.current_loop, step)) != 0;
}

int line_count(const PageSlots& p, int track, int step) {
  if (!second_view(p, track, step)) return p.selector ? p.selector->split : p.count;
  return 1 + p.count - p.selector->split;
}

int line_slot(const PageSlots& p, int track, int line, int step) {
  if (line < 0 || line >= line_count(p, track, step)) return -1;
  if (line == 0 || !second_view(p, track, step)) return p.base + line;
  return p.base + line + p.selector->offset;
}

int cursor_step() { return std::clamp(editor_link.cursor_step, 0, MAX_STEPS - 1); }

}  // namespace

void reset_param_page() {
  std::memset(&param_page, 0, sizeof param_page);
  param_page.page = kStateGenPage;
  param_page.dpad_repeat = 11;
}

int page_group() {
  const ParamPage& p = param_page;
  if (p.track < 0 || p.track >= song.track_count) return 0;
  if (p.page == kStateEnvPage) return kPageGroupEnv;
  const int type = song.synth_type[p.track];
  return p.page == kStateFxPage ? type_effect_kind(type) : type_engine_kind(type);
}

int page_line_count(int step) {
  const PageSlots p = page_slots(param_page.page, param_page.track);
  return line_count(p, param_page.track, step);
}

int page_line_slot(int line, int step) {
  const PageSlots p = page_slots(param_page.page, param_page.track);
  return line_slot(p, param_page.track, line, step);
}

bool page_line_is_step_volume(int line, int step) {
  if (param_page.page != kStateEnvPage) return false;
  const PageSlots p = page_slots(param_page.page, param_page.track);
  const int slot = line_slot(p, param_page.track, line, step);
  return slot >= 0 && (slot == p.base + kDadsrVolSlot || slot == p.base + kExpVolSlot);
}

float parameter_value(int step) {
  const ParamPage& p = param_page;
  const int loop = transport.current_loop;
  if (step < 0 || step >= MAX_STEPS) return 0.0f;
  if (page_line_is_step_volume(p.cursor, cursor_step())) return song.step_vol[loop][p.track][step];
  return param_value(p.track, page_line_slot(p.cursor, cursor_step()), loop, step);
}

void set_parameter_value(int step, float value) {
  const ParamPage& p = param_page;
  const int loop = transport.current_loop;
  const int slot = page_line_slot(p.cursor, cursor_step());
  ParamRange r;
  if (slot < 0 || !parameter_range(p.track, slot, &r)) return;
  if (!(value == value)) value = r.min;
  value = std::clamp(value, r.min, r.max);
  if (page_line_is_step_volume(p.cursor, cursor_step()))
    edit_step_vol(loop, p.track, step, value);
  else
    edit_param(p.track, slot, loop, step, value);
}

// A WAV track's FILENAME line names the sample its number picks in the WAV list (the line cuts
// a long name); a number outside the list reads as a number.
const char* line_value_text(int track, int slot, bool step_volume, float value, char* buffer) {
  if (slot == 0 && !step_volume && type_engine_kind(song.synth_type[track]) == kKindWav) {
    const int number = truncate_to_int32(value);
    if (number >= 0 && number < wav_list.count) {
      std::snprintf(buffer, kValueTextCapacity, " %s", wav_list.names[number]);
      return buffer;
    }
  }
  return value_text(song.param_slot[track][slot].cls, value, buffer);
}

void draw_parameter_page() {
  ParamPage& p = param_page;
  const int step = cursor_step();
  const int loop = transport.current_loop;
  const int type = song.synth_type[p.track];
  const int n = std::min(page_line_count(step), kMaxPageLines);
  int name_width = 0;
  for (int line = 0; line < n; ++line) {
    const ParamInfo* info = type_param(type, page_line_slot(line, step));
    if (info) name_width = std::max(name_width, static_cast<int>(std::strlen(info->name)));
  }
  for (int line = 0; line < n; ++line) {
    const int slot = page_line_slot(line, step);
    const ParamInfo* info = type_param(type, slot);
    char text[kPageLineWidth + kValueTextCapacity + 1];
    std::snprintf(text, sizeof text, "%-*s", name_width, info ? info->name : "");
    const bool step_volume = page_line_is_step_volume(line, step);
    const float value = step_volume ? song.step_vol[loop][p.track][step]
                                    : param_value(p.track, slot, loop, step);
    char value_buffer[kValueTextCapacity];
    std::strncat(text, line_value_text(p.track, slot, step_volume, value, value_buffer),
                 sizeof text - std::strlen(text) - 1);
    write_list_entry(p.list, kPageLineWidth, line, text);
  }
  end_list(p.list, kPageLineWidth, n);
  if (p.cursor >= n) p.cursor = 0;
  // A view with fewer lines leaves part of the larger frame: the screen under it is redrawn.
  if (n != p.drawn_lines) redraw_sequencer_screen();
  p.drawn_lines = n;
  draw_menu(p.list, kListCentred, p.cursor);
}

bool open_parameter_page(int page, int track) {
  if (track < 0 || track >= song.track_count) return false;
  if (page_slots(page, track).count == 0) return false;
  ParamPage& p = param_page;
  p.page = page;
  p.track = track;
  p.cursor = 0;
  p.interpolation.count = 0;
  p.random.count = 0;
  p.dpad_repeat = 11;
  p.drawn_lines = -1;
  if (type_engine_kind(song.synth_type[track]) == kKindWav)
    p.fallback_sample =
        truncate_to_int32(param_value(track, 0, transport.current_loop, cursor_step()));
  set_editor_state(page);
  draw_parameter_page();
  return true;
}

}  // namespace zorbel
