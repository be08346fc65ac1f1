// The custom-template file seq/custom.zbi: four synth line-ups CUSTOM0..CUSTOM3 a new song can be
// built from.
//
//   any lines                kept byte for byte when the file is rewritten
//   START_CUSTOMn            for n = 0..3
//   type names, one a line   at most 16 are used
//   END_CUSTOMn
//   END_ZORBEL_SYNTH_INIT    required; a file without it is refused
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/song_templates.h"

namespace zorbel {

constexpr int kCustomTemplateCount = 4;
constexpr int kCustomTemplateSynths = 16;  // slots used of the 20
constexpr const char* kCustomTemplateFile = "custom.zbi";
constexpr const char* kCustomTemplateEnd = "END_ZORBEL_SYNTH_INIT";
constexpr std::size_t kMaxCustomTemplateBytes = 1u << 20;

// Reads template n (0..3) of a custom.zbi image into slots: type codes 0..63 from the lines
// after START_CUSTOMn up to the first line that names no type, -1 in every other slot. A
// template the file lacks is empty. False, with a reason, without END_ZORBEL_SYNTH_INIT.
bool parse_custom_template(const uint8_t* data, std::size_t size, int n,
                           int16_t slots[kCustomTemplateSlots], std::string& reason);
// The image with template n replaced by the non-empty slots 0..15 (CR LF line ends); every
// other line keeps its bytes. A file without template n gains it before END_ZORBEL_SYNTH_INIT.
// False, with a reason, without END_ZORBEL_SYNTH_INIT.
bool rewrite_custom_template(const uint8_t* data, std::size_t size, int n,
                             const int16_t slots[kCustomTemplateSlots], std::vector<uint8_t>& out,
                             std::string& reason);

// Loads template n of kSongFolder + custom.zbi into custom_template_list. On failure the list is
// left empty (every slot -1) and reason says why.
bool load_custom_template(int n, std::string* reason = nullptr);
// Writes custom_template_list as template n into custom.zbi, which is replaced only once the new
// one is complete. A missing or refused file is left as it was.
bool save_custom_template(int n, std::string* reason = nullptr);

// The summed processor load of a template's synths, in tenths of a percent.
int custom_template_cost_tenths(const int16_t slots[kCustomTemplateSlots]);

}  // namespace zorbel
