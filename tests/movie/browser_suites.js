'use strict';
// The browser suites in one process, so that they share one browser and one
// page (starting chromium and compiling Ruffle's wasm cost seconds each).
// Each file also runs on its own: node --test tests/movie/contract_test.js
require('./contract_test');
require('./replay_test');
require('./pictures_test');
require('./screens_test');
