// Loads the browser game in headless Chromium several times, cold each time (a fresh browser
// context, no cache), from a local server that gzips as a static server would, and reports:
// the time from navigation to the first board drawn, the bytes transferred before it, and any
// console error or warning. Usage: node load.js SITE_DIR [LOADS]
'use strict';
const path = require('path');
const http = require('http');
const fs = require('fs');
const zlib = require('zlib');
const puppeteer = require(path.join(__dirname, '../../tests/frontend_web/node_modules/puppeteer-core'));

const site = path.resolve(process.argv[2] || 'build/web');
const loads = Number(process.argv[3] || 10);
const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.png': 'image/png', '.svg': 'image/svg+xml',
};
const compressible = new Set(['.html', '.js', '.css', '.wasm', '.svg']);

function serve() {
  const server = http.createServer((req, res) => {
    const url = decodeURIComponent(req.url.split('?')[0]);
    const file = path.join(site, url.endsWith('/') ? url + 'index.html' : url);
    if (!file.startsWith(site)) return res.writeHead(403).end();
    fs.readFile(file, (err, data) => {
      if (err) return res.writeHead(404).end();
      const ext = path.extname(file);
      const headers = { 'Content-Type': types[ext] || 'application/octet-stream' };
      if (compressible.has(ext) && /\bgzip\b/.test(req.headers['accept-encoding'] || '')) {
        data = zlib.gzipSync(data, { level: 6 });
        headers['Content-Encoding'] = 'gzip';
      }
      headers['Content-Length'] = data.length;
      res.writeHead(200, headers).end(data);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

async function main() {
  const server = await serve();
  const address = `http://127.0.0.1:${server.address().port}/`;
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const times = [], bytes = [], complaints = [];
  try {
    for (let k = 0; k < loads; ++k) {
      const context = await browser.createBrowserContext();
      const page = await context.newPage();
      await page.setCacheEnabled(false);
      page.on('console', (m) => {
        if (m.type() === 'error' || m.type() === 'warn') complaints.push(m.text());
      });
      page.on('pageerror', (e) => complaints.push(e.message));
      await page.goto(address);
      await page.waitForFunction(() => typeof TessleUI !== 'undefined' && TessleUI.firstBoardAt !== null,
        { timeout: 10000 });
      const r = await page.evaluate(() => {
        const at = TessleUI.firstBoardAt;
        const entries = [...performance.getEntriesByType('navigation'),
          ...performance.getEntriesByType('resource')];
        const before = entries.filter((e) => e.responseEnd <= at);
        return { at, bytes: before.reduce((sum, e) => sum + e.transferSize, 0),
          files: before.map((e) => e.name.replace(/^.*\//, '') || 'index.html') };
      });
      times.push(r.at);
      bytes.push(r.bytes);
      if (k === 0) console.log(`web-load: fetched before the first board: ${r.files.join(', ')}`);
      await context.close();
    }
  } finally {
    await browser.close();
    server.close();
  }
  const sorted = [...times].sort((a, b) => a - b);
  const median = sorted[Math.floor(sorted.length / 2)];
  console.log(`web-load: first board drawn ${median.toFixed(0)} ms after navigation (median of ` +
    `${loads} cold loads; ${sorted[0].toFixed(0)}-${sorted[sorted.length - 1].toFixed(0)} ms); ` +
    `budget 300 ms`);
  console.log(`web-load: ${(Math.max(...bytes) / 1024).toFixed(1)} KiB transferred before it, ` +
    `gzipped (budget 600 KB)`);
  console.log(`web-load: console errors and warnings: ${complaints.length}` +
    (complaints.length ? ': ' + [...new Set(complaints)].join(' | ') : ''));
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
