'use strict';
// Decodes the PNG screenshots the browser takes (8-bit RGB or RGBA, not
// interlaced) into RGBA pixels, for the pixel checks.
const zlib = require('node:zlib');

function paeth(a, b, c) {
  const p = a + b - c;
  const pa = Math.abs(p - a);
  const pb = Math.abs(p - b);
  const pc = Math.abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

function decodePng(buffer) {
  if (buffer.readUInt32BE(0) !== 0x89504e47) throw new Error('not a PNG image');
  let offset = 8;
  let header = null;
  const chunks = [];
  while (offset < buffer.length) {
    const length = buffer.readUInt32BE(offset);
    const type = buffer.toString('latin1', offset + 4, offset + 8);
    const data = buffer.subarray(offset + 8, offset + 8 + length);
    if (type === 'IHDR') {
      header = { width: data.readUInt32BE(0), height: data.readUInt32BE(4), depth: data[8], colour: data[9],
                 interlace: data[12] };
    } else if (type === 'IDAT') {
      chunks.push(data);
    }
    offset += 12 + length;
  }
  if (!header || header.depth !== 8 || (header.colour !== 2 && header.colour !== 6) || header.interlace !== 0) {
    throw new Error('only 8-bit RGB or RGBA PNG images without interlacing are read');
  }
  const channels = header.colour === 6 ? 4 : 3;
  const stride = header.width * channels;
  const raw = zlib.inflateSync(Buffer.concat(chunks));
  if (raw.length < (stride + 1) * header.height) throw new Error('the PNG image data is cut short');
  // Each line is unfiltered in place, one loop per filter type: screenshots
  // of whole screens run to millions of pixels.
  const rows = Buffer.alloc(stride * header.height);
  for (let y = 0; y < header.height; ++y) {
    const filter = raw[y * (stride + 1)];
    const from = y * (stride + 1) + 1;
    const at = y * stride;
    const up = at - stride;
    if (filter === 0 || (filter === 2 && y === 0)) {
      raw.copy(rows, at, from, from + stride);
    } else if (filter === 1) {
      for (let x = 0; x < channels; ++x) rows[at + x] = raw[from + x];
      for (let x = channels; x < stride; ++x) rows[at + x] = (raw[from + x] + rows[at + x - channels]) & 0xff;
    } else if (filter === 2) {
      for (let x = 0; x < stride; ++x) rows[at + x] = (raw[from + x] + rows[up + x]) & 0xff;
    } else if (filter === 3) {
      for (let x = 0; x < stride; ++x) {
        const left = x >= channels ? rows[at + x - channels] : 0;
        const above = y > 0 ? rows[up + x] : 0;
        rows[at + x] = (raw[from + x] + ((left + above) >> 1)) & 0xff;
      }
    } else if (filter === 4) {
      for (let x = 0; x < stride; ++x) {
        const left = x >= channels ? rows[at + x - channels] : 0;
        const above = y > 0 ? rows[up + x] : 0;
        const upLeft = y > 0 && x >= channels ? rows[up + x - channels] : 0;
        rows[at + x] = (raw[from + x] + paeth(left, above, upLeft)) & 0xff;
      }
    } else {
      throw new Error(`unknown PNG filter type ${filter} in line ${y}`);
    }
  }
  let rgba = rows;
  if (channels === 3) {
    rgba = Buffer.alloc(header.width * header.height * 4);
    for (let i = 0; i < header.width * header.height; ++i) {
      rgba[i * 4] = rows[i * 3];
      rgba[i * 4 + 1] = rows[i * 3 + 1];
      rgba[i * 4 + 2] = rows[i * 3 + 2];
      rgba[i * 4 + 3] = 255;
    }
  }
  return { width: header.width, height: header.height, rgba };
}

// How many pixels of the box {x, y, width, height} lie within `tolerance`
// (largest channel difference) of the colour 0xRRGGBB.
function countNear(image, box, colour, tolerance) {
  const r = (colour >> 16) & 0xff;
  const g = (colour >> 8) & 0xff;
  const b = colour & 0xff;
  const x0 = Math.max(0, Math.floor(box.x));
  const y0 = Math.max(0, Math.floor(box.y));
  const x1 = Math.min(image.width, Math.ceil(box.x + box.width));
  const y1 = Math.min(image.height, Math.ceil(box.y + box.height));
  let count = 0;
  for (let y = y0; y < y1; ++y) {
    for (let x = x0; x < x1; ++x) {
      const i = (y * image.width + x) * 4;
      const d = Math.max(Math.abs(image.rgba[i] - r), Math.abs(image.rgba[i + 1] - g), Math.abs(image.rgba[i + 2] - b));
      if (d <= tolerance) ++count;
    }
  }
  return count;
}

module.exports = { decodePng, countNear };
