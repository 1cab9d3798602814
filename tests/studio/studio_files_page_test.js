'use strict';
// The player's own files in the studio page, opened from file:// in each
// browser: a Notepad "Unicode" file, a file in the Windows code page, a
// no-break list whose plug-in name was saved as UTF-8, an eight-digit form
// ID, a picture picked by mistake, three files at once and a file of a
// million lines. The page must show what the plug-in's reader makes of each
// and download the export in the file's own encoding, byte for byte where
// nothing changed.
//
// Environment (tests/studio/run_studio_files_test.sh sets it): QM_STUDIO_PAGE
// the unpacked page, QM_STUDIO_OUT where the timings go.
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { test, after } = require('node:test');
const { browserNames, launchBrowser } = require('./page_browsers');
const { largeSettingsFile } = require('./large_settings_file');

const PAGE = process.env.QM_STUDIO_PAGE;
const OUT = process.env.QM_STUDIO_OUT || os.tmpdir();
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'qm-studio-files-'));
after(() => fs.rmSync(work, { recursive: true, force: true }));

function file(name, bytes) {
  const folder = fs.mkdtempSync(path.join(work, 'f-'));
  fs.writeFileSync(path.join(folder, name), bytes);
  return path.join(folder, name);
}

function utf16le(text) {
  return Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(text, 'utf16le')]);
}

async function openPage(browser) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.setViewport({ width: 1366, height: 768 });
  await page.goto(`file://${PAGE}`);
  await page.waitForFunction(() => window.QmStudio && window.QmPage, { timeout: 30000 });
  // Downloads as bytes, alike in every browser: the page's blobs are kept.
  await page.evaluate(() => {
    window.QmDownloads = [];
    const create = URL.createObjectURL;
    URL.createObjectURL = (blob) => {
      window.QmDownloads.push(blob);
      return create.call(URL, blob);
    };
  });
  return { page, errors };
}

async function upload(page, ...files) {
  const before = await page.$eval('#open-status', (e) => e.textContent);
  await page.evaluate(() => {
    document.getElementById('open-status').textContent = '';
  });
  await (await page.$('#open-files')).uploadFile(...files);
  await page.waitForFunction(() => document.getElementById('open-status').textContent !== '', { timeout: 180000 });
  return { before, status: await page.$eval('#open-status', (e) => e.textContent) };
}

// The bytes of the download a click starts.
async function downloadOf(page, button) {
  const count = await page.evaluate(() => window.QmDownloads.length);
  await page.click(button);
  await page.waitForFunction((n) => window.QmDownloads.length > n, { timeout: 60000 }, count);
  const base64 = await page.evaluate(async () => {
    const bytes = new Uint8Array(await window.QmDownloads[window.QmDownloads.length - 1].arrayBuffer());
    let text = '';
    for (let i = 0; i < bytes.length; i += 8192) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
    return btoa(text);
  });
  return Buffer.from(base64, 'base64');
}

