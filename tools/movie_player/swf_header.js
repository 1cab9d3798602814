'use strict';
// The stage size a SWF file declares (its frame rectangle), so that the
// player element can show the movie at one screen pixel per stage pixel.
const zlib = require('node:zlib');

function readBits(bytes, bitOffset, count) {
  let value = 0;
  for (let i = 0; i < count; ++i) {
    const bit = bitOffset + i;
    value = value * 2 + ((bytes[bit >> 3] >> (7 - (bit & 7))) & 1);
  }
  return value;
}

// Throws on anything but an uncompressed ("FWS") or zlib ("CWS") SWF.
function swfStage(data) {
  const signature = data.subarray(0, 3).toString('latin1');
  if (data.length < 9 || (signature !== 'FWS' && signature !== 'CWS')) throw new Error('not a SWF file');
  const body = signature === 'CWS' ? zlib.inflateSync(data.subarray(8)) : data.subarray(8);
  const bits = readBits(body, 0, 5);
  const field = (index) => {
    const raw = readBits(body, 5 + index * bits, bits);
    return raw >= 2 ** (bits - 1) ? raw - 2 ** bits : raw;  // signed
  };
  const twips = { xMin: field(0), xMax: field(1), yMin: field(2), yMax: field(3) };
  return {
    version: data[3],
    width: (twips.xMax - twips.xMin) / 20,
    height: (twips.yMax - twips.yMin) / 20,
  };
}

module.exports = { swfStage };
