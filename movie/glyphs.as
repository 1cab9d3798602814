// The widget's icons: every icon name the plug-in sends maps to a glyph, a
// vector shape drawn in the row's colour by DrawGlyph.
//
// A shape is a path on a 24 x 24 grid centred on (0, 0), y growing down:
//   M x y      start a new filled part at (x, y)
//   m x y      start a hole or another outline inside the current part
//   L x y      line to (x, y)
//   Q cx cy x y  curve through the control point (cx, cy) to (x, y)
//   O x y r    a circle, clockwise; a negative r runs it the other way
// Parts are filled one after the other, so overlapping parts simply merge.
// A hole (m, or a second circle) runs against its part's outline, so that it
// stays open under both the even-odd and the non-zero fill rule.
// A glyph is [shape, rotation in degrees, style]: "solid" fills the shape,
// "light" draws its outline over a faint fill (light armour, beside the solid
// heavy armour of the same slot).

var SHAPES = {
  sword: "M 0 -12 L 2 -9 L 2 4 L -2 4 L -2 -9 M -6 4 L 6 4 L 6 6 L -6 6 M -1 6 L 1 6 L 1 10 L -1 10 M -2 10 L 2 10 L 2 12 L -2 12",
  greatsword: "M 0 -12 L 3 -8 L 3 5 L -3 5 L -3 -8 M -7 5 L 7 5 L 7 7 L -7 7 M -1.5 7 L 1.5 7 L 1.5 11 L -1.5 11 M -2.5 11 L 2.5 11 L 2.5 12.5 L -2.5 12.5",
  daedric: "M 0 -12 L 3 -8 L 1.5 -6 L 3 -4 L 1.5 -2 L 3 0 L 2 4 L -2 4 L -3 0 L -1.5 -2 L -3 -4 L -1.5 -6 L -3 -8 M -7 3 L -4 5 L 4 5 L 7 3 L 6 6 L -6 6 M -1 6 L 1 6 L 1 10 L -1 10 M 0 9 L 2 11 L 0 13 L -2 11",
  dagger: "M 0 -9 L 2 -5 L 2 3 L -2 3 L -2 -5 M -5 3 L 5 3 L 5 5 L -5 5 M -1 5 L 1 5 L 1 9 L -1 9 M -2 9 L 2 9 L 2 11 L -2 11",
  waraxe: "M -1 -10 L 1 -10 L 1 12 L -1 12 M 1 -9 Q 6 -9 9 -12 Q 7 -5 9 2 Q 6 -1 1 -2",
  battleaxe: "M -1 -12 L 1 -12 L 1 12 L -1 12 M 1 -9 Q 6 -9 9 -12 Q 7 -5 9 2 Q 6 -1 1 -2 M -1 -9 Q -6 -9 -9 -12 Q -7 -5 -9 2 Q -6 -1 -1 -2",
  woodaxe: "M -1 -10 L 1 -10 L 1 12 L -1 12 M 1 -10 L 7 -11 L 8 -3 L 1 -5",
  pickaxe: "M -1 -8 L 1 -8 L 1 12 L -1 12 M -11 -4 Q 0 -13 11 -4 Q 0 -9 -11 -4",
  mace: "M -1 -3 L 1 -3 L 1 12 L -1 12 M 0 -12 L 3 -9 L 5 -9 L 4 -6 L 5 -3 L 2 -3 L 0 -4 L -2 -3 L -5 -3 L -4 -6 L -5 -9 L -3 -9",
  warhammer: "M -1 -5 L 1 -5 L 1 12 L -1 12 M -7 -11 L 7 -11 L 7 -5 L -7 -5",
  staff: "M -1 -6 L 1 -6 L 1 12 L -1 12 M 0 -9 O 0 -9 3.5",
  bow: "M -3 -12 Q 11 0 -3 12 L -5 11 Q 7 0 -5 -11 M -4.6 -10 L -3.6 -10 L -3.6 10 L -4.6 10",
  crossbow: "M -1.5 -8 L 1.5 -8 L 1.5 12 L -1.5 12 M -11 -5 Q 0 -11 11 -5 L 11 -3 Q 0 -9 -11 -3 M -10 -3 L 10 -3 L 10 -2 L -10 -2",
  arrow: "M -0.8 -8 L 0.8 -8 L 0.8 10 L -0.8 10 M 0 -12 L 3 -7 L -3 -7 M -3 12 L -0.8 8 L -0.8 11 M 3 12 L 0.8 8 L 0.8 11",
  bolt: "M 0 -9 L 3 -4 L -3 -4 M -1 -4 L 1 -4 L 1 8 L -1 8 M -3 10 L -1 6 L -1 9 M 3 10 L 1 6 L 1 9",

  cuirass: "M -8 -10 L -3 -11 Q 0 -8 3 -11 L 8 -10 L 11 -6 L 8 -3 L 7 10 Q 0 12 -7 10 L -8 -3 L -11 -6",
  helmet: "M -8 2 Q -9 -11 0 -11 Q 9 -11 8 2 L 8 10 L 3 10 L 3 3 L -3 3 L -3 10 L -8 10",
  gauntlet: "M -7 12 L -7 1 L -10 -3 L -8 -5 L -5 -1 L -5 -10 L -3 -10 L -3 -3 L -2 -3 L -2 -12 L 0 -12 L 0 -3 L 1 -3 L 1 -11 L 3 -11 L 3 -3 L 4 -3 L 4 -9 L 6 -9 L 6 4 L 4 12",
  bracer: "M -6 -10 L 6 -10 L 5 10 L -5 10 M -7 -6 L 7 -6 L 7 -4 L -7 -4 M -6.5 4 L 6.5 4 L 6.5 6 L -6.5 6",
  boot: "M -5 -11 L 3 -11 L 3 4 L 10 7 L 10 11 L -5 11",
  greaves: "M -6 -11 L 6 -11 L 5 3 L 3 11 L -3 11 L -5 3 M -7 -3 L 7 -3 L 7 -1 L -7 -1",
  shield: "M -9 -10 Q 0 -13 9 -10 L 9 -2 Q 8 7 0 12 Q -8 7 -9 -2",
  mask: "M -8 -8 Q 0 -12 8 -8 L 8 0 Q 6 9 0 11 Q -6 9 -8 0 m -6 -2 L -2 -1 L -1 -4 L -6 -4 m 6 -4 L 1 -4 L 2 -1 L 6 -2",
  tunic: "M -7 -11 L -3 -11 Q 0 -8 3 -11 L 7 -11 L 11 -5 L 8 -3 L 7 -6 L 7 11 L -7 11 L -7 -6 L -8 -3 L -11 -5",
  robe: "M -6 -11 L -2 -11 Q 0 -9 2 -11 L 6 -11 L 10 -4 L 7 -3 L 6 -6 L 9 11 L -9 11 L -6 -6 L -7 -3 L -10 -4",
  hood: "M 0 -11 Q 9 -11 9 0 L 9 9 L 5 9 Q 6 -1 0 -1 Q -6 -1 -5 9 L -9 9 L -9 0 Q -9 -11 0 -11",
  trousers: "M -8 -11 L 8 -11 L 9 11 L 2 11 L 0 -3 L -2 11 L -9 11",
  glove: "M -6 11 L -6 -2 L -9 -5 L -7 -7 L -4 -4 L -4 -9 Q 0 -12 4 -9 L 6 4 L 5 11",
  shoe: "M -7 -3 L 1 -3 L 2 3 L 10 5 L 10 9 L -7 9",
  amulet: "M -7 -11 Q 0 6 7 -11 L 6 -11 Q 0 4 -6 -11 M 0 1 L 4 6 L 0 11 L -4 6",
  ring: "M 0 2 O 0 2 9 O 0 2 -6 M -3 -8 L 0 -12 L 3 -8 L 0 -6",
  circlet: "M -11 0 Q 0 -6 11 0 L 11 3 Q 0 -3 -11 3 M 0 -9 L 3 -5 L 0 -1 L -3 -5",

  flame: "M 0 -12 Q 6 -4 5 3 Q 4 11 0 11 Q -4 11 -5 3 Q -6 -3 -2 -7 Q -2 -2 0 0 Q 2 -5 0 -12",
  snowflake: "M -1 -11 L 1 -11 L 1 11 L -1 11 M 9 6.4 L 10 4.6 L -9 -6.4 L -10 -4.6 M 10 -4.6 L 9 -6.4 L -10 4.6 L -9 6.4",
  lightning: "M 3 -12 L -6 1 L -1 1 L -4 12 L 7 -3 L 1 -3 L 5 -12",
  hexagon: "M 0 -11 L 9.5 -5.5 L 9.5 5.5 L 0 11 L -9.5 5.5 L -9.5 -5.5 m 0 -6 L -5.2 -3 L -5.2 3 L 0 6 L 5.2 3 L 5.2 -3 M 0 0 O 0 0 2.5",
  eye: "M -11 0 Q 0 -10 11 0 Q 0 10 -11 0 O 0 0 -4.5 M 0 0 O 0 0 2.2",
  star: "M 0 -11 L 2.6 -3.6 L 10.5 -3.4 L 4.3 1.4 L 6.5 8.9 L 0 4.5 L -6.5 8.9 L -4.3 1.4 L -10.5 -3.4 L -2.6 -3.6",
  cross: "M -3 -11 L 3 -11 L 3 -3 L 11 -3 L 11 3 L 3 3 L 3 11 L -3 11 L -3 3 L -11 3 L -11 -3 L -3 -3",
  spark: "M 0 -12 L 3 -3 L 12 0 L 3 3 L 0 12 L -3 3 L -12 0 L -3 -3",
  shout: "M -11 -3 L -7 -3 L -7 3 L -11 3 M -4 -8 Q 2 0 -4 8 L -6 7 Q -1 0 -6 -7 M 1 -10 Q 9 0 1 10 L -1 9 Q 6 0 -1 -9 M 6 -12 Q 16 0 6 12 L 4 11 Q 13 0 4 -11",
  sun: "M 0 0 O 0 0 5 M -2 -7 L 0 -12 L 2 -7 M -2 7 L 0 12 L 2 7 M -7 -2 L -12 0 L -7 2 M 7 -2 L 12 0 L 7 2",

  scroll: "M -7 -9 L 7 -9 L 7 9 L -7 9 m -4 -4 L 4 -4 L 4 -5 L -4 -5 m -4 0 L 4 0 L 4 -1 L -4 -1 m -4 4 L 4 4 L 4 3 L -4 3 M -9 -12 L 9 -12 L 9 -8 L -9 -8 M -9 8 L 9 8 L 9 12 L -9 12",
  book: "M -8 -11 L 9 -11 L 9 11 L -8 11 m -5 -4 L 6 -4 L 6 -7 L -5 -7 M -10 -11 L -8 -11 L -8 11 L -10 11",
  torch: "M -1.5 -2 L 1.5 -2 L 1 12 L -1 12 M 0 -12 Q 5 -7 3 -3 L -3 -3 Q -5 -7 0 -12 M -3 -3 L 3 -3 L 2.5 0 L -2.5 0",
  potion: "M -2 -12 L 2 -12 L 2 -6 Q 9 -3 9 4 Q 9 11 0 11 Q -9 11 -9 4 Q -9 -3 -2 -6",
  food: "M 0 -6 Q 9 -10 9 1 Q 8 11 0 11 Q -8 11 -9 1 Q -9 -10 0 -6 M 0 -7 L 1 -12 L 2 -11 L 1 -6",
  leaf: "M -10 10 Q -10 -10 10 -10 Q 10 10 -10 10",
  key: "M -7 0 O -7 0 5 O -7 0 -2 M -3 -1 L 11 -1 L 11 1 L -3 1 M 7 1 L 9 1 L 9 5 L 7 5 M 3 1 L 5 1 L 5 4 L 3 4",
  gem: "M -7 -4 L -3 -10 L 3 -10 L 7 -4 L 0 12",
  sack: "M -4 -10 L 4 -10 L 2 -5 Q 11 0 9 7 Q 8 11 0 11 Q -8 11 -9 7 Q -11 0 -2 -5",
  diamond: "M 0 -10 L 10 0 L 0 10 L -10 0 m 0 -5 L -5 0 L 0 5 L 5 0",
  unknown: "M 0 0 O 0 0 10 O 0 0 -7 M 0 0 O 0 0 2.5"
};

