// Ways out of step edit into work that another screen family owns. The family sets its
// pointer when it registers; until then step edit goes without it.
#pragma once

namespace zorbel {

struct ScreenLinks {
  // A paste into a WAV track: loads the sample the pasted sample number names for the whole
  // song. Returns the WAV loader's result (kWavLoaded, ...); anything else has shown its message
  // and nothing is pasted. While unset the values are pasted without a load.
  int (*load_pasted_sample)(int track, float sample_number) = nullptr;
};

extern ScreenLinks screen_links;

}  // namespace zorbel
