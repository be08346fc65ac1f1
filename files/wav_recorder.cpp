// Offline recording: drives the audio callback by hand with the record tap on.
#include "files/wav_recorder.h"

#include <sndfile.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/audio_stream.h"
#include "engine/clock.h"
#include "engine/mixer.h"
#include "engine/song.h"
#include "files/byte_io.h"
#include "files/file_replace.h"
#include "files/loudness_meter.h"
#include "files/stem_files.h"

namespace zorbel {

namespace {

constexpr double kBuffersPerSecond = 44100.0 / 1024.0;

}  // namespace

void write_record_header(std::FILE* file) {
  std::fwrite("RIFF", 1, 4, file);
  write_i32(static_cast<int32_t>(kProvisionalSize), file);
  std::fwrite("WAVEfmt ", 1, 8, file);
  write_i32(16, file);
  write_i16(1, file);
  write_i16(2, file);
  write_i32(44100, file);
  write_i32(176400, file);
  write_i16(4, file);
  write_i16(16, file);
  std::fwrite("data", 1, 4, file);
  write_i32(static_cast<int32_t>(kProvisionalSize), file);
}

void patch_record_sizes(std::FILE* file, long blocks) {
  const uint32_t data_bytes = static_cast<uint32_t>(blocks) * kRecordBufferBytes;
  std::fseek(file, 4, SEEK_SET);
  write_i32(static_cast<int32_t>(data_bytes + 36), file);
  std::fseek(file, 40, SEEK_SET);
  write_i32(static_cast<int32_t>(data_bytes), file);
}

namespace {

// Playback from the first step of the loop, or of song position 0 in song mode.
void rewind_for_recording() {
  reset_playback();
  if (transport.play_mode == kPlaySong) {
    transport.song_pos = 0;
    transport.rep_count = 0;
    // A marker at position 0 names no loop: the loop that was playing stays.
    const int16_t first = song.song_list[0];
    if (first >= 0 && first < MAX_LOOPS) transport.current_loop = first;
  }
  repoint_loop();
}

}  // namespace

double record_length_buffers() {
  double beats_per_loop_blocks = 60.0 / song.bpm / 8.0 * kBuffersPerSecond * song.seqlen;
  if (transport.play_mode == kPlaySong) {
    long reps = 0;
    for (int p = 0; p <= SONG_LENGTH && song.song_list[p] >= 0; ++p) reps += song.song_reps[p];
    beats_per_loop_blocks *= static_cast<double>(reps);
  }
  return beats_per_loop_blocks;
}

long record_block_count() {
  const double beats_per_loop_blocks = record_length_buffers();
  // A tempo of zero or a damaged value must not turn into an undefined conversion.
  if (!(beats_per_loop_blocks < static_cast<double>(kMaxRecordBlocks))) return kMaxRecordBlocks;
  const long n = static_cast<long>(beats_per_loop_blocks) + 1;
  return n < 1 ? 1 : n;
}

RecordFormat record_format_for(const char* path) {
  auto ends_with = [path](const char* suffix) {
    const std::size_t n = std::strlen(path);
    const std::size_t k = std::strlen(suffix);
    if (n < k) return false;
    for (std::size_t i = 0; i < k; ++i)
      if (std::tolower(static_cast<unsigned char>(path[n - k + i])) != suffix[i]) return false;
    return true;
  };
  if (ends_with(".flac")) return RecordFormat::kFlac;
  if (ends_with(".ogg")) return RecordFormat::kOgg;
  return RecordFormat::kWav;
}

namespace {

// Muted in the loop a loop recording plays, or in every loop of the song list it plays.
void find_skipped_tracks(bool (&skipped)[MAX_TRACKS]) {
  for (int t = 0; t < MAX_TRACKS; ++t) skipped[t] = true;
  auto take_loop = [&](int loop) {
    if (loop < 0 || loop >= MAX_LOOPS) return;
    for (int t = 0; t < song.track_count; ++t)
      if (song.loop_track_enable[loop][t] != 0) skipped[t] = false;
  };
  if (transport.play_mode == kPlaySong) {
    for (int p = 0; p < SONG_LENGTH && song.song_list[p] >= 0; ++p) take_loop(song.song_list[p]);
    if (song.song_list[0] < 0) take_loop(transport.current_loop);
  } else {
    take_loop(transport.current_loop);
  }
}

// The compressed formats go through libsndfile onto the replacing file's descriptor.
SNDFILE* open_encoder(std::FILE* file, RecordFormat format) {
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = format == RecordFormat::kFlac ? (SF_FORMAT_FLAC | SF_FORMAT_PCM_16)
                                              : (SF_FORMAT_OGG | SF_FORMAT_VORBIS);
  return sf_open_fd(fileno(file), SFM_WRITE, &info, 0);
}

}  // namespace

RecordOutcome record(const RecordRequest& request, RecordStats* stats) {
  const long blocks = request.blocks > 0 ? request.blocks : record_block_count();
  if (!request.path || blocks < 1 || blocks > kMaxRecordBlocks) return RecordOutcome::kFailed;
  const RecordFormat format = record_format_for(request.path);
  ReplacingFile out;
  if (!out.open(request.path)) return RecordOutcome::kFailed;
  SNDFILE* encoder = nullptr;
  if (format == RecordFormat::kWav) {
    write_record_header(out.file());
  } else if (!(encoder = open_encoder(out.file(), format))) {
    return RecordOutcome::kFailed;
  }

  const bool stream_was_open = audio_is_open();
  if (stream_was_open) stop_audio();
  rewind_for_recording();
  StemFiles stems;
  if (request.stems_folder) {
    bool skipped[MAX_TRACKS];
    find_skipped_tracks(skipped);
    if (!stems.open(request.stems_folder, skipped)) {
      if (encoder) sf_close(encoder);
      if (stream_was_open) start_audio();
      return RecordOutcome::kFailed;
    }
  }
  // The WAV mix is written by the callback's record tap; other formats take the tap's frames.
  set_record_file(format == RecordFormat::kWav ? out.file() : nullptr);
  buses.stems_on = stems.active();
  transport.recording.store(true);
  const bool was_stopped = transport.transport_stopped.load() != 0;
  if (was_stopped) set_transport_stopped(0);

  LoudnessMeter meter;
  static int16_t frames[2 * kBufferFrames];  // main thread only
  bool cancelled = false;
  bool written = true;
  for (long b = 0; b < blocks; ++b) {
    // The callback writes its device frames into the record buffer's spare half; only the
    // record tap's copy reaches the file.
    render_buffer(buses.record_right);
    record_tap_frames(frames);
    meter.add(frames, kBufferFrames);
    if (encoder && sf_writef_short(encoder, frames, kBufferFrames) != kBufferFrames) written = false;
    if (stems.active()) stems.add_buffer();
    if (request.progress && !request.progress(b + 1, blocks)) {
      cancelled = true;
      break;
    }
  }

  transport.recording.store(false);
  set_record_file(nullptr);
  buses.stems_on = false;
  if (format == RecordFormat::kWav) patch_record_sizes(out.file(), blocks);
  if (encoder && sf_close(encoder) != 0) written = false;
  RecordOutcome outcome = RecordOutcome::kCancelled;
  if (cancelled || !written) {
    out.discard();
    stems.discard();
    if (!cancelled) outcome = RecordOutcome::kFailed;
  } else if (!out.commit()) {
    stems.discard();
    outcome = RecordOutcome::kFailed;
  } else {
    outcome = stems.commit(blocks) ? RecordOutcome::kDone : RecordOutcome::kFailed;
  }
  if (stream_was_open) start_audio();
  if (was_stopped) set_transport_stopped(1);
  if (stats) {
    stats->frames = blocks * kBufferFrames;
    stats->peak = meter.peak();
    stats->lufs = meter.integrated_lufs();
  }
  return outcome;
}

std::string record_summary(const char* file_name, const RecordStats& stats) {
  const long seconds = stats.frames / 44100;
  auto level = [](double db, const char* unit) {
    char text[24];
    if (std::isfinite(db))
      std::snprintf(text, sizeof text, "%.1f %s", db, unit);
    else
      std::snprintf(text, sizeof text, "-INF %s", unit);
    return std::string(text);
  };
  char length[24];
  std::snprintf(length, sizeof length, "%ld:%02ld", seconds / 60, seconds % 60);
  return std::string(file_name) + " " + length + " PEAK " + level(to_dbfs(stats.peak), "DB") + " " +
         level(stats.lufs, "LUFS");
}

bool record_to_wav(const char* path, RecordProgress progress) {
  return record_blocks_to_wav(path, record_block_count(), progress);
}

bool record_blocks_to_wav(const char* path, long blocks, RecordProgress progress) {
  if (blocks < 1) return false;
  RecordRequest request;
  request.path = path;
  request.blocks = blocks;
  request.progress = progress;
  return record(request) == RecordOutcome::kDone;
}

}  // namespace zorbel
