// Loading a WAV track's sample from the screen (the page's X and the paste of step edit), with
// the loader's failure messages.
#include "edit/edit.h"
#include "files/wav_import.h"
#include "engine/synth_tracks.h"
#include "synth/wav_engine.h"
#include "ui/widgets/editor_state.h"
#include "ui/screens/param_page.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

int fallback_sample_number(int track) {
  const SampleData* playing = wav_sample(track);
  const int listed = playing ? find_wav(playing->name) : -1;
  return listed >= 0 ? listed : param_page.fallback_sample;
}

int load_track_sample(int track, int number) {
  const int result = edit_load_track_sample(track, number, fallback_sample_number(track));
  switch (result) {
    case kWavLoaded:
      param_page.fallback_sample = number;
      break;
    case kWavReloadedPrevious:
      show_message_state(kStateNoMemoryForWav, "DID NOT LOAD WAV - NOT ENOUGH MEMORY");
      break;
    case kWavNoOldRealloc:
      show_message_state(kStateWavNotLoaded, "NO OLD WAV REALLOC");
      break;
    default:
      show_message_state(kStateWavNotLoaded, "WAV NOT LOADED");
      break;
  }
  return result;
}

}  // namespace zorbel
