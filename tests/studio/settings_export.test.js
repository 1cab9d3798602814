'use strict';
// What the studio writes must be what the plug-in reads: the exported files
// go through the native qm-check-settings, which must report nothing and list
// exactly the values the page held.
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { spawnSync } = require('node:child_process');
const { test } = require('node:test');
const { repo, build, QmSettings, tempFolder, nativeCheck, effectiveSettings, asLogged } = require('./settings_env');

// A small seeded generator, so that a failure can be run again.
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

// Values the plug-in takes, reaching for the edges: reals of every size,
// whole numbers past the signed 32-bit range, the limits of each range.
function randomValues(next) {
  const values = {};
  const reals = [0, 1e-9, 0.1 + 0.2, 1 / 3, 123456789.123, 1e22, 2.2250738585072014e-308, 4.89162, 2.5];
  for (const s of QmSettings.data.settings) {
    const pick = next();
    let value;
    if (s.form === 'word') value = pick < 0.5 ? 0 : 1;
    else if (s.form === 'real') value = pick < 0.5 ? reals[Math.floor(next() * reals.length)] : next() * 10 ** (next() * 6 - 2);
    else if (pick < 0.2) value = s.maximum;
    else if (pick < 0.3) value = 0;
    else value = Math.floor(next() * (s.maximum + 1));
    values[`${s.section}.${s.key}`] = value;
  }
  return values;
}

const playersFile = fs.readFileSync(path.join(repo, 'tests/tools/bad_settings.ini'), 'latin1');

test('exported random values check clean natively and read back exactly', async () => {
  const next = random(20261208);
  for (let round = 0; round < 6; round++) {
    const values = randomValues(next);
    const text = QmSettings.exportIni(values, round % 2 ? playersFile : null);
    // The player's file ends its lines in LF alone, the shipped file in CRLF:
    // the export keeps the file's own line breaks.
    if (round % 2) assert.ok(!/\r/.test(text), 'every line ends in LF, as the player\'s do');
    else assert.ok(!/[^\r]\n/.test(text), 'every line ends in CRLF');
    const native = nativeCheck(text, null, ['Skyrim.esm']);
    assert.equal(native.status, 0, native.output);
    assert.match(native.output, / 0 dropped, misread or overridden\n$/);
    const logged = effectiveSettings(native.output);
    for (const s of QmSettings.data.settings) {
      const name = `${s.section}.${s.key}`;
      assert.equal(logged[`${s.section}.${s.key.toLowerCase()}`], asLogged(s, values[name]), `round ${round}: ${name}`);
    }
    // The six decimals of the log hide the rest: the reader's own values must
    // be the very doubles the page held.
    const read = await QmSettings.check(text, null, ['Skyrim.esm']);
    assert.deepEqual(read.values, values, `round ${round}`);
    assert.deepEqual(read.problems, []);
  }
});

test('the export keeps the shipped file, its presets, and the player\'s own lines', () => {
  assert.equal(QmSettings.exportIni(QmSettings.defaults(), null), QmSettings.data.shippedIni);
  for (const preset of QmSettings.data.presets) {
    assert.equal(QmSettings.exportIni(preset.values, null), preset.ini, preset.name);
  }
  const text = QmSettings.exportIni(QmSettings.defaults(), '; my note\r\n' + playersFile.replace(/\n/g, '\r\n'));
  const lines = text.split('\r\n');
  // The player's lines the plug-in would not read come back as comments, in
  // their section; a section of their own at the end.
  for (const kept of ['; my note', ';Speed=3', ';Threshold=5', ';LightArmour=2.0', ';a=b=c', ';=7', ';[Sounds]']) {
    assert.ok(lines.includes(kept), kept);
  }
  assert.ok(lines.indexOf(';Threshold=5') < lines.indexOf('[DegradationRate]'));
  assert.ok(lines.indexOf(';LightArmour=2.0') > lines.indexOf('[DegradationRate]'));
  assert.ok(lines.indexOf(';LightArmour=2.0') < lines.indexOf('[BreakChance]'));
  assert.ok(lines.indexOf(';[Sounds]') > lines.indexOf('Flags=8'));
  // Each setting once, whatever the player's file repeated.
  assert.equal(lines.filter((l) => /^heavyarmor=/i.test(l)).length, 2);
  assert.throws(() => QmSettings.exportIni({ ...QmSettings.defaults(), 'Widget.PositionX': 101 }, null), /positionx/);
  // Below the smallest normal double the C library's strtod reports a range
  // error and the reader takes 0: the page must not write such a value.
  const tiny = nativeCheck('[BreakChance]\nClothing=4.9e-324\n', null, ['Skyrim.esm']);
  assert.match(tiny.output, /clothing {2}= {2}0\.000000/);
  assert.match(tiny.output, /Clothing : out of range/);
  assert.throws(() => QmSettings.exportIni({ ...QmSettings.defaults(), 'BreakChance.Clothing': 5e-324 }, null), /too close to 0/);
});