var GLYPHS = {
  sword: ["sword", 45, "solid"], greatsword: ["greatsword", 45, "solid"], daedric: ["daedric", 45, "solid"],
  dagger: ["dagger", 45, "solid"], waraxe: ["waraxe", 45, "solid"], battleaxe: ["battleaxe", 45, "solid"],
  woodaxe: ["woodaxe", 45, "solid"], pickaxe: ["pickaxe", 45, "solid"], mace: ["mace", 45, "solid"],
  warhammer: ["warhammer", 45, "solid"], staff: ["staff", 45, "solid"], bow: ["bow", -45, "solid"],
  crossbow: ["crossbow", 0, "solid"], arrow: ["arrow", 45, "solid"], bolt: ["bolt", 45, "solid"],

  cuirass_light: ["cuirass", 0, "light"], helmet_light: ["helmet", 0, "light"], gauntlets_light: ["gauntlet", 0, "light"],
  bracers_light: ["bracer", 0, "light"], boots_light: ["boot", 0, "light"], greaves_light: ["greaves", 0, "light"],
  shield_light: ["shield", 0, "light"], mask_light: ["mask", 0, "light"],
  cuirass_heavy: ["cuirass", 0, "solid"], helmet_heavy: ["helmet", 0, "solid"], gauntlets_heavy: ["gauntlet", 0, "solid"],
  bracers_heavy: ["bracer", 0, "solid"], boots_heavy: ["boot", 0, "solid"], greaves_heavy: ["greaves", 0, "solid"],
  shield_heavy: ["shield", 0, "solid"], mask_heavy: ["mask", 0, "solid"],
  tunic: ["tunic", 0, "solid"], robe: ["robe", 0, "solid"], hood: ["hood", 0, "solid"], trousers: ["trousers", 0, "solid"],
  gloves: ["glove", 0, "solid"], shoes: ["shoe", 0, "solid"],
  amulet: ["amulet", 0, "solid"], ring: ["ring", 0, "solid"], circlet: ["circlet", 0, "solid"],

  alteration: ["hexagon", 0, "solid"], illusion: ["eye", 0, "solid"], destruction: ["flame", 0, "solid"],
  conjuration: ["star", 0, "solid"], restoration: ["cross", 0, "solid"], spell: ["spark", 0, "solid"],
  fire: ["flame", 0, "solid"], frost: ["snowflake", 0, "solid"], shock: ["lightning", 0, "solid"],
  shout: ["shout", 0, "solid"], power: ["sun", 0, "solid"],

  scroll: ["scroll", 0, "solid"], book: ["book", 0, "solid"], torch: ["torch", 0, "solid"], potion: ["potion", 0, "solid"],
  food: ["food", 0, "solid"], ingredient: ["leaf", 0, "solid"], key: ["key", 0, "solid"], soulgem: ["gem", 0, "light"],
  gem: ["gem", 0, "solid"], gold: ["sack", 0, "solid"], misc: ["diamond", 0, "solid"], unknown: ["unknown", 0, "solid"]
};

