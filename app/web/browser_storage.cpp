// Built for the browser only (app/CMakeLists.txt), with the file store of app/posix/.
#include "app/web/browser_storage.h"

#include <emscripten.h>

#include "app/posix/best_score_file.h"

namespace {

// What to do once the storage answered; the page's JavaScript comes back for it.
void (*after_loading)() = nullptr;

EM_JS(void, mount_and_load, (const char* folder), {
  const path = UTF8ToString(folder);
  try {
    FS.mkdirTree(path);
    FS.mount(IDBFS, {}, path);
    Module.orbiluxStoredFolder = path;
  } catch (error) {
    console.warn("Orbilux Rush: no browser storage, the best score lasts until the page closes", error);
  }
  const loaded = function() {
    try {
      _orbilux_browser_storage_loaded();
    } catch (thrown) {
      if (thrown !== "unwind") throw thrown;  // the frame loop taking over
    }
  };
  if (!Module.orbiluxStoredFolder) return loaded();
  FS.syncfs(true, function(error) {
    if (error) console.warn("Orbilux Rush: the stored best score could not be read", error);
    loaded();
  });
});

// A failure leaves the best in memory, and the next save sends the folder again.
EM_JS(void, send_folder_to_storage, (), {
  if (!Module.orbiluxStoredFolder) return;
  FS.syncfs(false, function(error) {
    if (error) console.warn("Orbilux Rush: the best score could not be stored", error);
    else if (Module.orbiluxAskToKeepStorage) Module.orbiluxAskToKeepStorage();
  });
});

}  // namespace

// Called by mount_and_load, from the page's JavaScript.
extern "C" EMSCRIPTEN_KEEPALIVE void orbilux_browser_storage_loaded() { after_loading(); }

void load_browser_storage_then(const char* folder, void (*then)()) {
  after_loading = then;
  keep_each_save_with(send_folder_to_storage);  // the page's files last only as long as the page
  mount_and_load(folder);
}
