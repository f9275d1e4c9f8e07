// The best-score file: what is accepted, what counts as no score, how a new best replaces
// the old one, and where the file lives.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "app/best_score_store.h"

namespace {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/orbilux-store-test.XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~TempFolder() { std::system(("chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'").c_str()); }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

std::set<std::string> entries_of(const std::string& folder) {
  std::set<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.insert(name);
  }
  closedir(dir);
  return names;
}

StoredBest load_text(const TempFolder& folder, const std::string& bytes) {
  write_file(folder / kBestScoreFileName, bytes);
  return load_best_score_from(folder.path().c_str());
}

// Sets or clears an environment variable for one test and puts it back afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (had_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

// Runs `steps` in a child process without root's power to ignore file permissions, and
// returns the number of the first step that went wrong (0: none, 100: could not run).
template <typename Steps>
int as_ordinary_user(Steps steps) {
  const pid_t child = fork();
  if (child < 0) return 100;
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
    _exit(steps());
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return 100;
  return WEXITSTATUS(status);
}

std::string folder_now() {
  char out[kStorePathCapacity];
  if (!best_score_folder(out, sizeof out)) return "<none>";
  return out;
}

}  // namespace

TEST(BestScoreParse, AcceptsPlainNumbersWithOrWithoutOneNewline) {
  const struct {
    const char* text;
    int64_t value;
  } cases[] = {
      {"0", 0},          {"0\n", 0}, {"41", 41}, {"41\n", 41}, {"999999999", 999'999'999}, {"999999999\n", 999'999'999},
      {"0000000041", 41}};
  for (const auto& c : cases) {
    const StoredBest best = parse_best_score(c.text, std::string(c.text).size());
    EXPECT_TRUE(best.found) << c.text;
    EXPECT_EQ(best.value, c.value) << c.text;
  }
}

TEST(BestScoreParse, EverythingElseIsNoScore) {
  const std::string cases[] = {"",
                               "\n",
                               "-1",
                               "-1\n",
                               "+5",
                               "1000000000",
                               "1000000000\n",
                               "4294967295",
                               "99999999999",
                               "abc",
                               "41x",
                               "4 1",
                               " 41",
                               "41 ",
                               "41\n\n",
                               "41\r\n",
                               "0x29",
                               "41\n42",
                               std::string("4\0", 2),
                               std::string("\0\0\0\0", 4),
                               "١٢"};
  for (const std::string& text : cases) {
    const StoredBest best = parse_best_score(text.data(), text.size());
    EXPECT_FALSE(best.found) << "'" << text << "'";
    EXPECT_EQ(best.value, 0) << "'" << text << "'";
  }
}

TEST(BestScoreLoad, DamagedOrMissingFilesCountAsNoScore) {
  TempFolder folder;
  EXPECT_FALSE(load_best_score_from(folder.path().c_str()).found) << "missing";
  EXPECT_FALSE(load_text(folder, "").found) << "empty";
  EXPECT_FALSE(load_text(folder, "-7\n").found) << "negative";
  EXPECT_FALSE(load_text(folder, "1000000000\n").found) << "too large";
  EXPECT_FALSE(load_text(folder, "4294967295\n").found) << "unsigned maximum";
  EXPECT_FALSE(load_text(folder, "forty-one\n").found) << "text";
  EXPECT_FALSE(load_text(folder, "41 points\n").found) << "trailing junk";
  EXPECT_FALSE(load_text(folder, std::string("\x29\x00\x00\x00", 4)).found) << "a binary number";
  EXPECT_TRUE(load_text(folder, "41\n").found) << "and a good one after all that";
  EXPECT_FALSE(load_best_score_from("").found) << "no folder";
  EXPECT_FALSE(load_best_score_from(nullptr).found) << "no folder";
}

TEST(BestScoreLoad, AHugeFileIsRejectedFromItsFirstBytes) {
  TempFolder folder;
  // A valid number followed by megabytes of padding: only the first bytes are looked at,
  // and they already show more than a number.
  std::string huge = "41\n";
  huge.append(8 << 20, '\n');
  EXPECT_FALSE(load_text(folder, huge).found);
  std::string digits(4 << 20, '7');
  EXPECT_FALSE(load_text(folder, digits).found);
}

TEST(BestScoreLoad, SomethingOtherThanAFileInItsPlaceCountsAsNoScore) {
  TempFolder folder;
  const std::string path = folder / kBestScoreFileName;
  ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
  EXPECT_FALSE(load_best_score_from(folder.path().c_str()).found) << "a folder";
  rmdir(path.c_str());

  // A pipe with no writer would block a plain open for ever.
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  EXPECT_FALSE(load_best_score_from(folder.path().c_str()).found) << "a pipe";
  unlink(path.c_str());

  ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0);
  EXPECT_FALSE(load_best_score_from(folder.path().c_str()).found) << "a device";
  unlink(path.c_str());

  write_file(folder / "elsewhere", "41\n");
  ASSERT_EQ(symlink((folder / "elsewhere").c_str(), path.c_str()), 0);
  EXPECT_EQ(load_best_score_from(folder.path().c_str()).value, 41) << "a link to a good file is fine";
}

