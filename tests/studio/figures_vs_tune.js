// Holds the studio's figures to the plug-in's own: random settings, each
// written as a Quellmark.ini and measured by `qm tune` through the plug-in
// in the game double, must give the same medians (hits from a fine temper
// until worn out and until broken) as QmFigures computes in the page.
//
//   node tests/studio/figures_vs_tune.js QM [--settings N] [--seed S] [--jobs J]
//
// A median agrees when it lies within 5 % of the lab's, or within one hit:
// below 20 hits 5 % is less than a hit, and the lab counts whole hits. Both
// must say "never" together. The noise of a median comes from the hits after
// the item is worn out (a run of break rolls: the median of n such trials
// moves by about 1.44 / sqrt(n) of itself); the wear before is nearly
// constant. So each case gets lab and model trials by the share of those
// hits in the median: up to 20000 for the lab and 100000 for the model, so
// that 5 % is over four standard deviations of the difference.
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFile } = require('child_process');
const QmFigures = require('../../tools/studio/figures/page/figures.js');

const TOLERANCE = 0.05;
const MODEL_TRIALS = [20000, 100000];
const LAB_TRIALS = [1500, 20000];
const CAP = 100000;

function parseArguments(argv) {
  const args = { qm: argv[0], settings: 24, seed: 20261208, jobs: 2 };
  for (let i = 1; i < argv.length; i++) {
    const name = argv[i];
    const value = Number(argv[i + 1]);
    if (!['--settings', '--seed', '--jobs'].includes(name) || !Number.isInteger(value) || value < 1) {
      throw new Error(`unexpected argument "${name}"`);
    }
    args[name.slice(2)] = value;
    i++;
  }
  if (!args.qm || !fs.existsSync(args.qm)) throw new Error(`usage: figures_vs_tune.js QM [--settings N] [--seed S] [--jobs J]`);
  return args;
}

// mulberry32: the settings drawn depend on the seed alone.
function random32(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6D2B79F5) >>> 0;
    let t = Math.imul(a ^ (a >>> 15), 1 | a);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// Four significant digits: the text the file holds is the number the page has.
const round4 = (x) => Number(x.toPrecision(4));

function drawSettings(random) {
  const logUniform = (low, high) => round4(low * Math.pow(high / low, random()));
  const pick = (list) => list[Math.floor(random() * list.length)];
  const values = {
    'Degradation.OnlyPlayer': random() < 0.5 ? 1 : 0,
    'Degradation.IncreaseDurability': random() < 0.5 ? 1 : 0,
    'Degradation.EquipmentHealthThreshold': pick([0, 0, 0, 10, 25, 40, 60, 80, 99, 100, 150]),
  };
  for (const category of QmFigures.categories) {
    values[`DegradationRate.${category}`] = random() < 0.05 ? 0 : logUniform(0.5, 15);
    values[`BreakChance.${category}`] = random() < 0.2 ? 0 : logUniform(0.3, 20);
  }
  for (const key of ['PowerAttackMultiplier', 'FollowerMultiplier', 'NPCMultiplier']) {
    values[`DegradationRate.${key}`] = random() < 0.05 ? 0 : logUniform(0.3, 4);
    values[`BreakChance.${key}`] = random() < 0.05 ? 0 : logUniform(0.5, 3);
  }
  return values;
}

function iniText(values) {
  const sections = ['Degradation', 'DegradationRate', 'BreakChance'];
  const lines = [];
  for (const section of sections) {
    lines.push(`[${section}]`);
    for (const [name, value] of Object.entries(values)) {
      const [s, key] = name.split('.');
      if (s !== section) continue;
      const boolean = key === 'OnlyPlayer' || key === 'IncreaseDurability';
      lines.push(`${key}=${boolean ? (value ? 'true' : 'false') : String(value)}`);
    }
  }
  return lines.join('\r\n') + '\r\n';
}

