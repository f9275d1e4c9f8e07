// The rules of the field, driven tick by tick with a controlled clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "game/input.h"
#include "game/quiz.h"
#include "game/rules.h"
#include "tests/fake_host.h"

namespace {

// A running game (countdown over) with the clock under the test's control.
GameState running_game(FakeHost& host, uint32_t seed = 7) {
  GameState s = started_state(host, seed);
  on_key_down(s, Key::space, false);  // leave the title screen
  s.countdown = 0;
  host.clear();
  return s;
}

// Puts a fresh item of the given kind straight above the line, about to cross it.
void drop_item(GameState& s, double x, bool meander = false, bool gold = false) {
  s.item.x = x;
  s.item.y = kCatchLineY - kItemHalfHeight - 1;  // bottom edge 1 px above the line
  s.item.is_meander = meander;
  s.item.is_gold = gold;
  s.item.fall_speed = fall_speed_of_level(s.level);
}

// Drops an item on the catcher and ticks once so it is caught.
void catch_item(GameState& s, FakeHost& host, bool meander = false, bool gold = false) {
  drop_item(s, s.player_x - 20, meander, gold);
  tick_for(s, host, 0.016);
}

TEST(NewGame, StartsWithThreeLivesAndOneItemWaitingAboveTheField) {
  FakeHost host;
  GameState s = started_state(host);
  EXPECT_EQ(s.title_screen, 1);
  EXPECT_EQ(s.lives, 3);
  EXPECT_EQ(s.countdown, 3.0);
  EXPECT_EQ(s.player_x, 400);
  EXPECT_EQ(s.item.y, -24);
  EXPECT_EQ(s.item.fall_speed, 200);
  EXPECT_EQ(s.screen, Screen::play);
  EXPECT_EQ(s.game_over, 0);
  EXPECT_EQ(s.has_focus, 1);
  EXPECT_EQ(s.popup_kind, Popup::red_booster);
}

TEST(NewGame, StopsEffectsRestartsMusicThenSpawnsSilently) {
  FakeHost host;
  GameState s = started_state(host);
  host.clear();
  new_game(s);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"stop_stream(effects)", "restart_music(level=0)",
                                                  "play_drop_chime(silent)",  // the countdown is up
                                                  "apply_audio_pause"}));
}

TEST(NewGame, KeepsBestScoreAndLeavesOldBedSlotsButShowsAnEmptyBed) {
  FakeHost host;
  GameState s = running_game(host);
  s.best_score = 77;
  catch_item(s, host, false, true);  // a gold box in slot 0
  ASSERT_EQ(s.cargo_count, 1);
  new_game(s);
  EXPECT_EQ(s.cargo_count, 0);
  EXPECT_EQ(s.cargo[0], 1);  // the old slot value stays, unseen
  EXPECT_EQ(s.best_score, 77);
  EXPECT_EQ(s.score, 0);
  EXPECT_EQ(s.title_screen, 0);  // a new game never returns to the title
}

TEST(ProgramStart, AcceptsStoredBestUpToTheLimitOnly) {
  FakeHost host;
  GameState s;
  start_program(s, 1, true, 999'999'999);
  EXPECT_EQ(s.best_score, 999'999'999);
  start_program(s, 1, true, 1'000'000'000);
  EXPECT_EQ(s.best_score, 0);
  start_program(s, 1, true, 4'294'967'295LL);
  EXPECT_EQ(s.best_score, 0);
  start_program(s, 1, false, 41);
  EXPECT_EQ(s.best_score, 0);
}

TEST(Spawn, DrawsPositionKindAndGoldInThatOrder) {
  FakeHost host;
  GameState s = running_game(host);
  for (int n = 0; n < 200; ++n) {
    GameRandom expected = s.random;
    const int r1 = expected.next();
    const int r2 = expected.next() % 100;
    int r3 = -1;
    if (r2 > 24) r3 = expected.next() % 100;
    spawn_item(s);
    EXPECT_EQ(s.item.x, r1 % 732 + 28);
    EXPECT_EQ(s.item.y, -24);
    EXPECT_EQ(s.item.is_meander, r2 <= 24 ? 1 : 0);
    EXPECT_EQ(s.item.is_gold, r3 >= 0 && r3 <= 11 ? 1 : 0);
    EXPECT_EQ(s.random.state, expected.state) << "a meander takes no third draw";
  }
}

TEST(Spawn, ChimeSoundsOnlyWhileTheFieldRunsAndStreamsFollowThePause) {
  FakeHost host;
  GameState s = running_game(host);
  spawn_item(s);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"play_drop_chime(audible)", "apply_audio_pause"}));
  host.clear();
  s.countdown = 1;
  spawn_item(s);
  EXPECT_EQ(host.calls[0], "play_drop_chime(silent)");
}

