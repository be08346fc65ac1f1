// The registered menu tree as data: every entry's items, children and parent.
#include <initializer_list>

#include "engine/song.h"
#include "ui/widgets/editor_state.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_screens.h"
#include "ui/screens/menu_tree.h"

namespace zorbel {

namespace {

// The tree's item lists, built once into this store at registration.
constexpr int kItemStoreBytes = 4096;
char item_store[kItemStoreBytes];
int item_store_used = 0;

const char* items(int width, std::initializer_list<const char*> lines) {
  char* list = item_store + item_store_used;
  const int bytes = list_bytes(width, static_cast<int>(lines.size()));
  if (!fill_list(list, kItemStoreBytes - item_store_used, width, lines.begin(),
                 static_cast<int>(lines.size())))
    return nullptr;
  item_store_used += bytes;
  return list;
}

const char* gen_fx_env_items = nullptr;
const char* gen_env_items = nullptr;

}  // namespace

void register_track_pages(int track, bool has_effect) {
  if (track < 0 || track >= MAX_TRACKS) return;
  const int id = kMenuTrackPageFirst + track;
  if (has_effect)
    add_menu_entry(id, gen_fx_env_items, kMenuEditSynth,
                   {kStateGenPageLeaf, kStateFxPageLeaf, kStateEnvPageLeaf});
  else
    add_menu_entry(id, gen_env_items, kMenuEditSynth, {kStateGenPageLeaf, kStateEnvPageLeaf});
}

void register_menu_tree() {
  item_store_used = 0;
  clear_menu_entries();

  add_menu_entry(kMenuRoot,
                 items(6, {"SYSTEM", "TEMPO", "TRACK", "LOOP", "SONG", "CONFIG", "SYNTH"}),
                 kNoEntry,
                 {kMenuSystem, kMenuTempo, kMenuTrack, kMenuLoop, kMenuSong, kMenuConfig,
                  kMenuSynth});
  add_menu_entry(kMenuSystem,
                 items(9, {"NEW", "LOAD", "SAVE", "SAVE AS", "RECORD", "VISUALIZE", "DISPLAY",
                           "CONTROL", "ABOUT", "HELP", "EXIT"}),
                 kMenuRoot,
                 {kStateNew, kStateLoad, kStateSave, kStateSaveAs, kStateRecord,
                  kStateVisualizer, kMenuDisplay, kMenuControl, kStateAbout, kMenuHelp,
                  kStateExit});
  add_menu_entry(kMenuTempo, items(11, {"BPM", "TAP TEMPO", "SWING", "SWING STEPS", "SEQLEN"}),
                 kMenuRoot,
                 {kStateBpm, kStateTapTempo, kStateSwing, kStateSwingSteps, kStateSeqlen});
  add_menu_entry(kMenuTrack,
                 items(11, {"COPY TRIG", "COPY TRACK", "COPY GEN", "COPY FX", "COPY ENV",
                            "COPY FREQ", "CLEAR TRACK", "SHIFT TRACK", "FILL TRACK"}),
                 kMenuRoot,
                 {kStateCopyTrig, kStateCopyTrack, kStateCopyGen, kStateCopyFx, kStateCopyEnv,
                  kStateCopyFreq, kStateClearTrack, kStateShiftTrack, kStateFillTrack});
  add_menu_entry(kMenuLoop,
                 items(23, {"COPY TRACK TO LOOP", "COPY LOOP", "COPY TRACK TO ALL LOOPS",
                            "CLEAR LOOP", "RENAME LOOP"}),
                 kMenuRoot,
                 {kStateCopyTrackToLoop, kStateCopyLoop, kStateCopyTrackToAllLoops,
                  kStateClearLoop, kStateRenameLoop});
  add_menu_entry(kMenuSong, items(8, {"SEQUENCE"}), kMenuRoot, {kStateSongOrder});
  add_menu_entry(kMenuConfig,
                 items(15, {"FREQMODE", "STEREOIZE", "HUMANIZE", "LOOP JUMP",
                            "RECORD LOCATION"}),
                 kMenuRoot,
                 {kStateFreqMode, kStateStereoize, kStateHumanize, kStateLoopJump,
                  kStateRecordLocation});
  add_menu_entry(kMenuSynth,
                 items(16, {"EDIT SYNTH", "ADD SYNTH", "DEL SYNTH", "MAKE PRESET FILE",
                            "LOAD PRESET", "SAVE PRESET"}),
                 kMenuRoot,
                 {kMenuEditSynth, kStateAddSynth, kStateDelSynth, kStateMakePresetFile,
                  kStateLoadPreset, kStateSavePreset});
  // SYSTEM lists DISPLAY and CONTROL, but going back from them skips SYSTEM.
  add_menu_entry(kMenuDisplay,
                 items(14, {"LOAD COLORS", "SAVE COLORS", "SET COLORS", "DEFAULT COLORS",
                            "GRID STEP"}),
                 kMenuRoot,
                 {kStateLoadColours, kStateSaveColours, kStateSetColours, kStateDefaultColours,
                  kStateGridStep});
  add_menu_entry(kMenuControl, items(11, {"APAD SCALAR", "APAD NAV", "KEY REPEAT", "MIDI"}),
                 kMenuRoot, {kStateApadScalar, kStateApadNav, kStateKeyRepeat, kMenuMidi});
  add_menu_entry(kMenuMidi, items(12, {"SYNC", "NOTE INPUT", "CHANNEL PLAY"}), kMenuControl,
                 {kStateMidiSync, kStateMidiNoteInput, kStateMidiChannelPlay});
  add_menu_entry(kMenuHelp,
                 items(17, {"BASICS", "ABBREVIATIONS", "SEQUENCER", "MORE SEQUENCER",
                            "MENU NAVIGATION", "NEW->CUSTOM", "SONG->SEQUENCE", "EDIT SYNTH",
                            "VISUALIZER", "MISC", "KEYBOARD"}),
                 kMenuSystem,
                 {40, 41, 42, 43, 44, 45, 46, 47, 48, 49, kStateHelpKeyboard});
  add_menu_entry(kMenuEditSynth, kSynthNameItems, kMenuSynth,
                 {121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134, 135, 136});
  gen_fx_env_items = items(3, {"GEN", "FX", "ENV"});
  gen_env_items = items(3, {"GEN", "ENV"});
  for (int track = 0; track < MAX_TRACKS; ++track) register_track_pages(track, true);

  // Leaves with a list of their own.
  add_menu_entry(kStateNew,
                 items(8, {"808ISH", "MELODEE", "NOFI", "OLDSKOOL", "WISPY", "CUSTOM0",
                           "CUSTOM1", "CUSTOM2", "CUSTOM3"}),
                 kMenuSystem, {});
  const char* colour_presets =
      items(14, {"COLOR PRESET 0", "COLOR PRESET 1", "COLOR PRESET 2", "COLOR PRESET 3",
                 "COLOR PRESET 4", "COLOR PRESET 5", "COLOR PRESET 6", "COLOR PRESET 7"});
  add_menu_entry(kStateLoadColours, colour_presets, kMenuDisplay, {});
  add_menu_entry(kStateSaveColours, colour_presets, kMenuDisplay, {});
  add_menu_entry(kStateAbout, about_list(), kMenuSystem, {});
  add_menu_entry(kStateRecord, items(12, {"RECORD LOOP", "RECORD SONG", "RECORD STEMS"}),
                 kMenuSystem, {});
  for (int id : {kStateFreqMode, kStateStereoize, kStateHumanize})
    add_menu_entry(id, kSynthNameItems, kMenuConfig, {});
  for (int id : {kStateLoadPreset, kStateSavePreset, kStateDelSynth})
    add_menu_entry(id, kSynthNameItems, kMenuSynth, {});
  for (int id : {kStateCopyTrack, kStateCopyFreq, kStateCopyGen, kStateCopyFx, kStateCopyEnv,
                 kStateCopyTrig, kStateClearTrack})
    add_menu_entry(id, kSynthNameItems, kMenuTrack, {});
  for (int id : {kStateCopyLoop, kStateCopyTrackToLoop, kStateCopyTrackToAllLoops})
    add_menu_entry(id, kSynthNameItems, kMenuLoop, {});

  // Leaves that are action screens only, with the entry that lists them as parent.
  add_menu_entry(kStateSongOrder, nullptr, kMenuSong, {});
  for (int id : {kStateRecordLocation, kStateLoopJump, kStateLoopJumpValue})
    add_menu_entry(id, nullptr, kMenuConfig, {});
  for (int id : {kStateVisualizer, kStateLoad, kStateSave, kStateSaveAs, kStateExit})
    add_menu_entry(id, nullptr, kMenuSystem, {});
  for (int id : {kStateApadScalar, kStateApadNav, kStateKeyRepeat})
    add_menu_entry(id, nullptr, kMenuControl, {});
  for (int id : {kStateMidiSync, kStateMidiNoteInput, kStateMidiChannelPlay})
    add_menu_entry(id, nullptr, kMenuMidi, {});
  for (int id : {kStateGridStep, kStateDefaultColours, kStateSetColours})
    add_menu_entry(id, nullptr, kMenuDisplay, {});
  add_menu_entry(kStateSetColoursConfirm, nullptr, kStateSaveColours, {});
  for (int id = kStateHelpFirst; id <= kStateHelpLast; ++id)
    add_menu_entry(id, nullptr, kMenuHelp, {});
  add_menu_entry(kStateHelpKeyboard, nullptr, kMenuHelp, {});
  for (int id : {kStateBpm, kStateTapTempo, kStateSwing, kStateSwingSteps, kStateSeqlen})
    add_menu_entry(id, nullptr, kMenuTempo, {});
  for (int id : {kStateMakePresetFile, kStateAddSynth}) add_menu_entry(id, nullptr, kMenuSynth, {});
  for (int id : {kStateFillTrack, kStateShiftTrack}) add_menu_entry(id, nullptr, kMenuTrack, {});
  for (int id : {kStateClearLoop, kStateRenameLoop}) add_menu_entry(id, nullptr, kMenuLoop, {});
  for (int id : {kStateGenPageLeaf, kStateFxPageLeaf, kStateEnvPageLeaf})
    add_menu_entry(id, nullptr, kMenuEditSynth, {});
}

}  // namespace zorbel
