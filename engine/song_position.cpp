// Song position in steps: counted from, and set into, the transport and the song list.
#include "engine/song_position.h"

#include <algorithm>

#include "engine/clock.h"
#include "engine/shared_value.h"
#include "engine/song.h"

namespace zorbel {

namespace {

int loop_length() { return std::clamp<int>(shared_load(song.seqlen), 1, MAX_STEPS); }

// Times the loop at a song-list position plays; REPS 0 plays it once.
int plays_at(int position) { return std::max<int>(1, shared_load(song.song_reps[position])); }

bool is_loop_entry(int position) {
  const int16_t entry = shared_load(song.song_list[position]);
  return entry >= 0 && entry < MAX_LOOPS;
}

}  // namespace

int song_position_steps() {
  const int length = loop_length();
  const int step = transport.step_pos % length;
  if (transport.play_mode != kPlaySong) return step;
  int steps = 0;
  const int here = transport.song_pos;
  for (int p = 0; p < here && p < SONG_LENGTH && is_loop_entry(p); ++p) steps += plays_at(p) * length;
  return steps + transport.rep_count * length + step;
}

void locate_playback(int steps) {
  const int length = loop_length();
  steps = std::max(steps, 0);
  if (transport.play_mode == kPlaySong) {
    int position = 0;
    while (position + 1 < SONG_LENGTH && is_loop_entry(position + 1) &&
           steps >= plays_at(position) * length) {
      steps -= plays_at(position) * length;
      ++position;
    }
    const int reps = std::min(steps / length, plays_at(position) - 1);
    steps -= reps * length;
    transport.song_pos = static_cast<uint16_t>(position);
    transport.rep_count = static_cast<uint16_t>(reps);
    if (is_loop_entry(position)) transport.current_loop = shared_load(song.song_list[position]);
  }
  transport.step_pos = static_cast<uint16_t>(steps % length);
  transport.sounding_step = transport.step_pos.load();
  // The step falls at the very next frame the clock counts.
  transport.step_countdown = 0.0f;
  repoint_loop();
  editor_link.redraw_screen.store(true);
}

}  // namespace zorbel
