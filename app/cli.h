// The program's command line: a few flags for the window and for reproducing a game, read
// before anything else so that --help and --version work without a display.
#pragma once

#include <cstdint>
#include <cstdio>

enum class CliAction {
  run,      // open the window and play
  help,     // print the usage on standard output, exit 0
  version,  // print the name and version on standard output, exit 0
  error,    // print `error` and a hint on standard error, exit 2
};

inline constexpr int kCliErrorExitCode = 2;

struct CommandLine {
  CliAction action = CliAction::run;
  bool fullscreen = false;  // start in desktop fullscreen; the last of --fullscreen/--windowed wins
  bool seed_given = false;  // --seed N: the game's chance is seeded with N instead of the clock
  uint32_t seed = 0;
  char error[160] = {};  // why the command line was refused, without the program's name
};

// Reads the arguments after the program's name, left to right. --help and --version end the
// reading at once; the first unknown flag, stray argument or bad value makes it an error.
CommandLine parse_command_line(int argc, const char* const* argv);

// Reads a seed: decimal digits only, 0 to 4294967295; no sign, no spaces, nothing after.
bool parse_seed(const char* text, uint32_t& seed);

// What the three non-running actions print, to the given stream.
void print_usage(std::FILE* out);
void print_version(std::FILE* out);
void print_command_line_error(std::FILE* out, const CommandLine& command_line);

// The program's version and the desktop's name for it, from the build.
const char* program_version();
const char* program_app_id();
