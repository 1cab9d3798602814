'use strict';
// The pieces of the movie tests that need no browser: reading a trace's
// widget calls, judging a shown row and a widget on a screen, placing the
// pictures in a report.
const assert = require('node:assert/strict');
const { test } = require('node:test');
const { readWidgetCalls, callsByMovie, updateSteps } = require('../../tools/movie_player/widget_calls');
const { expectedRows, rowProblems, nameMatches } = require('../../tools/movie_player/rows');
const { swfStage } = require('../../tools/movie_player/swf_header');
const { insertSection, reportSteps, parseScreens, fullestUpdate } = require('../../tools/movie_player/widget_pictures');
const {
  SCREENS, PLACEMENTS, ruleHeight, boxProblems, placementProblems, drawnExtent, screenClip, screenshotProblems, boxRow,
  BOX_TABLE_HEAD, aspect,
} = require('../../tools/movie_player/screens');

const TRACE = `== trace
widget open
11 frame(s)
  widget rows (UpdateMenu):
  | icon | name |
hit player by bandit
  widget rows (UpdateMenu):
== result 0
== widget calls
{"args":[0.03,0.73,100.0,8.0],"movie":1,"path":"_root.widget.Setup"}
{"args":[[],[],[],[]],"movie":1,"path":"_root.widget.UpdateMenu"}
{"args":[[],[],[],[]],"movie":2,"path":"_root.widget.UpdateMenu"}
== log Quellmark.log
{"not":"a call"}
`;

test('a trace gives its widget calls by movie and the step before each update', () => {
  const { calls, updateLabels } = readWidgetCalls(TRACE, 'demo.trace');
  assert.equal(calls.length, 3);
  assert.deepEqual(updateLabels, ['11 frame(s)', 'hit player by bandit']);
  assert.deepEqual(callsByMovie(calls).map((m) => m.length), [2, 1]);
  const { traceLines } = readWidgetCalls(TRACE);
  assert.deepEqual(updateSteps(traceLines, ['widget open', '', '11 frame(s)', 'hit player by bandit']), [2, 3]);
  assert.deepEqual(updateSteps(traceLines, []), [null, null]);
  const report = '<h2>Steps</h2>\n<table><tr><th>step</th></tr>\n'
    + '<tr><td>0</td><td class="l">a -&gt; &quot;b&quot;</td></tr>\n'
    + '<tr><td>1</td><td class="l"></td></tr>\n</table>';
  assert.deepEqual(reportSteps(report), ['a -> "b"', '']);
  assert.throws(() => readWidgetCalls('== trace\n== result 0\n', 'old.trace'), /old.trace: no "== widget calls"/);
  assert.throws(() => readWidgetCalls(TRACE.replace('"movie":2', '"movie":2,'), 'bad.trace'), /bad.trace:12: not JSON/);
  assert.throws(() => readWidgetCalls(TRACE.replace('"movie":1,', ''), 'bad.trace'), /bad.trace:10: a widget call/);
});

test('a shown row matches only what was sent', () => {
  const sent = [['weapon_sword', 'none', 'armor_head', 'armor_body', 'armor_feet', 'armor_hands', 'none'],
    ['Sword', '', 'A very long helmet name', 'Armor', 'Boots', 'Gloves', ''], [5, -1, 10.4, 0, 1, 2, -1],
    [1, 1, 1, 1, 1, 1, 1]];
  const shown = expectedRows(sent).map((row) => ({ ...row, visible: !row.blank }));
  shown[2].name = 'A very long hel\u2026';
  assert.deepEqual(rowProblems(expectedRows(sent), shown, 'ok'), []);
  const wrong = shown.map((row) => ({ ...row }));
  wrong[0].colour = 2;
  wrong[1].visible = true;
  wrong[3].durability = '0.0';
  wrong[4].name = 'Boot\u2026s';
  wrong[5].visible = false;
  const problems = rowProblems(expectedRows(sent), wrong, 'bad');
  assert.equal(problems.length, 5, problems.join('\n'));
  assert.match(rowProblems(expectedRows(sent), shown.slice(0, 6), 'few')[0], /6 rows, not 7/);
  assert.ok(nameMatches('Steel Sword', 'Steel...'));
  assert.ok(!nameMatches('Steel Sword', 'Steel Sword\u2026'), 'nothing was cut');
  assert.ok(!nameMatches('Steel Sword', 'Iron\u2026'));
});

test('the stage size comes from the frame rectangle', () => {
  // 1920 x 1080 pixels: 38400 x 21600 twips in 17-bit fields.
  const bits = '10001' + [0, 38400, 0, 21600].map((v) => v.toString(2).padStart(17, '0')).join('');
  const padded = bits.padEnd(Math.ceil(bits.length / 8) * 8, '0');
  const rect = Buffer.from(padded.match(/.{8}/g).map((b) => parseInt(b, 2)));
  const header = Buffer.concat([Buffer.from('FWS\x08\0\0\0\0', 'latin1'), rect]);
  assert.deepEqual(swfStage(header), { version: 8, width: 1920, height: 1080 });
  assert.throws(() => swfStage(Buffer.from('GIF89a...')), /not a SWF/);
});

