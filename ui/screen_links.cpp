// The links out of step edit, each doing nothing until its screen family registers it.
#include "ui/screen_links.h"

namespace zorbel {

ScreenLinks screen_links;

void open_main_menu() {
  if (screen_links.open_main_menu) screen_links.open_main_menu();
}

void enter_visualizer() {
  if (screen_links.enter_visualizer) screen_links.enter_visualizer();
}

void open_track_pages_from_step_edit(int track) {
  if (screen_links.open_track_pages) screen_links.open_track_pages(track);
}

}  // namespace zorbel
