// The colour slots: their names as the colour editor lists them, and the built-in colours.
#include "files/colour_scheme.h"

namespace zorbel {

// Each name is blank-padded to 25 characters, the width of the colour editor's list.
const char kColourSlotNames[kColourSlotCount + 1][kColourSlotNameWidth] = {
    "BACKGROUND               ",
    "TRACKNAME                ",
    "MUTE ON                  ",
    "MUTE OFF                 ",
    "ACTIVE TEXT              ",
    "INACTIVE TEXT            ",
    "SEQUENCER BOX            ",
    "SEQUENCER BOX OFFSET     ",
    "ACTIVE STEP              ",
    "TRIGGERED STEP           ",
    "CONTROL STEP             ",
    "INACTIVE TRIG STEP       ",
    "INACTIVE SEQ BOX         ",
    "SEQUENCER TIC            ",
    "MENU BACKGROUND          ",
    "ACTIVE MENU TEXT         ",
    "INACTIVE MENU TEXT       ",
    "INTERPOLATE TEXT         ",
    "OSCILLISCOPE             ",
    "SEQUENCER COPY           ",
    "~                        ",
};

const uint16_t kBuiltInColours[kColourSlotCount] = {
    0x0000,  // 0 BACKGROUND
    0xF8E3,  // 1 TRACKNAME
    0xF8E3,  // 2 MUTE ON
    0xFFE3,  // 3 MUTE OFF
    0xFFFF,  // 4 ACTIVE TEXT
    0x7BEF,  // 5 INACTIVE TEXT
    0x1FE3,  // 6 SEQUENCER BOX
    0x1FE3,  // 7 SEQUENCER BOX OFFSET
    0xF8E3,  // 8 ACTIVE STEP
    0x18FF,  // 9 TRIGGERED STEP
    0xF8FF,  // 10 CONTROL STEP
    0x39E7,  // 11 INACTIVE TRIG STEP
    0xBDF7,  // 12 INACTIVE SEQ BOX
    0x18FF,  // 13 SEQUENCER TIC
    0x0000,  // 14 MENU BACKGROUND
    0xFFFF,  // 15 ACTIVE MENU TEXT
    0x7BEF,  // 16 INACTIVE MENU TEXT
    0x18FF,  // 17 INTERPOLATE TEXT
    0x5555,  // 18 OSCILLISCOPE
    0x9B20,  // 19 SEQUENCER COPY
};

}  // namespace zorbel
