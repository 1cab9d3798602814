// QmExportPanel: the studio page's export. Quellmark.ini is written into the
// player's own file and in its encoding (the shipped file's for a new one),
// and the lines it writes otherwise than the player wrote them are listed
// before the download; NoBreakForms.ini likewise keeps its encoding. A
// classic script: load page_state.js first.
(function () {
  'use strict';

  const P = window.QmPage;
  const { $, state } = P;
  const S = P.S;
  const B = S.bytes;
  const MOST_SHOWN = 200;

  function download(name, bytes) {
    const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    const a = document.createElement('a');
    a.href = url;
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
  }

  function say(text) {
    $('export-status').textContent = text;
  }

  // The bytes of the text in the encoding, or a sentence why not.
  function encoded(name, text, encoding) {
    const out = B.encode(text, encoding);
    if (out.unwritable.length) {
      return { refused: `${name} not exported: ${B.encodingName(encoding)} has no character for `
        + `${out.unwritable.map((c) => `“${c}”`).join(', ')}. Change those names, or save your file as UTF-16 first.` };
    }
    return { bytes: out.bytes };
  }

  // The lines the export writes otherwise than the player's file has them.
  function showChanges(plan) {
    const own = plan.changes.filter((c) => c.line > 0);
    const added = plan.changes.length - own.length;
    const texts = own.slice(0, MOST_SHOWN).map((c) => `line ${c.line}: ${c.was.trim()}  →  ${c.becomes.replace(/\r\n|\r|\n/g, ' ⏎ ')}`);
    if (own.length > MOST_SHOWN) texts.push(`… and ${own.length - MOST_SHOWN} more lines`);
    if (added) texts.push(`${added} setting(s) your file lacks added, each with its shipped comment`);
    $('export-changes-box').hidden = texts.length === 0 || state.base === null;
    const list = $('export-changes');
    const items = document.createDocumentFragment();
    for (const text of texts) {
      const li = document.createElement('li');
      li.textContent = text;
      items.appendChild(li);
    }
    list.replaceChildren(items);
  }

  // A file of hundreds of thousands of lines takes seconds to plan: its list
  // is made when it is opened and at the export, not at every change.
  const LARGE = 4000000;
  let planTimer = null;
  let plannedBase = null;
  function planLater() {
    clearTimeout(planTimer);
    if (state.base !== null && state.base.length > LARGE && plannedBase === state.base) return;
    plannedBase = state.base;
    planTimer = setTimeout(() => {
      try {
        showChanges(S.planIni(state.values, state.base));
      } catch (error) {
        $('export-changes-box').hidden = true;
      }
    }, 250);
  }

  function exportIni() {
    let plan;
    try {
      plan = S.planIni(state.values, state.base);
    } catch (error) {
      say(`Not exported: the plug-in would not take ${error.message}`);
      return;
    }
    showChanges(plan);
    const out = encoded('Quellmark.ini', plan.text, state.baseEncoding);
    if (out.refused) {
      say(out.refused);
      return;
    }
    download('Quellmark.ini', out.bytes);
    say(`Quellmark.ini downloaded (${B.encodingName(state.baseEncoding)}).`);
  }

  function exportNoBreak() {
    let text;
    try {
      text = S.noBreak.exportText(state.noBreak, state.noBreakBase);
    } catch (error) {
      say(`NoBreakForms.ini not exported: it cannot hold ${error.message}`);
      return;
    }
    const out = encoded('NoBreakForms.ini', text, state.noBreakEncoding);
    if (out.refused) {
      say(out.refused);
      return;
    }
    download('NoBreakForms.ini', out.bytes);
    say(`NoBreakForms.ini downloaded (${B.encodingName(state.noBreakEncoding)}).`);
  }

  function start() {
    $('export-ini').addEventListener('click', exportIni);
    $('export-nobreak').addEventListener('click', exportNoBreak);
    P.onRender(planLater);
  }

  window.QmExportPanel = { start };
})();
