'use strict';
// The widget's movie in a real Flash runtime: Ruffle (npm) in Debian's
// chromium or Firefox ESR, headless, driven by puppeteer-core, the page
// served on 127.0.0.1.
// The test build of the movie registers its callbacks (Setup, UpdateMenu,
// Readout, Calls, UseFont) on the player element through ExternalInterface.
//
// The player is configured as the game loads the movie: no scaling (the
// loader's scale mode 0), the stage left at the default alignment (centred),
// nothing forced, and the player element as large as the screen it stands
// for, one CSS pixel a screen pixel.
const fs = require('node:fs');
const path = require('node:path');
const { launchBrowser } = require('../../tests/support/browsers');
const { startServer } = require('./server');
const { swfStage } = require('./swf_header');

const REPO = path.resolve(__dirname, '../..');
const RUFFLE_DIR = path.join(REPO, 'node_modules/@ruffle-rs/ruffle');

// Behind the movie: a muted colour, as a game scene would be, so that the
// widget's translucent backdrop shows in screenshots.
const SCENE_COLOUR = 0x506070;

const PAGE = `<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>movie</title>
<style>html,body{margin:0;padding:0;background:#000;overflow:hidden}#stage{position:absolute;left:0;top:0}</style>
</head><body><div id="stage"></div>
<script>
// Ruffle styles its log lines with %c; chromium reports such a line with its
// styles appended, Firefox with them applied. Dropped here, both report the
// same text.
for (const level of ["log", "info", "warn", "error", "debug"]) {
  const original = console[level].bind(console);
  console[level] = function (first, ...rest) {
    if (typeof first !== "string" || !first.includes("%c")) return original(first, ...rest);
    const parts = first.split("%c");
    return original(parts.join(""), ...rest.slice(parts.length - 1));
  };
}
window.RufflePlayer = {config: {publicPath: "/ruffle/", polyfills: false}};
</script>
<script src="/ruffle/ruffle.js"></script>
<script>
window.qmResize = function (width, height) {
  window.qmPlayer.style.width = width + "px";
  window.qmPlayer.style.height = height + "px";
};
window.qmStart = function (url, width, height, scale) {
  if (window.qmPlayer) window.qmPlayer.remove();
  const player = window.RufflePlayer.newest().createPlayer();
  player.style.width = width + "px";
  player.style.height = height + "px";
  player.style.display = "block";
  document.getElementById("stage").appendChild(player);
  window.qmPlayer = player;
  // allowNetworking stays at its default: "none" turns ExternalInterface off.
  return player.ruffle().load({
    url: url, allowScriptAccess: true, preferredRenderer: "canvas", autoplay: "on", unmuteOverlay: "hidden",
    splashScreen: false, letterbox: "off", contextMenu: "off", quality: "high",
    scale: scale, forceScale: false, salign: "", forceAlign: false,
    warnOnUnsupportedContent: false, openUrlMode: "deny", logLevel: "info",
    backgroundColor: "#${SCENE_COLOUR.toString(16).padStart(6, '0')}"
  });
};
</script></body></html>`;

// One browser for a whole test file: `browserName` is one of
// tests/support/browsers.js's browserNames() (default chromium, which draws
// the installer's pictures); close() ends it and removes its profile.
async function openBrowser(browserName = 'chromium') {
  const server = await startServer({ '/ruffle/': RUFFLE_DIR }, { '/movie.html': PAGE });
  let browser;
  try {
    browser = await launchBrowser(browserName);
  } catch (error) {
    await server.close();
    throw error;
  }
  return {
    browser,
    browserName,
    server,
    async close() {
      await browser.close().catch(() => {});
      await server.close();
    },
  };
}

// The session's one page, made on first use: a new player element per movie
// is much cheaper than a new page, which compiles Ruffle's wasm again.
async function sessionPage(session) {
  if (session.page) return session.page;
  const page = await session.browser.newPage();
  session.sink = { errors: [], traces: [] };
  page.on('pageerror', (error) => session.sink.errors.push(String(error)));
  page.on('console', (message) => {
    const text = message.text();
    // The movie's trace() output arrives as Ruffle's log lines at level
    // "info", its styles dropped by the page: "INFO <origin> <text>".
    const trace = /log_adapter\.rs:\d+\s+(.*)$/.exec(text);
    if (trace) session.sink.traces.push(trace[1]);
    else if (message.type() === 'error' || /^\s*ERROR\b/.test(text)) session.sink.errors.push(text);
  });
  await page.goto(`${session.server.url}/movie.html`, { waitUntil: 'load' });
  session.page = page;
  return page;
}

// The game's loader: scale mode 0, "no scale".
const GAME_SCALE = 'noScale';

