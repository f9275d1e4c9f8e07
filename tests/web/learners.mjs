// The page as every learner meets it, in headless Chromium (its accessibility tree is the one a
// screen reader reads): axe-core finds nothing on the title, the field and the quiz at a
// phone's and a laptop's viewport; Lighthouse scores its accessibility 100 on mobile and
// desktop; the quiz's question and four answers are in the tree, and pressing an answer
// answers. Then the SCORM package in a course page whose `API` is scorm-again's SCORM 1.2
// run-time: the calls in order, every value accepted, and a second launch, in a browser that
// never saw the game, restoring what suspend_data kept.
// Usage: node learners.mjs SITE_FOLDER SCORM_ZIP
import {execFile, execFileSync} from "node:child_process";
import {promisify} from "node:util";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import {createRequire} from "node:module";
import puppeteer from "puppeteer-core";

const require = createRequire(import.meta.url);
const [siteFolder, scormZip] = process.argv.slice(2);
const CHROMIUM = "/usr/bin/chromium";
const START_MS = 90000;  // generous: the machine may be busy with other builds
const fail = (what) => { throw new Error(what); };
const check = (ok, what) => { if (!ok) fail(what); };

// The site at /site/, the unpacked package at /package/, and a course page around it.
const packageFolder = fs.mkdtempSync(path.join(os.tmpdir(), "orbilux-scorm-"));
execFileSync("python3", ["-m", "zipfile", "-e", scormZip, packageFolder]);
check(fs.existsSync(path.join(packageFolder, "imsmanifest.xml")), "no imsmanifest.xml at the package's root");
const manifest = fs.readFileSync(path.join(packageFolder, "imsmanifest.xml"), "utf8");
check(/adlcp:scormtype="sco" href="index.html"/.test(manifest) && /<schemaversion>1.2</.test(manifest),
      "the manifest does not launch index.html as a SCORM 1.2 SCO");
const COURSE = `<!doctype html><html lang="en"><head><meta charset="utf-8"><title>A course</title>
<script src="/scorm12.js"></script><script>
  // What the platform kept from an earlier launch comes in the address.
  const kept = new URLSearchParams(location.search).get("suspend_data");
  window.API = new Scorm12API({autocommit: false, logLevel: 5});
  if (kept !== null) API.loadFromJSON({cmi: {suspend_data: kept, core: {entry: "resume"}}});
  window.calls = [];
  for (const name of ["LMSInitialize", "LMSGetValue", "LMSSetValue", "LMSCommit", "LMSFinish"]) {
    const real = API[name].bind(API);
    API[name] = function (...args) {
      const result = real(...args);
      calls.push({name, args, result: String(result), error: String(API.LMSGetLastError())});
      return result;
    };
  }
</script></head><body><main><iframe src="/package/index.html?seed=5" title="Orbilux Rush" width="800" height="600"></iframe>
</main></body></html>`;
const TYPES = {".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm", ".svg": "image/svg+xml",
               ".png": "image/png", ".webmanifest": "application/manifest+json", ".xml": "text/xml"};
const server = http.createServer((request, response) => {
  const url = new URL(request.url, "http://x");
  let file = null;
  if (url.pathname === "/course.html") return response.end(COURSE);
  if (url.pathname === "/scorm12.js") file = require.resolve("scorm-again/scorm12");
  for (const [prefix, folder] of [["/site/", siteFolder], ["/package/", packageFolder]]) {
    if (url.pathname.startsWith(prefix)) file = path.join(folder, decodeURIComponent(url.pathname.slice(prefix.length)));
  }
  if (!file || !fs.existsSync(file) || fs.statSync(file).isDirectory()) file = null;
  response.writeHead(file ? 200 : 404, {"Content-Type": TYPES[path.extname(file || "")] || "application/octet-stream"});
  response.end(file ? fs.readFileSync(file) : "");
});
await new Promise((done) => server.listen(0, "127.0.0.1", done));
const origin = `http://127.0.0.1:${server.address().port}`;

const browser = await puppeteer.launch({
  executablePath: CHROMIUM, headless: true,
  args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--autoplay-policy=user-gesture-required"],
});

async function openGame(page, url, viewport) {
  await page.setViewport(viewport);
  await page.goto(url, {waitUntil: "load"});
  await page.waitForFunction(() => window.orbiluxFirstFrameAt, {timeout: START_MS});
}
// What the screen says now: its lines and buttons. Not the live region, whose news follows a
// change a moment later on purpose, and so may still name the screen before.
const SCREEN = "#words-lines, #words-buttons";
const wordsOf = (frame) => frame.$$eval(SCREEN, (parts) => parts.map((part) => part.textContent).join("\n"));
async function waitForWords(frame, pattern, what) {
  await frame.waitForFunction((source, screen) => new RegExp(source).test(
                                [...document.querySelectorAll(screen)].map((part) => part.textContent).join("\n")),
                              {timeout: START_MS}, pattern.source, SCREEN).catch(async () => {
    fail(`${what}: the page's words are ${JSON.stringify(await wordsOf(frame))}`);
  });
}
const showQuestion = (frame) => frame.evaluate(() => Module._orbilux_show_question_for_tests());

