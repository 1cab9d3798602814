'use strict';
// Screenshots of the movie: each row's icon and text appear in the row's
// colour where Setup put the widget and at the size it asked for.
const assert = require('node:assert/strict');
const { test } = require('node:test');
const { freshMovie, saveShot } = require('./movie_env');
const { SCENE_COLOUR } = require('../../tools/movie_player/player');
const { decodePng, countNear } = require('../../tools/movie_player/png');
const { hex, expectedRows, rowProblems } = require('../../tools/movie_player/rows');
const { rowBoxes, rowPixelProblems, colourExtent, TOLERANCE } = require('../../tools/movie_player/row_pixels');

const COLOURS = [0xff3030, 0x30ff30, 0x4080ff, 0xffff00, 0xff00ff, 0x00ffff, 0xff8000];
const SENT = [
  ['armor_head', 'armor_body', 'none', 'armor_feet', 'armor_shield', 'weapon_greatsword', 'default_destruction'],
  ['Iron Helmet', 'Steel Armor', 'Hidden', 'Leather Boots', 'Steel Shield', 'Greatsword', 'Firebolt'],
  [200, 450, 10, 0, 300, 75, -1],
  COLOURS,
];

function whole(row) {
  const { icon, text } = rowBoxes(row);
  return { x: icon.x, y: icon.y, width: text.x + text.width - icon.x, height: icon.height };
}

async function picture(movie, name) {
  const png = await movie.screenshot();
  saveShot(`pictures/${name}.png`, png);
  return decodePng(png);
}

// Pixels of the other rows' colours inside each row's box: rows drawn out of place.
function strayColours(image, rows) {
  const problems = [];
  rows.forEach((row, i) => {
    if (!row.visible) return;
    COLOURS.forEach((colour, j) => {
      if (j === i || !rows[j].visible) return;
      const stray = countNear(image, whole(row), colour, TOLERANCE);
      if (stray > 2) problems.push(`row ${i + 1}'s box holds ${stray} pixel(s) of row ${j + 1}'s ${hex(colour)}`);
    });
  });
  return problems;
}

test('rows appear in their colours at the place and size Setup gave', async () => {
  const movie = await freshMovie();
  try {
    assert.equal(await movie.call('Setup', 0.05, 0.1, 100, 8), true);
    assert.equal(await movie.call('UpdateMenu', ...SENT), true);
    const small = await movie.readout();
    const first = await picture(movie, 'scale-100');
    assert.deepEqual(rowPixelProblems(first, small.rows, 'scale 100'), []);
    assert.deepEqual(strayColours(first, small.rows), []);
    assert.equal(small.rows[2].visible, false);
    assert.equal(countNear(first, { x: 0, y: 0, width: first.width, height: first.height }, COLOURS[2], 8), 0,
      'the blank row draws nothing in its colour');

    assert.equal(await movie.call('Setup', 0.45, 0.4, 150, 8), true);
    const large = await movie.readout();
    const second = await picture(movie, 'scale-150-moved');
    assert.deepEqual(rowPixelProblems(second, large.rows, 'scale 150'), []);
    assert.deepEqual(strayColours(second, large.rows), []);
    small.rows.forEach((row, i) => {
      if (!row.visible) return;
      assert.equal(countNear(second, whole(row), COLOURS[i], TOLERANCE), 0,
        `row ${i + 1} left nothing behind at its old place`);
      const before = colourExtent(first, whole(row), COLOURS[i]);
      const after = colourExtent(second, whole(large.rows[i]), COLOURS[i]);
      assert.ok(before && after, `row ${i + 1} is drawn at both sizes`);
      const ratio = after.height / before.height;
      assert.ok(ratio > 1.3 && ratio < 1.7, `row ${i + 1} grew ${ratio.toFixed(2)} times in height, not 1.5`);
      const widthRatio = after.width / before.width;
      assert.ok(widthRatio > 1.3 && widthRatio < 1.7, `row ${i + 1} grew ${widthRatio.toFixed(2)} times in width`);
      assert.ok(Math.abs(after.x - large.widget.x - (before.x - small.widget.x) * 1.5) <= 3,
        `row ${i + 1} keeps its place in the widget, scaled`);
    });
    assert.deepEqual(movie.errors, []);
  } finally {
    await movie.close();
  }
});

