// The frame key decides when a frame is not composed again, so it must see every change a
// player could see: any change of what the painters read that changes the picture changes
// the key, and states with equal keys draw the very same picture. Long random sessions at
// every scale the game draws at then show every frame twice, composed whole from scratch
// and only where it changed, as the window does, and compare them pixel for pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "game/input.h"
#include "game/quiz.h"
#include "game/rules.h"
#include "render/frame_key.h"
#include "render/painters.h"
#include "tests/fake_host.h"
#include "tests/render_test_support.h"

namespace {

using Raster = std::vector<uint32_t>;

Raster raster_of(const Canvas& canvas) {
  cairo_surface_flush(canvas.surface);
  const auto* data = cairo_image_surface_get_data(canvas.surface);
  const int stride = cairo_image_surface_get_stride(canvas.surface);
  Raster pixels(static_cast<size_t>(kFieldWidth) * kFieldHeight);
  for (int y = 0; y < kFieldHeight; ++y) {
    std::memcpy(&pixels[static_cast<size_t>(y) * kFieldWidth], data + static_cast<ptrdiff_t>(y) * stride,
                kFieldWidth * sizeof(uint32_t));
  }
  return pixels;
}

// Every frame composed whole: the picture a frame must show.
Raster plain_picture(const GameState& state) {
  Canvas& canvas = test_canvas();
  compose_frame(canvas, state);
  return raster_of(canvas);
}

// The second canvas, for the window's way: its own layouts and frame memory.
Canvas& window_canvas() {
  static Canvas* canvas = [] {
    auto* made = new Canvas;
    if (!canvas_create(*made)) ADD_FAILURE() << "the second canvas could not be made";
    std::atexit([] {
      canvas_destroy(*canvas);
      delete canvas;
    });
    return made;
  }();
  return *canvas;
}

GameState field_state(int level, int connected) {
  GameState s = play_state();
  s.level = level;
  s.connected = connected;
  s.level_points = connected;
  s.score = 40 + connected;
  s.best_score = 75;
  s.play_clock = 12.25;
  s.player_x = 300.5;
  s.item = {500.5, 250.5, 200, 0, 0};
  s.cargo_count = 5;
  s.cargo[1] = 1;
  return s;
}

GameState quiz_state(Screen screen) {
  GameState s = play_state();
  s.screen = screen;
  s.level = 2;
  s.current_question = 1;
  s.option_order[0] = 2;
  s.option_order[2] = 0;
  return s;
}

struct Named {
  std::string name;
  GameState state;
};

std::vector<Named> base_states() {
  std::vector<Named> bases;
  bases.push_back({"title", GameState{}});
  bases.push_back({"question", quiz_state(Screen::question)});
  bases.push_back({"correct", quiz_state(Screen::correct)});
  bases.push_back({"wrong", quiz_state(Screen::wrong)});
  GameState lost = quiz_state(Screen::wrong);
  lost.game_over = 1;
  bases.push_back({"wrong, game over", lost});
  bases.push_back({"city, nothing connected", field_state(0, 0)});
  bases.push_back({"city, three connected", field_state(0, 3)});
  GameState busy = field_state(1, 11);
  busy.connect_flash_timer = 1.2;
  busy.popup_timer = 0.4;
  busy.popup_kind = Popup::gold_booster;
  busy.level_up_timer = 0.8;
  for (int i = 0; i < kParticleCount; ++i)
    busy.particles[i] = {300 + 3.5 * i, 420 - 2.5 * i, 0, 0, 0.1 + 0.03 * i, i % 2};
  bases.push_back({"factories, busy", busy});
  bases.push_back({"farms", field_state(2, 0)});
  bases.push_back({"coast", field_state(5, 0)});
  GameState interlude = field_state(3, 12);
  interlude.level_complete = 1;
  bases.push_back({"interlude", interlude});
  GameState countdown = field_state(4, 2);
  countdown.countdown = 2.5;
  bases.push_back({"countdown", countdown});
  GameState paused = field_state(0, 2);
  paused.paused = 1;
  bases.push_back({"paused", paused});
  GameState away = field_state(0, 2);
  away.has_focus = 0;
  away.countdown = 3;
  bases.push_back({"no focus", away});
  GameState over = field_state(1, 4);
  over.game_over = 1;
  bases.push_back({"game over", over});
  return bases;
}

struct Mutation {
  std::string name;
  std::function<void(GameState&)> apply;
};

// One change of one thing a painter reads, each as a player could come across it.
std::vector<Mutation> mutations() {
  return {
      {"title_screen", [](GameState& s) { s.title_screen = !s.title_screen; }},
      {"screen", [](GameState& s) { s.screen = static_cast<Screen>((static_cast<int>(s.screen) + 1) % 4); }},
      {"level", [](GameState& s) { s.level += 1; }},
      {"level, same scene", [](GameState& s) { s.level += 6; }},
      {"score", [](GameState& s) { s.score += 1; }},
      {"best_score", [](GameState& s) { s.best_score += 1; }},
      {"lives", [](GameState& s) { s.lives += 1; }},
      {"game_over", [](GameState& s) { s.game_over = !s.game_over; }},
      {"current_question", [](GameState& s) { s.current_question = (s.current_question + 1) % kQuestionCount; }},
      {"current_question out of range", [](GameState& s) { s.current_question = 17; }},
      {"option_order", [](GameState& s) { std::swap(s.option_order[1], s.option_order[3]); }},
      {"option_order out of range", [](GameState& s) { s.option_order[1] = 9; }},
      {"connected", [](GameState& s) { s.connected += s.connected < 12 ? 1 : -1; }},
      {"level_points", [](GameState& s) { s.level_points += 2; }},
      {"play_clock", [](GameState& s) { s.play_clock += 0.1; }},
      {"connect_flash_timer", [](GameState& s) { s.connect_flash_timer = s.connect_flash_timer > 0 ? 0 : 1.5; }},
      {"player_x", [](GameState& s) { s.player_x += 1; }},
      {"cargo_count", [](GameState& s) { s.cargo_count += 1; }},
      {"cargo", [](GameState& s) { s.cargo[0] = !s.cargo[0]; }},
      {"item.x", [](GameState& s) { s.item.x += 1; }},
      {"item.y", [](GameState& s) { s.item.y += 1; }},
      {"item.is_meander", [](GameState& s) { s.item.is_meander = !s.item.is_meander; }},
      {"item.is_gold", [](GameState& s) { s.item.is_gold = !s.item.is_gold; }},
      {"particle alive", [](GameState& s) { s.particles[3] = {250, 300, 0, 0, s.particles[3].life > 0 ? 0 : 0.5, 0}; }},
      {"particle.x", [](GameState& s) { s.particles[5] = {s.particles[5].x + 1, 300, 0, 0, 0.4, 0}; }},
      {"particle.y", [](GameState& s) { s.particles[5] = {250, s.particles[5].y + 1, 0, 0, 0.4, 0}; }},
      {"particle.life across 0.25",
       [](GameState& s) { s.particles[6] = {260, 310, 0, 0, s.particles[6].life > 0.25 ? 0.2 : 0.3, 0}; }},
      {"particle.is_gold", [](GameState& s) { s.particles[7] = {270, 320, 0, 0, 0.5, !s.particles[7].is_gold}; }},
      {"popup_timer", [](GameState& s) { s.popup_timer = s.popup_timer > 0 ? 0 : 0.5; }},
      {"popup_kind",
       [](GameState& s) {
         s.popup_timer = 0.5;
         s.popup_kind = s.popup_kind == Popup::gold_booster ? Popup::lost_life
                        : s.popup_kind == Popup::lost_life  ? Popup::red_booster
                                                            : Popup::gold_booster;
       }},
      {"level_up_timer", [](GameState& s) { s.level_up_timer = s.level_up_timer > 0 ? 0 : 1.0; }},
      {"level_complete", [](GameState& s) { s.level_complete = !s.level_complete; }},
      {"countdown digit", [](GameState& s) { s.countdown = s.countdown > 1.5 ? 1.2 : 2.5; }},
      {"countdown over", [](GameState& s) { s.countdown = s.countdown > 0 ? 0 : 2.0; }},
      {"paused", [](GameState& s) { s.paused = !s.paused; }},
      {"has_focus", [](GameState& s) { s.has_focus = !s.has_focus; }},
  };
}

TEST(FrameKey, EveryChangeThatShowsChangesTheKey) {
  const std::vector<Named> bases = base_states();
  const std::vector<Mutation> changes = mutations();
  std::vector<int> showed(changes.size(), 0);
  for (const Named& base : bases) {
    const Raster before = plain_picture(base.state);
    const uint64_t key = frame_key(window_canvas(), base.state);
    for (size_t m = 0; m < changes.size(); ++m) {
      GameState changed = base.state;
      changes[m].apply(changed);
      const Raster after = plain_picture(changed);
      if (after == before) continue;
      ++showed[m];
      EXPECT_NE(frame_key(window_canvas(), changed), key)
          << changes[m].name << " changes the picture of \"" << base.name << "\" but not the key";
    }
  }
  // Each change showed somewhere; otherwise it tested nothing.
  for (size_t m = 0; m < changes.size(); ++m) {
    EXPECT_GT(showed[m], 0) << changes[m].name << " never changed a picture";
  }
}

// A state anywhere in the game, with values a painter may cut (fractions, timers near 0).
GameState random_state(std::mt19937& rng) {
  auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
  auto uniform = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(rng); };
  GameState s = play_state();
  s.title_screen = chance(5);
  const int screen = static_cast<int>(rng() % 10);
  s.screen = screen < 7 ? Screen::play : static_cast<Screen>(screen - 6);
  s.level = static_cast<int32_t>(rng() % 14);
  s.score = static_cast<int32_t>(rng() % 300);
  s.best_score = static_cast<int32_t>(rng() % 300);
  s.lives = static_cast<int32_t>(rng() % 7);
  s.game_over = chance(10);
  s.paused = chance(10);
  s.has_focus = !chance(10);
  s.level_complete = chance(10);
  s.countdown = chance(30) ? uniform(0, 3) : 0;
  s.popup_timer = uniform(-0.05, 1.1);
  s.popup_kind = std::vector<Popup>{Popup::lost_life, Popup::red_booster, Popup::gold_booster}[rng() % 3];
  s.level_up_timer = uniform(-0.05, 1.4);
  s.connect_flash_timer = uniform(-0.05, 2.2);
  s.connected = static_cast<int32_t>(rng() % 13);
  s.level_points = static_cast<int32_t>(rng() % 20);
  s.play_clock = uniform(0, 200);
  s.current_question = static_cast<int32_t>(rng() % 7);
  for (int& o : s.option_order) o = static_cast<int>(rng() % 5);
  s.player_x = uniform(60, 740);
  s.cargo_count = static_cast<int32_t>(rng() % 13);
  for (int& c : s.cargo) c = chance(30);
  s.item = {uniform(-30, 830), uniform(-40, 640), 200, chance(25), chance(15)};
  for (Particle& p : s.particles)
    p = {uniform(0, 800), uniform(100, 560), uniform(-99, 99), uniform(-99, 99), uniform(-0.2, 0.75), chance(50)};
  return s;
}

