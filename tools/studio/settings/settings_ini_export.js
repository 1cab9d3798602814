// QmSettings.planIni and exportIni: Quellmark.ini with the page's values,
// written into the player's own file (or the shipped one) line by line, so
// that comments stay above the keys they were above, inline comments stay on
// their line and other lines stay where they were. A classic script: load
// settings_values.js and settings_lines.js first.
(function (root) {
  "use strict";

  var QmSettings = root.QmSettings || (root.QmSettings = {});
  var L = QmSettings.lines;
  var I = QmSettings.internal;

  // The number at the start of a value's text as the C library's strtoll
  // (base 0) or strtod would read it, when the text is plainly that number:
  // decimal without a leading 0 (which would be octal), or 0x hexadecimal;
  // what follows must be blanks or a comment. { value, rest } or null.
  function plainWhole(text) {
    var m = /^([+-]?)(0x[0-9a-fA-F]{1,8}|0|[1-9]\d{0,9})(?=$|[\t ;])/.exec(text);
    if (!m) return null;
    var n = Number(m[2]);
    if (m[1] === "-") n = -n;
    if (n < -2147483648 || n > 2147483647) return null;
    return { value: n < 0 ? n + 4294967296 : n, rest: text.slice(m[0].length) };
  }
  function plainReal(text) {
    var m = /^[+]?(inf(?:inity)?|(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)(?=$|[\t ;])/i.exec(text);
    if (!m) return null;
    var n = /^inf/i.test(m[1]) ? Infinity : Number(m[1]);
    if (n > 0 && n < 2.2250738585072014e-308) return null;
    if (n === Infinity && !/^inf/i.test(m[1])) return null; // strtod reports the overflow
    return { value: n, rest: text.slice(m[0].length) };
  }

  // Whether the value's text, as the player wrote it, reads as `value`.
  function readsAs(s, valuePart, value) {
    if (s.form === "word") {
      var other = s.word === "true" ? "false" : "true";
      return valuePart.toLowerCase() === (value === s.wordValue ? s.word : other);
    }
    var read = s.form === "real" ? plainReal(valuePart) : plainWhole(valuePart);
    return read !== null && read.value === value;
  }

  // An inline comment after a number ("120 ; bigger"): strtoll and strtod
  // stop before it, so it may stay on the line. Words take the whole text.
  function inlineComment(s, valuePart) {
    var at = valuePart.search(/[\t ]+;/);
    return at < 0 ? "" : valuePart.slice(at);
  }

  function checkValues(values) {
    I.data().settings.forEach(function (s) {
      var value = values[I.nameOf(s)];
      var problem = value === undefined ? "no value" : QmSettings.describeValue(s.section, s.key, value);
      if (problem) throw new Error(I.nameOf(s) + ": " + problem);
    });
  }

  // The shipped file's lines for a setting: the comments right above its key
  // and the key itself.
  function shippedBlock(s, value) {
    var lines = L.split(I.data().shippedIni);
    var section = "";
    for (var i = 0; i < lines.length; i++) {
      var trimmed = L.trim(lines[i]);
      var name = L.headerName(trimmed);
      if (name !== null) {
        section = name.toLowerCase();
        continue;
      }
      if (L.settingOfLine(section, trimmed) !== s) continue;
      var first = i;
      while (first > 0 && L.trim(lines[first - 1]).charAt(0) === ";") first--;
      var block = lines.slice(first, i);
      block.push(s.key + "=" + QmSettings.valueText(s, value));
      return block;
    }
    return [s.key + "=" + QmSettings.valueText(s, value)];
  }

  // { text, changes }: the file, and each line written otherwise than the
  // player wrote it ({ line, was, becomes }; line 0 and was "" for a setting
  // added with its comment). Lines the plug-in would not read (unknown keys and sections, a
  // key's second line, entries before the first section) become comments
  // where they stand, so that the file checks clean. Throws for a value the
  // plug-in would not take.
  QmSettings.planIni = function (values, baseText) {
    checkValues(values);
    var d = I.data();
    var source = baseText === null || baseText === undefined ? d.shippedIni : String(baseText);
    var lines = L.splitWithBreaks(source.replace(/^\ufeff/, ""));
    var firstBreak = /\r\n|\r|\n/.exec(source);
    var newline = firstBreak ? firstBreak[0] : "\r\n";
    var known = {};
    d.sections.forEach(function (name) {
      known[name.toLowerCase()] = true;
    });
    var changes = [];
    var written = {}; // setting name -> true once a line holds it
    var lastOfSection = {}; // section (lower case) -> index of its last non-blank line
    var sectionSpelling = {};
    var section = null;
    var read = false;
    var seen = {};
    var inserts = {}; // line index -> lines to put above it
    function change(i, becomes) {
      changes.push({ line: i + 1, was: lines[i].text, becomes: becomes });
      lines[i].text = becomes;
    }
    for (var i = 0; i < lines.length; i++) {
      var raw = lines[i].text;
      var trimmed = L.trim(raw);
      if (trimmed === "") continue;
      var name = L.headerName(trimmed);
      if (name !== null) {
        section = name.toLowerCase();
        read = known[section] === true && !seen[section];
        seen[section] = true;
        if (read) {
          sectionSpelling[section] = name;
          lastOfSection[section] = i;
        } else {
          change(i, ";" + trimmed);
        }
        continue;
      }
      if (trimmed.charAt(0) === ";") continue;
      if (read) lastOfSection[section] = i;
      var s = read ? L.settingOfLine(section, trimmed) : null;
      if (!s) {
        change(i, ";" + trimmed);
        continue;
      }
      var key = I.nameOf(s);
      if (written[key]) {
        change(i, ";" + trimmed);
        continue;
      }
      written[key] = true;
      var value = values[key];
      var equals = raw.indexOf("=");
      var valueStart = equals + 1;
      while (valueStart < raw.length && /[\t\n\v\f\r\x1a ]/.test(raw.charAt(valueStart))) valueStart++;
      var valuePart = L.trim(raw.slice(valueStart));
      if (readsAs(s, valuePart, value)) continue;
      var comment = s.form === "word" ? "" : inlineComment(s, valuePart);
      var becomes = raw.slice(0, valueStart) + QmSettings.valueText(s, value) + comment;
      if (s.form === "word" && /[\t ]+;/.test(valuePart)) {
        // The whole text is the word's: the note goes on a line of its own above.
        var note = valuePart.slice(valuePart.search(/[\t ]+;/)).replace(/^[\t ]+/, "");
        var indent = /^[\t ]*/.exec(raw)[0];
        (inserts[i] = inserts[i] || []).push(indent + note);
        becomes = indent + note + newline + becomes;
        changes.push({ line: i + 1, was: raw, becomes: becomes });
        lines[i].text = raw.slice(0, valueStart) + QmSettings.valueText(s, value);
        continue;
      }
      change(i, becomes);
    }

    // Settings the file does not hold: after the last line of their section,
    // with the shipped comments; sections it lacks at the end.
    var after = {}; // line index -> lines to put below it
    var tail = [];
    d.sections.forEach(function (sectionName) {
      var lower = sectionName.toLowerCase();
      var missing = d.settings.filter(function (s) {
        return s.section === sectionName && !written[I.nameOf(s)];
      });
      if (!missing.length) return;
      var block = [];
      missing.forEach(function (s) {
        var lines = shippedBlock(s, values[I.nameOf(s)]);
        Array.prototype.push.apply(block, lines);
        changes.push({ line: 0, was: "", becomes: lines.join(newline) });
      });
      if (lastOfSection[lower] !== undefined) {
        after[lastOfSection[lower]] = block;
      } else {
        tail.push("");
        tail.push("[" + sectionName + "]");
        Array.prototype.push.apply(tail, block);
      }
    });

    var out = [];
    for (var n = 0; n < lines.length; n++) {
      if (inserts[n]) {
        for (var k = 0; k < inserts[n].length; k++) out.push(inserts[n][k] + newline);
      }
      var line = lines[n];
      out.push(line.text + (after[n] ? line.end || newline : line.end));
      if (after[n]) {
        for (var a = 0; a < after[n].length; a++) out.push(after[n][a] + newline);
      }
    }
    var text = out.join("");
    if (tail.length) {
      if (text !== "" && !/[\r\n]$/.test(text)) text += newline;
      text += tail.join(newline) + newline;
    }
    return { text: text, changes: changes };
  };

  // The file's text alone.
  QmSettings.exportIni = function (values, baseText) {
    return QmSettings.planIni(values, baseText).text;
  };
})(typeof globalThis !== "undefined" ? globalThis : this);
