// The seven visualizer displays: each one's start (clear and prepare) and per-frame drawing.
#include <algorithm>
#include <cmath>

#include "files/colour_scheme.h"
#include "synth/random_table.h"
#include "ui/draw/draw.h"
#include "ui/draw/plot_wave.h"
#include "ui/draw/screen.h"
#include "ui/screens/visualizer.h"

namespace zorbel {

namespace {

constexpr uint16_t kGridColour = 0x39E7;    // console outline and oscilloscope grid
constexpr uint16_t kScopeColour = 0x1FE3;
constexpr uint16_t kWobbleColour = 0x18FF;
constexpr uint16_t kErase = 0;

// Oscilloscope: the trace spans columns 160..638 (479 points) between rows 165 and 435; the
// grid has a column every 40 pixels and a row every 34, rows falling on y % 34 == 28.
constexpr int kScopeLeft = 160;
constexpr int kScopeRight = 638;
constexpr int kTraceTop = 165;
constexpr int kTraceBottom = 435;
constexpr int kScopePoints = kScopeRight - kScopeLeft + 1;
constexpr int kGridColumnStep = 40;
constexpr int kGridRowStep = 34;
constexpr int kGridRowPhase = 28;
constexpr int kGridBottom = 435;     // the columns end above the outline's bottom row
constexpr int kGridFirstColumn = 200;
constexpr int kGridLastColumn = 600;
constexpr int kGridFirstRow = 198;
constexpr int kGridLastRow = 402;

// Stars, walker and rectangles mirror one quarter of the console area into the other three.
constexpr int kMirrorLeft = kConsoleX;                          // 160
constexpr int kMirrorRight = kConsoleX + kConsoleWidth;         // 640
constexpr int kMirrorTop = kConsoleY;                           // 164
constexpr int kMirrorBottom = kConsoleY + kConsoleHeight;       // 436
constexpr int kWalkerWidth = 240;   // positions 0..239 across, 0..135 down
constexpr int kWalkerHeight = 136;
constexpr float kThresholdStep = 200.0f;
constexpr float kRandomLimit = 32767.0f;
constexpr int kRectSizeMax = 10;
constexpr int kRectRight = 630;      // mirror edges of the rectangles, so their far sides line up
constexpr int kRectBottom = 426;

// Level circles.
constexpr float kLevelScale = 0.3f;
constexpr float kLevelMax = 48.0f;
constexpr float kInnerScale = 1.4f;
constexpr int kInnerCentres[4][2] = {{350, 250}, {450, 250}, {350, 350}, {450, 350}};
constexpr int kOuterCentres[4][2] = {{210, 214}, {210, 386}, {590, 214}, {590, 386}};

// Wobbling circles around the middle of the screen: radius and horizontal amplitude in pixels.
constexpr int kWobbleCentreX = 400;
constexpr int kWobbleCentreY = 300;
struct Wobble {
  int radius;
  float amplitude;
};
constexpr Wobble kWobbles[kWobbleCircles] = {{100, 50.0f}, {50, 25.0f}, {25, 50.0f}, {10, 25.0f}};
// The midpoint steps of a circle's first octant: radius x 0.72 of them.
constexpr float kOctantSteps = 0.72f;

uint16_t random_colour() { return static_cast<uint16_t>(random_int(0, 0xFFFF)); }

void fill_and_outline() {
  fill_rect(kConsoleX, kConsoleY, kConsoleWidth, kConsoleHeight, kErase);
  draw_rect(kConsoleX, kConsoleY, kConsoleWidth, kConsoleHeight, kGridColour);
}

void plot_mirrored(int x, int y, uint16_t colour) {
  put_pixel(kMirrorLeft + x, kMirrorTop + y, colour);
  put_pixel(kMirrorRight - x, kMirrorTop + y, colour);
  put_pixel(kMirrorLeft + x, kMirrorBottom - y, colour);
  put_pixel(kMirrorRight - x, kMirrorBottom - y, colour);
}

// ---- 0: oscilloscope ---------------------------------------------------------------------------

void scope_start() {
  clear_console_area(kErase);
  draw_rect(kConsoleX, kConsoleY, kConsoleWidth, kConsoleHeight, kGridColour);
  for (int x = kGridFirstColumn; x <= kGridLastColumn; x += kGridColumnStep)
    draw_vline(x, kConsoleY, kGridBottom, kGridColour);
  for (int y = kGridFirstRow; y <= kGridLastRow; y += kGridRowStep)
    draw_hline(y, kConsoleX, kConsoleX + kConsoleWidth - 1, kGridColour);
  // Whatever another screen traced last is not on this display; nothing to erase yet.
  draw_state.plot_history_count = 0;
}

void scope_frame() {
  // Erasing puts the grid back where the old trace crossed it.
  const int count = std::min(kScopePoints, draw_state.plot_history_count);
  for (int i = 0; i < count; ++i) {
    const PlotPoint p = draw_state.plot_history[i];
    const bool on_grid = i % kGridColumnStep == 0 || p.y % kGridRowStep == kGridRowPhase;
    put_pixel(p.x, p.y, on_grid ? kGridColour : kErase);
  }
  plot_wave(kScopeLeft, kScopeRight, kTraceTop, kTraceBottom, kScopeColour, display_buffer());
}

// ---- 1: colour trace ---------------------------------------------------------------------------

constexpr int kColourCounterTurn = 126;

void colour_trace_frame() {
  VisualizerState& v = visualizer;
  if (v.colour_counter == kColourCounterTurn) {
    v.colour_counter = random_int(0, 127);
    for (int& d : v.divisors) d = random_int(1, 4);
  } else {
    ++v.colour_counter;
  }
  if (transport.transport_stopped.load() != 0) return;
  const int c = v.colour_counter;
  const uint16_t colour = rgb_to_565(c / v.divisors[0], c / v.divisors[1], c / v.divisors[2]);
  plot_wave(kScopeLeft, kScopeRight + 1, kTraceTop, kTraceBottom, colour, display_buffer());
}

// ---- 2: stars ----------------------------------------------------------------------------------

void stars_frame() {
  const int stars = full_trigger_count();
  if (stars == 0) return;
  const uint16_t colour = random_colour();
  for (int i = 0; i < stars; ++i) {
    const int x = random_int(2, 237);
    const int y = random_int(2, 133);
    plot_mirrored(x, y, colour);
  }
}

// ---- 3: random walk ----------------------------------------------------------------------------

// The walker stays one pixel inside the outline: its quarter starts at (161, 165) and mirrors
// about the centre of the interior.
void plot_walker() {
  const VisualizerState& v = visualizer;
  const uint16_t c = v.walker_colour;
  put_pixel(kMirrorLeft + 1 + v.walker_x, kMirrorTop + 1 + v.walker_y, c);
  put_pixel(kMirrorRight - 2 - v.walker_x, kMirrorTop + 1 + v.walker_y, c);
  put_pixel(kMirrorLeft + 1 + v.walker_x, kMirrorBottom - 1 - v.walker_y, c);
  put_pixel(kMirrorRight - 2 - v.walker_x, kMirrorBottom - 1 - v.walker_y, c);
}

void jump_walker() {
  visualizer.walker_x = random_int(0, kWalkerWidth - 1);
  visualizer.walker_y = random_int(0, kWalkerHeight - 1);
}

void new_thresholds() {
  visualizer.threshold_x = random_raw();
  visualizer.threshold_y = random_raw();
}

void walk_start() {
  fill_and_outline();
  visualizer.walker_colour = random_colour();
  jump_walker();
  new_thresholds();
  plot_walker();
}

// One channel of an RGB565 colour goes up or down by one, wrapping within its bits.
uint16_t drift_field(uint16_t colour, int shift, int mask) {
  const int step = random_raw() > 0.0f ? 1 : -1;
  const int field = (((colour >> shift) & mask) + step) & mask;
  return static_cast<uint16_t>((colour & ~(mask << shift)) | (field << shift));
}

void nudge_threshold(float& threshold, float amount) {
  threshold = std::clamp(threshold + amount, -kRandomLimit, kRandomLimit);
}

void walk_frame() {
  VisualizerState& v = visualizer;
  v.walker_colour = drift_field(v.walker_colour, 0, 0x1F);
  v.walker_colour = drift_field(v.walker_colour, 5, 0x3F);
  v.walker_colour = drift_field(v.walker_colour, 11, 0x1F);
  if (visualizer_button(kBtnDLt)) jump_walker();
  if (visualizer_button(kBtnDRt)) new_thresholds();
  if (visualizer_button(kBtnAUp)) nudge_threshold(v.threshold_y, kThresholdStep);
  if (visualizer_button(kBtnADn)) nudge_threshold(v.threshold_y, -kThresholdStep);
  if (visualizer_button(kBtnARt)) nudge_threshold(v.threshold_x, kThresholdStep);
  if (visualizer_button(kBtnALt)) nudge_threshold(v.threshold_x, -kThresholdStep);
  const int moves = full_trigger_count();
  for (int i = 0; i < moves; ++i) {
    v.walker_x += random_raw() > v.threshold_x ? 1 : -1;
    v.walker_y += random_raw() > v.threshold_y ? 1 : -1;
    v.walker_x = (v.walker_x + kWalkerWidth) % kWalkerWidth;
    v.walker_y = (v.walker_y + kWalkerHeight) % kWalkerHeight;
    plot_walker();
  }
}

// ---- 4: rectangles -----------------------------------------------------------------------------

void rectangles_frame() {
  const int count = full_trigger_count();
  for (int i = 0; i < count; ++i) {
    const int w = random_int(0, kRectSizeMax);
    const int h = random_int(0, kRectSizeMax);
    const int x = random_int(10, 230);
    const int y = random_int(10, 126);
    const uint16_t colour = static_cast<uint16_t>(random_colour() | 0x8000);
    fill_rect(kMirrorLeft + x, kMirrorTop + y, w, h, colour);
    fill_rect(kRectRight - x, kMirrorTop + y, w, h, colour);
    fill_rect(kMirrorLeft + x, kRectBottom - y, w, h, colour);
    fill_rect(kRectRight - x, kRectBottom - y, w, h, colour);
  }
}

// ---- 5: level circles --------------------------------------------------------------------------

void level_start() {
  visualizer.last_level = 1.0f;
  fill_and_outline();
}

// One colour for all eight circles (erasing), or a random colour each (colour < 0).
void draw_level_circles(float level, int colour) {
  const int inner = static_cast<int>(level * kInnerScale);
  const int outer = static_cast<int>(level);
  for (const auto& c : kInnerCentres)
    draw_circle(c[0], c[1], inner, colour < 0 ? random_colour() : static_cast<uint16_t>(colour));
  for (const auto& c : kOuterCentres)
    draw_circle(c[0], c[1], outer, colour < 0 ? random_colour() : static_cast<uint16_t>(colour));
}

void level_frame() {
  VisualizerState& v = visualizer;
  if (transport.transport_stopped.load() != 0) {
    v.last_level = 0.0f;
    return;
  }
  // One toggle per press: the frame runs far more often than a key is held.
  const bool held = visualizer_button(kBtnDUp) || visualizer_button(kBtnDDn);
  if (held && !v.erase_key_held) v.erase_circles = !v.erase_circles;
  v.erase_key_held = held;

  const float* samples = display_buffer();
  float sum = 0.0f;
  for (int i = 0; i < kDisplayBufferSize; ++i) sum += samples[i] * samples[i];
  float level = kLevelScale * sum;
  if (!(level < kLevelMax)) level = kLevelMax;  // also a NaN
  if (static_cast<int>(level) == static_cast<int>(v.last_level)) return;
  if (v.erase_circles) draw_level_circles(v.last_level, kErase);
  draw_level_circles(level, -1);
  v.last_level = level;
}

// ---- 6: wobbling circles -----------------------------------------------------------------------

// The first octant's midpoint steps of one circle, its eight mirror points each pushed
// sideways by the circle's amplitude times the octant's sample for that step.
void trace_wobble(int circle, uint16_t colour) {
  const Wobble& w = kWobbles[circle];
  const float (*blocks)[kBlockFrames] = visualizer.wobble[circle];
  const int cx = kWobbleCentreX;
  const int cy = kWobbleCentreY;
  const int steps = static_cast<int>(static_cast<float>(w.radius) * kOctantSteps);
  int r = w.radius;
  int d = 3 - 2 * r;
  for (int i = 0; i < steps; ++i) {
    int o[kWobbleBlocks];
    for (int n = 0; n < kWobbleBlocks; ++n) o[n] = static_cast<int>(w.amplitude * blocks[n][i]);
    put_pixel(cx + i + o[0], cy + r, colour);
    put_pixel(cx - i + o[1], cy + r, colour);
    put_pixel(cx + i + o[2], cy - r, colour);
    put_pixel(cx - i + o[3], cy - r, colour);
    put_pixel(cx + r + o[4], cy + i, colour);
    put_pixel(cx - r + o[5], cy + i, colour);
    put_pixel(cx + r + o[6], cy - i, colour);
    put_pixel(cx - r + o[7], cy - i, colour);
    if (d < 0) {
      d += 4 * i + 6;
    } else {
      d += 4 * (i - r) + 10;
      --r;
    }
  }
}

void wobble_start() {
  fill_and_outline();
  visualizer.wobble_drawn = false;
}

void wobble_frame() {
  VisualizerState& v = visualizer;
  if (v.wobble_drawn)
    for (int c = 0; c < kWobbleCircles; ++c) trace_wobble(c, kErase);
  const float* samples = display_buffer();
  for (int c = 0; c < kWobbleCircles; ++c) {
    const int steps = static_cast<int>(static_cast<float>(kWobbles[c].radius) * kOctantSteps);
    for (int n = 0; n < kWobbleBlocks; ++n)
      for (int i = 0; i < steps; ++i) {
        const float s = samples[n * kBlockFrames + i];
        v.wobble[c][n][i] = std::isnan(s) ? 0.0f : std::clamp(s, -1.0f, 1.0f);
      }
  }
  for (int c = 0; c < kWobbleCircles; ++c) trace_wobble(c, kWobbleColour);
  v.wobble_drawn = true;
}

}  // namespace

const DisplayFunction kDisplayStart[kVisualizerTypeCount] = {
    scope_start, fill_and_outline, fill_and_outline, walk_start,
    fill_and_outline, level_start, wobble_start};

const DisplayFunction kDisplayFrame[kVisualizerTypeCount] = {
    scope_frame, colour_trace_frame, stars_frame, walk_frame,
    rectangles_frame, level_frame, wobble_frame};

}  // namespace zorbel
