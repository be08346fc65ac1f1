// Offline rendering of the current loop or the whole song into a 16-bit stereo WAV file.
#pragma once

#include <cstdint>
#include <cstdio>

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

// Called after each rendered buffer with the buffers done and the total.
using RecordProgress = void (*)(long done, long total);

// Renders record_block_count() buffers from the start of the loop (or song) into path. The old
// file at path is replaced only when the new one is complete. Stops and restarts the real-time
// stream if it is open, and leaves transport_stopped as it found it. False when the file could
// not be created or written; nothing else changes then.
bool record_to_wav(const char* path, RecordProgress progress = nullptr);
// The same with exactly `blocks` callback buffers (1..kMaxRecordBlocks).
bool record_blocks_to_wav(const char* path, long blocks, RecordProgress progress = nullptr);

}  // namespace zorbel
