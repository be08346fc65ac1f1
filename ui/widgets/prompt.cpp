// The one prompt: texts built in place, shown in the message box; the yes/no question keys.
#include "ui/widgets/prompt.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "files/colour_scheme.h"
#include "ui/platform/input.h"
#include "ui/widgets/list_view.h"
#include "ui/draw/message_box.h"
#include "ui/draw/number_text.h"

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

int dpad_direction() {
  if (button_held(kBtnDUp)) return 1;
  if (button_held(kBtnDDn)) return -1;
  return 0;
}

int left_drag_direction() {
  if (!mouse_left_held()) return 0;
  const int pixels = mouse_drag_pixels();
  return (pixels > 0) - (pixels < 0);
}

int value_keys_direction() { return dpad_direction() + left_drag_direction(); }

void show_number_field(const NumberField& field) {
  show_number_prompt(field.label, field.value, field.width);
}

bool number_field_keys(NumberField& field) {
  const int next = std::clamp(field.value + value_keys_direction(), field.lo, field.hi);
  if (next == field.value) return false;
  field.value = next;
  show_number_field(field);
  return true;
}

namespace {

struct Question {
  char text[kPromptCapacity] = {};
  char above[kQuestionLinesAbove][kPromptCapacity] = {};
  int above_count = 0;
  bool yes = false;
};

Question question;

void copy_line(char* to, const char* from) {
  std::strncpy(to, from ? from : "", kPromptCapacity - 1);
  to[kPromptCapacity - 1] = '\0';
}

void draw_question() {
  const PromptText last =
      PromptText(question.text).add(question.yes ? " Y" : " N");
  if (question.above_count == 0) return show_prompt(last.c_str());
  // Several lines go into one box as a list without a highlight, all in the prompt colour.
  const char* lines[kQuestionLinesAbove + 1];
  int width = last.length();
  for (int i = 0; i < question.above_count; ++i) {
    lines[i] = question.above[i];
    width = std::max(width, static_cast<int>(std::strlen(question.above[i])));
  }
  lines[question.above_count] = last.c_str();
  char list[list_bytes(kPromptCapacity, kQuestionLinesAbove + 1)];
  if (fill_list(list, sizeof list, width, lines, question.above_count + 1))
    draw_menu(list, kListCentred, kNoHighlight);
}

void start_question(std::initializer_list<const char*> lines_above, const char* text, bool yes) {
  copy_line(question.text, text);
  question.above_count = 0;
  for (const char* line : lines_above) {
    if (question.above_count == kQuestionLinesAbove) break;
    copy_line(question.above[question.above_count++], line);
  }
  question.yes = yes;
  draw_question();
}

}  // namespace

void ask_question(const char* text, bool yes) { start_question({}, text, yes); }

void ask_question_below(std::initializer_list<const char*> lines_above, const char* text,
                        bool yes) {
  start_question(lines_above, text, yes);
}

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

namespace {

struct Choice {
  char text[kPromptCapacity] = {};
  const char* const* answers = nullptr;
  int count = 0;
  int chosen = 0;
  int width = 0;  // characters of the longest answer
};

Choice choice;

void draw_choice() {
  if (!choice.answers) return;
  show_prompt(PromptText(choice.text).add(" ").add_padded(choice.answers[choice.chosen], choice.width).c_str());
}

}  // namespace

void ask_choice(const char* text, const char* const* answers, int count, int chosen) {
  std::strncpy(choice.text, text ? text : "", kPromptCapacity - 1);
  choice.text[kPromptCapacity - 1] = '\0';
  choice.answers = count > 0 ? answers : nullptr;
  choice.count = count;
  choice.chosen = count > 0 && chosen >= 0 && chosen < count ? chosen : 0;
  choice.width = 0;
  for (int i = 0; i < count; ++i)
    choice.width = std::max(choice.width, static_cast<int>(std::strlen(answers[i])));
  draw_choice();
}

int choice_answer() { return choice.chosen; }

QuestionKey choice_keys() {
  const int step = button_pressed(kBtnDUp) ? 1 : (button_pressed(kBtnDDn) ? -1 : 0);
  if (step != 0 && choice.count > 0) {
    choice.chosen = (choice.chosen + step + choice.count) % choice.count;
    draw_choice();
    return QuestionKey::kToggled;
  }
  if (button_pressed(kBtnX) || button_pressed(kBtnDRt)) return QuestionKey::kConfirmed;
  if (button_pressed(kBtnO) || button_pressed(kBtnDLt)) return QuestionKey::kBack;
  if (button_pressed(kBtnStart)) return QuestionKey::kClose;
  return QuestionKey::kNone;
}

}  // namespace zorbel
