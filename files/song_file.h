// The song file: header, body layout, and saving and loading the one song.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/song.h"

namespace zorbel {

constexpr const char* kSongVersion = "Zorbel3.00";
constexpr int kSongNameSlot = 20;     // bytes for the header's song name, terminator included
constexpr int kVersionSlot = 11;      // "Zorbel3.00" and its terminator
constexpr int kSampleNameSlot = 64;   // longest sample name kept from a file, terminator included
// Far above the largest song the writer can produce (about 22 MB with every lane varying).
constexpr std::size_t kMaxSongFileBytes = 64u << 20;

// Everything a song file holds, decoded and checked, before any of it reaches the song. Loops,
// tracks and steps keep the song's own index order.
struct SongImage {
  int track_count = 0;
  int synth_type[MAX_TRACKS] = {};
  char loop_name[MAX_LOOPS][6] = {};
  float bpm = 0.0f;
  float swing_pct = 0.0f;
  uint8_t swing_steps = 0;
  int16_t seqlen = 0;
  int16_t song_list[SONG_LENGTH] = {};
  int16_t song_reps[SONG_LENGTH] = {};
  int16_t loop_track_enable[MAX_LOOPS * MAX_TRACKS] = {};
  uint8_t stereo_switch[MAX_TRACKS] = {};  // 1 off, 0 on, anything else: leave the default
  std::vector<uint8_t> step_trig;          // MAX_LOOPS x MAX_TRACKS x MAX_STEPS
  std::vector<float> step_vol;
  float track_vol[MAX_TRACKS] = {};
  float master_vol = 0.0f;
  uint64_t legato_steps[MAX_LOOPS][MAX_TRACKS] = {};
  float humanize[MAX_TRACKS] = {};
  int16_t freq_mode[MAX_TRACKS] = {};
  int param_count[MAX_TRACKS] = {};
  std::vector<float> lanes;  // the lanes of every synth's parameters in order, kLaneLength each
  std::vector<std::string> sample_names;  // one per WAV synth, in track order
  // What parsing brought into the editor's ranges ("" when nothing), e.g. "tempo, lane values".
  std::string corrected;
};

// Decodes a whole song file image and checks it. False, with a short reason, when the file is
// empty, truncated, of another version, or holds values no song can have. Values a damaged
// file holds beyond the editor's ranges (tempo, swing, repetitions, volumes, humanize, trigger
// odds, parameter values) are brought into them, and image.corrected names what changed.
bool parse_song_file(const uint8_t* data, std::size_t size, SongImage& image,
                     std::string& reason);

// The current song as a file image whose header carries file_name (cut to its slot).
std::vector<uint8_t> encode_song(const char* file_name);

// A copy of the song, taken in a moment while the audio is held and encoded afterwards on any
// thread: encoding the largest song takes far longer than a device buffer.
struct SongSnapshot {
  std::unique_ptr<Song> song = std::make_unique<Song>();  // its lanes point into `lanes`
  std::vector<float> lanes;
  char sample_name[MAX_TRACKS][kSampleNameSlot] = {};      // "" for a track with none
};
// Sizes the snapshot for the song as it stands (main thread, the audio may run): every page it
// will need is touched here, so that taking it copies and nothing else.
void prepare_song_snapshot(SongSnapshot& snapshot);
// Copies the song into a snapshot prepared for it since the song's last structural change.
// Main thread; the caller holds the audio (the filter tracking writes a lane).
void take_song_snapshot(SongSnapshot& snapshot);
// The snapshot as a file image, as encode_song would have made it when it was taken.
std::vector<uint8_t> encode_song(const SongSnapshot& snapshot, const char* file_name);

// Replaces the song with a checked image: synths rebuilt, tables filled, samples loaded by name
// from the WAV folder, playback rewound to step 0 of loop 0 in LOOP mode. Main thread; the
// caller holds the audio (the edit layer does), or no callback runs.
void apply_song_image(const SongImage& image);
// The first sample the last applied song named that could not be loaded ("" when none).
const std::string& first_missing_sample();

// Saving reads the song out: the caller holds the audio, or no callback runs (the edit layer's
// edit_save_song holds it only while the song is encoded).
// Saves the song as kSongFolder + file_name (the song name with ".SEQ"). The older file of that
// name is replaced only once the new one is complete. False when it could not be written.
bool save_song(const char* file_name);
// The same to any path; the header names the path's last component.
bool save_song_to_path(const std::string& path);

// Reads and checks the song file at path (found ignoring the case of its name) into image.
// False, with reason (if given) saying why, when it cannot be read or is refused.
bool read_song_file(const char* path, SongImage& image, std::string* reason = nullptr);
// One line on stderr naming what parsing corrected, if anything.
void warn_song_corrections(const char* path, const SongImage& image);

// Loads the song file at path: read_song_file, then apply_song_image and the warning. The whole
// file is read and checked before the song is touched: on refusal the current song stays
// exactly as it was. The caller holds the audio (see apply_song_image).
bool load_song(const char* path, std::string* reason = nullptr);

}  // namespace zorbel
