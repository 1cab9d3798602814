'use strict';
// The page and the plug-in's reader agree on every line: on seeded random
// files of odd lines (signs, infinities, hexadecimal, quotes, inline
// comments, huge and tiny numbers, repeated keys) the page's report, values
// and shown numbers are the native qm-check-settings's, and the export of
// what the reader read is taken whole, with the same values.
const assert = require('node:assert/strict');
const { test } = require('node:test');
const { QmSettings, nativeCheck, effectiveSettings, asLogged } = require('./settings_env');

function random(seed) {
  let state = seed >>> 0;
  return () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

const ODD_VALUES = [
  '-5', '+7', '-1', '0', '-0', '4294967295', '4294967296', '2147483647', '2147483648', '-2147483648', '-2147483649',
  '0x7FFFFFFF', '0xFFFFFFFF', '0x00FF00', '0XffD700', "'0x00FF00'", '"42"', '010', '08', 'inf', '-inf', 'INF',
  'infinity', 'nan', '-nan', '1e999', '1e-320', '4.9e-324', '2.2250738585072014e-308', '0.1', '1e22', '.5', '5.',
  '0x1p3', 'true', 'TRUE', 'false', 'False', 'yes', 'true ; hide it', '12 ; note', '3.5\t; note', '99999999999999999999',
  '-99999999999999999999', '1.7976931348623157e308', '', 'abc', '12abc', ' 42 ', '1,5', '100%',
];
const SECTIONS = ['Degradation', 'DegradationRate', 'BreakChance', 'DynamicTemper', 'Widget', 'widget', 'Sounds'];

function oddFile(next) {
  const pick = (list) => list[Math.floor(next() * list.length)];
  const keys = QmSettings.data.settings.map((s) => s.key);
  const lines = [];
  if (next() < 0.3) lines.push(`${pick(keys)}=${pick(ODD_VALUES)}`);
  const used = [];
  for (let n = 0; n < 6; n++) {
    lines.push(next() < 0.2 ? `  [ ${pick(SECTIONS)} ]  ` : `[${pick(SECTIONS)}]`);
    for (let k = Math.floor(next() * 8); k > 0; k--) {
      const roll = next();
      if (roll < 0.1) lines.push('; a comment of the player');
      else if (roll < 0.15) lines.push('');
      else {
        // Repeats of a key already written, in its own spelling or another case.
        let key = roll < 0.35 && used.length ? pick(used) : pick(keys);
        if (next() < 0.2) key = key.toUpperCase();
        used.push(key);
        const space = next() < 0.2 ? ' ' : '';
        lines.push(`${key}${space}=${space}${pick(ODD_VALUES)}`);
      }
    }
  }
  return lines.join(next() < 0.5 ? '\r\n' : '\n') + '\r\n';
}

test('on random files of odd lines the page reports, reads and shows what the native reader does, and exports it whole', async () => {
  const next = random(20261209);
  const plugins = ['Skyrim.esm'];
  for (let round = 0; round < 40; round++) {
    const text = oddFile(next);
    const bytes = Buffer.from(text, 'latin1');
    const native = nativeCheck(bytes, null, plugins);
    assert.notEqual(native.status, 2, native.stderr);
    const page = await QmSettings.check(new Uint8Array(bytes), null, plugins);
    assert.equal(page.report, native.output, `round ${round}: the reports differ for\n${text}`);
    const logged = effectiveSettings(native.output);
    for (const s of QmSettings.data.settings) {
      const name = `${s.section}.${s.key}`;
      const value = page.values[name];
      assert.equal(asLogged(s, value), logged[`${s.section}.${s.key.toLowerCase()}`], `round ${round}: ${name}`);
      // What a control shows: whole numbers as the signed number the reader
      // read (-5, not 4294967291), the way the log lists them.
      if (s.form === 'whole') assert.equal(QmSettings.shownValue(s, value), logged[`${s.section}.${s.key.toLowerCase()}`]);
      assert.equal(QmSettings.describeValue(s.section, s.key, value), null, `round ${round}: ${name} = ${value}`);
    }

    // The export of what the reader read: nothing refused, every line taken,
    // the same values; the player's lines it rewrites are listed.
    const plan = QmSettings.planIni(page.values, QmSettings.bytes.decode(new Uint8Array(bytes)).text);
    const back = nativeCheck(Buffer.from(QmSettings.bytes.encode(plan.text, 'cp1252').bytes), null, plugins);
    assert.equal(back.status, 0, `round ${round}: the export of\n${text}\nis\n${plan.text}\n${back.output}`);
    assert.deepEqual(effectiveSettings(back.output), logged, `round ${round}`);
    const written = plan.text.split(/\r\n|\r|\n/);
    const own = text.split(/\r\n|\r|\n/);
    for (const change of plan.changes.filter((c) => c.line > 0)) assert.equal(own[change.line - 1], change.was);
    const kept = own.filter((line, i) => !plan.changes.some((c) => c.line === i + 1));
    for (const line of kept) assert.ok(written.includes(line), `round ${round}: "${line}" is gone`);
  }
});

test('the player\'s comments and inline comments stay where they were; misread lines are rewritten and listed', () => {
  const text = [
    '[Widget]',
    '; my colour, not too bright',
    'BreakableColor=\'0x00FF00\'',
    'HidePoisonName=true ; hide it',
    'Scale=120 ; bigger',
    'Flags="42"',
    '; the end of my widget',
    '[Degradation]',
    'OnlyPlayer=false',
    '',
  ].join('\r\n');
  const values = { ...QmSettings.defaults(), 'Widget.HidePoisonName': 1, 'Widget.Scale': 120, 'Degradation.OnlyPlayer': 0 };
  const plan = QmSettings.planIni(values, text);
  const lines = plan.text.split('\r\n');
  assert.deepEqual(lines.slice(0, 7), [
    '[Widget]',
    '; my colour, not too bright',
    'BreakableColor=0xFFD700',
    '; hide it',
    'HidePoisonName=true',
    'Scale=120 ; bigger',
    'Flags=8',
  ]);
  // The settings the file lacks come after its own lines of the section.
  assert.ok(lines.indexOf('DisableWidget=false') > 6);
  assert.ok(lines.indexOf('; the end of my widget') < lines.indexOf('[Degradation]'));
  assert.deepEqual(plan.changes.filter((c) => c.line > 0).map((c) => [c.line, c.was]), [
    [3, 'BreakableColor=\'0x00FF00\''],
    [4, 'HidePoisonName=true ; hide it'],
    [6, 'Flags="42"'],
  ]);
  assert.equal(lines[lines.indexOf('[Degradation]') + 1], 'OnlyPlayer=false');
});
