'use strict';
// The player's files as bytes: decoded as the plug-in's reader decodes them,
// written back in their own encoding byte for byte, names the reader reads
// otherwise than they were meant found and mended, and files that are no
// settings refused.
const assert = require('node:assert/strict');
const { test } = require('node:test');
const { QmSettings, nativeCheck, effectiveSettings } = require('./settings_env');

const B = QmSettings.bytes;
const PLUGINS = ['Skyrim.esm', 'Update.esm', 'Rüstung ÄÖÜ.esp'];

function utf16le(text) {
  return Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(text, 'utf16le')]);
}

test('a Notepad "Unicode" file (UTF-16 LE with its mark) is read as the reader reads it and written back byte for byte', async () => {
  const text = '; Größe des Widgets – für 4K\r\n[Widget]\r\nScale=150 ; bigger\r\n; the corner\r\nPositionX=40\r\n';
  const bytes = new Uint8Array(utf16le(text));
  const decoded = B.decode(bytes);
  assert.deepEqual(decoded, { text, encoding: 'utf-16le' });
  const read = await QmSettings.check(bytes, null, PLUGINS);
  assert.equal(read.values['Widget.Scale'], 150);
  assert.equal(read.values['Widget.PositionX'], 40);
  // Unchanged, the player's lines come back as they were, in UTF-16 LE; the
  // settings the file lacks are added after them.
  const plan = QmSettings.planIni(read.values, decoded.text);
  assert.ok(plan.text.startsWith(text), plan.text.slice(0, 200));
  assert.deepEqual(plan.changes.filter((c) => c.line > 0), []);
  // A changed value changes its line alone; the inline comment stays on it.
  const values = { ...read.values, 'Widget.Scale': 90 };
  const changed = QmSettings.planIni(values, decoded.text);
  assert.deepEqual(changed.changes.filter((c) => c.line > 0), [{ line: 3, was: 'Scale=150 ; bigger', becomes: 'Scale=90 ; bigger' }]);
  const out = B.encode(changed.text, 'utf-16le');
  assert.deepEqual(out.unwritable, []);
  assert.ok(Buffer.from(out.bytes).subarray(0, 60).equals(utf16le(text.replace('150', '90')).subarray(0, 60)));
  const native = nativeCheck(Buffer.from(out.bytes), null, ['Skyrim.esm']);
  assert.equal(native.status, 0, native.output);
  assert.equal(effectiveSettings(native.output)['Widget.scale'], '90');
});

test('a file in the Windows code page keeps its characters, and a plug-in name in it is the name the game has', async () => {
  // The ellipsis is byte 0x85 in the code page.
  const source = Buffer.from('; Größe \x85 für Rüstung\r\n[Widget]\r\nScale=120\r\n', 'latin1');
  const decoded = B.decode(new Uint8Array(source));
  assert.equal(decoded.encoding, 'cp1252');
  assert.match(decoded.text, /^; Größe … für Rüstung\r\n/);
  const back = B.encode(QmSettings.exportIni({ ...QmSettings.defaults(), 'Widget.Scale': 120 }, decoded.text), 'cp1252');
  assert.ok(Buffer.from(back.bytes).subarray(0, source.length).equals(source));

  const noBreak = Buffer.from('[Rüstung ÄÖÜ.esp]\r\n0x000801=1\r\n', 'latin1');
  const read = await QmSettings.check(QmSettings.data.shippedIni, new Uint8Array(noBreak), PLUGINS);
  assert.deepEqual(read.problems, []);
  assert.deepEqual(read.noBreak, [{ plugin: 'Rüstung ÄÖÜ.esp', formId: 0x801, id: 0x02000801 }]);
  const exported = B.encode(QmSettings.noBreak.exportText(read.noBreak, B.decode(new Uint8Array(noBreak)).text), 'cp1252');
  assert.ok(Buffer.from(exported.bytes).includes(Buffer.from('[Rüstung ÄÖÜ.esp]\r\n0x000801=1', 'latin1')));
});

