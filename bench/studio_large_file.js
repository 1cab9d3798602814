'use strict';
// Times the studio's load and export of a Quellmark.ini of a million lines
// under node (the V8 of Chromium): the check by the plug-in's reader in
// WebAssembly, and the export written into the player's lines and encoded.
// Prints each run (its wall-clock and processor time: on a busy machine the
// first is mostly waiting) and the median of the wall-clock times.
//
//   node bench/studio_large_file.js [RUNS] [LINES]   (default 5 runs, 1000000 lines)
const { QmSettings } = require('../tests/studio/settings_env');
const { largeSettingsFile } = require('../tests/studio/large_settings_file');

async function main() {
  const runs = Number(process.argv[2] || 5);
  const count = Number(process.argv[3] || 1000000);
  const text = largeSettingsFile(count, QmSettings.data.shippedIni);
  const bytes = QmSettings.bytes.encode(text, 'cp1252').bytes;
  const times = [];
  for (let run = 0; run < runs; run++) {
    const cpu = process.cpuUsage();
    const started = process.hrtime.bigint();
    const decoded = QmSettings.bytes.decode(bytes);
    if (QmSettings.bytes.notSettingsText(bytes)) throw new Error('the file was refused');
    const read = await QmSettings.check(bytes, null, ['Skyrim.esm']);
    const loaded = process.hrtime.bigint();
    const plan = QmSettings.planIni(read.values, decoded.text);
    const out = QmSettings.bytes.encode(plan.text, decoded.encoding);
    const done = process.hrtime.bigint();
    const ms = (a, b) => Number(b - a) / 1e6;
    times.push(ms(started, done));
    const used = process.cpuUsage(cpu);
    console.log(`run ${run + 1}: load ${ms(started, loaded).toFixed(0)} ms, export ${ms(loaded, done).toFixed(0)} ms, ` +
      `${((used.user + used.system) / 1000).toFixed(0)} ms of processor time ` +
      `(${read.problems.length} problems, ${plan.changes.length} lines changed, ${out.bytes.length} bytes)`);
  }
  times.sort((a, b) => a - b);
  console.log(`${count} lines: load and export, median of ${runs}: ${times[Math.floor(runs / 2)].toFixed(0)} ms`);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