TEST(Tick, ReadsTheCounterEveryTickAndClampsLongStalls) {
  FakeHost host;
  GameState s = running_game(host);
  s.paused = 1;
  tick_for(s, host, 10.0);  // ten seconds in pause are never caught up
  EXPECT_EQ(s.tick_last_count, host.counter);
  s.paused = 0;
  s.item.y = 0;
  tick_for(s, host, 5.0);  // a stall moves the game by 0.05 s at most
  EXPECT_DOUBLE_EQ(s.item.y, 200 * 0.05);
  EXPECT_DOUBLE_EQ(s.play_clock, 0.05);
}

TEST(Tick, NothingRunsOnTitleQuizPauseGameOverOrWithoutFocus) {
  FakeHost host;
  GameState base = running_game(host);
  base.item.y = 100;
  for (int mode = 0; mode < 5; ++mode) {
    GameState s = base;
    if (mode == 0) s.title_screen = 1;
    if (mode == 1) s.screen = Screen::question;
    if (mode == 2) s.paused = 1;
    if (mode == 3) s.game_over = 1;
    if (mode == 4) s.has_focus = 0;
    tick_for(s, host, 0.016);
    EXPECT_EQ(s.item.y, 100) << "mode " << mode;
    EXPECT_EQ(s.play_clock, 0) << "mode " << mode;
  }
}

TEST(Tick, CountdownRunsAloneThenLetsTheWaitingItemChime) {
  FakeHost host;
  GameState s = running_game(host);
  s.countdown = 0.03;
  s.popup_timer = 0.5;
  tick_for(s, host, 0.02);
  EXPECT_NEAR(s.countdown, 0.01, 1e-12);
  EXPECT_EQ(s.item.y, -24);
  EXPECT_EQ(s.popup_timer, 0.5);  // only the countdown advances
  EXPECT_FALSE(host.called("play_drop_chime(audible)"));
  tick_for(s, host, 0.02);
  EXPECT_EQ(s.countdown, 0);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"play_drop_chime(audible)"}));
  EXPECT_EQ(s.item.y, -24);  // it starts falling on the next tick
}

TEST(Movement, BothArrowsCancelAndTheEdgesHold) {
  FakeHost host;
  GameState s = running_game(host);
  s.item.y = -1000;  // keep the item out of the way
  s.left_held = s.right_held = 1;
  tick_for(s, host, 0.04);
  EXPECT_EQ(s.player_x, 400);
  s.left_held = 0;
  tick_for(s, host, 0.04);
  EXPECT_DOUBLE_EQ(s.player_x, 400 + 395 * 0.04);
  for (int i = 0; i < 100; ++i) tick_for(s, host, 0.05);
  EXPECT_EQ(s.player_x, 740);
  s.right_held = 0;
  s.left_held = 1;
  for (int i = 0; i < 100; ++i) tick_for(s, host, 0.05);
  EXPECT_EQ(s.player_x, 60);
}

TEST(CatchZone, SpansFiftyFiveLeftToFourRightWidenedByTheItem) {
  struct Case {
    double offset;
    bool caught;
  };
  for (Case c : {Case{22, true}, Case{23, false}, Case{-73, true}, Case{-74, false}, Case{0, true}}) {
    FakeHost host;
    GameState s = running_game(host);
    drop_item(s, 400 + c.offset);
    tick_for(s, host, 0.016);
    EXPECT_EQ(s.connected, c.caught ? 1 : 0) << "offset " << c.offset;
  }
}

TEST(CatchZone, AnItemIsJudgedOnlyInTheStepItCrossesTheLine) {
  FakeHost host;
  GameState s = running_game(host);
  drop_item(s, 400 + 40);  // crosses outside the zone
  tick_for(s, host, 0.016);
  ASSERT_EQ(s.connected, 0);
  s.player_x = 440;  // the truck arrives under it too late
  tick_for(s, host, 0.016);
  EXPECT_EQ(s.connected, 0);
}

