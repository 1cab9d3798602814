'use strict';
// The widget on whole screens: the screen sizes the movie is played at, the
// rule its size follows, and the checks of where it lands, in the test
// build's Readout and in a screenshot of the whole screen.
const { hex } = require('./rows');

// Widths and heights of the screens players have: 16:9, 16:10, 21:9, 32:9, 5:4.
const SCREENS = [
  [1280, 720], [1366, 768], [1600, 900], [1920, 1080], [1920, 1200], [2560, 1440], [2560, 1080], [3440, 1440],
  [3840, 2160], [5120, 1440], [1280, 1024],
].map(([width, height]) => ({ width, height }));

// The plug-in's default settings, and the bottom-right corner the README gives as an example.
const PLACEMENTS = [
  { name: 'default', args: [0.03, 0.73, 100, 8] },
  { name: 'bottom-right', args: [0.97, 0.95, 100, 56] },
];

// The rule: at scale 100 a row is 30 pixels high on a screen of 1,080 lines,
// and the same share of any screen's height; the backdrop adds 6 of those
// pixels above and below the rows.
const BASE_LINES = 1080;
const ROW_LINES = 30;
const PADDING_LINES = 6;
const FLAG_BACKDROP = 8;
const FLAG_ANCHOR_RIGHT = 16;
const FLAG_ANCHOR_BOTTOM = 32;

// How close the widget must come: its anchored edges within 1 % of the
// screen's width and height, its height within 10 % of the rule's.
const EDGE_TOLERANCE = 0.01;
const HEIGHT_TOLERANCE = 0.1;
// Pixels that differ from the scene behind the movie by more than this are the widget's.
const SCENE_TOLERANCE = 12;
// How far the drawn widget may lie from the box the Readout gives (anti-aliased edges).
const PIXEL_SLACK = 2;

function clampShare(value) {
  return Math.min(1, Math.max(0, value));
}

function clampScale(value) {
  return Math.min(1000, Math.max(10, value));
}

// The rule's height of a widget showing `rows` rows, in screen pixels.
function ruleHeight(screen, scale, rows) {
  return (rows * ROW_LINES + 2 * PADDING_LINES) * (clampScale(scale) / 100) * (screen.height / BASE_LINES);
}

function ruleRowHeight(screen, scale) {
  return ROW_LINES * (clampScale(scale) / 100) * (screen.height / BASE_LINES);
}

// Where the anchored edges go: the left or right edge, the top or bottom.
function anchoredEdges(box, flags) {
  return {
    x: flags & FLAG_ANCHOR_RIGHT ? box.x + box.width : box.x,
    y: flags & FLAG_ANCHOR_BOTTOM ? box.y + box.height : box.y,
  };
}

// The problems with a box {x, y, width, height} on the screen for Setup's
// arguments: not whole on the screen, anchored edges away from the shares,
// a height off the rule's. `slack` widens "whole" for a box read off pixels.
function boxProblems(box, screen, [x, y, scale, flags], rows, where, slack = 0.5) {
  const problems = [];
  const text = `${where}: box ${describeBox(box)} on ${screen.width} x ${screen.height}`;
  if (box.x < -slack || box.y < -slack || box.x + box.width > screen.width + slack
      || box.y + box.height > screen.height + slack) {
    problems.push(`${text}: not whole on the screen`);
  }
  const edges = anchoredEdges(box, flags);
  const wantX = clampShare(x) * screen.width;
  const wantY = clampShare(y) * screen.height;
  if (Math.abs(edges.x - wantX) > EDGE_TOLERANCE * screen.width) {
    problems.push(`${text}: its ${flags & FLAG_ANCHOR_RIGHT ? 'right' : 'left'} edge at ${edges.x.toFixed(1)}, ` +
      `not within 1 % of the width from ${wantX.toFixed(1)} (${(x * 100).toFixed(1)} %)`);
  }
  if (Math.abs(edges.y - wantY) > EDGE_TOLERANCE * screen.height) {
    problems.push(`${text}: its ${flags & FLAG_ANCHOR_BOTTOM ? 'bottom' : 'top'} edge at ${edges.y.toFixed(1)}, ` +
      `not within 1 % of the height from ${wantY.toFixed(1)} (${(y * 100).toFixed(1)} %)`);
  }
  const height = ruleHeight(screen, scale, rows);
  if (Math.abs(box.height - height) > HEIGHT_TOLERANCE * height) {
    problems.push(`${text}: ${box.height.toFixed(1)} pixels high, not within 10 % of the rule's ` +
      `${height.toFixed(1)} (${rows} rows of ${ruleRowHeight(screen, scale).toFixed(1)})`);
  }
  return problems;
}

