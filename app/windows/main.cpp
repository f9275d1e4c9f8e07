#include "app/windows_start.h"

#include <glib.h>
#include <windows.h>

#include <cstdio>

namespace {

bool leads_somewhere(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

void drop_message(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

}  // namespace

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
