// QmPage: what the studio page's panels share: the settings (QmSettings),
// the state every control shows and the export writes, and small helpers.
// Every value the player sees is a value of state.values. A classic script,
// loaded before the panels (widget_panel.js, settings_panels.js,
// files_panel.js, export_panel.js) and studio.js, which starts them.
(function () {
  'use strict';

  const S = window.QmSettings;
  const $ = (id) => document.getElementById(id);
  const settingsByName = new Map(S.data.settings.map((s) => [`${s.section}.${s.key}`, s]));

  const state = {
    values: S.defaults(),
    start: null,           // what the values started from: a preset's title, or 'your own file'
    base: null,            // the text of the file the export writes into (the player's own, or a preset's)
    baseEncoding: 'cp1252', // the encoding the export writes it in: the player's file's, or the shipped file's
    noBreak: [],
    noBreakBase: null,     // the player's NoBreakForms.ini as text, whose comments the export keeps
    noBreakEncoding: 'cp1252',
    screen: { width: 1920, height: 1080 },
    stage: null,
    drag: null,
  };

  const renderers = [];

  const QmPage = {
    S,
    $,
    W: (key) => `Widget.${key}`,
    state,
    setting: (name) => settingsByName.get(name),
    hex: (value) => `0x${(value >>> 0).toString(16).toUpperCase().padStart(6, '0')}`,
    clamp: (value, low, high) => Math.min(high, Math.max(low, value)),
    problemOf(name, value) {
      const s = settingsByName.get(name);
      return S.describeValue(s.section, s.key, value);
    },
    // Items of a list, one by one: a file may bring a million problems, and
    // spreading them into one call would overflow the stack.
    listProblems(list, texts, most = 200) {
      const items = document.createDocumentFragment();
      for (let i = 0; i < texts.length && i < most; i++) {
        const li = document.createElement('li');
        li.textContent = texts[i];
        items.appendChild(li);
      }
      if (texts.length > most) {
        const li = document.createElement('li');
        li.textContent = `… and ${texts.length - most} more (the report below lists them all).`;
        items.appendChild(li);
      }
      list.replaceChildren(items);
    },
    // Panels register what they show of the state; render shows it all.
    onRender(fn) {
      renderers.push(fn);
    },
    render() {
      for (const fn of renderers) fn(state.values);
    },
    setValues(changes) {
      Object.assign(state.values, changes);
      QmPage.render();
    },
  };

  window.QmPage = QmPage;
})();
