'use strict';
// The movie's two functions called with what the plug-in sends and with
// everything it must survive; the test build's Readout tells what is shown.
const assert = require('node:assert/strict');
const { test } = require('node:test');
const { freshMovie } = require('./movie_env');
const ICON_NAMES = require('./icon_names');
const { ROWS, expectedRows, rowProblems, widgetOrigin } = require('../../tools/movie_player/rows');
const { placementProblems } = require('../../tools/movie_player/screens');

const WHITE = 0xffffff;
const GOLD = 0xffd700;
const SENT = [
  ['armor_head', 'armor_body', 'lightarmor_hands', 'clothing_feet', 'armor_shield', 'weapon_sword', 'none'],
  ['Iron Helmet', 'Steel Armor', 'Hide Bracers', 'Boots', 'Steel Shield', 'Steel Sword', ''],
  [200, 450, 0, 1000, 300, -1, -1],
  [WHITE, WHITE, GOLD, 0x00ff00, 0x123456, WHITE, WHITE],
];

async function withMovie(body) {
  const movie = await freshMovie();
  try {
    await body(movie);
    assert.deepEqual(movie.errors, [], 'the page or the player reported errors');
  } finally {
    await movie.close();
  }
}

function assertRows(readout, sent, where) {
  assert.deepEqual(rowProblems(expectedRows(sent), readout.rows, where), []);
}

// Everything that describes what is drawn, without the widget's own record.
function drawn(readout) {
  return JSON.stringify(readout.rows);
}

test('before any call the widget exists and its seven rows are hidden', () => withMovie(async (movie) => {
  const readout = await movie.readout();
  assert.equal(readout.rows.length, ROWS);
  assert.ok(readout.rows.every((row) => row.visible === false), JSON.stringify(readout.rows));
  assert.deepEqual(await movie.calls(), { setup: 0, update: 0 });
  assert.equal(readout.stage.width, movie.stage.width);
  assert.equal(readout.stage.height, movie.stage.height);
  // The movie took charge of its stage: unscaled, from the top-left corner.
  assert.equal(readout.stage.scaleMode, 'noScale');
  assert.match(readout.stage.align, /^(TL|LT)$/);
  // The text fields ask for the game's own font family by name.
  assert.match(readout.widget.font, /^\$Everywhere/);
}));

test('Setup places the widget at fractions of the stage and scales its rows', () => withMovie(async (movie) => {
  assert.equal(await movie.call('Setup', 0.03, 0.73, 100, 8), true);
  assert.equal(await movie.call('UpdateMenu', ...SENT), true);
  const small = await movie.readout();
  const origin = widgetOrigin(small.stage, 0.03, 0.73);
  assert.ok(Math.abs(small.widget.x - origin.x) <= 1 && Math.abs(small.widget.y - origin.y) <= 1,
    JSON.stringify(small.widget));
  assert.equal(small.widget.scale, 100);
  assert.equal(small.widget.factor, 1, 'on 1,080 lines scale 100 draws at one pixel a unit');
  assert.equal(small.widget.flags, 8);
  assertRows(small, SENT, 'scale 100');
  for (let i = 1; i < ROWS; ++i) assert.ok(small.rows[i].y > small.rows[i - 1].y, `row ${i + 1} below row ${i}`);

  assert.equal(await movie.call('Setup', 0.5, 0.25, 200, 8), true);
  const large = await movie.readout();
  const moved = widgetOrigin(large.stage, 0.5, 0.25);
  assert.ok(Math.abs(large.widget.x - moved.x) <= 1 && Math.abs(large.widget.y - moved.y) <= 1,
    JSON.stringify(large.widget));
  assertRows(large, SENT, 'scale 200, rows kept from before');
  for (let i = 0; i < ROWS; ++i) {
    const was = small.rows[i];
    const now = large.rows[i];
    const near = (a, b) => Math.abs(a - b) <= Math.max(2, Math.abs(b) * 0.05);
    assert.ok(near(now.height, was.height * 2), `row ${i + 1} height ${was.height} -> ${now.height}`);
    assert.ok(near(now.x - large.widget.x, (was.x - small.widget.x) * 2), `row ${i + 1} x offset doubles`);
    assert.ok(near(now.y - large.widget.y, (was.y - small.widget.y) * 2), `row ${i + 1} y offset doubles`);
  }
  // Past the screen's edges and the sizes the widget allows, the call still
  // places it: shares and scale clamped, the widget moved left to end at the
  // right edge, and, taller than the screen, its top kept on the screen.
  assert.equal(await movie.call('Setup', 1.5, -0.2, 5000, 8), true);
  const clamped = await movie.readout();
  const box = clamped.widget.box;
  assert.deepEqual([clamped.widget.anchor.x, clamped.widget.anchor.y, clamped.widget.scale],
    [clamped.stage.width, 0, 1000]);
  assert.ok(box.height > clamped.stage.height && box.y === 0, JSON.stringify(box));
  assert.ok(Math.abs(box.x + box.width - clamped.stage.width) <= 0.05, JSON.stringify(box));
  assert.deepEqual(await movie.calls(), { setup: 3, update: 1 });
}));