// Small changes, many of which a player could not see: sub-pixel steps, timers that stay on
// the same side of 0, the countdown within its digit, fields no painter reads.
void nudge(GameState& s, std::mt19937& rng) {
  auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
  auto fraction = [&] { return std::uniform_real_distribution<double>(-0.99, 0.99)(rng); };
  auto stay_on_side = [&](double& t) {
    const double moved = t + fraction() * 0.2;
    if ((moved > 0) == (t > 0)) t = moved;
  };
  if (chance(40)) s.player_x = std::trunc(s.player_x) + std::copysign(std::abs(fraction()), s.player_x);
  if (chance(40)) s.item.x = std::trunc(s.item.x) + std::copysign(std::abs(fraction()), s.item.x);
  if (chance(40)) s.item.y = std::trunc(s.item.y) + std::copysign(std::abs(fraction()), s.item.y);
  if (chance(40)) {
    for (Particle& p : s.particles) {
      p.x = std::trunc(p.x) + std::abs(fraction());
      if (!(p.life > 0)) p.y += fraction() * 50;
    }
  }
  if (chance(30)) stay_on_side(s.popup_timer);
  if (chance(30)) stay_on_side(s.level_up_timer);
  if (chance(30)) stay_on_side(s.connect_flash_timer);
  if (chance(30) && s.countdown > 0) {
    const double moved = s.countdown + fraction() * 0.3;
    if (std::ceil(moved) == std::ceil(s.countdown)) s.countdown = moved;
  }
  if (chance(30)) s.play_clock += fraction() * 3;  // seen only where something moves with it
  if (chance(50)) {
    s.tick_last_count += 12345;
    s.random.next();
    s.item.fall_speed += 7;
    s.level_complete_timer = fraction();
    s.quiz_count += 1;
    s.music_muted = !s.music_muted;
    s.left_held = !s.left_held;
    std::swap(s.question_order[0], s.question_order[5]);
    for (Particle& p : s.particles) p.vx += 5;
  }
  if (chance(30)) {
    for (int i = s.cargo_count; i < kCargoSlots; ++i) s.cargo[i] = !s.cargo[i];
  }
}

