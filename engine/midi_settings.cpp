// The MIDI settings in force, shared by the audio side and the main thread.
#include "engine/midi_settings.h"

namespace zorbel {

MidiSettings midi_settings;

}  // namespace zorbel
