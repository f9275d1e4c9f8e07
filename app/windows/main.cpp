// The game's entry on Windows.
#include <glib.h>
#include <windows.h>

#include <cstdio>

#include "app/app_main.h"

namespace {

bool leads_somewhere(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

void drop_message(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// The game is a windowed program, so Windows gives it no console. Started from one (cmd,
// PowerShell), it borrows its parent's, so that --help, --version and a start-up failure
// still print there; started from the Start menu it prints nowhere, and shows no dialog.
// Also keeps the font map's complaints about faces it cannot load (Wine has a few) out of
// that console: they are not the player's business.
void prepare_windows_start() {
  // Output already redirected (a pipe, a file) is left as it is.
  const bool out = leads_somewhere(STD_OUTPUT_HANDLE);
  const bool err = leads_somewhere(STD_ERROR_HANDLE);
  if ((!out || !err) && AttachConsole(ATTACH_PARENT_PROCESS)) {
    if (!out) std::freopen("CONOUT$", "w", stdout);
    if (!err) std::freopen("CONOUT$", "w", stderr);
  }
  g_log_set_handler("Pango", static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL), drop_message,
                    nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  prepare_windows_start();
  return app_main(argc, argv);
}
