// Program entry: start-up, the main loop, and shutdown in the order that keeps audio safe.
#include <ctime>

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
  zorbel::start_workstation(options);
  zorbel::run_workstation();
  zorbel::shutdown_workstation();
  return 0;
}
