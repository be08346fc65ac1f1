// The synth parameter pages GEN, FX and ENV: one line per parameter of the edited track at the
// cursor step, the selector views, the many-step edits and the editor's own state.
#pragma once

#include "engine/song.h"

namespace zorbel {

constexpr int kPageLineWidth = 22;                 // characters per page line
constexpr int kPageGroupEnv = 16;                  // the page group of the ENV page
constexpr int kMaxPageLines = PARAM_SLOTS;

// Two steps chosen one after the other: the first point of an interpolation or a random fill.
struct PagePoint {
  int count;   // 0: none set, 1: the first point waits for the second
  int step;
  float value;
  int slot;    // the parameter slot the point was taken on
};

// Everything the pages keep. One instance; reset_param_page() puts it back.
struct ParamPage {
  int page;         // kStateGenPage, kStateFxPage or kStateEnvPage
  int track;        // the edited track
  int cursor;       // the parameter cursor (page line)
  PagePoint interpolation;
  PagePoint random;
  int dpad_repeat;  // the D-pad repeat counter: a D-pad change acts when it passes 10
  int fallback_sample;  // sample number a WAV track returns to when a load fails
  int drawn_lines;  // line count of the list on screen (a change of view redraws the frame)
  char list[(kPageLineWidth + 1) * (kMaxPageLines + 1)];
};

extern ParamPage param_page;

void reset_param_page();

// Builds page (kStateGenPage, kStateFxPage, kStateEnvPage) of track at the cursor step, puts the
// parameter cursor on the first line, forgets pending points and enters the page's state. A FX
// page of a synth without an effect, or a track that does not exist, opens nothing (false).
bool open_parameter_page(int page, int track);

// The page group: the engine kind on GEN, the effect kind on FX, kPageGroupEnv on ENV.
int page_group();
// Lines of the open page at step (the selector value there picks the view).
int page_line_count(int step);
// Parameter slot of line at step; -1 outside the page.
int page_line_slot(int line, int step);
// True when line is the ENV page's volume line, which edits the step volume.
bool page_line_is_step_volume(int line, int step);

// The edited parameter (the cursor's line) at a step of the current loop.
float parameter_value(int step);
void set_parameter_value(int step, float value);

// Rebuilds the lines at the cursor step and draws the page.
void draw_parameter_page();

// Loads entry number of the WAV list into WAV track `track` for the whole song, from a page or
// a paste. A failure shows its message and waits in state 149 or 150; the track keeps the sample
// it played. Returns the WAV loader's result.
int load_track_sample(int track, int number);
// The sample number a failed load returns the track to: the list position of the sample it
// plays, else the number the page remembered when it opened.
int fallback_sample_number(int track);

// FREQMODE: the synth list and the mode question (state 8).
void register_freq_mode_screen();

// The page states' handlers, the GEN/FX/ENV leaves, FREQMODE, the sample loads and the hooks
// the menus and step edit call.
void register_param_pages();

}  // namespace zorbel
