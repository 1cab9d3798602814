// DurabilityMenu: the durability widget's movie (SWF 8, ActionScript 2).
// Compiled by tools/swf (qm-swfc) together with glyphs.as; the test build
// adds test_harness.as.
//
// The plug-in drives it through two functions on _root.widget, which exists
// once the first frame has run:
//
//   Setup(x, y, scale, flags)
//     x, y    where the widget's top-left corner goes, as fractions of the
//             stage (0 to 1, clamped). The stage is the movie's frame,
//             1920 x 1080 pixels: x 0.03 is pixel 57.6, y 0.73 is pixel 788.4.
//     scale   size in percent (100: rows of 30 pixels; clamped to 10..1000)
//     flags   a bit set; unknown bits are ignored; 8 is the default look:
//               1  no icons
//               2  no durability numbers
//               4  compact: blank rows take no room, the rows below move up
//               8  backdrop: a translucent dark panel behind the rows
//              16  x is the widget's right edge instead of its left
//              32  y is the widget's bottom edge instead of its top
//     Arguments that are not finite numbers make the call change nothing.
//
//   UpdateMenu(icons, names, durabilities, colours)
//     four arrays, element i describing row i of seven: the icon name, the
//     display name, the durability number (-1: none) and the colour as
//     0xRRGGBB. Icon "none" makes the row blank. Missing elements, null,
//     undefined and the text "null" count as empty; a row without a usable
//     icon but with a name shows the neutral glyph; names wider than the row
//     are cut with an ellipsis. When any argument is not an array, the call
//     changes nothing and the previous rows stay.
//
// Both return true when they took effect and false otherwise.

var STAGE_WIDTH = 1920;
var STAGE_HEIGHT = 1080;
var ROW_COUNT = 7;
var ROW_HEIGHT = 30;
var ICON_SIZE = 24;
var TEXT_X = 32;           // where the name starts when icons show
var NAME_WIDTH = 300;      // names wider than this are cut with an ellipsis
var NUMBER_GAP = 10;       // between the name and the durability number
var FONT_SIZE = 18;
var PADDING = 6;           // around the rows, inside the backdrop
var DEFAULT_COLOUR = 0xFFFFFF;
// Three full stops rather than U+2026: every font has the full stop.
var ELLIPSIS = "...";

var FLAG_NO_ICONS = 1;
var FLAG_NO_NUMBERS = 2;
var FLAG_COMPACT = 4;
var FLAG_BACKDROP = 8;
var FLAG_ANCHOR_RIGHT = 16;
var FLAG_ANCHOR_BOTTOM = 32;

// The game's font library names this family; a browser runtime has none of
// it, so the movie falls back to the player's own sans-serif device font.
var GAME_FONT = "$EverywhereFont";
var FALLBACK_FONT = "_sans";

function IsFiniteNumber(value) {
  return typeof value == "number" && isFinite(value);
}

function Clamp(value, low, high) {
  if (value < low) return low;
  if (value > high) return high;
  return value;
}

// The text of an element: strings as they are, finite numbers as digits;
// null, undefined, the texts "null" and "undefined" and anything else: empty.
function TextOf(value) {
  if (typeof value == "string") {
    if (value == "null" || value == "undefined") return "";
    return value;
  }
  if (IsFiniteNumber(value)) return String(value);
  return "";
}

function IsArray(value) {
  return typeof value == "object" && value != null && value instanceof Array;
}

function DurabilityText(value) {
  if (!IsFiniteNumber(value) || value < 0) return "";
  return String(Math.round(value));
}

function ColourOf(value) {
  if (!IsFiniteNumber(value)) return DEFAULT_COLOUR;
  return value & 0xFFFFFF;
}

// True when the game's font renders here: a field asking for it measures
// some width only when the runtime has the font.
function GameFontAvailable(parent) {
  parent.createTextField("fontProbe", 999, 0, 0, 200, 40);
  var probe = parent.fontProbe;
  var format = new TextFormat();
  format.font = GAME_FONT;
  format.size = FONT_SIZE;
  probe.embedFonts = true;
  probe.setNewTextFormat(format);
  probe.text = "Wg";
  var available = probe.textWidth > 0;
  probe.removeTextField();
  return available;
}

function MakeTextField(w, row, name, depth) {
  row.createTextField(name, depth, TEXT_X, 2, NAME_WIDTH, ROW_HEIGHT - 4);
  var field = row[name];
  var format = new TextFormat();
  format.font = w.fontName;
  format.size = FONT_SIZE;
  field.embedFonts = w.embedFonts;
  field.selectable = false;
  field.autoSize = "left";
  field.setNewTextFormat(format);
  field.text = "";
  return field;
}

function MakeRow(w, index) {
  w.content.createEmptyMovieClip("row" + index, 10 + index);
  var clip = w.content["row" + index];
  clip.createEmptyMovieClip("icon", 1);
  var icon = clip.icon;
  icon._x = ICON_SIZE / 2;
  icon._y = ROW_HEIGHT / 2;
  var row = {clip: clip, icon: icon, label: MakeTextField(w, clip, "label", 2),
             number: MakeTextField(w, clip, "number", 3),
             blank: true, iconName: "none", glyph: "", fullName: "", name: "", durability: "", colour: DEFAULT_COLOUR};
  clip._visible = false;
  return row;
}

