// The menu tree: entry table, current menu, navigation keys, selection and leaf dispatch.
#include "ui/screens/menu_tree.h"
#include "ui/screens/undo_keys.h"

#include <algorithm>

#include "engine/song.h"
#include "synth/synth_types.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_screens.h"
#include "ui/screens/midi_screen.h"
#include "ui/widgets/param_editor_link.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/widgets/state_table.h"
#include "ui/widgets/text_list.h"

namespace zorbel {

namespace {

constexpr int kSynthNameWidth = kTrackNameLen - 1;

struct MenuTree {
  MenuEntry entries[kMenuEntryCount];
  MenuEntry current;
  LeafAction leaf_actions[kMenuEntryCount] = {};
  char synth_names[list_bytes(kSynthNameWidth, MAX_TRACKS)] = {};
  int leaf_opened_from = kNoEntry;  // the menu whose item opened the current leaf
  int menu_loop = 0;
};

MenuTree tree;
const MenuEntry kUnregistered{};
const char kSynthNameMarker[] = "~";

bool valid_id(int id) { return id > kNoEntry && id < kMenuEntryCount; }

bool has_children(const MenuEntry& entry) {
  return std::any_of(std::begin(entry.children), std::end(entry.children),
                     [](int16_t child) { return child != kNoEntry; });
}

int current_track() {
  const int count = std::max<int>(song.track_count, 1);
  return std::clamp(editor_link.cursor_track, 0, count - 1);
}

int item_count(const MenuEntry& entry) {
  const char* list = menu_items(entry);
  return list ? count_list_entries(list) : 0;
}

}  // namespace

const char* const kSynthNameItems = kSynthNameMarker;

void add_menu_entry(int id, const char* items, int parent, std::initializer_list<int> children) {
  if (!valid_id(id)) return;
  MenuEntry entry;
  entry.id = id;
  entry.selection = 0;
  entry.source = !items ? MenuItems::kNone
                        : (items == kSynthNameItems ? MenuItems::kSynthNames : MenuItems::kText);
  entry.items = entry.source == MenuItems::kText ? items : nullptr;
  int i = 0;
  for (int child : children) {
    if (i == kMenuChildren) break;
    entry.children[i++] = static_cast<int16_t>(valid_id(child) ? child : kNoEntry);
  }
  entry.parent = static_cast<int16_t>(valid_id(parent) ? parent : kNoEntry);
  entry.registered = true;
  tree.entries[id] = entry;
}

void clear_menu_entries() {
  for (MenuEntry& entry : tree.entries) entry = MenuEntry{};
  tree.current = MenuEntry{};
}

const MenuEntry& menu_entry(int id) { return valid_id(id) ? tree.entries[id] : kUnregistered; }

MenuEntry& current_menu() { return tree.current; }

void set_current_menu(int id) {
  tree.current = menu_entry(id);
  tree.current.selection = 0;
}

const char* synth_name_list() {
  // Built apart from the song's name table: with 16 synths that table has no room for the "~".
  const int count = std::clamp<int>(song.track_count, 0, MAX_TRACKS);
  for (int t = 0; t < count; ++t) {
    char name[kTrackNameLen];
    std::copy(song.track_name[t], song.track_name[t] + kSynthNameWidth, name);
    name[kSynthNameWidth] = '\0';
    write_list_entry(tree.synth_names, kSynthNameWidth, t, name);
  }
  end_list(tree.synth_names, kSynthNameWidth, count);
  return tree.synth_names;
}

const char* menu_items(const MenuEntry& entry) {
  switch (entry.source) {
    case MenuItems::kText: return entry.items;
    case MenuItems::kSynthNames: return synth_name_list();
    default: return nullptr;
  }
}

void open_menu(bool reset) {
  MenuEntry& menu = tree.current;
  set_editor_state(menu.id);
  if (reset) menu.selection = 0;
  if (menu.id == kMenuEditSynth) menu.selection = static_cast<int16_t>(current_track());
  const int n = item_count(menu);
  if (menu.selection >= n) menu.selection = 0;
  draw_menu(menu_items(menu), kListCentred, menu.selection);
}

void menu_previous_item() {
  MenuEntry& menu = tree.current;
  const int n = item_count(menu);
  if (n == 0) return;
  menu.selection = static_cast<int16_t>(menu.selection <= 0 ? n - 1 : menu.selection - 1);
  draw_menu_items(menu_items(menu), kListCentred, menu.selection);
}

void menu_next_item() {
  MenuEntry& menu = tree.current;
  const int n = item_count(menu);
  if (n == 0) return;
  menu.selection = static_cast<int16_t>(menu.selection >= n - 1 ? 0 : menu.selection + 1);
  draw_menu_items(menu_items(menu), kListCentred, menu.selection);
}

void menu_back() {
  const int parent = tree.current.parent;
  if (parent == kNoEntry || !menu_entry(parent).registered) {
    close_menu();
    return;
  }
  set_current_menu(parent);
  // The screen under the menus is drawn afresh, so no part of a wider box stays behind.
  redraw_sequencer_screen();
  open_menu(true);
}

void reopen_current_menu() {
  redraw_sequencer_screen();
  open_menu(false);
}

void close_menu() { return_to_step_edit(); }

void open_main_menu() {
  tree.menu_loop = transport.current_loop;
  clear_param_step_marks();
  set_current_menu(kMenuRoot);
  open_menu(true);
}

int menu_loop() { return tree.menu_loop; }

void menu_select() {
  MenuEntry& menu = tree.current;
  const int selected = menu.selection;
  if (selected < 0 || selected >= item_count(menu)) return;
  if (menu.id == kMenuEditSynth) {
    register_track_pages(selected, type_effect_kind(song.synth_type[selected]) >= 0);
  }
  if (menu.id == kMenuSynth) clear_param_step_marks();
  const int child_id = selected < kMenuChildren ? menu.children[selected] : kNoEntry;
  if (child_id == kNoEntry) return;
  const MenuEntry& child = menu_entry(child_id);
  tree.leaf_opened_from = menu.id;
  set_current_menu(child_id);
  if (has_children(child)) {
    open_menu(true);
    return;
  }
  leaf_action(child_id)(child_id);
}

int leaf_opened_from() { return tree.leaf_opened_from; }

void menu_input() {
  if (list_keys(menu_items(tree.current), kListKeysAll)) return;
  if (button_pressed(kBtnDRt) || button_pressed(kBtnX)) menu_select();
}

void set_leaf_action(int leaf_id, LeafAction action) {
  if (valid_id(leaf_id)) tree.leaf_actions[leaf_id] = action;
}

LeafAction leaf_action(int leaf_id) {
  if (!valid_id(leaf_id) || !tree.leaf_actions[leaf_id]) return close_menu_until_built;
  return tree.leaf_actions[leaf_id];
}

void close_menu_until_built(int /*leaf_id*/) { close_menu(); }

void register_screen(const ScreenEntry& entry) {
  if (entry.leaf != kNoEntry && entry.open) set_leaf_action(entry.leaf, entry.open);
  set_state_handler(entry.state, entry.input);
}

void open_synth_list_leaf(int leaf_id) {
  set_current_menu(leaf_id);
  tree.current.selection = static_cast<int16_t>(current_track());
  set_editor_state(leaf_id);
  draw_menu(synth_name_list(), kListCentred, tree.current.selection);
}

void register_menu_screens() {
  register_menu_tree();
  for (int id = 1; id < kMenuEntryCount; ++id)
    if (has_children(tree.entries[id])) set_state_handler(id, menu_input);
  register_help_screens();
  register_keyboard_help();
  register_settings_screens();
  register_midi_screens();
  register_song_order_screen();
  register_synth_list_screens();
  register_colour_menus();
  register_wait_mark();
  register_undo_keys();
  register_pattern_screens();
}

bool list_keys(const char* list, int flags) {
  MenuEntry& menu = current_menu();
  const int n = list ? count_list_entries(list) : 0;
  if ((flags & kListKeyUp) && n > 0 && button_held(kBtnDUp)) {
    menu.selection = static_cast<int16_t>(menu.selection <= 0 ? n - 1 : menu.selection - 1);
    draw_menu_items(list, kListCentred, menu.selection);
    return true;
  }
  if ((flags & kListKeyDown) && n > 0 && button_held(kBtnDDn)) {
    menu.selection = static_cast<int16_t>(menu.selection >= n - 1 ? 0 : menu.selection + 1);
    draw_menu_items(list, kListCentred, menu.selection);
    return true;
  }
  if ((flags & kListKeyBack) && (button_pressed(kBtnDLt) || button_pressed(kBtnO))) {
    menu_back();
    return true;
  }
  if ((flags & kListKeyClose) && button_pressed(kBtnStart)) {
    close_menu();
    return true;
  }
  return false;
}

}  // namespace zorbel