test('a placement past the screen\'s edges moves the widget just enough to keep it whole', () => withMovie(async (movie) => {
  const screen = movie.stage;
  await movie.call('Setup', 0.5, 0.5, 100, 8);
  await movie.call('UpdateMenu', ...SENT);
  const size = (await movie.readout()).widget.box;
  const near = (a, b) => Math.abs(a - b) <= 0.05;
  const place = async (args) => {
    assert.equal(await movie.call('Setup', ...args), true);
    const readout = await movie.readout();
    assert.deepEqual(placementProblems(readout, screen, args, `Setup(${args})`), []);
    return readout.widget.box;
  };
  // Every corner of the screen, from either anchor: the box ends on the screen's edges, its size kept.
  for (const [x, y, flags, left, top] of [
    [1, 1, 8, screen.width - size.width, screen.height - size.height],
    [0, 0, 56, 0, 0],
    [1, 0, 8 | 32, screen.width - size.width, 0],
    [0, 1, 8 | 16, 0, screen.height - size.height],
    [0.99, 0.1, 8, screen.width - size.width, 108],
    [0.05, 0.02, 56, 0, 0]]) {
    const box = await place([x, y, 100, flags]);
    assert.ok(near(box.x, left) && near(box.y, top), `Setup(${x}, ${y}, 100, ${flags}): box ${JSON.stringify(box)}, ` +
      `expected its corner at (${left}, ${top})`);
    assert.ok(near(box.width, size.width) && near(box.height, size.height), 'the widget keeps its size');
  }
  // A placement that fits is not moved at all.
  const fits = await place([0.9, 0.7, 100, 56]);
  assert.ok(near(fits.x + fits.width, 0.9 * screen.width) && near(fits.y + fits.height, 0.7 * screen.height));
  // Longer names make the widget wider: at the right edge it moves left to stay whole.
  await place([1, 0.5, 100, 8]);
  const longer = SENT.map((column) => column.slice());
  longer[1][0] = 'Helm of the Ancient Dragon Priest Nahkriin';
  assert.equal(await movie.call('UpdateMenu', ...longer), true);
  const wider = (await movie.readout()).widget.box;
  assert.ok(wider.width > size.width + 20, `wider: ${JSON.stringify(wider)}`);
  assert.ok(near(wider.x + wider.width, screen.width), `the wider widget ends at the right edge: ${JSON.stringify(wider)}`);
}));

test('unknown flag bits change nothing that is drawn', () => withMovie(async (movie) => {
  await movie.call('Setup', 0.1, 0.1, 100, 8);
  await movie.call('UpdateMenu', ...SENT);
  const plain = await movie.readout();
  for (const flags of [8 + 2 ** 20, 8 + 2 ** 30, 8 + 2 ** 31]) {
    assert.equal(await movie.call('Setup', 0.1, 0.1, 100, flags), true);
    const other = await movie.readout();
    assert.equal(drawn(other), drawn(plain), `flags ${flags}`);
    assert.equal(other.widget.x, plain.widget.x);
    assert.equal(other.widget.y, plain.widget.y);
  }
}));

