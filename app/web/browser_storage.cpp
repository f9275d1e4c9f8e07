// The best score's browser side, built for the browser only (app/CMakeLists.txt): the data
// folder is a mount of the site's IndexedDB. The file store's rules run unchanged on the
// page's in-memory files (temporary file, sync, rename); only the result goes on to
// IndexedDB, as a whole folder.
#include <emscripten.h>

#include "app/best_score_store.h"

namespace {

EM_JS(void, mount_and_load_then_start, (const char* folder), {
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

}  // namespace

// Real functions around the JavaScript ones: a call to them is what brings this file in
// from the library when the game is linked.
void load_browser_storage_then_start(const char* folder) { mount_and_load_then_start(folder); }
void keep_folder_in_browser_storage() { send_folder_to_storage(); }
