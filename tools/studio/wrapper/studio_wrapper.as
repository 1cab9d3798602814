// StudioWrapper: the studio's movie around the shipped widget (SWF 8,
// ActionScript 2). The shipped DurabilityMenu.swf has no calls for a browser,
// so this movie loads it, byte for byte, into level 1 and hands the page's
// calls on to it through ExternalInterface. The installer's pictures are
// drawn through it too (tools/movie_player/installer_images.js):
//
//   Setup(x, y, scale, flags)                   _level1.widget.Setup, as the plug-in calls it
//   UpdateMenu(icons, names, durabilities, colours)
//                                               _level1.widget.UpdateMenu
//   Ready()    true once the widget's first frame has run
//   Readout()  JSON text: the stage, and the widget's anchor, scale and box
//              in screen pixels (null values until Ready)
//
// Setup and UpdateMenu answer what the widget answers (true when the call
// took effect), and false before the widget has loaded.

function IsFiniteNumber(value) {
  return typeof value == "number" && isFinite(value);
}

function JsonNumber(value) {
  if (!IsFiniteNumber(value)) return "null";
  return String(value);
}

function Widget() {
  var w = _level1.widget;
  if (typeof w != "movieclip" && typeof w != "object") return null;
  if (typeof w.Setup != "function" || typeof w.UpdateMenu != "function") return null;
  return w;
}

function StudioReady() {
  return Widget() != null;
}

function StudioSetup(x, y, scale, flags) {
  var w = Widget();
  if (w == null) return false;
  return w.Setup(x, y, scale, flags) == true;
}

function StudioUpdateMenu(icons, names, durabilities, colours) {
  var w = Widget();
  if (w == null) return false;
  return w.UpdateMenu(icons, names, durabilities, colours) == true;
}

// The widget's box (its backdrop's rectangle, drawn or not) through the
// display list's own transform, so in the screen's pixels.
function StudioReadout() {
  var stage = "{\"width\":" + JsonNumber(Stage.width) + ",\"height\":" + JsonNumber(Stage.height) + "}";
  var w = Widget();
  if (w == null) return "{\"stage\":" + stage + ",\"widget\":null}";
  var box = w.box;
  var topLeft = {x: box.x, y: box.y};
  var bottomRight = {x: box.x + box.width, y: box.y + box.height};
  w.localToGlobal(topLeft);
  w.localToGlobal(bottomRight);
  return "{\"stage\":" + stage + ",\"widget\":{\"x\":" + JsonNumber(w._x) + ",\"y\":" + JsonNumber(w._y) +
         ",\"anchor\":{\"x\":" + JsonNumber(w.anchorX) + ",\"y\":" + JsonNumber(w.anchorY) + "}" +
         ",\"scale\":" + JsonNumber(w.scale) + ",\"factor\":" + JsonNumber(w.factor) +
         ",\"flags\":" + JsonNumber(w.flags) + ",\"box\":{\"x\":" + JsonNumber(topLeft.x) +
         ",\"y\":" + JsonNumber(topLeft.y) + ",\"width\":" + JsonNumber(bottomRight.x - topLeft.x) +
         ",\"height\":" + JsonNumber(bottomRight.y - topLeft.y) + "}}}";
}

// The stage is the screen, unscaled, from its top-left corner, as the widget
// itself sets it once loaded.
Stage.scaleMode = "noScale";
Stage.align = "TL";
flash.external.ExternalInterface.addCallback("Setup", null, StudioSetup);
flash.external.ExternalInterface.addCallback("UpdateMenu", null, StudioUpdateMenu);
flash.external.ExternalInterface.addCallback("Ready", null, StudioReady);
flash.external.ExternalInterface.addCallback("Readout", null, StudioReadout);
loadMovieNum("DurabilityMenu.swf", 1);
