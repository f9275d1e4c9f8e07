#pragma once

// Makes X protocol errors that SDL does not catch itself harmless to the game. Call before
// the video starts, so that SDL chains its own error handler to this one and puts this one
// back before it closes its connections to the X server.
void survive_stray_x_errors();
