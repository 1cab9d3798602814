'use strict';
// The pieces of the movie tests that need no browser: reading a trace's
// widget calls, judging a shown row, placing the pictures in a report.
const assert = require('node:assert/strict');
const { test } = require('node:test');
const { readWidgetCalls, callsByMovie, updateSteps } = require('../../tools/movie_player/widget_calls');
const { expectedRows, rowProblems, nameMatches } = require('../../tools/movie_player/rows');
const { swfStage } = require('../../tools/movie_player/swf_header');
const { insertSection, reportSteps } = require('../../tools/movie_player/widget_pictures');

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