TEST(FrameKey, StatesWithEqualKeysDrawTheSamePicture) {
  std::mt19937 rng(20261208);
  int equal_pairs = 0;
  for (int n = 0; n < 400 || equal_pairs < 150; ++n) {
    ASSERT_LT(n, 4000) << "too few pairs with equal keys to judge";
    const GameState a = random_state(rng);
    GameState b = a;
    nudge(b, rng);
    if (frame_key(window_canvas(), a) != frame_key(window_canvas(), b)) continue;
    ++equal_pairs;
    const Raster pa = plain_picture(a);
    const Raster pb = plain_picture(b);
    ASSERT_TRUE(pa == pb) << "pair " << n << ": equal keys, different pictures";
  }
}

TEST(FrameKey, TheCanvasIsComposedAgainOnlyWhenTheKeyChanges) {
  Canvas& canvas = window_canvas();
  FrameMemory memory;
  GameState s = field_state(0, 0);
  EXPECT_TRUE(compose_changed_frame(canvas, memory, s)) << "the first frame is always composed";
  s.player_x += 0.25;  // not a whole pixel
  EXPECT_FALSE(compose_changed_frame(canvas, memory, s));
  s.player_x += 1;
  EXPECT_TRUE(compose_changed_frame(canvas, memory, s));
  EXPECT_FALSE(compose_changed_frame(canvas, memory, s));
  forget_frame(memory);
  EXPECT_TRUE(compose_changed_frame(canvas, memory, s)) << "a forgotten frame is composed again";
}

