// Ways out of step edit into work that another screen family owns. The family sets its
// pointer when it registers; until then step edit goes without it.
#pragma once

namespace zorbel {

struct ScreenLinks {
  // A paste into a WAV track: loads the sample the pasted value names. Returns the WAV loader's
  // result (kWavLoaded, ...); while unset the values are pasted without a load.
  int (*load_pasted_sample)(int track, int step) = nullptr;
};

extern ScreenLinks screen_links;

}  // namespace zorbel
