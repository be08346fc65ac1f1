// The 20 colour slots every screen draws with, their tables, and the colour-preset file.
#pragma once

#include <cstdint>

namespace zorbel {

constexpr int kColourSlotCount = 20;
constexpr int kColourPresetCount = 8;
constexpr int kColourFileLines = 169;       // heading + 8 x (name line + 20 colour lines)
constexpr int kColourPresetLines = 1 + kColourSlotCount;
constexpr int kColourSlotNameWidth = 26;    // bytes per entry of the slot-name list: 25 + NUL
constexpr const char* kColourFilePath = "./seq/colors.zbc";

enum ColourSlot : int {
  kSlotBackground = 0,
  kSlotTrackName = 1,
  kSlotMuteOn = 2,
  kSlotMuteOff = 3,
  kSlotActiveText = 4,
  kSlotInactiveText = 5,
  kSlotSequencerBox = 6,
  kSlotSequencerBoxOffset = 7,
  kSlotActiveStep = 8,
  kSlotTriggeredStep = 9,
  kSlotControlStep = 10,
  kSlotInactiveTrigStep = 11,
  kSlotInactiveSeqBox = 12,
  kSlotSequencerTic = 13,
  kSlotMenuBackground = 14,
  kSlotActiveMenuText = 15,
  kSlotInactiveMenuText = 16,
  kSlotInterpolateText = 17,
  kSlotOscilliscope = 18,
  kSlotSequencerCopy = 19,
};

// The slot names as the colour editor lists them: fixed-width entries, blank-padded, ended
// by an entry "~".
extern const char kColourSlotNames[kColourSlotCount + 1][kColourSlotNameWidth];

// The built-in colours, RGB565.
extern const uint16_t kBuiltInColours[kColourSlotCount];

// The three slot tables, all RGB565. Main thread only.
struct ColourScheme {
  uint16_t active[kColourSlotCount];    // what all drawing uses
  uint16_t defaults[kColourSlotCount];  // the built-in values, never changed
  uint16_t working[kColourSlotCount];   // the colour editor's copy, applied only on confirmation
  uint16_t clipboard;                   // the colour editor's copied colour
};

extern ColourScheme colour_scheme;

// Packs 8-bit channels (0..255 each) into RGB565; the low bits of each channel are dropped.
constexpr uint16_t rgb_to_565(int red, int green, int blue) {
  return static_cast<uint16_t>(((red >> 3) << 11) | (((green >> 2) << 5) & 0x7E0) |
                               ((blue >> 3) & 0x1F));
}

// The raw channels of an RGB565 value: red (0..31) in bits 0-7, green (0..63) in bits 8-15,
// blue (0..31) in bits 16-23.
constexpr uint32_t rgb565_channels(uint16_t colour) {
  return ((colour >> 11) & 0x1Fu) | (((colour >> 5) & 0x3Fu) << 8) | ((colour & 0x1Fu) << 16);
}

enum ColourChannel : int { kChannelRed = 0, kChannelGreen = 1, kChannelBlue = 2 };

// colour with one channel, on its 8-bit scale (red and blue 5-bit value x 8, green 6-bit
// value x 4), moved by delta and kept within 0..255.
uint16_t nudge_colour_channel(uint16_t colour, ColourChannel channel, int delta);

// DEFAULT COLORS: active <- defaults.
void restore_default_colours();
// Opening the colour editor: working <- active, clipboard black.
void begin_colour_editing();
// Confirming the colour editor: active <- working.
void apply_working_colours();

enum class ColourFileStatus {
  kDone,
  kMissing,      // the file does not open; the program does not create it
  kMalformed,    // wrong line count, a bad colour line or name line, an overlong line
  kBadPreset,    // preset number outside 0..7
  kWriteFailed,  // the new file could not be written; the old one is kept
};

// active <- preset (0..7) of the colour file. Anything but kDone leaves the table unchanged.
ColourFileStatus load_colour_preset(int preset, const char* path = kColourFilePath);

// Preset (0..7) of the colour file <- active, every other line kept. The file must exist and
// hold the 169 lines of the format; it is replaced only once the new one is completely
// written, so a failure leaves it as it was. Lines are written with CR LF endings.
ColourFileStatus save_colour_preset(int preset, const char* path = kColourFilePath);

}  // namespace zorbel
