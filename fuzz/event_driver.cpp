#include "fuzz/event_driver.h"

#include <cmath>
#include <iterator>
#include <string>

#include "game/headless_host.h"
#include "game/input.h"
#include "game/letterbox.h"
#include "game/rules.h"
#include "tests/game_invariants.h"

namespace {

constexpr int kKeyCount = static_cast<int>(Key::other) + 1;

// Counter frequencies met in the wild: milliseconds, the old ACPI timer, nanoseconds, and
// two crystal rates.
constexpr uint64_t kFrequencies[] = {1000, 3579545, 1000000000, 24000000, 19200000};

constexpr WindowSize kNamedSizes[] = {
    {0, 0},     {1, 1},   {7680, 4320}, {800, 600}, {1600, 1200}, {1000, 600}, {799, 601},
    {577, 433}, {0, 600}, {800, 0},     {1, 4320},  {7680, 1},    {3, 2},      {1921, 1081},
};

// Longest stretch the setters give each timer, in seconds.
constexpr double kLongestCountdown = 3.0;
constexpr double kLongestInterlude = 2.4;
constexpr double kLongestPopup = 1.1;
constexpr double kLongestFlash = 2.2;
constexpr double kLongestLevelUp = 1.4;
constexpr double kLongestSpark = 0.75;

Key key_of(uint8_t byte) { return static_cast<Key>(byte % kKeyCount); }

bool is_finite_number(double v) { return std::isfinite(v); }

void note_progress(Session& s) {
  const GameState& g = s.state;
  if (g.level > s.deepest_level) s.deepest_level = g.level;
  const int screen = static_cast<int>(g.screen);
  if (screen >= 0 && screen < 4 && !g.title_screen) s.reached_screen[screen] = true;
  if (g.game_over) s.reached_game_over = true;
}

const char* finish_event(Session& s) {
  s.events += 1;
  return session_check(s);
}

void press(GameState& state, Key key) {
  on_key_down(state, key, false);
  on_key_up(state, key);
}

}  // namespace

WindowSize read_window_size(ByteReader& in) {
  const uint8_t kind = in.u8();
  switch (kind % 4) {
    case 0:
    case 1:
      return kNamedSizes[(kind / 4) % std::size(kNamedSizes)];
    case 2:  // anything a desktop could make, up to 8K and a bit
      return {in.u16() % 8193, in.u16() % 8193};
    default: {  // not a size SDL hands out, but the code must not care
      const int16_t w = static_cast<int16_t>(in.u16());
      const int16_t h = static_cast<int16_t>(in.u16());
      return {w, h};
    }
  }
}

void session_start(Session& session, ByteReader& in) {
  const uint32_t seed = in.u32();
  const uint8_t flags = in.u8();
  const uint64_t frequency = kFrequencies[(flags & 0x7) % std::size(kFrequencies)];
  const bool best_found = flags & 0x8;
  headless_host().has_sound_device = !(flags & 0x20);
  const int64_t stored = static_cast<int64_t>(in.u64());
  const uint8_t best_kind = in.u8();
  // Mostly values the store can hand over; sometimes anything at all.
  const int64_t offered = best_kind & 1 ? stored : stored % (kMaxBestScore + 2);

  GameState& g = session.state;
  start_program(g, seed, best_found, offered);
  session.stored_best = g.best_score;
  session.best_before = g.best_score;
  session.saves_before = headless_host().saves;
  g.tick_frequency = static_cast<int64_t>(frequency);
  headless_host().counter = static_cast<int64_t>(in.u64() >> 2);  // where the counter stood at start
  g.tick_last_count = headless_host().counter;
  session.period = frequency * 16 / 1000;
  if (flags & 0x10) press(g, Key::space);
  note_progress(session);
}

void session_tick(Session& session, uint64_t counts) {
  // The counter is a free-running 64-bit number: adding wraps, as the hardware's would.
  headless_host().counter = static_cast<int64_t>(static_cast<uint64_t>(headless_host().counter) + counts);
  tick(session.state);
  session.ticks += 1;
}

const char* session_autopilot(Session& session, int ticks, int aim_offset, bool dodge) {
  GameState& g = session.state;
  for (int i = 0; i < ticks; ++i) {
    if (g.title_screen || g.screen != Screen::play || g.game_over || g.paused) break;
    // The bed spans 55 px left to 4 px right of the catcher's centre; aim its middle.
    double target = g.item.x + 25 + aim_offset;
    if (dodge && g.item.is_meander) target = g.item.x < 400 ? g.item.x + 200 : g.item.x - 200;
    const bool go_left = target < g.player_x - 4;
    const bool go_right = target > g.player_x + 4;
    if (go_left != static_cast<bool>(g.left_held)) {
      if (go_left) {
        on_key_down(g, Key::left, false);
      } else {
        on_key_up(g, Key::left);
      }
    }
    if (go_right != static_cast<bool>(g.right_held)) {
      if (go_right) {
        on_key_down(g, Key::right, false);
      } else {
        on_key_up(g, Key::right);
      }
    }
    session_tick(session, session.period);
    if (const char* broken = finish_event(session)) return broken;
  }
  return nullptr;
}

