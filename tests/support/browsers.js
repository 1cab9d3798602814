'use strict';
// The browsers the page tests run in, launched one way for every test:
// Debian's chromium through the DevTools protocol and Debian's Firefox ESR
// through WebDriver BiDi, both by puppeteer-core, headless, each with a fresh
// profile of its own that is removed when the browser closes, and neither
// reaching for the network (this machine has none, so a browser that tries
// waits on it or fills its log with the attempts).
//
//   const { browserNames, launchBrowser, waitForDownload } = require('../support/browsers');
//   for (const name of browserNames()) {
//     const browser = await launchBrowser(name, { downloadPath: dir });
//     ...
//     await browser.close();
//   }
//
// QM_BROWSERS narrows the list (e.g. QM_BROWSERS=firefox); QM_CHROMIUM and
// QM_FIREFOX name other executables.
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const ALL_BROWSERS = ['chromium', 'firefox'];

const CHROMIUM = process.env.QM_CHROMIUM || '/usr/bin/chromium';
const FIREFOX = process.env.QM_FIREFOX || '/usr/bin/firefox-esr';

// Without these chromium waits on the network, which is closed here.
// (puppeteer adds --headless itself, with headless: true.)
const CHROMIUM_FLAGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

// Puppeteer's own profile already turns off updates, safebrowsing, the
// health report and the blocklist's server; these close the rest of Firefox's
// calls home: telemetry, the captive portal and connectivity probes, remote
// settings, DNS over HTTPS, prefetching, push, the region and geolocation
// services, the new tab page's feeds and the add-on and plugin managers.
const FIREFOX_PREFS = {
  'app.update.enabled': false,
  'app.update.auto': false,
  'app.update.service.enabled': false,
  'app.update.staging.enabled': false,
  'app.shield.optoutstudies.enabled': false,
  'app.normandy.enabled': false,
  'toolkit.telemetry.enabled': false,
  'toolkit.telemetry.unified': false,
  'toolkit.telemetry.archive.enabled': false,
  'toolkit.telemetry.server': '',
  'toolkit.telemetry.newProfilePing.enabled': false,
  'toolkit.telemetry.shutdownPingSender.enabled': false,
  'toolkit.telemetry.updatePing.enabled': false,
  'toolkit.telemetry.bhrPing.enabled': false,
  'toolkit.telemetry.firstShutdownPing.enabled': false,
  'toolkit.coverage.opt-out': true,
  'datareporting.usage.uploadEnabled': false,
  'browser.ping-centre.telemetry': false,
  'browser.newtabpage.activity-stream.telemetry': false,
  'browser.newtabpage.activity-stream.feeds.telemetry': false,
  'browser.newtabpage.activity-stream.feeds.snippets': false,
  'browser.newtabpage.activity-stream.feeds.section.topstories': false,
  'browser.newtabpage.activity-stream.showSponsored': false,
  'browser.newtabpage.activity-stream.showSponsoredTopSites': false,
  'network.captive-portal-service.enabled': false,
  'network.connectivity-service.enabled': false,
  'captivedetect.canonicalURL': '',
  'network.trr.mode': 5,
  'network.dns.disablePrefetch': true,
  'network.prefetch-next': false,
  'network.predictor.enabled': false,
  'network.http.speculative-parallel-limit': 0,
  'browser.safebrowsing.malware.enabled': false,
  'browser.safebrowsing.phishing.enabled': false,
  'browser.safebrowsing.downloads.enabled': false,
  'browser.safebrowsing.downloads.remote.enabled': false,
  'browser.safebrowsing.blockedURIs.enabled': false,
  'browser.safebrowsing.provider.google.updateURL': '',
  'browser.safebrowsing.provider.google4.updateURL': '',
  'browser.safebrowsing.provider.mozilla.updateURL': '',
  'services.settings.server': 'http://127.0.0.1:9/',
  'services.sync.enabled': false,
  'identity.fxaccounts.enabled': false,
  'dom.push.connection.enabled': false,
  'dom.push.serverURL': '',
  'browser.region.network.url': '',
  'browser.region.update.enabled': false,
  'geo.enabled': false,
  'geo.provider.network.url': '',
  'browser.search.geoip.url': '',
  'browser.search.update': false,
  'extensions.update.enabled': false,
  'extensions.getAddons.cache.enabled': false,
  'extensions.blocklist.enabled': false,
  'extensions.systemAddon.update.enabled': false,
  'media.gmp-manager.updateEnabled': false,
  'media.gmp-gmpopenh264.enabled': false,
  'media.gmp-widevinecdm.enabled': false,
  'browser.messaging-system.whatsNewPanel.enabled': false,
  'browser.aboutwelcome.enabled': false,
  'browser.shell.checkDefaultBrowser': false,
  'browser.contentanalysis.enabled': false,
  'browser.ml.enable': false,
  'browser.translations.enable': false,
  'devtools.console.stdout.content': false,
  // Puppeteer lets a page from file:// read the other files of its folder;
  // a player's Firefox does not, and a page that needs to would fail there.
  'security.fileuri.strict_origin_policy': true,
};

