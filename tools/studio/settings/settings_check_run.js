// QmSettings.check: what the plug-in makes of the player's files, told by
// qm-check-settings itself, compiled to WebAssembly (settings_check.js, the
// global QmCheckModule). A classic script: load the other settings_*.js first.
(function (root) {
  "use strict";

  var QmSettings = root.QmSettings || (root.QmSettings = {});
  var L = QmSettings.lines;
  var B = QmSettings.bytes;
  var I = QmSettings.internal;
  var data = I.data;
  var nameOf = I.nameOf;

  // ---- the check: qm-check-settings in WebAssembly ---------------------------

  var verdictStart = /^(taken|dropped|misread|overridden|no change|no effect|disabled|skipped)(:|$)/;
  var problemWords = { dropped: true, misread: true, overridden: true, "no effect": true };

  // Bytes for the in-memory file: a Uint8Array or ArrayBuffer as given (the
  // page reads the player's file as bytes); text as the code page writes it.
  function bytesOf(content) {
    if (content instanceof Uint8Array) return content;
    if (typeof ArrayBuffer !== "undefined" && content instanceof ArrayBuffer) return new Uint8Array(content);
    return B.encode(String(content), "cp1252").bytes;
  }
  // The file's text as the reader decodes it.
  function textOf(content) {
    if (typeof content === "string") return content;
    return B.decode(bytesOf(content)).text;
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
  // The plug-in list goes in as the code page's bytes, as the game names the
  // files and as the reader reads the no-break list's headers.
  function runChecker(iniBytes, noBreakBytes, plugins) {
    return checkModule().then(function (m) {
      var FS = m.module.FS;
      FS.mkdir("/player");
      FS.writeFile("/player/Quellmark.ini", iniBytes);
      if (noBreakBytes) FS.writeFile("/player/NoBreakForms.ini", noBreakBytes);
      FS.chdir("/player");
      var list = B.encode(plugins.join(","), "cp1252").bytes;
      var argument = new Uint8Array(list.length + 1);
      argument.set(list);
      var status = m.module.ccall(
        "qm_check_files",
        "number",
        ["string", "string", "array"],
        ["Quellmark.ini", noBreakBytes ? "NoBreakForms.ini" : null, argument]
      );
      var values = null;
      var read = m.module.ccall("qm_values_read", "string", ["string"], ["/player/Quellmark.ini"]);
      if (read) values = read.split("\n").slice(0, data().settings.length).map(QmSettings.listedNumber);
      return { status: status, lines: m.printed, values: values };
    });
  }

  // The line of the file that an entry of the report stands for: the first
  // not yet matched line of that section that reads as the same entry. The
  // lines are indexed once, so that a file of a million lines costs no more
  // than its reading.
  function lineFinder(text) {
    var lines = L.split(text.replace(/^\ufeff/, ""));
    var index = null;
    function build() {
      index = new Map();
      var section = "";
      for (var i = 0; i < lines.length; i++) {
        var trimmed = L.trim(lines[i]);
        if (trimmed === "") continue;
        var name = L.headerName(trimmed);
        if (name !== null) {
          section = name.toLowerCase();
          continue;
        }
        var key = section + "\n" + L.entryText(trimmed);
        var list = index.get(key);
        if (list) list.push(i + 1);
        else index.set(key, [i + 1]);
      }
    }
    return function (sectionLower, entry) {
      if (!index) build();
      var list = index.get(sectionLower + "\n" + entry);
      return list && list.length ? list.shift() : 0;
    };
  }

  // The checker writes each byte outside printable ASCII as \xNN; the
  // reader's bytes are the code page's characters.
  function unescapePrintable(text) {
    return text.replace(/\\x([0-9A-F]{2})/g, function (all, code) {
      return String.fromCharCode(B.charOfByte(parseInt(code, 16)));
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
