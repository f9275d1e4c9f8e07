// The best-score file: what is accepted, what counts as no score, how a new best replaces
// the old one, and where the file lives; then the file under attack: every kind of damage a
// file can suffer, files that are not files, a disk that is full, folders the player may not
// write, and a writer killed at random moments a thousand times. Whatever happens, loading
// must give a valid score or none, never hang or read without bound, and a score whose save
// completed must never be lost.
//
// What counts as a stored score: one to ten ASCII digits worth at most 999,999,999, with
// at most one newline after them. Leading zeros are part of a decimal number and are
// accepted ("007" is 7), as long as the text stays within those ten digits.
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/best_score_store.h"
#include "app/settings_store.h"
#include "tests/temp_folder.h"

namespace {

std::string best_file(const TempFolder& folder) { return folder / kBestScoreFileName; }

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

std::string folder_now() {
  char out[kStorePathCapacity];
  if (!best_score_folder(out, sizeof out)) return "<none>";
  return out;
}

// Names in the folder other than the best-score file itself: leftovers of a save.
int stray_entries(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return -1;
  int count = 0;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && name != kBestScoreFileName) count += 1;
  }
  closedir(dir);
  return count;
}

// Bytes this process has read through read() and its kin so far.
long long bytes_read_so_far() {
  std::ifstream io("/proc/self/io");
  std::string name;
  long long value = -1;
  while (io >> name >> value) {
    if (name == "rchar:") return value;
  }
  return -1;
}

