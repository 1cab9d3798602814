// The model's own rules, where the comparison with the lab cannot see them:
// the lab counts whole hits, and the comparison allows one.
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const QmFigures = require('../../tools/studio/figures/page/figures.js');

test('the threshold is single precision: 100 makes a fine temper worn out from the start', () => {
  // In double, 1.1 < float(1.1): the item would need a hit first.
  assert.strictEqual(QmFigures.healthThreshold(100), Math.fround(1.1));
  const row = QmFigures.computeCase({ 'Degradation.EquipmentHealthThreshold': 100 }, 'WeaponSword', 'player', false,
    { trials: 50 });
  assert.deepStrictEqual(row.worn, { p10: 0, p50: 0, p90: 0 });
  const below = QmFigures.computeCase({ 'Degradation.EquipmentHealthThreshold': 99 }, 'WeaponSword', 'player', false,
    { trials: 50 });
  assert.ok(below.worn.p10 >= 1);
  // A value read from -1 is held as 4294967295: every item is worn out.
  assert.ok(QmFigures.healthThreshold(-1) > 4e6);
});

test('the same seed gives the same figures, another seed others', () => {
  const values = { 'BreakChance.WeaponSword': 2, 'DegradationRate.WeaponSword': 1.5 };
  const a = QmFigures.compute(values, { seed: 7, trials: 300 });
  QmFigures.forget(); // computed again, not remembered
  const b = QmFigures.compute(values, { seed: 7, trials: 300 });
  const c = QmFigures.compute(values, { seed: 8, trials: 300 });
  assert.deepStrictEqual(a, b);
  assert.notDeepStrictEqual(a.rows, c.rows);
  assert.strictEqual(a.rows.length, 13 * 3 * 2);
});

test('beyond the cap is never; with degradation off nothing wears', () => {
  const values = { 'BreakChance.HeavyArmor': 0.001 }; // about 69000 hits at the median
  const row = QmFigures.computeCase(values, 'HeavyArmor', 'other', true, { trials: 100, cap: 1000 });
  assert.ok(row.worn.p50 > 0);
  assert.strictEqual(row.broken, null);
  const off = QmFigures.compute({ 'Degradation.DisableDegradation': 1 }, { trials: 10 });
  assert.ok(off.degradationOff && off.rows.every((r) => r.worn === null && r.broken === null));
});