test('flags hide the numbers, close up blank rows, anchor the far edges', () => withMovie(async (movie) => {
  const sent = SENT.map((column) => column.slice());
  sent[0][2] = 'none';
  const at = async (flags) => {
    assert.equal(await movie.call('Setup', 0.5, 0.5, 100, flags), true);
    return movie.readout();
  };
  await movie.call('Setup', 0.5, 0.5, 100, 8);
  assert.equal(await movie.call('UpdateMenu', ...sent), true);
  const plain = await at(8);
  assert.ok(plain.rows.some((row) => row.durability !== ''));

  const noNumbers = await at(8 | 2);
  assert.deepEqual(noNumbers.rows.map((row) => row.durability), Array(ROWS).fill(''));

  const compact = await at(8 | 4);
  assert.equal(compact.rows[3].y, plain.rows[2].y, 'the row below a blank row moves up into its place');
  assert.equal(compact.rows[1].y, plain.rows[1].y);

  const right = await at(8 | 16);
  const bottom = await at(8 | 32);
  for (let i = 0; i < ROWS; ++i) {
    if (!plain.rows[i].visible) continue;
    assert.ok(right.rows[i].x + right.rows[i].nameWidth <= right.widget.x, `row ${i + 1} lies left of x`);
    assert.ok(bottom.rows[i].y + bottom.rows[i].height <= bottom.widget.y, `row ${i + 1} lies above y`);
    assert.ok(plain.rows[i].x >= plain.widget.x && plain.rows[i].y >= plain.widget.y, `row ${i + 1} below right`);
  }
}));

test('Setup with arguments it cannot use keeps the widget where it was', () => withMovie(async (movie) => {
  await movie.call('Setup', 0.2, 0.3, 100, 8);
  await movie.call('UpdateMenu', ...SENT);
  const before = await movie.readout();
  const unusable = ['[]', '["left", null, {}, "8"]', '[0.2]', '[undefined, undefined, undefined, undefined]',
    '[NaN, 0.3, 100, 8]', '[0.2, 0.3, Infinity, 8]'];
  for (const args of unusable) {
    assert.equal(await movie.callWith('Setup', args), true, `Setup(${args}) threw`);
    const after = await movie.readout();
    assert.equal(after.widget.x, before.widget.x, `Setup(${args}) moved the widget`);
    assert.equal(after.widget.y, before.widget.y, `Setup(${args}) moved the widget`);
    assert.equal(after.widget.scale, before.widget.scale, `Setup(${args}) scaled the widget`);
    assert.equal(drawn(after), drawn(before), `Setup(${args}) changed the rows`);
  }
  assert.deepEqual(await movie.calls(), { setup: 1, update: 1 });
}));

test('UpdateMenu with arguments it cannot use keeps the previous rows', () => withMovie(async (movie) => {
  await movie.call('Setup', 0.03, 0.73, 100, 8);
  await movie.call('UpdateMenu', ...SENT);
  const before = await movie.readout();
  const unusable = ['[]', '["x", 5, null, {}]', '[null, null, null, null]', '[undefined, [], [], []]',
    `[${JSON.stringify(SENT[0])}]`, `[${JSON.stringify(SENT[0])}, "names", [], []]`, '[1, 2, 3, 4]'];
  for (const args of unusable) {
    assert.equal(await movie.callWith('UpdateMenu', args), true, `UpdateMenu(${args}) threw`);
    assert.equal(drawn(await movie.readout()), drawn(before), `UpdateMenu(${args}) changed the rows`);
  }
  assert.deepEqual(await movie.calls(), { setup: 1, update: 1 });
}));