// ---------------------------------------------------------------------------------------
// Long sessions, every frame both ways

enum Visit { title, running, countdown, interlude, paused, unfocused, game_over, question, correct, wrong, kVisits };
const char* const kVisitNames[] = {"title",    "running",   "countdown", "interlude", "paused",
                                   "no focus", "game over", "question",  "correct",   "wrong"};

Visit visit_of(const GameState& s) {
  if (s.title_screen) return title;
  if (s.screen == Screen::question) return question;
  if (s.screen == Screen::correct) return correct;
  if (s.screen != Screen::play) return wrong;
  if (s.game_over) return game_over;
  if (!s.has_focus) return unfocused;
  if (s.paused) return paused;
  if (s.level_complete) return interlude;
  if (s.countdown > 0) return countdown;
  return running;
}

// A player: steers under boosters and away from meanders, answers, restarts, and now and
// then pauses, mutes, loses the focus or clicks somewhere.
class Player {
 public:
  explicit Player(uint32_t seed) : rng_(seed) {}

  // Returns whether anything was pressed or changed.
  bool act(GameState& s) {
    bool acted = false;
    if (waiting_ > 0) {
      --waiting_;
      return false;
    }
    if (away_) {
      on_focus_gained(s);
      away_ = false;
      return true;
    }
    const unsigned pick = rng_() % 2000;
    if (pick < 1 && !s.title_screen) {
      on_focus_lost(s);
      away_ = true;
      waiting_ = static_cast<int>(rng_() % 40);
      return true;
    }
    if (pick < 3) {
      press(s, Key::m);
      acted = true;
    } else if (pick < 5) {
      on_click(s, static_cast<int>(rng_() % 900), static_cast<int>(rng_() % 700), 900, 700);
      acted = true;
    }
    switch (visit_of(s)) {
      case title:
      case game_over:
      case wrong:
        waiting_ = static_cast<int>(rng_() % 30);
        press(s, Key::r);
        if (s.title_screen) press(s, Key::space);
        return true;
      case question:
        waiting_ = static_cast<int>(rng_() % 30);
        press(s, rng_() % 2 ? right_answer(s) : std::vector<Key>{Key::a, Key::b, Key::c, Key::d}[rng_() % 4]);
        return true;
      case correct:
        waiting_ = static_cast<int>(rng_() % 30);
        press(s, rng_() % 2 ? Key::space : Key::enter);
        return true;
      case paused:
        if (rng_() % 20 == 0) press(s, Key::space);
        return true;
      default:
        break;
    }
    if (pick >= 1998) {
      press(s, Key::space);  // pause
      return true;
    }
    return steer(s) || acted;
  }

