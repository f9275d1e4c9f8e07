// A fresh folder of the test's own under the system's temporary folder, removed with
// everything in it afterwards, even what a test took its own rights away from.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#else
#include <stdlib.h>
#endif

class TempFolder {
 public:
  // `parent` must exist; without it, or when no folder can be made, path() is empty.
  explicit TempFolder(const std::string& parent = std::filesystem::temp_directory_path().string()) {
    std::string pattern = (std::filesystem::path(parent) / "orbilux-test.XXXXXX").string();
#ifdef _WIN32
    if (_mktemp(pattern.data()) != nullptr && _mkdir(pattern.c_str()) == 0) path_ = pattern;
#else
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
#endif
  }
  ~TempFolder() {
    if (path_.empty()) return;
    make_removable(path_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  const char* c_str() const { return path_.c_str(); }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  // Gives the owner back every right on `at` and on everything below it; links are not followed.
  static void make_removable(const std::filesystem::path& at) {
    std::error_code ignored;
    const std::filesystem::file_status status = std::filesystem::symlink_status(at, ignored);
    if (std::filesystem::is_symlink(status)) return;
    std::filesystem::permissions(at, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    if (!std::filesystem::is_directory(status)) return;
    for (const auto& entry : std::filesystem::directory_iterator(at, ignored)) make_removable(entry.path());
  }

  std::string path_;
};
