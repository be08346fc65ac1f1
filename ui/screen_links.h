// Ways out of step edit into screens that other screen families own. Each family sets its
// pointer when it registers; until then the command does nothing.
#pragma once

namespace zorbel {

struct ScreenLinks {
  // START in step edit (or in a transport panel): the main menu.
  void (*open_main_menu)() = nullptr;
  // START in step edit while a song plays in song mode: the visualizer.
  void (*enter_visualizer)() = nullptr;
  // 8+9+0 in step edit: the GEN/FX/ENV choice of the cursor track's synth.
  void (*open_track_pages)(int track) = nullptr;
  // A paste into a WAV track: loads the sample the pasted value names. Returns the WAV loader's
  // result (kWavLoaded, ...); while unset the values are pasted without a load.
  int (*load_pasted_sample)(int track, int step) = nullptr;
};

extern ScreenLinks screen_links;

void open_main_menu();
void enter_visualizer();
void open_track_pages_from_step_edit(int track);

}  // namespace zorbel
