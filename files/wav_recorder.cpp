// Offline recording: drives the audio callback by hand with the record tap on.
#include "files/wav_recorder.h"

#include <cmath>
#include <cstdio>

#include "engine/audio_stream.h"
#include "engine/clock.h"
#include "engine/mixer.h"
#include "engine/song.h"
#include "files/byte_io.h"
#include "files/file_replace.h"

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

bool record_to_wav(const char* path, RecordProgress progress) {
  return record_blocks_to_wav(path, record_block_count(), progress);
}

bool record_blocks_to_wav(const char* path, long blocks, RecordProgress progress) {
  if (blocks < 1 || blocks > kMaxRecordBlocks) return false;
  ReplacingFile out;
  if (!out.open(path)) return false;
  write_record_header(out.file());

  const bool stream_was_open = audio_is_open();
  if (stream_was_open) stop_audio();
  rewind_for_recording();
  set_record_file(out.file());
  transport.recording.store(true);
  const bool was_stopped = transport.transport_stopped.load() != 0;
  if (was_stopped) set_transport_stopped(0);

  for (long b = 0; b < blocks; ++b) {
    // The callback writes its device frames into the record buffer's spare half; only the
    // record tap's copy reaches the file.
    render_buffer(buses.record_right);
    if (progress) progress(b + 1, blocks);
  }

  transport.recording.store(false);
  set_record_file(nullptr);
  patch_record_sizes(out.file(), blocks);
  const bool ok = out.commit();
  if (stream_was_open) start_audio();
  if (was_stopped) set_transport_stopped(1);
  return ok;
}

}  // namespace zorbel
