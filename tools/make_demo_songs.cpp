// zorbel-make-demos: builds the demo songs with the engine's own operations and saves them,
// with the sample they use, into ./seq/ and ./wav/ below the working directory.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/builtin_sounds.h"
#include "engine/init_engine.h"
#include "engine/song.h"
#include "engine/song_templates.h"
#include "files/byte_io.h"
#include "files/file_replace.h"
#include "files/platform_dir.h"
#include "files/song_file.h"
#include "files/wav_import.h"
#include "engine/synth_tracks.h"

namespace {

using namespace zorbel;

constexpr uint32_t kSeed = 2024;
constexpr int kStepsPerBeat = 8;
constexpr int k16th = kStepsPerBeat / 4;  // steps per sixteenth note

// ---- Song building on the engine's own operations ----

void start_song(float bpm, float swing, int seqlen) {
  clear_song();
  song.track_count = 0;
  song.bpm = bpm;
  song.swing_pct = swing;
  song.swing_steps = 2;
  song.seqlen = static_cast<uint16_t>(seqlen);
  song.master_vol = 0.7f;  // headroom: the loudest moments of the demos stay below the clamp
  for (int l = 0; l < MAX_LOOPS; ++l) std::snprintf(song.loop_name[l], kLoopNameLen, "%02d", l);
}

// Adds a synth of the named type, with a built-in sound when one fits it. Returns its track.
int add_synth(const char* type_name, int sound = -1) {
  const int t = song.track_count;
  const int type = type_code_from_name(type_name);
  if (type < 0) {
    std::fprintf(stderr, "zorbel-make-demos: no synth type %s\n", type_name);
    std::exit(1);
  }
  build_synth(t, type, true);
  song.track_count = static_cast<int16_t>(t + 1);
  if (sound < 0) return t;
  if (kBuiltinSounds[sound].type == type) {
    apply_sound(t, sound);
    return t;
  }
  // A sound made for another type (BAM's bass on a BAMRD) goes over by parameter name: in list
  // order its voice values would land on the effect's parameters.
  const BuiltinSound& s = kBuiltinSounds[sound];
  song.freq_mode[t] = s.freq_mode;
  for (int q = 0; q < s.value_count && q < type_param_count(s.type); ++q) {
    const char* name = type_param(s.type, q)->name;
    int seen = 0;  // VOL appears twice: the n-th of a name goes to the n-th
    for (int p = 0; p < q; ++p) seen += std::strcmp(type_param(s.type, p)->name, name) == 0;
    for (int k = 0; k < song.param_count[t]; ++k) {
      if (std::strcmp(type_param(type, k)->name, name) != 0 || seen-- != 0) continue;
      ParamSlot& slot = song.param_slot[t][k];
      for (int i = 0; i < kLaneLength; ++i) slot.lane[i] = s.values[q];
      slot.def = s.values[q];
      break;
    }
  }
  return t;
}

void finish_synths() {
  if (song.track_count < MAX_TRACKS) std::strcpy(song.track_name[song.track_count], kListEnd);
  sort_registry();
  for (int t = 0; t < song.track_count; ++t) reset_play_cursor(t);
}

// Sets every parameter of the track called `name` (both envelope variants share names) to value
// in every step of every loop.
void set_param(int t, const char* name, float value) {
  const int type = song.synth_type[t];
  for (int q = 0; q < song.param_count[t]; ++q) {
    if (std::strcmp(type_param(type, q)->name, name) != 0) continue;
    ParamSlot& slot = song.param_slot[t][q];
    slot.def = value;
    for (int i = 0; i < kLaneLength; ++i) slot.lane[i] = value;
  }
}

// The same for one loop from `step` to its end, so the value holds until it is changed again.
void set_param_from(int t, const char* name, int loop, int step, float value) {
  const int type = song.synth_type[t];
  for (int q = 0; q < song.param_count[t]; ++q) {
    if (std::strcmp(type_param(type, q)->name, name) != 0) continue;
    float* lane = song.param_slot[t][q].lane + loop * MAX_STEPS;
    for (int s = step; s < MAX_STEPS; ++s) lane[s] = value;
  }
}

// A hit: trigger probability, volume, and (for pitched synths) the note from here on.
void hit(int t, int loop, int step, float vol, int note = -1, int trig = 100) {
  if (step < 0 || step >= MAX_STEPS) return;
  song.step_trig[loop][t][step] = static_cast<uint8_t>(trig);
  song.step_vol[loop][t][step] = vol;
  if (note < 0) return;
  for (int q = 0; q < song.param_count[t]; ++q) {
    ParamSlot& slot = song.param_slot[t][q];
    if (!is_pitch_class(slot.cls)) continue;
    const float value = slot.cls == ParamClass::kNotePitch ? static_cast<float>(note)
                                      : 440.0f * std::pow(2.0f, (note - 69) / 12.0f);
    for (int s = step; s < MAX_STEPS; ++s) slot.lane[loop * MAX_STEPS + s] = value;
    return;  // the first pitch parameter is the note; later ones are the engine's own
  }
}

// A drum line in sixteenths: 'X' accent, 'x' normal, 'o' ghost (sometimes), '.' rest.
void drums(int t, int loop, const char* pattern, float vol) {
  for (int i = 0; pattern[i] && i * k16th < MAX_STEPS; ++i) {
    switch (pattern[i]) {
      case 'X': hit(t, loop, i * k16th, vol); break;
      case 'x': hit(t, loop, i * k16th, vol * 0.7f); break;
      case 'o': hit(t, loop, i * k16th, vol * 0.4f, -1, 60); break;
      default: break;
    }
  }
}

// Notes in sixteenths, one entry per sixteenth: a note number, or -1 for a rest.
void melody(int t, int loop, const std::vector<int>& notes, float vol, int legato_from = 1000) {
  for (size_t i = 0; i < notes.size() && static_cast<int>(i) * k16th < MAX_STEPS; ++i) {
    if (notes[i] < 0) continue;
    const int step = static_cast<int>(i) * k16th;
    hit(t, loop, step, vol, notes[i]);
    if (static_cast<int>(i) >= legato_from) song.legato_steps[loop][t] |= 1ull << step;
  }
}

void copy_loop(int from, int to, int track) {
  std::memcpy(song.step_trig[to][track], song.step_trig[from][track], MAX_STEPS);
  std::memcpy(song.step_vol[to][track], song.step_vol[from][track], sizeof(float) * MAX_STEPS);
  song.legato_steps[to][track] = song.legato_steps[from][track];
  for (int q = 0; q < song.param_count[track]; ++q) {
    float* lane = song.param_slot[track][q].lane;
    std::memcpy(lane + to * MAX_STEPS, lane + from * MAX_STEPS, sizeof(float) * MAX_STEPS);
  }
}

void song_order(const std::vector<std::pair<int, int>>& order) {
  for (int p = 0; p < SONG_LENGTH; ++p) {
    song.song_list[p] = 0;
    song.song_reps[p] = 1;
  }
  int p = 0;
  for (const auto& [loop, reps] : order) {
    song.song_list[p] = static_cast<int16_t>(loop);
    song.song_reps[p] = static_cast<int16_t>(reps);
    ++p;
  }
  song.song_list[p] = SONG_RESTART;
}

void mute(int loop, int track) { song.loop_track_enable[loop][track] = 0; }

// Chord tones spread over sixteenths: an arpeggio of `notes` repeated over `length` sixteenths.
std::vector<int> arpeggio(const std::vector<int>& notes, int length, int every = 1) {
  std::vector<int> out(length, -1);
  for (int i = 0, k = 0; i < length; i += every, ++k) out[i] = notes[k % notes.size()];
  return out;
}

std::vector<int> concat(std::vector<int> a, const std::vector<int>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// ---- The sample the WAV synths play: a short, bright vocal-like stab, made here ----

bool write_stab_sample(const char* path) {
  constexpr int kRate = 22050;
  constexpr int kFrames = kRate * 2 / 5;
  ByteWriter w;
  w.put("RIFF", 4);
  write_i32(36 + kFrames * 2, w);
  w.put("WAVEfmt ", 8);
  write_i32(16, w);
  write_i16(1, w);
  write_i16(1, w);
  write_i32(kRate, w);
  write_i32(kRate * 2, w);
  write_i16(2, w);
  write_i16(16, w);
  w.put("data", 4);
  write_i32(kFrames * 2, w);
  // Three formant-like partial clusters over a 220 Hz saw-ish tone, with a fast attack.
  const double base = 220.0;
  for (int i = 0; i < kFrames; ++i) {
    const double t = static_cast<double>(i) / kRate;
    double v = 0.0;
    for (int h = 1; h <= 24; ++h) {
      const double f = base * h;
      const double formant = std::exp(-std::pow((f - 700.0) / 250.0, 2)) +
                             0.6 * std::exp(-std::pow((f - 1200.0) / 300.0, 2)) +
                             0.3 * std::exp(-std::pow((f - 2600.0) / 400.0, 2));
      v += (0.15 + formant) / h * std::sin(2.0 * M_PI * f * t);
    }
    const double env = std::min(1.0, t * 200.0) * std::exp(-t * 6.0);
    write_i16(static_cast<int16_t>(std::lround(std::tanh(v * env * 1.5) * 20000.0)), w);
  }
  return replace_file(path, w.bytes());
}

// ---- The songs ----

// Am - F - C - G in four-on-the-floor electro: BAM kick, N snare and hats, BFM bass, FM lead,
// KS plucks through DEC, ROT percussion, a BAM pad through SVF.
void neon_run() {
  start_song(124.0f, 50.0f, 64);
  const int kick = add_synth("BAM", 3);
  const int snare = add_synth("NSVF", 9);
  const int hats = add_synth("NSVF", 6);
  const int bass = add_synth("BFM", 16);
  const int lead = add_synth("FM", 14);
  const int pluck = add_synth("KSDEC", 10);
  const int perc = add_synth("ROT", 4);
  const int pad = add_synth("BAMSVF", 18);
  finish_synths();
  song.track_vol[hats] = 0.6f;
  song.track_vol[pad] = 0.5f;
  set_param(pad, "PAN", 0.3f);
  set_param(pluck, "PAN", 0.7f);
  song.stereoize[pad] = -1.0f;
  song.humanize[hats] = 0.05f;

  const int roots[4] = {45, 41, 48, 43};  // A2 F2 C3 G2
  const std::vector<std::vector<int>> chords = {{57, 60, 64}, {53, 57, 60}, {55, 60, 64},
                                                {55, 59, 62}};
  for (int loop = 0; loop < 4; ++loop) {
    drums(kick, loop, "X...X...X...X...X...X...X...X..o", 0.95f);
    drums(snare, loop, "....X.......X.......X.......X..o", 0.7f);
    drums(hats, loop, "o.x.o.x.o.x.o.xXo.x.o.x.o.x.oxxX", 0.5f);
    drums(perc, loop, loop % 2 ? "......x.....x.x................x" : "......x.........x.....x.........",
          0.4f);
    for (int half = 0; half < 2; ++half) {
      const int chord = (loop * 2 + half) % 4;
      const int r = roots[chord];
      std::vector<int> line = {r, -1, r + 12, -1, r, r, -1, r + 12, -1, r, -1, r + 7, r, -1, r + 12, r + 10};
      for (size_t i = 0; i < line.size(); ++i)
        if (line[i] >= 0) hit(bass, loop, half * 32 + static_cast<int>(i) * k16th, 0.75f, line[i]);
      const std::vector<int> arp = arpeggio({chords[chord][0] + 12, chords[chord][1] + 12,
                                            chords[chord][2] + 12, chords[chord][1] + 24}, 16, 2);
      for (size_t i = 0; i < arp.size(); ++i)
        if (arp[i] >= 0) hit(pluck, loop, half * 32 + static_cast<int>(i) * k16th, 0.6f, arp[i]);
      hit(pad, loop, half * 32, 0.8f, chords[chord][0]);
    }
  }
  // Loops 2 and 3 add the lead; loop 4 is the breakdown, loop 5 the fill.
  const std::vector<int> hook = {76, -1, 74, 72, -1, 69, -1, -1, 72, -1, 74, -1, 76, -1, 79, -1};
  const std::vector<int> answer = {77, -1, 76, 74, -1, 72, -1, 74, -1, -1, 71, -1, 67, -1, -1, -1};
  melody(lead, 2, concat(hook, answer), 0.55f);
  melody(lead, 3, concat(answer, hook), 0.55f);
  for (int track : {kick, snare, hats, bass, lead, pluck, perc, pad}) copy_loop(0, 4, track);
  mute(4, kick);
  mute(4, bass);
  mute(4, snare);
  copy_loop(1, 5, kick);
  copy_loop(1, 5, bass);
  drums(snare, 5, "....X.......X.......X...X.X.XXXX", 0.7f);
  copy_loop(0, 5, hats);
  copy_loop(1, 5, pad);
  copy_loop(1, 5, pluck);
  mute(0, perc);
  song_order({{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 1}, {2, 2}, {3, 2}});
}

// A slow swung groove: ZBQ chords through PCF, the sample chopped on the WAV synth,
// KS plucks through CLP, N hats, a BAM bass through RD and ROT blips through MSK.
void tidepool(const char* sample) {
  start_song(96.0f, 58.0f, 64);
  const int chords = add_synth("ZBQPCF");
  const int vox = add_synth("WAV");
  const int pluck = add_synth("KSCLP");
  const int hats = add_synth("NSVF", 6);
  const int kick = add_synth("BAM", 1);
  const int bass = add_synth("BAMRD", 12);
  const int blips = add_synth("ROTMSK");
  finish_synths();
  for (int t : {chords, pluck, blips}) set_param(t, "VOL", 0.5f);
  set_param(vox, "VOL", 1.0f);
  set_param(vox, "ATTACK", 0.0001f);  // the sample has its own attack
  // The sample travels by name: the song stores it and loading finds it in the WAV list.
  scan_wav_folder();
  const int k = find_wav(sample);
  if (k >= 0 && load_wav_sample(wav_list.names[k], vox) == kWavLoaded)
    set_param(vox, "FILENAME", static_cast<float>(k));
  set_param(chords, "PAN", 0.35f);
  set_param(blips, "PAN", 0.75f);
  song.humanize[pluck] = 0.08f;
  song.track_vol[hats] = 0.5f;

  const std::vector<std::vector<int>> prog = {{50, 53, 57}, {46, 50, 53}, {43, 46, 50},
                                              {45, 49, 52}};  // Dm Bb Gm A
  for (int loop = 0; loop < 4; ++loop) {
    drums(kick, loop, "X.....x...X.....X.....x...X..o..", 0.9f);
    drums(hats, loop, "..x...x.o.x...x...x...x.o.x.x.xo", 0.45f);
    for (int half = 0; half < 2; ++half) {
      const std::vector<int>& c = prog[(loop * 2 + half) % 4];
      hit(chords, loop, half * 32, 0.5f, c[0] + 12);
      hit(chords, loop, half * 32 + 20, 0.35f, c[2] + 12);
      hit(bass, loop, half * 32, 0.8f, c[0] - 12);
      hit(bass, loop, half * 32 + 12, 0.6f, c[0] - 12);
      hit(bass, loop, half * 32 + 22, 0.6f, c[1] - 12);
      const std::vector<int> arp = arpeggio({c[0] + 24, c[1] + 24, c[2] + 24}, 16, 3);
      for (size_t i = 0; i < arp.size(); ++i)
        if (arp[i] >= 0) hit(pluck, loop, half * 32 + static_cast<int>(i) * k16th, 0.5f, arp[i]);
    }
    // The sample at three read speeds: root, fifth and octave.
    const float speeds[4] = {1.0f, 1.4983f, 2.0f, 1.3348f};
    for (int k = 0; k < 4; ++k) {
      const int step = k * 16 + (loop % 2 ? 6 : 0);
      hit(vox, loop, step, 0.9f, -1, k == 3 ? 70 : 100);
      set_param_from(vox, "RDSPEED", loop, step, speeds[(k + loop) % 4]);
    }
    melody(blips, loop, {-1, -1, 81, -1, -1, 84, -1, -1, -1, 86, -1, -1, 88, -1, -1, -1,
                         -1, -1, 81, -1, -1, 79, -1, -1, -1, 76, -1, -1, 74, -1, -1, -1},
           0.3f);
  }
  for (int t = 0; t < song.track_count; ++t) copy_loop(0, 4, t);
  mute(4, kick);
  mute(4, hats);
  mute(4, bass);
  song_order({{4, 1}, {0, 2}, {1, 2}, {2, 1}, {3, 1}, {4, 1}, {2, 2}, {3, 2}});
}

// Fast and bright: BAM kicks, N noise through SVF, BFM bass, FM bells through SVF, KS through
// DEC and ZBQ stabs, with a song list that builds up over five loops.
void clockwork() {
  start_song(138.0f, 50.0f, 32);
  const int kick = add_synth("BAM", 2);
  const int clap = add_synth("NSVF", 11);
  const int hats = add_synth("NSVF", 8);
  const int bass = add_synth("BFM", 15);
  const int bells = add_synth("FMSVF");
  const int pluck = add_synth("KSDEC", 10);
  const int stabs = add_synth("ZBQ");
  finish_synths();
  for (int t : {bells, stabs}) set_param(t, "VOL", 0.4f);
  set_param(bells, "MODINDEX", 3.0f);
  set_param(bells, "MODOFFSET", 3.5f);
  set_param(bells, "PAN", 0.65f);
  set_param(stabs, "PAN", 0.4f);
  song.track_vol[hats] = 0.5f;

  const int roots[5] = {40, 40, 43, 45, 38};  // E E G A D
  for (int loop = 0; loop < 5; ++loop) {
    const int r = roots[loop];
    drums(kick, loop, "X...X...X...X...", 0.95f);
    if (loop >= 1) drums(clap, loop, "....X.......X..x", 0.6f);
    drums(hats, loop, loop >= 2 ? "xxXxxxXxxxXxxoXx" : "..X...X...X...X.", 0.4f);
    melody(bass, loop, {r, r, -1, r + 12, r, -1, r + 10, r, r, -1, r + 12, -1, r + 7, r, r + 10, -1},
           0.7f);
    if (loop >= 2)
      melody(bells, loop, arpeggio({r + 36, r + 43, r + 48, r + 39}, 16, 3), 0.35f);
    melody(pluck, loop, arpeggio({r + 24, r + 31, r + 27}, 16, 1), 0.3f);
    if (loop >= 3) melody(stabs, loop, {-1, -1, -1, r + 24, -1, -1, -1, -1, -1, -1, r + 27, -1, -1, -1, -1, -1},
                          0.5f);
  }
  song_order({{0, 2}, {1, 2}, {2, 4}, {3, 4}, {4, 2}, {2, 2}, {3, 2}, {4, 2}});
}

bool save(const char* name) {
  if (save_song(name)) {
    std::printf("wrote %s%s\n", kSongFolder, name);
    return true;
  }
  std::fprintf(stderr, "zorbel-make-demos: cannot write %s%s\n", kSongFolder, name);
  return false;
}

}  // namespace

int main() {
  init_engine(kSeed);
  const char* sample = "VOXSTAB.WAV";
  if (!write_stab_sample((std::string(kWavFolder) + sample).c_str())) {
    std::fprintf(stderr, "zorbel-make-demos: cannot write %s%s\n", kWavFolder, sample);
    return 1;
  }
  bool ok = true;
  neon_run();
  ok = save("NEONRUN.SEQ") && ok;

  tidepool(sample);
  ok = save("TIDEPOOL.SEQ") && ok;

  clockwork();
  ok = save("CLOCKWORK.SEQ") && ok;
  return ok ? 0 : 1;
}