test('short arrays leave the missing rows blank, long ones lose the rows past seven', () => withMovie(async (movie) => {
  await movie.call('Setup', 0.03, 0.1, 100, 8);
  await movie.call('UpdateMenu', ...SENT);
  const short = [['weapon_dagger', 'armor_ring'], ['Dagger', 'Ring'], [5, -1], [GOLD, WHITE]];
  assert.equal(await movie.call('UpdateMenu', ...short), true);
  const padded = short.map((column, c) => column.concat(Array(ROWS - column.length).fill(['none', '', -1, WHITE][c])));
  assertRows(await movie.readout(), padded, 'two rows sent');

  const long = SENT.map((column) => column.concat(column, column));
  long[0][6] = 'weapon_bow';
  long[1][6] = 'Hunting Bow';
  assert.equal(await movie.call('UpdateMenu', ...long), true);
  assertRows(await movie.readout(), long.map((column) => column.slice(0, ROWS)), 'twenty-one rows sent');

  const ragged = [SENT[0], SENT[1].slice(0, 3), SENT[2], SENT[3].slice(0, 5)];
  assert.equal(await movie.call('UpdateMenu', ...ragged), true);
  const shown = (await movie.readout()).rows;
  assert.equal(shown[0].name, SENT[1][0]);
  assert.equal(shown[4].name, '', 'a row without a name shows no name');
  assert.equal(shown[4].icon, SENT[0][4]);
}));

test('null, undefined and the text "null" read as empty', () => withMovie(async (movie) => {
  await movie.call('Setup', 0.03, 0.1, 100, 8);
  await movie.call('UpdateMenu', ['no_such_icon'], ['x'], [1], [WHITE]);
  const neutral = (await movie.readout()).rows[0].glyph;
  const args = `[
    ["weapon_sword", null, undefined, "undefined", "armor_head", "armor_body", "armor_feet"],
    [null, "Sword", "Axe", "null", undefined, "null", "Boots"],
    [10, 20, 30, 40, null, undefined, "null"],
    [${WHITE}, ${GOLD}, ${WHITE}, ${WHITE}, 0x12FFD700, ${GOLD}, null]]`;
  assert.equal(await movie.callWith('UpdateMenu', args), true);
  const rows = (await movie.readout()).rows;
  assert.equal(rows[0].visible, true);
  assert.equal(rows[0].name, '');
  assert.equal(rows[0].durability, '10');
  for (const i of [1, 2]) {
    assert.equal(rows[i].visible, true, `row ${i + 1}: a name without an icon still shows`);
    assert.equal(rows[i].glyph, neutral, `row ${i + 1}: a row without an icon gets the neutral glyph`);
  }
  assert.equal(rows[1].colour, GOLD);
  assert.equal(rows[3].visible, false, 'row 4: neither icon nor name makes a blank row');
  assert.equal(rows[4].name, '');
  assert.equal(rows[5].name, '');
  for (const i of [4, 5, 6]) {
    assert.equal(rows[i].visible, true, `row ${i + 1}`);
    assert.equal(rows[i].durability, '', `row ${i + 1}: no durability number`);
  }
  assert.equal(rows[4].colour, GOLD, 'a colour is taken as 0xRRGGBB, higher bits dropped');
  assert.equal(rows[6].name, 'Boots');
  assert.ok(Number.isInteger(rows[6].colour) && rows[6].colour >= 0 && rows[6].colour <= 0xffffff,
    `a missing colour falls back to a colour, not ${rows[6].colour}`);
}));

