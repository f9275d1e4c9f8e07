// The best score's file on POSIX calls: Linux's, and the browser's in-memory files.
#include "app/posix/best_score_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/best_score_store.h"

namespace {

void (*keep_save)() = nullptr;

bool is_absolute(const char* path) { return path != nullptr && path[0] == '/'; }

bool join(char* out, size_t capacity, const char* folder, const char* name) {
  const int n = std::snprintf(out, capacity, "%s/%s", folder, name);
  return n > 0 && static_cast<size_t>(n) < capacity;
}

int open_retrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = open(path, flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

bool write_all(int fd, const char* bytes, size_t length) {
  while (length > 0) {
    const ssize_t n = write(fd, bytes, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

bool fsync_retrying(int fd) {
  int result;
  do {
    result = fsync(fd);
  } while (result < 0 && errno == EINTR);
  return result == 0;
}

bool is_directory(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// mkdir -p, private to the player as data folders should be.
bool make_folders(const char* folder) {
  char path[kStorePathCapacity];
  const size_t length = std::strlen(folder);
  if (length == 0 || length >= sizeof path) return false;
  std::memcpy(path, folder, length + 1);
  for (size_t i = 1; i <= length; ++i) {
    if (path[i] != '/' && path[i] != '\0') continue;
    const char saved = path[i];
    path[i] = '\0';
    if (mkdir(path, 0700) != 0 && errno != EEXIST) return false;
    path[i] = saved;
  }
  return is_directory(folder);
}

// After a rename the folder's entry must reach the disk too, or a crash could bring back
// the old file. File systems that cannot sync a folder still did the rename.
void sync_folder(const char* folder) {
  const int fd = open_retrying(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync_retrying(fd);
  close(fd);
}

}  // namespace

bool home_folder(char* out, size_t capacity) {
  const char* home = std::getenv("HOME");
  if (is_absolute(home)) {
    const int n = std::snprintf(out, capacity, "%s", home);
    return n > 0 && static_cast<size_t>(n) < capacity;
  }
  struct passwd entry;
  struct passwd* found = nullptr;
  char buffer[kStorePathCapacity];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr) return false;
  if (!is_absolute(entry.pw_dir)) return false;
  const int n = std::snprintf(out, capacity, "%s", entry.pw_dir);
  return n > 0 && static_cast<size_t>(n) < capacity;
}

bool best_score_folder(char* out, size_t capacity) {
  if (capacity == 0) return false;
  out[0] = '\0';
  int n = -1;
  const char* overridden = std::getenv(kDataDirVariable);
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (overridden != nullptr && overridden[0] != '\0') {
    n = std::snprintf(out, capacity, "%s", overridden);
  } else if (is_absolute(xdg)) {  // a relative XDG_DATA_HOME is invalid and ignored
    n = std::snprintf(out, capacity, "%s/%s", xdg, kAppFolderName);
  } else {
    char home[kStorePathCapacity];
    if (home_folder(home, sizeof home)) n = std::snprintf(out, capacity, "%s/.local/share/%s", home, kAppFolderName);
  }
  if (n <= 0 || static_cast<size_t>(n) >= capacity) {
    out[0] = '\0';
    return false;
  }
  return true;
}

StoredBest load_best_score_from(const char* folder) {
  char bytes[kBestScoreReadLimit];
  const long length = read_file_start(folder, kBestScoreFileName, bytes, sizeof bytes);
  return length < 0 ? StoredBest{} : parse_best_score(bytes, static_cast<size_t>(length));
}

long read_file_start(const char* folder, const char* name, char* bytes, size_t capacity) {
  char path[kStorePathCapacity];
  if (folder == nullptr || folder[0] == '\0' || !join(path, sizeof path, folder, name)) return -1;
  // Non-blocking, so that a pipe or device put in the file's place cannot hang the start.
  const int fd = open_retrying(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return -1;
  }
  size_t length = 0;
  while (length < capacity) {
    const ssize_t n = read(fd, bytes + length, capacity - length);
    if (n < 0) {
      if (errno == EINTR) continue;
      close(fd);
      return -1;
    }
    if (n == 0) break;
    length += static_cast<size_t>(n);
  }
  close(fd);
  return static_cast<long>(length);
}

bool save_best_score_to(const char* folder, int32_t value) {
  // A number we would refuse to read back is not worth replacing a good one with.
  if (value < 0 || value > kMaxBestScore) return false;
  char text[16];
  const int length = std::snprintf(text, sizeof text, "%d\n", static_cast<int>(value));
  return length > 0 && replace_file_atomically(folder, kBestScoreFileName, text, static_cast<size_t>(length));
}

bool replace_file_atomically(const char* folder, const char* name, const char* bytes, size_t length) {
  if (folder == nullptr || folder[0] == '\0') return false;
  char final_path[kStorePathCapacity];
  char temp_path[kStorePathCapacity];
  char temp_name[kStorePathCapacity];
  if (std::snprintf(temp_name, sizeof temp_name, ".%s.XXXXXX", name) >= static_cast<int>(sizeof temp_name)) return false;
  if (!join(final_path, sizeof final_path, folder, name)) return false;
  if (!join(temp_path, sizeof temp_path, folder, temp_name)) return false;
  if (!is_directory(folder) && !make_folders(folder)) return false;

  const int fd = mkostemp(temp_path, O_CLOEXEC);
  if (fd < 0) return false;
  bool written = write_all(fd, bytes, length) && fsync_retrying(fd);
  // close() can report a late write error; with the data synced that is rare, but then
  // the file is not trusted.
  if (close(fd) != 0 && errno != EINTR) written = false;
  if (!written || rename(temp_path, final_path) != 0) {
    unlink(temp_path);
    return false;
  }
  sync_folder(folder);
  return true;
}

void remove_stale_save_leftovers(const char* folder, const char* name, int64_t older_than_seconds) {
  char prefix[kStorePathCapacity];  // replace_file_atomically's temporary names begin so
  const int prefix_length = std::snprintf(prefix, sizeof prefix, ".%s.", name);
  if (prefix_length <= 0 || static_cast<size_t>(prefix_length) >= sizeof prefix) return;
  DIR* dir = opendir(folder);
  if (dir == nullptr) return;
  const time_t now = time(nullptr);
  while (const dirent* entry = readdir(dir)) {
    if (std::strncmp(entry->d_name, prefix, static_cast<size_t>(prefix_length)) != 0) continue;
    struct stat info;
    if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    // A save takes milliseconds: an old leftover is from a game that died mid-save, while a
    // young one may belong to another copy of the game saving right now.
    if (!S_ISREG(info.st_mode) || now - info.st_mtime < older_than_seconds) continue;
    unlinkat(dirfd(dir), entry->d_name, 0);
  }
  closedir(dir);
}

StoredBest load_best_score() {
  char folder[kStorePathCapacity];
  if (!best_score_folder(folder, sizeof folder)) return {};
  remove_stale_save_leftovers(folder, kBestScoreFileName, kStaleLeftoverSeconds);
  return load_best_score_from(folder);
}

bool save_best_score_to_data_folder(int32_t value) {
  char folder[kStorePathCapacity];
  if (!best_score_folder(folder, sizeof folder)) return false;
  const bool saved = save_best_score_to(folder, value);
  if (saved) keep_saved_files();
  return saved;
}

void keep_saved_files() {
  if (keep_save != nullptr) keep_save();
}

void keep_each_save_with(void (*keep)()) { keep_save = keep; }

void print_best_score_place(std::FILE* out, const char* program) {
  std::fprintf(out,
               "The best score is kept in $XDG_DATA_HOME/%s/best-score\n"
               "(or in $%s when that is set). See %s(6).\n",
               kAppFolderName, kDataDirVariable, program);
}
