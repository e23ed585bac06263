// A static server for the site on 127.0.0.1, which the tests can stop to see the page
// go on without it.
import fs from 'node:fs/promises';
import http from 'node:http';
import path from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

export function serve(root, port = 0) {
  const server = http.createServer(async (request, response) => {
    const wanted = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, path.normalize(wanted.endsWith('/') ? `${wanted}index.html` : wanted));
    try {
      if (!file.startsWith(path.resolve(root))) throw new Error('outside the site');
      const body = await fs.readFile(file);
      response.writeHead(200, { 'Content-Type': types[path.extname(file)] ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((resolve) => {
    server.listen(port, '127.0.0.1', () => resolve({
      port: server.address().port,
      close: () => new Promise((done) => {
        server.close(done);
        server.closeAllConnections();
      }),
    }));
  });
}