async function axeViolations(page, where) {
  await page.addScriptTag({path: require.resolve("axe-core/axe.min.js")});
  const violations = await page.evaluate(async () => (await axe.run()).violations);
  check(violations.length === 0, `axe on ${where}: ` +
        JSON.stringify(violations.map((v) => ({id: v.id, nodes: v.nodes.map((n) => n.target)}))));
}

// axe on the three screens, at a phone held upright and a laptop.
for (const viewport of [{width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true},
                        {width: 1366, height: 768}]) {
  const page = await browser.newPage();
  await openGame(page, `${origin}/site/index.html?seed=3`, viewport);
  await waitForWords(page, /PLAY/, "the title");
  await axeViolations(page, `the title at ${viewport.width} x ${viewport.height}`);
  await page.evaluate(() => Module._orbilux_press_key(32));
  await waitForWords(page, /GET READY/, "the field after Space");
  await axeViolations(page, `the field at ${viewport.width} x ${viewport.height}`);
  await showQuestion(page);
  await waitForWords(page, /CHECKPOINT/, "the quiz");
  await axeViolations(page, `the quiz at ${viewport.width} x ${viewport.height}`);
  await page.close();
}
console.log("axe: no violation on the title, the field and the quiz, on a phone and a laptop");

// The quiz as a screen reader meets it, and an answer pressed.
{
  const page = await browser.newPage();
  await openGame(page, `${origin}/site/index.html?seed=3`, {width: 800, height: 600});
  await showQuestion(page);
  await waitForWords(page, /CHECKPOINT/, "the quiz");
  const tree = await page.accessibility.snapshot();
  const nodes = [];
  (function walk(node) { nodes.push(node); (node.children || []).forEach(walk); })(tree);
  const answers = nodes.filter((n) => n.role === "button" && /^[A-D]: \S/.test(n.name));
  check(answers.map((n) => n.name[0]).join("") === "ABCD", `the answers in the tree: ${JSON.stringify(answers)}`);
  const question = await page.$eval("#words-lines", (lines) => lines.children[2].textContent);
  check(question.endsWith("?") && nodes.some((n) => n.name === question), `the question ${question} is not in the tree`);
  check(nodes.some((n) => n.role === "main") && nodes.some((n) => n.name === "Orbilux Rush, the game's field"),
        "no main landmark or no named field in the tree");
  await page.focus("#words-buttons button");
  await page.keyboard.press("Enter");
  await waitForWords(page, /CORRECT!|KEEP LEARNING!/, "an answer after Enter on button A");
  check(!(await wordsOf(page)).includes("CHECKPOINT"), "the question is still up after its answer");
  // Tab leaves the game's buttons, Shift+Tab comes back to the field, and its keys work again.
  await page.focus("#canvas");
  await page.keyboard.press("Tab");
  check(await page.evaluate(() => document.activeElement.id !== "canvas"), "Tab did not leave the field");
  await page.keyboard.down("Shift");
  await page.keyboard.press("Tab");
  await page.keyboard.up("Shift");
  check(await page.evaluate(() => document.activeElement.id === "canvas"), "Shift+Tab did not come back to the field");
  const onWrong = (await wordsOf(page)).includes("KEEP LEARNING!");
  await page.keyboard.press(onWrong ? "r" : " ");
  await waitForWords(page, onWrong ? /CHECKPOINT|GET READY/ : /GET READY/, "the key after Shift+Tab");
  await page.close();
  console.log("the quiz in the accessibility tree; Enter on an answer answered; Tab out and back, keys working");
}

// Lighthouse's accessibility score, mobile and desktop, from its own Chromium.
for (const preset of ["mobile", "desktop"]) {
  const report = path.join(packageFolder, `lighthouse-${preset}.json`);
  const flags = [`${origin}/site/index.html`, "--only-categories=accessibility", "--output=json",
                 `--output-path=${report}`, "--quiet",
                 "--chrome-flags=--headless=new --no-sandbox --disable-gpu --no-first-run --disable-background-networking --disable-component-update --disable-sync"];
  if (preset === "desktop") flags.push("--preset=desktop");
  // Not a synchronous call: this process's own server must go on answering Lighthouse's browser.
  await promisify(execFile)(process.execPath, [require.resolve("lighthouse/cli/index.js"), ...flags],
                            {env: {...process.env, CHROME_PATH: CHROMIUM}});
  const result = JSON.parse(fs.readFileSync(report, "utf8"));
  const score = Math.round(result.categories.accessibility.score * 100);
  const failed = Object.values(result.audits).filter((a) => a.score === 0).map((a) => a.id);
  check(score === 100, `Lighthouse accessibility ${score} on ${preset}: ${failed.join(", ")}`);
}
console.log("Lighthouse: accessibility 100 on mobile and desktop");

