'use strict';
// The calls the plug-in made into the movie in scenarios (qm run
// --trace-out), replayed into the real movie: after each call what the movie
// shows, row by row and in pixels, is what the plug-in passed.
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { test } = require('node:test');
const { freshMovie, saveShot, required } = require('./movie_env');
const { decodePng } = require('../../tools/movie_player/png');
const { expectedRows, rowProblems, widgetOrigin } = require('../../tools/movie_player/rows');
const { rowPixelProblems, widgetClip } = require('../../tools/movie_player/row_pixels');
const { readWidgetCalls, callsByMovie, SETUP, UPDATE } = require('../../tools/movie_player/widget_calls');

const tracesDir = required('QM_MOVIE_TRACES');
const traces = fs.readdirSync(tracesDir).filter((f) => f.endsWith('.trace')).sort();
// Scenarios that must have sent rows; a run that lost its calls fails here.
const MUST_UPDATE = ['demo.trace', 'seven_rows_of_equipment.trace', 'rows_follow_weapons_toggle_and_menus.trace'];

async function replayMovie(calls, name) {
  const movie = await freshMovie();
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
        const origin = widgetOrigin(readout.stage, call.args[0], call.args[1]);
        if (Math.abs(readout.widget.x - origin.x) > 1 || Math.abs(readout.widget.y - origin.y) > 1
            || readout.widget.scale !== call.args[2]) {
          problems.push(`${name}, Setup ${setups}: widget ${JSON.stringify(readout.widget)} for ${call.args}`);
        }
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

for (const trace of traces) {
  test(`replay ${trace}`, async () => {
    const scenario = path.basename(trace, '.trace');
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
      updates += await replayMovie(movieCalls, `${scenario}-movie-${index}`);
    }
    if (MUST_UPDATE.includes(trace)) assert.ok(updates > 0, `${trace}: no UpdateMenu was replayed`);
  });
}
