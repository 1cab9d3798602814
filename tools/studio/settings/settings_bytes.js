// QmSettings.bytes: a settings file's bytes as the plug-in's reader decodes
// them, and the page's text written back in the same encoding. The reader
// goes by the first bytes alone: a UTF-8 or UTF-16 byte-order mark, or else
// the Windows code page (1252) byte for byte; every browser here decodes
// alike because none of the browser's own guessing is used. A classic script.
(function (root) {
  "use strict";

  var QmSettings = root.QmSettings || (root.QmSettings = {});

  // Code page 1252 at 0x80-0x9F; every other byte is the code point of its
  // value (the five unassigned bytes included, so that every byte comes back).
  var HIGH = [
    0x20ac, 0x0081, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008d,
    0x017d, 0x008f, 0x0090, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a,
    0x0153, 0x009d, 0x017e, 0x0178,
  ];
  var fromHigh = {};
  HIGH.forEach(function (unit, i) {
    fromHigh[unit] = 0x80 + i;
  });

  function charOfByte(byte) {
    return byte >= 0x80 && byte < 0xa0 ? HIGH[byte - 0x80] : byte;
  }
  // The code page's byte for a UTF-16 unit, or -1 where it has none.
  function byteOfUnit(unit) {
    if (unit < 0x80 || (unit >= 0xa0 && unit <= 0xff)) return unit;
    var byte = fromHigh[unit];
    return byte === undefined ? -1 : byte;
  }

  function asBytes(content) {
    if (content instanceof Uint8Array) return content;
    if (typeof ArrayBuffer !== "undefined" && content instanceof ArrayBuffer) return new Uint8Array(content);
    throw new Error("QmSettings.bytes: a Uint8Array or ArrayBuffer, please");
  }

  // Units to a string in slices: String.fromCharCode takes its arguments on
  // the stack, and a file may have millions of units.
  function unitsToString(units, count) {
    var parts = [];
    for (var at = 0; at < count; at += 8192) {
      parts.push(String.fromCharCode.apply(null, units.subarray(at, Math.min(count, at + 8192))));
    }
    return parts.join("");
  }

  var NAMES = {
    "utf-8": "UTF-8 with a byte-order mark",
    "utf-16le": "UTF-16 LE with a byte-order mark",
    "utf-16be": "UTF-16 BE with a byte-order mark",
    cp1252: "the Windows code page (1252)",
  };

  function encodingOf(bytes) {
    if (bytes.length >= 3 && bytes[0] === 0xef && bytes[1] === 0xbb && bytes[2] === 0xbf) return "utf-8";
    if (bytes.length >= 2 && bytes[0] === 0xff && bytes[1] === 0xfe) return "utf-16le";
    if (bytes.length >= 2 && bytes[0] === 0xfe && bytes[1] === 0xff) return "utf-16be";
    return "cp1252";
  }

  // { text, encoding }: the text the reader parses, without the byte-order
  // mark. An odd last byte of UTF-16 is a unit of its own, as the reader has it.
  function decode(content) {
    var bytes = asBytes(content);
    var encoding = encodingOf(bytes);
    var units;
    var count = 0;
    if (encoding === "utf-8") {
      return { text: new TextDecoder("utf-8").decode(bytes.subarray(3)), encoding: encoding };
    }
    if (encoding === "cp1252") {
      units = new Uint16Array(bytes.length);
      for (var i = 0; i < bytes.length; i++) units[i] = charOfByte(bytes[i]);
      return { text: unitsToString(units, bytes.length), encoding: encoding };
    }
    var big = encoding === "utf-16be";
    units = new Uint16Array(Math.ceil((bytes.length - 2) / 2));
    for (var b = 2; b < bytes.length; b += 2) {
      units[count++] = b + 1 === bytes.length ? bytes[b] : big ? (bytes[b] << 8) | bytes[b + 1] : (bytes[b + 1] << 8) | bytes[b];
    }
    return { text: unitsToString(units, count), encoding: encoding };
  }

  // { bytes, unwritable }: the text in the encoding, with its byte-order
  // mark; unwritable lists the characters the code page has no byte for
  // (written as '?', as Windows writes them). Never null.
  function encode(text, encoding) {
    text = String(text);
    var unwritable = [];
    var out;
    var i;
    if (encoding === "utf-16le" || encoding === "utf-16be") {
      out = new Uint8Array(2 + text.length * 2);
      var big = encoding === "utf-16be";
      out[0] = big ? 0xfe : 0xff;
      out[1] = big ? 0xff : 0xfe;
      for (i = 0; i < text.length; i++) {
        var unit = text.charCodeAt(i);
        out[2 + 2 * i + (big ? 1 : 0)] = unit & 0xff;
        out[2 + 2 * i + (big ? 0 : 1)] = unit >> 8;
      }
      return { bytes: out, unwritable: unwritable };
    }
    if (encoding === "utf-8") {
      var body = new TextEncoder().encode(text);
      out = new Uint8Array(body.length + 3);
      out.set([0xef, 0xbb, 0xbf]);
      out.set(body, 3);
      return { bytes: out, unwritable: unwritable };
    }
    out = new Uint8Array(text.length);
    for (i = 0; i < text.length; i++) {
      var byte = byteOfUnit(text.charCodeAt(i));
      if (byte < 0) {
        if (unwritable.indexOf(text.charAt(i)) < 0) unwritable.push(text.charAt(i));
        byte = 0x3f;
      }
      out[i] = byte;
    }
    return { bytes: out, unwritable: unwritable };
  }

  // Why these bytes are no settings file, in one sentence's end; null for
  // text. A NUL where the file is not UTF-16, a control character other than
  // the blanks the reader trims, or mostly lines that are neither a comment,
  // a header nor key=value.
  function notSettingsText(content) {
    var bytes = asBytes(content);
    var decoded = decode(bytes);
    var text = decoded.text;
    for (var i = 0; i < text.length; i++) {
      var c = text.charCodeAt(i);
      if (c === 0) {
        return decoded.encoding === "cp1252"
          ? "it holds NUL bytes, as a picture or a program does (or it is UTF-16 without the byte-order mark the game needs)"
          : "it holds NUL characters";
      }
      if ((c < 0x20 && !(c >= 0x09 && c <= 0x0d) && c !== 0x1a) || c === 0x7f) {
        return "it holds control characters (byte 0x" + (c < 16 ? "0" : "") + c.toString(16).toUpperCase() + ") that no text file has";
      }
    }
    // Line by line without cutting the text up: a file may have millions.
    var lines = 0;
    var senseless = 0;
    var first = -1; // the first character of the line that is no blank
    var equals = false;
    for (var at = 0; at <= text.length; at++) {
      var unit = at < text.length ? text.charCodeAt(at) : 10;
      if (unit === 10 || unit === 13) {
        if (first >= 0) {
          lines++;
          var lead = text.charCodeAt(first);
          if (lead !== 0x3b && lead !== 0x5b && !equals) senseless++; // ';', '['
        }
        first = -1;
        equals = false;
      } else if (first < 0 && !((unit >= 0x09 && unit <= 0x0d) || unit === 0x1a || unit === 0x20)) {
        first = at;
        equals = unit === 0x3d;
      } else if (unit === 0x3d) {
        equals = true;
      }
    }
    if (senseless > 100 && senseless * 2 > lines) {
      return senseless + " of its " + lines + " lines are neither a comment, a [section] nor key=value";
    }
    return null;
  }

  // A name as the reader makes it out of bytes saved as UTF-8 without a
  // byte-order mark: the code page's characters for each byte. `meant` is
  // the name the bytes spell in UTF-8, or null when they are no such name
  // or the code page cannot write it.
  function utf8Misread(name) {
    var bytes = [];
    var multi = false;
    for (var i = 0; i < name.length; i++) {
      var byte = byteOfUnit(name.charCodeAt(i));
      if (byte < 0) return null;
      if (byte >= 0x80) multi = true;
      bytes.push(byte);
    }
    if (!multi) return null;
    var meant;
    try {
      meant = new TextDecoder("utf-8", { fatal: true }).decode(new Uint8Array(bytes));
    } catch (error) {
      return null;
    }
    return encode(meant, "cp1252").unwritable.length ? null : meant;
  }

  QmSettings.bytes = {
    decode: decode,
    encode: encode,
    encodingOf: function (content) {
      return encodingOf(asBytes(content));
    },
    encodingName: function (encoding) {
      return NAMES[encoding] || encoding;
    },
    notSettingsText: notSettingsText,
    utf8Misread: utf8Misread,
    charOfByte: charOfByte,
    byteOfUnit: byteOfUnit,
  };

  if (typeof module !== "undefined" && module.exports) module.exports = QmSettings.bytes;
})(typeof globalThis !== "undefined" ? globalThis : this);