const char* session_event(Session& session, ByteReader& in) {
  GameState& g = session.state;
  const uint8_t op = in.u8();
  switch (op % 16) {
    case 0:
    case 1: {
      const uint8_t k = in.u8();
      on_key_down(g, key_of(k), k & 0x80);
      break;
    }
    case 2:
      on_key_up(g, key_of(in.u8()));
      break;
    case 3: {
      const int16_t x = static_cast<int16_t>(in.u16());
      const int16_t y = static_cast<int16_t>(in.u16());
      const WindowSize window = read_window_size(in);
      const bool game_over_before = g.game_over;
      const Screen screen_before = g.screen;
      const bool taken = on_click(g, x, y, window.width, window.height);
      // Clicks belong to the game exactly on the quiz screens and after game over.
      if (taken != (screen_before != Screen::play || game_over_before)) return "click taken on the wrong screen";
      if (taken) session.clicks_taken += 1;
      break;
    }
    case 4:
      on_focus_gained(g);
      break;
    case 5:
      on_focus_lost(g);
      break;
    case 6:
    case 7:  // up to a quarter of a second, a slow frame
      session_tick(session, in.u8() * g.tick_frequency / 1000);
      break;
    case 8:  // up to a minute: the window dragged, the machine busy
      session_tick(session, static_cast<uint64_t>(in.u16()) * g.tick_frequency / 1000);
      break;
    case 9:  // any jump at all, backwards included: a suspended machine, a broken clock
      session_tick(session, in.u64());
      break;
    case 10:
    case 11: {  // a stretch of ordinary 16 ms ticks
      const int count = in.u8() + 1;
      for (int i = 0; i < count; ++i) {
        session_tick(session, session.period);
        if (const char* broken = finish_event(session)) return broken;
      }
      return nullptr;
    }
    case 12:
    case 13: {
      const int ticks = (in.u8() + 1) * 4;
      const uint8_t aim = in.u8();
      return session_autopilot(session, ticks, static_cast<int8_t>(aim) / 4, aim & 1);
    }
    case 14:
      press(g, key_of(in.u8()));
      break;
    default: {
      const WindowSize window = read_window_size(in);
      const uint8_t choice = in.u8();
      if (const char* broken = check_letterbox(window)) return broken;
      if (session.frame_hook != nullptr) {
        session.frame_hook(g, window, choice, session.frame_context);
        session.frames += 1;
      }
      break;
    }
  }
  return finish_event(session);
}

const char* session_check(Session& session) {
  note_progress(session);
  const GameState& g = session.state;
  static std::string last;  // kept so the message outlives this call
  last = check_invariants(g);
  if (!last.empty()) return last.c_str();

  for (double v : {g.player_x, g.item.x, g.item.y, g.item.fall_speed, g.countdown, g.level_complete_timer,
                   g.popup_timer, g.connect_flash_timer, g.level_up_timer, g.play_clock}) {
    if (!is_finite_number(v)) return "a position or timer is not a finite number";
  }
  for (const Particle& p : g.particles) {
    if (!is_finite_number(p.x) || !is_finite_number(p.y) || !is_finite_number(p.vx) || !is_finite_number(p.vy) ||
        !is_finite_number(p.life)) {
      return "a spark is not at a finite place";
    }
    if (p.life > kLongestSpark) return "a spark lives longer than any burst gives";
  }
  // Time only runs forward: no timer may grow past the value its setter gives it, the
  // falling item never rises, and the clock of the scene never runs back.
  if (g.countdown > kLongestCountdown) return "the countdown grew";
  if (g.level_complete_timer > kLongestInterlude) return "the interlude grew";
  if (g.popup_timer > kLongestPopup) return "the popup timer grew";
  if (g.connect_flash_timer > kLongestFlash) return "the flash timer grew";
  if (g.level_up_timer > kLongestLevelUp) return "the level-up timer grew";
  if (g.item.y < kItemSpawnY) return "the falling item rose above where items appear";
  if (g.play_clock < 0) return "the scene clock ran backwards";

  if (g.best_score < session.best_before) return "the best score went down";
  if (g.best_score < session.stored_best) return "the best score fell below the stored one";
  const HeadlessHost& host = headless_host();
  if (g.best_score > session.best_before && host.saves == session.saves_before) return "a new best was not saved";
  if (host.saves != session.saves_before && host.last_saved != g.best_score) return "the saved best is not the best";
  if (!host.saves_rose) return "a save did not raise the stored best";
  session.best_before = g.best_score;
  session.saves_before = host.saves;
  return nullptr;
}

const char* check_letterbox(WindowSize window) {
  const Letterbox box = letterbox_for(window.width, window.height);
  if (window.width <= 0 || window.height <= 0) {
    if (box.scale > 0 || box.width != 0 || box.height != 0) return "an empty window got a field";
    if (field_point_of_click(0, 0, window.width, window.height).inside_window) return "a click landed in no window";
    return nullptr;
  }
  if (!(box.scale > 0) || !is_finite_number(box.scale)) return "a window got no scale";
  if (box.width < 0 || box.height < 0) return "negative field size";
  if (box.x < 0 || box.y < 0 || box.x + box.width > window.width || box.y + box.height > window.height) {
    return "the field spills out of the window";
  }
  // Scaled to fit: it fills the window in one direction, up to a pixel of rounding.
  if (box.width < window.width - 1 && box.height < window.height - 1) return "the field does not fill the window";
  // Uniform: the 4:3 shape survives the scaling, up to a pixel each way.
  if (std::abs(box.width * 3 - box.height * 4) > 7) return "the field is stretched";
  const FieldPoint centre = field_point_of_click(window.width / 2, window.height / 2, window.width, window.height);
  if (!centre.inside_window) return "a click in a window was lost";
  // Half a window pixel of rounding is up to half a field pixel per scale step.
  const double slack = 1 + 0.5 / box.scale;
  if (std::abs(centre.x - 400) > slack || std::abs(centre.y - 300) > slack)
    return "the window's middle is not the field's";
  return nullptr;
}
