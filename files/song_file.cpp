// Song file encoding and decoding, and saving and loading the song with it.
#include "files/song_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "engine/freq_mode.h"
#include "engine/clock.h"
#include "files/byte_io.h"
#include "files/file_replace.h"
#include "files/platform_dir.h"
#include "files/run_length.h"
#include "files/wav_import.h"
#include "engine/synth_tracks.h"
#include "synth/wav_engine.h"

namespace zorbel {

namespace {

constexpr int kStepCount = MAX_LOOPS * MAX_TRACKS * MAX_STEPS;
constexpr char kSampleNameEnd = 0x60;  // "`" ends each sample name
constexpr int kFirstWavType = 56;      // WAV engine with each of its eight effect slots
// The first sample of the song applied last that is missing from the WAV folder.
std::string missing_sample;

bool is_wav_type(int type) { return type >= kFirstWavType && type < kTypeCount; }

// Reads a zero-terminated text of at most slot - 1 characters, then its padding byte.
bool read_header_text(ByteReader& in, int slot, char* text) {
  for (int i = 0; i < slot; ++i) {
    text[i] = static_cast<char>(read_u8(in));
    if (in.overrun()) return false;
    if (text[i] == '\0') {
      read_u8(in);
      return !in.overrun();
    }
  }
  return false;
}

const char* last_component(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

bool refuse(std::string& reason, const std::string& why) {
  reason = why;
  return false;
}

// Brings value into lo..hi (a value that is not a number becomes fallback); records what in
// `what` once per field name.
template <typename T>
void keep_in(T& value, T lo, T hi, T fallback, const char* what, std::string& corrected) {
  T v = value;
  if (!(v == v)) v = fallback;  // NaN
  if (v < lo) v = lo;
  if (v > hi) v = hi;
  if (v == value) return;
  value = v;
  if (corrected.find(what) != std::string::npos) return;
  if (!corrected.empty()) corrected += ", ";
  corrected += what;
}

// The class a pitch slot takes after loading, from the track's frequency mode.
ParamClass loaded_class(ParamClass cls, int freq_mode) {
  if (!is_pitch_class(cls)) return cls;
  if (freq_mode == kFreqMidi) return ParamClass::kNotePitch;
  if (freq_mode == kFreqAbs) return ParamClass::kHzPitch;
  return cls;
}

// A damaged file must not play at full-scale clipping or render for days: every setting and
// lane value goes into the range the editor keeps it in.
void clamp_to_editor_ranges(SongImage& image) {
  std::string& c = image.corrected;
  keep_in(image.bpm, kMinBpm, kMaxBpm, 120.0f, "tempo", c);
  keep_in(image.swing_pct, kMinSwing, kMaxSwing, 50.0f, "swing", c);
  keep_in<uint8_t>(image.swing_steps, 1, kMaxSwingSteps, 4, "swing steps", c);
  for (int16_t& reps : image.song_reps) keep_in<int16_t>(reps, 1, kMaxReps, 1, "repetitions", c);
  keep_in(image.master_vol, 0.0f, kMaxVolume, 1.0f, "master volume", c);
  for (int t = 0; t < image.track_count; ++t) {
    keep_in(image.track_vol[t], 0.0f, kMaxVolume, 1.0f, "track volumes", c);
    keep_in(image.humanize[t], 0.0f, 1.0f, 0.0f, "humanize", c);
  }
  for (uint8_t& trig : image.step_trig) keep_in<uint8_t>(trig, 0, kMaxTrig, 0, "step odds", c);
  for (float& vol : image.step_vol) keep_in(vol, 0.0f, 1.0f, 0.0f, "step volumes", c);
  float* lane = image.lanes.data();
  for (int t = 0; t < image.track_count; ++t)
    for (int k = 0; k < image.param_count[t]; ++k, lane += kLaneLength) {
      const int type = image.synth_type[t];
      const ParamInfo* info = type_param(type, k);
      float lo = 0.0f, hi = 0.0f;
      if (!info || !type_param_range(type, k, loaded_class(info->cls, image.freq_mode[t]), &lo, &hi))
        continue;
      const float fallback = std::clamp(info->def, lo, hi);
      for (int i = 0; i < kLaneLength; ++i) keep_in(lane[i], lo, hi, fallback, "parameter values", c);
    }
}

}  // namespace

bool parse_song_file(const uint8_t* data, std::size_t size, SongImage& image,
                     std::string& reason) {
  if (size == 0) return refuse(reason, "empty file");
  ByteReader in(data, size);
  char text[kSongNameSlot];
  if (!read_header_text(in, kSongNameSlot, text))
    return refuse(reason, in.overrun() ? "truncated header" : "song name has no end");
  if (!read_header_text(in, kVersionSlot, text) || std::strcmp(text, kSongVersion) != 0)
    return refuse(reason, in.overrun() ? "truncated header" : "not a Zorbel3.00 song file");

  const std::string truncated = "truncated file";
  image.track_count = read_u8(in);
  if (image.track_count > MAX_TRACKS)
    return refuse(reason, "synth count " + std::to_string(image.track_count) + " above 16");
  int total_params = 0;
  for (int t = 0; t < image.track_count; ++t) {
    const int type = read_u8(in);
    if (type >= kTypeCount)
      return refuse(reason, "synth type code " + std::to_string(type) + " above 63");
    image.synth_type[t] = type;
    char name[kTrackNameLen];
    in.get(name, kTrackNameLen);  // synths take their type's own name when rebuilt
    // Building a synth needs a full track's worth of lanes above those of the synths below it.
    if (total_params + PARAM_SLOTS > kLanePoolSize)
      return refuse(reason, "synths have too many parameters");
    image.param_count[t] = type_param_count(type);
    total_params += image.param_count[t];
  }
  for (auto& name : image.loop_name) in.get(name, 6);
  image.bpm = read_f32(in);
  image.swing_pct = read_f32(in);
  image.swing_steps = read_u8(in);
  image.seqlen = read_i16(in);
  if (in.overrun()) return refuse(reason, truncated);
  if (!(std::isfinite(image.bpm) && image.bpm > 0.0f)) return refuse(reason, "tempo out of range");
  if (image.seqlen < 1 || image.seqlen > MAX_STEPS)
    return refuse(reason, "sequence length out of range");

  if (!read_runs(image.song_list, SONG_LENGTH, RunShape::kRle16, in) ||
      !read_runs(image.song_reps, SONG_LENGTH, RunShape::kRle16, in) ||
      !read_runs(image.loop_track_enable, MAX_LOOPS * MAX_TRACKS, RunShape::kRle16, in))
    return refuse(reason, truncated);
  for (int p = 0; p < SONG_LENGTH; ++p)
    if (image.song_list[p] < SONG_HALT || image.song_list[p] >= MAX_LOOPS)
      return refuse(reason, "song list names loop " + std::to_string(image.song_list[p]));

  for (int t = 0; t < image.track_count; ++t) image.stereo_switch[t] = read_u8(in);
  image.step_trig.assign(kStepCount, 0);
  image.step_vol.assign(kStepCount, 0.0f);
  if (!read_runs(image.step_trig.data(), kStepCount, RunShape::kRle32, in) ||
      !read_runs(image.step_vol.data(), kStepCount, RunShape::kRle32, in) ||
      !read_runs(image.track_vol, image.track_count, RunShape::kTagged, in))
    return refuse(reason, truncated);
  image.master_vol = read_f32(in);
  for (auto& loop : image.legato_steps)
    for (uint64_t& mask : loop) {
      const uint64_t low = static_cast<uint32_t>(read_i32(in));
      const uint64_t high = static_cast<uint32_t>(read_i32(in));
      mask = low | (high << 32);
    }
  for (float& h : image.humanize) h = read_f32(in);
  if (in.overrun() || !read_runs(image.freq_mode, image.track_count, RunShape::kTagged, in))
    return refuse(reason, truncated);
  // A volume, swing or humanize that is not a number would reach the mixer and the 16-bit
  // conversion of the recorder as NaN.
  bool finite = std::isfinite(image.swing_pct) && std::isfinite(image.master_vol);
  for (int t = 0; t < image.track_count; ++t)
    finite = finite && std::isfinite(image.track_vol[t]) && std::isfinite(image.humanize[t]);
  for (float v : image.step_vol) finite = finite && std::isfinite(v);
  if (!finite) return refuse(reason, "a volume, swing or humanize value is not a number");

  image.lanes.assign(static_cast<std::size_t>(total_params) * kLaneLength, 0.0f);
  for (int k = 0; k < total_params; ++k)
    if (!read_runs(image.lanes.data() + static_cast<std::size_t>(k) * kLaneLength, kLaneLength,
                   RunShape::kRle16, in))
      return refuse(reason, truncated);

  image.sample_names.clear();
  for (int t = 0; t < image.track_count; ++t) {
    if (!is_wav_type(image.synth_type[t])) continue;
    std::string name;
    for (;;) {
      const char c = static_cast<char>(read_u8(in));
      if (in.overrun()) return refuse(reason, truncated);
      if (c == kSampleNameEnd) break;
      if (name.size() < kSampleNameSlot - 1) name.push_back(c);  // cut to the name slot
    }
    image.sample_names.push_back(name);
  }
  clamp_to_editor_ranges(image);
  return true;
}

namespace {

// The song file image of from; sample_name holds each WAV track's sample name ("" for none).
std::vector<uint8_t> encode_song_of(const Song& from, const char (*sample_name)[kSampleNameSlot],
                                    const char* file_name) {
  ByteWriter out;
  const std::size_t name_len = std::min<std::size_t>(std::strlen(file_name), kSongNameSlot - 1);
  out.put(file_name, name_len);
  write_u8(0, out);
  write_u8(0, out);
  out.put(kSongVersion, std::strlen(kSongVersion));
  write_u8(0, out);
  write_u8(0, out);

  const int n = from.track_count;
  write_u8(n, out);
  for (int t = 0; t < n; ++t) {
    write_u8(from.synth_type[t], out);
    out.put(from.track_name[t], kTrackNameLen);
  }
  for (const auto& name : from.loop_name) out.put(name, 6);
  write_f32(from.bpm, out);
  write_f32(from.swing_pct, out);
  write_u8(from.swing_steps, out);
  write_i16(from.seqlen, out);
  write_runs(from.song_list, SONG_LENGTH, RunShape::kRle16, out);
  write_runs(from.song_reps, SONG_LENGTH, RunShape::kRle16, out);
  write_runs(&from.loop_track_enable[0][0], MAX_LOOPS * MAX_TRACKS, RunShape::kRle16, out);
  for (int t = 0; t < n; ++t) write_u8(from.stereoize[t] > 0.0f ? 1 : 0, out);
  write_runs(&from.step_trig[0][0][0], kStepCount, RunShape::kRle32, out);
  write_runs(&from.step_vol[0][0][0], kStepCount, RunShape::kRle32, out);
  write_runs(from.track_vol, n, RunShape::kTagged, out);
  write_f32(from.master_vol, out);
  for (const auto& loop : from.legato_steps)
    for (uint64_t mask : loop) {
      write_i32(static_cast<int32_t>(static_cast<uint32_t>(mask)), out);
      write_i32(static_cast<int32_t>(static_cast<uint32_t>(mask >> 32)), out);
    }
  for (float h : from.humanize) write_f32(h, out);
  int16_t modes[MAX_TRACKS] = {};
  for (int t = 0; t < n; ++t) modes[t] = static_cast<int16_t>(from.freq_mode[t]);
  write_runs(modes, n, RunShape::kTagged, out);
  static const float kEmptyLane[kLaneLength] = {};
  for (int t = 0; t < n; ++t)
    for (int k = 0; k < from.param_count[t]; ++k) {
      const float* lane = from.param_slot[t][k].lane;
      write_runs(lane ? lane : kEmptyLane, kLaneLength, RunShape::kRle16, out);
    }
  for (int t = 0; t < n; ++t) {
    if (!is_wav_type(from.synth_type[t])) continue;
    out.put(sample_name[t], strnlen(sample_name[t], kSampleNameSlot));
    write_u8(kSampleNameEnd, out);
  }
  return out.bytes();
}

void copy_sample_names(char (*sample_name)[kSampleNameSlot]) {
  for (int t = 0; t < MAX_TRACKS; ++t) {
    const SampleData* sample = t < song.track_count && is_wav_type(song.synth_type[t])
                                   ? wav_sample(t) : nullptr;
    std::snprintf(sample_name[t], kSampleNameSlot, "%s", sample ? sample->name : "");
  }
}

int lanes_in_use() {
  int lanes = 0;
  for (int t = 0; t < song.track_count; ++t) lanes += song.param_count[t];
  return lanes;
}

}  // namespace

std::vector<uint8_t> encode_song(const char* file_name) {
  char sample_name[MAX_TRACKS][kSampleNameSlot];
  copy_sample_names(sample_name);
  return encode_song_of(song, sample_name, file_name);
}

void prepare_song_snapshot(SongSnapshot& snapshot) {
  const size_t values = static_cast<size_t>(lanes_in_use()) * kLaneLength;
  if (snapshot.lanes.size() < values) snapshot.lanes.resize(values);
}

void take_song_snapshot(SongSnapshot& snapshot) {
  Song& copy = *snapshot.song;
  copy = song;
  float* next = snapshot.lanes.data();
  for (int t = 0; t < song.track_count; ++t)
    for (int k = 0; k < song.param_count[t]; ++k) {
      ParamSlot& slot = copy.param_slot[t][k];
      if (slot.lane) {
        std::memcpy(next, slot.lane, sizeof(float) * kLaneLength);
        slot.lane = next;
        slot.row = nullptr;  // the snapshot is read lane by lane, never by the current loop
      }
      next += kLaneLength;
    }
  copy_sample_names(snapshot.sample_name);
}

std::vector<uint8_t> encode_song(const SongSnapshot& snapshot, const char* file_name) {
  return encode_song_of(*snapshot.song, snapshot.sample_name, file_name);
}

void apply_song_image(const SongImage& image) {
  clear_song();
  const int n = image.track_count;
  const float* lanes = image.lanes.data();
  song.track_count = 0;
  for (int t = 0; t < n; ++t) {
    // Every lane the synth gets is filled from the file below.
    build_synth(t, image.synth_type[t], false);
    song.synth_type[t] = image.synth_type[t];
    song.track_count = static_cast<int16_t>(t + 1);
  }
  if (n < MAX_TRACKS) std::strcpy(song.track_name[n], kListEnd);
  sort_registry();

  for (int l = 0; l < MAX_LOOPS; ++l) std::memcpy(song.loop_name[l], image.loop_name[l], 6);
  song.bpm = image.bpm;
  song.swing_pct = image.swing_pct;
  song.swing_steps = image.swing_steps;
  transport.song_pos = 0;
  transport.rep_count = 0;
  std::memcpy(song.song_list, image.song_list, sizeof image.song_list);
  std::memcpy(song.song_reps, image.song_reps, sizeof image.song_reps);
  std::memcpy(song.loop_track_enable, image.loop_track_enable, sizeof image.loop_track_enable);
  for (int t = 0; t < n; ++t) {
    if (image.stereo_switch[t] == 1) song.stereoize[t] = 1.0f;
    if (image.stereo_switch[t] == 0) song.stereoize[t] = -1.0f;
  }
  std::memcpy(song.step_trig, image.step_trig.data(), sizeof song.step_trig);
  std::memcpy(song.step_vol, image.step_vol.data(), sizeof song.step_vol);
  for (int t = 0; t < n; ++t) song.track_vol[t] = image.track_vol[t];
  song.master_vol = image.master_vol;
  std::memcpy(song.legato_steps, image.legato_steps, sizeof song.legato_steps);
  std::memcpy(song.humanize, image.humanize, sizeof song.humanize);

  for (int t = 0; t < n; ++t) {
    const uint16_t mode = static_cast<uint16_t>(image.freq_mode[t]);
    song.freq_mode[t] = mode;
    for (int k = 0; k < song.param_count[t]; ++k) {
      ParamSlot& slot = song.param_slot[t][k];
      if (mode == kFreqMidi && slot.cls == ParamClass::kHzPitch) {
        slot.cls = ParamClass::kNotePitch;
        slot.def = kMidiPitchDefault;
      } else if (mode == kFreqAbs && slot.cls == ParamClass::kNotePitch) {
        slot.cls = ParamClass::kHzPitch;
        slot.def = kAbsPitchDefault;
      }
    }
    // The file holds as many lanes as the type has parameters; a build that made a different
    // number takes what both have.
    const int stored = image.param_count[t];
    for (int k = 0; k < stored; ++k) {
      float* lane = k < song.param_count[t] ? song.param_slot[t][k].lane : nullptr;
      if (lane) std::memcpy(lane, lanes + static_cast<std::size_t>(k) * kLaneLength,
                            sizeof(float) * kLaneLength);
    }
    lanes += static_cast<std::size_t>(stored) * kLaneLength;
  }

  missing_sample.clear();
  if (!image.sample_names.empty()) {
    scan_wav_folder();
    std::size_t node = 0;
    for (int t = 0; t < n && node < image.sample_names.size(); ++t) {
      if (!is_wav_type(song.synth_type[t])) continue;
      const std::string& name = image.sample_names[node++];
      const int k = find_wav(name.c_str());
      if (k >= 0) {
        load_wav_sample(wav_list.names[k], t);
        float* lane = song.param_count[t] > 0 ? song.param_slot[t][0].lane : nullptr;
        if (lane)
          for (int i = 0; i < kLaneLength; ++i) lane[i] = static_cast<float>(k);
      }
      // A sample missing from this folder (or unreadable) still keeps its name: the synth plays
      // the silent placeholder, and saving the song again does not lose the reference.
      if (!wav_sample(t) && !name.empty() && missing_sample.empty()) missing_sample = name;
      if (!wav_sample(t) && !name.empty()) {
        SampleData* named = new (std::nothrow) SampleData;
        if (named) {
          std::strncpy(named->name, name.c_str(), sizeof named->name - 1);
          wav_set_sample(t, named);
        }
      }
    }
  }

  for (int t = 0; t < n; ++t) reset_play_cursor(t);
  song.seqlen = static_cast<uint16_t>(image.seqlen);
  transport.current_loop = 0;
  reset_playback();
  transport.song_pos = 0;
  transport.rep_count = 0;
  transport.play_mode = kPlayLoop;
  repoint_loop();
  editor_link.redraw_screen.store(true);
}

const std::string& first_missing_sample() { return missing_sample; }

namespace {

bool save_song_as(const std::string& path, const char* header_name) {
  const std::vector<uint8_t> bytes = encode_song(header_name);
  editor_link.redraw_screen.store(true);
  return replace_file(path, bytes);
}

}  // namespace

bool save_song_to_path(const std::string& path) {
  return save_song_as(path, last_component(path));
}

bool save_song(const char* file_name) {
  // An existing file whose name differs only in case is the same song: replace it.
  return save_song_as(path_in_folder(kSongFolder, file_name), file_name);
}

bool read_song_file(const char* path, SongImage& image, std::string* reason) {
  std::string why;
  const std::string where = path_ignoring_case(path);
  std::vector<uint8_t> bytes;
  bool ok = read_whole_file(where.c_str(), bytes, kMaxSongFileBytes);
  if (!ok)
    why = std::strerror(errno);
  else
    ok = parse_song_file(bytes.data(), bytes.size(), image, why);
  if (!ok && reason) *reason = why;
  return ok;
}

void warn_song_corrections(const char* path, const SongImage& image) {
  if (image.corrected.empty()) return;
  std::fprintf(stderr, "zorbel: %s: values out of range were corrected: %s\n", path,
               image.corrected.c_str());
}

bool load_song(const char* path, std::string* reason) {
  SongImage image;
  if (!read_song_file(path, image, reason)) return false;
  apply_song_image(image);
  warn_song_corrections(path, image);
  return true;
}

}  // namespace zorbel
