'use strict';
// A static file server bound to 127.0.0.1 on a free port: Ruffle's wasm does
// not load into a page opened from file://.
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.map': 'application/json',
  '.wasm': 'application/wasm',
  '.swf': 'application/x-shockwave-flash',
};

// mounts: {"/ruffle/": "/abs/dir", ...}; pages: {"/page.html": "<html>..."}.
// Resolves to {url, mount(prefix, dir), close()}.
function startServer(mounts, pages = {}) {
  const server = http.createServer((request, response) => {
    const urlPath = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    if (urlPath === '/favicon.ico') {
      response.writeHead(204);
      response.end();
      return;
    }
    if (Object.prototype.hasOwnProperty.call(pages, urlPath)) {
      response.writeHead(200, { 'Content-Type': TYPES['.html'], 'Cache-Control': 'no-store' });
      response.end(pages[urlPath]);
      return;
    }
    for (const [prefix, dir] of Object.entries(mounts)) {
      if (!urlPath.startsWith(prefix)) continue;
      const file = path.resolve(dir, urlPath.slice(prefix.length));
      // Nothing outside the mounted folder is served.
      const relative = path.relative(dir, file);
      if (relative === '' || relative.startsWith('..') || path.isAbsolute(relative)) break;
      fs.readFile(file, (error, data) => {
        if (error) {
          response.writeHead(404);
          response.end();
          return;
        }
        response.writeHead(200, {
          'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
          'Cache-Control': 'no-store',
        });
        response.end(data);
      });
      return;
    }
    response.writeHead(404);
    response.end();
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => {
      resolve({
        url: `http://127.0.0.1:${server.address().port}`,
        mount: (prefix, dir) => { mounts[prefix] = path.resolve(dir); },
        close: () => new Promise((done) => server.close(done)),
      });
    });
  });
}

module.exports = { startServer };
