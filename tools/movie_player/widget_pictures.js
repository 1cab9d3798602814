#!/usr/bin/env node
'use strict';
// Adds to a run's HTML report what the widget looked like after each
// UpdateMenu of the run, and where it sits on three whole screens: the calls
// of the run's trace file replayed into the movie's test build in headless
// chromium, the player configured as the game loads the movie, each picture
// embedded as a data URI, so that the report stays one file that opens
// without a network.
//
//   node tools/movie_player/widget_pictures.js --trace RUN.trace --movie DurabilityMenu_test.swf
//        --report REPORT.html [--shots DIR] [--max N] [--screens WxH,WxH,...]
//
// The pictures after each update are taken on a 1920 x 1080 screen. The
// whole screens (default 1366x768, 2560x1440, 3440x1440) show the widget as
// the run's fullest update left it (the most rows shown; the first such),
// each screen drawn at a quarter of its size with its outline.
//
// Exits 2 on bad arguments or files, 1 when the movie cannot be played.
const fs = require('node:fs');
const path = require('node:path');
const { openBrowser, openMovie } = require('./player');
const { widgetClip } = require('./row_pixels');
const { aspect } = require('./screens');
const { readWidgetCalls, callsByMovie, updateSteps, SETUP, UPDATE } = require('./widget_calls');

const USAGE = 'usage: widget_pictures.js --trace RUN.trace --movie TEST.swf --report REPORT.html '
  + '[--shots DIR] [--max N] [--screens WxH,WxH,...]';
const DEFAULT_SCREENS = '1366x768,2560x1440,3440x1440';
// The whole screens are shown at this share of their size.
const SCREEN_SHOWN_AT = 0.25;
const SECTION_START = '<!-- widget pictures -->';
const SECTION_END = '<!-- end of widget pictures -->';

function parseArguments(argv) {
  const options = { max: 60, screens: DEFAULT_SCREENS };
  for (let i = 0; i < argv.length; ++i) {
    const name = argv[i];
    const value = argv[i + 1];
    if (!['--trace', '--movie', '--report', '--shots', '--max', '--screens'].includes(name) || value === undefined) {
      throw new Error(`unknown or incomplete argument "${name}"\n${USAGE}`);
    }
    options[name.slice(2)] = name === '--max' ? Number(value) : value;
    ++i;
  }
  if (!options.trace || !options.movie || !options.report) throw new Error(USAGE);
  if (!Number.isInteger(options.max) || options.max < 1) throw new Error('--max takes a whole number above 0');
  options.screens = parseScreens(options.screens);
  return options;
}

// "1366x768,2560x1440" -> [{width: 1366, height: 768}, ...]; "none" -> [].
function parseScreens(text) {
  if (text === 'none') return [];
  return text.split(',').map((item) => {
    const match = /^(\d{3,5})x(\d{3,5})$/.exec(item.trim());
    if (!match) throw new Error(`--screens takes sizes such as 1366x768, comma-separated, or none; not "${item}"`);
    return { width: Number(match[1]), height: Number(match[2]) };
  });
}

// The rows an UpdateMenu call shows: those whose icon is neither "none" nor missing.
function rowsShown(call) {
  const icons = Array.isArray(call.args[0]) ? call.args[0] : [];
  return icons.slice(0, 7).filter((icon) => typeof icon === 'string' && icon !== '' && icon !== 'none').length;
}

// The calls of one opening up to the run's fullest update (the most rows
// shown, the first such), or null when the run sent no rows.
function fullestUpdate(calls) {
  let best = null;
  for (const movieCalls of callsByMovie(calls)) {
    movieCalls.forEach((call, i) => {
      if (call.path !== UPDATE) return;
      const shown = rowsShown(call);
      if (!best || shown > best.shown) best = { shown, calls: movieCalls.slice(0, i + 1), movie: call.movie };
    });
  }
  return best;
}

// The labels of the report's table of steps, in order.
function reportSteps(html) {
  const table = /<h2>Steps<\/h2>\s*<table>([\s\S]*?)<\/table>/.exec(html);
  if (!table) return [];
  const unescape = (text) => text.replace(/&(amp|lt|gt|quot);/g, (m, name) =>
    ({ amp: '&', lt: '<', gt: '>', quot: '"' }[name]));
  return [...table[1].matchAll(/<tr><td>\d+<\/td><td class="l">(.*?)<\/td><\/tr>/g)].map((m) => unescape(m[1]));
}

