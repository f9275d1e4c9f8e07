// The command line: which arguments start the game how, which end it at once, and which
// are refused, with what the player reads.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/cli.h"

namespace {

CommandLine parse(std::initializer_list<const char*> arguments) {
  std::vector<const char*> argv{"orbilux-rush"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return parse_command_line(static_cast<int>(argv.size()), argv.data());
}

template <typename Print>
std::string printed(Print print) {
  char* buffer = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  print(out);
  std::fclose(out);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

}  // namespace

TEST(CommandLine, NothingGivenPlaysWindowedWithTheClocksChance) {
  const CommandLine line = parse({});
  EXPECT_EQ(line.action, CliAction::run);
  EXPECT_FALSE(line.fullscreen);
  EXPECT_FALSE(line.seed_given);
}

TEST(CommandLine, TheLastOfFullscreenAndWindowedWins) {
  EXPECT_TRUE(parse({"--fullscreen"}).fullscreen);
  EXPECT_FALSE(parse({"--windowed"}).fullscreen);
  EXPECT_FALSE(parse({"--fullscreen", "--windowed"}).fullscreen);
  EXPECT_TRUE(parse({"--windowed", "--fullscreen"}).fullscreen);
  EXPECT_EQ(parse({"--windowed", "--fullscreen", "--seed", "3"}).action, CliAction::run);
}

TEST(CommandLine, HelpAndVersionEndTheReadingWhereverTheyStand) {
  EXPECT_EQ(parse({"--help"}).action, CliAction::help);
  EXPECT_EQ(parse({"-h"}).action, CliAction::help);
  EXPECT_EQ(parse({"--version"}).action, CliAction::version);
  EXPECT_EQ(parse({"--fullscreen", "--version", "--bogus"}).action, CliAction::version);
  EXPECT_EQ(parse({"--seed", "1", "--help", "--seed"}).action, CliAction::help);
  // An error before them is still an error: the arguments are read in order.
  EXPECT_EQ(parse({"--bogus", "--help"}).action, CliAction::error);
}

TEST(CommandLine, SeedsAcrossTheWholeThirtyTwoBitRange) {
  const struct {
    const char* text;
    uint32_t value;
  } good[] = {{"0", 0},
              {"1", 1},
              {"42", 42},
              {"007", 7},
              {"4294967295", 4294967295u},
              {"00000000000000004294967295", 4294967295u}};
  for (const auto& c : good) {
    const CommandLine separate = parse({"--seed", c.text});
    EXPECT_EQ(separate.action, CliAction::run) << c.text;
    EXPECT_TRUE(separate.seed_given) << c.text;
    EXPECT_EQ(separate.seed, c.value) << c.text;
    const std::string joined = std::string("--seed=") + c.text;
    const CommandLine together = parse({joined.c_str()});
    EXPECT_TRUE(together.seed_given) << joined;
    EXPECT_EQ(together.seed, c.value) << joined;
  }
  EXPECT_EQ(parse({"--seed", "5", "--seed", "9"}).seed, 9u);
}

TEST(CommandLine, BadSeedsAreRefused) {
  for (const char* text : {"4294967296", "99999999999999999999", "-1", "+5", "", " 5", "5 ", "5x", "0x10", "1e3", "3.0",
                           "--fullscreen", "٣"}) {
    const CommandLine line = parse({"--seed", text});
    EXPECT_EQ(line.action, CliAction::error) << "'" << text << "'";
    EXPECT_NE(std::string(line.error).find("seed"), std::string::npos) << line.error;
    uint32_t seed = 77;
    EXPECT_FALSE(parse_seed(text, seed)) << text;
    EXPECT_EQ(seed, 77u) << "a refused seed leaves the old value";
  }
  EXPECT_EQ(parse({"--seed="}).action, CliAction::error);
  uint32_t untouched = 0;
  EXPECT_FALSE(parse_seed(nullptr, untouched)) << "nothing at all is no seed";
}

TEST(CommandLine, MissingValuesUnknownFlagsAndStrayWordsAreErrors) {
  const CommandLine missing = parse({"--seed"});
  EXPECT_EQ(missing.action, CliAction::error);
  EXPECT_NE(std::string(missing.error).find("needs a value"), std::string::npos) << missing.error;

  for (const char* argument : {"--bogus", "-x", "--full", "--fullscreen=yes", "--help=1", "--seeds", "-"}) {
    EXPECT_EQ(parse({argument}).action, CliAction::error) << argument;
  }
  const CommandLine stray = parse({"level2"});
  EXPECT_EQ(stray.action, CliAction::error);
  EXPECT_NE(std::string(stray.error).find("level2"), std::string::npos) << stray.error;

  // A very long argument is cut short in the message, never overflowing it.
  const std::string huge(10000, 'z');
  const CommandLine long_one = parse({("--" + huge).c_str()});
  EXPECT_EQ(long_one.action, CliAction::error);
  EXPECT_LT(std::string(long_one.error).size(), sizeof long_one.error);
}

TEST(CommandLine, WhatThePlayerReads) {
  const std::string usage = printed([](std::FILE* out) { print_usage(out); });
  for (const char* flag : {"--help", "--version", "--fullscreen", "--windowed", "--seed N", "best-score",
                           "ORBILUX_RUSH_DATA_DIR", "F11", "Alt+Enter"}) {
    EXPECT_NE(usage.find(flag), std::string::npos) << flag;
  }
  EXPECT_EQ(printed([](std::FILE* out) { print_version(out); }),
            std::string("orbilux-rush ") + ORBILUX_TEST_VERSION + "\n");

  const CommandLine bad = parse({"--bogus"});
  const std::string error = printed([&](std::FILE* out) { print_command_line_error(out, bad); });
  EXPECT_EQ(error, "orbilux-rush: unknown option '--bogus'\nTry 'orbilux-rush --help' for more information.\n");
  EXPECT_EQ(kCliErrorExitCode, 2);
}
