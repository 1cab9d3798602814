'use strict';
// The studio as a player meets it: the page of the unpacked archive opened
// from file:// in headless chromium and in headless Firefox ESR
// (tests/support/browsers.js; QM_BROWSERS narrows it). The player's own file is opened (a
// dropped value explained), the widget is dragged, the scale, a
// flag, a colour and the toggle key are set, Quellmark.ini is exported, and
// the plug-in's own reader takes the export natively and, as the archive's
// qm-check-settings.exe, under Wine, with nothing to report and every changed
// value as the page showed it. Then, on a second screen size, the widget in
// the page must sit where the exported settings put it, in the wrapper's
// readout and in the page's pixels.
//
// Environment (tests/studio/run_studio_test.sh sets it): QM_STUDIO_PAGE the
// unpacked page, QM_CHECK_SETTINGS the native checker, QM_WINE the Wine
// loader (with WINEPREFIX made), QM_STUDIO_OUT where screenshots go (the
// chromium run's under their own names, another browser's with its name
// added).
const assert = require('node:assert/strict');
const { execFileSync, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { test, after } = require('node:test');
const { browserNames, launchBrowser, waitForDownload } = require('../support/browsers');
const { decodePng } = require('../../tools/movie_player/png');
const { boxProblems, drawnExtent } = require('../../tools/movie_player/screens');

const PAGE = process.env.QM_STUDIO_PAGE;
const CHECK_NATIVE = process.env.QM_CHECK_SETTINGS;
const WINE = process.env.QM_WINE;
const OUT = process.env.QM_STUDIO_OUT || os.tmpdir();
const SCENE = 0x506070;  // the stage's background in the page

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'qm-studio-test-'));
after(() => fs.rmSync(work, { recursive: true, force: true }));

// The effective Widget settings of a qm-check-settings report, by lower-case key.
function effectiveWidget(report) {
  const block = /\nWidget\n([\s\S]*?)\nHealthThreshold/.exec(report);
  assert.ok(block, `no effective Widget settings in:\n${report}`);
  const values = {};
  for (const line of block[1].split('\n')) {
    const match = /^\s*(\w+)\s*=\s*(\S+)/.exec(line);
    if (match) values[match[1]] = Number(match[2]);
  }
  return values;
}

function checkNative(file) {
  const run = spawnSync(CHECK_NATIVE, [file], { encoding: 'utf8' });
  assert.equal(run.status, 0, `qm-check-settings reports on the export:\n${run.stdout}${run.stderr}`);
  return run.stdout;
}

function checkUnderWine(file) {
  const exe = path.join(path.dirname(PAGE), 'qm-check-settings.exe');
  // Alone in a folder of its own: the archive carries no DLL beside it.
  const lone = fs.mkdtempSync(path.join(work, 'exe-'));
  fs.copyFileSync(exe, path.join(lone, 'qm-check-settings.exe'));
  fs.copyFileSync(file, path.join(lone, 'Quellmark.ini'));
  const run = spawnSync('timeout', ['120', WINE, 'qm-check-settings.exe', 'Quellmark.ini'],
    { cwd: lone, encoding: 'utf8' });
  assert.equal(run.status, 0, `qm-check-settings.exe under Wine reports on the export:\n${run.stdout}${run.stderr}`);
  return run.stdout.replace(/\r\n/g, '\n');
}

async function setField(page, selector, text) {
  await page.focus(selector);
  await page.keyboard.down('Control');
  await page.keyboard.press('KeyA');
  await page.keyboard.up('Control');
  await page.keyboard.type(text);
  await page.keyboard.press('Tab');
}

// What the page shows for the widget's settings, read off its controls.
function shown(page) {
  return page.evaluate(() => ({
    positionx: Number(document.getElementById('PositionX').value),
    positiony: Number(document.getElementById('PositionY').value),
    scale: Number(document.getElementById('Scale').value),
    flags: Number(document.getElementById('flags-value').textContent.replace(/\D/g, '')),
    breakablecolor: parseInt(document.getElementById('BreakableColor').value, 16),
    togglekeycode: Number(/code (\d+)/.exec(document.getElementById('key-explain').textContent)[1]),
  }));
}

// A file of QM_STUDIO_OUT: chromium's under its own name, another browser's
// with the browser's name before the extension.
function outFile(name, browserName) {
  return path.join(OUT, browserName === 'chromium' ? name : name.replace(/(\.\w+)$/, `-${browserName}$1`));
}

