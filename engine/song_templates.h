// Whole-song replacement: built-in sounds, the built-in and custom templates, the start-up song.
#pragma once

#include <cstdint>

namespace zorbel {

constexpr int kCustomTemplateSlots = 20;

// The custom template the template loader has placed here: type codes, -1 for an empty slot.
extern int16_t custom_template_list[kCustomTemplateSlots];

// Writes built-in sound `sound` into every lane and default of the track's parameters.
void apply_sound(int track, int sound);
// Replaces the song with built-in template 0..4. The caller has paused the audio.
void new_song(int template_number);
// Replaces the song with the custom template list. The caller has paused the audio.
void new_custom_song();
// The song the program starts with: 808ISH, with the song list restarting after position 3.
void build_startup_song();

}  // namespace zorbel
