// The browser version's figures, in the system's Chromium (headless, WebGL on
// the software rasteriser), beside the desktop program's in the same run:
// - the bytes a visitor downloads to reach the title, gzip-compressed as a
//   static host sends them, at the design size (630 x 470), 640 x 480 and 1280 x 1024;
// - navigation to the title's first frame, in a browser just started and in
//   one already running (a visitor's usual case), with the page's phases;
// - updates per second in play and how even the frames are;
// - processor time in play and with the page hidden, of the page's own
//   thread and of the whole browser (its drawing included), beside a blank
//   page's: the floor;
// - a phone in landscape: its download (the "-hd2" images), its updates per
//   second in play, and the frames per second of a bare canvas of its
//   pixels: the software rasteriser's floor.
// Usage (after ./web.sh --build-only and a desktop build in build/):
//   node tools/bench_web.js [build-web/site]
const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');
const { spawn, execFileSync } = require('node:child_process');
const puppeteer = require(path.join(__dirname, '..', 'tests', 'web', 'node_modules', 'puppeteer-core'));

const site = path.resolve(process.argv[2] || path.join(__dirname, '..', 'build-web', 'site'));
const desktop = path.join(__dirname, '..', 'build', 'tools', 'bench_program');
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The desktop program's own benchmark, under a virtual display.
function onDesktop(...args) {
  if (!fs.existsSync(desktop)) return '(no desktop build)';
  return execFileSync('xvfb-run', ['-a', '-s', '-screen 0 1280x1024x24 -noreset', desktop, ...args],
    { env: { ...process.env, ALSOFT_DRIVERS: 'null' } }).toString();
}

// Seconds of processor time of a process and all its descendants.
function treeSeconds(root) {
  const parent = {}, ticks = {};
  for (const pid of fs.readdirSync('/proc').filter((d) => /^\d+$/.test(d))) {
    try {
      const fields = fs.readFileSync(`/proc/${pid}/stat`, 'latin1').replace(/^.*\) /, '').split(' ');
      parent[pid] = fields[1];
      ticks[pid] = Number(fields[11]) + Number(fields[12]);
    } catch (e) { /* gone meanwhile */ }
  }
  const inTree = (pid) => pid && (pid === String(root) || inTree(parent[pid]));
  return Object.keys(ticks).filter(inTree).reduce((sum, pid) => sum + ticks[pid], 0) / 100;
}

// Processor time over `seconds`: the page's thread and the whole browser's, in % of one core.
async function cost(browser, page, seconds) {
  const before = [await page.metrics(), treeSeconds(browser.process().pid)];
  await sleep(seconds * 1000);
  const after = [await page.metrics(), treeSeconds(browser.process().pid)];
  const share = (a, b) => (100 * (b - a) / seconds).toFixed(1);
  return `page ${share(before[0].TaskDuration, after[0].TaskDuration)} %, ` +
    `whole browser ${share(before[1], after[1])} % of a core`;
}

const launch = () => puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: 'new',
  args: ['--no-sandbox', '--use-gl=angle', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});

// A page opened at the size, its downloads counted (gzip) and its start
// timed: to the program's main, its first update and the title's first
// frame (the loader's 35 steps are one an update).
async function visit(browser, origin, view) {
  const page = await browser.newPage();
  await page.bringToFront();
  await page.setCacheEnabled(false);
  await page.setViewport(view);
  const downloads = [];
  page.on('response', (r) => r.buffer().then((b) => downloads.push([r.url(), zlib.gzipSync(b, { level: 9 }).length]),
    () => {}));
  await page.evaluateOnNewDocument(() => {
    window.marks = {};
    window.longest = [];  // the page's tasks over 50 ms, the browser's own count of them
    new PerformanceObserver((list) => list.getEntries().forEach((e) => longest.push(Math.round(e.duration))))
      .observe({ type: 'longtask', buffered: true });
    const poll = setInterval(() => {
      const updates = window.Module && Module._vellumby_updates ? Module._vellumby_updates() : -1;
      for (const [name, reached] of [['main', updates >= 0], ['first update', updates > 0], ['title', updates > 35]]) {
        if (reached && !(name in marks)) marks[name] = performance.now();
      }
      if ('title' in marks) clearInterval(poll);
    }, 2);
  });
  await page.goto(origin);
  while (!(await page.evaluate(() => 'title' in marks))) await sleep(20);
  const marks = await page.evaluate(() => marks);
  await sleep(500);
  return { page, marks, downloads };
}

