#include "app/cli.h"

#include <cstring>

#include "app/best_score_store.h"
#include "app/settings_store.h"

#if !defined(ORBILUX_VERSION) || !defined(ORBILUX_APP_ID)
#error "the build names the version and the application id"
#endif

namespace {

constexpr char kProgramName[] = "orbilux-rush";

bool is(const char* argument, const char* flag) { return std::strcmp(argument, flag) == 0; }

// "--seed=N" gives N; anything else gives nullptr.
const char* value_after_equals(const char* argument, const char* flag) {
  const size_t length = std::strlen(flag);
  if (std::strncmp(argument, flag, length) == 0 && argument[length] == '=') return argument + length + 1;
  return nullptr;
}

CommandLine refuse(CommandLine command_line, const char* format, const char* argument) {
  command_line.action = CliAction::error;
  std::snprintf(command_line.error, sizeof command_line.error, format, argument);
  return command_line;
}

}  // namespace

bool parse_seed(const char* text, uint32_t& seed) {
  if (text == nullptr || text[0] == '\0') return false;
  uint64_t value = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + static_cast<uint64_t>(*p - '0');
    if (value > UINT32_MAX) return false;  // checked at every digit, so no digit count overflows
  }
  seed = static_cast<uint32_t>(value);
  return true;
}

CommandLine parse_command_line(int argc, const char* const* argv) {
  CommandLine command_line;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (is(argument, "--help") || is(argument, "-h")) {
      command_line.action = CliAction::help;
      return command_line;
    }
    if (is(argument, "--version")) {
      command_line.action = CliAction::version;
      return command_line;
    }
    if (is(argument, "--fullscreen")) {
      command_line.fullscreen = true;
      continue;
    }
    if (is(argument, "--windowed")) {
      command_line.fullscreen = false;
      continue;
    }
    const char* seed_text = value_after_equals(argument, "--seed");
    if (is(argument, "--seed")) {
      if (i + 1 >= argc) return refuse(command_line, "%s needs a value", argument);
      seed_text = argv[++i];
    }
    if (seed_text != nullptr) {
      if (!parse_seed(seed_text, command_line.seed)) {
        return refuse(command_line, "bad seed '%.60s': a whole number from 0 to 4294967295", seed_text);
      }
      command_line.seed_given = true;
      continue;
    }
    if (argument[0] == '-' && argument[1] != '\0') return refuse(command_line, "unknown option '%.80s'", argument);
    return refuse(command_line, "unexpected argument '%.80s'", argument);
  }
  return command_line;
}

const char* program_version() { return ORBILUX_VERSION; }
const char* program_app_id() { return ORBILUX_APP_ID; }

void print_usage(std::FILE* out) {
  std::fprintf(out,
               "Usage: %s [OPTION]...\n"
               "Catch the boosters, dodge the meanders, answer the quiz.\n"
               "\n"
               "  --fullscreen   start in fullscreen (F11 or Alt+Enter switches while playing)\n"
               "  --windowed     start in a window (the default)\n"
               "  --seed N       fix the game's chance: the same N (0 to 4294967295) draws the\n"
               "                 same items and questions in the same order, e.g. for a bug report\n"
               "  -h, --help     show this help and exit\n"
               "  --version      show the version and exit\n"
               "\n"
               "Keys: Left/Right move, Space starts and pauses, A-D or 1-4 answer, R restarts,\n"
               "M mutes the music, Esc quits. A gamepad steers with the D-pad or the left stick;\n"
               "A or Start acts as Space, Y as R.\n"
               "S (or a click or tap on the top-right corner, or a pad's Back) opens the options\n"
               "on the title or a paused game: music and effects volume, your own keys for\n"
               "moving, pausing, restarting and music, a slower game (its scores are not kept\n"
               "as the best), and reduced motion. S or Esc leaves them.\n"
               "\n",
               kProgramName);
  print_best_score_place(out, kProgramName);
  print_options_place(out);
}

void print_version(std::FILE* out) { std::fprintf(out, "%s %s\n", kProgramName, program_version()); }

void print_command_line_error(std::FILE* out, const CommandLine& command_line) {
  std::fprintf(out, "%s: %s\nTry '%s --help' for more information.\n", kProgramName, command_line.error, kProgramName);
}
