// Built for Windows only (render/CMakeLists.txt).
#include <windows.h>

#include <cwchar>

#include "render/shipped_fonts.h"

void load_shipped_fonts() {
  static bool loaded = false;
  if (loaded) return;
  loaded = true;
  wchar_t folder[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  wchar_t* last_separator = std::wcsrchr(folder, L'\\');
  if (last_separator == nullptr) return;
  *last_separator = L'\0';
  wchar_t pattern[MAX_PATH];
  if (std::swprintf(pattern, MAX_PATH, L"%ls\\fonts\\*.ttf", folder) < 0) return;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW(pattern, &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    wchar_t path[MAX_PATH];
    // Private: the faces are ours while the game runs and never appear in other programs.
    if (std::swprintf(path, MAX_PATH, L"%ls\\fonts\\%ls", folder, entry.cFileName) > 0) {
      AddFontResourceExW(path, FR_PRIVATE, nullptr);
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}
