// libFuzzer target: song file decoding, applying a decoded song, and re-encoding it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/init_engine.h"
#include "files/song_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zorbel;
  static const bool started = (init_engine(1), true);
  (void)started;
  static SongImage image;
  std::string reason;
  if (!parse_song_file(data, size, image, reason)) return 0;
  apply_song_image(image);
  // Whatever was accepted must save into a file that is accepted again.
  const std::vector<uint8_t> again = encode_song("FUZZ.SEQ");
  static SongImage second;
  if (!parse_song_file(again.data(), again.size(), second, reason)) std::abort();
  return 0;
}
