'use strict';
// The calls the plug-in made into the movie in scenarios (qm run
// --trace-out), replayed into the real movie: after each call what the movie
// shows, row by row and in pixels, is what the plug-in passed. Every trace
// plays on a 1920 x 1080 screen; those that must send rows play again on
// another screen.
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { test } = require('node:test');
const { freshMovie, saveShot, required } = require('./movie_env');
const { decodePng } = require('../../tools/movie_player/png');
const { expectedRows, rowProblems } = require('../../tools/movie_player/rows');
const { placementProblems } = require('../../tools/movie_player/screens');
const { rowPixelProblems, widgetClip } = require('../../tools/movie_player/row_pixels');
const { readWidgetCalls, callsByMovie, SETUP, UPDATE } = require('../../tools/movie_player/widget_calls');

const tracesDir = required('QM_MOVIE_TRACES');
const traces = fs.readdirSync(tracesDir).filter((f) => f.endsWith('.trace')).sort();
// Scenarios that must have sent rows; a run that lost its calls fails here.
const MUST_UPDATE = ['demo.trace', 'seven_rows_of_equipment.trace', 'rows_follow_weapons_toggle_and_menus.trace'];
const SCREEN = { width: 1920, height: 1080 };
// The other screen: the commonest laptop screen, on which a movie laid out in
// its own 1920 x 1080 frame showed nothing at all.
const OTHER_SCREEN = { width: 1366, height: 768 };

async function replayMovie(calls, name, screen) {
  const movie = await freshMovie(screen);
  const problems = [];
  let setups = 0;
  let updates = 0;
  try {
    for (const call of calls) {
      const answer = await movie.call(call.path === SETUP ? 'Setup' : 'UpdateMenu', ...call.args);
      assert.equal(answer, true, `${name}: ${call.path} threw`);
      const readout = await movie.readout();
      if (call.path === SETUP) {
        ++setups;
        problems.push(...placementProblems(readout, screen, call.args, `${name}, Setup ${setups}`));
      } else if (call.path === UPDATE) {
        ++updates;
        const where = `${name}, UpdateMenu ${updates}`;
        problems.push(...rowProblems(expectedRows(call.args), readout.rows, where));
        const clip = widgetClip(readout);
        const png = await movie.screenshot(clip);
        saveShot(path.join('replay', `${name}-update-${updates}.png`), png);
        problems.push(...rowPixelProblems(decodePng(png), readout.rows, where, clip));
      } else {
        problems.push(`${name}: a call of ${call.path}, which the movie does not have`);
      }
    }
    assert.deepEqual(await movie.calls(), { setup: setups, update: updates }, `${name}: calls the movie accepted`);
    assert.deepEqual(movie.errors, [], `${name}: the page or the player reported errors`);
  } finally {
    await movie.close();
  }
  assert.deepEqual(problems, []);
  return updates;
}

test('the trace folder holds the scenarios that send rows', () => {
  for (const must of MUST_UPDATE) assert.ok(traces.includes(must), `${must} is missing in ${tracesDir}`);
});

function replayTrace(trace, screen) {
  return async () => {
    const size = `${screen.width}x${screen.height}`;
    const scenario = path.basename(trace, '.trace') + (screen === SCREEN ? '' : `-${size}`);
    const { calls } = readWidgetCalls(fs.readFileSync(path.join(tracesDir, trace), 'utf8'), trace);
    // Movies that received the very same calls show the same: replay each kind once.
    const seen = new Set();
    let updates = 0;
    let index = 0;
    for (const movieCalls of callsByMovie(calls)) {
      ++index;
      const key = JSON.stringify(movieCalls.map((c) => [c.path, c.args]));
      if (seen.has(key)) continue;
      seen.add(key);
      updates += await replayMovie(movieCalls, `${scenario}-movie-${index}`, screen);
    }
    if (MUST_UPDATE.includes(trace)) assert.ok(updates > 0, `${trace}: no UpdateMenu was replayed on ${size}`);
  };
}

for (const trace of traces) test(`replay ${trace}`, replayTrace(trace, SCREEN));
for (const trace of MUST_UPDATE) {
  if (!traces.includes(trace)) continue;
  test(`replay ${trace} on ${OTHER_SCREEN.width} x ${OTHER_SCREEN.height}`, replayTrace(trace, OTHER_SCREEN));
}