// The problems with what the Readout says after Setup(args) on this screen:
// the stage is the screen, the size follows the rule, the anchored corner
// lies at the shares unless the widget had to move to stay whole, and then
// it touches the edge it was moved to.
function placementProblems(readout, screen, args, where) {
  const problems = [];
  const [x, y, scale] = args;
  const { stage, widget } = readout;
  if (stage.width !== screen.width || stage.height !== screen.height) {
    problems.push(`${where}: the stage is ${stage.width} x ${stage.height}, the screen ${screen.width} x ${screen.height}`);
    return problems;
  }
  const anchor = { x: clampShare(x) * screen.width, y: clampShare(y) * screen.height };
  if (Math.abs(widget.anchor.x - anchor.x) > 0.5 || Math.abs(widget.anchor.y - anchor.y) > 0.5) {
    problems.push(`${where}: anchored at ${JSON.stringify(widget.anchor)}, Setup gave ${JSON.stringify(anchor)}`);
  }
  if (widget.scale !== clampScale(scale)) problems.push(`${where}: scale ${widget.scale} for ${scale}`);
  const factor = (clampScale(scale) / 100) * (screen.height / BASE_LINES);
  if (Math.abs(widget.factor - factor) > 1e-9 * factor) {
    problems.push(`${where}: drawn at ${widget.factor} times, the rule gives ${factor}`);
  }
  const box = widget.box;
  if (box.width === 0 && box.height === 0) return problems;  // nothing shown: nothing to keep whole
  if (box.x < -0.5 || box.y < -0.5 || box.x + box.width > screen.width + 0.5
      || box.y + box.height > screen.height + 0.5) {
    problems.push(`${where}: box ${describeBox(box)} is not whole on ${screen.width} x ${screen.height}`);
  }
  // Moved only as far as needed: then an edge of the box is on the screen's edge.
  const touches = {
    x: Math.abs(box.x) <= 0.5 || Math.abs(box.x + box.width - screen.width) <= 0.5,
    y: Math.abs(box.y) <= 0.5 || Math.abs(box.y + box.height - screen.height) <= 0.5,
  };
  for (const axis of ['x', 'y']) {
    if (Math.abs(widget[axis] - anchor[axis]) > 0.5 && !touches[axis]) {
      problems.push(`${where}: moved along ${axis} from ${anchor[axis]} to ${widget[axis]} though its box ` +
        `${describeBox(box)} did not reach the screen's edge`);
    }
  }
  return problems;
}

// The smallest box around the pixels that differ from the scene behind the
// movie, in the whole image; null when there are none.
function drawnExtent(image, scene, tolerance = SCENE_TOLERANCE) {
  const r = (scene >> 16) & 0xff;
  const g = (scene >> 8) & 0xff;
  const b = scene & 0xff;
  const { width, height, rgba } = image;
  let x0 = width;
  let y0 = height;
  let x1 = -1;
  let y1 = -1;
  for (let y = 0; y < height; ++y) {
    let i = y * width * 4;
    for (let x = 0; x < width; ++x, i += 4) {
      if (Math.abs(rgba[i] - r) <= tolerance && Math.abs(rgba[i + 1] - g) <= tolerance
          && Math.abs(rgba[i + 2] - b) <= tolerance) continue;
      if (x < x0) x0 = x;
      if (x > x1) x1 = x;
      if (y < y0) y0 = y;
      y1 = y;
    }
  }
  return x1 < 0 ? null : { x: x0, y: y0, width: x1 - x0 + 1, height: y1 - y0 + 1 };
}

// The part of the screen to photograph around the Readout's box: the box
// with a margin of 5 % of the screen's height on every side, cut to the
// screen. A widget drawn anywhere near its box shows in it, and a widget
// whose pixels stop short of the margin lies whole inside it.
function screenClip(box, screen) {
  const margin = Math.max(16, Math.round(screen.height * 0.05));
  const x0 = Math.max(0, Math.floor(box.x) - margin);
  const y0 = Math.max(0, Math.floor(box.y) - margin);
  const x1 = Math.min(screen.width, Math.ceil(box.x + box.width) + margin);
  const y1 = Math.min(screen.height, Math.ceil(box.y + box.height) + margin);
  return { x: x0, y: y0, width: Math.max(1, x1 - x0), height: Math.max(1, y1 - y0) };
}

