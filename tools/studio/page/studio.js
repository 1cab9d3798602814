// Quellmark Studio's page: the panels, wired to the settings (QmSettings),
// the figures (QmFigures) and the widget's movie (QmStage). Every value the
// player sees is a value of the settings object that the export writes.
(function () {
  'use strict';

  const S = window.QmSettings;
  const $ = (id) => document.getElementById(id);
  const W = (key) => `Widget.${key}`;

  const FLAGS = [
    [1, 'No icons: the rows show names and numbers only'],
    [2, 'No durability numbers'],
    [4, 'Compact: empty slots take no room, the rows below move up'],
    [8, 'Backdrop: a translucent dark panel behind the rows'],
    [16, 'PositionX is the widget\'s right edge (anchored right)'],
    [32, 'PositionY is the widget\'s bottom edge (anchored at the bottom)'],
  ];
  const SECTION_WORDS = { DegradationRate: 'wear', BreakChance: 'break chance' };
  const ANCHOR_RIGHT = 16;
  const ANCHOR_BOTTOM = 32;

  // The seven slots the plug-in fills, with a worn-out shield and a poisoned sword.
  const SAMPLE = [
    { icon: 'armor_head', name: 'Steel Helmet', durability: 240 },
    { icon: 'armor_body', name: 'Steel Plate Armor', durability: 180 },
    { icon: 'lightarmor_hands', name: 'Leather Bracers', durability: 75 },
    { icon: 'lightarmor_feet', name: 'Leather Boots', durability: 130 },
    { icon: 'armor_shield', name: 'Steel Shield', durability: 0, wornOut: true },
    { icon: 'weapon_sword', name: 'Steel Sword', poison: ' Deadly Poison (3)', durability: 310 },
    { icon: 'default_shout', name: 'Unrelenting Force', durability: -1 },
  ];

  const state = {
    values: S.defaults(),
    base: null,            // the text the export keeps the player's other lines from
    noBreak: [],
    noBreakBase: null,     // the player's NoBreakForms.ini, whose comments the export keeps
    screen: { width: 1920, height: 1080 },
    stage: null,
    drag: null,
  };

  // ---- settings data -------------------------------------------------------

  const settingsByName = new Map(S.data.settings.map((s) => [`${s.section}.${s.key}`, s]));

  function setting(name) {
    return settingsByName.get(name);
  }

  function hex(value) {
    return `0x${(value >>> 0).toString(16).toUpperCase().padStart(6, '0')}`;
  }

  function problemOf(name, value) {
    const s = setting(name);
    return S.describeValue(s.section, s.key, value);
  }

  // ---- the widget's movie --------------------------------------------------

  function rowColumns() {
    const v = state.values;
    const blank = v[W('DisableWidget')] === 1 || !$('sample-shown').checked
      || (v[W('HideWithWeaponsSheathed')] === 1 && !$('sample-drawn').checked);
    const columns = { icons: [], names: [], durabilities: [], colours: [] };
    for (const row of SAMPLE) {
      columns.icons.push(blank ? 'none' : row.icon);
      columns.names.push(blank ? '' : row.name + (row.poison && v[W('HidePoisonName')] === 0 ? row.poison : ''));
      columns.durabilities.push(blank ? -1 : row.durability);
      columns.colours.push(!blank && row.wornOut ? v[W('BreakableColor')] : v[W('UnbreakableColor')]);
    }
    return columns;
  }

  function drawWidget() {
    if (!state.stage) return;
    state.stage.setup(state.values);
    state.stage.update(rowColumns());
    describePlacement();
  }

  function describePlacement() {
    if (!state.stage) return;
    const v = state.values;
    const flags = v[W('Flags')];
    const corner = `${flags & ANCHOR_BOTTOM ? 'bottom' : 'top'}-${flags & ANCHOR_RIGHT ? 'right' : 'left'}`;
    const readout = state.stage.readout();
    const box = readout.widget && readout.widget.box;
    const where = box && box.width > 0
      ? ` Its box: ${Math.round(box.x)}, ${Math.round(box.y)}, ${Math.round(box.width)} × ${Math.round(box.height)} pixels.` : '';
    $('placement').textContent = `On ${state.screen.width} × ${state.screen.height}: the ${corner} corner at ` +
      `${v[W('PositionX')]} % of the width and ${v[W('PositionY')]} % of the height.${where}`;
  }

  // ---- screens -------------------------------------------------------------

  function thisScreen() {
    const ratio = window.devicePixelRatio || 1;
    return { width: Math.round(window.screen.width * ratio), height: Math.round(window.screen.height * ratio) };
  }

  function fillScreens() {
    const select = $('screen-choice');
    const here = thisScreen();
    const options = window.QmScreens.map((s) => [`${s.width}x${s.height}`, `${s.width} × ${s.height}`]);
    options.push([`${here.width}x${here.height}`, `This screen: ${here.width} × ${here.height}`]);
    options.push(['custom', 'Any width and height…']);
    for (const [value, text] of options) select.add(new Option(text, value));
    select.value = '1920x1080';
  }

  async function chooseScreen(screen) {
    if (!(screen.width >= 320 && screen.height >= 240 && screen.width <= 15360 && screen.height <= 8640)) {
      $('placement').textContent = 'A screen from 320 × 240 up to 15360 × 8640, please.';
      return;
    }
    state.screen = { width: Math.round(screen.width), height: Math.round(screen.height) };
    if (!state.stage) return;
    await state.stage.resize(state.screen);
    render();
    state.stage.showActualSize($('actual-size').checked);
  }

  function onScreenChoice() {
    const value = $('screen-choice').value;
    $('custom-screen').hidden = value !== 'custom';
    if (value === 'custom') return;
    const [width, height] = value.split('x').map(Number);
    chooseScreen({ width, height });
  }

  // ---- placing the widget by dragging or with the arrow keys ---------------

  function pointerOnScreen(event) {
    const rect = $('stage-overlay').getBoundingClientRect();
    return { x: (event.clientX - rect.left) / state.stage.zoom, y: (event.clientY - rect.top) / state.stage.zoom };
  }

  function clamp(value, low, high) {
    return Math.min(high, Math.max(low, value));
  }

  // Puts the widget's box with its top-left corner at (x, y) on the screen:
  // the anchor follows the corner of the screen the box is nearest to, and
  // the position is that corner's edge in whole percent, as the file holds it.
  function placeBox(x, y, box) {
    const { width, height } = state.screen;
    x = clamp(x, 0, Math.max(0, width - box.width));
    y = clamp(y, 0, Math.max(0, height - box.height));
    const right = x + box.width / 2 > width / 2;
    const bottom = y + box.height / 2 > height / 2;
    const edgeX = right ? x + box.width : x;
    const edgeY = bottom ? y + box.height : y;
    const flags = (state.values[W('Flags')] & ~(ANCHOR_RIGHT | ANCHOR_BOTTOM))
      | (right ? ANCHOR_RIGHT : 0) | (bottom ? ANCHOR_BOTTOM : 0);
    setValues({
      [W('PositionX')]: clamp(Math.round((edgeX / width) * 100), 0, 100),
      [W('PositionY')]: clamp(Math.round((edgeY / height) * 100), 0, 100),
      [W('Flags')]: flags,
    });
  }

  function startDrag(event) {
    if (!state.stage || event.button !== 0) return;
    const box = state.stage.readout().widget.box;
    const at = pointerOnScreen(event);
    const slack = 8 / state.stage.zoom;
    if (at.x < box.x - slack || at.x > box.x + box.width + slack || at.y < box.y - slack
        || at.y > box.y + box.height + slack) return;
    state.drag = { dx: at.x - box.x, dy: at.y - box.y, box };
    $('stage-overlay').setPointerCapture(event.pointerId);
    $('stage-overlay').classList.add('dragging');
    event.preventDefault();
  }

  function moveDrag(event) {
    if (!state.drag) return;
    const at = pointerOnScreen(event);
    placeBox(at.x - state.drag.dx, at.y - state.drag.dy, state.drag.box);
  }

  function endDrag(event) {
    if (!state.drag) return;
    state.drag = null;
    $('stage-overlay').classList.remove('dragging');
    if (event.pointerId !== undefined) $('stage-overlay').releasePointerCapture(event.pointerId);
  }

  function keyMove(event) {
    const steps = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] }[event.key];
    if (!steps) return;
    event.preventDefault();
    const step = event.shiftKey ? 5 : 1;
    setValues({
      [W('PositionX')]: clamp(state.values[W('PositionX')] + steps[0] * step, 0, 100),
      [W('PositionY')]: clamp(state.values[W('PositionY')] + steps[1] * step, 0, 100),
    });
  }

  // ---- the toggle key ------------------------------------------------------

  function fillKeys() {
    const select = $('ToggleKeyCode-list');
    select.add(new Option('No key (0)', '0'));
    for (const group of window.QmKeys.groups) {
      const optgroup = document.createElement('optgroup');
      optgroup.label = group.title;
      for (const key of group.keys) optgroup.appendChild(new Option(`${key.name} (${key.code})`, String(key.code)));
      select.appendChild(optgroup);
    }
  }

  let capturing = false;

  function stopCapture(text) {
    capturing = false;
    $('key-press').textContent = 'Press a key or mouse button…';
    $('key-press').setAttribute('aria-pressed', 'false');
    if (text) $('key-explain').textContent = text;
  }

  function startCapture() {
    capturing = true;
    $('key-press').textContent = 'Press it now (Esc cancels)';
    $('key-press').setAttribute('aria-pressed', 'true');
    $('key-explain').textContent = 'Waiting for a key, or for the right, middle or a side mouse button on this button.';
  }

  function captureKey(event) {
    if (!capturing) return;
    event.preventDefault();
    event.stopPropagation();
    if (event.code === 'Escape') {
      stopCapture();
      showKey();
      return;
    }
    const key = window.QmKeys.fromEvent(event);
    if (!key) {
      stopCapture(`The game has no code for ${event.code || event.key}; choose another key or one from the list.`);
      return;
    }
    stopCapture();
    setValues({ [W('ToggleKeyCode')]: key.code });
  }

  function captureMouse(event) {
    if (!capturing || event.button === 0) return;
    const key = window.QmKeys.fromMouseButton(event.button);
    if (!key) return;
    event.preventDefault();
    stopCapture();
    setValues({ [W('ToggleKeyCode')]: key.code });
  }

  function showKey() {
    const code = state.values[W('ToggleKeyCode')];
    const select = $('ToggleKeyCode-list');
    if (![...select.options].some((o) => o.value === String(code))) select.add(new Option(`code ${code}`, String(code)));
    select.value = String(code);
    $('key-explain').textContent = `Toggle key: ${window.QmKeys.describe(code)}. The file gets ToggleKeyCode=${code}.`;
  }

  // ---- generic settings (wear, breaking, temper) ---------------------------

  function inputFor(name) {
    const s = setting(name);
    let input;
    if (s.form === 'word') {
      input = document.createElement('input');
      input.type = 'checkbox';
    } else {
      input = document.createElement('input');
      input.type = 'number';
      input.min = '0';
      input.step = s.form === 'real' ? '0.1' : '1';
      if (s.maximum !== null && s.maximum !== undefined) input.max = String(s.maximum);
    }
    input.id = name.replace('.', '-');
    input.dataset.setting = name;
    input.addEventListener(s.form === 'word' ? 'change' : 'input', () => {
      const value = s.form === 'word' ? (input.checked ? 1 : 0) : Number(input.value);
      if (input.value === '' || !Number.isFinite(value)) return;
      setValues({ [name]: value });
    });
    return input;
  }

  function settingRow(container, name) {
    const s = setting(name);
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

  function buildSettingPanels() {
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

  // ---- values to controls --------------------------------------------------

  function setValues(changes) {
    Object.assign(state.values, changes);
    render();
  }

  function render() {
    const v = state.values;
    for (const key of ['PositionX', 'PositionY', 'Scale']) {
      if (document.activeElement !== $(key)) $(key).value = String(v[W(key)]);
    }
    $('Scale-range').value = String(clamp(v[W('Scale')], 10, 400));
    const rows = (v[W('Scale')] * 30 / 100) * (state.screen.height / 1080);
    $('scale-explain').textContent = `Rows ${rows.toFixed(1)} pixels high on this screen (the widget is drawn at ` +
      `between 10 % and 1000 %). 100 gives rows a thirty-sixth of the screen's height.`;
    $('flags-value').textContent = `= ${v[W('Flags')]}`;
    for (const box of document.querySelectorAll('#flag-boxes input')) box.checked = (v[W('Flags')] & Number(box.value)) !== 0;
    for (const key of ['UnbreakableColor', 'BreakableColor']) {
      if (document.activeElement !== $(key)) $(key).value = hex(v[W(key)]);
      $(`${key}-picker`).value = `#${(v[W(key)] & 0xFFFFFF).toString(16).padStart(6, '0')}`;
    }
    for (const key of ['HidePoisonName', 'HideWithWeaponsSheathed', 'DisableWidget']) $(key).checked = v[W(key)] === 1;
    showKey();
    for (const input of document.querySelectorAll('[data-setting]')) {
      const name = input.dataset.setting;
      if (input.type === 'checkbox') input.checked = v[name] === 1;
      else if (document.activeElement !== input) input.value = String(v[name]);
      const problem = $(`${input.id}-problem`);
      if (problem) problem.textContent = problemOf(name, v[name]) ? ` ${problemOf(name, v[name])}` : '';
    }
    const widgetProblems = ['PositionX', 'PositionY', 'Scale', 'UnbreakableColor', 'BreakableColor', 'ToggleKeyCode', 'Flags']
      .map((key) => problemOf(W(key), v[W(key)])).filter(Boolean);
    listProblems($('widget-problems'), widgetProblems);
    $('export-nobreak').hidden = state.noBreak.length === 0;
    $('shield-note').textContent = v['BreakChance.HeavyArmor'] === 0
      ? ' With HeavyArmor\'s break chance at 0, as now, the game keeps this shield in the unbreakable colour.' : '';
    drawWidget();
    showFigures();
  }

  function listProblems(list, texts) {
    list.replaceChildren(...texts.map((text) => {
      const li = document.createElement('li');
      li.textContent = text;
      return li;
    }));
  }

  function bindWidgetControls() {
    for (const key of ['PositionX', 'PositionY', 'Scale']) {
      $(key).addEventListener('input', () => {
        const value = Number($(key).value);
        if ($(key).value !== '' && Number.isInteger(value) && value >= 0) setValues({ [W(key)]: value });
      });
      $(key).addEventListener('change', render);
    }
    $('Scale-range').addEventListener('input', () => setValues({ [W('Scale')]: Number($('Scale-range').value) }));
    const boxes = $('flag-boxes');
    for (const [bit, text] of FLAGS) {
      const label = document.createElement('label');
      label.className = 'check';
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.value = String(bit);
      box.id = `flag-${bit}`;
      box.addEventListener('change', () => {
        const flags = state.values[W('Flags')];
        const changes = { [W('Flags')]: box.checked ? flags | bit : flags & ~bit };
        // A new anchor keeps the widget where it is: the position becomes the other edge's.
        if ((bit === ANCHOR_RIGHT || bit === ANCHOR_BOTTOM) && state.stage) {
          const box2 = state.stage.readout().widget.box;
          if (bit === ANCHOR_RIGHT) {
            const edge = box.checked ? box2.x + box2.width : box2.x;
            changes[W('PositionX')] = clamp(Math.round((edge / state.screen.width) * 100), 0, 100);
          } else {
            const edge = box.checked ? box2.y + box2.height : box2.y;
            changes[W('PositionY')] = clamp(Math.round((edge / state.screen.height) * 100), 0, 100);
          }
        }
        setValues(changes);
      });
      label.append(box, ` ${bit}: ${text}`);
      boxes.appendChild(label);
    }
    for (const key of ['UnbreakableColor', 'BreakableColor']) {
      $(`${key}-picker`).addEventListener('input', () => setValues({ [W(key)]: parseInt($(`${key}-picker`).value.slice(1), 16) }));
      $(key).addEventListener('change', () => {
        const match = /^\s*(?:0x|#)?([0-9a-f]{1,6})\s*$/i.exec($(key).value);
        if (match) setValues({ [W(key)]: parseInt(match[1], 16) });
        else render();
      });
    }
    for (const key of ['HidePoisonName', 'HideWithWeaponsSheathed', 'DisableWidget']) {
      $(key).addEventListener('change', () => setValues({ [W(key)]: $(key).checked ? 1 : 0 }));
    }
    $('ToggleKeyCode-list').addEventListener('change', () => setValues({ [W('ToggleKeyCode')]: Number($('ToggleKeyCode-list').value) }));
    $('key-press').addEventListener('click', () => (capturing ? stopCapture() : startCapture()));
    $('key-press').addEventListener('mousedown', captureMouse);
    $('key-press').addEventListener('contextmenu', (event) => capturing && event.preventDefault());
    document.addEventListener('keydown', captureKey, true);
    $('sample-drawn').addEventListener('change', drawWidget);
    $('sample-shown').addEventListener('change', drawWidget);
    // The toggle key itself, pressed over the preview, shows and hides the rows as in the game.
    $('stage-overlay').addEventListener('keydown', (event) => {
      const key = window.QmKeys.fromEvent(event);
      if (key && key.code !== 0 && key.code === state.values[W('ToggleKeyCode')]) {
        $('sample-shown').checked = !$('sample-shown').checked;
        drawWidget();
        return;
      }
      keyMove(event);
    });
    $('stage-overlay').addEventListener('pointerdown', startDrag);
    $('stage-overlay').addEventListener('pointermove', moveDrag);
    $('stage-overlay').addEventListener('pointerup', endDrag);
    $('stage-overlay').addEventListener('pointercancel', endDrag);
    $('screen-choice').addEventListener('change', onScreenChoice);
    $('screen-apply').addEventListener('click', () => chooseScreen({
      width: Number($('screen-width').value), height: Number($('screen-height').value) }));
    $('figures-actor').addEventListener('change', showFigures);
    $('actual-size').addEventListener('change', () => state.stage && state.stage.showActualSize($('actual-size').checked));
    window.addEventListener('resize', () => state.stage && state.stage.fit());
  }

  // ---- start from: defaults, presets, the player's files -------------------

  function fillStarts() {
    const select = $('start-choice');
    S.data.presets.forEach((preset, i) => select.add(new Option(preset.title, String(i))));
    $('start-apply').addEventListener('click', () => startFrom(S.data.presets[Number(select.value)]));
  }

  function plugins() {
    return $('plugins').value.split(/[,;\n]/).map((name) => name.trim()).filter(Boolean);
  }

  async function loadFiles(iniText, noBreakText, what) {
    const result = await S.check(iniText, noBreakText, plugins());
    state.values = result.values;
    state.base = iniText;
    if (noBreakText !== null) {
      state.noBreak = result.noBreak.map((e) => ({ plugin: e.plugin, formId: e.formId, loaded: e.loaded !== false }));
      state.noBreakBase = noBreakText;
    }
    $('open-status').textContent = result.problems.length === 0
      ? `${what}: the plug-in takes every line as written.`
      : `${what}: ${result.problems.length} line(s) the plug-in does not take as written. The values below are what it would use.`;
    listProblems($('open-problems'), result.problems.map((p) =>
      `${p.file ? `${p.file}, ` : ''}${p.line ? `line ${p.line}: ` : ''}${p.section ? `[${p.section}] ` : ''}${p.key ? `${p.key}: ` : ''}${p.text}`));
    $('open-report').textContent = result.report;
    $('open-report-box').hidden = false;
    showNoBreak();
    render();
  }

  function startFrom(preset) {
    loadFiles(preset.ini, null, preset.title).catch((error) => { $('open-status').textContent = String(error.message || error); });
  }

  async function openFiles(files) {
    let ini = null;
    let noBreak = null;
    for (const file of files) {
      const text = await file.text();
      if (/nobreak/i.test(file.name)) noBreak = text;
      else ini = text;
    }
    if (ini === null && noBreak === null) return;
    const names = [...files].map((f) => f.name).join(' and ');
    await loadFiles(ini === null ? (state.base || S.exportIni(state.values, null)) : ini, noBreak, names);
  }

  function bindFiles() {
    $('open-files').addEventListener('change', () => openFiles($('open-files').files)
      .catch((error) => { $('open-status').textContent = String(error.message || error); }));
    document.addEventListener('dragover', (event) => {
      event.preventDefault();
      document.body.classList.add('dropping');
    });
    document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
    document.addEventListener('drop', (event) => {
      event.preventDefault();
      document.body.classList.remove('dropping');
      openFiles(event.dataTransfer.files).catch((error) => { $('open-status').textContent = String(error.message || error); });
    });
  }

  // ---- no-break list -------------------------------------------------------

  function showNoBreak() {
    $('nobreak-list').replaceChildren(...state.noBreak.map((entry, i) => {
      const li = document.createElement('li');
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = 'Remove';
      const text = `${entry.plugin} ${hex(entry.formId)}`;
      button.setAttribute('aria-label', `Remove ${text}`);
      button.addEventListener('click', () => {
        state.noBreak.splice(i, 1);
        showNoBreak();
        render();
      });
      const missing = entry.loaded === false ? ' (not in your plug-in list: the game skips it)' : '';
      li.append(`${entry.plugin}, form 0x${(entry.formId >>> 0).toString(16).toUpperCase().padStart(6, '0')}${missing} `, button);
      return li;
    }));
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
      render();
    });
  }

  // ---- export --------------------------------------------------------------

  function download(name, text) {
    const url = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
    const a = document.createElement('a');
    a.href = url;
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
  }

  function bindExport() {
    $('export-ini').addEventListener('click', () => {
      try {
        download('Quellmark.ini', S.exportIni(state.values, state.base));
        $('export-status').textContent = 'Quellmark.ini downloaded.';
      } catch (error) {
        $('export-status').textContent = `Not exported: the plug-in would not take ${error.message}`;
      }
    });
    $('export-nobreak').addEventListener('click', () => {
      download('NoBreakForms.ini', S.noBreak.exportText(state.noBreak, state.noBreakBase));
      $('export-status').textContent = 'NoBreakForms.ini downloaded.';
    });
  }

  // ---- start ---------------------------------------------------------------

  async function main() {
    $('version').textContent = S.data.version;
    fillScreens();
    fillKeys();
    fillStarts();
    buildSettingPanels();
    bindWidgetControls();
    bindFiles();
    bindNoBreak();
    bindExport();
    render();
    if (typeof window.DecompressionStream !== 'function' || typeof window.WebAssembly !== 'object') {
      $('stage-status').textContent = 'This browser cannot play the widget: the studio needs a current Chrome, Edge or ' +
        'Firefox. Everything else on the page works.';
      window.QmStudioError = 'no DecompressionStream or WebAssembly';
      return;
    }
    const stage = new window.QmStage.WidgetStage({ frame: $('stage-frame'), holder: $('stage-holder'), overlay: $('stage-overlay') });
    try {
      await stage.open(state.screen);
    } catch (error) {
      $('stage-status').textContent = `The widget could not be shown: ${error.message}. ` +
        'The studio needs a current Chrome, Edge or Firefox.';
      window.QmStudioError = String(error.message);
      return;
    }
    state.stage = stage;
    $('stage-status').hidden = true;
    drawWidget();
    window.QmStudioReadyAt = performance.now();
  }

  // For the tests: the page's state and its stage.
  window.QmStudio = { state, readout: () => state.stage.readout(), chooseScreen };
  main();
})();