TEST(CatchZone, ALongStepCannotCarryAnItemPastTheLineUnjudged) {
  FakeHost host;
  GameState s = running_game(host);
  s.item.x = 400;
  s.item.y = kCatchLineY - kItemHalfHeight - 9;  // 9 px above, 10 px per 0.05 s
  s.item.fall_speed = 200;
  tick_for(s, host, 1.0);
  EXPECT_EQ(s.connected, 1);
}

TEST(Miss, ABoosterCostsALifeOnceItsTopPassesTheGround) {
  FakeHost host;
  GameState s = running_game(host);
  s.player_x = 100;
  s.item = {600, 400, 200, 0, 0};
  while (s.lives == 3 && s.item.y < 700) tick_for(s, host, 0.016);
  EXPECT_EQ(s.lives, 2);
  EXPECT_EQ(s.item.y, -24);  // the next item
  EXPECT_EQ(s.score, 0);
}

TEST(Miss, TheMissIsJudgedAtTopEdgeBelow536) {
  FakeHost host;
  GameState s = running_game(host);
  s.player_x = 100;
  s.item = {600, 555 - 0.5, 0, 0, 0};  // still on the ground line
  tick_for(s, host, 0.016);
  EXPECT_EQ(s.lives, 3);
  s.item.y = 555.001;
  tick_for(s, host, 0.016);
  EXPECT_EQ(s.lives, 2);
}

TEST(Miss, AMeanderIsReplacedWithoutPenalty) {
  FakeHost host;
  GameState s = running_game(host);
  s.player_x = 100;
  s.item = {600, 550, 200, 1, 0};
  tick_for(s, host, 0.05);
  EXPECT_EQ(s.lives, 3);
  EXPECT_EQ(s.item.y, -24);
  EXPECT_EQ(host.count("play_drop_chime(audible)"), 1);
}

TEST(BoosterCatch, ScoresConnectsBurstsAndLoadsTheBed) {
  FakeHost host;
  GameState s = running_game(host);
  catch_item(s, host);
  EXPECT_EQ(s.score, 1);
  EXPECT_EQ(s.level_points, 1);
  EXPECT_EQ(s.connected, 1);
  EXPECT_EQ(s.lives, 3);
  EXPECT_EQ(s.popup_kind, Popup::red_booster);
  EXPECT_EQ(s.popup_timer, 0.65);
  EXPECT_EQ(s.connect_flash_timer, 2.2);
  EXPECT_EQ(s.cargo_count, 1);
  EXPECT_EQ(s.cargo[0], 0);
  for (int i = 0; i < kParticleCount; ++i) {
    const double a = i * 2 * M_PI / 32;
    EXPECT_DOUBLE_EQ(s.particles[i].x, s.player_x - 24);
    EXPECT_EQ(s.particles[i].y, 474);
    EXPECT_DOUBLE_EQ(s.particles[i].vx, (60 + 13 * (i % 5)) * std::cos(a));
    EXPECT_DOUBLE_EQ(s.particles[i].vy, 100 * std::sin(a) - 90);
    EXPECT_DOUBLE_EQ(s.particles[i].life, 0.6 + 0.05 * (i % 4));
  }
  const int arpeggio = host.find("play_success_arpeggio");
  ASSERT_GE(arpeggio, 0);
  EXPECT_EQ(host.find("play_drop_chime(audible)", arpeggio), arpeggio + 1);  // then the next item
}

TEST(BoosterCatch, GoldGivesFivePointsAndALife) {
  FakeHost host;
  GameState s = running_game(host);
  catch_item(s, host, false, true);
  EXPECT_EQ(s.score, 5);
  EXPECT_EQ(s.lives, 4);
  EXPECT_EQ(s.popup_kind, Popup::gold_booster);
  EXPECT_EQ(s.cargo[0], 1);
  EXPECT_EQ(s.particles[0].is_gold, 1);
}

TEST(BoosterCatch, TheTwelfthBoxEmptiesTheBedAtOnce) {
  FakeHost host;
  GameState s = running_game(host);
  for (int n = 1; n <= 11; ++n) {
    catch_item(s, host, false, n % 2);
    ASSERT_EQ(s.cargo_count, n);
  }
  s.level_complete = 0;
  s.connected = 0;  // keep the level going; the bed counts on its own
  catch_item(s, host);
  EXPECT_EQ(s.cargo_count, 0);
  for (int slot : s.cargo) EXPECT_EQ(slot, 0);
}