// The problems with a screenshot of the screen (whole, or the `clip` of it
// that screenClip gives): the widget's pixels must fill the Readout's box,
// no more and no less, so that the drawn widget is whole on the screen, and
// must meet the same rules as the box. In a clip they must also stop short
// of every side of the clip that is not the screen's edge.
function screenshotProblems(image, readout, screen, args, rows, scene, where, clip = null) {
  const area = clip || { x: 0, y: 0, width: screen.width, height: screen.height };
  if (image.width !== area.width || image.height !== area.height) {
    return [`${where}: the screenshot is ${image.width} x ${image.height}, not ${area.width} x ${area.height}`];
  }
  const found = drawnExtent(image, scene);
  if (!found) return [`${where}: nothing but the scene (${hex(scene)}) in the screenshot ${describeBox(area)}`];
  const drawn = { ...found, x: found.x + area.x, y: found.y + area.y };
  const problems = [];
  const box = readout.widget.box;
  const sides = [['left', drawn.x, box.x, area.x, 0], ['top', drawn.y, box.y, area.y, 0],
    ['right', drawn.x + drawn.width, box.x + box.width, area.x + area.width, screen.width],
    ['bottom', drawn.y + drawn.height, box.y + box.height, area.y + area.height, screen.height]];
  for (const [side, seen, told, border, screenEdge] of sides) {
    if (Math.abs(seen - told) > PIXEL_SLACK) {
      problems.push(`${where}: the drawn widget's ${side} edge at ${seen}, the Readout's box ${describeBox(box)} ` +
        `puts it at ${told.toFixed(1)}`);
    }
    if (seen === border && border !== screenEdge) {
      problems.push(`${where}: the drawn widget reaches the ${side} side of the screenshot ${describeBox(area)}, ` +
        'so part of it may lie beyond');
    }
  }
  problems.push(...boxProblems(drawn, screen, args, rows, `${where} (screenshot)`, PIXEL_SLACK));
  return problems;
}

// The rows' drawing (pixels that differ from the backdrop inside its box)
// must keep as much room to the backdrop's right edge as to its left: within
// one of the widget's pixels, and half a screen pixel for the anti-aliased
// edges. `area` is the stage's part the image shows; nothing to check
// without the backdrop.
function marginProblems(image, readout, args, where, area = { x: 0, y: 0 }) {
  if (!(args[3] & FLAG_BACKDROP)) return [];
  const box = readout.widget.box;
  const inside = { x: Math.ceil(box.x) + 1 - area.x, y: Math.ceil(box.y) + 1 - area.y };
  const ends = { x: Math.floor(box.x + box.width) - 1 - area.x, y: Math.floor(box.y + box.height) - 1 - area.y };
  const at = (x, y) => image.rgba.subarray((y * image.width + x) * 4, (y * image.width + x) * 4 + 3);
  const backdrop = at(inside.x, inside.y);
  let left = Infinity;
  let right = -Infinity;
  for (let y = inside.y; y <= ends.y; ++y) {
    for (let x = inside.x; x <= ends.x; ++x) {
      const pixel = at(x, y);
      if (Math.max(...[0, 1, 2].map((c) => Math.abs(pixel[c] - backdrop[c]))) <= SCENE_TOLERANCE) continue;
      left = Math.min(left, x);
      right = Math.max(right, x + 1);
    }
  }
  if (left > right) return [`${where}: nothing drawn on the backdrop ${describeBox(box)}`];
  const room = { left: left + area.x - box.x, right: box.x + box.width - (right + area.x) };
  const slack = Math.max(1, readout.widget.factor) + 0.5;
  if (Math.abs(room.left - room.right) <= slack) return [];
  return [`${where}: the rows start ${room.left.toFixed(1)} pixels inside the backdrop's left edge but end ` +
    `${room.right.toFixed(1)} inside its right edge (${slack.toFixed(1)} allowed)`];
}

function describeBox(box) {
  return `(${box.x.toFixed(1)}, ${box.y.toFixed(1)}) ${box.width.toFixed(1)} x ${box.height.toFixed(1)}`;
}

function percent(value) {
  return `${(value * 100).toFixed(1)}`;
}

function aspect(screen) {
  const known = { '1.78': '16:9', '1.60': '16:10', '2.37': '21:9', '2.39': '21:9', '3.56': '32:9', '1.25': '5:4' };
  return known[(screen.width / screen.height).toFixed(2)] || (screen.width / screen.height).toFixed(2);
}

// One line of the table of boxes: the box as shares of the screen, in percent.
function boxRow(screen, placement, box) {
  const cells = [`${screen.width} x ${screen.height}`, aspect(screen), placement,
    percent(box.x / screen.width), percent(box.y / screen.height),
    percent((box.x + box.width) / screen.width), percent((box.y + box.height) / screen.height),
    percent(box.width / screen.width), percent(box.height / screen.height)];
  return `| ${cells.join(' | ')} |`;
}

const BOX_TABLE_HEAD = '| screen | aspect | placement | left % of width | top % of height | right % of width ' +
  '| bottom % of height | width % of width | height % of height |\n|---|---|---|---|---|---|---|---|---|';

module.exports = {
  SCREENS, PLACEMENTS, BASE_LINES, ruleHeight, ruleRowHeight, boxProblems, placementProblems, drawnExtent,
  screenClip, screenshotProblems, marginProblems, boxRow, BOX_TABLE_HEAD, describeBox, aspect,
};
