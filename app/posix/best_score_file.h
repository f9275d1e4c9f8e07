// The best score's file on POSIX calls (best_score_store.h), shared by Linux and the browser.
#pragma once

// After each save that reached the player's folder, `keep` is called: the browser sends the
// folder on to its lasting storage. Files on a disk need nothing more, and nothing is called.
void keep_each_save_with(void (*keep)());
