// What the screen says, beside the canvas, for a learner who cannot see it: the game tells
// the page its words every time they change (app/web/page_words.cpp), the page keeps them in
// #words (visually hidden until a button in it has the keyboard), and reads the news out
// through a polite live region, never faster than a listener can follow.
"use strict";
(function () {
  const lines = document.getElementById("words-lines");
  const buttons = document.getElementById("words-buttons");
  const news = document.getElementById("words-news");
  // A change of news waits this long for the next one, so a burst is read once, as it ends;
  // and two readings are at least this far apart.
  const SETTLE_MS = 350, BETWEEN_MS = 1200;
  let pending = null, said = "", lastSaidAt = -Infinity, timer = 0;
  let next = null;  // the words being told

  function say() {
    timer = 0;
    const wait = lastSaidAt + BETWEEN_MS - performance.now();
    if (wait > 0) { timer = setTimeout(say, wait); return; }
    if (pending === null || pending === said) return;
    said = pending;
    lastSaidAt = performance.now();
    news.textContent = said;
  }

  function press(key) {
    if (window.Module && Module._orbilux_press_key) Module._orbilux_press_key(key);
  }

  // The game's side: begin(news), line(text)..., button(label, key)..., end().
  const words = {
    begin: function (text) { next = {news: text, lines: [], buttons: []}; },
    line: function (text) { next.lines.push(text); },
    button: function (label, key) { next.buttons.push({label: label, key: key}); },
    end: function () {
      const focusedKey = buttons.contains(document.activeElement) ? document.activeElement.dataset.key : null;
      lines.replaceChildren.apply(lines, next.lines.map(function (text) {
        const p = document.createElement("p");
        p.textContent = text;
        return p;
      }));
      buttons.replaceChildren.apply(buttons, next.buttons.map(function (b) {
        const button = document.createElement("button");
        button.type = "button";
        button.textContent = b.label;
        button.dataset.key = String(b.key);
        button.addEventListener("click", function () { press(b.key); });
        return button;
      }));
      // Whoever pressed a button keeps the keyboard among the next screen's buttons.
      if (focusedKey !== null) {
        const same = buttons.querySelector('button[data-key="' + focusedKey + '"]');
        (same || buttons.querySelector("button") || document.getElementById("canvas")).focus();
      }
      if (next.news !== pending) {
        pending = next.news;
        clearTimeout(timer);
        timer = setTimeout(say, SETTLE_MS);
      }
      next = null;
    },
  };

  // Space and Enter on one of these buttons press it; the game must not also take them as
  // its own keys. Every other key (the letters, the arrows) still plays.
  function ownKeys(event) {
    if (buttons.contains(event.target) && (event.key === " " || event.key === "Enter")) {
      event.stopImmediatePropagation();
    }
  }
  window.addEventListener("keydown", ownKeys, true);
  window.addEventListener("keyup", ownKeys, true);

  window.orbiluxWords = words;
})();