// Icon name -> glyph. Names not listed (including unknown ones) get the
// neutral "unknown" glyph; "none" never reaches here (a blank row).
var ICON_GLYPHS = {
  default_weapon: "sword", weapon_sword: "sword", weapon_greatsword: "greatsword", weapon_daedra: "daedric",
  weapon_dagger: "dagger", weapon_waraxe: "waraxe", weapon_battleaxe: "battleaxe", weapon_mace: "mace",
  weapon_hammer: "warhammer", weapon_staff: "staff", weapon_bow: "bow", weapon_arrow: "arrow",
  weapon_pickaxe: "pickaxe", weapon_woodaxe: "woodaxe", weapon_crossbow: "crossbow", weapon_bolt: "bolt",

  default_armor: "cuirass_light",
  lightarmor_body: "cuirass_light", lightarmor_head: "helmet_light", lightarmor_hands: "gauntlets_light",
  lightarmor_forearms: "bracers_light", lightarmor_feet: "boots_light", lightarmor_calves: "greaves_light",
  lightarmor_shield: "shield_light", lightarmor_mask: "mask_light",
  armor_body: "cuirass_heavy", armor_head: "helmet_heavy", armor_hands: "gauntlets_heavy",
  armor_forearms: "bracers_heavy", armor_feet: "boots_heavy", armor_calves: "greaves_heavy",
  armor_shield: "shield_heavy", armor_mask: "mask_heavy", armor_bracer: "bracers_heavy", armor_daedra: "cuirass_heavy",
  clothing_body: "tunic", clothing_robe: "robe", clothing_head: "hood", clothing_pants: "trousers",
  clothing_hands: "gloves", clothing_forearms: "bracers_light", clothing_feet: "shoes", clothing_calves: "greaves_light",
  clothing_shoes: "shoes", clothing_shield: "shield_light", clothing_mask: "mask_light",
  armor_amulet: "amulet", armor_ring: "ring", armor_circlet: "circlet",

  default_scroll: "scroll", default_book: "book", default_book_read: "book", book_tome: "book", book_tome_read: "book",
  book_journal: "book", book_note: "scroll", book_map: "scroll",
  default_food: "food", food_wine: "potion", food_beer: "potion", default_ingredient: "ingredient",
  default_key: "key", key_house: "key",
  default_potion: "potion", potion_health: "potion", potion_stam: "potion", potion_magic: "potion",
  potion_poison: "potion", potion_frost: "potion", potion_fire: "potion", potion_shock: "potion",
  default_misc: "misc", misc_artifact: "misc", misc_clutter: "misc", misc_lockpick: "key", misc_soulgem: "soulgem",
  soulgem_empty: "soulgem", soulgem_partial: "soulgem", soulgem_full: "soulgem", soulgem_grandempty: "soulgem",
  soulgem_grandpartial: "soulgem", soulgem_grandfull: "soulgem", soulgem_azura: "soulgem", misc_gem: "gem",
  misc_ore: "misc", misc_ingot: "misc", misc_hide: "misc", misc_strips: "misc", misc_leather: "misc", misc_wood: "misc",
  misc_remains: "misc", misc_trollskull: "misc", misc_torch: "torch", misc_goldsack: "gold", misc_gold: "gold",
  misc_dragonclaw: "misc",

  default_alteration: "alteration", default_illusion: "illusion", default_destruction: "destruction",
  default_conjuration: "conjuration", default_restoration: "restoration", default_shout: "shout",
  default_power: "power", default_effect: "spell", magic_fire: "fire", magic_frost: "frost", magic_shock: "shock"
};

