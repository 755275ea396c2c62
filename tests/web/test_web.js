// The browser version played in the system's Chromium (headless, WebGL on
// the software rasteriser), served by a plain static file server as free
// hosting would serve it: a whole game by keys, with its sound and its
// scores and settings kept in the browser's database; storage refused or
// damaged; a gamepad; the images downloaded for the canvas's level; and a
// phone played with fingers and tilt.
// Waits poll what the page shows, with limits far above an idle machine's.
// Usage: VELLUMBY_SITE=build-web/site node --test tests/web/test_web.js
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { spawn } = require('node:child_process');
const puppeteer = require('puppeteer-core');
const { PNG } = require('pngjs');

const site = process.env.VELLUMBY_SITE;
const artefacts = path.join(site, '..', 'web-artifacts');
fs.rmSync(artefacts, { recursive: true, force: true });
fs.mkdirSync(artefacts, { recursive: true });

// A rectangle's mean of f over its pixels.
function over([x0, y0, w, h], f) {
  let sum = 0;
  for (let y = y0; y < y0 + h; ++y) for (let x = x0; x < x0 + w; ++x) sum += f(x, y);
  return sum / (w * h);
}
const at = (p, x, y, c) => p.data[(y * p.width + x) * 4 + c];
const mean = (p, rect) => [0, 1, 2].map((c) => over(rect, (x, y) => at(p, x, y, c)));
// The mean difference of two pictures' colours (0-255).
const difference = (a, b, rect) => over(rect, (x, y) => [0, 1, 2].reduce((sum, c) =>
  sum + Math.abs(at(a, x, y, c) - at(b, x, y, c)), 0) / 3);
// Where the figure is: the middle of its face, the only skin colour in the game.
function figureAt(p) {
  let x = 0, y = 0, n = 0;
  for (let i = 0; i < p.width * p.height; ++i) {
    if (Math.max(...[244, 197, 156].map((v, c) => Math.abs(p.data[i * 4 + c] - v))) > 12) continue;
    x += i % p.width, y += Math.floor(i / p.width), ++n;
  }
  return n ? [x / n, y / n] : [-1, -1];
}

const [kItemStrip, kScoreText, kScoreLists] = [[0, 250, 500, 130], [250, 2, 140, 26], [556, 56, 84, 424]];
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

let server, origin;
test.before(async () => {
  server = spawn('python3', ['-m', 'http.server', '0', '--bind', '127.0.0.1'], { cwd: site });
  origin = await new Promise((resolve) => server.stdout.on('data', (line) => {
    const port = /port (\d+)/.exec(line.toString());
    if (port) resolve(`http://127.0.0.1:${port[1]}/`);
  }));
});
test.after(() => server.kill());

// A browser with its own profile folder, kept across its restarts.
async function open(profile, before = () => {}, view = { width: 640, height: 480 }) {
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: 'new', userDataDir: profile,
    args: ['--no-sandbox', '--use-gl=angle', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--autoplay-policy=user-gesture-required'],  // as a visitor's browser
  });
  browsers.push(browser);
  const page = await browser.newPage();
  await page.setViewport(view);
  const problems = [], said = [];
  page.on('console', (m) => (m.type() === 'error' ? problems : said).push(m.text()));
  page.on('pageerror', (e) => problems.push(e.message));
  await page.evaluateOnNewDocument(before);
  await page.goto(origin);
  return { browser, page, problems, said };
}

let shots = 0;
async function waitFor(page, name, wanted, seconds = 60) {
  for (const end = Date.now() + seconds * 1000; Date.now() < end; await sleep(100)) {
    const png = await page.screenshot(), picture = PNG.sync.read(png);
    if (await wanted(picture)) {
      fs.writeFileSync(path.join(artefacts, `${++shots}-${name}.png`), png);
      return picture;
    }
  }
  fs.writeFileSync(path.join(artefacts, `${++shots}-not-${name}.png`), await page.screenshot());
  throw new Error(`no picture of: ${name}`);
}

// Keys are held for 200 ms: the game reads them as held, once an update.
const hold = (p, k) => p.keyboard.down(k).then(() => sleep(200)).then(() => p.keyboard.up(k)).then(() => sleep(300));

// The title: the game's green strip in view, its slide-in over (the score panel's shade begins at its
// edge, 140 of the screen's 640 units from the right, not further right), and the download's words gone.
const shade = (p, x) => mean(p, [Math.round(x), 60, 3, 400]).reduce((sum, v) => sum + v);
const titleShown = async (page, p, s = p.width / 640) => mean(p, [0, 440, 100, 40])[1] > 100 &&
  shade(p, p.width - 139 * s) < 0.8 * shade(p, p.width - 144 * s) &&
  (await page.$eval('#status', (e) => e.style.display)) === 'none';
