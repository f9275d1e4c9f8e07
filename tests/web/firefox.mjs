// Firefox for the web tests, over WebDriver BiDi (puppeteer-core, Debian's firefox-esr): one
// JSON request a line on standard input, one JSON answer a line on standard output, so that
// the Python tests drive it as they drive the other engines (browser.py's FirefoxBrowser).
import puppeteer from "puppeteer-core";
import readline from "node:readline";

const [profile] = process.argv.slice(2);
const browser = await puppeteer.launch({
  browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: true, userDataDir: profile,
  defaultViewport: null,
  extraPrefsFirefox: {"media.autoplay.default": 1, "dom.storage_access.enabled": true},
});
let page = (await browser.pages())[0] || await browser.newPage();

const KEYS = {space: " ", Left: "ArrowLeft", Right: "ArrowRight", Up: "ArrowUp", Down: "ArrowDown", Escape: "Escape",
              Return: "Enter"};
const key = (name) => KEYS[name] || name;

const actions = {
  async goto({url}) { await page.goto(url, {waitUntil: "load"}); },
  async reload() { await page.reload({waitUntil: "load"}); },
  async viewport({width, height, scale}) {
    await page.setViewport({width, height, deviceScaleFactor: scale || 1});
  },
  async js({script, args}) { return await page.evaluate(new Function(script), ...(args || [])); },
  async keyDown({name}) { await page.keyboard.down(key(name)); },
  async keyUp({name}) { await page.keyboard.up(key(name)); },
  async png() { return await page.screenshot({encoding: "base64"}); },
  async click({x, y}) { await page.mouse.click(x, y); },
  async preload({script}) { await page.evaluateOnNewDocument(script); },
  // Another tab in front for a while, then this one again: the page is hidden meanwhile.
  async hideFor({seconds}) {
    const other = await browser.newPage();
    await other.bringToFront();
    await new Promise((done) => setTimeout(done, seconds * 1000));
    await other.close();
    await page.bringToFront();
  },
};

const lines = readline.createInterface({input: process.stdin});
for await (const line of lines) {
  const request = JSON.parse(line);
  let answer;
  try {
    answer = {value: await actions[request.op](request)};
  } catch (error) {
    answer = {error: String(error && error.stack || error)};
  }
  process.stdout.write(JSON.stringify(answer === undefined ? {} : answer) + "\n");
}
await browser.close();
