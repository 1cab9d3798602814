// QmFigures: hits from a fine temper until an item is worn out and until it
// breaks, for every category, kind of actor and kind of attack, computed in
// the page while the player moves a slider. It repeats the plug-in's wear
// step number for number: health is a single-precision float, the loss and
// the chances are doubles, the threshold and the worn share of the chance
// are single precision, and a multiplier of 0 turns a value off even when it
// is infinite. Only the random draws are the page's own (a small seeded
// generator), so the figures match the tuning lab's within its noise, not
// draw for draw. tests/studio/figures_vs_tune.sh holds the two together.
(function (root) {
  'use strict';

  const CATEGORIES = ['WeaponSword', 'WeaponDagger', 'WeaponWarAxe', 'WeaponMace', 'WeaponGreatSword', 'WeaponHammer',
    'WeaponBattleAxe', 'WeaponBow', 'WeaponCrossbow', 'LightArmor', 'HeavyArmor', 'Clothing', 'DefaultArmor'];
  const ACTORS = ['player', 'follower', 'other'];
  const MULTIPLIER_OF = { follower: 'FollowerMultiplier', other: 'NPCMultiplier' };
  const f32 = Math.fround;
  const FINE_TEMPER = f32(1.1);
  const NEVER = 0xFFFFFFFF;
  const DEFAULT_TRIALS = 200; // as the lab's
  const DEFAULT_CAP = 100000; // hits per trial before it counts as never, as the lab's

  // 1.0 for 0, else 1 + value x 0.001, each step in single precision.
  function healthThreshold(equipmentHealthThreshold) {
    const v = equipmentHealthThreshold >>> 0;
    if (v === 0) return 1;
    return f32(f32(f32(v) * f32(0.001)) + 1);
  }

  // A factor of 0 turns the value off even when it is infinite.
  function scaledBy(value, factor) {
    return value === 0 || factor === 0 ? 0 : value * factor;
  }

  // sfc32, seeded through splitmix32: small, fast and the same everywhere.
  class Random {
    constructor(seed) {
      let s = seed >>> 0;
      const split = () => {
        s = (s + 0x9E3779B9) >>> 0;
        let z = s;
        z = Math.imul(z ^ (z >>> 16), 0x85EBCA6B);
        z = Math.imul(z ^ (z >>> 13), 0xC2B2AE35);
        return (z ^ (z >>> 16)) >>> 0;
      };
      this.a = split() | 0;
      this.b = split() | 0;
      this.c = split() | 0;
      this.d = split() | 0;
      for (let i = 0; i < 12; i++) this.next();
    }

    next() {
      const t = (((this.a + this.b) | 0) + this.d) | 0;
      this.d = (this.d + 1) | 0;
      this.a = this.b ^ (this.b >>> 9);
      this.b = (this.c + (this.c << 3)) | 0;
      this.c = ((this.c << 21) | (this.c >>> 11)) + t | 0;
      return t >>> 0;
    }

    // A real in [0, 1) from 32 bits: enough for the size of a loss.
    real32() {
      return this.next() / 4294967296;
    }

    // A real in [0, 1) from 53 bits: for break chances down to the tiniest.
    real() {
      return (this.next() * 2097152 + (this.next() >>> 11)) / 9007199254740992;
    }
  }

  // FNV-1a over the text, mixed into the seed: a case's draws depend on what
  // it computes, never on which row asked first.
  function caseSeed(seed, text) {
    let h = 0x811C9DC5 ^ (seed >>> 0);
    for (let i = 0; i < text.length; i++) h = Math.imul(h ^ text.charCodeAt(i), 0x01000193);
    return h >>> 0;
  }

  // The percentage chance of a break roll at health h (h at or below the
  // threshold); 0 when the item makes no roll. An absent multiplier is 1,
  // which leaves every value as it is.
  function chanceAt(k, h) {
    let chance = k.chance;
    if (chance === 0) return 0;
    if (k.increaseDurability && h > 1) chance = scaledBy(chance, 1 - f32(f32(h - 1) / f32(k.threshold - 1)));
    chance = scaledBy(scaledBy(chance, k.power ? k.chancePower : 1), k.actorChance === null ? 1 : k.actorChance);
    return 100 < chance ? 100 : chance; // as std::min: no number stays no number
  }

  function rateOf(k) {
    let rate = k.rate;
    if (k.power) rate = scaledBy(rate, k.ratePower);
    if (k.actorRate !== null) rate = scaledBy(rate, k.actorRate);
    return rate;
  }

  // Hits until a roll of constant chance succeeds, 1 or more: the inverse of
  // the geometric distribution, with success chance / 100 per hit.
  function hitsToSuccess(chance, random) {
    if (!(chance > 0)) return Infinity;
    const p = chance / 100;
    if (p >= 1) return 1;
    const u = 1 - random.real(); // (0, 1]
    return Math.floor(Math.log(u) / Math.log1p(-p)) + 1;
  }

  // One case's trials: hits until worn out and until broken, NEVER beyond
  // the cap, as the lab counts them (the hit that does it included).
  function simulate(k, trials, cap, random) {
    const worn = new Uint32Array(trials);
    const broken = new Uint32Array(trials);
    const T = k.threshold;
    const start = FINE_TEMPER;
    const wears = k.rate !== 0; // a category rate of 0 turns wear off; a multiplier of 0 does not
    const breaks = k.chance !== 0;
    // The break chance's terms, as chanceAt takes them, for the hits above 1.0.
    const full = k.chance;
    const increase = k.increaseDurability;
    const span1 = f32(T - 1);
    const power = k.power ? k.chancePower : 1;
    const actor = k.actorChance === null ? 1 : k.actorChance;
    const rate = rateOf(k);
    const span = (rate + 1) * (rate + 1) - rate;
    for (let t = 0; t < trials; t++) {
      let h = start;
      let hits = 0;
      let wornAt = h <= T ? 0 : NEVER;
      let brokeAt = NEVER;
      if ((wornAt === NEVER && !wears) || (wornAt === 0 && !breaks)) {
        worn[t] = wornAt;
        broken[t] = NEVER;
        continue;
      }
      // Above the threshold only wear: no roll.
      while (h > T && hits < cap) {
        hits++;
        const next = h - (rate + random.real32() * span) * 0.0001;
        h = next > 1 ? f32(next) : 1;
      }
      if (wornAt === NEVER && h <= T) wornAt = hits;
      // At or below it, a roll every hit and wear while above 1.0.
      while (breaks && hits < cap) {
        if (h <= 1 || !wears) {
          // Health no longer moves, so neither does the chance.
          const more = hitsToSuccess(chanceAt(k, h), random);
          if (hits + more <= cap) brokeAt = hits + more;
          break;
        }
        hits++;
        let chance = full;
        if (increase) chance = scaledBy(chance, 1 - f32(f32(h - 1) / span1));
        chance = scaledBy(scaledBy(chance, power), actor);
        if (chance > 100 * random.real()) {
          // A chance of 0 or no number never breaks; 100 or more always does.
          brokeAt = hits;
          break;
        }
        const next = h - (rate + random.real32() * span) * 0.0001;
        h = next > 1 ? f32(next) : 1;
      }
      worn[t] = wornAt;
      broken[t] = brokeAt;
    }
    return { worn, broken };
  }

  // p10, p50 and p90 by nearest rank, as the lab ranks them; null when the
  // median lies beyond the cap (at most hits, it never happens), and a p90
  // beyond it is null alone.
  function summarise(samples) {
    samples.sort();
    const n = samples.length;
    const rank = (q) => {
      const v = samples[Math.min(Math.max(Math.floor(q * n + 0.999999), 1), n) - 1];
      return v === NEVER ? null : v;
    };
    const p50 = rank(0.5);
    return p50 === null ? null : { p10: rank(0.1), p50, p90: rank(0.9) };
  }

  function numberOf(values, name, fallback) {
    const v = values[name];
    return typeof v === 'number' ? v : fallback;
  }

  // What one case of the wear step depends on, from the settings values.
  function caseTerms(values, category, actor, power) {
    const rate = (key, d) => numberOf(values, `DegradationRate.${key}`, d);
    const chance = (key, d) => numberOf(values, `BreakChance.${key}`, d);
    const multiplier = MULTIPLIER_OF[actor];
    return {
      threshold: healthThreshold(numberOf(values, 'Degradation.EquipmentHealthThreshold', 0)),
      increaseDurability: numberOf(values, 'Degradation.IncreaseDurability', 1) === 1,
      rate: rate(category, 3),
      chance: chance(category, 0),
      power,
      ratePower: rate('PowerAttackMultiplier', 2),
      chancePower: chance('PowerAttackMultiplier', 2),
      actorRate: multiplier ? rate(multiplier, 1) : null,
      actorChance: multiplier ? chance(multiplier, 1) : null,
    };
  }

  // Cases that come to the same numbers share one simulation: with equal
  // rates and chances, thirteen categories cost one.
  // A multiplier of 1 changes nothing (v x 1 is v, infinity included), so it
  // shares the case without it.
  function caseKey(k) {
    const factor = (on, f) => (on && f !== 1 ? f : 1);
    return [k.threshold, k.increaseDurability, k.rate, k.chance, factor(k.power, k.ratePower),
      factor(k.power, k.chancePower), factor(k.actorRate !== null, k.actorRate),
      factor(k.actorChance !== null, k.actorChance)].map(String).join('|');
  }

  function optionsOf(options) {
    const opts = options || {};
    return {
      trials: Math.max(1, Math.floor(opts.trials || DEFAULT_TRIALS)),
      cap: Math.max(1, Math.floor(opts.cap || DEFAULT_CAP)),
      seed: (opts.seed === undefined ? 5489 : opts.seed) >>> 0,
    };
  }

  // Figures already computed, by case, trials, cap and seed: a slider moves
  // one value, and only the cases that value enters are computed again. The
  // oldest go first beyond the bound.
  const remembered = new Map();
  const REMEMBERED_MAX = 4096;

  const freeze = (figure) => (figure ? Object.freeze(figure) : figure);

  function figuresOf(k, opts) {
    const key = caseKey(k);
    const entry = `${key}|${opts.trials}|${opts.cap}|${opts.seed}`;
    let figures = remembered.get(entry);
    if (!figures) {
      const samples = simulate(k, opts.trials, opts.cap, new Random(caseSeed(opts.seed, key)));
      figures = Object.freeze({ worn: freeze(summarise(samples.worn)), broken: freeze(summarise(samples.broken)) });
      if (remembered.size >= REMEMBERED_MAX) remembered.delete(remembered.keys().next().value);
      remembered.set(entry, figures);
    }
    return figures;
  }

  // One row: the category's item, the actor ("player", "follower" or
  // "other") and the kind of attack. Followers and other actors are worn as
  // with OnlyPlayer off.
  function computeCase(values, category, actor, power, options) {
    if (!CATEGORIES.includes(category) || !ACTORS.includes(actor)) {
      throw new Error(`no such case: ${category} ${actor}`);
    }
    const row = { category, actor, power: Boolean(power), worn: null, broken: null };
    if (numberOf(values, 'Degradation.DisableDegradation', 0) !== 0) return row; // no sinks: nothing wears
    const figures = figuresOf(caseTerms(values, category, actor, row.power), optionsOf(options));
    row.worn = figures.worn;
    row.broken = figures.broken;
    return row;
  }

  // Every category, actor and kind of attack.
  function compute(values, options) {
    const opts = optionsOf(options);
    const rows = [];
    for (const actor of ACTORS) {
      for (const power of [false, true]) {
        for (const category of CATEGORIES) rows.push(computeCase(values, category, actor, power, opts));
      }
    }
    return {
      rows,
      startHealth: 1.1,
      threshold: healthThreshold(numberOf(values, 'Degradation.EquipmentHealthThreshold', 0)),
      degradationOff: numberOf(values, 'Degradation.DisableDegradation', 0) !== 0,
      trials: opts.trials,
      cap: opts.cap,
    };
  }

  const QmFigures = { compute, computeCase, forget: () => remembered.clear(), categories: CATEGORIES.slice(), actors: ACTORS.slice(), healthThreshold };
  root.QmFigures = QmFigures;
  if (typeof module !== 'undefined' && module.exports) module.exports = QmFigures;
})(typeof window !== 'undefined' ? window : globalThis);
