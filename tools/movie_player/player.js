'use strict';
// The widget's movie in a real Flash runtime: Ruffle (npm) in Debian's
// chromium, headless, driven by puppeteer-core, the page served on 127.0.0.1.
// The test build of the movie registers its callbacks (Setup, UpdateMenu,
// Readout, Calls) on the player element through ExternalInterface.
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');
const { startServer } = require('./server');
const { swfStage } = require('./swf_header');

const REPO = path.resolve(__dirname, '../..');
const RUFFLE_DIR = path.join(REPO, 'node_modules/@ruffle-rs/ruffle');
const CHROMIUM = process.env.QM_CHROMIUM || '/usr/bin/chromium';
// Without these the browser waits on the network, which is closed here.
const CHROMIUM_FLAGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

// Behind the movie: a muted colour, as a game scene would be, so that the
// widget's translucent backdrop shows in screenshots.
const SCENE_COLOUR = 0x506070;

const PAGE = `<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>movie</title>
<style>html,body{margin:0;padding:0;background:#000;overflow:hidden}#stage{position:absolute;left:0;top:0}</style>
</head><body><div id="stage"></div>
<script>window.RufflePlayer = {config: {publicPath: "/ruffle/", polyfills: false}};</script>
<script src="/ruffle/ruffle.js"></script>
<script>
window.qmStart = function (url, width, height) {
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
    splashScreen: false, letterbox: "off", contextMenu: "off", scale: "showAll", quality: "high",
    warnOnUnsupportedContent: false, openUrlMode: "deny", logLevel: "info",
    backgroundColor: "#${SCENE_COLOUR.toString(16).padStart(6, '0')}"
  });
};
</script></body></html>`;

// One browser for a whole test file; close() ends it and removes its profile.
async function openBrowser() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qm-movie-profile-'));
  const server = await startServer({ '/ruffle/': RUFFLE_DIR }, { '/movie.html': PAGE });
  let browser;
  try {
    browser = await puppeteer.launch({
      executablePath: CHROMIUM,
      headless: true,
      args: [...CHROMIUM_FLAGS, `--user-data-dir=${profile}`],
      protocolTimeout: 60000,
    });
  } catch (error) {
    await server.close();
    fs.rmSync(profile, { recursive: true, force: true });
    throw error;
  }
  return {
    browser,
    server,
    async close() {
      await browser.close().catch(() => {});
      await server.close();
      fs.rmSync(profile, { recursive: true, force: true });
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
    // The movie's trace() output arrives as Ruffle's log lines at level "info".
    const trace = /log_adapter\.rs:\d+%c (.*) color: whitesmoke/.exec(text);
    if (trace) session.sink.traces.push(trace[1]);
    else if (message.type() === 'error' || /%cERROR/.test(text)) session.sink.errors.push(text);
  });
  await page.goto(`${session.server.url}/movie.html`, { waitUntil: 'load' });
  session.page = page;
  return page;
}

// A fresh player of the movie at one CSS pixel per stage pixel, replacing
// the page's previous one. Resolves once the movie's callbacks exist.
async function openMovie(session, swfPath, { timeoutMs = 20000 } = {}) {
  const stage = swfStage(fs.readFileSync(swfPath));
  const page = await sessionPage(session);
  session.sink = { errors: [], traces: [] };
  const sink = session.sink;
  await page.setViewport({ width: Math.ceil(stage.width), height: Math.ceil(stage.height), deviceScaleFactor: 1 });
  session.server.mount('/movie/', path.dirname(path.resolve(swfPath)));
  const url = `${session.server.url}/movie/${encodeURIComponent(path.basename(swfPath))}`;
  await page.evaluate((u, w, h) => window.qmStart(u, w, h), url, stage.width, stage.height);
  try {
    await page.waitForFunction(() => window.qmPlayer && typeof window.qmPlayer.Readout === 'function',
      { timeout: timeoutMs, polling: 50 });
  } catch (error) {
    throw new Error(`the movie ${swfPath} registered no callbacks within ${timeoutMs} ms` +
      ` (page errors: ${JSON.stringify(sink.errors)}; traces: ${JSON.stringify(sink.traces)})`);
  }
  return new Movie(page, stage, sink.errors, sink.traces);
}

class Movie {
  constructor(page, stage, errors, traces) {
    this.page = page;
    this.stage = stage;
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

  // Waits until the player has drawn what the last calls changed.
  async settle() {
    await this.page.evaluate(() => new Promise((done) => {
      setTimeout(() => requestAnimationFrame(() => requestAnimationFrame(done)), 120);
    }));
  }

  // PNG bytes of the stage, or of `clip` ({x, y, width, height}) in it.
  async screenshot(clip) {
    await this.settle();
    const box = clip || { x: 0, y: 0, width: this.stage.width, height: this.stage.height };
    return Buffer.from(await this.page.screenshot({ type: 'png', clip: box }));
  }

  // Removes the player; the page stays for the next movie.
  close() {
    return this.page.evaluate(() => {
      if (window.qmPlayer) window.qmPlayer.remove();
      window.qmPlayer = null;
    });
  }
}

module.exports = { openBrowser, openMovie, CHROMIUM_FLAGS, SCENE_COLOUR };
