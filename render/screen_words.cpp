#include "render/screen_words.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "game/options.h"
#include "game/quiz.h"
#include "render/shown_texts.h"

namespace {

// The field shows the devices as lamps, not as a number: the words say it.
constexpr char kConnectedFormat[] = "Devices connected: %d of %d";

// Bounded like format_text: a text too long for its line is cut, never overrun.
__attribute__((format(printf, 3, 4))) void put(char* out, int capacity, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int wanted = std::vsnprintf(out, static_cast<size_t>(capacity), format, args);
  va_end(args);
  if (wanted < 0) out[0] = '\0';
}

// One more line of what the screen says; lines beyond the last slot are dropped.
__attribute__((format(printf, 2, 3))) void add_line(ScreenWords& words, const char* format, ...) {
  if (words.line_count >= kWordsMaxLines) return;
  char* out = words.lines[words.line_count++];
  va_list args;
  va_start(args, format);
  if (std::vsnprintf(out, kWordsLineCapacity, format, args) < 0) out[0] = '\0';
  va_end(args);
}

void add_button(ScreenWords& words, char key, const char* label) {
  if (words.button_count >= kWordsMaxButtons) return;
  WordsButton& button = words.buttons[words.button_count++];
  put(button.label, kWordsLineCapacity, "%s", label);
  button.key = key;
}

const QuizQuestion& question_of(const GameState& state) {
  const int n = state.current_question;
  return kQuizBank[n >= 0 && n < kQuestionCount ? n : 0];
}

// Over the title or a paused field: the rows with their values; the keys change them.
void describe_options(ScreenWords& words, const GameState& state, bool touch_controls) {
  add_line(words, "%s", kOptionsHeading);
  for (int row = 0; row < kOptionRowCount; ++row) {
    char value[kWordsLineCapacity];
    format_option_value(value, kWordsLineCapacity, state, row);
    add_line(words, value[0] ? "%s%s: %s" : "%s%s", row == state.options_row ? "> " : "", kOptionRowLabels[row], value);
  }
  const OptionsFoot foot = options_foot(state, touch_controls);
  add_line(words, "%s", foot.hint);
  add_line(words, "%s", foot.leave);
  // The chosen row and its value are news: a listener hears each change as it is made.
  const int chosen = std::clamp(state.options_row, 0, kOptionRowCount - 1);
  put(words.news, sizeof words.news, "%s. %s", kOptionsHeading, words.lines[1 + chosen] + 2);
  if (state.options_refused) put(words.news, sizeof words.news, "%s. %s", kOptionsHeading, kOptionsRefused);
}

void describe_title(ScreenWords& words, bool touch) {
  add_line(words, "%s %s", kTitleName, kTitleRush);
  add_line(words, "%s %s", kTitleMotto1, kTitleMotto2);
  add_line(words, "%s: %s", kTitleRedName, kTitleRedRule);
  add_line(words, "%s: %s", kTitleGoldName, kTitleGoldRule);
  add_line(words, "%s: %s", kTitleMeanderName, kTitleMeanderRule);
  add_line(words, "%s: %s", kTitleMission, kTitleMissionText);
  add_line(words, "%s", kTitleQuizRule);
  add_line(words, "%s", touch ? kTitleTouchHelp1 : kTitleHelp1);
  add_line(words, "%s", touch ? kTitleTouchHelp2 : kTitleHelp2);
  const char* play = touch ? kTitleTouchPlay : kTitlePlay;
  add_button(words, ' ', play);
  put(words.news, sizeof words.news, "%s %s. %s", kTitleName, kTitleRush, play);
}

void describe_question(ScreenWords& words, const GameState& state) {
  const QuizQuestion& question = question_of(state);
  char checkpoint[kWordsLineCapacity];
  put(checkpoint, kWordsLineCapacity, kCheckpointFormat, state.level + 2);
  add_line(words, "%s", checkpoint);
  add_line(words, kLivesFormat, state.lives);
  add_line(words, "%s", question.text);
  add_line(words, "%s", kQuizHint);
  add_line(words, "%s", kQuizRules);
  for (int k = 0; k < kOptionCount; ++k) {
    const int option = state.option_order[k];
    char label[kWordsLineCapacity];
    put(label, kWordsLineCapacity, "%c: %s", 'A' + k,
        option >= 0 && option < kOptionCount ? question.options[option] : "");
    add_button(words, static_cast<char>('a' + k), label);
  }
  put(words.news, sizeof words.news, "%s. %s", checkpoint, question.text);
}

void describe_correct(ScreenWords& words, const GameState& state) {
  const QuizQuestion& question = question_of(state);
  add_line(words, "%s", kCorrectHeading);
  add_line(words, "%s", question.explanation);
  add_line(words, kCorrectReadyFormat, state.level + 2);
  add_button(words, ' ', kCorrectContinue);
  put(words.news, sizeof words.news, "%s. %s", kCorrectHeading, question.explanation);
}

// What a lost question and a lost game both offer: the course and the book.
void add_course_and_book(ScreenWords& words, const char* why, const char* course, const char* book) {
  add_line(words, "%s", why);
  add_line(words, "%s", kFreeCourse);
  add_line(words, "%s", kExploreBook);
  add_line(words, "%s", kBookTitle);
  add_button(words, 'o', course);
  add_button(words, 'b', book);
}

void describe_wrong(ScreenWords& words, const GameState& state) {
  const char* heading = state.game_over ? kWrongGameOverHeading : kWrongHeading;
  char lives[kWordsLineCapacity];
  put(lives, kWordsLineCapacity, kWrongLivesFormat, state.lives);
  add_line(words, "%s", heading);
  add_course_and_book(words, kWrongCourseText, kWrongCourseCaption, kWrongBookCaption);
  add_line(words, "%s", lives);
  add_button(words, 'r', state.game_over ? kWrongNewGame : kWrongRetry);
  put(words.news, sizeof words.news, "%s. %s", heading, lives);
}

// The game-over panel hides every other overlay, as on the field.
void describe_game_over(ScreenWords& words, const GameState& state, bool touch) {
  char score[kWordsLineCapacity];
  put(score, kWordsLineCapacity, kGameOverScoreFormat, state.score, state.best_score);
  add_line(words, "%s", kGameOver);
  add_line(words, "%s", score);
  add_course_and_book(words, kGameOverCourseText, kGameOverCourseCaption, kGameOverBookCaption);
  add_line(words, "%s", touch ? kGameOverAgainByTouch : kGameOverAgainByKey);
  add_button(words, 'r', kWrongNewGame);
  put(words.news, sizeof words.news, "%s. %s", kGameOver, score);
}

void describe_field(ScreenWords& words, const GameState& state, bool touch) {
  char lives[kWordsLineCapacity], level[kWordsLineCapacity];
  put(lives, kWordsLineCapacity, kLivesFormat, state.lives);
  put(level, kWordsLineCapacity, kHudLevelFormat, state.level + 1);
  add_line(words, "%s", kGameName);
  add_line(words, kHudScoreFormat, state.score);
  add_line(words, "%s", lives);
  add_line(words, "%s", level);
  add_line(words, kHudBestFormat, state.best_score);
  add_line(words, kConnectedFormat, state.connected, kDevicesPerLevel);
  if (state.game_over) {
    describe_game_over(words, state, touch);
    return;
  }
  // The overlays in the order they are stacked on the field; the news names the uppermost.
  const char* news = nullptr;
  if (state.popup_timer > 0 && state.popup_kind == Popup::lost_life) add_line(words, "%s", kMeanderWarning);
  if (state.level_up_timer > 0) add_line(words, kLevelUpFormat, state.level + 1);
  if (state.level_complete) {
    add_line(words, "%s", kConnectedHeading);
    add_line(words, "%s", kConnectedText);
    news = kConnectedHeading;
  }
  if (state.countdown > 0 && !state.paused) {
    add_line(words, "%s", kGetReady);
    news = kGetReady;
  }
  if (state.paused || !state.has_focus) {
    const char* resume = !state.has_focus ? kResumeWithoutFocus : touch ? kResumeByTouch : kResumeByKey;
    add_line(words, "%s", kPaused);
    add_line(words, "%s", resume);
    if (state.has_focus) add_button(words, ' ', resume);
    news = kPaused;
  }
  char help[kWordsLineCapacity];
  format_hud_help(help, kWordsLineCapacity, state, touch);
  add_line(words, "%s", help);
  add_line(words, "%s", kHudLegend);
  if (news == kConnectedHeading) {
    put(words.news, sizeof words.news, "%s %s", kConnectedHeading, kConnectedText);
  } else if (news) {
    put(words.news, sizeof words.news, "%s. %s. %s", news, level, lives);
  } else {
    put(words.news, sizeof words.news, "%s. %s", level, lives);
  }
}

}  // namespace