 private:
  static Key right_answer(const GameState& s) {
    const Key keys[] = {Key::a, Key::b, Key::c, Key::d};
    for (int k = 0; k < kOptionCount; ++k) {
      if (s.option_order[k] == kQuizBank[s.current_question].correct_option) return keys[k];
    }
    return Key::a;
  }

  void press(GameState& s, Key key) {
    on_key_down(s, key, false);
    on_key_up(s, key);
  }

  bool steer(GameState& s) {
    // One item in five is let go: lives are lost and games end too.
    if (s.item.x != item_x_) {
      item_x_ = s.item.x;
      careless_ = rng_() % 5 == 0;
    }
    const double aim = careless_           ? s.item.x - 100
                       : s.item.is_meander ? (s.item.x > 400 ? s.item.x - 200 : s.item.x + 200)
                                           : s.item.x + 25;
    const int want = s.player_x < aim - 6 ? 1 : s.player_x > aim + 6 ? -1 : 0;
    const int held = s.right_held - s.left_held;
    if (want == held) return false;
    if (s.left_held) on_key_up(s, Key::left);
    if (s.right_held) on_key_up(s, Key::right);
    if (want < 0) on_key_down(s, Key::left, false);
    if (want > 0) on_key_down(s, Key::right, false);
    return true;
  }

  std::mt19937 rng_;
  int waiting_ = 0;
  bool away_ = false;
  double item_x_ = -1;
  bool careless_ = false;
};

// ---------------------------------------------------------------------------------------
// Changed regions: every frame of long seeded sessions, composed only where it changed, is
// the frame composed whole from scratch, pixel for pixel

bool same_pixels(const Canvas& a, const Canvas& b) {
  cairo_surface_flush(a.surface);
  cairo_surface_flush(b.surface);
  const size_t bytes = static_cast<size_t>(cairo_image_surface_get_stride(a.surface)) * a.height;
  return a.width == b.width && a.height == b.height &&
         std::memcmp(cairo_image_surface_get_data(a.surface), cairo_image_surface_get_data(b.surface), bytes) == 0;
}