TEST(BestScoreLoad, AnUnreadableFileCountsAsNoScore) {
  TempFolder folder;
  write_file(folder / kBestScoreFileName, "41\n");
  chmod(folder.path().c_str(), 0755);
  chmod((folder / kBestScoreFileName).c_str(), 0);
  const std::string path = folder.path();
  const int failed_step = as_ordinary_user([&] {
    if (load_best_score_from(path.c_str()).found) return 1;
    return 0;
  });
  EXPECT_EQ(failed_step, 0);
}

TEST(BestScoreSave, RoundTripsAndWritesTheNumberAndANewline) {
  TempFolder folder;
  for (int32_t value : {1, 5, 41, 0, 999'999'999, 7}) {
    ASSERT_TRUE(save_best_score_to(folder.path().c_str(), value)) << value;
    EXPECT_EQ(read_file(folder / kBestScoreFileName), std::to_string(value) + "\n");
    const StoredBest back = load_best_score_from(folder.path().c_str());
    EXPECT_TRUE(back.found);
    EXPECT_EQ(back.value, value);
  }
  EXPECT_EQ(entries_of(folder.path()), std::set<std::string>{kBestScoreFileName}) << "no temporary file stays";
}

TEST(BestScoreSave, ReplacesADamagedFileWithAValidOne) {
  TempFolder folder;
  write_file(folder / kBestScoreFileName, "garbage that is longer than any number\n");
  ASSERT_TRUE(save_best_score_to(folder.path().c_str(), 3));
  EXPECT_EQ(read_file(folder / kBestScoreFileName), "3\n");
}

