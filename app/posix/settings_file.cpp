// The options' file on POSIX calls: $ORBILUX_RUSH_CONFIG_DIR, else
// $XDG_CONFIG_HOME/orbilux-rush, else ~/.config/orbilux-rush.
#include <cstdlib>

#include "app/best_score_store.h"
#include "app/posix/best_score_file.h"
#include "app/settings_store.h"

namespace {

bool settings_folder(char* out, size_t capacity) {
  const char* overridden = std::getenv(kConfigDirVariable);
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  int n = -1;
  if (overridden != nullptr && overridden[0] != '\0') {
    n = std::snprintf(out, capacity, "%s", overridden);
  } else if (xdg != nullptr && xdg[0] == '/') {  // a relative XDG_CONFIG_HOME is invalid and ignored
    n = std::snprintf(out, capacity, "%s/%s", xdg, kAppFolderName);
  } else {
    char home[kStorePathCapacity];
    if (home_folder(home, sizeof home)) n = std::snprintf(out, capacity, "%s/.config/%s", home, kAppFolderName);
  }
  return n > 0 && static_cast<size_t>(n) < capacity;
}

}  // namespace

std::string load_options_text() {
  char folder[kStorePathCapacity];
  static char bytes[kSettingsReadLimit];
  if (!settings_folder(folder, sizeof folder)) return {};
  remove_stale_save_leftovers(folder, kSettingsFileName, kStaleLeftoverSeconds);
  const long length = read_file_start(folder, kSettingsFileName, bytes, sizeof bytes);
  return length > 0 ? std::string(bytes, static_cast<size_t>(length)) : std::string();
}

bool save_options_text(const std::string& text) {
  char folder[kStorePathCapacity];
  const bool saved =
      settings_folder(folder, sizeof folder) && replace_file_atomically(folder, kSettingsFileName, text.data(), text.size());
  if (saved) keep_saved_files();  // the browser sends its folder on to lasting storage
  return saved;
}

void print_options_place(std::FILE* out) {
  std::fprintf(out,
               "The options (S) are kept in $XDG_CONFIG_HOME/%s/%s\n"
               "(by default ~/.config/%s/%s), or in $%s when set.\n",
               kAppFolderName, kSettingsFileName, kAppFolderName, kSettingsFileName, kConfigDirVariable);
}
