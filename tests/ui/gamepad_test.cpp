// Pads as the console's buttons: the mapping through the input source with a fake pad, keys
// and pad together, a pad hit reaching the workstation, and a virtual pad where the kernel
// offers one.
#include <fcntl.h>
#include <linux/uinput.h>
#include <unistd.h>

#include <cstring>

#include "tests/ui/drive_test_support.h"
#include "ui/platform/gamepad.h"
#include "ui/platform/input.h"
#include "ui/platform/key_map.h"
#include "ui/platform/main_loop.h"
#include "ui/platform/sdl_platform.h"

namespace zorbel::test {
namespace {

// The fake keyboard and pad the input layer reads.
uint8_t fake_keys[kKeySymbolCount];
PadState fake_pad;

void read_fake_keys(uint8_t* keys, int count) { std::memcpy(keys, fake_keys, count); }
void read_fake_pad(PadState* pad) { *pad = fake_pad; }
const InputSource kFakeInput{read_fake_keys, nullptr, nullptr, nullptr, nullptr, read_fake_pad};

void release_everything() {
  std::memset(fake_keys, 0, sizeof fake_keys);
  std::memset(&fake_pad, 0, sizeof fake_pad);
}

// The console buttons held after one reading of keys and pad.
std::vector<int> held_after_reading() {
  read_input_state();
  std::vector<int> held;
  for (int key = 0; key < kKeySymbolCount; ++key)
    if (input.keys[key]) held.push_back(key);
  return held;
}

TEST(Gamepad, EveryButtonTheStickAndTheTriggersReachTheirConsoleButton) {
  reset_input_state();
  set_input_source(&kFakeInput);
  const struct {
    int pad_button;
    int console_button;
  } buttons[] = {
      {kPadDUp, kBtnDUp},       {kPadDDown, kBtnDDn},          {kPadDLeft, kBtnDLt},
      {kPadDRight, kBtnDRt},    {kPadSouth, kBtnX},            {kPadEast, kBtnO},
      {kPadWest, kBtnSq},       {kPadNorth, kBtnTri},          {kPadLeftShoulder, kBtnLTr},
      {kPadRightShoulder, kBtnRTr}, {kPadStart, kBtnStart},    {kPadBack, kBtnSelect},
  };
  for (const auto& b : buttons) {
    release_everything();
    fake_pad.buttons[b.pad_button] = 1;
    EXPECT_EQ(held_after_reading(), std::vector<int>{b.console_button}) << b.pad_button;
  }
  // The guide button and the stick clicks are no console button.
  release_everything();
  fake_pad.buttons[kPadGuide] = fake_pad.buttons[kPadLeftStick] = 1;
  fake_pad.buttons[kPadRightStick] = 1;
  EXPECT_TRUE(held_after_reading().empty());

  // The left stick is the APAD past 30 % of its travel, both directions of both axes, and a
  // diagonal holds two buttons; inside the dead zone nothing is held. The right stick is unused.
  const int past = kStickDeadZone + 1;
  const struct {
    int axis;
    int value;
    std::vector<int> held;
  } stick[] = {
      {kPadLeftX, -past, {kBtnALt}},     {kPadLeftX, past, {kBtnARt}},
      {kPadLeftY, -past, {kBtnAUp}},     {kPadLeftY, past, {kBtnADn}},
      {kPadLeftX, -32768, {kBtnALt}},    {kPadLeftY, 32767, {kBtnADn}},
      {kPadLeftX, kStickDeadZone, {}},   {kPadLeftY, -kStickDeadZone, {}},
      {kPadLeftX, 32767 * 29 / 100, {}}, {kPadRightX, 32767, {}},
      {kPadRightY, -32768, {}},          {kPadLeftTrigger, kTriggerThreshold + 1, {kBtnLTr}},
      {kPadRightTrigger, 32767, {kBtnRTr}}, {kPadLeftTrigger, kTriggerThreshold, {}},
  };
  for (const auto& s : stick) {
    release_everything();
    fake_pad.axes[s.axis] = static_cast<int16_t>(s.value);
    EXPECT_EQ(held_after_reading(), s.held) << "axis " << s.axis << " at " << s.value;
  }
  release_everything();
  fake_pad.axes[kPadLeftX] = 20000;
  fake_pad.axes[kPadLeftY] = -20000;
  std::vector<int> diagonal = held_after_reading();
  EXPECT_EQ(diagonal, (std::vector<int>{kBtnARt, kBtnAUp}));  // in key order

  // TRI+L-TR+R-TR, the way to GEN/FX/ENV, can be held on the pad alone.
  release_everything();
  fake_pad.buttons[kPadNorth] = fake_pad.buttons[kPadLeftShoulder] = 1;
  fake_pad.axes[kPadRightTrigger] = 32767;
  EXPECT_EQ(held_after_reading(), (std::vector<int>{kBtnLTr, kBtnRTr, kBtnTri}));
  set_input_source(nullptr);
}

TEST(Gamepad, KeyAndPadOfOneButtonCountOnce) {
  reset_input_state();
  set_input_source(&kFakeInput);
  release_everything();
  // X on both in the same tick: one press.
  fake_keys[kBtnX] = 1;
  fake_pad.buttons[kPadSouth] = 1;
  read_input_state();
  EXPECT_TRUE(button_pressed(kBtnX));
  end_editor_tick();
  read_input_state();
  EXPECT_FALSE(button_pressed(kBtnX));
  // The key let go while the pad still holds it: still held, no new press.
  fake_keys[kBtnX] = 0;
  read_input_state();
  EXPECT_TRUE(button_held(kBtnX));
  EXPECT_FALSE(button_pressed(kBtnX));
  end_editor_tick();
  // Both let go, then the key alone: a press again. A pad with nothing held adds nothing.
  fake_pad.buttons[kPadSouth] = 0;
  read_input_state();
  EXPECT_FALSE(button_held(kBtnX));
  end_editor_tick();
  fake_keys[kBtnX] = 1;
  read_input_state();
  EXPECT_TRUE(button_pressed(kBtnX));
  set_input_source(nullptr);
}

using GamepadScenario = DriveTest;

// Through the frame loop with a fake pad: south on the pad makes a hit under the cursor, and
// the D-pad moves the cursor, as H and the arrows do.
TEST_F(GamepadScenario, APadHitReachesTheSongAndTheScreen) {
  release_everything();
  set_input_source(&kFakeInput);
  run("tick 2\n");
  fake_pad.buttons[kPadDRight] = 1;
  run("tick\n");
  fake_pad.buttons[kPadDRight] = 0;
  run("tick 2\n");
  EXPECT_EQ(editor_link.cursor_step, 1);
  fake_pad.buttons[kPadSouth] = 1;
  fake_keys[kBtnX] = 1;  // the key as well in the same ticks: still one hit
  run("tick\n");
  release_everything();
  run("tick 2\n");
  EXPECT_EQ(song.step_trig[0][0][1], 100);
  EXPECT_EQ(song.step_trig[0][0][0], 0);
  EXPECT_EQ(cell_fill(0, 1), slot(kSlotTriggeredStep));
  set_input_source(nullptr);
}

// A pad made by the kernel's uinput device, seen through SDL like a real one.
TEST(GamepadDevice, AVirtualPadPressReachesTheButtons) {
  const int fd = open("/dev/uinput", O_WRONLY | O_NONBLOCK);
  if (fd < 0)
    GTEST_SKIP() << "/dev/uinput cannot be opened here (" << std::strerror(errno)
                 << "): no virtual pad can be made";
  ioctl(fd, UI_SET_EVBIT, EV_KEY);
  for (int code : {BTN_SOUTH, BTN_EAST, BTN_NORTH, BTN_WEST, BTN_TL, BTN_TR, BTN_SELECT,
                   BTN_START, BTN_MODE})
    ioctl(fd, UI_SET_KEYBIT, code);
  ioctl(fd, UI_SET_EVBIT, EV_ABS);
  for (int axis : {ABS_X, ABS_Y}) {
    ioctl(fd, UI_SET_ABSBIT, axis);
    uinput_abs_setup abs{};
    abs.code = static_cast<uint16_t>(axis);
    abs.absinfo.minimum = -32768;
    abs.absinfo.maximum = 32767;
    ioctl(fd, UI_ABS_SETUP, &abs);
  }
  uinput_setup setup{};
  setup.id.bustype = BUS_USB;
  setup.id.vendor = 0x045e;  // a pad SDL knows the layout of
  setup.id.product = 0x028e;
  std::strcpy(setup.name, "zorbel test pad");
  ASSERT_EQ(ioctl(fd, UI_DEV_SETUP, &setup), 0);
  ASSERT_EQ(ioctl(fd, UI_DEV_CREATE), 0);
  usleep(500000);  // the device node appears

  setenv("SDL_VIDEODRIVER", "dummy", 1);
  SDL_Init(SDL_INIT_VIDEO);
  open_pads();
  EXPECT_GE(open_pad_count(), 1);
  auto emit = [fd](int type, int code, int value) {
    input_event e{};
    e.type = static_cast<uint16_t>(type);
    e.code = static_cast<uint16_t>(code);
    e.value = value;
    EXPECT_EQ(write(fd, &e, sizeof e), static_cast<ssize_t>(sizeof e));
  };
  emit(EV_KEY, BTN_SOUTH, 1);
  emit(EV_SYN, SYN_REPORT, 0);
  usleep(200000);
  reset_input_state();
  set_input_source(sdl_input_source());
  bool seen = false;
  for (int i = 0; i < 20 && !seen; ++i) {
    SDL_PumpEvents();
    read_input_state();
    seen = button_held(kBtnX);
    usleep(20000);
  }
  EXPECT_TRUE(seen) << "south on the virtual pad did not hold X";
  set_input_source(nullptr);
  ioctl(fd, UI_DEV_DESTROY);
  close(fd);
  SDL_Quit();
}

}  // namespace
}  // namespace zorbel::test
