// QmWidgetPanel: the widget's panel of the studio page: the preview in the
// movie (QmStage), the screens, dragging and the arrow keys, the scale,
// flags, colours, switches and the toggle key. A classic script: load
// page_state.js first.
(function () {
  'use strict';

  const P = window.QmPage;
  const { $, W, state, clamp, hex } = P;
  const S = P.S;

  const FLAGS = [
    [1, 'No icons: the rows show names and numbers only'],
    [2, 'No durability numbers'],
    [4, 'Compact: empty slots take no room, the rows below move up'],
    [8, 'Backdrop: a translucent dark panel behind the rows'],
    [16, 'PositionX is the widget\'s right edge (anchored right)'],
    [32, 'PositionY is the widget\'s bottom edge (anchored at the bottom)'],
  ];
  const ANCHOR_RIGHT = 16;
  const ANCHOR_BOTTOM = 32;

  // The seven slots the plug-in fills, with a worn-out shield and a poisoned sword.
  const SAMPLE = [
    { icon: 'armor_head', name: 'Steel Helmet', durability: 240 },
    { icon: 'armor_body', name: 'Steel Plate Armor', durability: 180 },
    { icon: 'lightarmor_hands', name: 'Leather Bracers', durability: 75 },
    { icon: 'lightarmor_feet', name: 'Leather Boots', durability: 130 },
    { icon: 'armor_shield', name: 'Steel Shield', durability: 0, wornOut: true, kind: 'HeavyArmor' },
    { icon: 'weapon_sword', name: 'Steel Sword', poison: ' Deadly Poison (3)', durability: 310 },
    { icon: 'default_shout', name: 'Unrelenting Force', durability: -1 },
  ];

  // A worn-out item is drawn in the breakable colour only where its kind
  // may break; otherwise the game keeps it in the unbreakable colour.
  function mayBreak(row, v) {
    return Boolean(row.wornOut) && v[`BreakChance.${row.kind}`] > 0;
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
      columns.colours.push(!blank && mayBreak(row, v) ? v[W('BreakableColor')] : v[W('UnbreakableColor')]);
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
    P.render();
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
    const flags = ((state.values[W('Flags')] & ~(ANCHOR_RIGHT | ANCHOR_BOTTOM))
      | (right ? ANCHOR_RIGHT : 0) | (bottom ? ANCHOR_BOTTOM : 0)) >>> 0;
    P.setValues({
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
    P.setValues({
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
    P.setValues({ [W('ToggleKeyCode')]: key.code });
  }

  function captureMouse(event) {
    if (!capturing || event.button === 0) return;
    const key = window.QmKeys.fromMouseButton(event.button);
    if (!key) return;
    event.preventDefault();
    stopCapture();
    P.setValues({ [W('ToggleKeyCode')]: key.code });
  }

  function showKey() {
    const code = state.values[W('ToggleKeyCode')];
    const shown = S.shownValue(P.setting(W('ToggleKeyCode')), code);
    const select = $('ToggleKeyCode-list');
    if (![...select.options].some((o) => o.value === String(code))) select.add(new Option(`code ${shown}`, String(code)));
    select.value = String(code);
    $('key-explain').textContent = `Toggle key: ${window.QmKeys.describe(code)}. The file gets ToggleKeyCode=${shown}.`;
  }

  // ---- values to controls --------------------------------------------------

  function render(v) {
    for (const key of ['PositionX', 'PositionY', 'Scale']) {
      if (document.activeElement !== $(key)) $(key).value = S.shownValue(P.setting(W(key)), v[W(key)]);
    }
    const scale = S.signedWhole(v[W('Scale')]);
    $('Scale-range').value = String(clamp(scale, 10, 400));
    // The movie draws the widget at 10 % to 1000 %, whatever the file says.
    const rows = (clamp(scale, 10, 1000) * 30 / 100) * (state.screen.height / 1080);
    $('scale-explain').textContent = `Rows ${rows.toFixed(1)} pixels high on this screen (the widget is drawn at ` +
      `between 10 % and 1000 %${scale < 10 || scale > 1000 ? `, so ${scale} draws it at ${clamp(scale, 10, 1000)} %` : ''}). ` +
      '100 gives rows a thirty-sixth of the screen\'s height.';
    $('flags-value').textContent = `= ${S.shownValue(P.setting(W('Flags')), v[W('Flags')])}`;
    for (const box of document.querySelectorAll('#flag-boxes input')) box.checked = (v[W('Flags')] & Number(box.value)) !== 0;
    for (const key of ['UnbreakableColor', 'BreakableColor']) {
      if (document.activeElement !== $(key)) $(key).value = hex(v[W(key)]);
      $(`${key}-picker`).value = `#${(v[W(key)] & 0xFFFFFF).toString(16).padStart(6, '0')}`;
    }
    for (const key of ['HidePoisonName', 'HideWithWeaponsSheathed', 'DisableWidget']) $(key).checked = v[W(key)] === 1;
    showKey();
    const widgetProblems = ['PositionX', 'PositionY', 'Scale', 'UnbreakableColor', 'BreakableColor', 'ToggleKeyCode', 'Flags']
      .map((key) => P.problemOf(W(key), v[W(key)])).filter(Boolean);
    P.listProblems($('widget-problems'), widgetProblems);
    const shield = SAMPLE.find((row) => row.wornOut);
    $('shield-note').textContent = mayBreak(shield, v)
      ? ` At these settings HeavyArmor's break chance is ${v['BreakChance.HeavyArmor']}: the shield is drawn in the breakable colour.`
      : ' With HeavyArmor\'s break chance at 0, as now, the game keeps this shield in the unbreakable colour, and so does the preview.';
    drawWidget();
  }

  function bind() {
    for (const key of ['PositionX', 'PositionY', 'Scale']) {
      $(key).addEventListener('input', () => {
        const value = S.readTyped(P.setting(W(key)), $(key).value);
        if (Number.isFinite(value)) P.setValues({ [W(key)]: value });
      });
      $(key).addEventListener('change', P.render);
    }
    $('Scale-range').addEventListener('input', () => P.setValues({ [W('Scale')]: Number($('Scale-range').value) }));
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
        const changes = { [W('Flags')]: (box.checked ? flags | bit : flags & ~bit) >>> 0 };
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
        P.setValues(changes);
      });
      label.append(box, ` ${bit}: ${text}`);
      boxes.appendChild(label);
    }
    for (const key of ['UnbreakableColor', 'BreakableColor']) {
      $(`${key}-picker`).addEventListener('input', () => P.setValues({ [W(key)]: parseInt($(`${key}-picker`).value.slice(1), 16) }));
      $(key).addEventListener('change', () => {
        const match = /^\s*(?:0x|#)?([0-9a-f]{1,6})\s*$/i.exec($(key).value);
        if (match) P.setValues({ [W(key)]: parseInt(match[1], 16) });
        else P.render();
      });
    }
    for (const key of ['HidePoisonName', 'HideWithWeaponsSheathed', 'DisableWidget']) {
      $(key).addEventListener('change', () => P.setValues({ [W(key)]: $(key).checked ? 1 : 0 }));
    }
    $('ToggleKeyCode-list').addEventListener('change', () => P.setValues({ [W('ToggleKeyCode')]: Number($('ToggleKeyCode-list').value) }));
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
    $('actual-size').addEventListener('change', () => state.stage && state.stage.showActualSize($('actual-size').checked));
    window.addEventListener('resize', () => state.stage && state.stage.fit());
  }

  function start() {
    fillScreens();
    fillKeys();
    bind();
    P.onRender(render);
  }

  window.QmWidgetPanel = { start, drawWidget, chooseScreen, rowColumns };
})();
