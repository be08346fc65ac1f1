// The "DUM" mark in the top-left corner while a structural edit waits for the audio callback.
#include "engine/audio_stream.h"
#include "files/colour_scheme.h"
#include "ui/screens/menu_screens.h"
#include "ui/draw/text.h"

namespace zorbel {

namespace {

constexpr int kWaitMarkX = 100;
constexpr int kWaitMarkY = 10;

void draw_wait_mark() {
  draw_text(kWaitMarkX, kWaitMarkY, colour_scheme.active[kSlotActiveText], "DUM");
}

}  // namespace

void register_wait_mark() { set_pause_wait_hook(draw_wait_mark); }

}  // namespace zorbel
