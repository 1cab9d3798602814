'use strict';
// The studio's check is qm-check-settings compiled to WebAssembly: on every
// file of the settings corpus it must print what the native checker prints,
// and the values and problems the page shows must be read from that report.
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { test } = require('node:test');
const { repo, QmSettings, nativeCheck, effectiveSettings, asLogged } = require('./settings_env');

const corpus = path.join(repo, 'tests/tools/corpus');
const defaultPlugins = ['Skyrim.esm', 'Update.esm', 'Dawnguard.esm', 'HearthFires.esm', 'Dragonborn.esm'];

function cases() {
  const list = fs
    .readdirSync(corpus)
    .filter((name) => name.endsWith('.ini') && !name.endsWith('.nobreak.ini'))
    .map((name) => {
      const base = path.join(corpus, name.slice(0, -'.ini'.length));
      const plugins = fs.existsSync(`${base}.plugins`)
        ? fs.readFileSync(`${base}.plugins`, 'latin1').trim().split(',')
        : defaultPlugins;
      const noBreak = fs.existsSync(`${base}.nobreak.ini`) ? fs.readFileSync(`${base}.nobreak.ini`) : null;
      return { name, ini: fs.readFileSync(`${base}.ini`), noBreak, plugins };
    });
  list.push({
    name: 'bad_settings.ini',
    ini: fs.readFileSync(path.join(repo, 'tests/tools/bad_settings.ini')),
    noBreak: fs.readFileSync(path.join(repo, 'tests/tools/bad_no_break.ini')),
    plugins: ['Skyrim.esm', 'Update.esm'],
  });
  return list;
}

test('the page check prints what the native qm-check-settings prints, on every corpus file', async () => {
  const all = cases();
  assert.ok(all.length >= 14, `only ${all.length} cases`);
  for (const c of all) {
    const native = nativeCheck(c.ini, c.noBreak, c.plugins);
    assert.notEqual(native.status, 2, `${c.name}: ${native.stderr}`);
    const page = await QmSettings.check(new Uint8Array(c.ini), c.noBreak && new Uint8Array(c.noBreak), c.plugins);
    assert.equal(page.report, native.output, `${c.name}: the reports differ`);

    // The values are the reader's, to the last digit the log shows.
    const logged = effectiveSettings(native.output);
    for (const s of QmSettings.data.settings) {
      const name = `${s.section}.${s.key}`;
      assert.equal(asLogged(s, page.values[name]), logged[`${s.section}.${s.key.toLowerCase()}`], `${c.name}: ${name}`);
    }
    // A problem for each entry the report does not take; none when it counts none.
    const counted = Number(/(\d+) dropped, misread or overridden\n$/.exec(native.output)[1]);
    assert.equal(page.problems.length === 0, counted === 0, `${c.name}: ${JSON.stringify(page.problems)}`);
    for (const p of page.problems) assert.ok(native.output.includes(p.text), `${c.name}: ${p.text}`);
  }
});

test('problems name the line, section and key of the entry they explain', async () => {
  const ini = [
    '; mine',
    '[Degradation]',
    'OnlyPlayer=false',
    '  Threshold = 5',
    'TemperChance=50',
    '[Widget]',
    'PositionX=101',
    'PositionX=7',
    'Flags=abc',
  ].join('\r\n');
  const noBreak = '[Skyrim.esm]\n0x12EB7=1\n0x12EB8=yes\n[MyArmour.esp]\n0x800=1\n';
  const result = await QmSettings.check(ini, noBreak, ['Skyrim.esm', 'Update.esm']);
  const brief = result.problems.map((p) => [p.file, p.line, p.section, p.key, p.text.split(':')[0]]);
  assert.deepEqual(brief, [
    ['Quellmark.ini', 4, 'Degradation', 'Threshold', 'dropped'],
    ['Quellmark.ini', 7, 'Widget', 'PositionX', 'dropped'],
    ['Quellmark.ini', 9, 'Widget', 'Flags', 'misread'],
    ['NoBreakForms.ini', 3, 'Skyrim.esm', '0x12EB8', 'dropped'],
    ['NoBreakForms.ini', 0, 'MyArmour.esp', '', 'dropped'],
  ]);
  assert.equal(result.values['Widget.PositionX'], 7);
  assert.equal(result.values['Widget.Flags'], 0);
  assert.equal(result.values['DynamicTemper.TemperChance'], 50);
  // Items of a plug-in file missing from the list stay in the list the page
  // exports, marked as not loaded.
  assert.deepEqual(result.noBreak, [
    { plugin: 'Skyrim.esm', formId: 0x12eb7, id: 0x12eb7 },
    { plugin: 'MyArmour.esp', formId: 0x800, loaded: false },
  ]);
});

test('the items of a light file are its own 12 bits, those of a regular file its six digits', async () => {
  const noBreak = '[Small.esl]\n0x801=1\n[Mod.esp]\n0x800=1\n';
  const result = await QmSettings.check('', noBreak, ['Skyrim.esm', 'Small.esl', 'Mod.esp']);
  assert.deepEqual(result.problems, []);
  assert.deepEqual(result.noBreak, [
    { plugin: 'Small.esl', formId: 0x801, id: 0xfe000801 },
    { plugin: 'Mod.esp', formId: 0x800, id: 0x01000800 },
  ]);
});

test('reals keep every digit the reader read, beyond the six the report shows', async () => {
  const result = await QmSettings.check('[DegradationRate]\nWeaponSword=0.1234567890123\nClothing=1e-9\n', null, []);
  assert.equal(result.values['DegradationRate.WeaponSword'], 0.1234567890123);
  assert.equal(result.values['DegradationRate.Clothing'], 1e-9);
});

test('describeValue explains a value in the words the checker uses for the same entry', async () => {
  const cases = [
    ['Widget', 'PositionX', 101, 'PositionX=101'],
    ['Widget', 'UnbreakableColor', 0x1000000, 'UnbreakableColor=16777216'],
    ['DegradationRate', 'WeaponSword', -2, 'WeaponSword=-2'],
    ['BreakChance', 'Clothing', NaN, 'Clothing=nan'],
    ['BreakChance', 'Clothing', 5e-324, 'Clothing=5e-324'],
  ];
  for (const [section, key, value, line] of cases) {
    const result = await QmSettings.check(`[${section}]\n${line}\n`, null, []);
    assert.equal(result.problems.length, 1, line);
    assert.equal(QmSettings.describeValue(section, key, value), result.problems[0].text, line);
  }
  assert.equal(QmSettings.describeValue('Widget', 'positionx', 100), null);
  assert.equal(QmSettings.describeValue('Widget', 'Scale', 4294967295), null);
  assert.equal(QmSettings.describeValue('BreakChance', 'WeaponBow', Infinity), null);
  assert.match(QmSettings.describeValue('Widget', 'HidePoisonName', 2), /true or false/);
  assert.match(QmSettings.describeValue('Widget', 'Scale', 1.5), /whole numbers/);
});
