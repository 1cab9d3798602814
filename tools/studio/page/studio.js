// Quellmark Studio's page: starts the panels (widget_panel.js,
// settings_panels.js, files_panel.js, export_panel.js, sharing page_state.js)
// and the widget's movie (QmStage).
(function () {
  'use strict';

  const P = window.QmPage;
  const { $, state } = P;

  async function main() {
    $('version').textContent = P.S.data.version;
    window.QmWidgetPanel.start();
    window.QmSettingsPanels.start();
    window.QmFilesPanel.start();
    window.QmExportPanel.start();
    P.render();
    if (typeof window.DecompressionStream !== 'function' || typeof window.WebAssembly !== 'object') {
      $('stage-status').textContent = 'This browser cannot play the widget: the studio needs a current Chrome, Edge or ' +
        'Firefox. Everything else on the page works.';
      window.QmStudioError = 'no DecompressionStream or WebAssembly';
      return;
    }
    const stage = new window.QmStage.WidgetStage({ frame: $('stage-frame'), holder: $('stage-holder'), overlay: $('stage-overlay') });
    try {
      await stage.open(state.screen);
    } catch (error) {
      $('stage-status').textContent = `The widget could not be shown: ${error.message}. ` +
        'The studio needs a current Chrome, Edge or Firefox.';
      window.QmStudioError = String(error.message);
      return;
    }
    state.stage = stage;
    $('stage-status').hidden = true;
    window.QmWidgetPanel.drawWidget();
    window.QmStudioReadyAt = performance.now();
  }

  // For the tests: the page's state and its stage.
  window.QmStudio = { state, readout: () => state.stage.readout(), chooseScreen: (s) => window.QmWidgetPanel.chooseScreen(s) };
  main();
})();
