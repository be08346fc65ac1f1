// The scripts zorbel-drive runs: one command per line, read in full before anything runs.
#pragma once

#include <string>
#include <vector>

namespace zorbel {

enum class DriveCommandKind {
  kHold, kRelease, kReleaseAll, kTick, kPress, kMouse, kWait, kShot, kType
};

// How long `type` holds each key, and the pause after it, in ms of virtual time.
constexpr int kTypeHoldMs = 60;

struct DriveCommand {
  DriveCommandKind kind;
  int line = 0;
  std::vector<int> keys;  // hold, release, press, type: key symbols (type: in order)
  int hold_ms = -1;       // press: how long the keys stay down (-1: one acting tick)
  long count = 1;         // tick
  int mouse_button = 0;   // mouse: kMouseLeft, kMouseRight or 0 (moved without a button)
  int dy = 0;             // mouse: pixels, negative is up
  double seconds = 0.0;   // wait
  std::string file;       // shot
};

// Reads a whole script. On the first line it cannot read, returns false with
// "line N: reason" in *error.
bool parse_drive_script(const std::string& text, std::vector<DriveCommand>* commands,
                        std::string* error);

}  // namespace zorbel