TEST(BoosterCatch, BestScoreIsSavedOnEveryRaiseAndOnlyThen) {
  FakeHost host;
  GameState s = running_game(host);
  s.best_score = 2;
  catch_item(s, host);  // 1: below the best
  catch_item(s, host);  // 2: equal, not above
  EXPECT_TRUE(host.saved_scores.empty());
  catch_item(s, host);               // 3
  catch_item(s, host, false, true);  // 8
  EXPECT_EQ(host.saved_scores, (std::vector<int32_t>{3, 8}));
  EXPECT_EQ(s.best_score, 8);
  catch_item(s, host, true);  // a meander never saves
  EXPECT_EQ(host.saved_scores.size(), 2u);
}

TEST(MeanderCatch, CostsALifeAndDisconnectsADevice) {
  FakeHost host;
  GameState s = running_game(host);
  catch_item(s, host);
  catch_item(s, host);
  s.level_up_timer = 1.0;
  host.clear();
  catch_item(s, host, true);
  EXPECT_EQ(s.lives, 2);
  EXPECT_EQ(s.connected, 1);
  EXPECT_EQ(s.level_points, 1);
  EXPECT_EQ(s.score, 2);  // the score never drops
  EXPECT_EQ(s.popup_kind, Popup::lost_life);
  EXPECT_EQ(s.popup_timer, 1.1);
  EXPECT_EQ(s.connect_flash_timer, 0);
  EXPECT_EQ(s.level_up_timer, 0);
  const int stop = host.find("stop_stream(effects)");
  EXPECT_GE(stop, 0);
  EXPECT_EQ(host.find("play_failure_buzz"), stop + 1);
}

TEST(MeanderCatch, WithNothingConnectedStaysAtZero) {
  FakeHost host;
  GameState s = running_game(host);
  catch_item(s, host, true);
  EXPECT_EQ(s.connected, 0);
  EXPECT_EQ(s.level_points, 0);
  EXPECT_EQ(s.lives, 2);
}

TEST(MeanderCatch, NoBuzzWithoutAnEffectsDevice) {
  FakeHost host;
  host.effects_device = false;
  GameState s = running_game(host);
  catch_item(s, host, true);
  EXPECT_FALSE(host.called("play_failure_buzz"));
  EXPECT_EQ(s.lives, 2);
}

TEST(LastLife, TakenByAMeanderStillBuzzesAfterTheStreamsStopped) {
  FakeHost host;
  GameState s = running_game(host);
  s.lives = 1;
  s.left_held = 1;
  catch_item(s, host, true);
  EXPECT_EQ(s.game_over, 1);
  EXPECT_EQ(s.lives, 0);
  EXPECT_EQ(s.left_held, 0);
  const int chime = host.find("stop_stream(chime)");
  const int effects = host.find("stop_stream(effects)");
  ASSERT_GE(chime, 0);
  EXPECT_EQ(effects, chime + 1);
  EXPECT_GT(host.find("play_failure_buzz"), effects);
  EXPECT_EQ(s.item.is_meander, 1) << "no new item after the last life";
}

TEST(LastLife, TakenByAMissedBoosterIsSilent) {
  FakeHost host;
  GameState s = running_game(host);
  s.lives = 1;
  s.player_x = 100;
  s.item = {600, 556, 200, 0, 0};
  tick_for(s, host, 0.016);
  EXPECT_EQ(s.game_over, 1);
  EXPECT_FALSE(host.called("play_failure_buzz"));
  EXPECT_FALSE(host.called("play_drop_chime(audible)"));
  const double y = s.item.y;
  tick_for(s, host, 0.016);
  EXPECT_EQ(s.item.y, y) << "the last item stays where it is";
}

TEST(Particles, MoveWithTheVelocityFromBeforeGravityAndDieAtZero) {
  FakeHost host;
  GameState s = running_game(host);
  s.particles[0] = {10, 20, 100, -50, 0.1, 0};
  s.particles[1] = {5, 5, 100, 100, 0, 0};
  update_particles(s, 0.05);
  EXPECT_DOUBLE_EQ(s.particles[0].x, 15);
  EXPECT_DOUBLE_EQ(s.particles[0].y, 17.5);
  EXPECT_DOUBLE_EQ(s.particles[0].vy, -41);
  EXPECT_DOUBLE_EQ(s.particles[0].life, 0.05);
  EXPECT_EQ(s.particles[1].x, 5) << "a dead particle is left alone";
}

