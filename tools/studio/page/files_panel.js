// QmFilesPanel: where the studio page's settings start from (the shipped
// file, a preset, the player's own files) and the no-break list. The
// player's files are read as bytes and decoded as the plug-in's reader
// decodes them (QmSettings.bytes), never by the browser's guess. A classic
// script: load page_state.js first.
(function () {
  'use strict';

  const P = window.QmPage;
  const { $, state } = P;
  const S = P.S;
  const B = S.bytes;
  const OWN = 'own';

  function plugins() {
    return $('plugins').value.split(/[,;\n]/).map((name) => name.trim()).filter(Boolean);
  }

  function say(text) {
    $('open-status').textContent = text;
  }

  // ---- start from ----------------------------------------------------------

  function describeStart() {
    const value = $('start-choice').value;
    const preset = value === OWN ? null : S.data.presets[Number(value)];
    $('start-description').textContent = preset ? preset.description
      : `Your own file, as you opened it: ${state.start || ''}.`;
  }

  // The list says what the values came from: a preset, or the player's file.
  function markOwn(names) {
    const select = $('start-choice');
    let own = [...select.options].find((o) => o.value === OWN);
    if (!own) {
      own = new Option('Your own file', OWN);
      select.add(own, 0);
    }
    own.textContent = `Your own file (${names})`;
    select.value = OWN;
    describeStart();
  }

  function fillStarts() {
    const select = $('start-choice');
    S.data.presets.forEach((preset, i) => select.add(new Option(preset.title, String(i))));
    select.addEventListener('change', describeStart);
    $('start-apply').addEventListener('click', () => {
      if (select.value === OWN) return;
      const preset = S.data.presets[Number(select.value)];
      state.start = preset.title;
      loadFiles({ ini: { text: preset.ini, encoding: 'cp1252' }, what: preset.title })
        .catch((error) => say(String(error.message || error)));
    });
    describeStart();
  }

  // ---- the player's files --------------------------------------------------

  // Files by their names: Quellmark.ini and NoBreakForms.ini (in any case);
  // one file alone by its likeliest part. Returns { ini, noBreak, left }.
  function sortFiles(files) {
    const list = [...files];
    const taken = { ini: null, noBreak: null, left: [] };
    for (const file of list) {
      const name = file.name.toLowerCase();
      const slot = name === 'quellmark.ini' ? 'ini' : name === 'nobreakforms.ini' ? 'noBreak' : null;
      if (slot && !taken[slot]) taken[slot] = file;
      else if (list.length > 1 || slot) taken.left.push(file);
    }
    if (list.length === 1 && !taken.ini && !taken.noBreak) {
      taken[/nobreak/i.test(list[0].name) ? 'noBreak' : 'ini'] = list[0];
    }
    return taken;
  }

  // { text, encoding } of a file, or a sentence why it is no settings file.
  async function readFile(file) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    const why = B.notSettingsText(bytes);
    if (why) return { refused: `${file.name} is not a settings file: ${why}.` };
    return { bytes, ...B.decode(bytes) };
  }

  async function openFiles(files) {
    if (!files || files.length === 0) return;
    const sorted = sortFiles(files);
    const leftOut = sorted.left.map((f) => f.name);
    const notes = leftOut.length
      ? ` Left out: ${leftOut.join(', ')} (the studio takes one Quellmark.ini and one NoBreakForms.ini, by their names).` : '';
    const read = {};
    for (const slot of ['ini', 'noBreak']) {
      if (!sorted[slot]) continue;
      read[slot] = await readFile(sorted[slot]);
      if (read[slot].refused) {
        // The page keeps what it had.
        say(`${read[slot].refused} Nothing was changed.${notes}`);
        return;
      }
      read[slot].name = sorted[slot].name;
    }
    if (!read.ini && !read.noBreak) {
      say(`Neither Quellmark.ini nor NoBreakForms.ini among ${leftOut.join(', ')}: nothing was opened.`);
      return;
    }
    const what = [read.ini && `${read.ini.name} as Quellmark.ini`, read.noBreak && `${read.noBreak.name} as NoBreakForms.ini`]
      .filter(Boolean).join(' and ');
    await loadFiles({ ini: read.ini, noBreak: read.noBreak, what: `Took ${what}`, own: true, notes });
  }

  // Checks the files with the plug-in's reader and shows what it makes of
  // them. ini and noBreak: { text, encoding, bytes? }; a missing ini keeps
  // the page's own settings.
  async function loadFiles({ ini, noBreak, what, own = false, notes = '' }) {
    const iniFile = ini || { text: S.exportIni(state.values, state.base), encoding: state.baseEncoding };
    const iniBytes = iniFile.bytes || B.encode(iniFile.text, iniFile.encoding).bytes;
    const noBreakBytes = noBreak ? noBreak.bytes || B.encode(noBreak.text, noBreak.encoding).bytes : null;
    const result = await S.check(iniBytes, noBreakBytes, plugins());
    state.values = result.values;
    if (ini) {
      state.base = iniFile.text;
      state.baseEncoding = iniFile.encoding;
    }
    if (noBreak) {
      state.noBreak = result.noBreak.map((e) => ({ plugin: e.plugin, formId: e.formId, loaded: e.loaded !== false }));
      state.noBreakBase = noBreak.text;
      state.noBreakEncoding = noBreak.encoding;
    }
    if (own) {
      state.start = [ini && ini.name, noBreak && noBreak.name].filter(Boolean).join(', ');
      markOwn(state.start);
    }
    const encodings = [ini && own && `${ini.name}: ${B.encodingName(ini.encoding)}`,
      noBreak && `${noBreak.name}: ${B.encodingName(noBreak.encoding)}`].filter(Boolean);
    const saved = encodings.length ? ` Read as the game reads it (${encodings.join('; ')}); the export keeps that encoding.` : '';
    say((result.problems.length === 0
      ? `${what}: the plug-in takes every line as written.`
      : `${what}: ${result.problems.length} line(s) the plug-in does not take as written. The values below are what it would use.`)
      + saved + notes);
    P.listProblems($('open-problems'), result.problems.map((p) =>
      `${p.file ? `${p.file}, ` : ''}${p.line ? `line ${p.line}: ` : ''}${p.section ? `[${p.section}] ` : ''}${p.key ? `${p.key}: ` : ''}${p.text}`));
    $('open-report').textContent = result.report;
    $('open-report-box').hidden = false;
    showNoBreak();
    P.render();
  }

  function bindFiles() {
    $('open-files').addEventListener('change', () => openFiles($('open-files').files)
      .catch((error) => say(String(error.message || error))));
    document.addEventListener('dragover', (event) => {
      event.preventDefault();
      document.body.classList.add('dropping');
    });
    document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
    document.addEventListener('drop', (event) => {
      event.preventDefault();
      document.body.classList.remove('dropping');
      openFiles(event.dataTransfer.files).catch((error) => say(String(error.message || error)));
    });
  }

  // ---- no-break list -------------------------------------------------------

  // Plug-in names of the player's NoBreakForms.ini saved as UTF-8: the reader
  // decodes them in the code page and looks for a file of another name.
  function misreadNames() {
    if (state.noBreakBase === null || state.noBreakEncoding !== 'cp1252') return [];
    const names = [];
    for (const line of S.lines.split(state.noBreakBase)) {
      const name = S.lines.headerName(S.lines.trim(line));
      const meant = name === null ? null : B.utf8Misread(name);
      if (meant !== null && !names.some((n) => n.read === name)) names.push({ read: name, meant });
    }
    return names;
  }

  // Re-saves a name in the code page: the header lines that hold it.
  function fixName(read, meant) {
    const text = S.lines.splitWithBreaks(state.noBreakBase).map((line) => {
      const trimmed = S.lines.trim(line.text);
      return (S.lines.headerName(trimmed) === read ? line.text.replace(read, meant) : line.text) + line.end;
    }).join('');
    return loadFiles({ noBreak: { text, encoding: state.noBreakEncoding }, what: `[${meant}] saved in the Windows code page` });
  }

  function showNames() {
    const list = $('nobreak-names');
    list.replaceChildren();
    for (const { read, meant } of misreadNames()) {
      const li = document.createElement('li');
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = `Save it as “${meant}”`;
      button.addEventListener('click', () => fixName(read, meant).catch((error) => say(String(error.message || error))));
      li.append(`[${read}]: this name is saved as UTF-8, but the game reads the file in the Windows code page, so it `
        + `looks for a plug-in called “${read}”, not “${meant}”. `, button);
      list.appendChild(li);
    }
  }

  function showNoBreak() {
    const items = document.createDocumentFragment();
    state.noBreak.forEach((entry, i) => {
      const li = document.createElement('li');
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = 'Remove';
      const id = S.noBreak.formIdText(entry.formId);
      button.setAttribute('aria-label', `Remove ${entry.plugin} ${id}`);
      button.addEventListener('click', () => {
        state.noBreak.splice(i, 1);
        showNoBreak();
        P.render();
      });
      const missing = entry.loaded === false ? ' (not in your plug-in list: the game skips it)' : '';
      li.append(`${entry.plugin}, form ${id}${missing} `, button);
      items.appendChild(li);
    });
    $('nobreak-list').replaceChildren(items);
    showNames();
  }

  function bindNoBreak() {
    $('nobreak-add').addEventListener('click', () => {
      const plugin = $('nobreak-plugin').value.trim();
      const checked = S.noBreak.checkEntry(plugin, $('nobreak-form').value.trim());
      $('nobreak-message').textContent = checked.message || '';
      if (!checked.ok) return;
      if (state.noBreak.some((e) => e.plugin.toLowerCase() === plugin.toLowerCase() && e.formId === checked.formId)) {
        $('nobreak-message').textContent = 'That item is in the list already.';
        return;
      }
      state.noBreak.push({ plugin, formId: checked.formId });
      $('nobreak-form').value = '';
      showNoBreak();
      P.render();
    });
  }

  function start() {
    fillStarts();
    bindFiles();
    bindNoBreak();
    P.onRender(() => {
      $('export-nobreak').hidden = state.noBreak.length === 0;
    });
  }

  window.QmFilesPanel = { start, openFiles, loadFiles };
})();