test('no-break entries: checked as the reader checks them, exported grouped by plug-in file', () => {
  const ok = (plugin, text) => QmSettings.noBreak.checkEntry(plugin, text);
  assert.deepEqual(ok('Skyrim.esm', '0x012EB7'), { ok: true, formId: 0x12eb7, message: null });
  assert.equal(ok('Skyrim.esm', '12eb7').formId, 0x12eb7);
  assert.equal(ok('Skyrim.esm', '0x0000012EB7').formId, 0x12eb7);
  // The console's full identifier carries the load-order byte, which the
  // reader adds itself: taken as it stands it would name another item.
  assert.match(ok('Skyrim.esm', 'FF012EB7').message, /0x012EB7/);
  assert.equal(ok('Skyrim.esm', '0x12G').ok, false);
  assert.equal(ok('  ', '0x800').ok, false);
  assert.equal(ok('Bad]Name.esp', '0x800').ok, false);

  const text = QmSettings.noBreak.exportText([
    { plugin: 'Dawnguard.esm', formId: 0x800 },
    { plugin: 'Skyrim.esm', formId: 0x12eb7 },
    { plugin: 'dawnguard.ESM', formId: 0xabcdef },
    { plugin: 'Dawnguard.esm', formId: 0x800 },
  ]);
  assert.equal((text.match(/^\[Dawnguard\.esm\]\r$/gm) || []).length, 1);
  const native = nativeCheck(QmSettings.data.shippedIni, text, ['Skyrim.esm', 'Update.esm', 'Dawnguard.esm']);
  assert.equal(native.status, 0, native.output);
  assert.match(native.output, /NoBreakFormList {2}\(3\) 0x00012EB7 0x02000800 0x02ABCDEF\n/);
  // A form ID the player's file gave with all eight digits (or as a
  // negative number) is written so that the reader reads the same number.
  const wide = QmSettings.noBreak.exportText([
    { plugin: 'Skyrim.esm', formId: 0x0fe12345 },
    { plugin: 'Skyrim.esm', formId: 0xffffffff },
  ]);
  assert.match(wide, /^0x0FE12345=1\r$/m);
  assert.match(wide, /^-0x1=1\r$/m);
  const wideNative = nativeCheck(QmSettings.data.shippedIni, wide, ['Skyrim.esm']);
  assert.match(wideNative.output, /NoBreakFormList {2}\(2\) 0x0FE12345 0xFFFFFFFF\n/);
  assert.throws(() => QmSettings.noBreak.exportText([{ plugin: 'Skyrim.esm', formId: 2 ** 32 }]), /not a form ID/);
});

test('a player\'s no-break file exports with its own lines kept and the items the page removed gone', async () => {
  const base = fs.readFileSync(path.join(repo, 'tests/tools/bad_no_break.ini'), 'latin1');
  const plugins = ['Skyrim.esm', 'Update.esm', 'Dawnguard.esm'];
  const read = await QmSettings.check(QmSettings.data.shippedIni, base, plugins);
  const kept = read.noBreak.filter((entry) => entry.plugin !== 'Update.esm');
  const text = QmSettings.noBreak.exportText(kept, base);
  for (const line of [';0x12EB8=0', ';0x12EB9=true', ';xyz=1', ';[Update.esm]']) {
    assert.ok(text.split('\r\n').includes(line), line);
  }
  const native = nativeCheck(QmSettings.data.shippedIni, text, plugins);
  assert.equal(native.status, 0, native.output);
  assert.match(native.output, /NoBreakFormList {2}\(2\) 0x00012EB7 0x02000800\n/);
});

test('the data generator fails the build when the table and the shipped file disagree', () => {
  const generator = path.join(build, 'bin', 'qm-studio-settings-data');
  const shipped = fs.readFileSync(path.join(repo, 'packaging/Quellmark.ini'), 'latin1');
  const cases = [
    [shipped.replace(/^; Display flags[^\n]*\nFlags=8\n/m, ''), /flags of \[Widget\] is missing/],
    [shipped.replace('Scale=100\n', 'Scale=100\n; Speed.\nSpeed=3\n'), /Speed is not in the settings table/],
    [shipped.replace('PositionX=3\n', 'PositionX=4\n'), /PositionX=4 is not the settings table's default/],
    [shipped.replace('[BreakChance]', '[Breaks]'), /expected the section \[BreakChance\]/],
    [shipped, /presets\/extra is not a preset of ModuleConfig.xml/, 'presets/extra'],
  ];
  for (const [text, message, extraPreset] of cases) {
    const folder = tempFolder();
    try {
      fs.cpSync(path.join(repo, 'packaging'), path.join(folder, 'packaging'), { recursive: true });
      fs.writeFileSync(path.join(folder, 'packaging/Quellmark.ini'), text);
      if (extraPreset) {
        fs.mkdirSync(path.join(folder, 'packaging', extraPreset));
        fs.writeFileSync(path.join(folder, 'packaging', extraPreset, 'Quellmark.ini'), text);
      }
      const out = path.join(folder, 'settings_data.js');
      const run = spawnSync(generator, ['1.0.0', path.join(folder, 'packaging'), out], { encoding: 'utf8' });
      assert.equal(run.status, 1, run.stderr);
      assert.match(run.stderr, message);
      assert.equal(fs.existsSync(out), false);
    } finally {
      fs.rmSync(folder, { recursive: true, force: true });
    }
  }
});
