// The edit layer's outcomes, change counting and the helpers its operations share.
#include "edit/edit.h"

#include <atomic>

#include "edit/edit_support.h"
#include "engine/synth_tracks.h"
#include "synth/synth_types.h"

namespace zorbel {

namespace {

std::atomic<uint32_t> change_count{0};

}  // namespace

void count_edit() { change_count.fetch_add(1, std::memory_order_relaxed); }

void song_replaced() {
  editor_link.song_replaced.fetch_add(1);
  editor_link.redraw_screen.store(true);
}

void store_step_bit(uint64_t& mask, int step, bool on) {
  const uint64_t bit = uint64_t{1} << step;
  const uint64_t old = shared_load(mask);
  shared_store(mask, on ? (old | bit) : (old & ~bit));
}

EditResult check_synth_list(const int32_t* types, int count, bool check_cost) {
  if (count > MAX_TRACKS) return EditResult::kMaxSynths;
  int instances[kKindCount] = {};
  int lane_base = 0;
  for (int i = 0; i < count; ++i) {
    const int type = types[i];
    if (type < 0 || type >= kTypeCount) return EditResult::kBadArgument;
    const int engine = type_engine_kind(type);
    const int effect = type_effect_kind(type);
    if (!kind_ops(engine) || (effect >= 0 && !kind_ops(effect))) return EditResult::kBadArgument;
    if (++instances[engine] > kPoolSize) return EditResult::kNoRoom;
    if (effect >= 0 && ++instances[effect] > kPoolSize) return EditResult::kNoRoom;
    // Building needs a full track's worth of lanes above those of the synths below.
    if (lane_base + PARAM_SLOTS > kLanePoolSize || type_param_count(type) > PARAM_SLOTS)
      return EditResult::kNoRoom;
    lane_base += type_param_count(type);
  }
  if (check_cost && cost_overload_at(types, count) >= 0) return EditResult::kCostOverload;
  return EditResult::kOk;
}

const char* edit_result_text(EditResult result) {
  switch (result) {
    case EditResult::kMaxSynths: return "CANNOT ADD: MAX SYNTHS IN SONG";
    case EditResult::kCostOverload: return "CANNOT ADD: EXECUTION TIME OVERLOAD";
    case EditResult::kLastSynth: return "CAN NOT DELETE LAST SYNTH";
    case EditResult::kNoRoom: return "CANNOT ADD: NO ROOM FOR PARAMETERS";
    default: return "";
  }
}

uint32_t song_change_count() { return change_count.load(std::memory_order_relaxed); }
void mark_song_saved() { journal_mark_saved(); }
bool song_changed_since_save() { return journal_changed_since_saved(); }

}  // namespace zorbel
