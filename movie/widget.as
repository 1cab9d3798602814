// DurabilityMenu: the durability widget's movie (SWF 8, ActionScript 2).
// Compiled by tools/swf (qm-swfc) together with glyphs.as; the test build
// adds test_harness.as.
//
// The movie lays itself out on the player's screen, not on its own frame:
// the game loads it with "no scale" and leaves the stage centred, so a movie
// drawn in its 1920 x 1080 frame would land in the middle of a larger screen
// and off the edges of a smaller one. Its first frame sets Stage.scaleMode
// "noScale" and Stage.align "TL", so that the stage is the screen with its
// origin at the top-left corner, and the widget reads the screen's size from
// Stage.width and Stage.height (1920 x 1080 when the runtime gives none). A
// Stage listener lays it out again when the screen's size changes.
//
// The plug-in drives it through two functions on _root.widget, which exists
// once the first frame has run:
//
//   Setup(x, y, scale, flags)
//     x, y    where the widget's top-left corner goes, as shares of the
//             screen's width and height (0 to 1, clamped): x 0.03 is 3 % of
//             the width from the left edge on any screen.
//     scale   the widget's size as a share of the screen's height, in
//             percent: 100 gives rows of 30 pixels on a screen 1,080 lines
//             high, 40 on 1,440 lines, 60 on 2,160, whatever the width
//             (clamped to 10..1000).
//     flags   a bit set; unknown bits are ignored; 8 is the default look:
//               1  no icons
//               2  no durability numbers
//               4  compact: blank rows take no room, the rows below move up
//               8  backdrop: a translucent dark panel behind the rows
//              16  x is the widget's right edge instead of its left
//              32  y is the widget's bottom edge instead of its top
//     A placement that would put part of the widget off the screen moves it
//     just enough to keep it whole (a widget larger than the screen keeps
//     its top-left corner on it). Arguments that are not finite numbers make
//     the call change nothing.
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

// The screen assumed when the runtime gives no stage size, and the screen
// height at which scale 100 draws rows of ROW_HEIGHT pixels.
var STAGE_WIDTH = 1920;
var STAGE_HEIGHT = 1080;
var BASE_LINES = 1080;
var ROW_COUNT = 7;
var ROW_HEIGHT = 30;
var ICON_SIZE = 24;
var TEXT_X = 32;           // where the name starts when icons show
var NAME_WIDTH = 300;      // names wider than this are cut with an ellipsis
var NUMBER_GAP = 10;       // between the name and the durability number
var FONT_SIZE = 18;
var PADDING = 6;           // around the rows, inside the backdrop
// A text field draws its text this far inside its edges, on each side; its
// textWidth counts the text alone.
var TEXT_GUTTER = 2;
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
  // The rows' drawing starts at the icon, or without icons past the name
  // field's gutter: the widest row ends as far inside the backdrop's right
  // edge as the rows start inside its left.
  var lead = icons ? 0 : TEXT_GUTTER;
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
    right += TEXT_GUTTER + lead;
    if (right > width) width = right;
    height = y;
  }
  var content = widget.content;
  content._x = (flags & FLAG_ANCHOR_RIGHT) ? -(width + PADDING) : PADDING;
  content._y = (flags & FLAG_ANCHOR_BOTTOM) ? -(height + PADDING) : PADDING;
  // The widget's box: the backdrop's rectangle, drawn or not; empty when no
  // row shows.
  var box = widget.box;
  box.x = content._x - PADDING;
  box.y = content._y - PADDING;
  box.width = height > 0 ? width + 2 * PADDING : 0;
  box.height = height > 0 ? height + 2 * PADDING : 0;
  var backdrop = widget.backdrop;
  backdrop.clear();
  if ((flags & FLAG_BACKDROP) && height > 0) {
    backdrop.beginFill(0x000000, 45);
    backdrop.moveTo(box.x, box.y);
    backdrop.lineTo(box.x + box.width, box.y);
    backdrop.lineTo(box.x + box.width, box.y + box.height);
    backdrop.lineTo(box.x, box.y + box.height);
    backdrop.lineTo(box.x, box.y);
    backdrop.endFill();
  }
  Place();
}

