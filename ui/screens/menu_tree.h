// The menu tree: entries registered once as data, the current menu, navigation and the
// dispatch of leaves to their action screens. Entry ids are editor states.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace zorbel {

constexpr int kMenuChildren = 16;
constexpr int kMenuEntryCount = 155;   // ids 0..154
constexpr int kNoEntry = 0;            // id 0 is step edit, never an entry

// Where an entry's items come from.
enum class MenuItems : uint8_t {
  kNone,        // an action screen only
  kText,        // a fixed list of its own
  kSynthNames,  // the song's synth names, always current
};

struct MenuEntry {
  int32_t id = kNoEntry;
  int16_t selection = 0;
  MenuItems source = MenuItems::kNone;
  const char* items = nullptr;               // for kText
  int16_t children[kMenuChildren] = {};      // child id per item; kNoEntry for leaves
  int16_t parent = kNoEntry;
  bool registered = false;
};

// Marks an item list as "the synth names" when registering.
extern const char* const kSynthNameItems;

// Stores entry id: selection 0, the items (or kSynthNameItems), the parent and the children of
// its first items in order.
void add_menu_entry(int id, const char* items, int parent, std::initializer_list<int> children);
// The registered entry of an id (an empty one for ids never registered).
const MenuEntry& menu_entry(int id);
// Forgets every entry (before the tree is registered again).
void clear_menu_entries();
// Registers the whole tree (menu_tree_data.cpp); start-up and tests.
void register_menu_tree();

// The current menu: a copy of one entry; moving changes only the copy's selection.
MenuEntry& current_menu();
// Makes a copy of entry id the current menu (selection 0).
void set_current_menu(int id);
// The items of an entry as a list ("~"-ended); null for action screens.
const char* menu_items(const MenuEntry& entry);
// The song's synth names as a list, rebuilt from the song (also with 16 synths).
const char* synth_name_list();

// Editor state <- the current menu's id; selection 0 if reset (the current track for the
// EDIT SYNTH list); draws it.
void open_menu(bool reset);
void menu_previous_item();
void menu_next_item();
// The parent becomes the current menu, selection 0 (the current track for EDIT SYNTH), and is
// drawn over a fresh sequencer screen.
void menu_back();
// Redraws the sequencer screen and shows the current menu again with its selection kept (an
// action screen going back to its own list).
void reopen_current_menu();
// Sequencer screen, editor state 0.
void close_menu();
// START from step edit: the parameter editor's step marks go, the root opens.
void open_main_menu();
// The loop that was current when the root menu opened: clearing and filling work in it even
// when the playing loop has moved on while the menu was open.
int menu_loop();
// D-RT or X in a menu.
void menu_select();
// The menu whose item was selected last to open a leaf (a GEN/FX/ENV entry names its track).
int leaf_opened_from();
// The input of every menu state.
void menu_input();

// ---- Leaves ----------------------------------------------------------------------------------

// What selecting a leaf does. The leaf's entry is already the current menu (selection 0).
using LeafAction = void (*)(int leaf_id);
// Leaf owners install their action here; the default of a leaf whose screen is not built
// yet is close_menu_until_built.
void set_leaf_action(int leaf_id, LeafAction action);
LeafAction leaf_action(int leaf_id);
// One screen of a family: the leaf that opens it (kNoEntry for a state reached from another
// screen), what opening does, and the state with its input. register_screens installs a
// family's table.
struct ScreenEntry {
  int leaf;
  LeafAction open;
  int state;
  void (*input)();
};
void register_screen(const ScreenEntry& entry);
template <int N>
void register_screens(const ScreenEntry (&entries)[N]) {
  for (const ScreenEntry& e : entries) register_screen(e);
}
// A leaf whose screen belongs to another part of the editor and does not exist yet.
void close_menu_until_built(int leaf_id);
// Leaves that show the synth names: the leaf's list with the current track highlighted.
void open_synth_list_leaf(int leaf_id);

// Registers the menu states' handlers and the leaf actions of every screen family built here.
void register_menu_screens();

// The shared list keys of the menus and of the screens they open.
enum ListKeyFlags : int {
  kListKeyUp = 1,      // D-UP (repeating) selects the previous item, from the first to the last
  kListKeyDown = 2,    // D-DN (repeating) the next, from the last to the first
  kListKeyBack = 4,    // D-LT or O: back to the parent menu
  kListKeyClose = 8,   // START: close the menu
  kListKeysAll = 15,   // lists of a leaf screen
  kListKeysPrompt = kListKeyBack | kListKeyClose,
};

// The shared keys of a screen showing list (the current menu's items; its selection is the
// current menu's) or a prompt. True when a key was handled: the screen then does nothing else
// in this tick.
bool list_keys(const char* list, int flags);

}  // namespace zorbel