test('a plug-in name saved as UTF-8 is shown as the reader reads it, and re-saved in the code page every item comes back', async () => {
  const ids = ['0x000801', '0x000802', '0x000803', '0x000804', '0x000805', '0x000806'];
  const text = `[Skyrim.esm]\r\n0x012EB7=1\r\n0x0FE12345=1\r\n[Rüstung ÄÖÜ.esp]\r\n${ids.map((id) => `${id}=1`).join('\r\n')}\r\n`;
  const bytes = new Uint8Array(Buffer.from(text, 'utf8'));
  const decoded = B.decode(bytes);
  const misread = 'RÃ¼stung Ã„Ã–Ãœ.esp';
  assert.match(decoded.text, new RegExp(`\\[${misread.replace('.', '\\.')}\\]`));
  assert.equal(B.utf8Misread(misread), 'Rüstung ÄÖÜ.esp');
  assert.equal(B.utf8Misread('Rüstung ÄÖÜ.esp'), null);

  // As saved, the reader looks for the misread name: not in the list.
  const before = await QmSettings.check(QmSettings.data.shippedIni, bytes, PLUGINS);
  assert.deepEqual(before.problems.map((p) => [p.section, p.text]),
    [[misread, 'dropped: R\\xC3\\xBCstung \\xC3\\x84\\xC3\\x96\\xC3\\x9C.esp is not in the plug-in list']]);
  assert.equal(before.noBreak.length, 8);
  assert.equal(before.noBreak.filter((e) => e.loaded === false).length, 6);

  // The mended file: all eight items loaded, and its export reads back the same.
  const mended = B.encode(decoded.text.replace(misread, 'Rüstung ÄÖÜ.esp'), 'cp1252');
  assert.deepEqual(mended.unwritable, []);
  const after = await QmSettings.check(QmSettings.data.shippedIni, mended.bytes, PLUGINS);
  assert.deepEqual(after.problems, []);
  assert.equal(after.noBreak.length, 8);
  const exported = B.encode(QmSettings.noBreak.exportText(after.noBreak, B.decode(mended.bytes).text), 'cp1252').bytes;
  const again = await QmSettings.check(QmSettings.data.shippedIni, exported, PLUGINS);
  assert.deepEqual(again.noBreak, after.noBreak);
  assert.deepEqual(again.problems, []);
});

test('an eight-digit form ID, and any name the reader takes, are exported so that the reader takes the same form', async () => {
  const text = '[Skyrim.esm]\r\n0x0FE12345=1\r\n-1=1\r\n0x12EB7=1\r\n[Odd]Name.esp\xa0]\r\n0x800=1\r\n';
  const read = await QmSettings.check(QmSettings.data.shippedIni, text, ['Skyrim.esm', 'Update.esm', 'Odd]Name.esp\xa0']);
  assert.equal(read.noBreak.length, 4);
  assert.deepEqual(read.problems, []);
  const exported = QmSettings.noBreak.exportText(read.noBreak, text);
  const again = await QmSettings.check(QmSettings.data.shippedIni, exported, ['Skyrim.esm', 'Update.esm', 'Odd]Name.esp\xa0']);
  assert.deepEqual(again.noBreak.map((e) => e.id).sort(), read.noBreak.map((e) => e.id).sort());
  assert.deepEqual(again.problems, []);
});

test('bytes that are no settings file are refused with the reason; settings files in any encoding are not', () => {
  const png = new Uint8Array([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0, 0, 0, 0x0d, 0x49, 0x48, 0x44, 0x52]);
  assert.match(B.notSettingsText(png), /NUL bytes/);
  let seed = 7;
  const noise = new Uint8Array(5 * 1024 * 1024).map(() => {
    seed = (seed * 1103515245 + 12345) >>> 0;
    return seed >>> 24;
  });
  assert.match(B.notSettingsText(noise), /NUL|control characters/);
  assert.match(B.notSettingsText(new Uint8Array(Buffer.from('[Widget]\r\nScale=\x1b[31m5\r\n'))), /control characters \(byte 0x1B\)/);
  const prose = Buffer.from(Array.from({ length: 300 }, (_, i) => `line ${i} of a letter`).join('\n'));
  assert.match(B.notSettingsText(new Uint8Array(prose)), /300 of its 300 lines/);
  assert.equal(B.notSettingsText(new Uint8Array(utf16le('[Widget]\r\nScale=5\r\n'))), null);
  assert.equal(B.notSettingsText(new Uint8Array(Buffer.from('\ufeff[Widget]\r\n\tScale=5\x1a\r\n'))), null);
  assert.equal(B.notSettingsText(new Uint8Array(Buffer.from(QmSettings.data.shippedIni, 'latin1'))), null);
});

test('every byte of the code page and every UTF-16 unit come back as they were', () => {
  const all = new Uint8Array(256).map((_, i) => i);
  assert.deepEqual(B.encode(B.decode(all).text, 'cp1252').bytes, all);
  const units = new Uint8Array(2 + 2 * 0x10000);
  units.set([0xfe, 0xff]);
  for (let u = 0; u < 0x10000; u++) units.set([u >> 8, u & 0xff], 2 + 2 * u);
  assert.deepEqual(B.encode(B.decode(units).text, 'utf-16be').bytes, units);
  // A character the code page has no byte for is named, never dropped unseen.
  assert.deepEqual(B.encode('Ωmega.esp', 'cp1252').unwritable, ['Ω']);
});

