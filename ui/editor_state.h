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
  kStateSavePreset = 62,
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
  // Pattern operations: a source list or prompt, then the destination ("TO: "), then a question.
  kStateCopyTrack = 84,
  kStateCopyTrackTo = 85,
  kStateCopyTrackQuestion = 86,
  kStateCopyFreq = 87,
  kStateCopyFreqTo = 88,
  kStateCopyFreqQuestion = 89,
  kStateFreqModeQuestion = 90,  // "CHANGING FREQMODE FOR " + name ... "IS THIS OK? N"
  kStateCopyGen = 91,
  kStateCopyGenTo = 92,
  kStateCopyGenQuestion = 93,
  kStateCopyFx = 94,
  kStateCopyFxTo = 95,
  kStateCopyFxQuestion = 96,
  kStateCopyEnv = 97,
  kStateCopyEnvTo = 98,
  kStateCopyEnvQuestion = 99,
  kStateCopyLoop = 100,
  kStateCopyLoopQuestion = 101,  // "COPY LOOP " + name + "..."
  kStateCopyLoopTo = 102,
  kStateCopyLoopOverwrite = 103,
  kStateCopyTrig = 104,
  kStateCopyTrigTo = 105,
  kStateCopyTrigQuestion = 106,
  kStateCopyTrackToLoop = 107,
  kStateCopyTrackToLoopTo = 108,
  kStateCopyTrackToAllLoops = 109,
  kStateCopyTrackToAllLoopsQuestion = 110,
  kStateClearTrack = 111,
  kStateClearTrackFirst = 112,
  kStateClearTrackLast = 113,
  kStateFillTrack = 114,
  kStateShiftTrack = 115,
  kStateShiftKeepQuestion = 116,
  kStateClearLoop = 117,
  kStateRenameLoop = 118,
  kStateRenameLoopName = 119,
  kStateCopyTrackToLoopQuestion = 120,
  kMenuTrackPageFirst = 121, // 121 + track: GEN, FX, ENV (or GEN, ENV) of that track
  kMenuTrackPageLast = 136,
  kStateGenPageLeaf = 137,
  kStateFxPageLeaf = 138,
  kStateEnvPageLeaf = 139,
  kStateClearTrackQuestion = 140,
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
