// The 21 built-in sounds and the five built-in song templates.
#pragma once

#include <cstdint>

namespace zorbel {

constexpr int kBuiltinSoundCount = 21;
constexpr int kTemplateCount = 5;
constexpr int kMaxSoundValues = 52;

struct BuiltinSound {
  int type;                       // the synth type code the values are meant for
  int freq_mode;                  // written to the track's freq_mode
  int value_count;
  float values[kMaxSoundValues];  // generator, effect, then voice values, in parameter order
};

struct TemplateEntry {
  int type;   // synth type code
  int sound;  // built-in sound applied after creation, or -1
};

struct SongTemplate {
  const char* name;
  int count;
  TemplateEntry entries[16];
};

extern const BuiltinSound kBuiltinSounds[kBuiltinSoundCount];
extern const SongTemplate kSongTemplates[kTemplateCount];

}  // namespace zorbel