// A fresh player of the movie on a screen of `width` x `height` pixels
// (default: the movie's own frame), replacing the page's previous player.
// `scale` is the player's scale mode before the movie sets its own (default:
// the game's). Resolves once the movie's callbacks exist: `ready` names the
// one to wait for (default the test build's Readout).
async function openMovie(session, swfPath,
  { width, height, scale = GAME_SCALE, timeoutMs = 20000, ready = 'Readout' } = {}) {
  const frame = swfStage(fs.readFileSync(swfPath));
  const screen = { width: width || frame.width, height: height || frame.height };
  const page = await sessionPage(session);
  session.sink = { errors: [], traces: [] };
  const sink = session.sink;
  await page.setViewport({ width: Math.ceil(screen.width), height: Math.ceil(screen.height), deviceScaleFactor: 1 });
  session.server.mount('/movie/', path.dirname(path.resolve(swfPath)));
  const url = `${session.server.url}/movie/${encodeURIComponent(path.basename(swfPath))}`;
  await page.evaluate((u, w, h, s) => window.qmStart(u, w, h, s), url, screen.width, screen.height, scale);
  try {
    await page.waitForFunction((name) => window.qmPlayer && typeof window.qmPlayer[name] === 'function',
      { timeout: timeoutMs, polling: 50 }, ready);
  } catch (error) {
    throw new Error(`the movie ${swfPath} registered no callbacks within ${timeoutMs} ms` +
      ` (page errors: ${JSON.stringify(sink.errors)}; traces: ${JSON.stringify(sink.traces)})`);
  }
  return new Movie(page, screen, frame, sink.errors, sink.traces);
}

class Movie {
  constructor(page, screen, frame, errors, traces) {
    this.page = page;
    this.stage = screen;   // the screen the player stands for, in pixels
    this.frame = frame;    // the movie's own frame, as its header declares it
    this.errors = errors;  // page errors and Ruffle's error lines
    this.traces = traces;  // the movie's trace() output
  }

  // Calls a callback of the test build; an exception inside the movie comes
  // back as null, so callers check for the callback's own answer.
  call(name, ...args) {
    return this.page.evaluate((n, a) => window.qmPlayer[n](...a), name, args);
  }

  // Same, with arguments that JSON cannot carry (undefined, holes): built by
  // a function source evaluated in the page.
  callWith(name, argumentsSource) {
    return this.page.evaluate(`window.qmPlayer[${JSON.stringify(name)}](...(${argumentsSource}))`);
  }

  async readout() {
    const text = await this.call('Readout');
    if (typeof text !== 'string') throw new Error(`Readout answered ${JSON.stringify(text)}, not a string`);
    return JSON.parse(text);
  }

  async calls() {
    return JSON.parse(await this.call('Calls'));
  }

  // Waits until the player has drawn what the last calls changed: past the
  // movie's next frame (30 per second, so at most 34 ms away), then two of
  // the page's frames.
  async settle() {
    await this.page.evaluate(() => new Promise((done) => {
      setTimeout(() => requestAnimationFrame(() => requestAnimationFrame(done)), 40);
    }));
  }

  // PNG bytes of the stage, or of `clip` ({x, y, width, height}) in it.
  async screenshot(clip) {
    await this.settle();
    const box = clip || { x: 0, y: 0, width: this.stage.width, height: this.stage.height };
    return Buffer.from(await this.page.screenshot({ type: 'png', clip: box }));
  }

  // Changes the screen's size while the movie plays, as a change of
  // resolution would; resolves once the movie's stage has the new size and
  // a frame of the movie has run since (its resize events with it).
  async resize(width, height, { timeoutMs = 10000 } = {}) {
    await this.page.setViewport({ width: Math.ceil(width), height: Math.ceil(height), deviceScaleFactor: 1 });
    await this.page.evaluate((w, h) => window.qmResize(w, h), width, height);
    const started = Date.now();
    for (;;) {
      const stage = (await this.readout()).stage;
      if (stage.width === width && stage.height === height) break;
      if (Date.now() - started > timeoutMs) {
        throw new Error(`the movie's stage is ${stage.width} x ${stage.height} ${timeoutMs} ms after a resize to ` +
          `${width} x ${height}`);
      }
      await new Promise((done) => setTimeout(done, 20));
    }
    this.stage = { width, height };
    await this.settle();
  }

  // Removes the player; the page stays for the next movie.
  close() {
    return this.page.evaluate(() => {
      if (window.qmPlayer) window.qmPlayer.remove();
      window.qmPlayer = null;
    });
  }
}

module.exports = { openBrowser, openMovie, SCENE_COLOUR, GAME_SCALE };
