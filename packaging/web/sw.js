// Keeps this build of the site in the browser, so that after one visit the game starts with
// the network off. Written by the build: the version names the build, and the page asks for
// every file with it, so an old page never meets a new build's files, nor the other way round.
"use strict";
const VERSION = "@ORBILUX_SITE_VERSION@";
const CACHE = "orbilux-rush-" + VERSION;
// The page puts the two big files here itself, from what it just loaded (no second download).
const FILES = ["./", "orbilux-rush.js?v=" + VERSION, "orbilux-rush.wasm?v=" + VERSION,
               "orbilux-rush.data?v=" + VERSION, "manifest.webmanifest", "icon.svg", "icon-192.png",
               "icon-512.png", "icon-maskable-512.png", "words.js?v=" + VERSION, "scorm.js?v=" + VERSION];

self.addEventListener("install", function (event) {
  event.waitUntil(caches.open(CACHE).then(function (cache) {
    return Promise.all(FILES.map(function (name) {
      return cache.match(name).then(function (kept) {
        if (kept) return kept;
        // A file named with its version is that version whatever copy the browser holds:
        // the one the page just loaded will do.
        if (!name.includes("?v=")) return cache.add(name);
        return fetch(name, {cache: "force-cache"}).then(function (response) {
          if (!response.ok) throw new Error(name + ": " + response.status);
          return cache.put(name, response);
        });
      });
    }));
  }).then(function () { return self.skipWaiting(); }));
});

// Older builds' files go once this one is in charge.
self.addEventListener("activate", function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (name) { return name.startsWith("orbilux-rush-") && name !== CACHE; })
      .map(function (name) { return caches.delete(name); }));
  }).then(function () { return self.clients.claim(); }));
});

self.addEventListener("fetch", function (event) {
  const request = event.request;
  if (request.method !== "GET" || new URL(request.url).origin !== location.origin) return;
  if (request.mode === "navigate") {
    // The page from the network while there is one (a new build shows at once), else this build's.
    event.respondWith(fetch(request).catch(function () {
      return caches.open(CACHE).then(function (cache) { return cache.match("./"); });
    }));
    return;
  }
  event.respondWith(caches.open(CACHE).then(function (cache) {
    return cache.match(request).then(function (kept) { return kept || fetch(request); });
  }));
});
