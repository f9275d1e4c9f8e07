// Built for the browser only (app/CMakeLists.txt).
#include "app/web_start.h"

#include <emscripten.h>

#include <string>
#include <vector>

#include "app/app_main.h"
#include "app/best_score_store.h"

namespace {

// main's own arguments live on a stack that is gone by the time the storage answers.
std::vector<std::string> kept_arguments;

EM_JS(int, touch_screen_found, (), {
  return matchMedia("(pointer: coarse)").matches ||
         (navigator.maxTouchPoints > 0 && !matchMedia("(pointer: fine)").matches);
});

}  // namespace

// Called by load_browser_storage_then_start.
extern "C" EMSCRIPTEN_KEEPALIVE void orbilux_start_game() {
  std::vector<char*> argv;
  for (std::string& argument : kept_arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  // Returns only when the game could not start (its frame loop never returns): the page
  // then shows the line the game wrote on standard error.
  app_main(static_cast<int>(kept_arguments.size()), argv.data());
  EM_ASM({ if (Module.orbiluxFailed) Module.orbiluxFailed(); });
}

int start_in_browser(int argc, char** argv) {
  kept_arguments.assign(argv, argv + argc);
  char folder[kStorePathCapacity];
  if (!best_score_folder(folder, sizeof folder)) folder[0] = '\0';
  // The game starts once the stored best is in (or the storage said no).
  load_browser_storage_then_start(folder);
  return 0;
}

bool page_has_touch_screen() { return touch_screen_found() != 0; }
