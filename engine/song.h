// The song tables and transport state: one static instance shared by the UI and audio threads.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/shared_value.h"
#include "synth/capacity.h"
#include "synth/param_class.h"
#include "synth/param_dest.h"

namespace zorbel {

constexpr int MAX_TRACKS = kMaxSynths;
constexpr int MAX_LOOPS = 100;
constexpr int MAX_STEPS = 64;
constexpr int SONG_LENGTH = 1000;
constexpr int PARAM_SLOTS = kMaxSynthParams;
constexpr int kLaneLength = MAX_LOOPS * MAX_STEPS;  // values per parameter lane, loop-major

constexpr int16_t SONG_RESTART = -1;
constexpr int16_t SONG_HALT = -2;
constexpr int32_t SYNTH_TYPE_NONE = kNoSynthType;

constexpr int kTrackNameLen = 10;  // bytes per track name slot, terminator included
constexpr int kLoopNameLen = 7;    // bytes per loop name slot, terminator included
constexpr const char* kNoSongName = "NOSAVENAMEYET";
// The ranges the editor keeps the song settings in; a loaded song is brought into them too.
constexpr float kMinBpm = 1.0f;
constexpr float kMaxBpm = 999.0f;
constexpr float kMinSwing = 1.0f;
constexpr float kMaxSwing = 99.0f;
constexpr int kMaxSwingSteps = 64;
constexpr int kMaxReps = 99;
constexpr float kMaxVolume = 9.99f;  // master and track volumes; step volumes are 0..1
constexpr int kMaxTrig = 100;

// The entry that ends every on-screen list, and the track name after the last track.
constexpr const char* kListEnd = "~";

// What the sequencer follows (transport.play_mode).
enum PlayMode : uint16_t { kPlayLoop = 0, kPlaySong = 1 };
// What a track's pitch values mean (song.freq_mode).
enum FreqMode : int32_t {
  kFreqAbs = 0,   // frequencies in Hz
  kFreqMidi = 1,  // note numbers
  kFreqNone = 3,  // the synth has no pitch parameter
};

// One automated synth parameter of a track.
struct ParamSlot {
  float* row = nullptr;    // lane + current_loop * 64: the current loop's 64 values
  float def = 0.0f;        // default value
  float* lane = nullptr;   // 6400 values, 100 loops x 64 steps
  ParamClass cls = ParamClass::kFloat;  // how a value reaches the synth
  ParamDest dest;          // module field written when a step is applied
};

// Per-track read position into the current loop, so the step event needs no index arithmetic.
struct PlayCursor {
  uint16_t length = 64;
  uint8_t* trig_row = nullptr;
  float* vol_row = nullptr;
};

// Everything that is saved with a song, plus the editor's hit marks.
// Index order is always loop, then track, then step.
struct Song {
  int16_t track_count;
  int32_t synth_type[MAX_TRACKS];
  char track_name[MAX_TRACKS][kTrackNameLen];
  char loop_name[MAX_LOOPS][kLoopNameLen];
  float bpm;
  float swing_pct;
  int16_t swing_steps;
  uint16_t seqlen;                       // steps played in every loop, 1..64
  int16_t song_list[SONG_LENGTH + 1];    // the entry at SONG_LENGTH is a -1 sentinel, never saved
  int16_t song_reps[SONG_LENGTH];
  int16_t loop_track_enable[MAX_LOOPS][MAX_TRACKS];
  float stereoize[MAX_TRACKS];           // +1 off, -1 on: multiplies the track's left contribution
  uint8_t step_trig[MAX_LOOPS][MAX_TRACKS][MAX_STEPS];
  float step_vol[MAX_LOOPS][MAX_TRACKS][MAX_STEPS];
  float track_vol[MAX_TRACKS];
  float master_vol;
  uint64_t legato_steps[MAX_LOOPS][MAX_TRACKS];
  float humanize[MAX_TRACKS];
  int32_t freq_mode[MAX_TRACKS];         // a FreqMode
  ParamSlot param_slot[MAX_TRACKS][PARAM_SLOTS];
  uint16_t param_count[MAX_TRACKS];
  uint64_t hit_marks[MAX_LOOPS][MAX_TRACKS];  // editor only, not saved
};

// Sequencer position, the flags of the pause handshake and the requests of the main thread.
// The clock advances the position on the audio thread (or on whichever thread renders); the
// screen reads it. The main thread changes the position only through the requests below, or
// with the audio paused.
struct Transport {
  RelaxedAtomic<uint16_t> play_mode;     // a PlayMode; written by the main thread
  RelaxedAtomic<int32_t> current_loop;   // 0..99
  RelaxedAtomic<uint16_t> song_pos;      // 0..999
  RelaxedAtomic<uint16_t> rep_count;
  RelaxedAtomic<uint16_t> step_pos;      // the step the next step event plays
  RelaxedAtomic<uint16_t> sounding_step; // the step the last step event played; 0 after a rewind
  float step_countdown;      // frames left until the next step event
  float step_carry;          // fraction of a frame carried into the next step
  int16_t swing_counter;
  uint16_t switch_direction; // scratch of the loop boundary: 0 none, 1 forward, 2 back
  RelaxedAtomic<uint16_t> instant_loop_switch;  // 1: user loop changes act at the next block
  RelaxedAtomic<uint16_t> pending_switch;       // a queued loop change, shown by the display
  // Requests of the main thread, taken by the audio thread with an exchange so none is lost.
  std::atomic<uint16_t> loop_up_requests;
  std::atomic<uint16_t> loop_down_requests;
  std::atomic<uint16_t> restart_requests;
  std::atomic<uint32_t> play_requests;    // see transport_requests.h
  std::atomic<uint32_t> loop_requests_taken;  // user loop requests consumed so far
  std::atomic<uint16_t> transport_stopped;
  std::atomic<uint16_t> in_callback;
  std::atomic<uint16_t> audio_paused;     // nonzero while a structural change holds the callback
  std::atomic<bool> recording;
  // Counted by every restart from the top and every other move of the position that is not
  // playing on (a rewind, a jump in the song list), so the MIDI clock can tell its listeners.
  std::atomic<uint32_t> restarts;
  std::atomic<uint32_t> jumps;
  // The tempo of an external clock being followed, in BPM; 0 when the song's own tempo plays.
  RelaxedAtomic<float> followed_bpm;
  PlayCursor play_cursor[MAX_TRACKS];
  float loop_active_gain[MAX_TRACKS];
};

// Editor state that engine operations reset (cursor, view) and the redraw requests they raise.
// The flags are raised on either thread and cleared by the screen code.
struct EditorLink {
  int cursor_step;
  int cursor_track;
  char song_name[64];  // "NOSAVENAMEYET" until the song is first saved or loaded
  std::atomic<bool> visualizer_showing;
  std::atomic<bool> redraw_transport;
  std::atomic<bool> redraw_grid;
  std::atomic<bool> redraw_loop_readout;
  std::atomic<bool> redraw_screen;
  // Raised by every replacement of the whole song (new song, template, load); screens compare
  // it with the value they last saw.
  std::atomic<uint32_t> song_replaced;
};

extern Song song;
extern Transport transport;
extern EditorLink editor_link;

// Empties the song: steps, names, enables and synths; see the callers for what they set after.
void clear_song();
// Points the track's cursor at current_loop's rows; its length becomes 64. The played length of
// every loop is song.seqlen, which this leaves alone.
void reset_play_cursor(int track);
// Pool index of the track's parameter slot 0: the sum of param_count of the tracks below it.
int first_param_slot(int track);
// Writes transport_stopped and asks for a redraw of the transport panel.
void set_transport_stopped(uint16_t value, int ignored = 0);
uint16_t get_transport_stopped();

// The start-up defaults of every song and transport field (the first step of init_engine).
void reset_song_state();

}  // namespace zorbel
