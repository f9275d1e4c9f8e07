#include "app/linux/signals.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <SDL.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Time the loop has to close in order once asked, before the watch ends the process.
constexpr auto kOrderlyEndTime = std::chrono::milliseconds(750);
// How often a watched display connection is asked whether it still works.
constexpr int kConnectionCheckMilliseconds = 250;

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile sig_atomic_t end_signal_arrived = 0;
int wake_pipe[2] = {-1, -1};  // the handler's way to wake the watch: writing a byte is all it may do

std::atomic<int> lost_connection_error{0};

// What the watch shares with the loop's thread. While `loop_running`, the watch may push SDL
// events and ask the connection; afterwards SDL and the window are going away.
std::mutex watch_mutex;
DisplayConnection watched;
bool loop_running = false;

// One byte down the pipe; a full pipe wakes the watch just as well. Safe in a signal handler.
void wake_watch() {
  const char byte = 0;
  [[maybe_unused]] const ssize_t written = write(wake_pipe[1], &byte, 1);
}

void on_end_signal(int) {
  const int saved_errno = errno;
  end_signal_arrived = 1;
  wake_watch();
  errno = saved_errno;
}

// A signal wins over a lost connection: the session ending closes its display too.
int exit_code() { return end_signal_arrived ? 0 : lost_connection_error != 0 ? 1 : 0; }

[[noreturn]] void end_now() {
  const int code = exit_code();
  if (code != 0) report_lost_display(lost_connection_error);
  _exit(code);
}

void watch() {
  std::optional<Clock::time_point> deadline;
  bool asked_to_close = false;
  int wait_milliseconds = -1;
  for (;;) {
    pollfd wake{wake_pipe[0], POLLIN, 0};
    if (poll(&wake, 1, wait_milliseconds) > 0) {
      char drained[64];
      while (read(wake_pipe[0], drained, sizeof drained) > 0) {
      }
    }
    {
      const std::lock_guard<std::mutex> lock(watch_mutex);
      if (loop_running && lost_connection_error == 0) lost_connection_error = display_connection_error(watched);
      const bool ending = end_signal_arrived || lost_connection_error != 0;
      if (ending && loop_running && !asked_to_close) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);  // wakes the loop's wait where the connection still can
        asked_to_close = true;
      }
      if (ending && !deadline) deadline = Clock::now() + kOrderlyEndTime;
      wait_milliseconds = loop_running && watched.wayland != nullptr ? kConnectionCheckMilliseconds : -1;
    }
    if (deadline) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
      if (left <= 0) end_now();
      wait_milliseconds = static_cast<int>(left);
    }
  }
}

}  // namespace

void catch_end_signals() {
  if (pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;  // SDL's own handling stays
  try {
    std::thread(watch).detach();
  } catch (const std::system_error&) {
    return;
  }
  struct sigaction action = {};
  action.sa_handler = on_end_signal;
  sigemptyset(&action.sa_mask);
  // Restarted calls: the watch is woken through the pipe, nothing else needs interrupting.
  action.sa_flags = SA_RESTART;
  for (const int signal_number : kEndSignals) {
    struct sigaction before = {};
    if (sigaction(signal_number, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(signal_number, &action, nullptr);
  }
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

void start_end_watch(const DisplayConnection& connection) {
  {
    const std::lock_guard<std::mutex> lock(watch_mutex);
    watched = connection;
    loop_running = true;
  }
  if (wake_pipe[1] >= 0) wake_watch();  // a signal that came during start-up asks the loop to close at once
}

int finish_end_watch() {
  {
    const std::lock_guard<std::mutex> lock(watch_mutex);
    if (!end_signal_arrived && lost_connection_error == 0) lost_connection_error = display_connection_error(watched);
    loop_running = false;
    watched = {};
  }
  if (wake_pipe[1] >= 0) wake_watch();  // the way out is bounded from here when it is an end of either kind
  const int code = exit_code();
  if (code != 0) report_lost_display(lost_connection_error);
  return code;
}

