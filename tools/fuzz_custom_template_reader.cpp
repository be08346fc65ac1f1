// libFuzzer target: reading every template of a custom.zbi image and rewriting one of them.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/init_engine.h"
#include "files/custom_template_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zorbel;
  static const bool started = (init_engine(1), true);
  (void)started;
  std::string reason;
  int16_t slots[kCustomTemplateCount][kCustomTemplateSlots];
  for (int n = 0; n < kCustomTemplateCount; ++n) {
    if (!parse_custom_template(data, size, n, slots[n], reason)) return 0;
    for (int16_t type : slots[n])
      if (type < -1 || type >= 64) std::abort();
  }
  // Template 1 rewritten with template 0's synths: it reads back as them, and the others stay.
  std::vector<uint8_t> out;
  if (!rewrite_custom_template(data, size, 1, slots[0], out, reason)) std::abort();
  for (int n = 0; n < kCustomTemplateCount; ++n) {
    int16_t again[kCustomTemplateSlots];
    if (!parse_custom_template(out.data(), out.size(), n, again, reason)) std::abort();
    if (std::memcmp(again, n == 1 ? slots[0] : slots[n], sizeof again) != 0) std::abort();
  }
  return 0;
}
