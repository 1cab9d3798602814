'use strict';
// Pixel checks of a screenshot of the stage: each shown row's icon and text
// must appear in the row's colour inside the row's box.
const { countNear } = require('./png');
const { hex } = require('./rows');

const TOLERANCE = 40;    // largest channel difference still counted as the colour
const MIN_PIXELS = 6;    // a glyph or a few letters, even at small scales

// The row's icon (left, about as wide as the row is high) and its text (the
// name, then the durability number) as boxes in stage pixels.
function rowBoxes(row) {
  const iconWidth = row.height;
  return {
    icon: { x: row.x, y: row.y, width: iconWidth, height: row.height },
    text: { x: row.x + iconWidth, y: row.y, width: row.nameWidth + row.height * 4, height: row.height },
  };
}

// `origin` is the stage pixel at the image's top-left (a clipped screenshot).
function rowPixelProblems(image, rows, where, origin = { x: 0, y: 0 }) {
  const problems = [];
  rows.forEach((row, i) => {
    if (!row.visible) return;
    const boxes = rowBoxes(row);
    for (const part of ['icon', 'text']) {
      const box = { ...boxes[part], x: boxes[part].x - origin.x, y: boxes[part].y - origin.y };
      const found = countNear(image, box, row.colour, TOLERANCE);
      if (found < MIN_PIXELS) {
        problems.push(`${where}, row ${i + 1}: ${found} pixel(s) of ${hex(row.colour)} in its ${part} box ` +
          `${JSON.stringify(boxes[part])}`);
      }
    }
  });
  return problems;
}

// The smallest box around the pixels of `colour` inside `box`, or null.
function colourExtent(image, box, colour) {
  const r = (colour >> 16) & 0xff;
  const g = (colour >> 8) & 0xff;
  const b = colour & 0xff;
  let extent = null;
  for (let y = Math.max(0, Math.floor(box.y)); y < Math.min(image.height, Math.ceil(box.y + box.height)); ++y) {
    for (let x = Math.max(0, Math.floor(box.x)); x < Math.min(image.width, Math.ceil(box.x + box.width)); ++x) {
      const i = (y * image.width + x) * 4;
      if (Math.max(Math.abs(image.rgba[i] - r), Math.abs(image.rgba[i + 1] - g), Math.abs(image.rgba[i + 2] - b))
          > TOLERANCE) continue;
      if (!extent) extent = { x0: x, y0: y, x1: x, y1: y };
      extent.x0 = Math.min(extent.x0, x);
      extent.y0 = Math.min(extent.y0, y);
      extent.x1 = Math.max(extent.x1, x);
      extent.y1 = Math.max(extent.y1, y);
    }
  }
  return extent && { x: extent.x0, y: extent.y0, width: extent.x1 - extent.x0 + 1, height: extent.y1 - extent.y0 + 1 };
}

// The part of the stage the widget's seven rows take, with a margin.
function widgetClip(readout) {
  const rows = readout.rows;
  const height = Math.max(...rows.map((r) => r.height), 1);
  const pad = Math.ceil(height / 2);
  const x0 = Math.min(readout.widget.x, ...rows.map((r) => r.x)) - pad;
  const y0 = Math.min(readout.widget.y, ...rows.map((r) => r.y)) - pad;
  const rights = rows.map((r) => rowBoxes(r).text.x + rowBoxes(r).text.width);
  const x1 = Math.max(readout.widget.x + height * 12, ...rights) + pad;
  const y1 = Math.max(...rows.map((r) => r.y + r.height)) + pad;
  const x = Math.max(0, Math.floor(x0));
  const y = Math.max(0, Math.floor(y0));
  return {
    x, y,
    width: Math.max(1, Math.min(readout.stage.width, Math.ceil(x1)) - x),
    height: Math.max(1, Math.min(readout.stage.height, Math.ceil(y1)) - y),
  };
}

module.exports = { rowBoxes, rowPixelProblems, colourExtent, widgetClip, TOLERANCE };