test('long names are cut with an ellipsis, other scripts are shown as sent', () => withMovie(async (movie) => {
  await movie.call('Setup', 0.03, 0.1, 100, 8);
  const names = ['W'.repeat(200), 'i'.repeat(400), 'Меч Драконорождённого', '龍の剣',
    'Épée de l\'Aube «ø»',
    'Dagger Venom (4294967295)', 'x'];
  const sent = [['weapon_sword', 'weapon_dagger', 'weapon_greatsword', 'weapon_waraxe', 'weapon_mace',
    'weapon_dagger', 'weapon_bow'], names, [1, 2, 3, 4, 5, 6, 7], Array(ROWS).fill(WHITE)];
  assert.equal(await movie.call('UpdateMenu', ...sent), true);
  const readout = await movie.readout();
  assertRows(readout, sent, 'names');
  const [wide, narrow] = readout.rows;
  for (const row of [wide, narrow]) {
    assert.ok(/(\u2026|\.\.\.)$/.test(row.name), `cut with an ellipsis: ${row.name}`);
    assert.ok(row.name.length > 1, 'something of the name is kept');
  }
  // Both are cut at the same width, whatever their letters.
  assert.ok(Math.abs(wide.nameWidth - narrow.nameWidth) <= wide.nameWidth * 0.2,
    `widths ${wide.nameWidth} and ${narrow.nameWidth}`);
  assert.ok(narrow.name.length > wide.name.length, 'narrow letters keep more of the name');
  assert.ok(wide.nameWidth <= 301, `a cut name fits 300 px at scale 100, not ${wide.nameWidth} px`);
  for (const i of [2, 3, 4, 5, 6]) assert.equal(readout.rows[i].name, names[i]);
  assert.ok(readout.rows[2].nameWidth > readout.rows[6].nameWidth, 'non-Latin text has a width when drawn');
}));

test('every icon name draws its glyph, unknown names the neutral one', () => withMovie(async (movie) => {
  await movie.call('Setup', 0.03, 0.1, 100, 8);
  const blankRow = ['none', '', -1, WHITE];
  const glyphOf = new Map();
  const probe = async (icons) => {
    const sent = [icons, icons.map((i) => `item ${i}`), icons.map(() => 100), icons.map(() => WHITE)];
    sent.forEach((column, c) => { while (column.length < ROWS) column.push(blankRow[c]); });
    assert.equal(await movie.call('UpdateMenu', ...sent), true);
    const rows = (await movie.readout()).rows;
    icons.forEach((icon, i) => glyphOf.set(icon, rows[i]));
  };
  await probe(['no_such_icon', '', 'WEAPON_SWORD', 'weapon_sword ']);
  const neutral = glyphOf.get('no_such_icon').glyph;
  assert.equal(typeof neutral, 'string');
  assert.ok(neutral.length > 0);
  for (const unknown of ['no_such_icon', 'WEAPON_SWORD', 'weapon_sword ']) {
    assert.equal(glyphOf.get(unknown).visible, true, `"${unknown}" still shows its row`);
    assert.equal(glyphOf.get(unknown).glyph, neutral, `"${unknown}" gets the neutral glyph`);
  }
  for (let i = 0; i < ICON_NAMES.length; i += ROWS) await probe(ICON_NAMES.slice(i, i + ROWS));
  assert.equal(glyphOf.get('none').visible, false, '"none" is a blank row');
  const families = new Set();
  for (const name of ICON_NAMES.slice(1)) {
    const row = glyphOf.get(name);
    assert.equal(row.visible, true, `${name} shows its row`);
    assert.equal(row.icon, name);
    assert.notEqual(row.glyph, neutral, `${name} has a glyph of its own family`);
    families.add(row.glyph);
  }
  // Weapons by type, armour by slot, clothing, jewellery, spells by school, shouts, scrolls, torches...
  assert.ok(families.size >= 20, `only ${families.size} glyph families: ${[...families].join(', ')}`);
  for (const [a, b] of [['weapon_sword', 'weapon_bow'], ['armor_head', 'armor_feet'], ['armor_body', 'clothing_body'],
    ['default_destruction', 'default_restoration'], ['default_shout', 'misc_torch'], ['armor_ring', 'default_scroll'],
    ['lightarmor_shield', 'weapon_staff']]) {
    assert.notEqual(glyphOf.get(a).glyph, glyphOf.get(b).glyph, `${a} and ${b} look alike`);
  }
}));
