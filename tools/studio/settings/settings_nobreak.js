// QmSettings.noBreak: the no-break list's items, checked as its reader takes
// them and written so that the reader takes each back as the same item. A
// classic script: load settings_values.js and settings_lines.js first.
(function (root) {
  "use strict";

  var QmSettings = root.QmSettings || (root.QmSettings = {});
  var L = QmSettings.lines;
  var I = QmSettings.internal;
  var noBreak = {};
  QmSettings.noBreak = noBreak;

  function nameProblem(name) {
    if (name === "") return "name the plug-in file, such as Skyrim.esm";
    if (/[\x00-\x1f\x7f]/.test(name) || name.indexOf("]") >= 0 || name.charAt(0) === "[") {
      return "a plug-in file name has no control characters and no [ or ]";
    }
    return null;
  }

  // Whether a header can hold the name so that the reader reads it back: a
  // header's name runs to the last ']' and is trimmed, so only an empty name,
  // a line break or a NUL (which ends the name) cannot be written.
  function headerProblem(name) {
    if (name === "") return "a plug-in file has a name";
    if (/[\r\n\0]/.test(name)) return "a plug-in file name has no line break or NUL in it";
    return null;
  }

  // One item the player types: the plug-in file by name, the form ID as the
  // last six hexadecimal digits the game's console shows.
  noBreak.checkEntry = function (plugin, formIdText) {
    var name = String(plugin === undefined || plugin === null ? "" : plugin).replace(/^[\t\x1a ]+|[\t\x1a ]+$/g, "");
    var problem = nameProblem(name);
    if (problem) return { ok: false, formId: null, message: problem };
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

  // A form ID as the list holds it (the reader's 32-bit number before it
  // adds the load-order byte) in text the reader reads back as that number:
  // six digits where they do, eight where the player's file had more (the
  // reader adds the byte to them all the same), and a negative number for
  // the top half, which strtoll would take as out of the 32-bit range.
  noBreak.formIdText = function (formId) {
    var id = Number(formId) >>> 0;
    if (id <= 0xffffff) return I.hex6(id);
    if (id <= 0x7fffffff) return "0x" + ("0000000" + id.toString(16).toUpperCase()).slice(-8);
    return "-0x" + (4294967296 - id).toString(16).toUpperCase();
  };

  // Whether this line names an item the list's reader adds: formid=flag with
  // a formid that reads as a number and a flag that reads as 1. (The reader
  // also adds form 0 for a formid it cannot read; the export keeps such a
  // line as a comment instead.)
  function enabledEntry(trimmed) {
    var parts = L.entryText(trimmed).split("=");
    var space = "[\\t\\n\\v\\f\\r ]*";
    return (
      parts.length === 2 &&
      new RegExp("^" + space + "[+-]?(0[xX][0-9a-fA-F]|[0-9])").test(parts[0]) &&
      new RegExp("^" + space + "[+-]?0*1(?![0-9])").test(parts[1])
    );
  }

  // NoBreakForms.ini for the entries ({plugin, formId}), grouped by plug-in
  // file (names compared without regard to case, as the game compares them),
  // under the shipped file's explanation. With the player's file as baseText,
  // its own comments and the lines that add no item (flag 0, say) are kept
  // as comments under their plug-in file; its items are those of entries (an
  // item the player removed is gone). Throws, naming the entry, for one it
  // cannot write.
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
      var name = L.trim(String(entry.plugin === undefined || entry.plugin === null ? "" : entry.plugin));
      var id = Number(entry.formId);
      var problem = headerProblem(name) || (Number.isInteger(id) && id >= 0 && id <= 4294967295 ? null : "not a form ID");
      if (problem) throw new Error((name || "?") + " " + entry.formId + ": " + problem);
      var group = groupOf(name);
      if (group.ids.indexOf(id) < 0) group.ids.push(id);
    });
    var shipped = L.split(I.data().shippedNoBreak);
    var shippedLines = {};
    shipped.forEach(function (line) {
      shippedLines[L.trim(line)] = true;
    });
    var top = [];
    if (baseText) {
      var target = top;
      L.split(String(baseText).replace(/^\ufeff/, "")).forEach(function (line) {
        var trimmed = L.trim(line);
        if (trimmed === "") return;
        var name = L.headerName(trimmed);
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
    top.forEach(function (line) {
      out.push(line);
    });
    groups.forEach(function (group) {
      out.push("");
      // A file none of whose items is listed keeps its lines as comments
      // only: a header without entries would be one more thing to explain.
      out.push((group.ids.length ? "[" : ";[") + group.name + "]");
      group.own.forEach(function (line) {
        out.push(line);
      });
      group.ids.forEach(function (id) {
        out.push(noBreak.formIdText(id) + "=1");
      });
    });
    out.push("");
    return out.join("\r\n");
  };
})(typeof globalThis !== "undefined" ? globalThis : this);
