// The editor's own settings that no song carries: APAD response and the grid-step spacing.
#pragma once

namespace zorbel {

constexpr int kApadSensitivityMax = 9;
constexpr int kGridStepsMin = 1;
constexpr int kGridStepsMax = 32;

struct ViewSettings {
  int apad_sensitivity = 7;     // 0..9; the factor table turns it into a multiplier
  bool apad_always_jump8 = true;
  int grid_steps = 4;           // 1..32, the spacing of the step grid's marker columns
};

extern ViewSettings view_settings;

// The start-up values (tests).
void reset_view_settings();

}  // namespace zorbel
