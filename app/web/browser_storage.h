// The player's data folder in the browser: a mount of the site's IndexedDB. The file store's
// rules run unchanged on the page's in-memory files (temporary file, sync, rename); only the
// result goes on to IndexedDB, as a whole folder.
#pragma once

// Mounts IndexedDB on `folder`, brings what it holds in, then calls `then` (once, later);
// without storage (a private window that refuses it) `then` is called all the same, and the
// best lasts as long as the page. Every save from then on sends the folder on to IndexedDB.
void load_browser_storage_then(const char* folder, void (*then)());
