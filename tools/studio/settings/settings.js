// QmSettings: the studio's settings, checked and exported as the plug-in
// reads them. Its data (QmSettings.data) comes from settings_data.js, made
// from the settings table at build time; the check runs qm-check-settings
// itself, compiled to WebAssembly (settings_check.js, the global
// QmCheckModule). A classic script: load settings_data.js and
// settings_check.js first, then this.
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

  // ---- values as the file writes them -------------------------------------

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

  function valueText(s, value) {
    if (s.form === "word") return value === 1 ? "true" : "false";
    if (s.form === "real") return realText(value);
    if (s.maximum === 0xffffff) return hex6(value);  // the colours, as 0xRRGGBB
    // The reader takes a signed 32-bit number and keeps its two's complement,
    // so values above 2147483647 are written as the negative number that gives them.
    return String(value > 2147483647 ? value - 4294967296 : value);
  }

  // ---- the file's lines ------------------------------------------------------

  // Lines as the profile functions see them: split at CR or LF, each trimmed
  // of bytes 0x09 to 0x0D, 0x1A and blanks.
  function splitLines(text) {
    return text.split(/\r\n|\r|\n/);
  }
  function trimProfile(line) {
    return line.replace(/^[\t\n\v\f\r\x1a ]+|[\t\n\v\f\r\x1a ]+$/g, "");
  }
  function headerName(trimmed) {
    if (trimmed.charAt(0) !== "[") return null;
    var close = trimmed.lastIndexOf("]");
    if (close < 0) return null;
    return trimProfile(trimmed.slice(1, close));
  }
  // "Key = value" as the profile functions deliver it: "Key=value".
  function entryText(trimmed) {
    var at = trimmed.indexOf("=");
    if (at < 0) return trimmed;
    return trimProfile(trimmed.slice(0, at)) + "=" + trimmed.slice(at + 1).replace(/^[\t\n\v\f\r\x1a ]+/, "");
  }

  var integerSections = ["degradation", "dynamictemper", "widget"];

  // Whether the reader would take the key of this line in this section as one
  // of the table's (an integer key counts in any of the three integer sections).
  function tableKeyOfLine(sectionLower, trimmed) {
    var entry = entryText(trimmed);
    var parts = entry.split("=");
    if (parts.length !== 2 || parts[0] === "") return null;
    var key = parts[0].toLowerCase();
    var list = data().settings;
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

  // Quellmark.ini with the given values: the shipped file's comments and
  // keys in its order; the player's other lines kept, those the plug-in would
  // not read turned into comments so that the file checks clean. CRLF.
  QmSettings.exportIni = function (values, baseText) {
    var d = data();
    d.settings.forEach(function (s) {
      var value = values[nameOf(s)];
      var problem = value === undefined ? "no value" : QmSettings.describeValue(s.section, s.key, value);
      if (problem) throw new Error(nameOf(s) + ": " + problem);
    });

    // The player's own lines, by the section (lower case) they stand in.
    var shippedLines = {};
    splitLines(d.shippedIni).forEach(function (line) {
      shippedLines[trimProfile(line)] = true;
    });
    var own = { "": [] };
    var otherSections = [];
    if (baseText) {
      var section = "";
      var readSection = true;
      var seenSections = {};
      var target = own[""];
      splitLines(textOf(baseText).replace(/^\ufeff/, "")).forEach(function (line) {
        var trimmed = trimProfile(line);
        if (trimmed === "") return;
        var name = headerName(trimmed);
        if (name !== null) {
          section = name.toLowerCase();
          var known = d.sections.some(function (n) {
            return n.toLowerCase() === section;
          });
          readSection = known && !seenSections[section];
          seenSections[section] = true;
          if (readSection) {
            target = own[section] || (own[section] = []);
          } else {
            target = [";" + trimmed];
            otherSections.push(target);
          }
          return;
        }
        if (trimmed.charAt(0) === ";") {
          if (!shippedLines[trimmed]) target.push(trimmed);
          return;
        }
        if (readSection && section !== "" && tableKeyOfLine(section, trimmed)) return;
        target.push(";" + trimmed);
      });
    }

    var out = [];
    var shipped = splitLines(d.shippedIni);
    if (shipped.length && shipped[shipped.length - 1] === "") shipped.pop();
    var current = "";
    function flushOwn(sectionLower) {
      var lines = own[sectionLower];
      if (!lines || !lines.length) return;
      // Before the blank line that closes the section, if there is one.
      var blank = out.length && out[out.length - 1] === "";
      if (blank) out.pop();
      Array.prototype.push.apply(out, lines);
      if (blank) out.push("");
      own[sectionLower] = [];
    }
    shipped.forEach(function (line) {
      var trimmed = trimProfile(line);
      var name = headerName(trimmed);
      if (name !== null) {
        if (current === "") {
          flushOwn("");
        } else {
          flushOwn(current);
        }
        current = name.toLowerCase();
        out.push(line);
        return;
      }
      var s = current !== "" && trimmed.charAt(0) !== ";" ? tableKeyOfLine(current, trimmed) : null;
      if (s) {
        out.push(trimmed.slice(0, trimmed.indexOf("=")) + "=" + valueText(s, values[nameOf(s)]));
      } else {
        out.push(line);
      }
    });
    if (out.length && out[out.length - 1] !== "") out.push("");
    flushOwn(current);
    if (out[out.length - 1] !== "") out.push("");
    Object.keys(own).forEach(function (sectionLower) {
      // Lines of a read section the shipped file does not have (a repeated
      // header's section was turned into comments above).
      if (own[sectionLower].length) {
        Array.prototype.push.apply(out, own[sectionLower]);
        out.push("");
      }
    });
    otherSections.forEach(function (lines) {
      Array.prototype.push.apply(out, lines);
      out.push("");
    });
    while (out.length > 1 && out[out.length - 1] === "" && out[out.length - 2] === "") out.pop();
    return out.join("\r\n");
  };

  // ---- the no-break list -----------------------------------------------------

  var noBreak = {};
  QmSettings.noBreak = noBreak;

  // One item as the list's reader will take it: the plug-in file by name, the
  // form ID as the last six hexadecimal digits the game's console shows.
  noBreak.checkEntry = function (plugin, formIdText) {
    var name = String(plugin === undefined || plugin === null ? "" : plugin).replace(/^[\t\x1a ]+|[\t\x1a ]+$/g, "");
    if (name === "") return { ok: false, formId: null, message: "name the plug-in file, such as Skyrim.esm" };
    if (/[\x00-\x1f\x7f]/.test(name) || name.indexOf("]") >= 0 || name.charAt(0) === "[") {
      return { ok: false, formId: null, message: "a plug-in file name has no control characters and no [ or ]" };
    }
    var text = String(formIdText === undefined || formIdText === null ? "" : formIdText).trim();
    var digits = text.replace(/^0x/i, "");
    if (!/^[0-9a-fA-F]+$/.test(digits)) {
      return { ok: false, formId: null, message: "the form ID is hexadecimal, such as 0x012EB7, not \"" + text + "\"" };
    }
    digits = digits.replace(/^0+(?=.)/, "");
    if (digits.length > 6) {
      return {
        ok: false,
        formId: null,
        message:
          "write the form ID's last six digits (0x" +
          digits.slice(-6).toUpperCase() +
          "): the plug-in adds the load-order byte of " +
          name +
          " itself, so " +
          digits.toUpperCase() +
          " would name another item",
      };
    }
    return { ok: true, formId: parseInt(digits, 16), message: null };
  };

  // Whether this line names an item the list's reader adds: formid=flag with
  // a formid that reads as a number and a flag that reads as 1. (The reader
  // also adds form 0 for a formid it cannot read; the export keeps such a
  // line as a comment instead.)
  function enabledEntry(trimmed) {
    var parts = entryText(trimmed).split("=");
    var space = "[\\t\\n\\v\\f\\r ]*";
    return (
      parts.length === 2 &&
      new RegExp("^" + space + "[+-]?(0[xX][0-9a-fA-F]|[0-9])").test(parts[0]) &&
      new RegExp("^" + space + "[+-]?0*1(?![0-9])").test(parts[1])
    );
  }

  // NoBreakForms.ini for the entries ({plugin, formId}), grouped by plug-in
  // file (names compared without regard to case, as the game compares them),
  // under the shipped file's explanation. Each entry is written 0x012EB7=1.
  // With the player's file as baseText, its own comments and the lines that
  // add no item (flag 0, say) are kept as comments under their plug-in file;
  // its items are those of entries (an item the player removed is gone).
  noBreak.exportText = function (entries, baseText) {
    var groups = [];
    var byName = {};
    function groupOf(name) {
      var lower = name.toLowerCase();
      if (!byName[lower]) {
        byName[lower] = { name: name, ids: [], own: [] };
        groups.push(byName[lower]);
      }
      return byName[lower];
    }
    (entries || []).forEach(function (entry) {
      var checked = noBreak.checkEntry(entry.plugin, "0x" + Number(entry.formId).toString(16));
      if (!checked.ok || !(Number(entry.formId) >= 0)) {
        throw new Error((entry.plugin || "?") + " " + entry.formId + ": " + (checked.message || "not a form ID"));
      }
      var group = groupOf(String(entry.plugin).trim());
      if (group.ids.indexOf(checked.formId) < 0) group.ids.push(checked.formId);
    });
    var shipped = splitLines(data().shippedNoBreak);
    var shippedLines = {};
    shipped.forEach(function (line) {
      shippedLines[trimProfile(line)] = true;
    });
    var top = [];
    if (baseText) {
      var target = top;
      splitLines(textOf(baseText).replace(/^\ufeff/, "")).forEach(function (line) {
        var trimmed = trimProfile(line);
        if (trimmed === "") return;
        var name = headerName(trimmed);
        if (name !== null) {
          target = name === "" ? top : groupOf(name).own;
          return;
        }
        if (trimmed.charAt(0) === ";") {
          if (!shippedLines[trimmed]) target.push(trimmed);
          return;
        }
        if (target !== top && enabledEntry(trimmed)) return;
        target.push(";" + trimmed);
      });
    }
    var out = [];
    shipped.forEach(function (line) {
      if (line !== "") out.push(line);
    });
    Array.prototype.push.apply(out, top);
    groups.forEach(function (group) {
      out.push("");
      // A file none of whose items is listed keeps its lines as comments
      // only: a header without entries would be one more thing to explain.
      out.push((group.ids.length ? "[" : ";[") + group.name + "]");
      Array.prototype.push.apply(out, group.own);
      group.ids.forEach(function (id) {
        out.push(hex6(id) + "=1");
      });
    });
    out.push("");
    return out.join("\r\n");
  };

  // ---- the check: qm-check-settings in WebAssembly ---------------------------

  var verdictStart = /^(taken|dropped|misread|overridden|no change|no effect|disabled|skipped)(:|$)/;
  var problemWords = { dropped: true, misread: true, overridden: true, "no effect": true };

  // Bytes for the in-memory file: a Uint8Array or ArrayBuffer as given (a
  // page that reads the player's file as bytes keeps byte-order marks and
  // UTF-16 as the game sees them); text as UTF-8.
  function bytesOf(content) {
    if (content instanceof Uint8Array) return content;
    if (typeof ArrayBuffer !== "undefined" && content instanceof ArrayBuffer) return new Uint8Array(content);
    return new TextEncoder().encode(String(content));
  }
  // The file's text for finding lines: by its byte-order mark, as the
  // profile functions decode it; without one, byte for byte.
  function textOf(content) {
    if (typeof content === "string") return content;
    var bytes = bytesOf(content);
    var marks = [
      ["utf-8", [0xef, 0xbb, 0xbf]],
      ["utf-16le", [0xff, 0xfe]],
      ["utf-16be", [0xfe, 0xff]],
    ];
    for (var m = 0; m < marks.length; m++) {
      var mark = marks[m][1];
      var same = bytes.length >= mark.length;
      for (var b = 0; same && b < mark.length; b++) same = bytes[b] === mark[b];
      if (same && typeof TextDecoder !== "undefined") return new TextDecoder(marks[m][0]).decode(bytes);
    }
    var text = "";
    for (var i = 0; i < bytes.length; i++) text += String.fromCharCode(bytes[i]);
    return text;
  }

  function checkModule() {
    var factory = root.QmCheckModule;
    if (typeof factory !== "function") return Promise.reject(new Error("QmSettings: settings_check.js is not loaded"));
    var printed = [];
    return factory({
      print: function (line) {
        printed.push(line);
      },
      printErr: function (line) {
        printed.push(line);
      },
      // The checker's exit ends its run, never the page's process (under
      // node the runtime would set the process's exit code).
      quit: function (status, toThrow) {
        throw toThrow;
      },
    }).then(function (module) {
      return { module: module, printed: printed };
    });
  }

  // Runs the checker on the files in a fresh instance; its printed lines.
  function runChecker(iniBytes, noBreakBytes, plugins) {
    return checkModule().then(function (m) {
      var FS = m.module.FS;
      FS.mkdir("/player");
      FS.writeFile("/player/Quellmark.ini", iniBytes);
      var args = ["Quellmark.ini"];
      if (noBreakBytes) {
        FS.writeFile("/player/NoBreakForms.ini", noBreakBytes);
        args.push("NoBreakForms.ini");
      }
      args.push("--plugins", plugins.join(","));
      FS.chdir("/player");
      var status = m.module.callMain(args);
      var values = null;
      var read = m.module.ccall("qm_values_read", "string", ["string"], ["/player/Quellmark.ini"]);
      if (read) values = read.split("\n").slice(0, data().settings.length).map(Number);
      return { status: status, lines: m.printed, values: values };
    });
  }

  // The line of the file that an entry of the report stands for: the first
  // not yet matched line of that section that reads as the same entry.
  function lineFinder(text) {
    var lines = splitLines(text.replace(/^\ufeff|^\xef\xbb\xbf/, ""));
    var used = {};
    return function (sectionLower, entry) {
      var section = null;
      for (var i = 0; i < lines.length; i++) {
        var trimmed = trimProfile(lines[i]);
        var name = headerName(trimmed);
        if (name !== null) {
          section = name.toLowerCase();
          continue;
        }
        if (sectionLower === "" && section !== null) continue;
        if (sectionLower !== "" && section !== sectionLower) continue;
        if (!used[i] && trimmed !== "" && entryText(trimmed) === entry) {
          used[i] = true;
          return i + 1;
        }
      }
      return 0;
    };
  }

  function unescapePrintable(text) {
    return text.replace(/\\x([0-9A-F]{2})/g, function (all, code) {
      return String.fromCharCode(parseInt(code, 16));
    });
  }

  // The checker's report, file by file: problems and the no-break entries taken.
  function parseReport(lines, files) {
    var problems = [];
    var taken = [];
    var file = null;
    var section = "";
    var position = 0;
    var light = false;
    for (var i = 0; i < lines.length; i++) {
      var line = lines[i];
      if (line === "Effective settings, as the plug-in writes them to its log:") break;
      var named = files.filter(function (f) {
        return f.name === line;
      })[0];
      if (named) {
        file = named;
        section = "";
        continue;
      }
      if (!file || line === "") continue;
      var m;
      if ((m = /^ {2}\[(.*?)\] {2}(.*)$/.exec(line))) {
        section = unescapePrintable(m[1]);
        // A light file's items keep 12 bits of their own below its light index.
        var pos = /^\((?:load order position (\d+)|light file, light index \d+)\)$/.exec(m[2]);
        position = pos && pos[1] !== undefined ? Number(pos[1]) : 0;
        light = !!pos && pos[1] === undefined;
        if (m[2] && !pos) problems.push({ file: file.name, line: 0, section: section, key: "", text: m[2] });
        continue;
      }
      if ((m = /^ {2}\[(.*)\]$/.exec(line))) {
        section = unescapePrintable(m[1]);
        continue;
      }
      if ((m = /^ {2}\(before any section\) (.*?) {2}(dropped: .*)$/.exec(line))) {
        var before = unescapePrintable(m[1]);
        problems.push({
          file: file.name,
          line: file.find("", before),
          section: "",
          key: before.split("=")[0],
          text: m[2],
        });
        continue;
      }
      if (/^ {4}/.test(line)) {
        var rest = line.slice(4);
        // The entry is padded to 34 characters and followed by one blank; a
        // line that starts with a verdict is a note on the whole section.
        var verdictAt = /^dropped: the section /.test(rest) ? -1 : rest.length;
        for (var from = 35; from < verdictAt; from++) {
          if (rest.charAt(from - 1) === " " && verdictStart.test(rest.slice(from))) {
            verdictAt = from;
            break;
          }
        }
        if (verdictAt < 0 || verdictAt === rest.length) {
          // A note of the section's own, such as a cut section.
          problems.push({ file: file.name, line: 0, section: section, key: "", text: rest });
          continue;
        }
        var entry = unescapePrintable(rest.slice(0, verdictAt).replace(/ +$/, ""));
        var verdict = rest.slice(verdictAt);
        var kind = /^[a-z ]+/.exec(verdict)[0].replace(/ $/, "");
        if (file.noBreak && /^taken: form 0x[0-9A-F]{8}$/.test(verdict)) {
          var id = parseInt(verdict.slice(-8), 16);
          taken.push({ plugin: section, formId: light ? id & 0xfff : (id - position * 0x1000000) >>> 0, id: id });
        }
        if (problemWords[kind]) {
          problems.push({
            file: file.name,
            line: file.find(section.toLowerCase(), entry),
            section: section,
            key: entry.indexOf("=") >= 0 ? entry.slice(0, entry.indexOf("=")) : entry,
            text: verdict,
          });
        }
        continue;
      }
      if (/^ {2}(NUL characters|dropped:)/.test(line)) {
        problems.push({ file: file.name, line: 0, section: "", key: "", text: line.slice(2) });
      }
    }
    return { problems: problems, taken: taken };
  }

  var defaultPlugins = ["Skyrim.esm", "Update.esm", "Dawnguard.esm", "HearthFires.esm", "Dragonborn.esm"];

  // What the plug-in makes of the player's files: values, problems with the
  // checker's explanation, its whole report, and the no-break entries.
  QmSettings.check = function (iniText, noBreakText, pluginList) {
    var plugins = pluginList && pluginList.length ? pluginList.slice() : defaultPlugins.slice();
    var iniBytes = bytesOf(iniText === null || iniText === undefined ? "" : iniText);
    var noBreakBytes = noBreakText === null || noBreakText === undefined ? null : bytesOf(noBreakText);
    var files = [{ name: "Quellmark.ini", find: lineFinder(textOf(iniText || "")) }];
    if (noBreakBytes) files.push({ name: "NoBreakForms.ini", noBreak: true, find: lineFinder(textOf(noBreakText)) });
    return runChecker(iniBytes, noBreakBytes, plugins).then(function (run) {
      if (run.status === 2 || !run.values) {
        throw new Error("qm-check-settings could not check the files:\n" + run.lines.join("\n"));
      }
      var parsed = parseReport(run.lines, files);
      var values = {};
      data().settings.forEach(function (s, i) {
        values[nameOf(s)] = run.values[i];
      });
      var result = {
        values: values,
        problems: parsed.problems,
        report: run.lines.join("\n") + "\n",
        noBreak: parsed.taken,
      };
      // Entries of plug-in files the list does not name are kept for the
      // export all the same: a second run with those files appended reads them.
      var missing = [];
      parsed.problems.forEach(function (p) {
        var m = /^dropped: (.*) is (not in the plug-in list|at load order position \d+;.*)$/.exec(p.text);
        if (p.file === "NoBreakForms.ini" && m && missing.indexOf(p.section) < 0) missing.push(p.section);
      });
      if (!missing.length) return result;
      var kept = plugins.filter(function (name, i) {
        return i < 255;
      });
      var extended = kept.concat(missing).slice(0, 255);
      return runChecker(iniBytes, noBreakBytes, extended).then(function (again) {
        var more = parseReport(again.lines, [files[0], { name: "NoBreakForms.ini", noBreak: true, find: function () { return 0; } }]);
        more.taken.forEach(function (entry) {
          var lower = entry.plugin.toLowerCase();
          var inMissing = missing.some(function (name) {
            return name.toLowerCase() === lower;
          });
          if (inMissing) {
            entry.loaded = false;
            delete entry.id;
            result.noBreak.push(entry);
          }
        });
        return result;
      });
    });
  };

  if (typeof module !== "undefined" && module.exports) module.exports = QmSettings;
})(typeof globalThis !== "undefined" ? globalThis : this);