// Besides the random settings, the extremes: an infinite rate wears to 1.0
// in one hit, a chance of 100 or more always breaks, a multiplier of 0 turns
// an infinite chance off but leaves a rate of up to 0.0001 a hit.
const EXTREMES = {
  values: {
    'Degradation.EquipmentHealthThreshold': 30,
    'DegradationRate.WeaponSword': Infinity,
    'DegradationRate.WeaponDagger': 0.0001,
    'DegradationRate.FollowerMultiplier': Infinity,
    'DegradationRate.NPCMultiplier': 0,
    'BreakChance.WeaponSword': 150,
    'BreakChance.WeaponDagger': Infinity,
    'BreakChance.FollowerMultiplier': Infinity,
    'BreakChance.NPCMultiplier': 0,
  },
  cases: [
    { category: 'WeaponSword', actor: 'player', power: false },
    { category: 'WeaponDagger', actor: 'follower', power: false },
    { category: 'WeaponDagger', actor: 'other', power: true },
    { category: 'WeaponMace', actor: 'follower', power: false },
  ],
};

// One case of each actor, ordinary and power attacks mixed, on random categories.
function drawCases(random) {
  const category = () => QmFigures.categories[Math.floor(random() * QmFigures.categories.length)];
  return [
    { category: category(), actor: 'player', power: false },
    { category: category(), actor: 'player', power: true },
    { category: category(), actor: 'follower', power: random() < 0.5 },
    { category: category(), actor: 'other', power: random() < 0.5 },
  ];
}

// "53.0 50 53 56", "53.0 50 53 never  12 never" or "never": the median, or null for never.
function medianOf(text) {
  const words = text.trim().split(/\s+/);
  if (words[0] === 'never') return null;
  if (words.length < 4) throw new Error(`cannot read "${text}"`);
  return words[2] === 'never' ? null : Number(words[2]);
}

function parseTable(output) {
  const rows = [];
  let group = null;
  for (const line of output.split('\n')) {
    const header = /^(player|follower|other actor), (ordinary|power) attacks$/.exec(line);
    if (header) {
      group = { actor: header[1] === 'other actor' ? 'other' : header[1], power: header[2] === 'power' };
      continue;
    }
    const row = /^ {2}(\w+) +([0-9.]+) \| (.*?) \| (.*)$/.exec(line);
    if (row && group && row[1] !== 'category') {
      rows.push(Object.assign({ category: row[1], start: Number(row[2]), worn: medianOf(row[3]),
        broken: medianOf(row[4]) }, group));
    }
  }
  return rows;
}

function runLab(qm, file, c, trials, seed) {
  const args = ['tune', file, '--case', `${c.category} ${c.actor}${c.power ? ' power' : ''}`, '--start', '1.1',
    '--trials', String(trials), '--cap', String(CAP), '--seed', String(seed), '--workers', '1', '--quiet'];
  return new Promise((resolve, reject) => {
    execFile(qm, args, { maxBuffer: 1 << 20 }, (error, stdout, stderr) => {
      if (error) return reject(new Error(`qm ${args.join(' ')} failed: ${error.message}\n${stdout}${stderr}`));
      const rows = parseTable(stdout);
      if (rows.length !== 1) return reject(new Error(`qm ${args.join(' ')}: expected one row in\n${stdout}`));
      return resolve(rows[0]);
    });
  });
}

// The share of the median until broken that the break rolls after wearing
// out take: 0 when the item never breaks.
function rollShare(model) {
  if (!model.broken) return 0;
  return (model.broken.p50 - (model.worn ? model.worn.p50 : 0)) / Math.max(1, model.broken.p50);
}

function trialsFor(share, [least, most]) {
  return Math.max(least, Math.min(most, Math.ceil(most * share * share)));
}

function compare(model, lab) {
  if (model === null || lab === null) return { ok: model === lab, relative: model === lab ? 0 : Infinity };
  const difference = Math.abs(model - lab);
  const relative = lab === 0 ? (difference === 0 ? 0 : Infinity) : difference / lab;
  return { ok: difference <= Math.max(1, TOLERANCE * lab), relative };
}

async function inParallel(tasks, jobs) {
  const results = new Array(tasks.length);
  let next = 0;
  const worker = async () => {
    while (next < tasks.length) {
      const index = next++;
      results[index] = await tasks[index]();
    }
  };
  await Promise.all(Array.from({ length: jobs }, worker));
  return results;
}

