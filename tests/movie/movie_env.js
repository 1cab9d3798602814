'use strict';
// What every movie test needs: the test build of the movie, one browser for
// the test file (QM_MOVIE_BROWSER: chromium, the default, or firefox), and
// the folder for screenshots (under the build folder).
const fs = require('node:fs');
const path = require('node:path');
const { before, after } = require('node:test');
const { openBrowser, openMovie } = require('../../tools/movie_player/player');

function required(name) {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set: run tests/movie/run_movie_tests.sh BUILD_DIR`);
  return value;
}

const testMovie = required('QM_MOVIE_TEST_SWF');
const shotsDir = required('QM_MOVIE_SHOTS');
const browserName = process.env.QM_MOVIE_BROWSER || 'chromium';

let session = null;
before(async () => {
  fs.mkdirSync(shotsDir, { recursive: true });
  session = await openBrowser(browserName);
});
after(async () => {
  if (session) await session.close();
});

// A fresh movie (a new player on the session's page); the caller closes it.
// `screen` ({width, height}, default 1920 x 1080) is the screen the player
// stands for; `scale` the player's scale mode before the movie sets its own.
function freshMovie(screen = {}) {
  return openMovie(session, testMovie, screen);
}

function saveShot(name, png) {
  const file = path.join(shotsDir, name);
  fs.mkdirSync(path.dirname(file), { recursive: true });
  fs.writeFileSync(file, png);
  return file;
}

module.exports = { freshMovie, saveShot, required, browserName };
