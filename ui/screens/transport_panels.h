// The transport panels under the grid: SONG/LOOP, PLAY/STOP, BPM and VOL (editor states 145-148).
#pragma once

namespace zorbel {

void register_transport_panels();

}  // namespace zorbel
