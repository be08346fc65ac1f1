// Table positions of oscillator phases for the FM engines' side-by-side table reads.
#pragma once

#include <bit>
#include <cstdint>

#include "synth/float4.h"
#include "synth/fm_engine.h"
#include "synth/table_position.h"

namespace zorbel {

// The highest phase whose table position (phase * kHzToTablePoints) is still at most 128, so
// that wrap_table_position leaves it as it is.
constexpr float last_phase_in_table() {
  float p = kPhaseCycle;
  while (p * kHzToTablePoints > static_cast<float>(kTablePoints))
    p = std::bit_cast<float>(std::bit_cast<uint32_t>(p) - 1u);
  return p;
}
constexpr float kLastPhaseInTable = last_phase_in_table();

// The table positions of four phases, wrapped as the one-at-a-time loops wrap them.
inline Float4 table_positions(Float4 phase) {
  const Float4 pos = scale4(phase, kHzToTablePoints);
  if (all_in_table(pos)) return pos;
  return float4(wrap_table_position(lane0(pos)), wrap_table_position(lane1(pos)),
                wrap_table_position(lane2(pos)), wrap_table_position(lane3(pos)));
}

}  // namespace zorbel