void describe_screen(ScreenWords& words, const GameState& state, bool touch_controls) {
  words.line_count = 0;
  words.button_count = 0;
  words.news[0] = '\0';
  if (state.options_open) {
    describe_options(words, state, touch_controls);
  } else if (state.title_screen) {
    describe_title(words, touch_controls);
  } else if (state.screen == Screen::question) {
    describe_question(words, state);
  } else if (state.screen == Screen::correct) {
    describe_correct(words, state);
  } else if (state.screen == Screen::wrong) {
    describe_wrong(words, state);
  } else {
    describe_field(words, state, touch_controls);
  }
}

bool same_words(const ScreenWords& a, const ScreenWords& b) {
  if (a.line_count != b.line_count || a.button_count != b.button_count || std::strcmp(a.news, b.news) != 0) {
    return false;
  }
  for (int i = 0; i < a.line_count; ++i) {
    if (std::strcmp(a.lines[i], b.lines[i]) != 0) return false;
  }
  for (int i = 0; i < a.button_count; ++i) {
    if (a.buttons[i].key != b.buttons[i].key || std::strcmp(a.buttons[i].label, b.buttons[i].label) != 0) return false;
  }
  return true;
}

OptionsFoot options_foot(const GameState& state, bool touch_controls) {
  const char* leave = touch_controls ? kOptionsTouchLeave : kOptionsLeave;
  if (state.options_refused) return {kOptionsRefused, leave};
  if (state.options_waiting_key) return {touch_controls ? kOptionsTouchWaiting : kOptionsWaiting, leave};
  return {touch_controls ? kOptionsTouchHint : kOptionsHint, leave};
}

