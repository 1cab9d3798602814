// The page's fetch, in place before ruffle.js loads. Opened from file://,
// the browser refuses every fetch, so Ruffle could load neither its
// WebAssembly nor a movie: requests whose last path part names a carried file
// (window.QmCarried, scripts written by tools/studio/carry.js) are answered
// from the carried bytes. Any other request is refused here: the page sends
// nothing anywhere.
(function () {
  'use strict';

  function decodeBase64(text) {
    if (typeof Uint8Array.fromBase64 === 'function') return Uint8Array.fromBase64(text);
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  function carriedName(input) {
    const url = typeof input === 'string' ? input : (input && input.url) || String(input);
    const part = url.split(/[?#]/)[0].split('/').pop();
    try {
      return decodeURIComponent(part);
    } catch (error) {
      return part;
    }
  }

  function carriedResponse(name) {
    const entry = window.QmCarried && Object.prototype.hasOwnProperty.call(window.QmCarried, name)
      ? window.QmCarried[name] : null;
    if (!entry) return null;
    const type = /\.wasm$/.test(name) ? 'application/wasm' : 'application/x-shockwave-flash';
    let body = decodeBase64(entry.base64);
    if (entry.gzip) body = new Blob([body]).stream().pipeThrough(new DecompressionStream('gzip'));
    return new Response(body, { status: 200, headers: { 'Content-Type': type, 'Content-Length': String(entry.size) } });
  }

  window.fetch = function (input) {
    const response = carriedResponse(carriedName(input));
    if (response) return Promise.resolve(response);
    return Promise.reject(new TypeError(`Quellmark Studio works offline: "${carriedName(input)}" is not carried by the page`));
  };
  window.QmCarriedFetch = { carriedName: carriedName };
})();