// Whether the page's output is above silence within a second.
async function heard(page) {
  for (let i = 0; i < 20; ++i, await sleep(50)) if (await page.evaluate(() => audioContexts[0].level()) > 0.001) return true;
  return false;
}
// The game's dark green below the board.
const gameShown = (p) => { const [r, g, b] = mean(p, [0, 462, 640, 18]); return g > r + 15 && g > b + 10; };
// The page hidden or shown, as when its tab is switched.
const show = (page, shown) => page.evaluate((visible) => {
  for (const [name, value] of [['hidden', !visible], ['visibilityState', visible ? 'visible' : 'hidden']]) {
    Object.defineProperty(document, name, { value, configurable: true });
  }
  document.dispatchEvent(new Event('visibilitychange'));
}, shown);
const fullScreen = (page) => page.evaluate(() => !!document.fullscreenElement);
const storedState = (page) => page.evaluate(() => {
  try { return new TextDecoder().decode(Module.FS.readFile('/state/.quarlostate')); } catch (e) { return ''; }
});

const browsers = [];
test.afterEach(() => Promise.all(browsers.splice(0).map((b) => b.close())));

// The key held down until the picture is the one wanted.
async function holdUntil(page, key, name, wanted) {
  await page.keyboard.down(key);
  try { return await waitFor(page, name, wanted); } finally { await page.keyboard.up(key); }
}

test('a whole game by keys: sound from the first key, music, a hidden page, cuts heard and scored, ' +
     'and the score and settings kept across a reload and a browser restart', async () => {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vellumby-profile-'));
  let { browser, page, problems } = await open(profile);
  const title = await waitFor(page, 'title', (p) => titleShown(page, p));

  await hold(page, 'ArrowRight');
  await waitFor(page, 'second-type', (p) => difference(p, title, kItemStrip) > 5);
  assert.deepStrictEqual(await page.evaluate(() => audioContexts.map((c) => c.state)), ['running']);

  // A game: the level music streams on after the start's blip has ended.
  await hold(page, 'ArrowLeft');
  await hold(page, 'Enter');
  const board = await waitFor(page, 'game', (p) => gameShown(p) && figureAt(p)[0] > 0);
  await sleep(2000);
  assert.ok(await heard(page), 'the level music');
  // Hidden, the page is suspended and silent; shown again, the game waits
  // paused, and the music goes on with the game.
  await show(page, false).then(() => sleep(500));
  assert.ok(!(await heard(page)), 'a hidden page is silent');
  await show(page, true).then(() => sleep(500));
  await hold(page, 'Escape');
  await sleep(1500);
  assert.ok(await heard(page), 'the music again once shown');

  // Paused, the cog opens the options; the sound row steps to "SFX"; closing them saves.
  const before = await storedState(page);
  for (const key of ['Escape', 'ArrowRight', 'Enter', 'ArrowDown', 'Enter', 'Escape', 'Escape']) await hold(page, key);
  let saved = '';
  for (const end = Date.now() + 30000; Date.now() < end && (saved = await storedState(page)) === before;) await sleep(200);
  assert.strictEqual(saved.split('|')[5], '2', `the sound mode saved: ${saved}`);

  // With the music off, what is heard on the walk is the cutting: up the
  // cut path and through the hedges, along the top row and down the right
  // edge, each key held until the figure is in the cell wanted (32 pixels).
  await sleep(1000);  // the menu's blips over
  await page.evaluate(() => {
    window.loudest = 0;
    setInterval(() => { window.loudest = Math.max(window.loudest, audioContexts[0].level()); }, 5);
  });
  const [x0, y0] = figureAt(board);
  await holdUntil(page, 'ArrowUp', 'walked-up', (p) => figureAt(p)[1] < y0 - 8.7 * 32);
  await holdUntil(page, 'ArrowRight', 'walked-right', (p) => figureAt(p)[0] > x0 + 8.7 * 32);
  await holdUntil(page, 'ArrowDown', 'walked-down', (p) => figureAt(p)[1] > y0 - 4.8 * 32);
  // One digit changed is a difference of about 2.4 over the score; none, 0.
  await waitFor(page, 'hedges-cut', (p) => difference(p, board, kScoreText) > 1);
  assert.ok(await page.evaluate(() => window.loudest) > 0.001, 'the cuts heard');

  // Quit by the pause panel: the title's lists show the score, after a reload too.
  for (const key of ['Escape', 'ArrowLeft', 'Enter']) await hold(page, key);
  const scores = await waitFor(page, 'title-with-score', async (p) => (await titleShown(page, p)) &&
    difference(p, title, kItemStrip) < 2 && difference(p, title, kScoreLists) > 0.2);
  saved = await storedState(page);
  await page.reload();
  await waitFor(page, 'title-after-reload', async (p) => (await titleShown(page, p)) &&
    difference(p, scores, kScoreLists) < 0.1);
  await sleep(2000);  // time for the database's transaction
  assert.deepStrictEqual(problems, []);
  await browser.close();
  browsers.splice(0);

  ({ browser, page, problems } = await open(profile));
  await waitFor(page, 'title-after-restart', (p) => titleShown(page, p));
  assert.strictEqual(await storedState(page), saved);
  assert.deepStrictEqual(problems, []);
});

