'use strict';
// What the movie should show for the rows the plug-in sends, compared with
// what the test build's Readout reports.

const ROWS = 7;
const ELLIPSES = ['\u2026', '...'];

// The seven rows UpdateMenu's four arrays describe, when the plug-in's
// values are all usable (strings, numbers, seven of each).
function expectedRows([icons, names, durabilities, colours]) {
  const rows = [];
  for (let i = 0; i < ROWS; ++i) {
    const icon = icons[i];
    rows.push({
      blank: icon === 'none',
      icon,
      name: names[i],
      durability: durabilities[i] < 0 ? '' : String(Math.round(durabilities[i])),
      colour: colours[i],
    });
  }
  return rows;
}

// The shown name is the full name, or a strict prefix of it followed by an ellipsis.
function nameMatches(full, shown) {
  if (shown === full) return true;
  const ellipsis = ELLIPSES.find((e) => shown.endsWith(e));
  if (!ellipsis) return false;
  const kept = shown.slice(0, shown.length - ellipsis.length);
  return kept.length < full.length && full.startsWith(kept.trimEnd());
}

// The differences between the expected and the shown rows, as readable lines.
function rowProblems(expected, shown, where) {
  const problems = [];
  if (!Array.isArray(shown) || shown.length !== ROWS) {
    return [`${where}: the readout has ${Array.isArray(shown) ? shown.length : 'no'} rows, not ${ROWS}`];
  }
  expected.forEach((want, i) => {
    const got = shown[i];
    const at = `${where}, row ${i + 1}`;
    if (want.blank) {
      if (got.visible) problems.push(`${at}: icon "none" but the row is shown (${JSON.stringify(got)})`);
      return;
    }
    if (!got.visible) problems.push(`${at}: the row is hidden`);
    if (got.icon !== want.icon) {
      problems.push(`${at}: icon ${JSON.stringify(got.icon)}, sent ${JSON.stringify(want.icon)}`);
    }
    if (!nameMatches(want.name, got.name)) {
      problems.push(`${at}: name ${JSON.stringify(got.name)}, sent ${JSON.stringify(want.name)}`);
    }
    if (got.durability !== want.durability) {
      problems.push(`${at}: durability ${JSON.stringify(got.durability)}, expected ${JSON.stringify(want.durability)}`);
    }
    if (got.colour !== want.colour) {
      problems.push(`${at}: colour ${hex(got.colour)}, sent ${hex(want.colour)}`);
    }
  });
  return problems;
}

function hex(colour) {
  return typeof colour === 'number' ? `#${colour.toString(16).toUpperCase().padStart(6, '0')}` : String(colour);
}

module.exports = { ROWS, expectedRows, nameMatches, rowProblems, hex };

// Where Setup's fractions of the stage put the widget's top-left, in stage pixels.
function widgetOrigin(stage, x, y) {
  return { x: x * stage.width, y: y * stage.height };
}

module.exports.widgetOrigin = widgetOrigin;
