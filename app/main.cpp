// Program entry: start-up, the main loop, and shutdown in the order that keeps audio safe.
#include <ctime>

#include "app/workstation.h"

#ifdef ZORBEL_WINDOWED
constexpr bool kWindowed = true;
#else
constexpr bool kWindowed = false;
#endif

int main() {
  zorbel::WorkstationOptions options;
  options.windowed = kWindowed;
  options.seed = static_cast<uint32_t>(std::time(nullptr));
  // From the first moment: a signal during start-up still ends the run through the recovery save.
  zorbel::install_quit_signals();
  zorbel::start_workstation(options);
  const int status = zorbel::run_workstation();
  zorbel::shutdown_workstation(status);
  return status;
}
