// The sequencer screen: the grid of the current loop, its panels, and their redraws.
#pragma once

namespace zorbel {

// Full redraw of the console area: grid, panels and texts, done twice in a row.
void redraw_sequencer_screen();
// Grid-only redraw (the loop changed during playback): no clear of the console area.
void redraw_grid();
// The per-frame draw of the editor mode: only what changed.
void update_sequencer_screen();

// "BPM: " and the tempo with two decimals, the whole part right-aligned in three places
// ("BPM:   7.50", "BPM: 120.50"). Precondition: buffer holds kTempoTextCapacity bytes.
constexpr int kTempoTextCapacity = 16;
char* tempo_text(float bpm, char* buffer);

}  // namespace zorbel
