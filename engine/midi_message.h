// MIDI messages as the program sends and reads them: status bytes and a short fixed-size event.
#pragma once

#include <cstdint>

namespace zorbel {

constexpr uint8_t kMidiNoteOff = 0x80;
constexpr uint8_t kMidiNoteOn = 0x90;
constexpr uint8_t kMidiSongPosition = 0xF2;  // two data bytes: the position in sixteenths, LSB first
constexpr uint8_t kMidiClock = 0xF8;         // 24 a beat
constexpr uint8_t kMidiStart = 0xFA;
constexpr uint8_t kMidiContinue = 0xFB;
constexpr uint8_t kMidiStop = 0xFC;
constexpr uint8_t kMidiChannelMask = 0x0F;
constexpr uint8_t kMidiKindMask = 0xF0;
constexpr int kMidiPulsesPerBeat = 24;
// Eight steps make a beat, so a step is three pulses and a sixteenth (the unit of the song
// position pointer) two steps.
constexpr int kMidiPulsesPerStep = 3;
constexpr int kStepsPerSixteenth = 2;
constexpr int kMidiSongPositionMost = 0x3FFF;

// One message and when it happens: in frames of the stream it belongs to (rendered buffer
// frames on the way out), or in seconds of the port's clock on the way in.
struct MidiEvent {
  double time = 0.0;
  uint8_t bytes[3] = {0, 0, 0};
  uint8_t size = 0;
};

inline MidiEvent midi_event(double time, uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0,
                            uint8_t size = 1) {
  MidiEvent e;
  e.time = time;
  e.bytes[0] = status;
  e.bytes[1] = data1;
  e.bytes[2] = data2;
  e.size = size;
  return e;
}

// The number of bytes of a message that starts with status, or 0 for one the program does not
// read (system exclusive, running status).
inline int midi_message_size(uint8_t status) {
  if (status < 0x80) return 0;
  if (status >= 0xF8) return 1;
  if (status == kMidiSongPosition) return 3;
  if (status >= 0xF0) return status == 0xF1 || status == 0xF3 ? 2 : 0;
  const uint8_t kind = status & kMidiKindMask;
  return kind == 0xC0 || kind == 0xD0 ? 2 : 3;
}

}  // namespace zorbel
