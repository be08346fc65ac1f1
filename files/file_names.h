// The file browser's lists and the name entry: what the LOAD, SAVE AS, RENAME LOOP, RECORD and
// preset screens compute, without drawing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zorbel {

// What scan_files lists, by kind number.
enum FileKind { kFileKindSong = 0, kFileKindWav = 1, kFileKindPreset = 2 };

constexpr int kFileListSlots = 1024;
constexpr int kListedNameMax = 16;     // longer names are not listed
constexpr int kFileWindowLines = 8;
constexpr int kFileWindowSelectedLine = 3;  // where the selection sits in a list longer than 8

// The names of the folder's regular files matching pattern, at most max_length characters
// long, at most max_names of them, sorted by name ignoring case.
std::vector<std::string> sorted_listing(const char* folder, const char* pattern,
                                        std::size_t max_length, std::size_t max_names);
// Song files (*.SEQ in ./seq/), recordings and samples (*.WAV in ./wav/) or presets (*.zbl in
// ./presets/), sorted by name ignoring case, 16 characters at most, 1024 at most.
std::vector<std::string> scan_files(int kind);
// True when the kind's folder holds a file of this name, ignoring case (the one a save of that
// name would replace).
bool file_exists(const char* name, int kind);
// name + ".SEQ" (songs) or ".WAV" (recordings); other kinds add nothing.
std::string make_file_name(const char* name, int kind);
bool same_ignoring_case(std::string_view a, std::string_view b);
bool less_ignoring_case(std::string_view a, std::string_view b);

// The list window: which entry each of its lines shows.
struct FileWindow {
  int lines = 0;                       // lines in use: min(count, 8)
  int index[kFileWindowLines] = {};    // list index shown on each line
  int selected_line = 0;               // the line drawn highlighted
};
// Up to 8 names: each on its own line. More: the selected name on line 3, the three before it
// above and the four after it below, wrapping around the list.
FileWindow file_list_window(int count, int selected);
// index moved by delta (one name, or eight with TRI) in a list of count, wrapping.
int step_selection(int index, int delta, int count);

// ---- Name entry ----

constexpr int kSongNameLength = 12;  // song and recording names
constexpr int kLoopNameLength = 6;
constexpr int kNameEntryCapacity = 16;

// A name being typed: characters A..Z and 0..9, an empty position (0) ends the name.
struct NameEntry {
  char text[kNameEntryCapacity + 1] = {};
  int cursor = 0;
  int length = kSongNameLength;  // positions 0..length-1
  // False until a key changed the entry: the first character typed then replaces the proposed
  // name instead of being written into it.
  bool edited = false;
};

// The character after c in the alphabet A..Z, 0..9 (wrapping); an empty position or any other
// character becomes A.
char next_name_char(char c);
// The character before c (A gives 9, 0 gives Z); an empty position or any other character
// becomes A.
char previous_name_char(char c);

// Starts an entry of length positions holding initial (cut to fit), or "A" when initial is empty
// or null; the cursor at 0.
void name_entry_begin(NameEntry& entry, int length, const char* initial = nullptr);
void name_entry_up(NameEntry& entry);     // D-UP or a drag up: the next character
void name_entry_down(NameEntry& entry);   // D-DN or a drag down: the previous character
// D-RT: one to the right while the character at the cursor or the next one is set; not past the
// last position.
void name_entry_right(NameEntry& entry);
void name_entry_left(NameEntry& entry);   // D-LT: one to the left, not below 0
// O: removes the character at the cursor; the later ones move left, the last position empties.
void name_entry_delete(NameEntry& entry);
// A typed character (A..Z, 0..9; a..z count as upper case) at the cursor, which moves on to the
// next position (it stays on the last). Other characters change nothing.
void name_entry_type(NameEntry& entry, char c);
// Backspace: removes the character before the cursor and moves the cursor onto its place; at
// the start, or on a last position that holds a character, removes the one at the cursor.
void name_entry_backspace(NameEntry& entry);
// The name: the characters before the first empty position.
std::string name_entry_text(const NameEntry& entry);

}  // namespace zorbel
