// The page inside a course: where a course platform launched it as a SCORM 1.2 package, the
// platform's run-time (its `API` object, found in the frames above the page or the window that
// opened it) hears of every answer, the share of the quiz answered right as the score, and
// "passed" once every question has been answered right. The platform keeps the best score
// and the questions already answered right between launches (suspend_data). Without a
// platform nothing of this runs, and the page is the game alone.
"use strict";
(function () {
  // SCORM 1.2's own search: up through the parents, then from the opener.
  function apiAbove(win) {
    for (let tries = 0; win && tries < 8; tries++) {
      try {
        if (win.API && typeof win.API.LMSInitialize === "function") return win.API;
      } catch (otherOrigin) {
        return null;  // a page of another site around this one is not a course platform
      }
      if (!win.parent || win.parent === win) return null;
      win = win.parent;
    }
    return null;
  }
  const api = apiAbove(window) || (window.opener ? apiAbove(window.opener) : null);
  if (!api || String(api.LMSInitialize("")) !== "true") return;

  const startedAt = Date.now();
  let askedAt = startedAt, finished = false;
  const set = function (name, value) { api.LMSSetValue(name, String(value)); };
  const pad = function (n, width) { return String(n).padStart(width, "0"); };
  // CMITimespan, HHHH:MM:SS.SS.
  function timespan(ms) {
    const cs = Math.max(0, Math.round(ms / 10));
    return pad(Math.min(9999, Math.floor(cs / 360000)), 4) + ":" + pad(Math.floor(cs / 6000) % 60, 2) + ":" +
           pad(Math.floor(cs / 100) % 60, 2) + "." + pad(cs % 100, 2);
  }

  // What the platform kept from earlier launches: {"best": n, "right": [question, ...]}.
  let kept = {best: 0, right: []};
  try {
    const stored = JSON.parse(api.LMSGetValue("cmi.suspend_data") || "{}");
    if (Number.isInteger(stored.best) && stored.best > 0) kept.best = stored.best;
    if (Array.isArray(stored.right)) kept.right = stored.right.filter(Number.isInteger);
  } catch (notOurs) {
    // Not written by this game: start afresh, and overwrite it with the next answer.
  }
  let interaction = parseInt(api.LMSGetValue("cmi.interactions._count"), 10) || 0;
  // Once passed, a course stays passed, even if what the platform kept was lost meanwhile.
  let passed = api.LMSGetValue("cmi.core.lesson_status") === "passed";
  let bankSize = 0;  // the questions of the quiz, as the game tells at its start

  function report() {
    passed = passed || kept.right.length >= bankSize;
    set("cmi.core.lesson_status", passed ? "passed" : "incomplete");
    set("cmi.core.score.min", 0);
    set("cmi.core.score.max", 100);
    set("cmi.core.score.raw", Math.round(100 * Math.min(kept.right.length, bankSize) / bankSize));
    set("cmi.suspend_data", JSON.stringify(kept));
    api.LMSCommit("");
  }

  function finish() {
    if (finished) return;
    finished = true;
    set("cmi.core.session_time", timespan(Date.now() - startedAt));
    set("cmi.core.exit", "suspend");  // the next launch resumes with what suspend_data keeps
    api.LMSCommit("");
    api.LMSFinish("");
  }
  // Hidden for good: closed, reloaded, or left for another page (not kept in the history).
  window.addEventListener("pagehide", function (event) { if (!event.persisted) finish(); });

  // The game's side (app/web/page_words.cpp).
  window.orbiluxCourse = {
    // The game starts: the best it should begin with.
    start: function (questions) {
      bankSize = Math.max(1, questions);
      kept.right = kept.right.filter(function (q) { return q >= 0 && q < bankSize; });
      report();
      return kept.best;
    },
    best: function (best) {
      if (finished || best <= kept.best) return;
      kept.best = best;
      set("cmi.suspend_data", JSON.stringify(kept));  // sent with the next commit
    },
    asked: function () { askedAt = Date.now(); },
    answered: function (question, option, right) {
      if (finished || !bankSize) return;
      const n = "cmi.interactions." + interaction++ + ".";
      const now = new Date();
      set(n + "id", "question-" + (question + 1));
      set(n + "type", "choice");
      set(n + "time", pad(now.getHours(), 2) + ":" + pad(now.getMinutes(), 2) + ":" + pad(now.getSeconds(), 2));
      set(n + "student_response", "abcd".charAt(option));
      set(n + "result", right ? "correct" : "wrong");
      set(n + "latency", timespan(Date.now() - askedAt));
      if (right && kept.right.indexOf(question) < 0) kept.right.push(question);
      kept.right.sort(function (a, b) { return a - b; });
      report();
    },
  };
})();