// The screen's size: the stage's, which is the screen's in "noScale" with
// the top-left alignment.
function ScreenWidth() {
  var width = Stage.width;
  if (!IsFiniteNumber(width) || width <= 0) return STAGE_WIDTH;
  return width;
}

function ScreenHeight() {
  var height = Stage.height;
  if (!IsFiniteNumber(height) || height <= 0) return STAGE_HEIGHT;
  return height;
}

// How far to move the span [start, start + length] along an axis of the
// screen, 0 to size, so that it lies whole on the screen; a span longer than
// the screen keeps its start at 0.
function ShiftInto(start, length, size) {
  var shift = 0;
  if (start + length > size) shift = size - (start + length);
  if (start + shift < 0) shift = -start;
  return shift;
}

// Sizes the widget by the screen's height and puts its anchored corner at
// Setup's shares of the screen, moved as little as keeps its box whole.
// At 1920 x 1080 the size is the scale itself and the corner lies at the
// shares times 1920 and 1080, as when the movie's frame was the stage.
function Place() {
  var screenWidth = ScreenWidth();
  var screenHeight = ScreenHeight();
  var percent = widget.scale * (screenHeight / BASE_LINES);
  var factor = percent / 100;
  widget._xscale = percent;
  widget._yscale = percent;
  widget.factor = factor;
  var anchorX = widget.shareX * screenWidth;
  var anchorY = widget.shareY * screenHeight;
  var box = widget.box;
  widget._x = anchorX + ShiftInto(anchorX + box.x * factor, box.width * factor, screenWidth);
  widget._y = anchorY + ShiftInto(anchorY + box.y * factor, box.height * factor, screenHeight);
  widget.anchorX = anchorX;
  widget.anchorY = anchorY;
}

// The Stage's listener: a change of the screen's size lays the widget out again.
function OnStageResize() {
  Place();
}

function Setup(x, y, scale, flags) {
  if (!IsFiniteNumber(x) || !IsFiniteNumber(y) || !IsFiniteNumber(scale) || !IsFiniteNumber(flags)) return false;
  widget.shareX = Clamp(x, 0, 1);
  widget.shareY = Clamp(y, 0, 1);
  widget.scale = Clamp(scale, 10, 1000);
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

// The widget in the game's font when gameFont is true, in the fallback
// otherwise.
function MakeWidget(root, gameFont) {
  // The clip as the call returns it: root.widget names the timeline's
  // variable, which still holds the clip a test build may have replaced.
  var w = root.createEmptyMovieClip("widget", 100);
  w.createEmptyMovieClip("backdrop", 1);
  w.createEmptyMovieClip("content", 2);
  w.embedFonts = gameFont;
  w.fontName = gameFont ? GAME_FONT : FALLBACK_FONT;
  w.flags = FLAG_BACKDROP;
  w.shareX = 0;
  w.shareY = 0;
  w.scale = 100;
  w.factor = 1;
  w.box = {x: 0, y: 0, width: 0, height: 0};
  w.setupCalls = 0;
  w.updateCalls = 0;
  w.rows = [];
  for (var i = 0; i < ROW_COUNT; i++) w.rows.push(MakeRow(w, i));
  w.Setup = Setup;
  w.UpdateMenu = UpdateMenu;
  return w;
}

// Makes the widget and places it where the plug-in's default settings put
// it; the plug-in's own Setup follows when it opens the widget.
function StartWidget(root, gameFont) {
  widget = MakeWidget(root, gameFont);
  Setup(0.03, 0.73, 100, FLAG_BACKDROP);
  widget.setupCalls = 0;
}

// A movie loaded into another keeps its own _root.
this._lockroot = true;
// The stage is the screen, unscaled, from its top-left corner, whatever the
// loader chose.
Stage.scaleMode = "noScale";
Stage.align = "TL";
var widget = null;
StartWidget(this, GameFontAvailable(this));
var stageListener = {onResize: OnStageResize};
Stage.addListener(stageListener);