test('refused storage and a damaged stored state: the game says so once and plays on', async () => {
  const refuse = () => { IDBFactory.prototype.open = () => { throw new DOMException('refused', 'SecurityError'); }; };
  let { page, problems, said } = await open(fs.mkdtempSync(path.join(os.tmpdir(), 'vellumby-')), refuse);
  await waitFor(page, 'title-without-storage', (p) => titleShown(page, p));
  await hold(page, 'Enter');
  await waitFor(page, 'game-without-storage', (p) => gameShown(p) && figureAt(p)[0] > 0);
  assert.strictEqual(said.filter((line) => /state cannot be/.test(line)).length, 1, said.join('\n'));
  assert.deepStrictEqual(problems, []);

  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vellumby-'));
  ({ page } = await open(profile));
  await waitFor(page, 'title-before-damage', (p) => titleShown(page, p));
  await page.evaluate(() => {  // 25 settings and a wrong sum
    Module.FS.writeFile('/state/.quarlostate', Array(30).fill('3').join('|'));
    Module.vellumbyStoreState();
  });
  await sleep(2000);
  await Promise.all(browsers.splice(0).map((b) => b.close()));
  ({ page, problems, said } = await open(profile));
  await waitFor(page, 'title-after-damage', (p) => titleShown(page, p));
  assert.ok(said.includes('Settings Checksum Invalid'), said.join('\n'));
  assert.deepStrictEqual(problems, []);
});

test('a standard-mapping gamepad confirms and moves; the images come at the canvas\'s level; F11', async () => {
  const fakePad = () => {
    window.pad = { axes: [0, 0, 0, 0], buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })) };
    navigator.getGamepads = () => [{ id: 'pad', index: 0, connected: true, mapping: 'standard', timestamp: 0, ...pad }];
  };
  const { page, problems } = await open(fs.mkdtempSync(path.join(os.tmpdir(), 'vellumby-')), fakePad);
  const fetched = [];
  page.on('requestfinished', (r) => fetched.push(r.url().replace(origin, '')));
  const title = await waitFor(page, 'pad-title', (p) => titleShown(page, p));
  const button = (i, on) => page.evaluate((b, o) => { pad.buttons[b] = { pressed: o, value: +o }; }, i, on);
  const stick = (x) => page.evaluate((v) => { pad.axes[0] = v; }, x);
  let board;
  for (const [i, name, wanted] of [[15, 'pad-second-type', (p) => difference(p, title, kItemStrip) > 5],
    [0, 'pad-game', (p) => gameShown(p) && figureAt(p)[0] > 0]]) {  // the d-pad's right, then A
    await button(i, true).then(() => sleep(200));
    await button(i, false);
    board = await waitFor(page, name, wanted);
  }
  await stick(1);
  await waitFor(page, 'pad-moved-right', (p) => figureAt(p)[0] > figureAt(board)[0] + 24);
  await stick(0);

  // 640 pixels wide is above the design size: the twice larger images, and
  // only those; a larger canvas fetches the four times larger ones.
  const images = () => fetched.filter((url) => url.endsWith('.png')).sort();
  const wanted = (suffix) => ['BadgesA', 'common/Buttons', 'common/QEVLLogo', 'common/Testcard_Circle', 'common/dpad',
    'common/icons', 'fonts/editundo', 'gfx', 'logo', 'menu', 'parts'].map((name) => `data/${name}${suffix}.png`);
  assert.deepStrictEqual(images(), wanted('-hd'));
  await page.setViewport({ width: 1280, height: 1024 });
  await waitFor(page, 'pad-larger-canvas', (p) => p.width === 1280 && figureAt(p)[0] > 0 && images().length >= 22);
  assert.deepStrictEqual(images(), [...wanted('-hd'), ...wanted('-hd2')].sort());
  // F11 asks for full screen, and leaves it.
  for (const full of [true, false]) assert.strictEqual(await hold(page, 'F11').then(() => fullScreen(page)), full);
  assert.deepStrictEqual(problems, []);
});

