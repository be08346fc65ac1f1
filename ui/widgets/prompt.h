// The one prompt: a message, a yes/no question or a value, in the centred message box.
#pragma once

#include <initializer_list>

namespace zorbel {

constexpr int kPromptCapacity = 64;

// A prompt's text, built piece by piece in a fixed buffer; what does not fit is dropped.
class PromptText {
 public:
  explicit PromptText(const char* start = "");
  PromptText& add(const char* text);
  // Decimal digits, padded on the left with pad to at least width characters.
  PromptText& add_int(int value, int width = 0, char pad = ' ');
  // value rounded to decimals digits after the point; the integer part (at least one digit) is
  // blank-padded on the left to int_width characters. 120 with (3, 2) gives "120.00".
  PromptText& add_fixed(float value, int int_width, int decimals);
  // text without its trailing blanks (names stored blank-padded).
  PromptText& add_trimmed(const char* text);
  // text blank-padded or cut to exactly width characters.
  PromptText& add_padded(const char* text, int width);
  const char* c_str() const { return text_; }
  int length() const { return length_; }

 private:
  char text_[kPromptCapacity];
  int length_ = 0;
};

// Text in the message box in the active menu text colour.
void show_prompt(const char* text);
// label, then " ON" or "OFF" after one blank: "APAD ALWAYS JUMP 8:  ON".
void show_on_off_prompt(const char* label, bool on);
// label, then value blank-padded to width: "SEQLEN:  8".
void show_number_prompt(const char* label, int value, int width);

// ---- Number fields ---------------------------------------------------------------------------

// +1 while D-UP is held, -1 while D-DN is (D-UP wins when both are).
int dpad_direction();
// -1, 0 or +1: the direction of a drag with the left button in this tick (up raises).
int left_drag_direction();
// The two together: how a value prompt moves.
int value_keys_direction();

// A number prompt whose value stays within lo..hi.
struct NumberField {
  const char* label;
  int value;
  int lo;
  int hi;
  int width;  // the value is blank-padded to this many characters
};
void show_number_field(const NumberField& field);
// Moves the value by value_keys_direction() and redraws it; true when it changed.
bool number_field_keys(NumberField& field);

// ---- Yes/no questions ------------------------------------------------------------------------
// One question is on screen at a time: its text followed by " Y" or " N".
void ask_question(const char* question, bool yes);
// The same question under up to kQuestionLinesAbove lines that explain it, in one box.
constexpr int kQuestionLinesAbove = 2;
void ask_question_below(std::initializer_list<const char*> lines_above, const char* question,
                        bool yes);
bool question_answer();

enum class QuestionKey {
  kNone,
  kToggled,    // D-UP or D-DN flipped the answer, already redrawn
  kConfirmed,  // X or D-RT: act on question_answer()
  kBack,       // O or D-LT
  kClose,      // START
};
// The keys of a question screen, checked in that order.
QuestionKey question_keys();

// ---- Choices -----------------------------------------------------------------------------------
// A question whose answers are words ("NO"/"YES", "STEP"/"LOOP"/"SONG"): its text, a blank and
// the chosen answer, padded to the longest answer so the box keeps one width. answers must live
// as long as the choice is on screen.

void ask_choice(const char* question, const char* const* answers, int count, int chosen);
int choice_answer();
// As question_keys(): D-UP takes the next answer and D-DN the previous one, both wrapping.
QuestionKey choice_keys();

}  // namespace zorbel
