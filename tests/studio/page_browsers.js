'use strict';
// The browsers the studio's page tests run in: those of the shared launcher,
// tests/support/browsers.js (Chromium and Firefox ESR), where it is there;
// until then Chromium alone, launched as the other browser tests launch it.
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

let shared = null;
try {
  shared = require('../support/browsers.js');
} catch (error) {
  if (error.code !== 'MODULE_NOT_FOUND') throw error;
}

function browserNames() {
  return shared ? shared.browserNames() : ['chromium'];
}

async function launchBrowser(name, options = {}) {
  if (shared) return shared.launchBrowser(name, options);
  if (name !== 'chromium') throw new Error(`no launcher for ${name}`);
  const puppeteer = require('puppeteer-core');
  const { CHROMIUM_FLAGS } = require('../../tools/movie_player/player');
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qm-studio-profile-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.QM_CHROMIUM || '/usr/bin/chromium', headless: true,
    args: [...CHROMIUM_FLAGS, `--user-data-dir=${profile}`], protocolTimeout: 180000, ...options,
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
  };
  return browser;
}

module.exports = { browserNames, launchBrowser };