// Shows text in the row's name field, cut with an ellipsis to NAME_WIDTH.
function SetName(row, text) {
  var label = row.label;
  label.text = text;
  if (label.textWidth <= NAME_WIDTH) {
    row.name = text;
    return;
  }
  // The longest prefix that fits with the ellipsis after it.
  var low = 0;
  var high = text.length;
  while (low < high) {
    var middle = Math.ceil((low + high) / 2);
    label.text = text.substr(0, middle) + ELLIPSIS;
    if (label.textWidth <= NAME_WIDTH) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  // Never split a surrogate pair, and drop blanks before the ellipsis.
  var code = text.charCodeAt(low - 1);
  if (low > 0 && code >= 0xD800 && code <= 0xDBFF) low = low - 1;
  while (low > 0 && text.charAt(low - 1) == " ") low = low - 1;
  row.name = text.substr(0, low) + ELLIPSIS;
  label.text = row.name;
}

function ShowRow(row, iconName, name, durability, colour) {
  row.colour = ColourOf(colour);
  row.blank = iconName == "none" || (iconName == "" && name == "");
  if (row.blank) {
    row.iconName = "none";
    row.glyph = "";
    row.fullName = "";
    row.name = "";
    row.durability = "";
    row.label.text = "";
    row.number.text = "";
    return;
  }
  row.iconName = iconName;
  var glyph = GlyphFor(iconName);
  if (glyph != row.glyph || row.colour != row.drawnColour) {
    DrawGlyph(row.icon, glyph, row.colour);
    row.glyph = glyph;
    row.drawnColour = row.colour;
  }
  if (name != row.fullName) {
    row.fullName = name;
    SetName(row, name);
  }
  row.durability = DurabilityText(durability);
  row.number.text = row.durability;
  row.label.textColor = row.colour;
  row.number.textColor = row.colour;
}

// Places the rows and the backdrop after any change of rows or flags.
function Layout() {
  var flags = widget.flags;
  var icons = !(flags & FLAG_NO_ICONS);
  var numbers = !(flags & FLAG_NO_NUMBERS);
  var textX = icons ? TEXT_X : 0;
  var y = 0;
  var width = 0;
  var height = 0;
  for (var i = 0; i < ROW_COUNT; i++) {
    var row = widget.rows[i];
    var clip = row.clip;
    clip._visible = !row.blank;
    if (row.blank && (flags & FLAG_COMPACT)) continue;
    clip._y = y;
    y += ROW_HEIGHT;
    if (row.blank) continue;
    clip.icon._visible = icons;
    row.label._x = textX;
    var right = textX + row.label.textWidth;
    row.number._visible = numbers && row.durability != "";
    row.number._x = right + NUMBER_GAP;
    if (row.number._visible) right = row.number._x + row.number.textWidth;
    if (right > width) width = right;
    height = y;
  }
  var content = widget.content;
  content._x = (flags & FLAG_ANCHOR_RIGHT) ? -(width + PADDING) : PADDING;
  content._y = (flags & FLAG_ANCHOR_BOTTOM) ? -(height + PADDING) : PADDING;
  var backdrop = widget.backdrop;
  backdrop.clear();
  if ((flags & FLAG_BACKDROP) && height > 0) {
    backdrop.beginFill(0x000000, 45);
    var left = content._x - PADDING;
    var top = content._y - PADDING;
    backdrop.moveTo(left, top);
    backdrop.lineTo(left + width + 2 * PADDING, top);
    backdrop.lineTo(left + width + 2 * PADDING, top + height + 2 * PADDING);
    backdrop.lineTo(left, top + height + 2 * PADDING);
    backdrop.lineTo(left, top);
    backdrop.endFill();
  }
}

function Setup(x, y, scale, flags) {
  if (!IsFiniteNumber(x) || !IsFiniteNumber(y) || !IsFiniteNumber(scale) || !IsFiniteNumber(flags)) return false;
  widget._x = Clamp(x, 0, 1) * STAGE_WIDTH;
  widget._y = Clamp(y, 0, 1) * STAGE_HEIGHT;
  widget.scale = Clamp(scale, 10, 1000);
  widget._xscale = widget.scale;
  widget._yscale = widget.scale;
  widget.flags = flags;
  widget.setupCalls += 1;
  Layout();
  return true;
}

function UpdateMenu(icons, names, durabilities, colours) {
  if (!IsArray(icons) || !IsArray(names) || !IsArray(durabilities) || !IsArray(colours)) return false;
  for (var i = 0; i < ROW_COUNT; i++) {
    ShowRow(widget.rows[i], TextOf(icons[i]), TextOf(names[i]), durabilities[i], colours[i]);
  }
  widget.updateCalls += 1;
  Layout();
  return true;
}

function MakeWidget(root) {
  root.createEmptyMovieClip("widget", 100);
  var w = root.widget;
  w.createEmptyMovieClip("backdrop", 1);
  w.createEmptyMovieClip("content", 2);
  var gameFont = GameFontAvailable(w);
  w.embedFonts = gameFont;
  w.fontName = gameFont ? GAME_FONT : FALLBACK_FONT;
  w.flags = FLAG_BACKDROP;
  w.scale = 100;
  w.setupCalls = 0;
  w.updateCalls = 0;
  w.rows = [];
  for (var i = 0; i < ROW_COUNT; i++) w.rows.push(MakeRow(w, i));
  w.Setup = Setup;
  w.UpdateMenu = UpdateMenu;
  return w;
}

// A movie loaded into another keeps its own _root.
this._lockroot = true;
var widget = MakeWidget(this);
Setup(0.03, 0.73, 100, FLAG_BACKDROP);
widget.setupCalls = 0;
