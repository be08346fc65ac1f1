// Offline rendering of the current loop or the whole song into a 16-bit stereo WAV file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace zorbel {

constexpr int kRecordHeaderBytes = 44;
constexpr int kRecordBufferBytes = 4096;     // one callback buffer: 1024 frames x 2 x 16 bits
constexpr uint32_t kProvisionalSize = 5120144;  // both size fields until the real size is known
// The largest recording whose sizes still fit the header's 32-bit fields.
constexpr long kMaxRecordBlocks = (0xffffffffL - 36) / kRecordBufferBytes;

// Callback buffers the recording takes: the current loop once (loop mode) or the song list up to
// its first RESTART or HALT (song mode), plus one. At least 1, at most kMaxRecordBlocks.
long record_block_count();
// The same length in callback buffers before the cap and the extra one (may be infinite for a
// damaged song that was not loaded through the range checks).
double record_length_buffers();

// The 44-byte header of a 16-bit stereo PCM file at 44100 Hz, both sizes provisional; and the
// sizes once `blocks` buffers of kRecordBufferBytes follow it.
void write_record_header(std::FILE* file);
void patch_record_sizes(std::FILE* file, long blocks);

// Called after each rendered buffer with the buffers done and the total; false cancels.
using RecordProgress = bool (*)(long done, long total);

// What the output's name asks for: ".flac" and ".ogg" (any case) are encoded through libsndfile
// as FLAC or Ogg Vorbis; every other name gets the WAV writer.
enum class RecordFormat { kWav, kFlac, kOgg };
RecordFormat record_format_for(const char* path);

struct RecordRequest {
  const char* path = nullptr;          // the mix
  long blocks = 0;                     // callback buffers; 0: record_block_count()
  const char* stems_folder = nullptr;  // one WAV per track into this folder; null: none
  RecordProgress progress = nullptr;
  int mode = -1;                       // kPlayLoop or kPlaySong; -1: the transport's mode
};

enum class RecordOutcome { kDone, kFailed, kCancelled };

// What the finished mix measured.
struct RecordStats {
  long frames = 0;
  double peak = 0.0;  // share of full scale
  double lufs = 0.0;  // integrated loudness; -infinity for silence
};

// Renders from the start of the loop (or song) into request.path, and the stems beside it. Old
// files are replaced only when the new ones are complete; a cancelled or failed recording leaves
// no file behind (and removes a stem folder it created). Stops and restarts the real-time
// stream if it is open, and leaves transport_stopped as it found it. Tracks muted in every loop
// the recording plays get no stem.
RecordOutcome record(const RecordRequest& request, RecordStats* stats = nullptr);

class ReplacingFile;
class StemFiles;
class LoudnessMeter;

// A recording rendered a few buffers at a time, so the screen can show its progress and take a
// cancel between steps. start() stops the real-time stream until finish() or cancel(); the
// destructor cancels a recording still running.
class RecordJob {
 public:
  RecordJob();
  RecordJob(const RecordJob&) = delete;
  RecordJob& operator=(const RecordJob&) = delete;
  ~RecordJob();
  // Opens the files and rewinds the transport. False, with nothing left behind, when a file
  // cannot be created.
  bool start(const RecordRequest& request);
  // Renders up to `buffers` more callback buffers; true while some remain.
  bool step(long buffers);
  long done() const { return done_; }
  long total() const { return total_; }
  bool running() const { return running_; }
  // Puts the files in place once every buffer is rendered.
  RecordOutcome finish(RecordStats* stats = nullptr);
  // Stops, removes what was written and gives the transport back.
  void cancel();

 private:
  void end_render();
  void discard_files();
  std::unique_ptr<ReplacingFile> out_;
  std::unique_ptr<StemFiles> stems_;
  std::unique_ptr<LoudnessMeter> meter_;
  void* encoder_ = nullptr;  // libsndfile's encoder for FLAC and Ogg Vorbis
  long total_ = 0;
  long done_ = 0;
  bool running_ = false;
  bool written_ = true;
  bool stream_was_open_ = false;
  bool was_stopped_ = false;
  bool restore_mode_ = false;
  uint16_t saved_mode_ = 0;
  int32_t saved_loop_ = 0;
};

// The recorder's closing line: "A.WAV 0:16 PEAK -2.9 DB -14.1 LUFS".
std::string record_summary(const char* file_name, const RecordStats& stats);

// The mix alone: record_block_count() or exactly `blocks` buffers (1..kMaxRecordBlocks). False
// when the file could not be created or written.
bool record_to_wav(const char* path, RecordProgress progress = nullptr);
bool record_blocks_to_wav(const char* path, long blocks, RecordProgress progress = nullptr);

}  // namespace zorbel