test('the pictures go beside the first figure, once', () => {
  const report = '<p>x</p><figure><svg></svg></figure>\n<h2>Steps</h2>';
  const once = insertSection(report, '<!-- widget pictures -->A<!-- end of widget pictures -->');
  assert.match(once, /<div style="display:flex[^"]*"><figure><svg><\/svg><\/figure>\n<!-- widget pictures -->A/);
  const twice = insertSection(once, '<!-- widget pictures -->B<!-- end of widget pictures -->');
  assert.equal(twice, once.replace('-->A<', '-->B<'));
  assert.throws(() => insertSection('<p>no plot</p>', 'A'), /no figure/);
});

test('the checks of a widget on a screen: whole, at its shares, of the rule\'s height', () => {
  const screen = { width: 2560, height: 1440 };
  const args = [0.03, 0.73, 100, 8];
  // Seven rows of 40 pixels and 8 of padding above and below: 296 high.
  assert.equal(ruleHeight(screen, 100, 7), 296);
  assert.equal(ruleHeight({ width: 1280, height: 1024 }, 1000000, 1), (30 + 12) * 10 * 1024 / 1080, 'scale clamped');
  const box = { x: 76.8, y: 1051.2, width: 273, height: 296 };
  assert.deepEqual(boxProblems(box, screen, args, 7, 'ok'), []);
  assert.match(boxProblems({ ...box, x: 2400 }, screen, args, 7, 'off').join('\n'), /not whole.*\n.*left edge/);
  assert.match(boxProblems({ ...box, height: 330 }, screen, args, 7, 'tall').join('\n'), /not within 10 %/);
  // Anchored at the right and bottom: those edges count.
  const corner = [0.97, 0.95, 100, 56];
  assert.deepEqual(boxProblems({ x: 2483.2 - 273, y: 1368 - 296, width: 273, height: 296 }, screen, corner, 7, 'c'), []);
  assert.equal(boxProblems({ x: 2483.2, y: 1368, width: 273, height: 296 }, screen, corner, 7, 'c').length, 3);

  const readout = {
    stage: { width: 2560, height: 1440 },
    widget: { x: 76.8, y: 1051.2, scale: 100, factor: 4 / 3, anchor: { x: 76.8, y: 1051.2 }, box },
  };
  assert.deepEqual(placementProblems(readout, screen, args, 'ok'), []);
  assert.match(placementProblems(readout, { width: 1920, height: 1080 }, args, 'small')[0], /the stage is 2560 x 1440/);
  const moved = { ...readout, widget: { ...readout.widget, x: 60 } };
  assert.match(placementProblems(moved, screen, args, 'moved').join('\n'), /moved along x .* did not reach/);
  const pushed = { ...readout, widget: { ...readout.widget, x: 2560 - 273, anchor: { x: 2560, y: 1051.2 },
    box: { ...box, x: 2560 - 273 } } };
  assert.deepEqual(placementProblems(pushed, screen, [1, 0.73, 100, 8], 'pushed'), [], 'moved to the edge: fine');
  assert.match(placementProblems(readout, screen, [0.03, 0.73, 150, 8], 'scale').join('\n'), /scale 100 for 150/);
});

