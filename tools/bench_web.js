// The browser version's figures, in the system's Chromium (headless, WebGL on
// the software rasteriser): bytes a visitor downloads, gzip-compressed as a
// static host sends them; navigation to the title; updates per second in
// play and how even the frames are; and the page's processor time in play.
// Usage (after ./web.sh --build-only): node tools/bench_web.js [build-web/site]
const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');
const { spawn } = require('node:child_process');
const puppeteer = require(path.join(__dirname, '..', 'tests', 'web', 'node_modules', 'puppeteer-core'));

const site = path.resolve(process.argv[2] || path.join(__dirname, '..', 'build-web', 'site'));
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

(async () => {
  let total = 0;
  for (const file of fs.readdirSync(site)) {
    const gz = zlib.gzipSync(fs.readFileSync(path.join(site, file)), { level: 9 }).length;
    total += gz;
    console.log(`download ${file}: ${(gz / 1e6).toFixed(3)} MB gzip`);
  }
  console.log(`download in all: ${(total / 1e6).toFixed(3)} MB gzip (goal 3 MB)`);

  const server = spawn('python3', ['-m', 'http.server', '0', '--bind', '127.0.0.1'], { cwd: site });
  const origin = await new Promise((resolve) => server.stdout.on('data', (line) => {
    const port = /port (\d+)/.exec(line.toString());
    if (port) resolve(`http://127.0.0.1:${port[1]}/`);
  }));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: 'new',
    args: ['--no-sandbox', '--use-gl=angle', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
  });
  const page = await browser.newPage();
  await page.setViewport({ width: 640, height: 480 });
  const start = Date.now();
  await page.goto(origin);
  // The title's first frame: the loader's 35 steps are over once the
  // download's words are gone and the updates run on (one step an update).
  const updates = () => page.evaluate(() => (Module._vellumby_updates ? Module._vellumby_updates() : 0));
  while ((await page.$eval('#status', (s) => s.style.display)) !== 'none' || (await updates()) < 40) await sleep(20);
  console.log(`navigation to the title: ${Date.now() - start} ms (polled every 20 ms)`);

  await page.keyboard.down('Enter');
  await sleep(200);
  await page.keyboard.up('Enter');
  await sleep(3000);
  const before = await page.metrics(), first = await updates();
  const intervals = await page.evaluate(() => new Promise((resolve) => {
    const times = [];
    const frame = (t) => { times.push(t); if (t - times[0] < 10000) requestAnimationFrame(frame); else resolve(times); };
    requestAnimationFrame(frame);
  }));
  const after = await page.metrics(), last = await updates();
  const seconds = (intervals[intervals.length - 1] - intervals[0]) / 1000;
  const gaps = intervals.slice(1).map((t, i) => t - intervals[i]).sort((a, b) => a - b);
  const median = gaps[gaps.length >> 1];
  const even = gaps.filter((g) => Math.abs(g - median) <= 2).length / gaps.length;
  console.log(`updates per second in play: ${((last - first) / seconds).toFixed(2)} (goal 60.0 ± 0.5)`);
  console.log(`frames: ${gaps.length}, median interval ${median.toFixed(2)} ms, ${(100 * even).toFixed(1)} % within 2 ms of it`);
  console.log(`processor time in play: ${(100 * (after.TaskDuration - before.TaskDuration) / seconds).toFixed(1)} % of a core`);
  await browser.close();
  server.kill();
})();