TEST(WholeLevel, TwelveCatchesInterludeQuestionRightAnswerAndTheNextLevel) {
  FakeHost host;
  GameState s = started_state(host, 3);
  on_key_down(s, Key::space, false);
  for (int i = 0; i < 190; ++i) tick_for(s, host, 0.016);  // 3 s of GET READY
  ASSERT_EQ(s.countdown, 0);
  // Steer under every booster and away from every meander, as a player would.
  for (int steps = 0; s.connected < 12 && steps < 20000; ++steps) {
    ASSERT_EQ(s.game_over, 0);
    if (s.item.is_meander) {
      s.player_x = s.item.x < 400 ? 740 : 60;
    } else {
      s.player_x = std::clamp(s.item.x + 20, 60.0, 740.0);
    }
    tick_for(s, host, 0.016);
  }
  EXPECT_EQ(s.lives, 3 + (s.score - 12) / 4) << "only gold boosters add lives";
  ASSERT_EQ(s.connected, 12);
  ASSERT_EQ(s.level_complete, 1);
  EXPECT_EQ(s.level_complete_timer, 2.4);
  EXPECT_EQ(s.item.y, -24);
  const int chime_stop = host.find("stop_stream(chime)");
  EXPECT_GE(chime_stop, 0);

  // The interlude: 2.4 s in which only the clock and the sparks move.
  const double clock = s.play_clock;
  for (int i = 0; i < 149; ++i) tick_for(s, host, 0.016);
  EXPECT_EQ(s.screen, Screen::play);
  EXPECT_EQ(s.item.y, -24);
  EXPECT_NEAR(s.play_clock, clock + 149 * 0.016, 1e-9);
  tick_for(s, host, 0.016);
  tick_for(s, host, 0.016);
  ASSERT_EQ(s.screen, Screen::question);
  EXPECT_EQ(s.current_question, 0);
  EXPECT_EQ(s.level_complete, 0);

  // Answer right: find the position of the right option after the shuffle.
  int right = -1;
  for (int k = 0; k < 4; ++k) {
    if (s.option_order[k] == kQuizBank[0].correct_option) right = k;
  }
  const int lives = s.lives;
  on_key_down(s, static_cast<Key>(static_cast<int>(Key::a) + right), false);
  EXPECT_EQ(s.screen, Screen::correct);
  EXPECT_EQ(s.lives, lives + 1);
  on_key_down(s, Key::space, false);
  EXPECT_EQ(s.screen, Screen::play);
  EXPECT_EQ(s.level, 1);
  EXPECT_EQ(s.item.fall_speed, 240);
  EXPECT_EQ(s.countdown, 3.0);
  EXPECT_EQ(s.level_up_timer, 1.4);
  EXPECT_EQ(s.connected, 0);
}

TEST(WholeLevel, AGoldTwelfthCatchFreezesTheNextItemUntilTheNextLevel) {
  FakeHost host;
  GameState s = running_game(host);
  s.connected = 11;
  s.popup_timer = 0;
  s.right_held = 1;
  catch_item(s, host, false, true);
  EXPECT_EQ(s.connected, 12);
  EXPECT_EQ(s.score, 5);
  EXPECT_EQ(s.lives, 4);
  EXPECT_EQ(s.level_complete, 1);
  EXPECT_EQ(s.right_held, 0);
  const double popup = s.popup_timer;
  for (int i = 0; i < 100; ++i) tick_for(s, host, 0.016);
  EXPECT_EQ(s.item.y, -24);
  EXPECT_EQ(s.popup_timer, popup) << "the popup stands still through the interlude";
  EXPECT_FALSE(host.called("play_drop_chime(audible)"));
}

TEST(NextLevel, KeepsScoreLivesBedAndPopup) {
  FakeHost host;
  GameState s = running_game(host);
  catch_item(s, host, false, true);
  s.screen = Screen::correct;
  host.clear();
  next_level(s);
  EXPECT_EQ(s.score, 5);
  EXPECT_EQ(s.lives, 4);
  EXPECT_EQ(s.cargo_count, 1);
  EXPECT_GT(s.popup_timer, 0);
  EXPECT_EQ(host.calls.front(), "restart_music(level=1)");
  EXPECT_EQ(host.calls.back(), "apply_audio_pause");
}

TEST(Speed, ShownLevelAndFallSpeedFollowTheLevel) {
  EXPECT_EQ(fall_speed_of_level(0), 200);
  EXPECT_EQ(fall_speed_of_level(4), 360);
  EXPECT_EQ(fall_speed_of_level(5), 400);
}

}  // namespace
