// Program entry: start-up, the main loop, and shutdown in the order that keeps audio safe.
#include <ctime>

#include "app/settings_link.h"
#include "app/workstation.h"
#include "files/work_folder.h"

#ifdef ZORBEL_WINDOWED
constexpr bool kWindowed = true;
#else
constexpr bool kWindowed = false;
#endif

int main() {
  zorbel::enter_work_folder(kWindowed ? "zorbel-windowed" : "zorbel");
  zorbel::WorkstationOptions options;
  options.windowed = kWindowed;
  options.seed = static_cast<uint32_t>(std::time(nullptr));
  // From the first moment: a signal during start-up still ends the run through the recovery save.
  zorbel::install_quit_signals();
  const zorbel::WindowOptions window =
      zorbel::window_options_from(zorbel::load_settings(), !kWindowed);
  options.view = window.view;
  options.scale = window.scale;
  zorbel::start_workstation(options);
  zorbel::remember_window_changes();
  const int status = zorbel::run_workstation();
  zorbel::shutdown_workstation(status);
  zorbel::write_missing_settings();
  return status;
}
