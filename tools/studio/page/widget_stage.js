// The widget as the game draws it: the studio's wrapper movie in Ruffle, the
// shipped DurabilityMenu.swf in its level 1, on a player element as large as
// the chosen screen (one CSS pixel a screen pixel) and configured as the
// game's loader configures its view: no scaling, the stage left centred,
// nothing forced. The element is shown shrunk to fit the page by a CSS
// transform, which leaves its size, and so the movie's stage, untouched.
(function (root) {
  'use strict';

  const READY_TIMEOUT_MS = 20000;

  function sleep(ms) {
    return new Promise((done) => setTimeout(done, ms));
  }

  class WidgetStage {
    // frame: the element the preview fits into; holder: the element that
    // carries the player and is transformed; overlay: the element on top
    // that takes the pointer.
    constructor({ frame, holder, overlay }) {
      this.frame = frame;
      this.holder = holder;
      this.overlay = overlay;
      this.screen = { width: 1920, height: 1080 };
      this.zoom = 1;
      this.actualSize = false;
      this.player = null;
    }

    // Creates the player and loads the wrapper; resolves once the shipped
    // widget has run its first frame and answers calls.
    async open(screen) {
      this.screen = { ...screen };
      const player = root.RufflePlayer.newest().createPlayer();
      player.style.display = 'block';
      player.style.width = `${screen.width}px`;
      player.style.height = `${screen.height}px`;
      // Shown, never operated: the overlay above takes the pointer and the
      // keys, and inert keeps the player's own controls out of the focus order.
      player.setAttribute('aria-hidden', 'true');
      player.inert = true;
      player.tabIndex = -1;
      this.holder.appendChild(player);
      this.player = player;
      this.fit();
      await player.ruffle().load({
        url: 'StudioWrapper.swf', allowScriptAccess: true, autoplay: 'on', unmuteOverlay: 'hidden',
        splashScreen: false, letterbox: 'off', contextMenu: 'off', quality: 'high', scale: 'noScale',
        forceScale: false, salign: '', forceAlign: false, warnOnUnsupportedContent: false, openUrlMode: 'deny',
        // The canvas renderer starts sooner than software WebGL and draws a
        // widget's few shapes as fast.
        preferredRenderer: 'canvas', backgroundColor: '#506070', logLevel: 'warn', autoplayOnLoad: true,
      });
      const started = Date.now();
      while (!(typeof player.Ready === 'function' && player.Ready() === true)) {
        if (Date.now() - started > READY_TIMEOUT_MS) throw new Error('the widget\'s movie did not start');
        await sleep(30);
      }
    }

    // Scales the preview to fit its frame, or shows it at its actual size
    // (the frame then scrolls); the player keeps the screen's size.
    fit() {
      const available = this.frame.clientWidth;
      const availableHeight = this.frame.clientHeight || available;
      this.zoom = this.actualSize ? 1 : Math.min(1, available / this.screen.width, availableHeight / this.screen.height);
      this.frame.classList.toggle('actual-size', Boolean(this.actualSize));
      this.holder.style.width = `${this.screen.width}px`;
      this.holder.style.height = `${this.screen.height}px`;
      this.holder.style.transform = `scale(${this.zoom})`;
      this.overlay.style.width = `${this.screen.width * this.zoom}px`;
      this.overlay.style.height = `${this.screen.height * this.zoom}px`;
    }

    // Actual size: one screen pixel a CSS pixel, the frame scrolled to the widget.
    showActualSize(on) {
      this.actualSize = on;
      this.fit();
      if (!on) return;
      const box = this.readout().widget.box;
      this.frame.scrollLeft = Math.max(0, box.x + box.width / 2 - this.frame.clientWidth / 2);
      this.frame.scrollTop = Math.max(0, box.y + box.height / 2 - this.frame.clientHeight / 2);
    }

    // A new screen size, as a change of resolution would give it; resolves
    // once the movie's stage has the new size.
    async resize(screen) {
      this.screen = { ...screen };
      this.player.style.width = `${screen.width}px`;
      this.player.style.height = `${screen.height}px`;
      this.fit();
      const started = Date.now();
      for (;;) {
        const stage = this.readout().stage;
        if (stage.width === screen.width && stage.height === screen.height) return;
        if (Date.now() - started > READY_TIMEOUT_MS) throw new Error('the movie did not take the new screen size');
        await sleep(20);
      }
    }

    // The plug-in's Setup call for these settings: positions as shares,
    // scale and flags as the signed 32-bit numbers the plug-in passes.
    setup(values) {
      return this.player.Setup(values['Widget.PositionX'] / 100, values['Widget.PositionY'] / 100,
        values['Widget.Scale'] | 0, values['Widget.Flags'] | 0);
    }

    update(columns) {
      return this.player.UpdateMenu(columns.icons, columns.names, columns.durabilities, columns.colours);
    }

    readout() {
      return JSON.parse(this.player.Readout());
    }
  }

  root.QmStage = { WidgetStage };
  if (typeof module !== 'undefined' && module.exports) module.exports = root.QmStage;
})(typeof window !== 'undefined' ? window : globalThis);
