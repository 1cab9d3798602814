#!/usr/bin/env node
'use strict';
// Draws the installer's pictures: the widget as the shipped movie draws it,
// played by Ruffle in headless chromium with the player configured as the
// game loads the movie. The shipped movie has no callbacks, so the studio's
// wrapper movie (StudioWrapper.swf, made by the build) loads it into level 1
// and passes the plug-in's two calls to its widget, as the game's loader
// does. Beside the widget, each picture says in words what it shows.
//
//   node tools/movie_player/installer_images.js --movie DurabilityMenu.swf --wrapper StudioWrapper.swf --out DIR
//
// The presets' figures come from packaging/presets/figures.json (or
// --figures FILE), the lab's measurement that the README's table of presets
// comes from too (preset_figures.js).
//
// Writes DIR/widget.png (the installer's own picture) and one picture per
// preset (DIR/preset-defaults.png, preset-breaking.png, preset-hard.png),
// 640 x 400 pixels each (Mod Organizer 2 shows 320 x 200, scaled), and
// prints their paths. Exits 2 on bad arguments or files, 1 when the movie
// cannot be played or draws no widget.
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { openBrowser, openMovie } = require('./player');
const { decodePng, countNear } = require('./png');
const { presetFigures } = require('./preset_figures');

const USAGE = 'usage: installer_images.js --movie DurabilityMenu.swf --wrapper StudioWrapper.swf --out DIR' +
  ' [--figures figures.json]';
const SCREEN = { width: 640, height: 400 };
// Rows of 30 x 1.22 pixels: the seven rows fill two thirds of the height,
// in the picture's left half; the words take the right half.
const SETUP = [0.04, 0.16, 330, 8];
const CAPTION_LEFT = 300;
// The plug-in's default colours: an item that can break is drawn gold.
const WHITE = 0xffffff;
const GOLD = 0xffd700;
const ICONS = ['armor_head', 'armor_body', 'armor_hands', 'armor_feet', 'armor_shield', 'weapon_sword',
  'default_shout'];
const NAMES = ['Iron Helmet', 'Steel Armor', 'Iron Gauntlets', 'Steel Boots', 'Steel Shield', 'Steel Sword',
  'Unrelenting Force'];

// The pictures: the durabilities and colours sent, and the words beside the
// widget, with the figures the lab measured for the presets.
function pictures(figures) {
  const { defaults, breaking, hard } = figures;
  return [
    {
      file: 'widget.png',
      durabilities: [200, 450, 150, 250, 300, 50, -1],
      colours: [WHITE, WHITE, WHITE, WHITE, WHITE, WHITE, WHITE],
      title: 'Quellmark',
      lines: ['Worn armour and wielded weapons wear with every hit.',
        'The widget lists your equipped items with their durability.',
        'Runs on game runtimes 1.5.39, 1.5.97 and 1.6.629+, with SKSE64;',
        'beyond 1.5.39 it also needs Address Library for SKSE Plugins.'],
    },
    {
      file: 'preset-defaults.png',
      durabilities: [200, 450, 150, 250, 300, 0, -1],
      colours: [WHITE, WHITE, WHITE, WHITE, WHITE, WHITE, WHITE],
      title: 'Shipped defaults: wear only',
      lines: [`A sword from a fine temper is worn out (0) after about ${defaults.wornOut} hits.`,
        'Worn-out items stay white: nothing ever breaks.'],
    },
    {
      file: 'preset-breaking.png',
      durabilities: [200, 450, 150, 250, 300, 0, -1],
      colours: [WHITE, WHITE, WHITE, WHITE, WHITE, GOLD, WHITE],
      title: 'Worn-out gear can break',
      lines: [`Wear as shipped: worn out (0) after about ${breaking.wornOut} hits.`,
        `A worn-out item turns gold: it can break on any hit, after about ${breaking.more} more.`],
    },
    {
      file: 'preset-hard.png',
      durabilities: [90, 200, 0, 120, 150, 0, -1],
      colours: [WHITE, WHITE, GOLD, WHITE, WHITE, GOLD, WHITE],
      title: 'Harder',
      lines: [`Items wear twice as fast: worn out (0) after about ${hard.wornOut} hits.`,
        `Items drawn in gold can break: about ${hard.more} hits after they are worn out.`],
    },
  ];
}

