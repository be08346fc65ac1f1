// The edit layer: every change the screens make to the song or the transport, one named
// operation each. Screens never write a song table themselves and never pause the audio.
//
// Two kinds of change:
//  - single values (one step, one flag, one float setting) are written directly; the audio thread
//    may see them at any block;
//  - structural changes (new song, add or delete a synth, loading a song, template, preset or
//    sample) pause the callback with the handshake, make the change, re-prime the cursors and
//    restore the transport. They are refused, with a reason the screen shows, before anything is
//    touched when the engine could not complete them.
//
// Every operation that changes the song counts as one change and becomes an entry of the undo
// journal (edit/undo_journal.h), so the screens can tell whether the song differs from the file
// it was last saved to or loaded from, and every change can be taken back.
#pragma once

#include <cstdint>
#include <string>

#include "files/recovery_file.h"

namespace zorbel {

class RecordJob;

// ---- Outcomes ----------------------------------------------------------------------------------

enum class EditResult {
  kOk,
  kMaxSynths,        // "CANNOT ADD: MAX SYNTHS IN SONG"
  kCostOverload,     // "CANNOT ADD: EXECUTION TIME OVERLOAD"
  kLastSynth,        // "CAN NOT DELETE LAST SYNTH"
  kNoRoom,           // module pools or parameter lanes exhausted
  kBadArgument,      // a track, loop, step, type or template that does not exist
  kLoadFailed,       // a file could not be read or was refused; see the reason text
  kSaveFailed,       // a file could not be written
};

// The on-screen text of a refusal ("" for kOk and for results whose text the caller builds).
const char* edit_result_text(EditResult result);

// ---- Change counting ---------------------------------------------------------------------------

// Number of changes made to the song since start-up.
uint32_t song_change_count();
// The song now equals its file (just saved or loaded, or a fresh template): no unsaved changes.
void mark_song_saved();
// True when the song differs from the state of the last mark_song_saved(): undoing back to
// that state makes it false again.
bool song_changed_since_save();

// ---- Single values: steps ----------------------------------------------------------------------
// loop 0..99, track 0..15, step 0..63; out-of-range arguments change nothing.

void edit_step_trig(int loop, int track, int step, int trig);  // clamped to 0..100
void edit_step_vol(int loop, int track, int step, float vol);  // clamped to 0..1
void edit_step_legato(int loop, int track, int step, bool legato);
// Editor-only marks of the step editor (not saved, no change counted).
void edit_hit_mark(int loop, int track, int step, bool marked);
void edit_clear_hit_marks(int loop, int track);

// ---- Single values: parameters -----------------------------------------------------------------
// slot is the track's parameter slot 0..param_count-1. Values are clamped to the parameter's
// range (see param_range()).

void edit_param(int track, int slot, int loop, int step, float value);
// Writes value to steps first..last (inclusive) of loop.
void edit_param_steps(int track, int slot, int loop, int first, int last, float value);
// Writes value into all 6400 values of the slot's lane.
void edit_param_all_loops(int track, int slot, float value);
// The parameter's editor range, after the frequency-mode and engine rules; false when the slot
// does not exist.
bool param_range(int track, int slot, float* min, float* max);
float param_value(int track, int slot, int loop, int step);

// ---- Single values: tracks and song settings ---------------------------------------------------

void edit_track_vol(int track, float vol);           // 0..9.99
void edit_track_enable(int loop, int track, bool on);  // mute box
void edit_solo(int loop, int track);                 // this track plays, the others are muted
void edit_unmute_all(int loop);
void edit_stereoize(int track, bool on);
void edit_humanize(int track, float fraction);       // 0..1
void edit_master_vol(float vol);                     // 0..9.99
void edit_bpm(float bpm);                            // 1..999
void edit_swing(float pct);                          // 1..99
void edit_swing_steps(int steps);                    // 1..64
void edit_seqlen(int steps);                         // 1..64
void edit_loop_name(int loop, const char* name);     // up to 6 characters
// Song list: loop 0..99 or SONG_RESTART / SONG_HALT; reps 1..99.
void edit_song_entry(int position, int loop_or_marker, int reps);
// Inserts a copy of the entry at position (the later ones move down, the last is lost).
void edit_song_insert(int position);
// Deletes the entry at position (the later ones move up, the last becomes loop 0 with 1 rep).
void edit_song_delete(int position);

// ---- Transport ---------------------------------------------------------------------------------
// Transport commands from the main thread are requests; the audio callback applies them at the
// start of its next block (loop changes in instant mode, restart) or at the loop boundary
// (queued loop changes). The main thread never rewrites current_loop or the row pointers while
// the stream may run.

void transport_toggle_play();
void transport_set_stopped(bool stopped);
void transport_toggle_song_mode();
// Back to step 0 of song position 0 (the loop of song entry 0 in song mode).
void transport_restart();
// One loop (or song position) forward (direction > 0) or back.
void transport_loop_change(int direction);
void transport_set_instant_switch(bool on);
// Shows loop (0..99): it becomes the current loop, as a jump from the song order list does.
void transport_show_loop(int loop);

// ---- Structural changes ------------------------------------------------------------------------

EditResult edit_new_song(int template_number);  // 0..4
EditResult edit_new_custom_song();
// Whether a synth of type could be added now (the count and the cost budget).
EditResult can_add_synth_now(int type);
EditResult edit_add_synth(int type);
// Only the last synth of the list can be deleted.
EditResult edit_delete_last_synth();
// Loads a song file; on refusal the song stays as it was and reason says why.
EditResult edit_load_song(const char* path, std::string* reason);
// Saves the song as the given file name in the song folder; marks it saved on success.
EditResult edit_save_song(const char* file_name);
// Toggles the track between ABS and MIDI pitch data (all pitch values become the lowest value).
EditResult edit_set_freq_mode(int track);
// Loads a sample from the WAV folder into a WAV track. Returns the WAV loader's result code
// (kWavLoaded, kWavReloadedPrevious, kWavNotLoaded, kWavNoOldRealloc).
int edit_load_sample(int track, const char* name);
// Loads entry `number` of the WAV list into WAV track `track` for the whole song (a sample track
// holds one sample). On success the sample number is `number` in all 100 loops x 64 steps. On any
// failure (no such entry, an unreadable or damaged file, no memory) the track keeps the sample and
// name it had, and its sample numbers all become `fallback`, the number of that sample.
int edit_load_track_sample(int track, int number, int fallback);

// ---- Pattern operations ------------------------------------------------------------------------
// (clear, fill, shift and copy of steps, tracks and loops)
// Tracks are tracks in use (below track_count), loops 0..99, steps 0..63. An argument out of
// range, or a copy between tracks that cannot take it, returns kBadArgument and changes nothing;
// every operation carried out counts one change. The caller names the loop: the screens pass the
// loop that was current when the menu opened for clear and fill, and the current loop for the
// rest. Apart from the fill they run while the audio plays the same loop.

// Empties steps first..last of the track in loop: trigger and volume 0, every parameter back to
// its default (a WAV track keeps each step's sample choice), and the legato and hit marks of the
// whole track in that loop. The track's voice falls silent at once.
EditResult clear_steps(int loop, int track, int first, int last);
// clear_steps over steps 0..63 of every track in use.
EditResult clear_loop(int loop);
// Clears the steps after `step` (trigger, volume, legato) and copies step `step` (trigger, volume,
// legato, parameters) to every distance-th step after it, up to step 63 whatever the played
// length. The transport is stopped for the copy and runs afterwards. When the first copy would
// fall past step 63 only the clearing is done and the transport is left alone. distance 1..64.
EditResult fill_track(int loop, int track, int step, int distance);
// Moves the steps of the played length by distance (-64..64): later (> 0) the steps from `step`
// on, earlier (< 0) the steps up to `step`. Content pushed past the end or before step 0 is lost,
// never wrapped; vacated steps lose trigger and volume but keep their parameter values. With keep
// only hits are copied and the originals stay; steps moved before step 0 are lost even then.
EditResult shift_track(int loop, int track, int step, int distance, bool keep);

// The copies between two tracks of one loop.
enum class TrackCopy {
  kTrig,   // triggers, volumes and legato
  kTrack,  // everything of the track's steps, its volume and frequency mode, a WAV synth's sample
  kGen,    // the generator's parameters (same generator kind) and the frequency mode
  kFx,     // the effect's parameters (same effect kind)
  kEnv,    // the voice parameters except both pans
  kFreq,   // the pitch parameter (both synths with a frequency mode)
};
// Whether the destination can take this copy from the source (COPY TRACK: same synth type).
bool track_copy_allowed(TrackCopy what, int source, int destination);
// True when the copy would switch the destination between ABS and MIDI: the screen asks first,
// since the copy then switches it, which sets every pitch value of every loop to the lowest.
bool copy_changes_freq_mode(TrackCopy what, int source, int destination);
EditResult copy_trig(int loop, int source, int destination);
// kLoadFailed ("WAV NOT LOADED") when a WAV synth's sample could not be duplicated; the steps and
// settings are copied all the same.
EditResult copy_track(int loop, int source, int destination);
EditResult copy_gen(int loop, int source, int destination);
EditResult copy_fx(int loop, int source, int destination);
EditResult copy_env(int loop, int source, int destination);
EditResult copy_freq(int loop, int source, int destination);
EditResult copy_between_tracks(TrackCopy what, int loop, int source, int destination);

// Every track in use: steps, legato, parameter values and the mute state (hit marks stay).
EditResult copy_loop(int source_loop, int destination_loop);
// One track's steps, legato and parameter values; the mute state stays.
EditResult copy_track_to_loop(int track, int source_loop, int destination_loop);
// copy_track_to_loop to every loop other than the source, counted as one change.
EditResult copy_track_to_all_loops(int track, int source_loop);
// Counts one change of the song made outside the edit layer's own operations.
void count_song_change();

// ---- Presets and templates ---------------------------------------------------------------------
// (engine/edit_presets.cpp)

struct PresetValues;

// Where LOAD PRESET writes a preset: the given step of the loop, its 64 steps, or all 100 loops.
enum class PresetRange { kStep, kLoop, kSong };

// Writes a preset (read for the track's type) into the track's parameters over range. With
// keep_freq the track's pitch data stays as it was. A preset saved in the other frequency mode
// has its pitch converted into the track's mode, except when the whole song's pitch is
// overwritten: then the track takes the preset's mode. kBadArgument for a preset of another
// parameter count or a track, loop or step that does not exist.
EditResult edit_apply_preset(int track, const PresetValues& preset, PresetRange range, int loop,
                             int step, bool keep_freq);
// Preview: the current loop of the track plays the preset (keep_freq as above) until
// edit_end_preset_preview() puts the loop's values back. While a preview is on, another call
// shows another preset over the same kept values. Not counted as a change of the song.
EditResult edit_preview_preset(int track, const PresetValues& preset, bool keep_freq);
void edit_end_preset_preview();
bool preset_preview_on();
// The track's values at (loop, step) and its frequency mode, as SAVE PRESET stores them.
PresetValues track_preset_values(int track, int loop, int step);
// SAVE PRESET: preset index of file_name becomes new_name with the track's values at
// (loop, step). The file is replaced only once complete; reason says why it failed.
EditResult edit_save_preset(int track, int loop, int step, const char* file_name, int index,
                            const char* new_name, std::string* reason);
// The template editor's X: custom_template_list is saved as template n (0..3) into custom.zbi
// and the song rebuilt from it, loop names "00".."99". Refused above 100.0 (kCostOverload) or
// with no synth (kBadArgument); when saving fails (kSaveFailed) the song stays as it was.
EditResult edit_build_custom_template(int n, std::string* reason);

// ---- Recording ----------------------------------------------------------------------------

// SYSTEM -> RECORD: renders the current loop (loop mode) or the song (song mode) into the WAV
// folder as file_name. An older file of that name (found ignoring case) is replaced only once the
// new one is complete; the transport is left playing or stopped as it was. kSaveFailed when the
// file could not be written.
EditResult edit_record_wav(const char* file_name);
// The same as a job the screen runs a few buffers at a time (files/wav_recorder.h): mode is
// kPlayLoop or kPlaySong (-1: the transport's); with stems, one WAV per unmuted track goes into
// the folder named after the file (wav/NAME/). False when a file could not be created.
bool edit_record_begin(RecordJob& job, const char* file_name, int mode, bool stems);

// ---- Quitting ----------------------------------------------------------------------------------

// When the song has changed since it was last saved or loaded, writes it as the recovery file
// (files/recovery_file.h: the song folder, else the state folder, else /tmp; atomically, the
// song's name and saved state untouched) and sets *written, *where (the path) and *reason (why
// the song folder was passed over). An unchanged song writes nothing. kSaveFailed, with *reason,
// when no folder took it.
EditResult save_recovery_song(bool* written, std::string* where = nullptr,
                              std::string* reason = nullptr);

// ---- Song order list and DEL SYNTH -------------------------------------------------------------

// Plays song position `position` from the song order list: its loop becomes current_loop (in
// song mode the position also becomes song_pos), the repetition count starts again and every
// cursor points at that loop. A position holding RESTART or HALT changes nothing (false).
bool transport_play_song_position(int position);
// Deletes synth `track`, any of the list: its steps, volumes, marks and mix settings go with
// it, and the synths above it move down one track with all of theirs.
EditResult edit_delete_synth(int track);

}  // namespace zorbel
