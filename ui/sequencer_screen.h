// The sequencer screen: the grid of the current loop, its panels, and their redraws.
#pragma once

namespace zorbel {

// Full redraw of the console area: grid, panels and texts, done twice in a row.
void redraw_sequencer_screen();
// Grid-only redraw (the loop changed during playback): no clear of the console area.
void redraw_grid();
// The per-frame draw of the editor mode: only what changed.
void update_sequencer_screen();

}  // namespace zorbel
