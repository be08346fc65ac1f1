// zorbel-drive as a program: a scripted hit sounds on its step in the --wav output, shots are
// written, and a line it cannot read stops it with "line N: reason" and status 2.
#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/init_engine.h"
#include "engine/mixer.h"
#include "engine/song.h"
#include "engine/song_templates.h"
#include "files/colour_scheme.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_workdir.h"
#include "tests/ui/drive_test_support.h"
#include "ui/screens/sequencer_layout.h"

namespace zorbel::test {
namespace {

struct RunResult {
  int status;
  std::string err;
};

RunResult drive(const std::string& script, const std::string& args) {
  {
    std::ofstream out("script.txt");
    out << script;
  }
  const std::string command =
      std::string(ZORBEL_BINARY_DIR) + "/zorbel-drive " + args + " script.txt 2> err.txt";
  const int raw = std::system(command.c_str());
  std::ifstream in("err.txt");
  // The program's own messages only: a sanitizer build's notes about its symbolizer ("==PID==")
  // are the test build's, not the program's.
  std::string err, line;
  while (std::getline(in, line))
    if (line.rfind("==", 0) != 0) err += line + "\n";
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, err};
}

// Right channel of a 16-bit stereo WAV as written by the record tap (right first).
std::vector<int16_t> right_channel(const std::string& path) {
  const std::vector<uint8_t> bytes = read_bytes(path);
  std::vector<int16_t> right;
  for (size_t i = 44; i + 3 < bytes.size(); i += 4)
    right.push_back(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8)));
  return right;
}

uint16_t bmp_pixel_565(SDL_Surface* image, int x, int y) {
  const uint8_t* p = static_cast<const uint8_t*>(image->pixels) + y * image->pitch + 3 * x;
  Uint8 r, g, b;
  SDL_GetRGB(p[0] | (p[1] << 8) | (p[2] << 16), image->format, &r, &g, &b);
  return rgb_to_565(r, g, b);
}

TEST(DriveProgram, AHitMadeWithButtonsSoundsInTheBlockOfItsStep) {
  TempWorkdir dir;
  const std::string shot = screen_path("drive_hit_on_step_32");
  // Four jumps of 8 put the cursor on step 32 of track 0 (BAM1), well before the playhead.
  const RunResult r = drive("press A-RT\npress A-RT\npress A-RT\npress A-RT\npress X\n"
                            "shot " + shot + "\nwait 2.5\n",
                            "--seed 1 --wav hit.wav");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");

  // Where step 32 falls: the clock of the same song, counted frame by frame.
  init_engine(1);
  build_startup_song();
  const std::vector<long> fired = step_frames(44100 * 3);
  ASSERT_GT(fired.size(), 33u);
  const long event_frame = fired[32] - 1;  // 0-based frame of the tick that fires step 32
  const long block_start = event_frame / kBlockFrames * kBlockFrames;

  const std::vector<int16_t> right = right_channel("hit.wav");
  ASSERT_GT(right.size(), static_cast<size_t>(block_start + 4096));
  long first_sound = -1;
  for (size_t i = 0; i < right.size(); ++i)
    if (right[i] != 0) {
      first_sound = static_cast<long>(i);
      break;
    }
  EXPECT_GE(first_sound, block_start);
  EXPECT_LT(first_sound, block_start + kBlockFrames);
  int loudest = 0;
  for (long i = block_start; i < block_start + 4096; ++i) loudest = std::max(loudest, std::abs(int{right[i]}));
  EXPECT_GT(loudest, 1000);
  init_engine(kTestSeed);

  // The shot is a 24-bit BMP with the hit in the triggered-step colour under the cursor frame.
  SDL_Surface* image = SDL_LoadBMP(shot.c_str());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->format->BitsPerPixel, 24);
  EXPECT_EQ(image->w, 800);
  EXPECT_EQ(bmp_pixel_565(image, step_x(32) + 1, track_y(0) + 1),
            colour_scheme.active[kSlotTriggeredStep]);
  EXPECT_EQ(bmp_pixel_565(image, step_x(32), track_y(0)), colour_scheme.active[kSlotActiveStep]);
  SDL_FreeSurface(image);
}

TEST(DriveProgram, RefusesWhatItCannotReadAndEndsOnEsc) {
  TempWorkdir dir;
  RunResult r = drive("tick\n\n# fine so far\npress X Q\n", "");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "line 4: unknown button 'Q'\n");
  r = drive("wait -1\n", "");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "line 1: wait needs a number of seconds\n");
  r = drive("tick 0\n", "");
  EXPECT_EQ(r.status, 2);
  r = drive("mouse middle 3\n", "");
  EXPECT_EQ(r.err, "line 1: mouse needs left, right or none and a whole number of pixels\n");
  r = drive("press X 12s\n", "");
  EXPECT_EQ(r.err, "line 1: unknown button '12s'\n");
  r = drive("type AB-C\n", "");
  EXPECT_EQ(r.err, "line 1: type takes letters and digits only, not '-'\n");
  r = drive("jump\n", "");
  EXPECT_EQ(r.err, "line 1: unknown command 'jump'\n");
  r = drive("tick\n", "--seed x");
  EXPECT_EQ(r.status, 2);

  // Esc ends the run through the shutdown with status 0; what follows never runs.
  r = drive("press ESC\nshot never.bmp\n", "--wav esc.wav");
  EXPECT_EQ(r.status, 0) << r.err;
  std::FILE* never = std::fopen("never.bmp", "rb");
  EXPECT_EQ(never, nullptr);
  if (never) std::fclose(never);
  const std::vector<uint8_t> wav = read_bytes("esc.wav");
  ASSERT_GE(wav.size(), 44u);
  const uint32_t data = wav[40] | (wav[41] << 8) | (wav[42] << 16) | (uint32_t{wav[43]} << 24);
  EXPECT_EQ(data, wav.size() - 44);
}

}  // namespace
}  // namespace zorbel::test
