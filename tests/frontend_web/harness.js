// What the browser tests share: the built site served on a free local port, one headless
// Chromium per test file, and helpers that read the game as a player sees it (tile pixels, menu
// states, boxes) and drive it with real clicks and keys.
'use strict';
const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const SITE = path.resolve(process.env.TESSLE_WEB_SITE || path.join(__dirname, '../../build/web'));
const KEY = 'KORVANEL/Tessle/';
const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript',
  '.css': 'text/css', '.wasm': 'application/wasm', '.png': 'image/png', '.svg': 'image/svg+xml' };
const HOME = [0, 1, 2, 3, 4, 5, 6, 7, 8];

// 15 twips to the CSS pixel, rounded to the nearest.
const px = (t) => Math.floor((t + 7) / 15);

// `site`: another built site to serve (an offline test's copy it rebuilds).
async function start({ site = SITE } = {}) {
  const server = http.createServer((req, res) => {
    if (req.url === '/blank') {  // the origin without the game, and no request for an icon
      res.writeHead(200, { 'Content-Type': TYPES['.html'] });
      res.end('<!DOCTYPE html><link rel="icon" href="data:,">');
      return;
    }
    const file = path.join(site, path.normalize(decodeURIComponent(req.url.split('?')[0])
      .replace(/\/$/, '/index.html')));
    fs.readFile(file, (err, data) => {
      res.writeHead(err ? 404 : 200, { 'Cache-Control': 'no-store',
        'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
      res.end(err ? undefined : data);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tessle-chromium-'));
  const browser = await puppeteer.launch({ headless: true, userDataDir: profile,
    executablePath: process.env.TESSLE_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'] });
  const url = `http://127.0.0.1:${server.address().port}/`;
  const problems = [];
  return {
    browser, url, server,
    // A page of the game, in a context of its own unless given one (so records start empty);
    // `store` is put in localStorage first, `before` runs ahead of the page's scripts; `touch`
    // makes it a phone's page, with a touch screen.
    async open({ context, width = 800, height = 600, ratio = 1, touch = false, store, before } = {}) {
      const page = await (context || (await browser.createBrowserContext())).newPage();
      page.setDefaultTimeout(20000);
      page.on('console', (m) => {
        if (['error', 'warn'].includes(m.type())) problems.push(`${m.type()}: ${m.text()}`);
      });
      page.on('pageerror', (e) => problems.push(`pageerror: ${e.message}`));
      await page.setViewport({ width, height, deviceScaleFactor: ratio, hasTouch: touch,
        isMobile: touch });
      if (store) {
        await page.goto(url + 'blank');
        await page.evaluate((key, s) => { for (const k in s) localStorage.setItem(key + k, s[k]); },
          KEY, store);
      }
      if (before) await page.evaluateOnNewDocument(before);
      await page.goto(url);
      await ready(page);
      return page;
    },
    // Fails on anything the pages said on the console, or threw, since the last call.
    clean: () => assert.deepEqual(problems.splice(0), []),
    async stop() {
      await browser.close();
      server.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

const ready = (page) => page.waitForFunction(() =>
  typeof TessleUI !== 'undefined' && TessleUI.firstBoardAt !== null);
const sel = (name) => `[data-name="${name}"]`;
const menu = (id) => `[data-menu="${id}"]`;

// Opens a menu of the bar by a click, once the rules' refresh has run. Menus open are closed
// first: passing over another title would open it, and the click then close it.
async function openMenu(page, id) {
  await page.mouse.click(2, 2);  // the desktop, outside the main window
  await page.click(menu(id));
  await page.waitForSelector(`${menu(id)}.open`);
}
async function choose(page, title, id) {
  await openMenu(page, title);
  await page.click(menu(id));
}
// Menu entries as 'on' or 'off', '+tick' when ticked.
const entries = (page, ids) => page.evaluate((ids) => ids.map((id) => {
  const c = document.querySelector(`[data-menu="${id}"]`).classList;
  return (c.contains('disabled') ? 'off' : 'on') + (c.contains('checked') ? '+tick' : '');
}), ids);
const popupShown = (page, id) => page.$eval(menu(id),
  (el) => getComputedStyle(el.closest('.menu-popup')).display !== 'none');

async function box(page) {
  const el = await page.waitForSelector('.dialog.msgbox');
  return el.evaluate((d) => ({ caption: d.querySelector('.caption').textContent,
    text: d.querySelector('.text').textContent, focus: document.activeElement.dataset.answer,
    default: d.querySelector('button.default').dataset.answer }));
}
const noBox = (page) => page.waitForFunction(() => !document.querySelector('.msgbox'));
const dialog = (page, name) => page.waitForSelector(`.dialog[data-name="${name}"]`);
const noDialog = (page) => page.waitForFunction(() =>
  !document.querySelector('.dialog') && !document.getElementById('main').inert);
const inert = (page) => page.$eval('#main', (m) => m.inert);
const stored = (page, name) => page.evaluate((k) => localStorage.getItem(k), KEY + name);

// Puts `__cuts` into the page: what its canvases show against cuts of the game's pictures,
// drawn 1:1 in device pixels by the test itself.
async function install(page) {
  await page.evaluate(() => {
    if (window.__cuts) return;
    const loaded = new Map();
    const load = (src) => loaded.get(src) || loaded.set(src, new Promise((resolve, reject) => {
      const img = new Image();
      img.onload = () => resolve(img);
      img.onerror = reject;
      img.src = src;
    })).get(src);
    // The w-pixel square of a picture at (sx, sy), scaled to `out` pixels.
    async function cut(src, sx, sy, w, out) {
      const ctx = new OffscreenCanvas(out, out).getContext('2d');
      ctx.drawImage(await load(src), sx, sy, w, w, 0, 0, out, out);
      return ctx.getImageData(0, 0, out, out).data;
    }
    // Mean difference per colour channel.
    function diff(a, b) {
      let sum = 0;
      for (let i = 0; i < a.length; ++i) if (i % 4 !== 3) sum += Math.abs(a[i] - b[i]);
      return sum / (a.length * 0.75);
    }
    // Read from a copy: reading the game's canvases again and again makes Chromium warn.
    function pixels(canvas, x, y, size) {
      const ctx = new OffscreenCanvas(size, size).getContext('2d', { willReadFrequently: true });
      ctx.drawImage(canvas, x, y, size, size, 0, 0, size, size);
      return ctx.getImageData(0, 0, size, size).data;
    }
    // The tile each of nine squares shows (8 the white blank); throws on a square that shows
    // none. The squares are the tiles of the 3 x 3 board, or the cells of the solver's page.
    async function read(n, solver) {
      const r = TessleUI.ratio, size = 69 * r;
      const src = `pictures/picture${n}${r > 1 ? '@2x' : ''}.png`;
      const refs = [];
      const at = (i) => [i % 3, (i - i % 3) / 3];  // column and row
      for (let t = 0; t < 8; ++t) {
        refs.push(await cut(src, at(t)[0] * size, at(t)[1] * size, size, size));
      }
      refs.push(new Uint8ClampedArray(size * size * 4).fill(255));
      const page = solver && document.querySelector('[data-name="WebBrowser1"]').shadowRoot
        .querySelector('canvas.board');
      return [...Array(9).keys()].map((i) => {
        const got = solver ? pixels(page, (3 + at(i)[0] * 72) * r, (3 + at(i)[1] * 72) * r, size)
          : pixels(document.querySelector(`[data-name="PicG1(${i})"] canvas`), 0, 0, size);
        const d = refs.map((ref) => diff(got, ref));
        const best = d.indexOf(Math.min(...d));
        if (d[best] > 4) throw new Error(`square ${i} shows no tile of picture ${n}: ${d}`);
        return best;
      });
    }
    window.__cuts = { cut, diff, pixels, read };
  });
}
// The tiles shown by the board (or the solver's page) in the game's picture `n`.
async function read(page, n = 1, solver = false) {
  await install(page);
  return page.evaluate((n, solver) => __cuts.read(n, solver), n, solver);
}

// For each 3 x 3 position, by its rank among the 9! orders, the cell to click next on the way
// home: -1 at home, -2 where it cannot be solved. Made once, by a search from home.
let table = null;
function rank(a) {
  let r = 0;
  for (let i = 0; i < 9; ++i) {
    let smaller = 0;
    for (let j = i + 1; j < 9; ++j) if (a[j] < a[i]) ++smaller;
    r = r * (9 - i) + smaller;
  }
  return r;
}
const neighbours = (c) => [c % 3 ? c - 1 : -1, c % 3 < 2 ? c + 1 : -1, c - 3, c + 3]
  .filter((n) => n >= 0 && n < 9);
const move = (s, c) => {  // the tile in cell c slides into the blank
  const next = s.slice(), blank = s.indexOf(8);
  [next[blank], next[c]] = [next[c], next[blank]];
  return next;
};
// The clicks that solve a position, fewest first; null when it cannot be solved.
function solve(board) {
  if (!table) {
    table = new Int8Array(362880).fill(-2);
    table[rank(HOME)] = -1;
    for (let queue = [HOME], i = 0; i < queue.length; ++i) {
      for (const c of neighbours(queue[i].indexOf(8))) {
        const next = move(queue[i], c), r = rank(next);
        // From `next`, a click on the cell the blank left goes back.
        if (table[r] === -2) { table[r] = queue[i].indexOf(8); queue.push(next); }
      }
    }
  }
  if (table[rank(board)] === -2) return null;
  const clicks = [];
  for (let s = board, c; (c = table[rank(s)]) >= 0; s = move(s, c)) clicks.push(c);
  return clicks;
}

// Deals (the smiley) until the position can be solved in three moves or more; returns it and
// its clicks.
async function deal(page, n = 1) {
  for (let tries = 0; tries < 20; ++tries) {
    const was = (await read(page, n)).join('');
    await page.click(sel('Command1'));
    await page.waitForFunction(async (n, was) => (await __cuts.read(n)).join('') !== was,
      { polling: 50 }, n, was);
    const board = await read(page, n), clicks = solve(board);
    if (clicks && clicks.length >= 3) return { board, clicks };
  }
  throw new Error('no solvable deal in 20');
}
const clickCells = async (page, cells) => {
  for (const c of cells) await page.click(sel(`PicG1(${c})`));
};
// Deals and wins in the fewest moves, or in `atLeast` or one more (going there and back first).
async function win(page, { atLeast = 0 } = {}) {
  const { board, clicks } = await deal(page);
  let moves = clicks.length;
  const blank = board.indexOf(8);
  for (; moves < atLeast; moves += 2) await clickCells(page, [neighbours(blank)[0], blank]);
  await clickCells(page, clicks);
  return moves;
}

module.exports = { assert, px, HOME, neighbours, start, ready, sel, menu, openMenu, choose, entries,
  popupShown, box, noBox, dialog, noDialog, inert, stored, install, read, solve, deal, win };
