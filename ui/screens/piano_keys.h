// The computer keyboard as a two-octave piano while Shift is held, in step edit and on the
// parameter pages: Z S X D C V G B H N J M, then Q 2 W 3 E R 5 T 6 Y 7 U, from the C of the
// base octave up.
#pragma once

namespace zorbel {

// The base octave, numbered as the parameter pages name notes: its C is note 12 * octave, so
// octave 4 starts at C_4, note 48.
constexpr int kPianoOctaveLowest = 0;
constexpr int kPianoOctaveHighest = 8;
constexpr int kPianoOctaveDefault = 4;

// Semitones above the base octave's C that a key plays (0..23), or -1 for a key that is no
// piano key.
int piano_key_semitone(int key);

// Shift held: the piano keys that act in this tick enter their notes on track, in the order
// they went down (each one change, heard, the cursor moving on), and D-UP / D-DN move the base
// octave. Returns false without Shift; with Shift the caller's own commands stay still, since
// the letter keys are notes now. *entered is set when a note went in.
bool piano_keys_input(int track, bool* entered);

}  // namespace zorbel
