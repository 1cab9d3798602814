// QmSettings: the settings table (QmSettings.data, from settings_data.js) and
// each value as the plug-in's reader holds it and as the file writes it. A
// classic script: load settings_data.js first, then this, then the other
// settings_*.js.
(function (root) {
  "use strict";

  var QmSettings = root.QmSettings || (root.QmSettings = {});

  function data() {
    if (!QmSettings.data) throw new Error("QmSettings: settings_data.js is not loaded");
    return QmSettings.data;
  }

  function settingOf(section, key) {
    var s = String(section).toLowerCase();
    var k = String(key).toLowerCase();
    var list = data().settings;
    for (var i = 0; i < list.length; i++) {
      if (list[i].section.toLowerCase() === s && list[i].key.toLowerCase() === k) return list[i];
    }
    return null;
  }

  function nameOf(setting) {
    return setting.section + "." + setting.key;
  }

  QmSettings.defaults = function () {
    var values = {};
    data().settings.forEach(function (s) {
      values[nameOf(s)] = s.default;
    });
    return values;
  };

  function hex6(n) {
    var text = n.toString(16).toUpperCase();
    while (text.length < 6) text = "0" + text;
    return "0x" + text;
  }

  // The shortest decimal text that reads back as the same double, written
  // without an exponent (the C library's strtod takes one, but a plain number
  // is what the file's comments show and what every runtime reads alike).
  function realText(value) {
    if (value === Infinity) return "inf";
    if (Object.is(value, -0)) return "-0.0"; // as the reader read "-0", so the log lists it alike
    var text = String(value);
    var match = /^(\d+)(?:\.(\d+))?e([+-]\d+)$/.exec(text);
    if (match) {
      var digits = match[1] + (match[2] || "");
      var point = match[1].length + Number(match[3]);
      if (point <= 0) {
        text = "0." + new Array(1 - point).join("0") + digits;
      } else if (point >= digits.length) {
        text = digits + new Array(point - digits.length + 1).join("0");
      } else {
        text = digits.slice(0, point) + "." + digits.slice(point);
      }
    }
    if (text.indexOf(".") < 0) text += ".0";
    return text;
  }

  // A whole number as the reader read it: it keeps the two's complement of
  // a signed 32-bit number, so a key that takes any value shows -5 for the
  // 4294967291 it holds. The movie gets the same signed number from the plug-in.
  QmSettings.signedWhole = function (value) {
    return value > 2147483647 && value <= 4294967295 ? value - 4294967296 : value;
  };

  // A value the player typed, read as the reader reads the file's text:
  // whole numbers signed or unsigned in 32 bits (kept as the reader keeps
  // them), reals as strtod reads them ("inf" included). NaN when it is no number.
  QmSettings.readTyped = function (setting, text) {
    var t = String(text).trim();
    if (setting.form === "real") {
      if (/^[+]?inf(inity)?$/i.test(t)) return Infinity;
      if (!/^[+-]?(\d+\.?\d*|\.\d+)(e[+-]?\d+)?$/i.test(t)) return NaN;
      return Number(t);
    }
    var m = /^([+-]?)(0x[0-9a-f]+|\d+)$/i.exec(t);
    if (!m) return NaN;
    var n = Number(m[2]);
    if (m[1] === "-") n = -n;
    if (n < -2147483648 || n > 4294967295) return NaN;
    return n < 0 ? n + 4294967296 : n;
  };

  // A value as shown in a control: whole numbers signed, reals with "inf".
  QmSettings.shownValue = function (setting, value) {
    if (setting.form === "real") return value === Infinity ? "inf" : String(value);
    if (setting.form === "whole" && setting.maximum > 2147483647) return String(QmSettings.signedWhole(value));
    return String(value);
  };

  // What the reader would make of the value's text, in the checker's words;
  // null when the plug-in takes it.
  QmSettings.describeValue = function (section, key, value) {
    var s = settingOf(section, key);
    if (!s) return "dropped: unknown key \"" + String(key).toLowerCase() + "\" in [" + section + "]";
    var lower = s.key.toLowerCase();
    if (typeof value !== "number") return "not a number";
    if (s.form === "word") {
      return value === 0 || value === 1 ? null : s.key + " is true or false (1 or 0), not " + value;
    }
    if (s.form === "real") {
      if (!(value >= 0)) return "dropped: a rate or chance may not be negative or not a number";
      // The C library's strtod reports a result below the smallest normal
      // double as out of range; the reader then logs it and takes 0.
      if (value > 0 && value < 2.2250738585072014e-308) {
        return (
          'misread: "' +
          value +
          '" is out of the range of a double (too large, or too close to 0); the plug-in logs it and takes 0'
        );
      }
      return null;
    }
    if (!Number.isInteger(value) || value < 0 || value > 4294967295) {
      return s.key + " takes whole numbers from 0 to " + s.maximum + ", not " + value;
    }
    if (value > s.maximum) {
      var range = s.maximum > 0xffff ? " (0 to 0x" + s.maximum.toString(16).toUpperCase() + ")" : " (0 to " + s.maximum + ")";
      return "dropped: " + value + " is out of range for " + lower + range;
    }
    return null;
  };

  // The value's text in the file.
  QmSettings.valueText = function (s, value) {
    if (s.form === "word") return value === 1 ? "true" : "false";
    if (s.form === "real") return realText(value);
    if (s.maximum === 0xffffff) return hex6(value); // the colours, as 0xRRGGBB
    // The reader takes a signed 32-bit number and keeps its two's complement,
    // so values above 2147483647 are written as the negative number that gives them.
    return String(QmSettings.signedWhole(value));
  };

  // The number the checker's value listing prints: %.17g for reals ("inf",
  // "nan" included), %u for whole numbers.
  QmSettings.listedNumber = function (text) {
    var t = String(text).trim().toLowerCase();
    if (t === "inf" || t === "+inf") return Infinity;
    if (t === "-inf") return -Infinity;
    if (t === "nan" || t === "-nan") return NaN;
    return Number(t);
  };

  QmSettings.internal = { data: data, settingOf: settingOf, nameOf: nameOf, hex6: hex6, realText: realText };

  if (typeof module !== "undefined" && module.exports) module.exports = QmSettings;
})(typeof globalThis !== "undefined" ? globalThis : this);