// In a course: one right answer, then a launch in a fresh browser that keeps what it kept.
async function launchInCourse(context, keptData) {
  const page = await context.newPage();
  const query = keptData === null ? "" : `?suspend_data=${encodeURIComponent(keptData)}`;
  await page.setViewport({width: 1000, height: 800});
  await page.goto(`${origin}/course.html${query}`, {waitUntil: "load"});
  const frame = await (await page.waitForSelector("iframe")).contentFrame();
  await frame.waitForFunction(() => window.orbiluxFirstFrameAt, {timeout: START_MS});
  return {page, frame};
}
const callsOf = (page) => page.evaluate(() => window.calls);
function checkAccepted(calls) {
  for (const call of calls) {
    check(call.error === "0" && call.result !== "false", `${call.name}(${call.args.join(", ")}): error ${call.error}`);
  }
}
const lastSet = (calls, name) => calls.filter((c) => c.name === "LMSSetValue" && c.args[0] === name).at(-1)?.args[1];
{
  // An earlier launch kept a best of 42; here one question is answered right, after any wrong
  // ones: each time a new question, its answers pressed in turn (the seed makes it one course).
  const first = await launchInCourse(await browser.createBrowserContext(), JSON.stringify({best: 42, right: []}));
  for (let attempt = 0; attempt < 12; attempt++) {
    await showQuestion(first.frame);
    await waitForWords(first.frame, /CHECKPOINT/, "the quiz in the course");
    await first.frame.focus(`#words-buttons button:nth-child(${attempt % 4 + 1})`);
    await first.page.keyboard.press("Enter");
    await waitForWords(first.frame, /CORRECT!|KEEP LEARNING!/, "an answer in the course");
    if ((await wordsOf(first.frame)).includes("CORRECT!")) break;
  }
  await first.frame.evaluate(() => location.replace("about:blank"));  // the platform closes the activity
  await first.page.waitForFunction(() => calls.some((c) => c.name === "LMSFinish"), {timeout: START_MS});
  const calls = await callsOf(first.page);
  await first.page.close();
  checkAccepted(calls);
  const names = calls.map((c) => c.name === "LMSSetValue" ? c.args[0].replace(/\.\d+\./, ".n.") : c.name);
  check(names[0] === "LMSInitialize" && names.indexOf("LMSInitialize", 1) < 0, `the calls begin ${names.slice(0, 3)}`);
  check(names.slice(-4).join() === "cmi.core.session_time,cmi.core.exit,LMSCommit,LMSFinish",
        `the calls end ${names.slice(-4)}`);
  const answers = names.filter((n) => n === "cmi.interactions.n.id").length;
  check(answers >= 1 && lastSet(calls, `cmi.interactions.${answers - 1}.result`) === "correct" &&
        lastSet(calls, `cmi.interactions.${answers - 1}.type`) === "choice", `${answers} answers, the last not right`);
  const fields = ["id", "type", "time", "student_response", "result", "latency"].map((f) => "cmi.interactions.n." + f);
  check(names.filter((n) => n.startsWith("cmi.interactions.")).join() === Array(answers).fill(fields).flat().join(),
        "the answers' fields are not set in order");
  let uncommitted = false;  // every answer is committed before the next one
  for (const name of names) {
    if (name === "cmi.interactions.n.id") check(!uncommitted, "an answer was not committed before the next");
    uncommitted = name === "LMSCommit" ? false : uncommitted || name === "cmi.interactions.n.id";
  }
  const kept = JSON.parse(lastSet(calls, "cmi.suspend_data"));
  check(kept.best === 42 && kept.right.length === 1, `suspend_data ${JSON.stringify(kept)}`);
  check(lastSet(calls, "cmi.core.score.raw") === "17" && lastSet(calls, "cmi.core.lesson_status") === "incomplete",
        `one question of six right scored ${lastSet(calls, "cmi.core.score.raw")}`);

  // The next launch, in a browser that never saw the game: the best and the right answer came back.
  const second = await launchInCourse(await browser.createBrowserContext(), JSON.stringify(kept));
  const again = await callsOf(second.page);
  check(lastSet(again, "cmi.core.score.raw") === "17", `the second launch scored ${lastSet(again, "cmi.core.score.raw")}`);
  await second.frame.evaluate(() => Module._orbilux_press_key(32));
  await waitForWords(second.frame, /BEST {2}42/, "the course's best in the second launch");
  checkAccepted(await callsOf(second.page));
  await second.page.close();
  console.log(`SCORM 1.2 under scorm-again: ${calls.length} calls in order, every value accepted; ` +
              "the second launch restored the best and the right answer");
}
await browser.close();
server.close();
fs.rmSync(packageFolder, {recursive: true, force: true});
