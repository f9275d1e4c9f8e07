// The shell's host functions under the real rules: the best score travels from the file
// into a game, a catch that beats it goes back to the file, and the clock moves forward.
#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/best_score_store.h"
#include "app/shell_host.h"
#include "game/host.h"
#include "game/rules.h"
#include "tests/temp_folder.h"

namespace {

// The data folder, named by the override for the test's length.
class DataFolder {
 public:
  DataFolder() { setenv(kDataDirVariable, (folder_ / "data").c_str(), 1); }
  ~DataFolder() { unsetenv(kDataDirVariable); }
  std::string file() const { return folder_ / "data/" + kBestScoreFileName; }
  void write(const std::string& bytes) const {
    std::filesystem::create_directories(folder_ / "data");
    std::ofstream(file(), std::ios::binary) << bytes;
  }
  std::string read() const {
    std::ifstream in(file(), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  }

 private:
  TempFolder folder_;
};

// Program start as the shell does it, with the real clock.
GameState program_start() {
  GameState state;
  const StoredBest best = load_best_score();
  start_program(state, 1234, best.found, best.value);
  state.tick_frequency = static_cast<int64_t>(SDL_GetPerformanceFrequency());
  state.tick_last_count = read_counter();
  return state;
}

// A red booster just above the catch line, right over the bed, with 50 ms of play to go:
// the next tick catches it.
void catch_a_red_booster(GameState& state) {
  state.title_screen = 0;
  state.countdown = 0;
  state.item.x = state.player_x - 20;
  state.item.y = kCatchLineY - kItemHalfHeight - 1;
  state.item.is_meander = 0;
  state.item.is_gold = 0;
  state.item.fall_speed = 200;
  state.tick_last_count = read_counter() - state.tick_frequency / 20;
  const int32_t score = state.score;
  tick(state);
  ASSERT_EQ(state.score, score + 1) << "the scripted catch did not happen";
}

}  // namespace

TEST(ShellHost, ADamagedFileStartsAtZeroAndTheFirstNewBestReplacesIt) {
  DataFolder folder;
  folder.write("12abc\n");
  GameState state = program_start();
  EXPECT_EQ(state.best_score, 0);
  catch_a_red_booster(state);
  EXPECT_EQ(state.best_score, 1);
  EXPECT_EQ(folder.read(), "1\n");
  EXPECT_EQ(program_start().best_score, 1) << "the next run starts with it";
}

TEST(ShellHost, AStoredBestIsKeptUntilAGameBeatsIt) {
  DataFolder folder;
  folder.write("41\n");
  GameState state = program_start();
  EXPECT_EQ(state.best_score, 41);
  for (int i = 0; i < 3; ++i) catch_a_red_booster(state);
  EXPECT_EQ(state.score, 3);
  EXPECT_EQ(folder.read(), "41\n") << "a lower score leaves the file alone";

  state.score = 41;
  catch_a_red_booster(state);
  EXPECT_EQ(folder.read(), "42\n");
  catch_a_red_booster(state);
  EXPECT_EQ(folder.read(), "43\n") << "every new best is written";
}

TEST(ShellHost, FirstRunCreatesTheFolder) {
  DataFolder folder;
  GameState state = program_start();
  EXPECT_EQ(state.best_score, 0);
  catch_a_red_booster(state);
  EXPECT_EQ(folder.read(), "1\n");
}

TEST(ShellHost, AFailedSaveKeepsTheBestInMemoryAndTheNextNewBestWritesIt) {
  DataFolder folder;
  // A file where the data folder should be: nothing can be written, even by root.
  folder.write("");
  const std::string data_dir = folder.file().substr(0, folder.file().rfind('/'));
  std::system(("rm -rf '" + data_dir + "' && touch '" + data_dir + "'").c_str());
  GameState state = program_start();
  catch_a_red_booster(state);
  EXPECT_EQ(state.best_score, 1) << "the game does not notice";
  std::system(("rm -f '" + data_dir + "'").c_str());
  catch_a_red_booster(state);
  EXPECT_EQ(state.best_score, 2);
  EXPECT_EQ(folder.read(), "2\n");
}

TEST(ShellHost, TheCounterMovesForward) {
  const int64_t first = read_counter();
  usleep(2000);
  const int64_t second = read_counter();
  EXPECT_GT(second, first);
  EXPECT_GE(second - first, static_cast<int64_t>(SDL_GetPerformanceFrequency()) / 1000) << "at least 1 ms passed";
}

TEST(ShellHost, CloseWindowOnlyRaisesTheRequest) {
  clear_window_close_request();
  GameState state = program_start();
  const GameState before = state;
  close_window();
  EXPECT_TRUE(window_close_requested());
  EXPECT_EQ(state.title_screen, before.title_screen);
  clear_window_close_request();
}