for (const browserName of browserNames()) {
  test(`a player shapes the widget in the page opened from file:// in ${browserName}, and the plug-in reads the export as shown`, async () => {
    assert.ok(PAGE && fs.existsSync(PAGE), `no studio page at ${PAGE}`);
    const downloads = fs.mkdtempSync(path.join(work, `downloads-${browserName}-`));
    const browser = await launchBrowser(browserName, { downloadPath: downloads });
    try {
      const page = await browser.newPage();
      const errors = [];
      page.on('pageerror', (error) => errors.push(String(error)));
      await page.setViewport({ width: 1366, height: 768 });
      await page.goto(`file://${PAGE}`);
      await page.waitForFunction(() => window.QmStudioReadyAt || window.QmStudioError, { timeout: 30000 });
      const ready = await page.evaluate(() => ({ at: window.QmStudioReadyAt, error: window.QmStudioError }));
      assert.equal(ready.error, undefined, 'the widget did not load');
      console.log(`the widget answered ${Math.round(ready.at)} ms after the page opened in ${browserName}`);
      fs.writeFileSync(outFile('studio-load-ms.txt', browserName), `${Math.round(ready.at)}\n`);

      // The player's own file: a value the plug-in drops is explained as the
      // checker explains it, and the player's other lines stay for the export.
      const own = path.join(work, 'Quellmark.ini');
      fs.writeFileSync(own, '[Widget]\r\n; my own note\r\nPositionX=150\r\nScale=120\r\n');
      await (await page.$('#open-files')).uploadFile(own);
      await page.waitForFunction(() => document.getElementById('open-problems').children.length > 0, { timeout: 20000 });
      assert.match(await page.$eval('#open-problems', (e) => e.textContent), /PositionX.*150 is out of range for positionx/);
      assert.equal(await page.$eval('#Scale', (e) => e.value), '120');

      // Drag the widget from its default place (top-left anchored) to the
      // lower right of the screen: the bottom-right corner is then the nearest.
      const readout = () => page.evaluate(() => window.QmStudio.readout());
      const overlay = await page.$eval('#stage-overlay', (e) => {
        const r = e.getBoundingClientRect();
        return { x: r.left, y: r.top, width: r.width, height: r.height };
      });
      const before = await readout();
      const zoom = overlay.width / before.stage.width;
      const box = before.widget.box;
      const from = { x: overlay.x + (box.x + box.width / 2) * zoom, y: overlay.y + (box.y + box.height / 2) * zoom };
      const to = { x: overlay.x + overlay.width * 0.8, y: overlay.y + overlay.height * 0.7 };
      await page.mouse.move(from.x, from.y);
      await page.mouse.down();
      await page.mouse.move(to.x, to.y, { steps: 12 });
      await page.mouse.up();

      await setField(page, '#Scale', '130');
      // The rest with the keyboard alone.
      await page.focus('#flag-4');                       // compact
      await page.keyboard.press(' ');  // the space bar: WebDriver BiDi knows no key called "Space"
      await setField(page, '#BreakableColor', '0x40C0FF');
      await page.focus('#key-press');
      await page.keyboard.press('Enter');
      await page.keyboard.press('KeyJ');                 // scan code 36

      const values = await shown(page);
      assert.equal(values.flags & 48, 48, `dragged to the lower right, the widget is anchored ${values.flags & 48}`);
      assert.ok(values.positionx > 50 && values.positiony > 50, `dragged to ${values.positionx} %, ${values.positiony} %`);
      assert.deepEqual({ scale: values.scale, compact: values.flags & 4, breakablecolor: values.breakablecolor,
        togglekeycode: values.togglekeycode }, { scale: 130, compact: 4, breakablecolor: 0x40C0FF, togglekeycode: 36 });
      const shot = await page.screenshot({ type: 'png' });
      fs.writeFileSync(outFile('studio-1366x768.png', browserName), shot);

      await page.focus('#export-ini');
      await page.keyboard.press('Enter');
      const exported = await waitForDownload(downloads, 'Quellmark.ini');
      assert.match(fs.readFileSync(exported, 'utf8'), /; my own note/);
      const native = effectiveWidget(checkNative(exported));
      const wine = effectiveWidget(checkUnderWine(exported));
      for (const [key, value] of Object.entries(values)) {
        assert.equal(native[key], value, `natively, ${key} is ${native[key]}, the page showed ${value}`);
        assert.equal(wine[key], value, `under Wine, ${key} is ${wine[key]}, the page showed ${value}`);
      }

      // A second screen: the widget sits where the exported settings put it.
      await page.select('#screen-choice', '2560x1440');
      await page.waitForFunction(() => window.QmStudio.readout().stage.width === 2560, { timeout: 10000 });
      await new Promise((done) => setTimeout(done, 200));
      const screen = { width: 2560, height: 1440 };
      const args = [native.positionx / 100, native.positiony / 100, native.scale, native.flags];
      const second = await readout();
      assert.deepEqual(boxProblems(second.widget.box, screen, args, 7, 'readout at 2560x1440'), []);
      const frame = await page.$eval('#stage-overlay', (e) => {
        window.scrollTo(0, 0);
        const r = e.getBoundingClientRect();
        return { x: Math.ceil(r.left), y: Math.ceil(r.top), width: Math.floor(r.width), height: Math.floor(r.height) };
      });
      const scale = frame.width / screen.width;
      // Inside the preview's dashed border, then the drawn widget back in screen pixels.
      const inset = 3;
      const inner = { x: frame.x + inset, y: frame.y + inset, width: frame.width - 2 * inset, height: frame.height - 2 * inset };
      const preview = Buffer.from(await page.screenshot({ type: 'png', clip: inner }));
      fs.writeFileSync(outFile('studio-preview-2560x1440.png', browserName), preview);
      const image = decodePng(preview);
      const drawn = drawnExtent(image, SCENE, 24);
      assert.ok(drawn, 'nothing of the widget in the page\'s preview');
      const onScreen = { x: (drawn.x + inset) / scale, y: (drawn.y + inset) / scale, width: drawn.width / scale,
        height: drawn.height / scale };
      // A pixel of the preview spans 1 / scale screen pixels: the edges may be that far off besides.
      const slack = 2 / scale;
      const right = onScreen.x + onScreen.width;
      const bottom = onScreen.y + onScreen.height;
      assert.ok(Math.abs(right - args[0] * screen.width) <= 0.01 * screen.width + slack,
        `the drawn widget's right edge at ${right.toFixed(0)}, the export puts it at ${(args[0] * screen.width).toFixed(0)}`);
      assert.ok(Math.abs(bottom - args[1] * screen.height) <= 0.01 * screen.height + slack,
        `the drawn widget's bottom edge at ${bottom.toFixed(0)}, the export puts it at ${(args[1] * screen.height).toFixed(0)}`);
      fs.writeFileSync(outFile('studio-2560x1440.png', browserName), await page.screenshot({ type: 'png' }));
      assert.deepEqual(errors, []);
    } finally {
      await browser.close();
    }
  });
}
