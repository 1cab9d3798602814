// QmSettings.lines: a settings file's lines as the profile functions see
// them: split at CR or LF, trimmed of bytes 0x09 to 0x0D, 0x1A and blanks, a
// header up to its last ']', an entry split at its first '='. A classic script.
(function (root) {
  "use strict";

  var QmSettings = root.QmSettings || (root.QmSettings = {});
  var BLANKS = /^[\t\n\v\f\r\x1a ]+|[\t\n\v\f\r\x1a ]+$/g;

  // Each line with the line break that ended it, so that a file can be
  // written back with its own breaks ("" after the last line).
  function splitWithBreaks(text) {
    var lines = [];
    var re = /\r\n|\r|\n/g;
    var start = 0;
    var m;
    while ((m = re.exec(text)) !== null) {
      lines.push({ text: text.slice(start, m.index), end: m[0] });
      start = m.index + m[0].length;
    }
    lines.push({ text: text.slice(start), end: "" });
    return lines;
  }

  function split(text) {
    return text.split(/\r\n|\r|\n/);
  }
  function trim(line) {
    return line.replace(BLANKS, "");
  }
  function headerName(trimmed) {
    if (trimmed.charAt(0) !== "[") return null;
    var close = trimmed.lastIndexOf("]");
    if (close < 1) return null;
    return trim(trimmed.slice(1, close));
  }
  // "Key = value" as the profile functions deliver it: "Key=value".
  function entryText(trimmed) {
    var at = trimmed.indexOf("=");
    if (at < 0) return trimmed;
    return trim(trimmed.slice(0, at)) + "=" + trimmed.slice(at + 1).replace(/^[\t\n\v\f\r\x1a ]+/, "");
  }

  var integerSections = ["degradation", "dynamictemper", "widget"];

  // The table's setting the reader applies this line to in this section (an
  // integer key counts in any of the three integer sections); null for any
  // other line.
  function settingOfLine(sectionLower, trimmed) {
    var entry = entryText(trimmed);
    var parts = entry.split("=");
    if (parts.length !== 2 || parts[0] === "") return null;
    var key = parts[0].toLowerCase();
    var list = QmSettings.data.settings;
    for (var i = 0; i < list.length; i++) {
      var s = list[i];
      if (s.key.toLowerCase() !== key) continue;
      var own = s.section.toLowerCase();
      if (own === sectionLower) return s;
      if (integerSections.indexOf(own) >= 0 && integerSections.indexOf(sectionLower) >= 0 && s.form !== "real") {
        return s;
      }
    }
    return null;
  }

  QmSettings.lines = {
    split: split,
    splitWithBreaks: splitWithBreaks,
    trim: trim,
    headerName: headerName,
    entryText: entryText,
    settingOfLine: settingOfLine,
  };
})(typeof globalThis !== "undefined" ? globalThis : this);