void format_hud_help(char* out, int capacity, const GameState& state, bool touch_controls) {
  const KeyName* keys = state.options.keys;
  if (!touch_controls && !std::equal(keys, keys + kActionCount, PlayerOptions{}.keys)) {
    std::snprintf(out, capacity, "%s/%s: move   %s: pause   %s: restart   %s: music   Esc: exit", keys[0].text,
                  keys[1].text, keys[2].text, keys[3].text, keys[4].text);
  } else {
    std::snprintf(out, capacity, "%s", touch_controls ? kHudTouchHelp : kHudHelp);
  }
}

void format_option_value(char* out, int capacity, const GameState& state, int row) {
  const PlayerOptions& o = state.options;
  const bool waiting = state.options_waiting_key && row == state.options_row;
  switch (static_cast<OptionRow>(row)) {
    case OptionRow::music_volume:
      std::snprintf(out, capacity, "%d %%", o.music_volume);
      break;
    case OptionRow::effects_volume:
      std::snprintf(out, capacity, "%d %%", o.effects_volume);
      break;
    case OptionRow::speed:
      std::snprintf(out, capacity, "%d %%", o.speed);
      break;
    case OptionRow::reduced_motion:
      std::snprintf(out, capacity, "%s", o.reduced_motion ? "On" : "Off");
      break;
    case OptionRow::reset_keys:
    case OptionRow::done:
      out[0] = '\0';
      break;
    default:
      std::snprintf(out, capacity, "%s",
                    waiting ? "press a key..." : o.keys[row - static_cast<int>(OptionRow::key_left)].text);
      break;
  }
}
