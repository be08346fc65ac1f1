// Where the sequencer screen puts things: surface pixels of the grid, panels and texts.
#pragma once

namespace zorbel {

// Step columns: 5 pixels apart, with wider gaps between groups of 8, 16 and 32 steps.
constexpr int kGridLeft = 265;
constexpr int step_x(int step) {
  return kGridLeft + 5 * step + 3 * (step >> 3) + 3 * (step >> 4) + 3 * (step >> 5);
}
// Track rows: 12 pixels apart.
constexpr int kGridTop = 224;
constexpr int kTrackPitch = 12;
constexpr int track_y(int track) { return kGridTop + kTrackPitch * track; }

// A step cell: a 4 x 7 outline round a 2 x 6 fill.
constexpr int kCellWidth = 4;
constexpr int kCellHeight = 7;
constexpr int kCellFillWidth = 2;
constexpr int kCellFillHeight = 6;

constexpr int kTrackNameX = 172;
constexpr int kMuteBoxX = 249;
constexpr int kMuteBoxSize = 7;
constexpr int kMuteFillWidth = 5;
constexpr int kMuteFillHeight = 6;

// The playback bar above the grid and its 3 x 2 mark.
constexpr int kBarX = 263;
constexpr int kBarY = 219;
constexpr int kBarWidth = 354;
constexpr int kBarHeight = 2;
constexpr int kBarMarkWidth = 3;

// The oscilloscope box and the band of its trace (kept inside the box's outline).
constexpr int kScopeX = 172;
constexpr int kScopeY = 176;
constexpr int kScopeWidth = 83;
constexpr int kScopeHeight = 35;
constexpr int kTraceLeft = 173;
constexpr int kTraceRight = 253;
constexpr int kTraceTop = 177;
constexpr int kTraceBottom = 210;
constexpr int kTraceErasePoints = 105;

// File name line.
constexpr int kFileLabelX = 354;
constexpr int kFileNameX = 397;
constexpr int kFileY = 176;

// Quick parameter panel: two names and their values.
constexpr int kParamNameX = 354;
constexpr int kParamValueX = 437;
constexpr int kParamFirstY = 196;
constexpr int kParamSecondY = 206;
constexpr int kParamFieldWidth = 80;

// TVOL/PAN and TRIG/VOL panels: labels and values.
constexpr int kPanelLabelX = 535;
constexpr int kPanelValueX = 596;
constexpr int kTvolY = 176;
constexpr int kPanY = 186;
constexpr int kTrigY = 196;
constexpr int kVolY = 206;
constexpr int kPanelValueWidth = 24;
constexpr int kPanelValueHeight = 20;

// Cursor position, loop and song lines under the grid.
constexpr int kCursorLabelX = 172;
constexpr int kCursorValueX = 192;
constexpr int kCursorStepY = 416;
constexpr int kCursorTrackY = 426;
constexpr int kLoopLabelX = 265;
constexpr int kLoopValueX = 290;
constexpr int kLoopY = 416;
constexpr int kSongY = 426;
constexpr int kSongDotX = 314;
constexpr int kRepCountX = 322;
constexpr int kLoopNameFieldWidth = 48;
constexpr int kSongPosFieldWidth = 30;
constexpr int kRepFieldWidth = 20;

// Transport panels in one row.
constexpr int kTransportY = 421;
constexpr int kSongLoopX = step_x(16);
constexpr int kPlayStopX = step_x(24);
constexpr int kTempoX = step_x(32) - 3;
constexpr int kTempoValueClearX = step_x(40) - 8;
constexpr int kMasterVolLabelX = step_x(48) + 12;
constexpr int kMasterVolValueX = step_x(59);
constexpr int kModeFieldWidth = 40;
constexpr int kTempoFieldWidth = 60;
constexpr int kMasterVolFieldWidth = 30;

// The piano keys' base octave, shown while Shift is held, above the grid's first steps.
constexpr int kOctaveX = 265;
constexpr int kOctaveY = 196;
constexpr int kOctaveFieldWidth = 64;

// Number fields (step and track numbers) and text rows.
constexpr int kNumberFieldWidth = 20;
constexpr int kFieldHeight = 10;

static_assert(step_x(0) == 265 && step_x(8) == 308 && step_x(16) == 354 && step_x(32) == 446 &&
              step_x(63) == 613);
static_assert(kVolY == kTrigY + kFieldHeight && kPanY == kTvolY + kFieldHeight);
static_assert(kTempoX == 443 && kMasterVolLabelX == 547 && kMasterVolValueX == 593);

}  // namespace zorbel
