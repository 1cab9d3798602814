'use strict';
// Loads the studio's settings scripts from the build, as the page loads them,
// and runs the native qm-check-settings beside them.
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { spawnSync } = require('node:child_process');

const repo = path.resolve(__dirname, '../..');
const build = path.resolve(repo, process.env.QM_NATIVE_BUILD || 'build/linux');
const studio = path.join(build, 'studio');

// The settings scripts in the order the page loads them.
const SCRIPTS = ['settings_data.js', 'settings_check.js', 'settings_values.js', 'settings_lines.js', 'settings_bytes.js',
  'settings_ini_export.js', 'settings_nobreak.js', 'settings_check_run.js'];
for (const file of SCRIPTS) {
  if (!fs.existsSync(path.join(studio, file))) {
    throw new Error(`${path.join(studio, file)} is missing: cmake --build --preset linux --target studio_settings`);
  }
}
globalThis.QmCheckModule = require(path.join(studio, 'settings_check.js'));
for (const file of SCRIPTS.slice(2)) require(path.join(studio, file));
require(path.join(studio, 'settings_data.js'));
const QmSettings = globalThis.QmSettings;

function tempFolder() {
  return fs.mkdtempSync(path.join(os.tmpdir(), 'qm-studio-settings-'));
}

// The native checker on the files, named as the page names them; its output
// and exit code.
function nativeCheck(ini, noBreak, plugins) {
  const folder = tempFolder();
  try {
    fs.writeFileSync(path.join(folder, 'Quellmark.ini'), ini);
    const args = ['Quellmark.ini'];
    if (noBreak !== null && noBreak !== undefined) {
      fs.writeFileSync(path.join(folder, 'NoBreakForms.ini'), noBreak);
      args.push('NoBreakForms.ini');
    }
    args.push('--plugins', plugins.join(','));
    const run = spawnSync(path.join(build, 'bin', 'qm-check-settings'), args, { cwd: folder, encoding: 'latin1' });
    if (run.error) throw run.error;
    return { output: run.stdout, status: run.status, stderr: run.stderr };
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

// "Section.Key" -> the value as the plug-in's log lists it (reals with six
// decimals, whole numbers as signed 32-bit).
function effectiveSettings(output) {
  const start = output.indexOf('Effective settings, as the plug-in writes them to its log:\n');
  const values = {};
  let section = null;
  for (const line of output.slice(start).split('\n').slice(1)) {
    if (/^[A-Za-z]+$/.test(line)) section = line;
    const m = /^ {3}(\S+) {2}= {2}(\S+)$/.exec(line);
    if (m && section) values[`${section}.${m[1]}`] = m[2];
  }
  return values;
}

// A value of the page as the log would list it.
function asLogged(setting, value) {
  if (setting.form === 'real' && Object.is(value, -0)) return '-0.000000';
  if (setting.form === 'real' && value === Infinity) return 'inf';
  if (setting.form === 'real') return value >= 1e21 ? `${BigInt(value)}.000000` : value.toFixed(6);
  return String(value > 2147483647 ? value - 4294967296 : value);
}

module.exports = { repo, build, studio, SCRIPTS, QmSettings, tempFolder, nativeCheck, effectiveSettings, asLogged };