// Frames per scale: ORBILUX_FRAMES_PER_SCALE, or a count short enough for every test run.
long frames_per_scale() {
  const char* asked = std::getenv("ORBILUX_FRAMES_PER_SCALE");
  return asked && std::atol(asked) > 0 ? std::atol(asked) : ORBILUX_CHANGED_REGION_FRAMES;
}

// Seeded sessions at `scale`, each switching to `other` halfway through (the window resized)
// and back at its end.
void every_frame_as_from_scratch(double scale, double other) {
  Canvas shown, scratch;
  ASSERT_TRUE(canvas_create(shown) && canvas_create(scratch));
  long frames = 0, composed = 0;
  double changed_share = 0;
  int visits[kVisits] = {};
  for (uint32_t seed = 1; frames < frames_per_scale() && !::testing::Test::HasFatalFailure(); ++seed) {
    ASSERT_TRUE(canvas_set_scale(shown, scale) && canvas_set_scale(scratch, scale));
    FakeHost host;
    GameState s = started_state(host, seed);
    Player player(seed);
    FrameMemory memory;
    std::mt19937 rng(seed);
    const double steps[] = {0.016, 0.016, 0.016, 0.017, 0.05, 0.033, 0.004, 0};
    auto frame = [&](int step) {
      ++frames;
      ++visits[visit_of(s)];
      if (!compose_changed_frame(shown, memory, s)) return;  // the digest says: the same picture
      ++composed;
      for (int i = 0; i < memory.changed.count; ++i) {
        const PixelRect& r = memory.changed.rects[i];
        changed_share += double(r.right - r.left) * (r.bottom - r.top) / (double(shown.width) * shown.height);
      }
      compose_frame(scratch, s);
      if (!same_pixels(shown, scratch)) {
        save_frame(shown, "changed-region-mismatch-shown");
        save_frame(scratch, "changed-region-mismatch-scratch");
        FAIL() << "scale " << shown.scale << ", seed " << seed << ", step " << step << " ("
               << kVisitNames[visit_of(s)] << "): composed where it changed, in " << memory.changed.count
               << " rectangles, the frame differs from the one composed from scratch";
      }
    };
    frame(-1);
    for (int step = 0; step < 3000 && !::testing::Test::HasFatalFailure(); ++step) {
      if (step == 1 && !s.title_screen) {
        s.level = static_cast<int>(rng() % 12);
        s.connected = s.level_points = static_cast<int>(rng() % 12);
        s.lives = 1 + static_cast<int>(rng() % 3);
      }
      if (step == 1500) {
        ASSERT_TRUE(canvas_set_scale(shown, other) && canvas_set_scale(scratch, other));
      }
      if (player.act(s)) frame(step);
      tick_for(s, host, steps[rng() % std::size(steps)]);
      host.clear();
      frame(step);
    }
  }
  // Every kind of screen came up in a long run; a short one plays too few seeds for a wrong
  // answer to come up.
  if (frames >= 100000) {
    for (int v = 0; v < kVisits; ++v) EXPECT_GT(visits[v], 0) << kVisitNames[v] << " never came up";
  }
  std::printf("scale %g: %ld frames, %ld composed and compared, %.1f %% of the canvas composed on average\n", scale,
              frames, composed, 100 * changed_share / std::max(composed, 1L));
  canvas_destroy(shown);
  canvas_destroy(scratch);
}

// The scales of a window at 1 and 2, the web's zoom steps, and fullscreen on common monitors.
constexpr double kScales[] = {1, 1.2, 1.462, 1.75, 1.8, 2, 2.25, 3};

class ChangedRegions : public ::testing::TestWithParam<int> {};

TEST_P(ChangedRegions, EveryFrameIsTheFrameComposedFromScratch) {
  const int i = GetParam();
  every_frame_as_from_scratch(kScales[i], kScales[(i + 3) % std::size(kScales)]);
}

INSTANTIATE_TEST_SUITE_P(EveryScale, ChangedRegions, ::testing::Range(0, int(std::size(kScales))));

}  // namespace
