// Registration of the screen families reached from the menu tree (called by
// register_menu_screens), and the data the tree takes from them.
#pragma once

namespace zorbel {

void register_help_screens();
// After register_help_screens: the keyboard's page takes the help pages' keys.
void register_keyboard_help();
void register_settings_screens();
void register_song_order_screen();
void register_synth_list_screens();
void register_colour_menus();
void register_wait_mark();
void register_pattern_screens();

// Entry 121 + track again as GEN, FX, ENV, or as GEN, ENV for a synth without an effect.
void register_track_pages(int track, bool has_effect);

// The ABOUT lines, the last one showing the processor load of the song's synths.
const char* about_list();

}  // namespace zorbel
