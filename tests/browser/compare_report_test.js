'use strict';
// The tuning lab's compare report as a reader uses it, in headless chromium:
// each plot's legend has one entry per kind of item (not one per line); the
// power-attack switch hides and shows exactly the power-attack lines; and a
// hover reads out only the few lines nearest the cursor, the nearest first.
// Leaves a screenshot of the first plot under the cursor beside the report.
//
//   node tests/browser/compare_report_test.js REPORT.html SCREENSHOT.png
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const [report, screenshot] = process.argv.slice(2);
const NEAREST = 4;  // the page's own limit

async function main() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qm-compare-profile-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.QM_CHROMIUM || '/usr/bin/chromium', headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', `--user-data-dir=${profile}`],
  });
  const faults = [];
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1200, height: 900 });
    await page.goto('file://' + path.resolve(report));
    await page.waitForFunction(() => document.documentElement.hasAttribute('data-plots'));

    // Per plot: lines, kinds, legend entries and the lines each state shows.
    const state = () => page.evaluate(() => window.qmPlots.map((p) => ({
      lines: p.f.series.length,
      kinds: new Set(p.f.series.flatMap((s) => s.members.map((m) => m[0]))).size,
      legend: p.el.querySelectorAll('.qm-legend .qm-kind').length,
      power: p.f.series.map((s) => s.members.every((m) => m[1])),
      shown: p.f.series.map((s, i) => p.u.series[i + 1].show),
    })));
    const before = await state();
    if (!before.some((p) => p.lines > p.kinds)) faults.push('no plot has more lines than kinds: nothing to check');
    before.forEach((p, i) => {
      if (p.legend !== p.kinds) faults.push(`plot ${i}: ${p.legend} legend entries for ${p.kinds} kinds of item`);
    });
    const showsPower = (plots, on) => plots.every((p) => p.shown.every((shown, j) => shown === (on || !p.power[j])));
    if (!showsPower(before, false)) faults.push('power-attack lines shown, or others hidden, with the switch off');
    if (!before.some((p) => p.power.some((x) => x))) faults.push('no power-attack line to switch');
    await page.click('#qm-power');
    if (!showsPower(await state(), true)) faults.push('the switch on does not show every line');
    await page.click('#qm-power');
    if (!showsPower(await state(), false)) faults.push('the switch off again does not hide the power-attack lines');

    // Hover the first plot, every line shown, where its lines differ most, at
    // the line farthest in value from its neighbours.
    await page.click('#qm-power');
    await page.evaluate(() => window.scrollTo(0, window.qmPlots[0].el.getBoundingClientRect().top + window.scrollY - 50));
    await new Promise((done) => setTimeout(done, 300));  // uPlot learns of the scroll a moment later
    const at = await page.evaluate(() => {
      const p = window.qmPlots[0];
      const values = (k) => p.f.series.map((s) => s.p50[k]).filter((v) => v != null);
      const distinct = (k) => new Set(values(k)).size;
      const k = p.f.x.reduce((best, x, k) => (distinct(k) > distinct(best) ? k : best), 0);
      const gap = (v) => Math.min(...values(k).filter((w) => w !== v).map((w) => Math.abs(w - v)), Infinity);
      const value = values(k).reduce((best, v) => (gap(v) > gap(best) ? v : best));
      const r = p.el.querySelector('.u-over').getBoundingClientRect(), e = p.el.getBoundingClientRect();
      return { x: r.left + p.u.valToPos(p.f.x[k], 'x'), y: r.top + p.u.valToPos(value, 'y'), value,
        lines: values(k).length, figure: { x: e.left, y: e.top + window.scrollY, width: e.width, height: e.height } };
    });
    if (at.lines <= NEAREST) faults.push(`hover: only ${at.lines} line(s) at one place, a limit of ${NEAREST} untested`);
    await page.mouse.move(at.x - 1, at.y, { steps: 5 });
    const rows = await page.$$eval('#plot0 .qm-readout .qm-line', (rows) => rows.map((r) => r.textContent));
    if (rows.length === 0 || rows.length > Math.min(NEAREST, at.lines)) {
      faults.push(`hover: ${rows.length} line(s) read out of ${at.lines}, at most ${NEAREST}`);
    } else if (!rows[0].includes(`: ${at.value} (`)) {
      faults.push(`hover: the nearest line (${at.value}) is not read out first: ${rows[0]}`);
    }
    const f = at.figure;
    await page.screenshot({ path: screenshot, clip: { x: f.x, y: f.y - 40, width: f.width, height: f.height + 40 },
      captureBeyondViewport: false });
  } finally {
    await browser.close().catch(() => {});
    fs.rmSync(profile, { recursive: true, force: true });
  }
  return faults;
}

main().then((faults) => {
  faults.forEach((f) => console.log(`FAILED compare-report: ${f}`));
  if (faults.length === 0) console.log('ok compare-report: one legend entry per kind, the power switch, the nearest lines');
  process.exit(faults.length === 0 ? 0 : 1);
}, (error) => {
  console.log(`FAILED compare-report: ${error.stack || error}`);
  process.exit(1);
});
