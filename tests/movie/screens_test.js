'use strict';
// The widget on whole screens of every common size, the player configured as
// the game loads the movie (no scaling, the stage left centred, nothing
// forced): at each size, for the default placement and the bottom-right
// corner, the widget is whole on the screen, its anchored edges sit at
// Setup's shares and its height keeps its share of the screen's height, in
// the Readout and in a screenshot of the screen around it, and the rows keep
// as much room to the backdrop's right edge as to its left. Writes the table
// of boxes to $QM_MOVIE_OUT/screen-boxes.md.
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { test, after } = require('node:test');
const { freshMovie, saveShot } = require('./movie_env');
const { SCENE_COLOUR } = require('../../tools/movie_player/player');
const { decodePng } = require('../../tools/movie_player/png');
const { expectedRows, rowProblems } = require('../../tools/movie_player/rows');
const { rowPixelProblems } = require('../../tools/movie_player/row_pixels');
const {
  SCREENS, PLACEMENTS, boxProblems, placementProblems, screenClip, screenshotProblems, marginProblems, boxRow,
  BOX_TABLE_HEAD, ruleRowHeight,
} = require('../../tools/movie_player/screens');

const WHITE = 0xffffff;
const GOLD = 0xffd700;
// The demo's first rows, with a shout in the seventh: seven rows shown.
const SENT = [
  ['armor_head', 'armor_body', 'armor_hands', 'armor_feet', 'armor_shield', 'weapon_sword', 'default_shout'],
  ['Iron Helmet', 'Steel Armor', 'Iron Gauntlets', 'Steel Boots', 'Steel Shield', 'Steel Sword', 'Unrelenting Force'],
  [200, 450, 150, 250, 300, 50, -1],
  [WHITE, WHITE, WHITE, WHITE, WHITE, GOLD, WHITE],
];
const ROWS_SHOWN = 7;

const table = [];
after(() => {
  const out = process.env.QM_MOVIE_OUT;
  if (!out || table.length === 0) return;
  fs.mkdirSync(out, { recursive: true });
  fs.writeFileSync(path.join(out, 'screen-boxes.md'), `${BOX_TABLE_HEAD}\n${table.join('\n')}\n`);
});

function name(screen) {
  return `${screen.width}x${screen.height}`;
}

// Everything checked of the widget as it stands after Setup(args): the
// Readout, the rows it shows, and a screenshot of the screen around its box
// (a margin of 5 % of the screen's height; whole screens of up to 8 million
// pixels would cost seconds to take and read).
async function check(movie, screen, args, sent, where) {
  const readout = await movie.readout();
  const problems = [
    ...placementProblems(readout, screen, args, where),
    ...boxProblems(readout.widget.box, screen, args, ROWS_SHOWN, `${where} (Readout)`),
    ...rowProblems(expectedRows(sent), readout.rows, where),
  ];
  const rowHeight = ruleRowHeight(screen, args[2]);
  readout.rows.forEach((row, i) => {
    if (row.visible && Math.abs(row.height - rowHeight) > rowHeight * 0.1) {
      problems.push(`${where}, row ${i + 1}: ${row.height} pixels high, the rule gives ${rowHeight.toFixed(1)}`);
    }
  });
  const clip = screenClip(readout.widget.box, screen);
  const png = await movie.screenshot(clip);
  saveShot(path.join('screens', `${where.replace(/[^\w.-]+/g, '-')}.png`), png);
  const image = decodePng(png);
  problems.push(...screenshotProblems(image, readout, screen, args, ROWS_SHOWN, SCENE_COLOUR, where, clip));
  problems.push(...rowPixelProblems(image, readout.rows, where, clip));
  problems.push(...marginProblems(image, readout, args, where, clip));
  return { problems, readout };
}

for (const screen of SCREENS) {
  test(`on ${screen.width} x ${screen.height} the widget is whole, at its shares and of the rule's height`, async () => {
    const movie = await freshMovie({ width: screen.width, height: screen.height });
    try {
      const problems = [];
      let first = true;
      for (const placement of PLACEMENTS) {
        assert.equal(await movie.call('Setup', ...placement.args), true);
        if (first) assert.equal(await movie.call('UpdateMenu', ...SENT), true);
        first = false;
        const where = `${name(screen)} ${placement.name}`;
        const { problems: found, readout } = await check(movie, screen, placement.args, SENT, where);
        problems.push(...found);
        table.push(boxRow(screen, placement.name, readout.widget.box));
      }
      assert.deepEqual(problems, []);
      assert.deepEqual(movie.errors, []);
    } finally {
      await movie.close();
    }
  });
}

test('a change of resolution while the widget shows lays it out again', async () => {
  const start = { width: 1920, height: 1080 };
  const movie = await freshMovie(start);
  try {
    const [byDefault, corner] = PLACEMENTS.map((p) => p.args);
    const problems = [];
    assert.equal(await movie.call('Setup', ...byDefault), true);
    assert.equal(await movie.call('UpdateMenu', ...SENT), true);
    problems.push(...(await check(movie, start, byDefault, SENT, 'resize 1920x1080 default')).problems);

    const wide = { width: 3440, height: 1440 };
    await movie.resize(wide.width, wide.height);
    problems.push(...(await check(movie, wide, byDefault, SENT, 'resize to 3440x1440 default')).problems);

    assert.equal(await movie.call('Setup', ...corner), true);
    const small = { width: 1366, height: 768 };
    await movie.resize(small.width, small.height);
    problems.push(...(await check(movie, small, corner, SENT, 'resize to 1366x768 bottom-right')).problems);

    // Rows sent after the change are laid out on the new screen too.
    const later = SENT.map((column) => column.slice());
    later[1][1] = 'Ebony Armor of Eminent Health';
    later[2][1] = 420;
    assert.equal(await movie.call('UpdateMenu', ...later), true);
    problems.push(...(await check(movie, small, corner, later, 'resize, then UpdateMenu')).problems);
    assert.deepEqual(problems, []);
    assert.deepEqual(await movie.calls(), { setup: 2, update: 2 });
    assert.deepEqual(movie.errors, []);
  } finally {
    await movie.close();
  }
});

test('loaded by a player that scales, the movie still lays itself out on the screen', async () => {
  const screen = { width: 2560, height: 1440 };
  const args = PLACEMENTS[0].args;
  let reference = null;
  for (const scale of ['noScale', 'showAll', 'exactFit']) {
    const movie = await freshMovie({ ...screen, scale });
    try {
      assert.equal(await movie.call('Setup', ...args), true);
      assert.equal(await movie.call('UpdateMenu', ...SENT), true);
      const readout = await movie.readout();
      assert.equal(readout.stage.scaleMode, 'noScale', `loaded with ${scale}`);
      assert.deepEqual(placementProblems(readout, screen, args, `loaded with ${scale}`), []);
      if (reference === null) reference = readout.widget.box;
      else assert.deepEqual(readout.widget.box, reference, `loaded with ${scale}: the box moved`);
      if (scale === 'showAll') {
        // The whole screen once: nothing of the widget anywhere but in its box.
        const image = decodePng(await movie.screenshot());
        assert.deepEqual(screenshotProblems(image, readout, screen, args, ROWS_SHOWN, SCENE_COLOUR, 'showAll'), []);
      }
      assert.deepEqual(movie.errors, []);
    } finally {
      await movie.close();
    }
  }
});
