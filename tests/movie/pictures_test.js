'use strict';
// Screenshots of the movie: each row's icon and text appear in the row's
// colour where Setup put the widget and at the size it asked for.
const assert = require('node:assert/strict');
const { test } = require('node:test');
const { freshMovie, saveShot } = require('./movie_env');
const { decodePng, countNear } = require('../../tools/movie_player/png');
const { hex } = require('../../tools/movie_player/rows');
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
