// The best score on Windows: the player's registry, as the game has always kept it there,
// or the same small file as elsewhere when ORBILUX_RUSH_DATA_DIR names a folder (tests, or
// a copy of the game carried on a stick). The file's format and its acceptance rule are the
// ones of app/best_score_store.cpp and app/posix/; only the calls that reach the disk differ.
#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <cwchar>
#include <string>

#include "app/best_score_store.h"
#include "app/settings_store.h"

namespace {

bool to_wide(const char* utf8, wchar_t* out, size_t capacity) {
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, out, static_cast<int>(capacity));
  return n > 0;
}

// `folder`\`name`, both UTF-8, as the wide path Windows' calls take.
bool join(wchar_t* out, size_t capacity, const char* folder, const char* name) {
  char path[kStorePathCapacity];
  if (folder == nullptr || folder[0] == '\0') return false;
  const int n = std::snprintf(path, sizeof path, "%s\\%s", folder, name);
  return n > 0 && static_cast<size_t>(n) < sizeof path && to_wide(path, out, capacity);
}

bool is_directory(const wchar_t* path) {
  const DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// mkdir -p: every prefix that ends before a separator, then the whole path.
bool make_folders(const wchar_t* folder) {
  wchar_t path[kStorePathCapacity];
  const size_t length = std::wcslen(folder);
  if (length == 0 || length >= kStorePathCapacity) return false;
  std::wmemcpy(path, folder, length + 1);
  for (size_t i = 1; i <= length; ++i) {
    if (path[i] != L'\\' && path[i] != L'/' && path[i] != L'\0') continue;
    if (i > 0 && path[i - 1] == L':') continue;  // "C:" is a drive, not a folder to make
    const wchar_t saved = path[i];
    path[i] = L'\0';
    if (!CreateDirectoryW(path, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    path[i] = saved;
  }
  return is_directory(folder);
}

bool write_all(HANDLE file, const char* bytes, DWORD length) {
  while (length > 0) {
    DWORD written = 0;
    if (!WriteFile(file, bytes, length, &written, nullptr) || written == 0) return false;
    bytes += written;
    length -= written;
  }
  return true;
}

// The registry's names, as the wide strings its calls take.
struct RegistryNames {
  wchar_t key[64];
  wchar_t value[32];
};

bool registry_names(RegistryNames& names) {
  return to_wide(kBestScoreRegistryKey, names.key, 64) && to_wide(kBestScoreRegistryValue, names.value, 32);
}

StoredBest load_registry_best() {
  RegistryNames names;
  if (!registry_names(names)) return {};
  DWORD value = 0;
  DWORD size = sizeof value;
  // Restricted to REG_DWORD: a value of any other type makes the read fail, and counts as none.
  if (RegGetValueW(HKEY_CURRENT_USER, names.key, names.value, RRF_RT_REG_DWORD, nullptr, &value,
                   &size) != ERROR_SUCCESS) {
    return {};
  }
  // Read unsigned, so a value that would be negative as a signed number is refused too.
  if (value > kMaxBestScore) return {};
  return {true, static_cast<int64_t>(value)};
}

bool save_registry_best(int32_t value) {
  RegistryNames names;
  if (value < 0 || value > kMaxBestScore || !registry_names(names)) return false;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, names.key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const DWORD stored = static_cast<DWORD>(value);
  const bool written = RegSetValueExW(key, names.value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored),
                                      sizeof stored) == ERROR_SUCCESS;
  RegCloseKey(key);
  return written;
}

}  // namespace

bool best_score_folder(char* out, size_t capacity) {
  if (capacity == 0) return false;
  out[0] = '\0';
  wchar_t name[64];
  wchar_t folder[kStorePathCapacity];
  if (!to_wide(kDataDirVariable, name, 64)) return false;
  const DWORD length = GetEnvironmentVariableW(name, folder, kStorePathCapacity);
  if (length == 0 || length >= kStorePathCapacity) return false;  // not set, empty, or too long
  const int n = WideCharToMultiByte(CP_UTF8, 0, folder, -1, out, static_cast<int>(capacity), nullptr, nullptr);
  if (n <= 0) {
    out[0] = '\0';
    return false;
  }
  return true;
}

namespace {

// Up to `capacity` bytes from the start of `folder`\`name`; -1 when it is missing, unreadable
// or not a disk file (a folder or a device in its place does not open as one).
long read_file_start(const char* folder, const char* name, char* bytes, size_t capacity) {
  wchar_t path[kStorePathCapacity];
  if (!join(path, kStorePathCapacity, folder, name)) return -1;
  const HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  size_t length = 0;
  bool readable = GetFileType(file) == FILE_TYPE_DISK;
  while (readable && length < capacity) {
    DWORD n = 0;
    if (!ReadFile(file, bytes + length, static_cast<DWORD>(capacity - length), &n, nullptr)) readable = false;
    if (n == 0) break;
    length += n;
  }
  CloseHandle(file);
  return readable ? static_cast<long>(length) : -1;
}

// Written beside the old file, flushed, and moved over it in one step through to the disk:
// the old or the new bytes, never half of them.
bool replace_file_atomically(const char* folder, const char* name, const char* bytes, size_t length) {
  wchar_t final_path[kStorePathCapacity];
  wchar_t temp_path[kStorePathCapacity];
  char temp_name[64];
  std::snprintf(temp_name, sizeof temp_name, ".%s.%lu-%llu", name, GetCurrentProcessId(),
                static_cast<unsigned long long>(GetTickCount64()));
  if (!join(final_path, kStorePathCapacity, folder, name)) return false;
  if (!join(temp_path, kStorePathCapacity, folder, temp_name)) return false;
  wchar_t wide_folder[kStorePathCapacity];
  if (!to_wide(folder, wide_folder, kStorePathCapacity)) return false;
  if (!is_directory(wide_folder) && !make_folders(wide_folder)) return false;

  const HANDLE file = CreateFileW(temp_path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool written = write_all(file, bytes, static_cast<DWORD>(length)) && FlushFileBuffers(file);
  if (!CloseHandle(file)) written = false;
  if (!written || !MoveFileExW(temp_path, final_path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp_path);
    return false;
  }
  return true;
}

}  // namespace

StoredBest load_best_score_from(const char* folder) {
  char bytes[kBestScoreReadLimit];
  const long length = read_file_start(folder, kBestScoreFileName, bytes, sizeof bytes);
  return length < 0 ? StoredBest{} : parse_best_score(bytes, static_cast<size_t>(length));
}

bool save_best_score_to(const char* folder, int32_t value) {
  // A number we would refuse to read back is not worth replacing a good one with.
  if (value < 0 || value > kMaxBestScore) return false;
  char text[16];
  const int length = std::snprintf(text, sizeof text, "%d\n", static_cast<int>(value));
  return length > 0 && replace_file_atomically(folder, kBestScoreFileName, text, static_cast<size_t>(length));
}

void remove_stale_save_leftovers(const char* folder, const char* name, int64_t older_than_seconds) {
  wchar_t pattern[kStorePathCapacity];
  char leftovers[kStorePathCapacity];  // replace_file_atomically's temporary names
  const int n = std::snprintf(leftovers, sizeof leftovers, ".%s.*", name);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof leftovers) return;
  if (!join(pattern, kStorePathCapacity, folder, leftovers)) return;
  wchar_t wide_folder[kStorePathCapacity];
  if (!to_wide(folder, wide_folder, kStorePathCapacity)) return;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW(pattern, &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  FILETIME now_time;
  GetSystemTimeAsFileTime(&now_time);
  const auto ticks = [](const FILETIME& t) { return (static_cast<int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  constexpr int64_t kTicksPerSecond = 10'000'000;  // FILETIME counts 100 ns steps
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    // A young leftover may belong to another copy of the game saving right now.
    if (ticks(now_time) - ticks(entry.ftLastWriteTime) < older_than_seconds * kTicksPerSecond) continue;
    wchar_t path[kStorePathCapacity];
    const int n = std::swprintf(path, kStorePathCapacity, L"%ls\\%ls", wide_folder, entry.cFileName);
    if (n > 0 && static_cast<size_t>(n) < kStorePathCapacity) DeleteFileW(path);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

StoredBest load_best_score() {
  char folder[kStorePathCapacity];
  if (!best_score_folder(folder, sizeof folder)) return load_registry_best();
  remove_stale_save_leftovers(folder, kBestScoreFileName, kStaleLeftoverSeconds);
  return load_best_score_from(folder);
}

bool save_best_score_to_data_folder(int32_t value) {
  char folder[kStorePathCapacity];
  if (!best_score_folder(folder, sizeof folder)) return save_registry_best(value);
  return save_best_score_to(folder, value);
}

void print_best_score_place(std::FILE* out, const char*) {
  std::fprintf(out,
               "The best score is kept in the registry, HKEY_CURRENT_USER\\%s\\%s\n"
               "(or in a file in %%%s%% when that is set).\n",
               kBestScoreRegistryKey, kBestScoreRegistryValue, kDataDirVariable);
}

// The options: the same `name = value` text as elsewhere, each line a string value of its
// own under the game's registry key, unless ORBILUX_RUSH_DATA_DIR names a folder for the file.
std::string load_options_text() {
  char folder[kStorePathCapacity];
  if (best_score_folder(folder, sizeof folder)) {
    remove_stale_save_leftovers(folder, kSettingsFileName, kStaleLeftoverSeconds);
    static char bytes[kSettingsReadLimit];
    const long length = read_file_start(folder, kSettingsFileName, bytes, sizeof bytes);
    return length > 0 ? std::string(bytes, static_cast<size_t>(length)) : std::string();
  }
  RegistryNames names;
  if (!registry_names(names)) return {};
  std::string text;
  for (const char* name : kOptionNames) {
    wchar_t wide_name[32];
    wchar_t value[kKeyNameCapacity];
    DWORD size = sizeof value;
    if (!to_wide(name, wide_name, 32) ||
        RegGetValueW(HKEY_CURRENT_USER, names.key, wide_name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
      continue;
    }
    char utf8[kKeyNameCapacity * 3];
    if (WideCharToMultiByte(CP_UTF8, 0, value, -1, utf8, static_cast<int>(sizeof utf8), nullptr, nullptr) <= 0) continue;
    text += std::string(name) + " = " + utf8 + "\n";
  }
  return text;
}

bool save_options_text(const std::string& text) {
  char folder[kStorePathCapacity];
  if (best_score_folder(folder, sizeof folder)) {
    return replace_file_atomically(folder, kSettingsFileName, text.data(), text.size());
  }
  RegistryNames names;
  HKEY key;
  if (!registry_names(names) || RegCreateKeyExW(HKEY_CURRENT_USER, names.key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  bool written = true;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    const size_t equals = line.find(" = ");
    wchar_t wide_name[32];
    wchar_t value[kKeyNameCapacity];
    if (equals == std::string::npos || !to_wide(line.substr(0, equals).c_str(), wide_name, 32) ||
        !to_wide(line.substr(equals + 3).c_str(), value, kKeyNameCapacity)) {
      written = false;
      continue;
    }
    const DWORD bytes = static_cast<DWORD>((std::wcslen(value) + 1) * sizeof(wchar_t));
    written = RegSetValueExW(key, wide_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes) == ERROR_SUCCESS &&
              written;
  }
  RegCloseKey(key);
  return written;
}

void print_options_place(std::FILE* out) {
  std::fprintf(out,
               "The options (S) are kept in the registry under HKEY_CURRENT_USER\\%s\n"
               "(or in %s in %%%s%% when that is set).\n",
               kBestScoreRegistryKey, kSettingsFileName, kDataDirVariable);
}