// Where a page's downloads go, without asking: every type saved to the folder.
function firefoxDownloadPrefs(folder) {
  return {
    'browser.download.folderList': 2,
    'browser.download.dir': folder,
    'browser.download.useDownloadDir': true,
    'browser.download.always_ask_before_handling_new_types': false,
    'browser.download.start_downloads_in_tmp_dir': false,
    'browser.download.alwaysOpenPanel': false,
    'browser.download.panel.shown': true,
    'browser.download.manager.showWhenStarting': false,
    'browser.helperApps.neverAsk.saveToDisk': 'text/plain,application/octet-stream,application/zip,image/png',
  };
}

// The browsers to test in: both, or those QM_BROWSERS names (commas or spaces).
function browserNames() {
  const wanted = (process.env.QM_BROWSERS || '').split(/[\s,]+/).filter(Boolean);
  if (wanted.length === 0) return [...ALL_BROWSERS];
  const unknown = wanted.filter((name) => !ALL_BROWSERS.includes(name));
  if (unknown.length > 0) {
    throw new Error(`QM_BROWSERS names ${unknown.join(', ')}; the browsers are ${ALL_BROWSERS.join(', ')}`);
  }
  return [...new Set(wanted)];
}

async function launchChromium(options) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qm-chromium-profile-'));
  let browser;
  try {
    browser = await puppeteer.launch({
      browser: 'chrome',
      executablePath: CHROMIUM,
      headless: true,
      args: [...CHROMIUM_FLAGS, `--user-data-dir=${profile}`, ...(options.args || [])],
      protocolTimeout: options.protocolTimeout || 60000,
    });
  } catch (error) {
    fs.rmSync(profile, { recursive: true, force: true });
    throw error;
  }
  // The profile goes once the browser has exited, which close() awaits.
  const close = browser.close.bind(browser);
  browser.close = async () => {
    try {
      await close();
    } finally {
      fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
    }
  };
  if (options.downloadPath) {
    const cdp = await browser.target().createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: options.downloadPath });
  }
  return browser;
}

// Puppeteer makes the profile in the temporary folder, writes the prefs into
// it and removes it when the browser closes.
function launchFirefox(options) {
  return puppeteer.launch({
    browser: 'firefox',
    executablePath: FIREFOX,
    headless: true,
    args: options.args || [],
    extraPrefsFirefox: {
      ...FIREFOX_PREFS,
      ...(options.downloadPath ? firefoxDownloadPrefs(options.downloadPath) : {}),
      ...(options.prefs || {}),
    },
    protocolTimeout: options.protocolTimeout || 60000,
  });
}

// A puppeteer Browser of `name` (one of browserNames()). Options:
//   downloadPath     every download lands in this folder without a prompt
//   protocolTimeout  ms a protocol call may take (default 60000)
//   args             further command-line arguments
//   prefs            further Firefox preferences (ignored by chromium)
function launchBrowser(name, options = {}) {
  if (name === 'chromium') return launchChromium(options);
  if (name === 'firefox') return launchFirefox(options);
  throw new Error(`no browser called ${JSON.stringify(name)}; the browsers are ${ALL_BROWSERS.join(', ')}`);
}

// Resolves with the path of `fileName` in `folder` once its download is
// whole: chromium writes a .crdownload and renames it at the end, while
// Firefox first makes the file empty under its own name beside a .part file
// it fills, so the name alone does not mean the bytes are there.
async function waitForDownload(folder, fileName, timeoutMs = 10000) {
  const file = path.join(folder, fileName);
  const started = Date.now();
  for (;;) {
    const pending = fs.readdirSync(folder).some((entry) => /\.(part|crdownload)$/.test(entry));
    if (!pending && fs.existsSync(file)) return file;
    if (Date.now() - started > timeoutMs) {
      throw new Error(`no whole ${fileName} downloaded into ${folder} within ${timeoutMs} ms ` +
        `(the folder holds ${JSON.stringify(fs.readdirSync(folder))})`);
    }
    await new Promise((done) => setTimeout(done, 50));
  }
}

module.exports = { browserNames, launchBrowser, waitForDownload, CHROMIUM_FLAGS, FIREFOX_PREFS };
