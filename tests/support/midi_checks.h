// What the MIDI port tests check the same way for every back-end: the pulses' spacing and
// jitter, the workstation's frames run with MIDI dispatched, and a note found in the saved song.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "edit/midi_dispatch.h"
#include "engine/song.h"
#include "files/song_file.h"
#include "synth/note_table.h"

namespace zorbel::test {

// Pulse times (any unit): their mean spacing, and the largest distance of any of them from
// the straight line of that spacing through the first.
struct PulseSpacing {
  double mean = 0.0;
  double worst = 0.0;
};
inline PulseSpacing pulse_spacing(const std::vector<double>& times) {
  PulseSpacing s;
  if (times.size() < 2) return s;
  s.mean = (times.back() - times.front()) / static_cast<double>(times.size() - 1);
  for (size_t k = 0; k < times.size(); ++k)
    s.worst = std::max(s.worst, std::fabs(times[k] - (times.front() + static_cast<double>(k) * s.mean)));
  return s;
}

// The workstation's frames: the MIDI input dispatched every 5 ms for up to seconds, notes going
// into note_track. True when done(news) said so in time.
template <typename Done>
bool run_midi_frames(double seconds, int note_track, Done done) {
  const auto start = std::chrono::steady_clock::now();
  const auto end = start + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    const MidiNews news = dispatch_midi_input(static_cast<uint32_t>(ms.count()), note_track);
    if (done(news)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

// Saves the song to path, reads it back and expects a hit at (loop, track, step) with the
// pitch of note and the volume given.
inline void expect_saved_note_hit(const char* path, int loop, int track, int step, int note,
                                  float volume) {
  ASSERT_TRUE(save_song_to_path(path));
  SongImage image;
  ASSERT_TRUE(read_song_file(path, image));
  const int cell = (loop * MAX_TRACKS + track) * MAX_STEPS + step;
  EXPECT_GT(image.step_trig[cell], 0);
  EXPECT_NEAR(image.step_vol[cell], volume, 0.005f);
  int lane = 0;
  for (int t = 0; t < track; ++t) lane += song.param_count[t];
  int slot = -1;
  for (int k = 0; k < song.param_count[track] && slot < 0; ++k)
    if (song.param_slot[track][k].cls == ParamClass::kNotePitch ||
        song.param_slot[track][k].cls == ParamClass::kHzPitch)
      slot = k;
  ASSERT_GE(slot, 0);
  const float pitch = image.lanes[static_cast<size_t>(lane + slot) * kLaneLength + loop * MAX_STEPS + step];
  const bool hertz = song.param_slot[track][slot].cls == ParamClass::kHzPitch;
  EXPECT_FLOAT_EQ(pitch, hertz ? note_frequency(static_cast<float>(note)) : static_cast<float>(note));
}

}  // namespace zorbel::test