function escapeHtml(text) {
  return String(text).replace(/[&<>"]/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' }[c]));
}

async function takePictures(session, options, calls, labels, steps) {
  const pictures = [];
  let updates = 0;
  for (const movieCalls of callsByMovie(calls)) {
    if (pictures.length >= options.max) break;
    const movie = await openMovie(session, options.movie);
    try {
      for (const call of movieCalls) {
        if (call.path !== SETUP && call.path !== UPDATE) continue;
        const answer = await movie.call(call.path === SETUP ? 'Setup' : 'UpdateMenu', ...call.args);
        if (answer !== true) throw new Error(`the movie threw on ${call.path} ${JSON.stringify(call.args)}`);
        if (call.path !== UPDATE) continue;
        ++updates;
        if (pictures.length >= options.max) continue;
        const png = await movie.screenshot(widgetClip(await movie.readout()));
        if (options.shots) {
          fs.mkdirSync(options.shots, { recursive: true });
          fs.writeFileSync(path.join(options.shots, `update-${updates}.png`), png);
        }
        pictures.push({ png, update: updates, movie: call.movie, label: labels[updates - 1] || '',
          step: steps[updates - 1] ?? null });
      }
    } finally {
      await movie.close();
    }
  }
  return { pictures, updates };
}

// The widget on each whole screen, as the fullest update left it, with its
// box (the Readout's) as shares of the screen.
async function takeScreens(session, options, calls) {
  const fullest = fullestUpdate(calls);
  if (!fullest || options.screens.length === 0) return { screens: [], fullest };
  const screens = [];
  for (const screen of options.screens) {
    const movie = await openMovie(session, options.movie, screen);
    try {
      for (const call of fullest.calls) {
        if (call.path !== SETUP && call.path !== UPDATE) continue;
        const answer = await movie.call(call.path === SETUP ? 'Setup' : 'UpdateMenu', ...call.args);
        if (answer !== true) throw new Error(`the movie threw on ${call.path} ${JSON.stringify(call.args)}`);
      }
      const box = (await movie.readout()).widget.box;
      const png = await movie.screenshot();
      if (options.shots) {
        fs.mkdirSync(options.shots, { recursive: true });
        fs.writeFileSync(path.join(options.shots, `screen-${screen.width}x${screen.height}.png`), png);
      }
      screens.push({ screen, box, png });
    } finally {
      await movie.close();
    }
  }
  return { screens, fullest };
}

function share(value, whole) {
  return `${((value / whole) * 100).toFixed(1)} %`;
}

function screensSection({ screens, fullest }) {
  if (screens.length === 0) return '';
  const figures = screens.map(({ screen, box, png }) => {
    const shownWidth = Math.round(screen.width * SCREEN_SHOWN_AT);
    const shownHeight = Math.round(screen.height * SCREEN_SHOWN_AT);
    const where = box.width > 0
      ? `the widget from ${share(box.x, screen.width)} to ${share(box.x + box.width, screen.width)} of the width, ` +
        `${share(box.y, screen.height)} to ${share(box.y + box.height, screen.height)} of the height`
      : 'no row shown';
    return `<figure class="widget-screen"><img data-widget-screen width="${shownWidth}" height="${shownHeight}" ` +
      `alt="the widget on a ${screen.width} x ${screen.height} screen" ` +
      `src="data:image/png;base64,${png.toString('base64')}"><figcaption>${screen.width} x ${screen.height} ` +
      `(${aspect(screen)}): ${where}</figcaption></figure>`;
  }).join('\n');
  return `<section id="widget-screens" style="flex:1 1 100%">
<h2>The widget on whole screens</h2>
<p>Where the widget lands on screens of other sizes, each drawn at a quarter of its size with its outline: the
calls of opening ${fullest.movie} up to its fullest update (${fullest.shown} rows shown) replayed into the movie,
the player configured as the game loads it (no scaling, the stage left centred). Setup's position is a share of
the screen; the widget's height keeps its share of the screen's height.</p>
<div style="display:flex;flex-wrap:wrap;align-items:flex-start;gap:16px">
${figures}
</div>
<style>figure.widget-screen{margin:0}figure.widget-screen img{display:block;outline:2px solid #222;outline-offset:0;
background:#506070}figure.widget-screen figcaption{font-size:12px;color:#555;margin-top:6px;max-width:420px}</style>
<script>window.addEventListener('load',function(){var images=document.querySelectorAll('img[data-widget-screen]'),
drawn=0;images.forEach(function(i){if(i.complete&&i.naturalWidth>0)drawn++;});var h=document.documentElement;
h.setAttribute('data-widget-screens',String(images.length));h.setAttribute('data-widget-screens-drawn',String(drawn));
});</script>
</section>`;
}

function section({ pictures, updates }, screens = '') {
  const figures = pictures.map((p) => `<figure class="widget-picture"><img data-widget-picture alt="the widget after ` +
    `UpdateMenu ${p.update}" src="data:image/png;base64,${p.png.toString('base64')}"><figcaption>UpdateMenu ` +
    `${p.update} (opening ${p.movie})${p.step === null ? '' : `, step ${p.step}`}: ${escapeHtml(p.label)}` +
    '</figcaption></figure>').join('\n');
  const shown = pictures.length < updates ? ` The first ${pictures.length} of ${updates} are shown.` : '';
  return `${SECTION_START}
<section id="widget-pictures" style="flex:1 1 320px;min-width:280px">
<h2 style="margin-top:0">The widget at each update</h2>
<p>The widget's movie as it looked after each UpdateMenu of the run: the plug-in's calls replayed into the movie
(Flash runtime: Ruffle in headless chromium).${shown}</p>
<div style="max-height:640px;overflow:auto">
${figures || '<p>The plug-in sent no rows in this run.</p>'}
</div>
<style>figure.widget-picture{margin:0 0 10px}figure.widget-picture img{display:block;max-width:100%;background:#000}
figure.widget-picture figcaption{font-size:12px;color:#555}</style>
<script>window.addEventListener('load',function(){var images=document.querySelectorAll('img[data-widget-picture]'),
drawn=0;images.forEach(function(i){if(i.complete&&i.naturalWidth>0)drawn++;});var h=document.documentElement;
h.setAttribute('data-widget-pictures',String(images.length));h.setAttribute('data-widget-pictures-drawn',String(drawn));
});</script>
</section>
${screens}
${SECTION_END}`;
}

// The pictures go beside the report's first figure (the durability plot);
// a report that already has them gets them replaced.
function insertSection(html, content) {
  const start = html.indexOf(SECTION_START);
  if (start >= 0) {
    const end = html.indexOf(SECTION_END, start);
    if (end < 0) throw new Error('the report holds the start of the widget pictures but not their end');
    return html.slice(0, start) + content + html.slice(end + SECTION_END.length);
  }
  const figureStart = html.indexOf('<figure>');
  const figureEnd = html.indexOf('</figure>', figureStart);
  if (figureStart < 0 || figureEnd < 0) throw new Error('the report has no figure to put the pictures beside');
  const afterFigure = figureEnd + '</figure>'.length;
  return html.slice(0, figureStart)
    + '<div style="display:flex;flex-wrap:wrap;align-items:flex-start;gap:16px">'
    + html.slice(figureStart, afterFigure) + '\n' + content + '\n</div>' + html.slice(afterFigure);
}

async function main() {
  let options;
  let trace;
  let html;
  try {
    options = parseArguments(process.argv.slice(2));
    trace = readWidgetCalls(fs.readFileSync(options.trace, 'utf8'), options.trace);
    html = fs.readFileSync(options.report, 'utf8');
    if (!fs.existsSync(options.movie)) throw new Error(`${options.movie}: no such file (build the movie first)`);
  } catch (error) {
    console.error(`widget_pictures: ${error.message}`);
    return 2;
  }
  const steps = updateSteps(trace.traceLines, reportSteps(html));
  const session = await openBrowser();
  let taken;
  let screens;
  try {
    taken = await takePictures(session, options, trace.calls, trace.updateLabels, steps);
    screens = await takeScreens(session, options, trace.calls);
  } finally {
    await session.close();
  }
  let updated;
  try {
    updated = insertSection(html, section(taken, screensSection(screens)));
  } catch (error) {
    console.error(`widget_pictures: ${options.report}: ${error.message}`);
    return 2;
  }
  fs.writeFileSync(options.report, updated);
  console.log(`widget_pictures: ${taken.pictures.length} picture(s) of ${taken.updates} update(s) and ` +
    `${screens.screens.length} whole screen(s) added to ${options.report}`);
  return 0;
}

if (require.main === module) {
  main().then((code) => { process.exitCode = code; }, (error) => {
    console.error(`widget_pictures: ${error.stack || error}`);
    process.exitCode = 1;
  });
}

module.exports = { insertSection, reportSteps, parseScreens, fullestUpdate };
