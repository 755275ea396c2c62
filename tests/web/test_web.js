// The browser version played in the system's Chromium (headless, WebGL on
// the software rasteriser), served by a plain static file server as free
// hosting would serve it: the title and its keys, sound starting at the
// first key, the level music, and the state kept in the browser's database
// across a browser restart.
// Waits poll what the page shows, with limits far above an idle machine's.
// Usage: VELLUMBY_SITE=build-web/site node --test tests/web/test_web.js
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const { spawn } = require('node:child_process');
const puppeteer = require('puppeteer-core');

const site = process.env.VELLUMBY_SITE;
const artefacts = path.join(site, '..', 'web-artifacts');
fs.rmSync(artefacts, { recursive: true, force: true });
fs.mkdirSync(artefacts, { recursive: true });

// A screenshot's pixels (Chromium writes 8-bit RGB or RGBA, not interlaced).
function decodePng(png) {
  let at = 8, width = 0, height = 0, channels = 0;
  const data = [];
  while (at < png.length) {
    const length = png.readUInt32BE(at), type = png.toString('latin1', at + 4, at + 8);
    const body = png.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') [width, height, channels] = [body.readUInt32BE(0), body.readUInt32BE(4), body[9] === 6 ? 4 : 3];
    if (type === 'IDAT') data.push(body);
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data)), stride = width * channels, pixels = Buffer.alloc(height * stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; ++x) {
      const left = x >= channels ? pixels[y * stride + x - channels] : 0;
      const up = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const corner = x >= channels && y > 0 ? pixels[(y - 1) * stride + x - channels] : 0;
      const p = left + up - corner, [pa, pb, pc] = [Math.abs(p - left), Math.abs(p - up), Math.abs(p - corner)];
      const predicted = [0, left, up, (left + up) >> 1, pa <= pb && pa <= pc ? left : pb <= pc ? up : corner][filter];
      pixels[y * stride + x] = raw[y * (stride + 1) + 1 + x] + predicted;
    }
  }
  return { width, height, channels, pixels };
}

// The mean colour of a rectangle.
function mean(picture, [x0, y0, w, h]) {
  const sum = [0, 0, 0];
  for (let y = y0; y < y0 + h; ++y) {
    for (let x = x0; x < x0 + w; ++x) {
      for (let c = 0; c < 3; ++c) sum[c] += picture.pixels[(y * picture.width + x) * picture.channels + c];
    }
  }
  return sum.map((s) => s / (w * h));
}
const differ = (a, b, rect) => mean(a, rect).some((v, c) => Math.abs(v - mean(b, rect)[c]) > 4);

const kItemStrip = [0, 250, 500, 130];
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
async function open(profile, before = () => {}) {
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: 'new', userDataDir: profile,
    args: ['--no-sandbox', '--use-gl=angle', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--autoplay-policy=user-gesture-required'],  // as a visitor's browser
  });
  browsers.push(browser);
  const page = await browser.newPage();
  await page.setViewport({ width: 640, height: 480 });
  const problems = [];
  page.on('console', (m) => m.type() === 'error' && problems.push(m.text()));
  page.on('pageerror', (e) => problems.push(e.message));
  const said = [];
  page.on('console', (m) => said.push(m.text()));
  await page.evaluateOnNewDocument(before);
  await page.goto(origin);
  return { browser, page, problems, said };
}

let shots = 0;
async function waitFor(page, name, wanted, seconds = 60) {
  for (const end = Date.now() + seconds * 1000; Date.now() < end; await sleep(100)) {
    const png = await page.screenshot();
    const picture = decodePng(png);
    if (await wanted(picture)) {
      fs.writeFileSync(path.join(artefacts, `${++shots}-${name}.png`), png);
      return picture;
    }
  }
  throw new Error(`no picture of: ${name}`);
}

// Keys are held for 200 ms: the game reads them as held, once an update.
async function hold(page, key) {
  await page.keyboard.down(key);
  await sleep(200);
  await page.keyboard.up(key);
  await sleep(300);
}

// The title: the download's words gone, the game's green strip in view.
const titleShown = async (page, p) => (await page.$eval('#status', (s) => s.style.display)) === 'none' &&
  mean(p, [0, 440, 100, 40])[1] > 100;
// Whether the page's output is above silence within a second.
async function heard(page) {
  for (let i = 0; i < 20; ++i, await sleep(50)) if (await page.evaluate(() => audioContexts[0].level()) > 0.001) return true;
  return false;
}
// The game's dark green below the board.
const gameShown = (p) => { const [r, g, b] = mean(p, [0, 462, 640, 18]); return g > r + 15 && g > b + 10; };
const storedState = (page) => page.evaluate(() => {
  try { return new TextDecoder().decode(Module.FS.readFile('/state/.quarlostate')); } catch (e) { return ''; }
});

const browsers = [];
test.afterEach(() => Promise.all(browsers.splice(0).map((b) => b.close())));

test('the title answers keys, sound starts at the first key, the music plays and the state outlives a restart', async () => {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vellumby-profile-'));
  let { browser, page, problems } = await open(profile);
  const title = await waitFor(page, 'title', (p) => titleShown(page, p));

  await hold(page, 'ArrowRight');
  await waitFor(page, 'second-type', (p) => differ(p, title, kItemStrip));
  assert.deepStrictEqual(await page.evaluate(() => audioContexts.map((c) => c.state)), ['running']);

  // A game: the level music streams on after the start's blip has ended.
  await hold(page, 'ArrowLeft');
  await hold(page, 'Enter');
  await waitFor(page, 'game', gameShown);
  await sleep(2000);
  assert.ok(await heard(page), 'the level music');
  // Hidden, the page is suspended and silent; shown again, the game waits
  // paused, and the music goes on with the game.
  const show = (shown) => page.evaluate((visible) => {
    for (const [name, value] of [['hidden', !visible], ['visibilityState', visible ? 'visible' : 'hidden']]) {
      Object.defineProperty(document, name, { value, configurable: true });
    }
    document.dispatchEvent(new Event('visibilitychange'));
  }, shown);
  await show(false).then(() => sleep(500));
  assert.ok(!(await heard(page)), 'a hidden page is silent');
  await show(true);
  await sleep(500);
  await hold(page, 'Escape');
  await sleep(1500);
  assert.ok(await heard(page), 'the music again once shown');

  // Paused, the cog opens the options; the sound row steps to "SFX"; closing them saves.
  const before = await storedState(page);
  for (const key of ['Escape', 'ArrowRight', 'Enter', 'ArrowDown', 'Enter', 'Escape']) await hold(page, key);
  let saved = '';
  for (const end = Date.now() + 30000; Date.now() < end && (saved = await storedState(page)) === before;) await sleep(200);
  assert.strictEqual(saved.split('|')[5], '2', `the sound mode saved: ${saved}`);
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