function GlyphFor(iconName) {
  // Only strings count: an icon called e.g. "toString" finds a function and is unknown.
  if (typeof ICON_GLYPHS[iconName] == "string") return ICON_GLYPHS[iconName];
  return "unknown";
}

// A circle of eight curves, within the current fill: clockwise on screen,
// or the other way round when r is negative (a hole).
function Circle(clip, x, y, r) {
  var turn = 1;
  if (r < 0) {
    turn = -1;
    r = -r;
  }
  var k = r * 0.4142;
  var d = r * 0.7071;
  var ky = k * turn;
  var dy = d * turn;
  var ry = r * turn;
  clip.moveTo(x + r, y);
  clip.curveTo(x + r, y + ky, x + d, y + dy);
  clip.curveTo(x + k, y + ry, x, y + ry);
  clip.curveTo(x - k, y + ry, x - d, y + dy);
  clip.curveTo(x - r, y + ky, x - r, y);
  clip.curveTo(x - r, y - ky, x - d, y - dy);
  clip.curveTo(x - k, y - ry, x, y - ry);
  clip.curveTo(x + k, y - ry, x + d, y - dy);
  clip.curveTo(x + r, y - ky, x + r, y);
}

// Draws a glyph into an empty clip centred on the icon's middle.
function DrawGlyph(clip, glyphName, colour) {
  clip.clear();
  var glyph = GLYPHS[glyphName];
  if (!IsArray(glyph)) glyph = GLYPHS.unknown;
  var light = glyph[2] == "light";
  clip._rotation = glyph[1];
  if (light) {
    clip.lineStyle(1.5, colour, 100);
  } else {
    clip.lineStyle();
  }
  var fillAlpha = light ? 30 : 100;
  var parts = SHAPES[glyph[0]].split(" ");
  var open = false;
  var i = 0;
  while (i < parts.length) {
    var command = parts[i];
    var a = Number(parts[i + 1]);
    var b = Number(parts[i + 2]);
    if (command == "M") {
      if (open) clip.endFill();
      clip.beginFill(colour, fillAlpha);
      open = true;
      clip.moveTo(a, b);
      i += 3;
    } else if (command == "m") {
      clip.moveTo(a, b);
      i += 3;
    } else if (command == "L") {
      clip.lineTo(a, b);
      i += 3;
    } else if (command == "Q") {
      clip.curveTo(a, b, Number(parts[i + 3]), Number(parts[i + 4]));
      i += 5;
    } else if (command == "O") {
      Circle(clip, a, b, Number(parts[i + 3]));
      i += 4;
    } else {
      i += 1;
    }
  }
  if (open) clip.endFill();
}