test('the widget\'s pixels in a screenshot, whole or clipped', () => {
  const scene = 0x506070;
  const image = { width: 40, height: 30, rgba: Buffer.alloc(40 * 30 * 4) };
  for (let i = 0; i < 40 * 30; ++i) image.rgba.set([0x50, 0x60, 0x70, 255], i * 4);
  assert.equal(drawnExtent(image, scene), null);
  assert.match(screenshotProblems(image, { widget: { box: { x: 5, y: 10, width: 20, height: 10 } } },
    { width: 40, height: 30 }, [0, 0, 100, 8], 1, scene, 'empty')[0], /nothing but the scene/);
  for (let y = 10; y < 20; ++y) for (let x = 5; x < 25; ++x) image.rgba.set([0x2c, 0x35, 0x3e, 255], (y * 40 + x) * 4);
  assert.deepEqual(drawnExtent(image, scene), { x: 5, y: 10, width: 20, height: 10 });
  // The clip around a box keeps a margin inside the screen.
  assert.deepEqual(screenClip({ x: 5, y: 10, width: 20, height: 10 }, { width: 1280, height: 720 }),
    { x: 0, y: 0, width: 61, height: 56 });
  assert.deepEqual(screenClip({ x: 600.5, y: 500, width: 100, height: 50 }, { width: 1280, height: 720 }),
    { x: 564, y: 464, width: 173, height: 122 });
  // A screen of 40 x 30 on which a 20 x 10 box stands at (5, 10): the height of one row at the scale that
  // makes one row and its padding (42 lines of 1,080) 10 of 30 lines.
  const screen = { width: 40, height: 30 };
  const readout = { widget: { box: { x: 5, y: 10, width: 20, height: 10 } } };
  const args = [5 / 40, 10 / 30, (10 / 30) * (1080 / 42) * 100, 8];
  assert.deepEqual(screenshotProblems(image, readout, screen, args, 1, scene, 'whole'), []);
  const shifted = { widget: { box: { x: 9, y: 10, width: 20, height: 10 } } };
  assert.match(screenshotProblems(image, shifted, screen, args, 1, scene, 'shifted')[0], /left edge at 5/);
  // Clipped: pixels that reach a side of the clip inside the screen may go on beyond it.
  for (let y = 10; y < 20; ++y) for (let x = 0; x < 5; ++x) image.rgba.set([0x2c, 0x35, 0x3e, 255], (y * 40 + x) * 4);
  const clip = { x: 5, y: 0, width: 40, height: 30 };
  const inClip = { widget: { box: { x: 5, y: 10, width: 25, height: 10 } } };
  const wide = { width: 100, height: 30 };
  assert.deepEqual(screenshotProblems(image, inClip, wide, [0.05, 1 / 3, args[2], 8], 1, scene, 'clip', clip),
    [`clip: the drawn widget reaches the left side of the screenshot (5.0, 0.0) 40.0 x 30.0, so part of it may lie beyond`]);
});

test('the table of boxes gives shares of the screen in percent', () => {
  const row = boxRow({ width: 3440, height: 1440 }, 'default', { x: 103.2, y: 1051.2, width: 273, height: 296 });
  assert.equal(row, '| 3440 x 1440 | 21:9 | default | 3.0 | 73.0 | 10.9 | 93.6 | 7.9 | 20.6 |');
  assert.equal(BOX_TABLE_HEAD.split('\n')[0].split('|').length, row.split('|').length);
  assert.deepEqual(SCREENS.map(aspect), ['16:9', '16:9', '16:9', '16:9', '16:10', '16:9', '21:9', '21:9', '16:9',
    '32:9', '5:4']);
  assert.ok(PLACEMENTS.some((p) => p.args.join() === '0.03,0.73,100,8'));
  assert.ok(PLACEMENTS.some((p) => p.args.join() === '0.97,0.95,100,56'));
});

test('the whole screens of the report: their sizes, and the fullest update to show', () => {
  assert.deepEqual(parseScreens('1366x768, 2560x1440'), [{ width: 1366, height: 768 }, { width: 2560, height: 1440 }]);
  assert.deepEqual(parseScreens('none'), []);
  assert.throws(() => parseScreens('1366*768'), /--screens takes sizes/);
  const update = (movie, icons) => ({ movie, path: '_root.widget.UpdateMenu', args: [icons, [], [], []] });
  const setup = (movie) => ({ movie, path: '_root.widget.Setup', args: [0.03, 0.73, 100, 8] });
  const calls = [setup(1), update(1, ['a', 'none', 'b']), update(1, ['none']), setup(2), update(2, ['a', 'b', 'c']),
    update(2, ['a', 'b', 'c', '']), update(2, ['x'])];
  const fullest = fullestUpdate(calls);
  assert.deepEqual([fullest.movie, fullest.shown, fullest.calls.length], [2, 3, 2], 'the first of the fullest');
  assert.equal(fullest.calls[0].path, '_root.widget.Setup', 'from the opening\'s Setup on');
  assert.equal(fullestUpdate([setup(1)]), null);
});

test('the installer\'s preset figures: the lab\'s medians to the nearest five, the breaking ones as hits after worn out', () => {
  const { presetFigures, placeholders } = require('../../tools/movie_player/preset_figures');
  const fs = require('node:fs');
  const os = require('node:os');
  const path = require('node:path');
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'qm-figures-'));
  const write = (figures) => {
    const file = path.join(folder, 'figures.json');
    fs.writeFileSync(file, JSON.stringify(figures));
    return file;
  };
  try {
    const measured = { defaults: { wornOut: 106, broken: null }, breaking: { wornOut: 106, broken: 148 },
      hard: { wornOut: 51, broken: 67.5 } };
    assert.deepEqual(placeholders(presetFigures(write(measured))), { DEFAULTS_WORN_OUT: 105, BREAKING_WORN_OUT: 105,
      BREAKING_MORE: 45, HARD_WORN_OUT: 50, HARD_MORE: 20 });
    assert.throws(() => presetFigures(write({ ...measured, hard: { wornOut: 51, broken: null } })), /breaking/);
    assert.throws(() => presetFigures(write({ ...measured, defaults: { wornOut: 106, broken: 150 } })), /never break/);
    assert.throws(() => presetFigures(write({ defaults: measured.defaults, breaking: measured.breaking })), /hard/);
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
});