// Runs `steps` in a child that has given up root's power over file permissions; returns
// the child's exit code (0: all went well), or 100 when it could not be run that way.
template <typename Steps>
int as_nobody(Steps steps) {
  const pid_t child = fork();
  if (child < 0) return 100;
  if (child == 0) {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
    _exit(steps());
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return 101;
  return WEXITSTATUS(status);
}

struct Damage {
  const char* kind;
  std::string bytes;
  bool found;
  int64_t value;
};

std::vector<Damage> damaged_files() {
  using namespace std::string_literals;
  return {
      {"empty", "", false, 0},
      {"only a newline", "\n", false, 0},
      {"spaces", "   ", false, 0},
      {"a space before", " 41\n", false, 0},
      {"a space after", "41 \n", false, 0},
      {"a tab after", "41\t", false, 0},
      {"negative", "-41\n", false, 0},
      {"negative zero", "-0\n", false, 0},
      {"leading plus", "+41\n", false, 0},
      {"leading zeros", "007\n", true, 7},
      {"leading zeros to ten digits", "0000000007", true, 7},
      {"leading zeros past ten digits", "00000000007\n", false, 0},
      {"zero", "0\n", true, 0},
      {"the largest score", "999999999\n", true, 999999999},
      {"the largest score without newline", "999999999", true, 999999999},
      {"one billion", "1000000000\n", false, 0},
      {"the largest 32-bit number", "4294967295\n", false, 0},
      {"past 31 bits", "2147483648\n", false, 0},
      {"past 32 bits", "4294967296\n", false, 0},
      {"past 63 bits", "9223372036854775808\n", false, 0},
      {"past 64 bits", "18446744073709551616\n", false, 0},
      {"forty digits", std::string(40, '9') + "\n", false, 0},
      {"text", "forty-one\n", false, 0},
      {"a setting line", "BestScore=41\n", false, 0},
      {"hexadecimal", "0x29\n", false, 0},
      {"a fraction", "41.0\n", false, 0},
      {"an exponent", "4e1\n", false, 0},
      {"trailing junk", "41abc", false, 0},
      {"a second line", "41\n42\n", false, 0},
      {"two newlines", "41\n\n", false, 0},
      {"a Windows line end", "41\r\n", false, 0},
      {"a NUL after the number", "41\0"s, false, 0},
      {"a NUL inside the number", "4\0001\n"s, false, 0},
      {"only NULs", std::string(16, '\0'), false, 0},
      {"four raw bytes of 41", "\x29\0\0\0"s, false, 0},
      {"a byte-order mark",
       "\xEF\xBB\xBF"
       "41\n",
       false, 0},
      {"full-width digits", "\xEF\xBC\x94\xEF\xBC\x91\n", false, 0},
      {"high bytes", "\xFF\xFE\xFD\n", false, 0},
  };
}

// A tiny file system of its own, so that it can be filled to the last byte.
class TinyFileSystem {
 public:
  explicit TinyFileSystem(const std::string& where) : path_(where) {
    mkdir(path_.c_str(), 0700);
    mounted_ = mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=8k") == 0;
  }
  ~TinyFileSystem() {
    if (mounted_) umount2(path_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  std::string path_;
  bool mounted_ = false;
};

// Starts the writer on `folder` from `first`; its reports arrive on the returned pipe.
pid_t start_writer(const std::string& folder, int32_t first, int* reports) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    const std::string value = std::to_string(first);
    execl(ROBUST_STORE_WRITER, ROBUST_STORE_WRITER, folder.c_str(), value.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  *reports = fds[0];
  return child;
}

// Reads whole reports until the pipe ends; returns the last value, or `last` if none.
int32_t last_report(int reports, int32_t last, size_t* count) {
  int32_t value = 0;
  for (;;) {
    const ssize_t n = read(reports, &value, sizeof value);
    if (n < 0 && errno == EINTR) continue;
    if (n != static_cast<ssize_t>(sizeof value)) return last;
    last = value;
    *count += 1;
  }
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

TEST(BestScoreLoad, ALinkToAGoodFileIsFollowed) {
  TempFolder folder;
  write_file(folder / "elsewhere", "41\n");
  ASSERT_EQ(symlink((folder / "elsewhere").c_str(), best_file(folder).c_str()), 0);
  EXPECT_EQ(load_best_score_from(folder.path().c_str()).value, 41);
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

TEST(BestScoreSave, AReadOnlyFolderKeepsTheOldFileAndTheNextSaveSucceedsOnceWritable) {
  TempFolder folder;
  chmod(folder.path().c_str(), 0777);
  const std::string target = folder / "data";
  const int failed_step = as_nobody([&] {
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

TEST(BestScoreSave, ALeftoverFromAnInterruptedSaveDoesNotDisturbLoading) {
  TempFolder folder;
  write_file(folder / kBestScoreFileName, "41\n");
  write_file(folder / ".best-score.Ab12Cd", "9");  // a crash between write and rename
  EXPECT_EQ(load_best_score_from(folder.path().c_str()).value, 41);
  ASSERT_TRUE(save_best_score_to(folder.path().c_str(), 42));
  EXPECT_EQ(load_best_score_from(folder.path().c_str()).value, 42);
}

TEST(PlayerFiles, StaleLeftoversOfInterruptedSavesAreClearedAtStartYoungOnesKept) {
  // The best score's file and the options' file, each loaded as at the game's start.
  for (const bool options : {false, true}) {
    const std::string name = options ? kSettingsFileName : kBestScoreFileName;
    SCOPED_TRACE(name);
    TempFolder folder;
    ScopedEnv dir(options ? kConfigDirVariable : kDataDirVariable, folder.path().c_str());
    const std::string old = "." + name + ".old111", young = "." + name + ".new222", inner = "." + name + ".dir333";
    write_file(folder / name, "41\n");
    write_file(folder / old, "9");       // a game killed mid-save long ago
    write_file(folder / young, "50\n");  // another copy saving right now
    write_file(folder / "notes.txt", "mine");
    mkdir((folder / inner).c_str(), 0700);
    const timespec two_minutes_ago[2] = {{time(nullptr) - 120, 0}, {time(nullptr) - 120, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (folder / old).c_str(), two_minutes_ago, 0), 0);
    ASSERT_EQ(utimensat(AT_FDCWD, (folder / inner).c_str(), two_minutes_ago, 0), 0);
    if (options) {
      EXPECT_EQ(load_options_text(), "41\n");
    } else {
      EXPECT_EQ(load_best_score().value, 41);
    }
    EXPECT_EQ(entries_of(folder.path()), (std::set<std::string>{name, young, inner, "notes.txt"}));
  }
  remove_stale_save_leftovers("/no/such/folder", kBestScoreFileName, 0);  // no folder: nothing to do
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

TEST(DamagedBestScoreFile, EachKindLoadsAsNoScoreOrItsExactValue) {
  TempFolder folder;
  for (const Damage& d : damaged_files()) {
    write_file(best_file(folder), d.bytes);
    const StoredBest got = load_best_score_from(folder.c_str());
    EXPECT_EQ(got.found, d.found) << d.kind;
    EXPECT_EQ(got.value, d.value) << d.kind;
    EXPECT_LE(got.value, 999'999'999) << d.kind;
  }
}

TEST(DamagedBestScoreFile, EachKindIsReplacedByTheNextNewBest) {
  TempFolder folder;
  for (const Damage& d : damaged_files()) {
    write_file(best_file(folder), d.bytes);
    ASSERT_TRUE(save_best_score_to(folder.c_str(), 12)) << d.kind;
    EXPECT_EQ(read_file(best_file(folder)), "12\n") << d.kind;
  }
  EXPECT_EQ(stray_entries(folder.path()), 0);
}

TEST(HugeBestScoreFile, AHundredMegabytesAreRejectedFromAFewBytes) {
  TempFolder folder;
  write_file(best_file(folder), "41\n");
  const int fd = open(best_file(folder).c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, 100LL * 1024 * 1024), 0);  // sparse: a hole after the number
  close(fd);

  const long long before = bytes_read_so_far();
  const StoredBest got = load_best_score_from(folder.c_str());
  const long long read = bytes_read_so_far() - before;
  EXPECT_FALSE(got.found);
  ASSERT_GE(before, 0) << "no /proc/self/io to count with";
  EXPECT_LT(read, 4096) << "loading read " << read << " bytes of a 100 MB file";

  ASSERT_TRUE(save_best_score_to(folder.c_str(), 41));
  struct stat info;
  ASSERT_EQ(stat(best_file(folder).c_str(), &info), 0);
  EXPECT_EQ(info.st_size, 3) << "a new best replaces the huge file";
}

TEST(NotAFile, AFolderInItsPlaceIsNoScoreAndIsLeftAlone) {
  TempFolder folder;
  ASSERT_EQ(mkdir(best_file(folder).c_str(), 0700), 0);
  write_file(best_file(folder) + "/inside", "keep");
  EXPECT_FALSE(load_best_score_from(folder.c_str()).found);
  EXPECT_FALSE(save_best_score_to(folder.c_str(), 5));
  EXPECT_EQ(read_file(best_file(folder) + "/inside"), "keep");
  EXPECT_EQ(stray_entries(folder.path()), 0);
}

TEST(NotAFile, ADanglingLinkIsNoScoreAndTheNextSaveReplacesIt) {
  TempFolder folder;
  ASSERT_EQ(symlink((folder / "gone").c_str(), best_file(folder).c_str()), 0);
  EXPECT_FALSE(load_best_score_from(folder.c_str()).found);
  ASSERT_TRUE(save_best_score_to(folder.c_str(), 9));
  struct stat info;
  ASSERT_EQ(lstat(best_file(folder).c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode)) << "the link itself is replaced, nothing is written through it";
  EXPECT_EQ(access((folder / "gone").c_str(), F_OK), -1);
  EXPECT_EQ(load_best_score_from(folder.c_str()).value, 9);
}

TEST(NotAFile, EndlessDevicesAndPipesAreRefusedWithoutHanging) {
  TempFolder folder;
  for (const char* device : {"/dev/zero", "/dev/urandom", "/dev/null"}) {
    unlink(best_file(folder).c_str());
    ASSERT_EQ(symlink(device, best_file(folder).c_str()), 0);
    EXPECT_FALSE(load_best_score_from(folder.c_str()).found) << device;
  }
  unlink(best_file(folder).c_str());
  ASSERT_EQ(mkfifo(best_file(folder).c_str(), 0600), 0);  // no writer: a plain open would block
  EXPECT_FALSE(load_best_score_from(folder.c_str()).found);
}

TEST(Permissions, AFileThePlayerMayNotReadIsNoScore) {
  TempFolder folder;
  write_file(best_file(folder), "41\n");
  ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
  for (const mode_t mode : {0000, 0200}) {
    ASSERT_EQ(chmod(best_file(folder).c_str(), mode), 0);
    const std::string path = folder.path();
    const int result = as_nobody([&] { return load_best_score_from(path.c_str()).found ? 1 : 0; });
    if (result == 100) GTEST_SKIP() << "cannot give up root here";
    EXPECT_EQ(result, 0) << "an unreadable file was read, mode " << mode;
  }
}

TEST(Permissions, AReadOnlyFolderKeepsTheOldScoreAndLeavesNothingBehind) {
  TempFolder folder;
  write_file(best_file(folder), "41\n");
  ASSERT_EQ(chmod(folder.c_str(), 0755), 0);  // root's, readable by all, writable by none else
  ASSERT_EQ(chmod(best_file(folder).c_str(), 0644), 0);
  const std::string path = folder.path();
  const int result = as_nobody([&] {
    if (save_best_score_to(path.c_str(), 50)) return 1;
    const StoredBest after = load_best_score_from(path.c_str());
    if (!after.found || after.value != 41) return 2;
    return 0;
  });
  if (result == 100) GTEST_SKIP() << "cannot give up root here";
  EXPECT_EQ(result, 0);
  EXPECT_EQ(read_file(best_file(folder)), "41\n");
  EXPECT_EQ(stray_entries(folder.path()), 0);
}

TEST(Permissions, AFolderThatCannotBeCreatedFailsTheSaveOnly) {
  TempFolder folder;
  write_file(folder / "a-file", "x");
  // Under a file, below /proc, and past any path length the store can hold.
  const std::string under_file = folder / "a-file/orbilux-rush";
  EXPECT_FALSE(save_best_score_to(under_file.c_str(), 3));
  EXPECT_FALSE(load_best_score_from(under_file.c_str()).found);
  EXPECT_FALSE(save_best_score_to("/proc/orbilux-rush", 3));
  const std::string too_long = folder.path() + "/" + std::string(5000, 'x');
  EXPECT_FALSE(save_best_score_to(too_long.c_str(), 3));
  EXPECT_FALSE(load_best_score_from(too_long.c_str()).found);
  EXPECT_EQ(read_file(folder / "a-file"), "x");
  // Once the file is gone, the next save makes the folder.
  unlink((folder / "a-file").c_str());
  EXPECT_TRUE(save_best_score_to(under_file.c_str(), 10));
  EXPECT_EQ(load_best_score_from(under_file.c_str()).value, 10);
}

TEST(FullDisk, ASaveThatDoesNotFitKeepsTheOldScoreAndTheNextOneSucceedsOnceThereIsRoom) {
  TempFolder folder;
  const std::string disk = folder / "disk";
  TinyFileSystem tiny(disk);
  if (!tiny.mounted()) GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);

  ASSERT_TRUE(save_best_score_to(disk.c_str(), 41));
  // Fill what is left, a page at a time, until the disk refuses.
  const std::string filler = disk + "/filler";
  const int fd = open(filler.c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  const std::string page(4096, 'f');
  while (write(fd, page.data(), page.size()) > 0) {
  }
  close(fd);

  EXPECT_FALSE(save_best_score_to(disk.c_str(), 42));
  EXPECT_EQ(read_file(disk + "/" + kBestScoreFileName), "41\n");
  EXPECT_EQ(load_best_score_from(disk.c_str()).value, 41);
  EXPECT_EQ(stray_entries(disk), 1) << "only the filler may remain beside the score";

  ASSERT_EQ(unlink(filler.c_str()), 0);
  EXPECT_TRUE(save_best_score_to(disk.c_str(), 43));
  EXPECT_EQ(load_best_score_from(disk.c_str()).value, 43);
  EXPECT_EQ(stray_entries(disk), 0);
}

TEST(KilledWriter, AThousandKillsNeverLoseACompletedSaveNorTearTheFile) {
  // In memory where the system has a RAM file system. What a killed process wrote stays in the
  // page cache whatever lies beneath, so this changes nothing the test checks; but on a disk
  // shared with a busy machine every save's sync can wait a long time, a thousand times over.
  struct stat shm;
  TempFolder folder(stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode) ? "/dev/shm" : "/tmp");
  const std::string target = folder / "data";
  std::mt19937 chance(20261208);
  int32_t completed = -1;  // the highest value whose save reported success, over all runs
  size_t saves = 0;
  int kills_mid_stream = 0;
  constexpr int kKills = 1000;

  for (int run = 0; run < kKills; ++run) {
    const StoredBest before = load_best_score_from(target.c_str());
    const int32_t first = before.found ? static_cast<int32_t>(before.value) + 1 : 1;
    int reports = -1;
    const pid_t writer = start_writer(target, first, &reports);
    ASSERT_GT(writer, 0);

    // Wait for the first completed save, so every kill lands among saves, then strike
    // at a random moment within the next two milliseconds. Spinning, not sleeping: on a busy
    // machine a sleeper wakes when the scheduler gets to it, often ten times later.
    int32_t value = 0;
    ssize_t n;
    do {
      n = read(reports, &value, sizeof value);
    } while (n < 0 && errno == EINTR);
    ASSERT_EQ(n, static_cast<ssize_t>(sizeof value)) << "the writer did not save at run " << run;
    completed = std::max(completed, value);
    saves += 1;
    const auto strike = std::chrono::steady_clock::now() + std::chrono::nanoseconds(chance() % 2'000'000);
    while (std::chrono::steady_clock::now() < strike) {
    }
    ASSERT_EQ(kill(writer, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own at run " << run;
    const int32_t reported = last_report(reports, value, &saves);
    close(reports);
    if (reported > value) kills_mid_stream += 1;
    completed = std::max(completed, reported);

    // The file holds a valid score, never below the last completed save, and at most the
    // one save that was cut off between its rename and its report.
    const std::string bytes = read_file(target + "/" + kBestScoreFileName);
    const StoredBest after = load_best_score_from(target.c_str());
    ASSERT_TRUE(after.found) << "torn file after run " << run << ": '" << bytes << "'";
    ASSERT_GE(after.value, completed) << "a completed save was lost at run " << run;
    ASSERT_LE(after.value, int64_t{completed} + 1) << "a value that was never saved at run " << run;
    ASSERT_EQ(bytes, std::to_string(after.value) + "\n");
  }
  const int leftovers = stray_entries(target);
  std::printf("%d kills, %zu completed saves seen, %d kills after more than one save, %d temporary files left\n",
              kKills, saves, kills_mid_stream, leftovers);
  RecordProperty("completed_saves", static_cast<int>(saves));
  RecordProperty("leftover_temporary_files", leftovers);
}