TEST(BestScoreSave, RefusesNumbersItWouldNotReadBack) {
  TempFolder folder;
  ASSERT_TRUE(save_best_score_to(folder.path().c_str(), 41));
  EXPECT_FALSE(save_best_score_to(folder.path().c_str(), 1'000'000'000));
  EXPECT_FALSE(save_best_score_to(folder.path().c_str(), -1));
  EXPECT_EQ(read_file(folder / kBestScoreFileName), "41\n");
}

TEST(BestScoreSave, CreatesTheFolderAndItsParents) {
  TempFolder folder;
  const std::string nested = folder / "a/b/orbilux-rush";
  ASSERT_TRUE(save_best_score_to(nested.c_str(), 12));
  EXPECT_EQ(read_file(nested + "/" + kBestScoreFileName), "12\n");
  struct stat info;
  ASSERT_EQ(stat(nested.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u) << "a data folder is the player's own";
}

TEST(BestScoreSave, AFolderThatCannotBeMadeFailsAndTheNextSaveSucceedsOnceItCan) {
  TempFolder folder;
  // A file where a parent folder should be: nothing can be created below it, even by root.
  write_file(folder / "blocked", "not a folder");
  const std::string target = folder / "blocked/orbilux-rush";
  EXPECT_FALSE(save_best_score_to(target.c_str(), 9));
  unlink((folder / "blocked").c_str());
  EXPECT_TRUE(save_best_score_to(target.c_str(), 10));
  EXPECT_EQ(load_best_score_from(target.c_str()).value, 10);
}

TEST(BestScoreSave, AReadOnlyFolderKeepsTheOldFileAndTheNextSaveSucceedsOnceWritable) {
  TempFolder folder;
  chmod(folder.path().c_str(), 0777);
  const std::string target = folder / "data";
  const int failed_step = as_ordinary_user([&] {
    if (!save_best_score_to(target.c_str(), 20)) return 1;
    chmod(target.c_str(), 0500);
    if (save_best_score_to(target.c_str(), 21)) return 2;
    chmod(target.c_str(), 0700);
    if (read_file(target + "/" + kBestScoreFileName) != "20\n") return 3;
    if (entries_of(target) != std::set<std::string>{kBestScoreFileName}) return 4;
    if (!save_best_score_to(target.c_str(), 22)) return 5;
    if (read_file(target + "/" + kBestScoreFileName) != "22\n") return 6;
    return 0;
  });
  EXPECT_EQ(failed_step, 0);
}

TEST(BestScoreSave, AWriteCutShortKeepsTheOldValueAndLeavesNoTemporaryFile) {
  TempFolder folder;
  ASSERT_TRUE(save_best_score_to(folder.path().c_str(), 5));
  // Files may hold one byte: the second byte of "41\n" fails (a full disk, as far as
  // the store can tell), even for root.
  struct rlimit old_limit;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const sighandler_t old_handler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit tiny = old_limit;
  tiny.rlim_cur = 1;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
  const bool saved = save_best_score_to(folder.path().c_str(), 41);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);

  EXPECT_FALSE(saved);
  EXPECT_EQ(read_file(folder / kBestScoreFileName), "5\n");
  EXPECT_EQ(entries_of(folder.path()), std::set<std::string>{kBestScoreFileName});
  EXPECT_TRUE(save_best_score_to(folder.path().c_str(), 41)) << "the next new best tries again";
  EXPECT_EQ(read_file(folder / kBestScoreFileName), "41\n");
}

TEST(BestScoreSave, AFolderInTheFilesPlaceIsLeftAloneAndNoTemporaryFileStays) {
  TempFolder folder;
  ASSERT_EQ(mkdir((folder / kBestScoreFileName).c_str(), 0700), 0);
  write_file(folder / kBestScoreFileName + "/keep", "mine");
  EXPECT_FALSE(save_best_score_to(folder.path().c_str(), 8));
  EXPECT_EQ(read_file(folder / kBestScoreFileName + "/keep"), "mine");
  EXPECT_EQ(entries_of(folder.path()), std::set<std::string>{kBestScoreFileName});
}

TEST(BestScoreSave, ALeftoverFromAnInterruptedSaveDoesNotDisturbLoading) {
  TempFolder folder;
  write_file(folder / kBestScoreFileName, "41\n");
  write_file(folder / ".best-score.Ab12Cd", "9");  // a crash between write and rename
  EXPECT_EQ(load_best_score_from(folder.path().c_str()).value, 41);
  ASSERT_TRUE(save_best_score_to(folder.path().c_str(), 42));
  EXPECT_EQ(load_best_score_from(folder.path().c_str()).value, 42);
}

TEST(BestScoreSave, StaleLeftoversOfInterruptedSavesAreClearedAtStartYoungOnesKept) {
  TempFolder folder;
  ScopedEnv dir(kDataDirVariable, folder.path().c_str());
  write_file(folder / kBestScoreFileName, "41\n");
  write_file(folder / ".best-score.old111", "9");     // a game killed mid-save long ago
  write_file(folder / ".best-score.new222", "50\n");  // another copy saving right now
  write_file(folder / "notes.txt", "mine");
  mkdir((folder / ".best-score.dir333").c_str(), 0700);
  const timespec two_minutes_ago[2] = {{time(nullptr) - 120, 0}, {time(nullptr) - 120, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, (folder / ".best-score.old111").c_str(), two_minutes_ago, 0), 0);
  ASSERT_EQ(utimensat(AT_FDCWD, (folder / ".best-score.dir333").c_str(), two_minutes_ago, 0), 0);
  EXPECT_EQ(load_best_score().value, 41);
  EXPECT_EQ(entries_of(folder.path()),
            (std::set<std::string>{kBestScoreFileName, ".best-score.new222", ".best-score.dir333", "notes.txt"}));
  remove_stale_save_leftovers((folder / "missing").c_str(), 0);  // no folder: nothing to do
}

TEST(BestScoreFolder, FollowsTheOverrideThenXdgDataHomeThenHome) {
  {
    ScopedEnv dir(kDataDirVariable, "/srv/games/orbilux");
    ScopedEnv xdg("XDG_DATA_HOME", "/xdg/data");
    EXPECT_EQ(folder_now(), "/srv/games/orbilux");
  }
  {
    ScopedEnv dir(kDataDirVariable, "");  // empty means not set
    ScopedEnv xdg("XDG_DATA_HOME", "/xdg/data");
    EXPECT_EQ(folder_now(), "/xdg/data/orbilux-rush");
  }
  {
    ScopedEnv dir(kDataDirVariable, nullptr);
    ScopedEnv home("HOME", "/home/player");
    ScopedEnv xdg("XDG_DATA_HOME", "relative/data");  // not absolute: ignored
    EXPECT_EQ(folder_now(), "/home/player/.local/share/orbilux-rush");
  }
  {
    ScopedEnv dir(kDataDirVariable, nullptr);
    ScopedEnv home("HOME", "/home/player");
    ScopedEnv xdg("XDG_DATA_HOME", "");
    EXPECT_EQ(folder_now(), "/home/player/.local/share/orbilux-rush");
  }
}

TEST(BestScoreFolder, APathTooLongToHoldIsNoFolder) {
  const std::string long_path = "/" + std::string(kStorePathCapacity + 10, 'x');
  ScopedEnv dir(kDataDirVariable, long_path.c_str());
  char out[kStorePathCapacity];
  EXPECT_FALSE(best_score_folder(out, sizeof out));
  EXPECT_STREQ(out, "");
  EXPECT_FALSE(load_best_score().found);
  EXPECT_FALSE(save_best_score_to_data_folder(3));
}

TEST(BestScoreFolder, TheDataFolderFunctionsUseTheOverride) {
  TempFolder folder;
  const std::string target = folder / "data";
  ScopedEnv dir(kDataDirVariable, target.c_str());
  EXPECT_FALSE(load_best_score().found);
  ASSERT_TRUE(save_best_score_to_data_folder(77));
  EXPECT_EQ(read_file(target + "/" + kBestScoreFileName), "77\n");
  EXPECT_EQ(load_best_score().value, 77);
}