async function main() {
  const args = parseArguments(process.argv.slice(2));
  const random = random32(args.seed);
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'qm-figures-'));
  const work = [];
  let modelSeconds = 0;
  let modelCount = 0;
  try {
    for (let s = 0; s <= args.settings; s++) {
      const extremes = s === args.settings;
      const values = extremes ? EXTREMES.values : drawSettings(random);
      const file = path.join(folder, `settings${s + 1}.ini`);
      fs.writeFileSync(file, iniText(values));
      for (const c of extremes ? EXTREMES.cases : drawCases(random)) {
        const began = process.hrtime.bigint();
        const figures = (trials) => QmFigures.computeCase(values, c.category, c.actor, c.power, { trials, seed: s + 1 });
        let model = figures(MODEL_TRIALS[0]);
        const share = rollShare(model);
        const modelTrials = trialsFor(share, MODEL_TRIALS);
        if (modelTrials > MODEL_TRIALS[0]) model = figures(modelTrials);
        modelSeconds += Number(process.hrtime.bigint() - began) / 1e9;
        modelCount += modelTrials;
        work.push({ setting: s + 1, file, c, model, trials: trialsFor(share, LAB_TRIALS), labSeed: (args.seed + s) >>> 0 });
      }
    }
    const labs = await inParallel(work.map((w) => () => runLab(args.qm, w.file, w.c, w.trials, w.labSeed)), args.jobs);

    let failures = 0;
    let worst = { relative: -1 };
    let worstAbove20 = { relative: -1 };
    let compared = 0;
    let informative = 0;
    const show = (f) => (f === null ? 'never' : String(f));
    console.log(`Settings 1 to ${args.settings} are drawn at random (seed ${args.seed}); ${args.settings + 1} holds the extremes.`);
    console.log('setting case                                 trials | worn out: model  lab | broken: model  lab');
    work.forEach((w, i) => {
      const lab = labs[i];
      const medians = [['worn', w.model.worn && w.model.worn.p50, lab.worn],
        ['broken', w.model.broken && w.model.broken.p50, lab.broken]];
      const cells = [];
      for (const [what, model, measured] of medians) {
        const result = compare(model, measured);
        compared++;
        if (!result.ok) failures++;
        const entry = { relative: result.relative, text: `setting ${w.setting} ${w.c.category} ${w.c.actor}` +
          `${w.c.power ? ' power' : ''} ${what}: model ${show(model)}, lab ${show(measured)}` };
        if (result.relative > worst.relative) worst = entry;
        if (measured !== null && measured >= 20) informative++;
        if (measured !== null && measured >= 20 && result.relative > worstAbove20.relative) worstAbove20 = entry;
        cells.push(`${show(model).padStart(6)} ${show(measured).padStart(6)}${result.ok ? ' ' : '*'}`);
      }
      const name = `${w.c.category} ${w.c.actor}${w.c.power ? ' power' : ''}`;
      console.log(`${String(w.setting).padStart(7)} ${name.padEnd(36)} ${String(w.trials).padStart(6)} |` +
        `      ${cells[0]} |      ${cells[1]}`);
    });
    const percent = (e) => (e.relative === Infinity ? 'infinite' : `${(100 * e.relative).toFixed(2)} %`);
    console.log(`\n${compared} medians over ${args.settings} random settings and the extremes, ${informative} of them 20 hits or more; ` +
      `the model's ${work.length} cases took ${modelSeconds.toFixed(2)} s (${modelCount} trials).`);
    console.log(`Largest deviation: ${percent(worst)} (${worst.text}).`);
    if (worstAbove20.relative >= 0) {
      console.log(`Largest deviation of a median of 20 hits or more: ${percent(worstAbove20)} (${worstAbove20.text}).`);
    }
    if (failures > 0) {
      console.log(`${failures} median(s), marked *, beyond 5 % and one hit of the lab's.`);
      process.exitCode = 1;
    } else {
      console.log('Every median within 5 % of the lab\'s, or within one hit.');
    }
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

if (require.main === module) {
  main().catch((error) => {
    console.error(`figures_vs_tune: ${error.message}`);
    process.exitCode = 2;
  });
}
module.exports = { random32, drawSettings, drawCases, iniText, parseTable };