for (const name of browserNames()) {
  test(`${name}: the player's files are read and written back as the plug-in's reader reads them`, async (t) => {
    assert.ok(PAGE && fs.existsSync(PAGE), `no studio page at ${PAGE}`);
    const browser = await launchBrowser(name);
    try {
      const { page, errors } = await openPage(browser);

      await t.test('a Notepad "Unicode" file: its values, and its lines back in UTF-16 LE', async () => {
        const text = '; Größe – für 4K\r\n[Widget]\r\nScale=-5 ; small\r\nFlags=-1\r\n[BreakChance]\r\nLightArmor=inf\r\n';
        const { status } = await upload(page, file('Quellmark.ini', utf16le(text)));
        assert.match(status, /Quellmark\.ini as Quellmark\.ini.*UTF-16 LE/);
        assert.equal(await page.$eval('#Scale', (e) => e.value), '-5');
        assert.equal(await page.$eval('#flags-value', (e) => e.textContent), '= -1');
        assert.equal(await page.$eval('#BreakChance-LightArmor', (e) => e.value), 'inf');
        assert.match(await page.$eval('#scale-explain', (e) => e.textContent), /-5 draws it at 10 %/);
        assert.match(await page.$eval('#start-choice', (e) => e.selectedOptions[0].textContent), /Your own file/);
        const bytes = await downloadOf(page, '#export-ini');
        // UTF-16 LE with its mark, the player's lines in their order, the
        // settings the file lacks added among them; none of them listed as changed.
        assert.equal(bytes.subarray(0, 2).toString('hex'), 'fffe');
        const written = bytes.subarray(2).toString('utf16le').split('\r\n');
        let at = 0;
        for (const line of text.split('\r\n')) {
          at = written.indexOf(line, at);
          assert.ok(at >= 0, `"${line}" is not where it was in\n${written.join('\n')}`);
        }
        const changes = await page.$$eval('#export-changes li', (items) => items.map((li) => li.textContent));
        assert.equal(changes.length, 1, changes.join('\n'));
        assert.match(changes[0], /^\d+ setting\(s\) your file lacks added/);
      });

      await t.test('a file in the Windows code page keeps its characters', async () => {
        const text = Buffer.from('; Gr\xf6\xdfe \x85 f\xfcr mich\r\n[Widget]\r\nScale=120\r\n', 'latin1');
        await upload(page, file('Quellmark.ini', text));
        assert.equal(await page.$eval('#Scale', (e) => e.value), '120');
        assert.match(await page.$eval('#open-report', (e) => e.textContent), /Scale=120/);
        const bytes = await downloadOf(page, '#export-ini');
        assert.ok(bytes.subarray(0, text.length).equals(text), bytes.subarray(0, 40).toString('latin1'));
      });

      await t.test('a plug-in name saved as UTF-8 is shown as the reader reads it and re-saved in the code page', async () => {
        await page.$eval('#plugins', (e) => {
          e.value = 'Skyrim.esm, Update.esm, Rüstung ÄÖÜ.esp';
        });
        const ids = [1, 2, 3, 4, 5, 6].map((n) => `0x00080${n}=1`).join('\r\n');
        const text = `[Skyrim.esm]\r\n0x012EB7=1\r\n0x012EB8=1\r\n[Rüstung ÄÖÜ.esp]\r\n${ids}\r\n`;
        await upload(page, file('NoBreakForms.ini', Buffer.from(text, 'utf8')));
        const names = await page.$eval('#nobreak-names', (e) => e.textContent);
        assert.match(names, /RÃ¼stung Ã„Ã–Ãœ\.esp.*saved as UTF-8/);
        await page.click('#nobreak-names button');
        await page.waitForFunction(() => document.getElementById('nobreak-names').children.length === 0);
        const listed = await page.$$eval('#nobreak-list li', (items) => items.map((li) => li.textContent));
        assert.equal(listed.length, 8);
        assert.deepEqual(listed.filter((t) => /not in your plug-in list/.test(t)), []);
        const bytes = await downloadOf(page, '#export-nobreak');
        assert.ok(bytes.includes(Buffer.from(`[Rüstung ÄÖÜ.esp]\r\n${ids}`, 'latin1')), bytes.toString('latin1'));
      });

      await t.test('an eight-digit form ID downloads as the same form', async () => {
        await upload(page, file('NoBreakForms.ini', Buffer.from('[Skyrim.esm]\r\n0x0FE12345=1\r\n')));
        const bytes = await downloadOf(page, '#export-nobreak');
        assert.match(bytes.toString('latin1'), /^\[Skyrim\.esm\]\r\n0x0FE12345=1\r\n/m);
      });

      await t.test('a picture is refused in one sentence, and the page keeps what it had', async () => {
        const png = Buffer.from('89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c489', 'hex');
        const { status } = await upload(page, file('Quellmark.ini', png));
        assert.match(status, /^Quellmark\.ini is not a settings file: it holds NUL bytes/);
        assert.equal(await page.$eval('#Scale', (e) => e.value), '120');
      });

      await t.test('three files at once: each taken by its name, the third named as left out', async () => {
        const folder = fs.mkdtempSync(path.join(work, 'three-'));
        fs.writeFileSync(path.join(folder, 'notes.ini'), '[Widget]\r\nScale=300\r\n');
        fs.writeFileSync(path.join(folder, 'Quellmark.ini'), '[Widget]\r\nScale=77\r\n');
        fs.writeFileSync(path.join(folder, 'NoBreakForms.ini'), '[Skyrim.esm]\r\n0x012EB7=1\r\n');
        const { status } = await upload(page, ...['notes.ini', 'Quellmark.ini', 'NoBreakForms.ini'].map((f) => path.join(folder, f)));
        assert.match(status, /Took Quellmark\.ini as Quellmark\.ini and NoBreakForms\.ini as NoBreakForms\.ini/);
        assert.match(status, /Left out: notes\.ini/);
        assert.equal(await page.$eval('#Scale', (e) => e.value), '77');
      });

      await t.test('the presets, the sample shield, the columns at 1366 × 768 and two rules of axe-core', async () => {
        // Each preset's description shows once it is chosen.
        const presets = await page.evaluate(() => window.QmSettings.data.presets.map((p) => p.description));
        await page.select('#start-choice', '1');
        assert.equal(await page.$eval('#start-description', (e) => e.textContent), presets[1]);
        // The shield the preview draws and the note beside it agree.
        for (const chance of [0, 5]) {
          const seen = await page.evaluate((c) => {
            window.QmPage.setValues({ 'BreakChance.HeavyArmor': c, 'Widget.BreakableColor': 0xff0000,
              'Widget.UnbreakableColor': 0xffffff });
            return { colour: window.QmWidgetPanel.rowColumns().colours[4], note: document.getElementById('shield-note').textContent };
          }, chance);
          assert.equal(seen.colour, chance > 0 ? 0xff0000 : 0xffffff);
          assert.match(seen.note, chance > 0 ? /drawn in the breakable colour/ : /keeps this shield in the unbreakable colour/);
        }
        // Every part of either column is in the window or can be scrolled to,
        // from the top of the page.
        const columns = await page.evaluate(() => ['preview-column', 'settings-column'].map((id) => {
          window.scrollTo(0, 0);
          const column = document.getElementById(id);
          column.scrollTop = column.scrollHeight;
          const last = column.lastElementChild.getBoundingClientRect();
          return { id, bottom: Math.round(last.bottom), window: window.innerHeight };
        }));
        for (const c of columns) assert.ok(c.bottom <= c.window, `${c.id} ends at ${c.bottom} of ${c.window} pixels`);
        await page.waitForFunction(() => window.QmStudioReadyAt || window.QmStudioError, { timeout: 60000 });
        await page.$eval('#open-report-box', (e) => {
          e.open = true;
        });
        await page.addScriptTag({ path: require.resolve('axe-core/axe.min.js') });
        const violations = await page.evaluate(async () => {
          const result = await window.axe.run(document, { runOnly: ['aria-hidden-focus', 'scrollable-region-focusable'] });
          return result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
        });
        assert.deepEqual(violations, []);
      });

      await t.test('a file of a million lines loads and exports', async () => {
        const shipped = await page.evaluate(() => window.QmSettings.data.shippedIni);
        const big = file('Quellmark.ini', Buffer.from(largeSettingsFile(1000000, shipped), 'latin1'));
        const started = Date.now();
        const { status } = await upload(page, big);
        const loaded = Date.now();
        assert.match(status, /line\(s\) the plug-in does not take as written/);
        const bytes = await downloadOf(page, '#export-ini');
        const done = Date.now();
        assert.ok(bytes.length > 10e6, `${bytes.length} bytes`);
        fs.writeFileSync(path.join(OUT, `studio-million-lines-${name}.txt`),
          `load ${loaded - started} ms, export ${done - loaded} ms\n`);
        console.log(`${name}: a million lines load in ${loaded - started} ms and export in ${done - loaded} ms`);
      });

      assert.deepEqual(errors, []);
    } finally {
      await browser.close();
    }
  });
}