const updatesOf = (page) => page.evaluate(() => Module._vellumby_updates());
const megabytes = (downloads) => (downloads.reduce((sum, [, bytes]) => sum + bytes, 0) / 1e6).toFixed(3);

// The times of the page's frames over ten seconds.
const frameTimes = (page) => page.evaluate(() => new Promise((resolve) => {
  const times = [];
  const frame = (t) => { times.push(t); if (t - times[0] < 10000) requestAnimationFrame(frame); else resolve(times); };
  requestAnimationFrame(frame);
}));

// Ten seconds of play: updates per second and how even the page's frames are.
async function inPlay(page) {
  const first = await updatesOf(page);
  const intervals = await frameTimes(page);
  const last = await updatesOf(page);
  const seconds = (intervals[intervals.length - 1] - intervals[0]) / 1000;
  const gaps = intervals.slice(1).map((t, i) => t - intervals[i]).sort((a, b) => a - b);
  const median = gaps[gaps.length >> 1];
  const even = gaps.filter((g) => Math.abs(g - median) <= 2).length / gaps.length;
  return `updates per second in play: ${((last - first) / seconds).toFixed(2)} (goal 60.0 ± 0.5)\n` +
    `frames: ${gaps.length}, median interval ${median.toFixed(2)} ms, ${(100 * even).toFixed(1)} % within 2 ms, ` +
    `longest ${gaps[gaps.length - 1].toFixed(1)} ms`;
}