test('flag 1 leaves the icons out, flag 8 darkens the scene behind the rows', async () => {
  const movie = await freshMovie();
  try {
    assert.equal(await movie.call('Setup', 0.1, 0.2, 200, 8), true);
    assert.equal(await movie.call('UpdateMenu', ...SENT), true);
    const look = await movie.readout();
    const withBackdrop = await picture(movie, 'flags-8');
    // Between the first two rows' texts: backdrop, no glyph, no letter.
    const gap = { x: look.widget.x + 2, y: look.widget.y + 2, width: 4, height: 4 };
    assert.equal(countNear(withBackdrop, gap, SCENE_COLOUR, 6), 0, 'the backdrop covers the widget\'s corner');

    assert.equal(await movie.call('Setup', 0.1, 0.2, 200, 1), true);
    const bare = await movie.readout();
    const withoutIcons = await picture(movie, 'flags-1');
    assert.equal(countNear(withoutIcons, gap, SCENE_COLOUR, 6), gap.width * gap.height, 'no backdrop without flag 8');
    // The text moves left into the icon's place: what is gone is the glyph's pixels.
    bare.rows.forEach((row, i) => {
      if (!row.visible) return;
      const glyph = countNear(withBackdrop, rowBoxes(look.rows[i]).icon, COLOURS[i], TOLERANCE);
      const before = countNear(withBackdrop, whole(look.rows[i]), COLOURS[i], TOLERANCE);
      const after = countNear(withoutIcons, whole(row), COLOURS[i], TOLERANCE);
      assert.ok(after >= 6, `row ${i + 1} still shows its text`);
      assert.ok(Math.abs(before - glyph - after) <= glyph / 4, `row ${i + 1}: ${before} pixels with its icon, ` +
        `${glyph} of them the icon's, ${after} without`);
    });
    assert.deepEqual(movie.errors, []);
  } finally {
    await movie.close();
  }
});

// Ruffle has every font name, so the probe for the game's font always finds
// it there; the test build answers it the other way to see the fallback.
test('without the game\'s font the rows are drawn whole in the player\'s sans-serif device font', async () => {
  const movie = await freshMovie();
  try {
    const probed = await movie.readout();
    assert.deepEqual(new Set(probed.rows.map((row) => row.font)), new Set(['$EverywhereFont, embedded']));
    assert.equal(await movie.call('UseFont', false), true);
    assert.equal(await movie.call('Setup', 0.05, 0.1, 100, 8), true);
    const sent = SENT.map((column) => column.slice());
    sent[1][1] = 'Steel Plate Armor of Eminent Health and Extreme Resistance';
    assert.equal(await movie.call('UpdateMenu', ...sent), true);
    const look = await movie.readout();
    assert.equal(look.widget.font, '_sans');
    assert.deepEqual(new Set(look.rows.map((row) => row.font)), new Set(['_sans, device']));
    assert.deepEqual(rowProblems(expectedRows(sent), look.rows, 'fallback'), []);
    assert.ok(look.rows[1].name.endsWith('...') && look.rows[1].nameWidth <= 300, JSON.stringify(look.rows[1]));
    const image = await picture(movie, 'fallback-font');
    assert.deepEqual(rowPixelProblems(image, look.rows, 'fallback'), []);
    assert.deepEqual(strayColours(image, look.rows), []);
    assert.deepEqual(await movie.calls(), { setup: 1, update: 1 });
    assert.deepEqual(movie.errors, []);
  } finally {
    await movie.close();
  }
});
