// The one prompt: texts built in place, shown in the message box; the yes/no question keys.
#include "ui/prompt.h"

#include <cmath>
#include <cstring>

#include "files/colour_scheme.h"
#include "ui/input.h"
#include "ui/message_box.h"
#include "ui/number_text.h"

namespace zorbel {

PromptText::PromptText(const char* start) {
  text_[0] = '\0';
  add(start);
}

PromptText& PromptText::add(const char* text) {
  if (!text) return *this;
  while (*text && length_ < kPromptCapacity - 1) text_[length_++] = *text++;
  text_[length_] = '\0';
  return *this;
}

PromptText& PromptText::add_int(int value, int width, char pad) {
  char digits[kIntTextCapacity];
  int_to_text(value, digits, 10);
  const char pad_text[2] = {pad, '\0'};
  for (int n = static_cast<int>(std::strlen(digits)); n < width; ++n) add(pad_text);
  return add(digits);
}

PromptText& PromptText::add_fixed(float value, int int_width, int decimals) {
  int scale = 1;
  for (int d = 0; d < decimals; ++d) scale *= 10;
  const bool negative = value < 0.0f;
  // Rounded once as a whole, so 99.999 shows as 100.00 rather than 99.100.
  const long scaled = std::lround(std::fabs(static_cast<double>(value)) * scale);
  const int whole = static_cast<int>(scaled / scale);
  const int fraction = static_cast<int>(scaled % scale);
  char digits[kIntTextCapacity];
  int_to_text(whole, digits, 10);
  for (int n = static_cast<int>(std::strlen(digits)) + (negative ? 1 : 0); n < int_width; ++n)
    add(" ");
  if (negative) add("-");
  add(digits);
  if (decimals > 0) {
    add(".");
    add_int(fraction, decimals, '0');
  }
  return *this;
}

PromptText& PromptText::add_trimmed(const char* text) {
  if (!text) return *this;
  int n = static_cast<int>(std::strlen(text));
  while (n > 0 && text[n - 1] == ' ') --n;
  for (int i = 0; i < n && length_ < kPromptCapacity - 1; ++i) text_[length_++] = text[i];
  text_[length_] = '\0';
  return *this;
}

PromptText& PromptText::add_padded(const char* text, int width) {
  const int n = text ? static_cast<int>(std::strlen(text)) : 0;
  for (int i = 0; i < width && length_ < kPromptCapacity - 1; ++i)
    text_[length_++] = i < n ? text[i] : ' ';
  text_[length_] = '\0';
  return *this;
}

void show_prompt(const char* text) {
  show_message(text, colour_scheme.active[kSlotActiveMenuText]);
}

void show_on_off_prompt(const char* label, bool on) {
  show_prompt(PromptText(label).add(on ? "  ON" : " OFF").c_str());
}

void show_number_prompt(const char* label, int value, int width) {
  show_prompt(PromptText(label).add_int(value, width).c_str());
}

namespace {

struct Question {
  char text[kPromptCapacity] = {};
  const char* yes_text = " Y";
  const char* no_text = " N";
  bool yes = false;
};

Question question;

void draw_question() {
  show_prompt(PromptText(question.text).add(question.yes ? question.yes_text : question.no_text).c_str());
}

}  // namespace

void ask_choice(const char* text, const char* yes_text, const char* no_text, bool yes) {
  std::strncpy(question.text, text ? text : "", kPromptCapacity - 1);
  question.text[kPromptCapacity - 1] = '\0';
  question.yes_text = yes_text;
  question.no_text = no_text;
  question.yes = yes;
  draw_question();
}

void ask_question(const char* text, bool yes) { ask_choice(text, " Y", " N", yes); }

bool question_answer() { return question.yes; }

QuestionKey question_keys() {
  if (button_pressed(kBtnDUp) || button_pressed(kBtnDDn)) {
    question.yes = !question.yes;
    draw_question();
    return QuestionKey::kToggled;
  }
  if (button_pressed(kBtnX) || button_pressed(kBtnDRt)) return QuestionKey::kConfirmed;
  if (button_pressed(kBtnO) || button_pressed(kBtnDLt)) return QuestionKey::kBack;
  if (button_pressed(kBtnStart)) return QuestionKey::kClose;
  return QuestionKey::kNone;
}

}  // namespace zorbel
