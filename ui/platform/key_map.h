// The console buttons and the keys that stand in for them.
#pragma once

namespace zorbel {

// Key symbols as SDL 1.2 numbers them; the key state snapshot is indexed by these.
enum KeySym : int {
  kKeyBackspace = 8,
  kKeyReturn = 13,
  kKeyEscape = 27,
  kKeyDelete = 127,
  kKeySlash = 47,    // START
  kKeyPeriod = 46,   // SELECT
  kKey0 = 48,
  kKey2 = 50,        // L-TR
  kKey7 = 55,        // R-TR
  kKey8 = 56,
  kKey9 = 57,
  kKeyA = 97,        // A-LT
  kKeyD = 100,       // A-RT
  kKeyG = 103,       // SQ
  kKeyH = 104,       // X
  kKeyJ = 106,       // O
  kKeyS = 115,       // A-DN
  kKeyW = 119,       // A-UP
  kKeyY = 121,       // TRI
  kKeyUp = 273,      // D-UP
  kKeyDown = 274,    // D-DN
  kKeyRight = 275,   // D-RT
  kKeyLeft = 276,    // D-LT
  kKeyPadEnter = 271,
  kKeyRShift = 303,
  kKeyLShift = 304,
  kKeyZ = 122,       // with Ctrl: undo
  kKeyRightCtrl = 305,
  kKeyLeftCtrl = 306,
};

// The letter and digit keys: SDL 1.2 gives a letter key its lower-case code whatever the shift.
constexpr int kKeyLetterFirst = 97;   // a
constexpr int kKeyLetterLast = 122;   // z
constexpr int kKeyDigitFirst = 48;    // 0
constexpr int kKeyDigitLast = 57;     // 9

// The console buttons by the names the help texts use.
constexpr int kBtnDUp = kKeyUp;
constexpr int kBtnDDn = kKeyDown;
constexpr int kBtnDRt = kKeyRight;
constexpr int kBtnDLt = kKeyLeft;
constexpr int kBtnAUp = kKeyW;
constexpr int kBtnADn = kKeyS;
constexpr int kBtnALt = kKeyA;
constexpr int kBtnARt = kKeyD;
constexpr int kBtnX = kKeyH;
constexpr int kBtnO = kKeyJ;
constexpr int kBtnSq = kKeyG;
constexpr int kBtnTri = kKeyY;
constexpr int kBtnLTr = kKey2;
constexpr int kBtnRTr = kKey7;
constexpr int kBtnStart = kKeySlash;
constexpr int kBtnSelect = kKeyPeriod;

// Entries of the key state snapshot (SDL 1.2 has fewer key symbols than this).
constexpr int kKeySymbolCount = 512;
// Entries copied into the previous key state at the end of an acting tick.
constexpr int kPreviousKeyCount = 1000 < kKeySymbolCount ? 1000 : kKeySymbolCount;

// The key of a button name as the help texts write it ("X", "L-TR", "D-UP", ...), plus "ESC",
// "SHIFT", "RETURN", "BACKSPACE", "DELETE", a lower-case letter for its letter key ("z") and a digit for
// its digit key ("3"); -1 for an unknown name.
int key_for_button_name(const char* name);

}  // namespace zorbel
