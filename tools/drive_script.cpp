// Reading zorbel-drive scripts: whitespace-separated words, "#" starts a comment.
#include "tools/drive_script.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "ui/platform/input.h"
#include "ui/platform/key_map.h"

namespace zorbel {

namespace {

constexpr double kLongestWait = 24.0 * 3600.0;
constexpr long kMostTicks = 10000000;
constexpr int kLongestDrag = 100000;
constexpr long kLongestPressMs = 60000;

// "120ms": a press's duration.
bool duration_ms(const std::string& word, int* out) {
  if (word.size() < 3 || word.compare(word.size() - 2, 2, "ms") != 0) return false;
  long ms = 0;
  char* end = nullptr;
  const std::string digits = word.substr(0, word.size() - 2);
  errno = 0;
  ms = std::strtol(digits.c_str(), &end, 10);
  if (errno != 0 || end == digits.c_str() || *end != '\0' || ms < 0 || ms > kLongestPressMs)
    return false;
  *out = static_cast<int>(ms);
  return true;
}

bool whole_number(const std::string& word, long low, long high, long* out) {
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(word.c_str(), &end, 10);
  if (errno != 0 || end == word.c_str() || *end != '\0' || v < low || v > high) return false;
  *out = static_cast<long>(v);
  return true;
}

bool seconds_value(const std::string& word, double* out) {
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(word.c_str(), &end);
  if (errno != 0 || end == word.c_str() || *end != '\0' || !std::isfinite(v) || v < 0.0 ||
      v > kLongestWait)
    return false;
  *out = v;
  return true;
}

// Reads the button names of words[1..]; false with a reason for an unknown one.
bool button_list(const std::vector<std::string>& words, std::vector<int>* keys,
                 std::string* reason) {
  if (words.size() < 2) {
    *reason = words[0] + " needs at least one button";
    return false;
  }
  for (size_t i = 1; i < words.size(); ++i) {
    const int key = key_for_button_name(words[i].c_str());
    if (key < 0) {
      *reason = "unknown button '" + words[i] + "'";
      return false;
    }
    keys->push_back(key);
  }
  return true;
}

bool parse_line(const std::vector<std::string>& w, DriveCommand* c, std::string* reason) {
  const std::string& verb = w[0];
  if (verb == "hold") {
    c->kind = DriveCommandKind::kHold;
    return button_list(w, &c->keys, reason);
  }
  if (verb == "press") {
    c->kind = DriveCommandKind::kPress;
    if (w.size() > 2 && duration_ms(w.back(), &c->hold_ms))
      return button_list(std::vector<std::string>(w.begin(), w.end() - 1), &c->keys, reason);
    return button_list(w, &c->keys, reason);
  }
  if (verb == "type") {
    c->kind = DriveCommandKind::kType;
    if (w.size() != 2) {
      *reason = "type needs one word of letters and digits";
      return false;
    }
    for (char ch : w[1]) {
      const char lower = ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
      const char name[2] = {lower, '\0'};
      const int key = (lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9')
                          ? key_for_button_name(name)
                          : -1;
      if (key < 0) {
        *reason = std::string("type takes letters and digits only, not '") + ch + "'";
        return false;
      }
      c->keys.push_back(key);
    }
    return true;
  }
  if (verb == "release") {
    if (w.size() == 2 && w[1] == "all") {
      c->kind = DriveCommandKind::kReleaseAll;
      return true;
    }
    c->kind = DriveCommandKind::kRelease;
    return button_list(w, &c->keys, reason);
  }
  if (verb == "tick") {
    c->kind = DriveCommandKind::kTick;
    if (w.size() > 2) {
      *reason = "tick takes at most one count";
      return false;
    }
    if (w.size() == 2 && !whole_number(w[1], 1, kMostTicks, &c->count)) {
      *reason = "tick needs a count from 1 to " + std::to_string(kMostTicks) + ", not '" + w[1] + "'";
      return false;
    }
    return true;
  }
  if (verb == "mouse") {
    c->kind = DriveCommandKind::kMouse;
    long dy = 0;
    if (w.size() != 3 || (w[1] != "left" && w[1] != "right" && w[1] != "none") ||
        !whole_number(w[2], -kLongestDrag, kLongestDrag, &dy)) {
      *reason = "mouse needs left, right or none and a whole number of pixels";
      return false;
    }
    c->mouse_button = w[1] == "left" ? kMouseLeft : (w[1] == "right" ? kMouseRight : 0);
    c->dy = static_cast<int>(dy);
    return true;
  }
  if (verb == "wait") {
    c->kind = DriveCommandKind::kWait;
    if (w.size() != 2 || !seconds_value(w[1], &c->seconds)) {
      *reason = "wait needs a number of seconds";
      return false;
    }
    return true;
  }
  if (verb == "shot") {
    c->kind = DriveCommandKind::kShot;
    if (w.size() != 2) {
      *reason = "shot needs one file name";
      return false;
    }
    c->file = w[1];
    return true;
  }
  *reason = "unknown command '" + verb + "'";
  return false;
}

}  // namespace

bool parse_drive_script(const std::string& text, std::vector<DriveCommand>* commands,
                        std::string* error) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words_in(line);
    std::vector<std::string> words;
    for (std::string word; words_in >> word;) words.push_back(word);
    if (words.empty()) continue;
    DriveCommand c;
    c.line = number;
    std::string reason;
    if (!parse_line(words, &c, &reason)) {
      *error = "line " + std::to_string(number) + ": " + reason;
      return false;
    }
    commands->push_back(std::move(c));
  }
  return true;
}

}  // namespace zorbel
