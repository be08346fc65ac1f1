// Sorted folder listings, the list window's layout and the name entry's alphabet and keys.
#include "files/file_names.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "files/platform_dir.h"

namespace zorbel {

namespace {

const char* folder_of(int kind) {
  switch (kind) {
    case kFileKindSong: return kSongFolder;
    case kFileKindWav: return kWavFolder;
    case kFileKindPreset: return kPresetFolder;
    default: return nullptr;
  }
}

const char* pattern_of(int kind) {
  switch (kind) {
    case kFileKindSong: return "*.SEQ";
    case kFileKindWav: return "*.WAV";
    default: return "*.zbl";
  }
}

int upper(char c) { return std::toupper(static_cast<unsigned char>(c)); }

bool in_alphabet(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

int clamp_length(int length) { return std::clamp(length, 1, kNameEntryCapacity); }

}  // namespace

bool same_ignoring_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upper(x) == upper(y); });
}

bool less_ignoring_case(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return upper(x) < upper(y); });
}

std::vector<std::string> sorted_listing(const char* folder, const char* pattern,
                                        std::size_t max_length, std::size_t max_names) {
  std::vector<std::string> names;
  for (std::string& name : list_folder(folder, pattern)) {
    if (name.size() > max_length) continue;
    names.push_back(std::move(name));
  }
  // Sorting before the cut keeps the first names alphabetically, whatever the directory order.
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return less_ignoring_case(a, b) || (!less_ignoring_case(b, a) && a < b);
  });
  if (names.size() > max_names) names.resize(max_names);
  return names;
}

std::vector<std::string> scan_files(int kind) {
  const char* folder = folder_of(kind);
  if (!folder) return {};
  return sorted_listing(folder, pattern_of(kind), kListedNameMax, kFileListSlots);
}

bool file_exists(const char* name, int kind) {
  const char* folder = folder_of(kind);
  if (!folder || !name || !*name) return false;
  for (const std::string& listed : list_folder(folder, "*"))
    if (same_ignoring_case(listed, name)) return true;
  return false;
}

std::string make_file_name(const char* name, int kind) {
  const std::string base = name ? name : "";
  if (kind == kFileKindSong) return base + ".SEQ";
  if (kind == kFileKindWav) return base + ".WAV";
  return base;
}

FileWindow file_list_window(int count, int selected) {
  FileWindow window;
  if (count <= 0) return window;
  selected = std::clamp(selected, 0, count - 1);
  if (count <= kFileWindowLines) {
    window.lines = count;
    for (int i = 0; i < count; ++i) window.index[i] = i;
    window.selected_line = selected;
    return window;
  }
  window.lines = kFileWindowLines;
  window.selected_line = kFileWindowSelectedLine;
  for (int line = 0; line < kFileWindowLines; ++line)
    window.index[line] = step_selection(selected, line - kFileWindowSelectedLine, count);
  return window;
}

int step_selection(int index, int delta, int count) {
  if (count <= 0) return 0;
  const int moved = (index + delta) % count;
  return moved < 0 ? moved + count : moved;
}

// ---- Name entry ----

char next_name_char(char c) {
  if (c == 'Z') return '0';
  if (c == '9' || !in_alphabet(c)) return 'A';
  return static_cast<char>(c + 1);
}

char previous_name_char(char c) {
  if (c == 'A') return '9';
  if (c == '0') return 'Z';
  if (!in_alphabet(c)) return 'A';
  return static_cast<char>(c - 1);
}

void name_entry_begin(NameEntry& entry, int length, const char* initial) {
  entry = NameEntry{};
  entry.length = clamp_length(length);
  if (!initial || !*initial) initial = "A";
  std::strncpy(entry.text, initial, static_cast<std::size_t>(entry.length));
}

void name_entry_up(NameEntry& entry) {
  entry.edited = true;
  entry.text[entry.cursor] = next_name_char(entry.text[entry.cursor]);
}

void name_entry_down(NameEntry& entry) {
  entry.edited = true;
  entry.text[entry.cursor] = previous_name_char(entry.text[entry.cursor]);
}

void name_entry_right(NameEntry& entry) {
  entry.edited = true;
  const int c = entry.cursor;
  if (c + 1 >= entry.length) return;
  if (entry.text[c] != 0 || entry.text[c + 1] != 0) entry.cursor = c + 1;
}

void name_entry_left(NameEntry& entry) {
  entry.edited = true;
  if (entry.cursor > 0) --entry.cursor;
}

void name_entry_delete(NameEntry& entry) {
  entry.edited = true;
  for (int i = entry.cursor; i < entry.length - 1; ++i) entry.text[i] = entry.text[i + 1];
  entry.text[entry.length - 1] = 0;
}

void name_entry_type(NameEntry& entry, char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (!in_alphabet(c)) return;
  if (!entry.edited) {
    std::memset(entry.text, 0, sizeof entry.text);
    entry.cursor = 0;
  }
  entry.edited = true;
  entry.text[entry.cursor] = c;
  if (entry.cursor + 1 < entry.length) ++entry.cursor;
}

void name_entry_backspace(NameEntry& entry) {
  const int c = entry.cursor;
  const bool full_at_end = c == entry.length - 1 && entry.text[c] != 0;
  if (c > 0 && !full_at_end) entry.cursor = c - 1;
  name_entry_delete(entry);
}

std::string name_entry_text(const NameEntry& entry) {
  return std::string(entry.text, strnlen(entry.text, static_cast<std::size_t>(entry.length)));
}

}  // namespace zorbel
