#include "tests/game_invariants.h"

#include <algorithm>
#include <iterator>

namespace {

bool is_flag(int32_t v) { return v == 0 || v == 1; }

template <int N>
bool is_permutation_of_range(const int32_t (&a)[N]) {
  bool seen[N] = {};
  for (int v : a) {
    if (v < 0 || v >= N || seen[v]) return false;
    seen[v] = true;
  }
  return true;
}

bool is_volume(int32_t v) { return v >= 0 && v <= 100 && v % kVolumeStep == 0; }

}  // namespace

std::string check_options(const PlayerOptions& o, int32_t music_muted) {
  if (!is_volume(o.music_volume) || !is_volume(o.effects_volume)) return "volume off its steps";
  if (std::find(std::begin(kSpeedSteps), std::end(kSpeedSteps), o.speed) == std::end(kSpeedSteps)) return "speed off its steps";
  if (!is_flag(o.reduced_motion) || !is_flag(music_muted)) return "option flag not 0 or 1";
  for (int a = 0; a < kActionCount; ++a) {
    if (!key_free_for(o, static_cast<Action>(a), o.keys[a].text)) return "a key taken twice, or one kept";
  }
  return "";
}

std::string check_invariants(const GameState& s) {
  if ((s.game_over == 1) != (s.lives == 0)) return "game_over must match lives == 0";
  if (s.lives < 0) return "negative lives";
  if (s.score < 0 || s.level_points < 0 || s.level < 0) return "negative progress";
  if (s.best_score < s.score && !s.assisted_game) return "best below score";
  if (s.connected < 0 || s.connected > 12) return "connected out of range";
  if (s.connected == 12 && !s.level_complete && s.screen == Screen::play) return "12 connected outside the checkpoint";
  if (s.cargo_count < 0 || s.cargo_count > 11) return "bed overfull";
  if (!(s.player_x >= 60 && s.player_x <= 740)) return "catcher off the field";
  if (!is_permutation_of_range(s.question_order)) return "question order broken";
  if (!is_permutation_of_range(s.option_order)) return "option order broken";
  if (s.current_question < 0 || s.current_question > 5) return "question out of range";
  for (int32_t f : {s.title_screen, s.game_over, s.paused, s.has_focus, s.music_muted, s.level_complete, s.left_held,
                    s.right_held, s.item.is_meander, s.item.is_gold, s.options_open, s.options_waiting_key,
                    s.options_refused, s.assisted_game}) {
    if (!is_flag(f)) return "flag not 0 or 1";
  }
  if (s.item.is_meander && s.item.is_gold) return "gold meander";
  if (s.item.x < 28 || s.item.x > 759) return "item spawned off the field";
  const int screen = static_cast<int>(s.screen);
  if (screen < 0 || screen > 3) return "unknown screen";
  if (s.title_screen && (s.screen != Screen::play || s.score != 0)) return "title over a game";
  if (s.options_open && !s.title_screen && !(s.paused && s.screen == Screen::play)) return "options over a running game";
  if (s.options_row < 0 || s.options_row >= kOptionRowCount) return "options row out of range";
  if (const std::string wrong = check_options(s.options, s.music_muted); !wrong.empty()) return wrong;
  if (s.options.speed != kFullSpeed && !s.assisted_game && !s.title_screen) return "a slower game counted as full speed";
  return "";
}
