#!/usr/bin/env node
'use strict';
// The installer's figures for its presets, as its pictures and option
// descriptions say them: a sword's hits from a fine temper until it is worn
// out and, after that, until it breaks, rounded to five ("about 105 hits",
// "about 45 more"). They come from packaging/presets/figures.json, which
// packaging/presets/preset_table.sh writes from the same measurement as the
// README's table of presets and CI checks against a new one.
//
//   node tools/movie_player/preset_figures.js [FIGURES.json]
//
// prints the placeholders of packaging/fomod/ModuleConfig.xml with their
// values, one NAME=VALUE a line, for make_package.sh.
const fs = require('node:fs');
const path = require('node:path');

const FIGURES = path.resolve(__dirname, '../../packaging/presets/figures.json');

const about = (hits) => Math.round(hits / 5) * 5;

// { defaults: { wornOut }, breaking: { wornOut, more }, hard: { wornOut, more } }
function presetFigures(file = FIGURES) {
  const measured = JSON.parse(fs.readFileSync(file, 'utf8'));
  const figures = {};
  for (const preset of ['defaults', 'breaking', 'hard']) {
    const { wornOut, broken } = measured[preset] || {};
    if (!Number.isFinite(wornOut) || !(broken === null || Number.isFinite(broken))) {
      throw new Error(`${file}: no figures for the preset ${preset}`);
    }
    figures[preset] = { wornOut: about(wornOut), more: broken === null ? null : about(broken) - about(wornOut) };
  }
  if (figures.defaults.more !== null) throw new Error(`${file}: the shipped defaults never break`);
  if (figures.breaking.more === null || figures.hard.more === null) {
    throw new Error(`${file}: the presets that break have no figure for breaking`);
  }
  return figures;
}

function placeholders(figures) {
  return {
    DEFAULTS_WORN_OUT: figures.defaults.wornOut,
    BREAKING_WORN_OUT: figures.breaking.wornOut,
    BREAKING_MORE: figures.breaking.more,
    HARD_WORN_OUT: figures.hard.wornOut,
    HARD_MORE: figures.hard.more,
  };
}

if (require.main === module) {
  try {
    const values = placeholders(presetFigures(process.argv[2]));
    for (const [name, value] of Object.entries(values)) console.log(`${name}=${value}`);
  } catch (error) {
    console.error(`preset_figures: ${error.message}`);
    process.exit(2);
  }
}

module.exports = { presetFigures, placeholders, about };