test('a phone in landscape: the strip swept, full screen, the pad, a finger and tilt, turned, paused', async () => {
  const phone = { width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true, isLandscape: true };
  const { page, problems } = await open(fs.mkdtempSync(path.join(os.tmpdir(), 'vellumby-')), () => {}, phone);
  const sensor = await page.target().createCDPSession();
  const tilt = (x, y) => sensor.send('Emulation.setSensorOverrideReadings',
    { type: 'accelerometer', reading: { xyz: { x, y, z: Math.sqrt(96 - x * x - y * y) } } });
  await sensor.send('Emulation.setSensorOverrideEnabled', { enabled: true, type: 'accelerometer' }).then(() => tilt(0, 0));
  await waitFor(page, 'phone-title', (p) => titleShown(page, p));
  // Swept across, the strip is flung past its end and springs back to the end item, the options' cog; a sweep
  // of two items' widths back brings the second game type. A sweep begun on an item does not start it; a tap does.
  const padShown = (p) => mean(p, [370, 900, 30, 30]).every((v) => v > 140);  // its right arrow's light grey, not hedge
  const options = (p) => { const [r, g, b] = mean(p, [2100, 950, 40, 40]); return r > g + 40 && r > b + 80; };
  let board;
  for (const [to, name, wanted] of [[31, 'options', options], [455, 'game', (p) => figureAt(p)[0] > 0 && padShown(p)]]) {
    const finger = await page.touchscreen.touchStart(331, 253);
    for (let k = 1; k <= 10; ++k) await finger.move(331 + (to - 331) * k / 10, 253);
    await finger.end().then(() => sleep(2000));  // settled
    board = await page.touchscreen.tap(331, 253).then(() => waitFor(page, `phone-${name}`, wanted));
    if (wanted !== options) continue;  // its full-screen row is asked for as the finger lifts
    assert.ok(await page.touchscreen.tap(200, 290).then(() => fullScreen(page)), 'full screen');
    // Its cog ("<[BACK]") closes it, tapped until the box has gone, as the pause icon is below.
    await waitFor(page, 'phone-back', async (p) => !options(p) || page.touchscreen.tap(132, 78).then(() => false));
  }
  const cell = 95, [x0] = figureAt(board);  // a cell's pixels on this screen
  await page.touchscreen.touchStart(128, 305);
  await waitFor(page, 'phone-pad-right', (p) => figureAt(p)[0] > x0 + cell).finally(() => page.touchscreen.touchEnd());
  const walked = await waitFor(page, 'phone-scored', (p) => difference(p, board, [1000, 10, 460, 80]) > 1);
  await tilt(0, 4);  // the screen's right edge down, turned to landscape
  const tilted = await waitFor(page, 'phone-tilted-right', (p) => figureAt(p)[0] > figureAt(walked)[0] + cell);
  // The round button takes the present tilt as level: the phone held flat again reads as tilted left,
  // and the figure walks back (not put back at the start by an enemy: its third heart is still red).
  await page.touchscreen.tap(32, 358).then(() => tilt(0, 0));
  await waitFor(page, 'phone-calibrated', (p) => figureAt(p)[0] < figureAt(tilted)[0] - cell / 2 &&
    mean(p, [1885, 45, 25, 25])[0] > 120).finally(() => tilt(0, 4));
  for (const [view, name] of [[{ ...phone, width: 390, height: 844, isLandscape: false }, 'portrait'], [phone, 'back']]) {
    await page.setViewport(view);
    await waitFor(page, `phone-${name}`, (p) => p.width === view.width * 3 && figureAt(p)[0] > 0);
  }
  // The pause icon, tapped until the pause panel's blue resume button shows (not in a level's intro).
  await waitFor(page, 'phone-paused', async (p) => { const [r, , b] = mean(p, [1230, 560, 30, 30]);
    return (b > 150 && r < 100) || page.touchscreen.tap(20, 20).then(() => false); });
  // Paused, two fingers spread apart enlarge the pad, 1 per 16 units; hidden, the page saves it, and a reload finds it.
  const fingers = [await page.touchscreen.touchStart(300, 330), await page.touchscreen.touchStart(400, 330)];
  for (let x = 410; x <= 500; x += 10) await fingers[1].move(x, 330).then(() => sleep(50));
  await Promise.all(fingers.map((f) => f.end())).then(() => show(page, false)).then(() => sleep(2000));
  const size = +(await storedState(page)).split('|')[12];
  assert.strictEqual(size, 10 + 5, 'a new pad (10), fingers 100 page pixels (80 units) further apart, 1 per 16');
  await page.reload().then(() => waitFor(page, 'phone-reloaded', (p) => titleShown(page, p)));
  assert.strictEqual(+(await storedState(page)).split('|')[12], size);
  assert.deepStrictEqual(problems, []);
});
