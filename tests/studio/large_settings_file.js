'use strict';
// A Quellmark.ini of many lines, for the benchmark and the tests: the shipped
// file with, in each of its sections, the player's comments, blank lines, a
// key of the table again and again (the line that sorts last wins) and keys
// the plug-in does not know.
function largeSettingsFile(lineCount, shippedIni) {
  const keys = { degradation: 'EquipmentHealthThreshold=5', degradationrate: 'WeaponSword=2.5',
    breakchance: 'HeavyArmor=1.5', dynamictemper: 'TemperChance=30', widget: 'Scale=-5' };
  const shipped = shippedIni.split('\r\n');
  const per = Math.ceil((lineCount - shipped.length) / 5);
  const lines = [];
  for (const line of shipped) {
    lines.push(line);
    const header = /^\[(\w+)\]$/.exec(line);
    if (!header) continue;
    for (let i = 1; i <= per; i++) {
      const kind = i % 4;
      lines.push(kind === 0 ? `; the player's note ${i}` : kind === 1 ? '' : kind === 2 ? keys[header[1].toLowerCase()] : `Unknown${i}=${i}`);
    }
  }
  lines.length = lineCount;
  return lines.join('\r\n') + '\r\n';
}

module.exports = { largeSettingsFile };
