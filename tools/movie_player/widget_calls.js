'use strict';
// The calls the plug-in made into the widget's movie, as `qm run --trace-out`
// writes them: the section "== widget calls" holds one JSON object a line,
// {"movie": N, "path": "_root.widget.Setup" | "_root.widget.UpdateMenu", "args": [...]}.
// The readable trace before it names the step after which each UpdateMenu came.

const SETUP = '_root.widget.Setup';
const UPDATE = '_root.widget.UpdateMenu';

function sections(text) {
  const result = new Map();
  let current = null;
  for (const line of text.split('\n')) {
    const head = /^== (\S+(?: \S+)?)/.exec(line);
    if (head && (line === '== trace' || line === '== widget calls' || line.startsWith('== result')
        || line.startsWith('== log '))) {
      current = line.startsWith('== log ') ? line : head[1];
      result.set(current, []);
      continue;
    }
    if (current !== null) result.get(current).push(line);
  }
  return result;
}

// Throws with the line's number when the section is missing or malformed.
function readWidgetCalls(text, name = 'trace') {
  const parts = sections(text);
  const lines = parts.get('widget calls');
  if (!lines) throw new Error(`${name}: no "== widget calls" section (a trace of qm run --trace-out is needed)`);
  const start = text.split('\n').indexOf('== widget calls') + 2;
  const calls = [];
  lines.forEach((line, index) => {
    if (line === '') return;
    let call;
    try {
      call = JSON.parse(line);
    } catch (error) {
      throw new Error(`${name}:${start + index}: not JSON: ${error.message}`);
    }
    if (!Number.isInteger(call.movie) || typeof call.path !== 'string' || !Array.isArray(call.args)) {
      throw new Error(`${name}:${start + index}: a widget call needs "movie", "path" and "args"`);
    }
    calls.push(call);
  });

  // The step label before each widget table of the readable trace: the
  // latest line that does not start with a space.
  const labels = [];
  let step = '';
  for (const line of parts.get('trace') || []) {
    if (line.trim() === 'widget rows (UpdateMenu):') labels.push(step);
    else if (line !== '' && !line.startsWith(' ')) step = line;
  }
  return { calls, updateLabels: labels, traceLines: parts.get('trace') || [] };
}

// The step (as numbered in the run's report, the x axis of its plot) during
// which each UpdateMenu came: each step's first trace line is its label, so
// the labels are found in the trace one after the other. Null where unknown.
function updateSteps(traceLines, stepLabels) {
  const steps = [];
  let next = 0;
  let current = null;
  for (const line of traceLines) {
    while (next < stepLabels.length && stepLabels[next] === '') ++next;  // a step that printed nothing
    if (next < stepLabels.length && line === stepLabels[next]) current = next++;
    if (line.trim() === 'widget rows (UpdateMenu):') steps.push(current);
  }
  return steps;
}

// The calls grouped by movie (each opening of the widget loads the movie
// anew), in the order of their first call.
function callsByMovie(calls) {
  const movies = new Map();
  for (const call of calls) {
    if (!movies.has(call.movie)) movies.set(call.movie, []);
    movies.get(call.movie).push(call);
  }
  return [...movies.values()];
}

module.exports = { readWidgetCalls, callsByMovie, updateSteps, SETUP, UPDATE };
