#include "app/linux/x_errors.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <cstdio>

namespace {

// SDL 2.26 wakes its own wait for events with a message sent to the game's window over a
// second connection to the X server. When the window closes just after such a message went
// out (Esc is the last key of a game), the server may take the two connections' requests in
// the other order and answer the message with BadWindow; SDL reads that answer only when it
// closes the second connection. Xlib's own handler would then end the process with exit code
// 1. An error is an answer to one request that failed, not a broken connection (that one has
// a handler of its own): the game goes on, and reports any error other than the known ones.
//
// The other known one: when the window moves, SDL asks the server for the window's parent
// (the window manager's frame) and then translates coordinates through it. A window manager
// may destroy that frame in between, as it does when it lets go of a window that is unmapped
// and mapped again quickly; the translation then answers BadWindow, SDL reports that one move
// relative to the frame instead of the screen, and the next move corrects it.
bool known_race(const XErrorEvent& error) {
  return error.error_code == BadWindow &&
         (error.request_code == X_SendEvent || error.request_code == X_TranslateCoords);
}

int keep_going_on_x_error(Display* display, XErrorEvent* error) {
  if (!known_race(*error)) {
    char text[160] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "orbilux-rush: ignored an X error: %s (request %d.%d)\n", text, error->request_code,
                 error->minor_code);
  }
  return 0;
}

}  // namespace

void survive_stray_x_errors() { XSetErrorHandler(keep_going_on_x_error); }
