// QmSettingsPanels: the panels of wear, breaking and dynamic temper on the
// studio page, with the figures (QmFigures) beside the rates and chances. A
// classic script: load page_state.js first.
(function () {
  'use strict';

  const P = window.QmPage;
  const { $, state } = P;
  const S = P.S;
  const SECTION_WORDS = { DegradationRate: 'wear', BreakChance: 'break chance' };

  // Reals in a text box, so that "inf", which the reader takes, shows as
  // itself; whole numbers signed, as the reader reads them.
  function inputFor(name) {
    const s = P.setting(name);
    const input = document.createElement('input');
    if (s.form === 'word') {
      input.type = 'checkbox';
    } else if (s.form === 'real') {
      input.type = 'text';
      input.inputMode = 'decimal';
      input.size = 8;
    } else {
      input.type = 'number';
      input.step = '1';
      if (s.maximum <= 2147483647) {
        input.min = '0';
        input.max = String(s.maximum);
      }
    }
    input.id = name.replace('.', '-');
    input.dataset.setting = name;
    input.addEventListener(s.form === 'word' ? 'change' : 'input', () => {
      const value = s.form === 'word' ? (input.checked ? 1 : 0) : S.readTyped(s, input.value);
      if (Number.isNaN(value)) return;
      P.setValues({ [name]: value });
    });
    if (s.form !== 'word') input.addEventListener('change', P.render);
    return input;
  }

  function settingRow(container, name) {
    const s = P.setting(name);
    const label = document.createElement('label');
    const input = inputFor(name);
    label.htmlFor = input.id;
    label.textContent = /Multiplier$/.test(s.key) ? `${s.key} (${SECTION_WORDS[s.section]})` : s.key;
    label.title = s.description;
    const cell = document.createElement('span');
    const explain = document.createElement('span');
    explain.className = 'explain';
    explain.textContent = s.description;
    const problem = document.createElement('span');
    problem.className = 'problem';
    problem.id = `${input.id}-problem`;
    cell.append(input, ' ', explain, problem);
    container.append(label, cell);
  }

  function isCategory(s) {
    return s.section === 'DegradationRate' && !/Multiplier$/.test(s.key);
  }

  function build() {
    for (const s of S.data.settings) {
      const name = `${s.section}.${s.key}`;
      if (s.section === 'Degradation' || (s.section !== 'Widget' && /Multiplier$/.test(s.key))) {
        settingRow($('wear-settings'), name);
      } else if (s.section === 'DynamicTemper') {
        settingRow($('temper-settings'), name);
      }
    }
    const body = $('wear-table').tBodies[0];
    for (const s of S.data.settings.filter(isCategory)) {
      const tr = body.insertRow();
      tr.dataset.category = s.key;
      const th = document.createElement('th');
      th.scope = 'row';
      th.textContent = s.key;
      th.title = s.description;
      tr.appendChild(th);
      for (const section of ['DegradationRate', 'BreakChance']) {
        const input = inputFor(`${section}.${s.key}`);
        input.setAttribute('aria-label', `${section} ${s.key}`);
        tr.insertCell().appendChild(input);
      }
      for (let i = 0; i < 4; i++) tr.insertCell().className = 'figure';
    }
  }

  // ---- figures -------------------------------------------------------------

  let figuresTimer = null;

  // The median, and below it p10 to p90.
  function showHits(cell, figure, cap) {
    if (!figure || figure.p50 === null) {
      cell.textContent = 'never';
      return;
    }
    const round = (n) => (n === null ? `over ${cap}` : String(Math.round(n)));
    const range = document.createElement('span');
    range.className = 'range';
    range.textContent = `${figure.p10 === null ? '?' : round(figure.p10)}–${round(figure.p90)}`;
    cell.replaceChildren(round(figure.p50), document.createElement('br'), range);
  }

  function showFigures() {
    clearTimeout(figuresTimer);
    figuresTimer = setTimeout(() => {
      const select = $('figures-actor');
      const onlyPlayer = state.values['Degradation.OnlyPlayer'] === 1;
      for (const option of select.options) option.disabled = onlyPlayer && option.value !== 'player';
      if (onlyPlayer) select.value = 'player';
      const actor = select.value;
      const notes = [];
      if (onlyPlayer) notes.push('OnlyPlayer is on: only the player\'s items wear. Turn it off to see followers and other characters.');
      if (state.values['Degradation.DisableDegradation'] === 1) notes.push('DisableDegradation is on: nothing wears or breaks.');
      $('figures-note').textContent = notes.join(' ');
      if (!window.QmFigures) {
        $('figures-note').textContent = 'The figures are missing from this copy of the studio.';
        return;
      }
      let result;
      try {
        result = window.QmFigures.compute(state.values, { seed: 1 });
      } catch (error) {
        $('figures-note').textContent = `No figures for these settings: ${error.message}`;
        return;
      }
      for (const tr of $('wear-table').tBodies[0].rows) {
        const cells = tr.cells;
        const find = (power) => result.rows.find((r) => r.category === tr.dataset.category && r.actor === actor
          && Boolean(r.power) === power);
        const normal = find(false);
        const power = find(true);
        const cap = result.cap || 100000;
        [[3, normal, 'worn'], [4, power, 'worn'], [5, normal, 'broken'], [6, power, 'broken']].forEach(([i, row, what]) => {
          if (row) showHits(cells[i], row[what], cap);
          else cells[i].textContent = '–';
        });
      }
    }, 120);
  }

  function render(v) {
    for (const input of document.querySelectorAll('[data-setting]')) {
      const name = input.dataset.setting;
      if (input.type === 'checkbox') input.checked = v[name] === 1;
      else if (document.activeElement !== input) input.value = S.shownValue(P.setting(name), v[name]);
      const problem = $(`${input.id}-problem`);
      const text = P.problemOf(name, v[name]);
      if (problem) problem.textContent = text ? ` ${text}` : '';
    }
    showFigures();
  }

  function start() {
    build();
    $('figures-actor').addEventListener('change', showFigures);
    P.onRender(render);
  }

  window.QmSettingsPanels = { start };
})();
