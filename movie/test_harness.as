// The test build's harness: the browser tests reach the widget through
// these ExternalInterface callbacks on the player element. The shipped movie
// does not contain this file.
//
//   Setup(x, y, scale, flags)          calls _root.widget.Setup, returns true
//   UpdateMenu(icons, names, durabilities, colours)
//                                      calls _root.widget.UpdateMenu, returns true
//   Readout()  JSON text: the stage, the widget, and each row as displayed,
//              positions and sizes in screen pixels, with the font its
//              text fields draw in
//   Calls()    JSON text: how many Setup and UpdateMenu calls took effect
//   UseFont(gameFont)  makes the widget afresh as if the probe for the game's
//              font had answered gameFont (Ruffle has every font name, so the
//              probe itself always finds it): false gives the fallback's
//              rows; returns true

function JsonString(text) {
  var out = "\"";
  for (var i = 0; i < text.length; i++) {
    var c = text.charAt(i);
    var code = text.charCodeAt(i);
    if (c == "\"" || c == "\\") {
      out += "\\" + c;
    } else if (code < 32) {
      var hex = "000" + code.toString(16);
      out += "\\u" + hex.substr(hex.length - 4);
    } else {
      out += c;
    }
  }
  return out + "\"";
}

function JsonNumber(value) {
  if (typeof value != "number" || !isFinite(value)) return "null";
  return String(value);
}

function JsonBool(value) {
  return value ? "true" : "false";
}

// The font a text field draws in, as the field itself holds it: the name
// and whether it asks for an embedded font or the player's device font.
function FieldFont(field) {
  return field.getNewTextFormat().font + (field.embedFonts ? ", embedded" : ", device");
}

// The row's two fields' font, or both when they differ.
function RowFont(row) {
  var label = FieldFont(row.label);
  var number = FieldFont(row.number);
  return label == number ? label : label + " | " + number;
}

function RowJson(row) {
  var scale = widget.factor;
  var corner = {x: 0, y: 0};
  row.clip.localToGlobal(corner);
  var visible = widget._visible && row.clip._visible;
  return "{\"visible\":" + JsonBool(visible) + ",\"icon\":" + JsonString(row.iconName) +
         ",\"glyph\":" + JsonString(row.glyph) + ",\"name\":" + JsonString(row.name) +
         ",\"durability\":" + JsonString(row.number._visible ? row.durability : "") +
         ",\"colour\":" + JsonNumber(row.colour) + ",\"font\":" + JsonString(RowFont(row)) + ",\"x\":" + JsonNumber(corner.x) + ",\"y\":" + JsonNumber(corner.y) +
         ",\"height\":" + JsonNumber(ROW_HEIGHT * scale) + ",\"nameWidth\":" + JsonNumber(row.label.textWidth * scale) + "}";
}

// The widget's box (the backdrop's rectangle) on the screen, through the
// display list's own transform.
function BoxJson() {
  var box = widget.box;
  var topLeft = {x: box.x, y: box.y};
  var bottomRight = {x: box.x + box.width, y: box.y + box.height};
  widget.localToGlobal(topLeft);
  widget.localToGlobal(bottomRight);
  return "{\"x\":" + JsonNumber(topLeft.x) + ",\"y\":" + JsonNumber(topLeft.y) + ",\"width\":" +
         JsonNumber(bottomRight.x - topLeft.x) + ",\"height\":" + JsonNumber(bottomRight.y - topLeft.y) + "}";
}

function TestReadout() {
  var rows = [];
  for (var i = 0; i < ROW_COUNT; i++) rows.push(RowJson(widget.rows[i]));
  return "{\"stage\":{\"width\":" + JsonNumber(Stage.width) + ",\"height\":" + JsonNumber(Stage.height) +
         ",\"scaleMode\":" + JsonString(String(Stage.scaleMode)) + ",\"align\":" + JsonString(String(Stage.align)) + "}," +
         "\"widget\":{\"x\":" + JsonNumber(widget._x) + ",\"y\":" + JsonNumber(widget._y) + ",\"scale\":" +
         JsonNumber(widget.scale) + ",\"factor\":" + JsonNumber(widget.factor) + ",\"anchor\":{\"x\":" +
         JsonNumber(widget.anchorX) + ",\"y\":" + JsonNumber(widget.anchorY) + "},\"box\":" + BoxJson() +
         ",\"flags\":" + JsonNumber(widget.flags) + ",\"visible\":" +
         JsonBool(widget._visible) + ",\"font\":" + JsonString(widget.fontName) + "}," +
         "\"rows\":[" + rows.join(",") + "]}";
}

function TestCalls() {
  return "{\"setup\":" + JsonNumber(widget.setupCalls) + ",\"update\":" + JsonNumber(widget.updateCalls) + "}";
}

function TestSetup(x, y, scale, flags) {
  _root.widget.Setup(x, y, scale, flags);
  return true;
}

function TestUpdateMenu(icons, names, durabilities, colours) {
  _root.widget.UpdateMenu(icons, names, durabilities, colours);
  return true;
}

function TestUseFont(gameFont) {
  _root.widget.removeMovieClip();
  StartWidget(_root, gameFont == true);
  return true;
}

flash.external.ExternalInterface.addCallback("Setup", null, TestSetup);
flash.external.ExternalInterface.addCallback("UpdateMenu", null, TestUpdateMenu);
flash.external.ExternalInterface.addCallback("Readout", null, TestReadout);
flash.external.ExternalInterface.addCallback("Calls", null, TestCalls);
flash.external.ExternalInterface.addCallback("UseFont", null, TestUseFont);
