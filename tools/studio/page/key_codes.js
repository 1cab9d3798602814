// The toggle key's codes as the plug-in compares them: keyboard scan codes as
// the game delivers them, mouse buttons 256 plus the button, gamepad buttons
// 266 to 281; 0 is no key. Names as a player reads them on the key.
(function (root) {
  'use strict';

  // KeyboardEvent.code -> [scan code, name]
  const KEYBOARD = [
    ['Escape', 1, 'Esc'], ['Digit1', 2, '1'], ['Digit2', 3, '2'], ['Digit3', 4, '3'], ['Digit4', 5, '4'],
    ['Digit5', 6, '5'], ['Digit6', 7, '6'], ['Digit7', 8, '7'], ['Digit8', 9, '8'], ['Digit9', 10, '9'],
    ['Digit0', 11, '0'], ['Minus', 12, '-'], ['Equal', 13, '='], ['Backspace', 14, 'Backspace'], ['Tab', 15, 'Tab'],
    ['KeyQ', 16, 'Q'], ['KeyW', 17, 'W'], ['KeyE', 18, 'E'], ['KeyR', 19, 'R'], ['KeyT', 20, 'T'], ['KeyY', 21, 'Y'],
    ['KeyU', 22, 'U'], ['KeyI', 23, 'I'], ['KeyO', 24, 'O'], ['KeyP', 25, 'P'], ['BracketLeft', 26, '['],
    ['BracketRight', 27, ']'], ['Enter', 28, 'Enter'], ['ControlLeft', 29, 'Left Ctrl'], ['KeyA', 30, 'A'],
    ['KeyS', 31, 'S'], ['KeyD', 32, 'D'], ['KeyF', 33, 'F'], ['KeyG', 34, 'G'], ['KeyH', 35, 'H'], ['KeyJ', 36, 'J'],
    ['KeyK', 37, 'K'], ['KeyL', 38, 'L'], ['Semicolon', 39, ';'], ['Quote', 40, "'"], ['Backquote', 41, '`'],
    ['ShiftLeft', 42, 'Left Shift'], ['Backslash', 43, '\\'], ['KeyZ', 44, 'Z'], ['KeyX', 45, 'X'], ['KeyC', 46, 'C'],
    ['KeyV', 47, 'V'], ['KeyB', 48, 'B'], ['KeyN', 49, 'N'], ['KeyM', 50, 'M'], ['Comma', 51, ','],
    ['Period', 52, '.'], ['Slash', 53, '/'], ['ShiftRight', 54, 'Right Shift'], ['NumpadMultiply', 55, 'Num *'],
    ['AltLeft', 56, 'Left Alt'], ['Space', 57, 'Space'], ['CapsLock', 58, 'Caps Lock'], ['F1', 59, 'F1'],
    ['F2', 60, 'F2'], ['F3', 61, 'F3'], ['F4', 62, 'F4'], ['F5', 63, 'F5'], ['F6', 64, 'F6'], ['F7', 65, 'F7'],
    ['F8', 66, 'F8'], ['F9', 67, 'F9'], ['F10', 68, 'F10'], ['NumLock', 69, 'Num Lock'],
    ['ScrollLock', 70, 'Scroll Lock'], ['Numpad7', 71, 'Num 7'], ['Numpad8', 72, 'Num 8'], ['Numpad9', 73, 'Num 9'],
    ['NumpadSubtract', 74, 'Num -'], ['Numpad4', 75, 'Num 4'], ['Numpad5', 76, 'Num 5'], ['Numpad6', 77, 'Num 6'],
    ['NumpadAdd', 78, 'Num +'], ['Numpad1', 79, 'Num 1'], ['Numpad2', 80, 'Num 2'], ['Numpad3', 81, 'Num 3'],
    ['Numpad0', 82, 'Num 0'], ['NumpadDecimal', 83, 'Num .'], ['IntlBackslash', 86, '< > (ISO)'], ['F11', 87, 'F11'],
    ['F12', 88, 'F12'], ['NumpadEnter', 156, 'Num Enter'], ['ControlRight', 157, 'Right Ctrl'],
    ['NumpadDivide', 181, 'Num /'], ['PrintScreen', 183, 'Print Screen'], ['AltRight', 184, 'Right Alt'],
    ['Pause', 197, 'Pause'], ['Home', 199, 'Home'], ['ArrowUp', 200, 'Up Arrow'], ['PageUp', 201, 'Page Up'],
    ['ArrowLeft', 203, 'Left Arrow'], ['ArrowRight', 205, 'Right Arrow'], ['End', 207, 'End'],
    ['ArrowDown', 208, 'Down Arrow'], ['PageDown', 209, 'Page Down'], ['Insert', 210, 'Insert'],
    ['Delete', 211, 'Delete'], ['MetaLeft', 219, 'Left Windows'], ['MetaRight', 220, 'Right Windows'],
    ['ContextMenu', 221, 'Menu'],
  ];
  const MOUSE = [[256, 'Left mouse button'], [257, 'Right mouse button'], [258, 'Middle mouse button'],
    [259, 'Mouse button 4'], [260, 'Mouse button 5'], [261, 'Mouse button 6'], [262, 'Mouse button 7'],
    [263, 'Mouse button 8'], [264, 'Mouse wheel up'], [265, 'Mouse wheel down']];
  // Gamepad buttons in the order of the plug-in's mapping, 266 upwards.
  const GAMEPAD = ['D-pad up', 'D-pad down', 'D-pad left', 'D-pad right', 'Start', 'Back', 'Left stick (press)',
    'Right stick (press)', 'Left shoulder (LB)', 'Right shoulder (RB)', 'A', 'B', 'X', 'Y', 'Left trigger (LT)',
    'Right trigger (RT)'].map((name, i) => [266 + i, `Gamepad ${name}`]);

  const byEventCode = new Map(KEYBOARD.map(([eventCode, code, name]) => [eventCode, { code, name }]));
  const groups = [
    { title: 'Keyboard', keys: KEYBOARD.map(([, code, name]) => ({ code, name })) },
    { title: 'Mouse', keys: MOUSE.map(([code, name]) => ({ code, name })) },
    { title: 'Gamepad', keys: GAMEPAD.map(([code, name]) => ({ code, name })) },
  ];
  const byCode = new Map();
  for (const group of groups) for (const key of group.keys) byCode.set(key.code, key.name);

  const QmKeys = {
    groups,
    // The key a KeyboardEvent names, or null for a key the game has no code for.
    fromEvent(event) {
      return byEventCode.get(event.code) || null;
    },
    // The code a mouse button (MouseEvent.button) gives: 0 left, 1 middle, 2 right in the browser.
    fromMouseButton(button) {
      const game = [0, 2, 1, 3, 4][button];
      return game === undefined ? null : { code: 256 + game, name: byCode.get(256 + game) };
    },
    // "H (code 35)", "no key (code 0)", or the bare code for one without a name.
    describe(code) {
      if (code === 0) return 'no key (code 0)';
      const name = byCode.get(code);
      if (name) return `${name} (code ${code})`;
      return code >= 282 ? `code ${code}: no key has it, it never toggles` : `code ${code}`;
    },
  };

  root.QmKeys = QmKeys;
  if (typeof module !== 'undefined' && module.exports) module.exports = QmKeys;
})(typeof window !== 'undefined' ? window : globalThis);
