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

RecordJob::RecordJob() = default;

RecordJob::~RecordJob() {
  if (running_) cancel();
}

bool RecordJob::start(const RecordRequest& request) {
  if (running_ || !request.path) return false;
  const RecordFormat format = record_format_for(request.path);
  out_ = std::make_unique<ReplacingFile>();
  if (!out_->open(request.path)) return false;
  if (format == RecordFormat::kWav) {
    write_record_header(out_->file());
  } else if (!(encoder_ = open_encoder(out_->file(), format))) {
    out_->discard();
    return false;
  }

  stream_was_open_ = audio_is_open();
  if (stream_was_open_) stop_audio();
  // A recording of the other mode plays it from its start and gives the transport back after.
  saved_mode_ = transport.play_mode;
  saved_loop_ = transport.current_loop;
  restore_mode_ = request.mode >= 0 && request.mode != saved_mode_;
  if (restore_mode_) transport.play_mode = static_cast<uint16_t>(request.mode);
  total_ = request.blocks > 0 ? request.blocks : record_block_count();
  done_ = 0;
  written_ = total_ >= 1 && total_ <= kMaxRecordBlocks;
  rewind_for_recording();
  stems_ = std::make_unique<StemFiles>();
  if (written_ && request.stems_folder) {
    bool skipped[MAX_TRACKS];
    find_skipped_tracks(skipped);
    written_ = stems_->open(request.stems_folder, skipped);
  }
  if (!written_) {
    running_ = true;
    end_render();
    discard_files();
    return false;
  }
  meter_ = std::make_unique<LoudnessMeter>();
  // The WAV mix is written by the callback's record tap; other formats take the tap's frames.
  set_record_file(format == RecordFormat::kWav ? out_->file() : nullptr);
  buses.stems_on = stems_->active();
  transport.recording.store(true);
  was_stopped_ = transport.transport_stopped.load() != 0;
  if (was_stopped_) set_transport_stopped(0);
  running_ = true;
  return true;
}

bool RecordJob::step(long buffers) {
  static int16_t frames[2 * kBufferFrames];  // main thread only
  for (long k = 0; k < buffers && done_ < total_; ++k) {
    // The callback writes its device frames into the record buffer's spare half; only the
    // record tap's copy reaches the file.
    render_buffer(buses.record_right);
    record_tap_frames(frames);
    meter_->add(frames, kBufferFrames);
    if (encoder_ && sf_writef_short(static_cast<SNDFILE*>(encoder_), frames, kBufferFrames) != kBufferFrames) written_ = false;
    if (stems_->active()) stems_->add_buffer();
    ++done_;
  }
  return done_ < total_;
}

void RecordJob::end_render() {
  transport.recording.store(false);
  set_record_file(nullptr);
  buses.stems_on = false;
  if (encoder_ && sf_close(static_cast<SNDFILE*>(encoder_)) != 0) written_ = false;
  encoder_ = nullptr;
  if (restore_mode_) {
    transport.play_mode = saved_mode_;
    transport.current_loop = saved_loop_;
    reset_playback();
    repoint_loop();
  }
  restore_mode_ = false;
  if (stream_was_open_) start_audio();
  if (was_stopped_) set_transport_stopped(1);
  was_stopped_ = false;
  running_ = false;
}

void RecordJob::discard_files() {
  if (out_) out_->discard();
  if (stems_) stems_->discard();
}

RecordOutcome RecordJob::finish(RecordStats* stats) {
  if (!running_) return RecordOutcome::kFailed;
  if (!encoder_) patch_record_sizes(out_->file(), total_);
  const long blocks = total_;
  end_render();
  RecordOutcome outcome = RecordOutcome::kDone;
  if (!written_ || done_ < total_) {
    discard_files();
    outcome = RecordOutcome::kFailed;
  } else if (!out_->commit()) {
    stems_->discard();
    outcome = RecordOutcome::kFailed;
  } else if (!stems_->commit(blocks)) {
    outcome = RecordOutcome::kFailed;
  }
  if (stats) {
    stats->frames = blocks * kBufferFrames;
    stats->peak = meter_->peak();
    stats->lufs = meter_->integrated_lufs();
  }
  return outcome;
}

void RecordJob::cancel() {
  if (!running_) return;
  end_render();
  discard_files();
}

RecordOutcome record(const RecordRequest& request, RecordStats* stats) {
  RecordJob job;
  if (!job.start(request)) return RecordOutcome::kFailed;
  while (job.step(1))
    if (request.progress && !request.progress(job.done(), job.total())) {
      job.cancel();
      return RecordOutcome::kCancelled;
    }
  if (request.progress && !request.progress(job.done(), job.total())) {
    job.cancel();
    return RecordOutcome::kCancelled;
  }
  return job.finish(stats);
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
