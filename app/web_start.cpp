// Built for the browser only (app/CMakeLists.txt).
#include "app/web_start.h"

#include <emscripten.h>

#include <string>
#include <vector>

#include "app/app_main.h"
#include "app/best_score_store.h"
#include "app/frame_showing.h"
#include "app/idle_pacing.h"
#include "app/pacing.h"
#include "app/touch_input.h"
#include "game/input.h"
#include "game/rules.h"

namespace {

// main's own arguments live on a stack that is gone by the time the storage answers.
std::vector<std::string> kept_arguments;

// The folder goes to IndexedDB as a whole: the store's own temporary file, rename and sync
// work unchanged on the page's in-memory files, and only the result is sent on.
EM_JS(void, fetch_folder_then_start, (const char* folder), {
  const path = UTF8ToString(folder);
  try {
    FS.mkdirTree(path);
    FS.mount(IDBFS, {}, path);
    Module.orbiluxStoredFolder = path;
  } catch (error) {
    console.warn("Orbilux Rush: no browser storage, the best score lasts until the page closes", error);
  }
  const start = function() {
    try {
      _orbilux_start_game();
    } catch (thrown) {
      if (thrown !== "unwind") throw thrown;  // the frame loop taking over
    }
  };
  if (!Module.orbiluxStoredFolder) return start();
  FS.syncfs(true, function(error) {
    if (error) console.warn("Orbilux Rush: the stored best score could not be read", error);
    start();
  });
});

EM_JS(void, send_folder_to_storage, (), {
  if (!Module.orbiluxStoredFolder) return;
  FS.syncfs(false, function(error) {
    if (error) console.warn("Orbilux Rush: the best score could not be stored", error);
  });
});

EM_JS(int, touch_screen_found, (), {
  return matchMedia("(pointer: coarse)").matches ||
         (navigator.maxTouchPoints > 0 && !matchMedia("(pointer: fine)").matches);
});

}  // namespace

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
  fetch_folder_then_start(folder);
  return 0;
}

bool page_has_touch_screen() { return touch_screen_found() != 0; }

void keep_folder_in_browser_storage() { send_folder_to_storage(); }
