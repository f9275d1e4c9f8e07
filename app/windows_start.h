// What a start on Windows needs before anything else runs.
#pragma once

#ifdef _WIN32
// The game is a windowed program, so Windows gives it no console. Started from one (cmd,
// PowerShell), it borrows its parent's, so that --help, --version and a start-up failure
// still print there; started from the Start menu it prints nowhere, and shows no dialog.
// Also keeps the font map's complaints about faces it cannot load (Wine has a few) out of
// that console: they are not the player's business.
void prepare_windows_start();
#endif