(async () => {
  console.log('desktop, start to the title:\n' + onDesktop('startup', '640x480').split('\n')
    .filter((line) => /median/.test(line)).join('\n'));
  console.log('desktop, in play and unfocused:\n' + onDesktop('play', '640x480').split('\n')
    .filter((line) => /processor use|updates per second/.test(line)).join('\n'));

  const server = spawn('python3', ['-m', 'http.server', '0', '--bind', '127.0.0.1'], { cwd: site });
  const origin = await new Promise((resolve) => server.stdout.on('data', (line) => {
    const port = /port (\d+)/.exec(line.toString());
    if (port) resolve(`http://127.0.0.1:${port[1]}/`);
  }));
  const browser = await launch();
  const blank = await browser.newPage();
  console.log(`a blank page, 10 s: ${await cost(browser, blank, 10)}`);

  for (const [width, height] of [[630, 470], [640, 480], [1280, 1024]]) {
    const { page, downloads } = await visit(browser, origin, { width, height });
    console.log(`download to the title at ${width} x ${height}: ${megabytes(downloads)} MB gzip in ` +
      `${downloads.length} files (goal 3 MB at 640 x 480)`);
    console.log(`  tasks over 50 ms to the title: ${await page.evaluate(() => longest.join(', ') || 'none')} ms`);
    for (const [url, bytes] of downloads.sort((a, b) => b[1] - a[1]).slice(0, 4)) {
      console.log(`  ${url.replace(origin, '') || 'index.html'}: ${(bytes / 1e6).toFixed(3)} MB`);
    }
    await page.close();
  }

  // Navigation to the title: the first page of a browser just started pays
  // for the browser's own start (its drawing process among it).
  for (const [name, fresh] of [['a browser just started', true], ['a running browser', false]]) {
    for (let run = 0; run < (fresh ? 1 : 3); ++run) {
      const own = fresh ? await launch() : browser;
      const { page, marks } = await visit(own, origin, { width: 640, height: 480 });
      console.log(`navigation to the title, ${name}: ${marks.title.toFixed(0)} ms (main ${marks.main.toFixed(0)}, ` +
        `first update ${marks['first update'].toFixed(0)}; goal within 300 ms of the desktop's title menu)`);
      await (fresh ? own.close() : page.close());
    }
  }

  const { page } = await visit(browser, origin, { width: 640, height: 480 });
  await page.keyboard.down('Enter');
  await sleep(200);
  await page.keyboard.up('Enter');
  await sleep(3000);
  console.log(await inPlay(page));
  console.log(`processor time in play, 10 s: ${await cost(browser, page, 10)}`);
  await page.evaluate(() => { longest = []; });
  await page.setViewport({ width: 1280, height: 1024 });
  await sleep(5000);
  console.log(`tasks over 50 ms in the move to 1280 x 1024: ${await page.evaluate(() => longest.join(', ') || 'none')} ms`);
  await page.setViewport({ width: 640, height: 480 });
  await sleep(3000);
  // Hidden behind another tab: no frames, the game suspended.
  await blank.bringToFront();
  await sleep(1000);
  const hiddenFrom = await updatesOf(page);
  console.log(`processor time hidden, 20 s: ${await cost(browser, page, 20)}; ` +
    `${(await updatesOf(page)) - hiddenFrom} updates meanwhile`);

  // A phone in landscape, 844 x 390 page pixels at 3 device pixels each: the
  // "-hd2" images; a tap on the first game type's item, then 10 s of play.
  const phone = { width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true, isLandscape: true };
  const { page: mobile, downloads } = await visit(browser, origin, phone);
  console.log(`phone, download to the title: ${megabytes(downloads)} MB gzip`);
  await mobile.touchscreen.tap(331, 253);
  await sleep(3000);
  await mobile.evaluate(() => { longest = []; });
  console.log('phone, ' + (await inPlay(mobile)).replace('\n', '\nphone, '));
  console.log(`phone, tasks over 50 ms in play: ${await mobile.evaluate(() => longest.join(', ') || 'none')} ms`);
  console.log(`phone, processor time in play, 10 s: ${await cost(browser, mobile, 10)}`);
  await mobile.close();

  // The floor: a canvas of the phone's pixels that each frame clears and
  // blends one texture over its whole area, as the game's background does.
  const bare = await browser.newPage();
  await bare.setViewport(phone);
  await bare.evaluate(() => {
    const canvas = document.body.appendChild(document.createElement('canvas'));
    [canvas.width, canvas.height] = [innerWidth * devicePixelRatio, innerHeight * devicePixelRatio];
    canvas.style.cssText = 'position:fixed;left:0;top:0;width:100%;height:100%';
    const gl = canvas.getContext('webgl');
    const shader = (type, text) => {
      const s = gl.createShader(type);
      gl.shaderSource(s, text);
      gl.compileShader(s);
      return s;
    };
    const program = gl.createProgram();
    gl.attachShader(program, shader(gl.VERTEX_SHADER, 'attribute vec2 p; varying vec2 t; void main() {' +
      ' t = p * 0.5 + 0.5; gl_Position = vec4(p, 0, 1); }'));
    gl.attachShader(program, shader(gl.FRAGMENT_SHADER, 'precision mediump float; varying vec2 t;' +
      ' uniform sampler2D s; void main() { gl_FragColor = texture2D(s, t * 4.0); }'));
    gl.linkProgram(program);
    gl.useProgram(program);
    gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
    gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
    gl.enableVertexAttribArray(0);
    gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);
    gl.bindTexture(gl.TEXTURE_2D, gl.createTexture());
    const texels = new Uint8Array(256 * 256 * 4).map((_, i) => (i * 37) & 255);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, 256, 256, 0, gl.RGBA, gl.UNSIGNED_BYTE, texels);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.LINEAR);
    gl.enable(gl.BLEND);
    gl.blendFunc(gl.ONE, gl.ONE_MINUS_SRC_ALPHA);
    const frame = () => {
      gl.clear(gl.COLOR_BUFFER_BIT);
      gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
      requestAnimationFrame(frame);
    };
    requestAnimationFrame(frame);
  });
  const times = await frameTimes(bare);
  const fps = (times.length - 1) / ((times[times.length - 1] - times[0]) / 1000);
  console.log(`phone, floor: a canvas of its pixels clearing and blending one texture over them: ${fps.toFixed(1)} ` +
    'frames per second');
  await browser.close();
  server.kill();
})();
