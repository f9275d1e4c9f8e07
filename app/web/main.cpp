// The game's entry in the browser. The browser owns the loop and the storage: the start
// waits for the stored best to come in from the browser's storage, and from then on the
// browser calls the game once per frame it shows (loop.cpp).
#include <emscripten.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_main.h"
#include "app/best_score_store.h"
#include "app/settings_store.h"
#include "app/web/browser_storage.h"
#include "app/web/page_words.h"

namespace {

// main's own arguments (the page passes ?seed=N as --seed N) live on a stack that is gone
// by the time the storage answers.
std::vector<std::string> kept_arguments;

void start_game() {
  adopt_course_best();  // the course's launches share one best with this browser
  std::vector<char*> argv;
  for (std::string& argument : kept_arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  // Returns only when the game could not start (its frame loop never returns): the page
  // then shows the line the game wrote on standard error.
  app_main(static_cast<int>(kept_arguments.size()), argv.data());
  EM_ASM({
    if (Module.orbiluxFailed) Module.orbiluxFailed();
  });
}

}  // namespace

int main(int argc, char** argv) {
  kept_arguments.assign(argv, argv + argc);
  char folder[kStorePathCapacity];
  if (!best_score_folder(folder, sizeof folder)) folder[0] = '\0';
  // The options live beside the best, in the one folder the browser keeps.
  if (folder[0] != '\0') setenv(kConfigDirVariable, folder, 0);
  load_browser_storage_then(folder, start_game);  // returns at once
  return 0;
}
