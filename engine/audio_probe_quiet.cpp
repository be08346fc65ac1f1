// Silences what the sound libraries print while PortAudio probes the devices ("ALSA lib ...",
// JACK's "Cannot connect to server ..."): the terminal shows only the program's own messages.
#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include "engine/audio_stream.h"

namespace zorbel {

namespace {

void ignore_alsa_message(const char* /*file*/, int /*line*/, const char* /*function*/,
                         int /*err*/, const char* /*fmt*/, ...) {}

void ignore_jack_message(const char* /*message*/) {}

}  // namespace

void quiet_audio_probing() {
  snd_lib_error_set_handler(ignore_alsa_message);
  jack_set_error_function(ignore_jack_message);
  jack_set_info_function(ignore_jack_message);
}

}  // namespace zorbel