function parseArguments(argv) {
  const options = {};
  for (let i = 0; i < argv.length; i += 2) {
    const name = argv[i];
    if (!['--movie', '--wrapper', '--out', '--figures'].includes(name) || argv[i + 1] === undefined) {
      throw new Error(`unknown or incomplete argument "${name}"\n${USAGE}`);
    }
    options[name.slice(2)] = argv[i + 1];
  }
  if (!options.movie || !options.wrapper || !options.out) throw new Error(USAGE);
  for (const file of [options.movie, options.wrapper]) {
    if (!fs.statSync(file, { throwIfNoEntry: false })?.isFile()) throw new Error(`no file ${file}`);
  }
  return options;
}

function escapeHtml(text) {
  return String(text).replace(/[&<>"]/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' }[c]));
}

// The words beside the widget, laid over the player.
function captionHtml(picture) {
  return `<div style="font:bold 26px sans-serif;margin-bottom:14px">${escapeHtml(picture.title)}</div>`
    + picture.lines.map((line) => `<div style="margin-bottom:10px">${escapeHtml(line)}</div>`).join('');
}

async function waitUntilReady(movie, timeoutMs = 20000) {
  const started = Date.now();
  while ((await movie.call('Ready')) !== true) {
    if (Date.now() - started > timeoutMs) {
      throw new Error(`the shipped movie made no widget within ${timeoutMs} ms (errors: ${JSON.stringify(movie.errors)})`);
    }
    await new Promise((done) => setTimeout(done, 50));
  }
}

async function draw(session, wrapperPath, picture) {
  const movie = await openMovie(session, wrapperPath, { ...SCREEN, ready: 'Ready' });
  try {
    await waitUntilReady(movie);
    const sent = [ICONS, NAMES, picture.durabilities, picture.colours];
    if ((await movie.call('Setup', ...SETUP)) !== true || (await movie.call('UpdateMenu', ...sent)) !== true) {
      throw new Error(`the widget refused the calls for ${picture.file}`);
    }
    await movie.page.evaluate((html, left, height) => {
      const caption = document.createElement('div');
      caption.id = 'qmCaption';
      caption.style.cssText = `position:absolute;left:${left}px;top:0;width:${640 - left - 24}px;height:${height}px;`
        + 'display:flex;flex-direction:column;justify-content:center;color:#fff;font:17px/1.35 sans-serif;z-index:10';
      caption.innerHTML = html;
      document.body.appendChild(caption);
    }, captionHtml(picture), CAPTION_LEFT, SCREEN.height);
    const png = await movie.screenshot();
    await movie.page.evaluate(() => document.getElementById('qmCaption').remove());
    // The widget's white rows must show in the left part of the picture.
    const drawn = countNear(decodePng(png), { x: 0, y: 0, width: CAPTION_LEFT, height: SCREEN.height }, WHITE, 40);
    if (drawn < 500 || movie.errors.length > 0) {
      throw new Error(`${picture.file}: the widget drew ${drawn} white pixels (errors: ${JSON.stringify(movie.errors)})`);
    }
    return png;
  } finally {
    await movie.close();
  }
}

async function main() {
  let options;
  let figures;
  try {
    options = parseArguments(process.argv.slice(2));
    figures = presetFigures(options.figures);
  } catch (error) {
    console.error(`installer_images: ${error.message}`);
    return 2;
  }
  // The wrapper and the shipped movie side by side, in the folder the player serves.
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'qm-installer-images-'));
  let session = null;
  try {
    const wrapperPath = path.join(work, 'StudioWrapper.swf');
    fs.copyFileSync(options.wrapper, wrapperPath);
    fs.copyFileSync(options.movie, path.join(work, 'DurabilityMenu.swf'));
    fs.mkdirSync(options.out, { recursive: true });
    session = await openBrowser();
    // Ruffle resolves the wrapper's "DurabilityMenu.swf" against the page, not
    // the wrapper: serve the folder at the root too, after the player's own
    // mounts, which keep their place when openMovie mounts /movie/ again.
    session.server.mount('/movie/', work);
    session.server.mount('/', work);
    for (const picture of pictures(figures)) {
      const file = path.join(options.out, picture.file);
      fs.writeFileSync(file, await draw(session, wrapperPath, picture));
      console.log(file);
    }
    return 0;
  } catch (error) {
    console.error(`installer_images: ${error.message}`);
    return 1;
  } finally {
    if (session) await session.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
}

main().then((code) => { process.exitCode = code; });
