// The editor states: what the editor input does with the buttons. Menu ids equal states, so
// the numbers are part of the behaviour and are kept here by name.
#pragma once

namespace zorbel {

enum EditorState : int {
  kStateStepEdit = 0,
  // Menus of the tree.
  kMenuRoot = 1,
  kMenuSystem = 2,
  kMenuSong = 3,
  kStateSongOrder = 4,       // SEQUENCE: the song order list
  kMenuTempo = 5,
  kMenuTrack = 6,
  kMenuConfig = 7,
  kStateFreqMode = 8,
  kStateStereoize = 9,
  kStateHumanize = 10,
  kStateRecordLocation = 11,
  kStateHumanizeValue = 12,
  kStateStereoizeValue = 14,
  kStateRecord = 15,         // the RECORD leaf
  kStateRecordQuestion = 16,
  kStateRecordName = 17,
  kStateMessage18 = 18,      // a message is shown; the usual keys return to step edit
  kStateCouldNotOpen = 19,
  kStateLoadPresetChoose = 20,    // "LOAD PRESET: " + name, the preview keys
  kStateLoadPresetRange = 21,     // "LOAD TO STEP, LOOP, OR SONG? STEP"
  kStateLoadPresetFreq = 22,      // "OVERWRITE FREQ DATA? NO"
  kStateVisualizer = 25,
  kStateLoopJump = 26,
  kMenuDisplay = 27,
  kMenuControl = 28,
  kStateApadScalar = 29,
  kStateApadNav = 30,
  kStateGridStep = 32,
  kStateLoadColours = 33,
  kStateSaveColours = 34,
  kStateDefaultColours = 35,
  kStateSetColours = 36,
  kStateSetColoursConfirm = 37,
  kStateAbout = 38,
  kMenuHelp = 39,
  kStateHelpFirst = 40,      // 40..49: the help pages
  kStateHelpLast = 49,
  kStateBpm = 50,
  kStateTapTempo = 51,
  kStateSwing = 52,
  kStateSwingSteps = 53,
  kStateSeqlen = 54,
  kMenuLoop = 55,
  kMenuEditSynth = 56,       // the synth-name list of EDIT SYNTH
  kMenuSynth = 57,
  kStateLoadPreset = 58,
  kStateLoadPresetFile = 59,      // "PRESET FILE: " + name, for loading
  kStateMakePresetName = 60,      // the 8-character name of a new preset file
  kStateMakePresetOverwrite = 61, // "OVERWRITE " + file name + "? N"
  kStateSavePreset = 62,          // "PRESET FILE: " + name, for saving
  kStateSavePresetChoose = 63,    // "SAVE PRESET: " + the preset to replace
  kStateSavePresetName = 64,      // its new name, starting with the old one
  kStateSavePresetQuestion = 65,  // "SAVE PRESET " + new + " OVER " + old + "? N"
  kStateMakePresetFile = 66,
  kStateAddSynth = 67,
  kStateAddSynthChoose = 68,
  kStateCannotAdd = 69,      // "CANNOT ADD: EXECUTION TIME OVERLOAD"
  kStateMaxSynths = 70,      // "CANNOT ADD: MAX SYNTHS IN SONG"
  kStateDelSynth = 71,
  kStateLastSynth = 72,      // "CAN NOT DELETE LAST SYNTH"
  kStateDelSynthQuestion = 73,  // "DEL SYNTH " + name + "? N"
  kStateCustomTemplate = 74,
  kStateLoad = 75,
  kStateSave = 76,
  kStateSaveAs = 77,
  kStateOverwrite = 78,
  kStateNew = 79,
  kStateNewConfirm = 80,
  kStateExit = 81,
  kStateLoopJumpValue = 82,
  kStateExitQuestion = 83,
  kStateCopyTrack = 84,
  kStateCopyFreq = 87,
  kStateCopyGen = 91,
  kStateCopyFx = 94,
  kStateCopyEnv = 97,
  kStateCopyLoop = 100,
  kStateCopyLoopQuestion = 101,
  kStateCopyTrig = 104,
  kStateCopyTrackToLoop = 107,
  kStateCopyTrackToAllLoops = 109,
  kStateClearTrack = 111,
  kStateFillTrack = 114,
  kStateShiftTrack = 115,
  kStateClearLoop = 117,
  kStateRenameLoop = 118,
  kStateRenameLoopName = 119,
  kMenuTrackPageFirst = 121, // 121 + track: GEN, FX, ENV (or GEN, ENV) of that track
  kMenuTrackPageLast = 136,
  kStateGenPageLeaf = 137,
  kStateFxPageLeaf = 138,
  kStateEnvPageLeaf = 139,
  kStateGenPage = 141,
  kStateFxPage = 142,
  kStateEnvPage = 143,
  kStatePanelSongLoop = 145,
  kStatePanelPlayStop = 146,
  kStatePanelBpm = 147,
  kStatePanelVol = 148,
  kStateNoMemoryForWav = 149,  // "DID NOT LOAD WAV - NOT ENOUGH MEMORY"
  kStateWavNotLoaded = 150,    // "WAV NOT LOADED" / "NO OLD WAV REALLOC"
  kStateLast = 150,            // a state above this does nothing
};

}  // namespace zorbel
