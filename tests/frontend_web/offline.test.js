// The game as an installed app: the manifest as Chromium's install check sees it, a start with
// the server gone after one visit, and a new build taking over at the next start.
'use strict';
const { test } = require('node:test');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const h = require('./harness');
const { assert } = h;

const SITE = path.resolve(process.env.TESSLE_WEB_SITE || path.join(__dirname, '../../build/web'));
const ROOT = path.join(__dirname, '../..');

// The caches of the page's origin once its service worker is active (it registers after the
// first board).
const activeCaches = (page) => page.evaluate(async () => {
  await navigator.serviceWorker.ready;
  return caches.keys();
});
const controlled = (page) => page.evaluate(() => navigator.serviceWorker.controller !== null);
const hasMark = (page) => page.evaluate(() =>
  fetch('ui.js').then((r) => r.text()).then((text) => text.includes('// the next build')));

test('Chromium finds the game installable', async () => {
  const s = await h.start();
  try {
    // Not in a context of its own: Chromium installs nothing from an incognito one.
    const page = await s.open({ context: s.browser.defaultBrowserContext() });
    await activeCaches(page);
    const cdp = await page.createCDPSession();
    assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
    assert.deepEqual((await cdp.send('Page.getAppManifest')).errors, []);
    s.clean();
  } finally {
    await s.stop();
  }
});

test('after one visit the game starts, deals and keeps a record with the server gone', async () => {
  const s = await h.start();
  try {
    const page = await s.open({ context: await s.browser.createBrowserContext() });
    await activeCaches(page);
    s.server.close();
    s.server.closeAllConnections();
    await page.reload();
    await h.ready(page);
    assert.equal(await controlled(page), true);
    const moves = await h.win(page);
    await h.box(page);
    await page.keyboard.press('Enter');
    await h.noBox(page);
    await page.reload();  // the record is stored as the page goes
    await h.ready(page);
    assert.equal(await h.stored(page, 'minstep33'), String(moves));
    s.clean();
  } finally {
    await s.stop();
  }
});

test('a new build takes over at the next start, and its cache replaces the old', async () => {
  const site = fs.mkdtempSync(path.join(os.tmpdir(), 'tessle-site-'));
  fs.cpSync(SITE, site, { recursive: true });
  const s = await h.start({ site });
  try {
    const context = await s.browser.createBrowserContext();
    const first = await s.open({ context });
    const old = await activeCaches(first);
    await first.close();

    // The next build, as scripts/build-web writes it: a changed file, and its worker.
    fs.appendFileSync(path.join(site, 'ui.js'), '\n// the next build\n');
    execFileSync('cmake', [`-DSITE=${site}`, `-DTEMPLATE=${ROOT}/frontend/web/sw.js.in`, '-P',
      `${ROOT}/cmake/web-offline.cmake`]);
    const next = /'(tessle-[0-9a-f]+)'/.exec(fs.readFileSync(path.join(site, 'sw.js'), 'utf8'))[1];
    assert.equal(old.length, 1);
    assert.notEqual(next, old[0]);

    // The start that finds it plays the old build throughout while the new one is cached.
    const second = await s.open({ context });
    await second.evaluate(async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      await registration.update();
      while (!registration.waiting) await new Promise((resolve) => setTimeout(resolve, 50));
    });
    assert.equal(await hasMark(second), false);
    await second.close();

    // The start after it: the new build, and only its cache.
    const third = await s.open({ context });
    await third.waitForFunction((next) => caches.keys().then((names) => names.join() === next),
      {}, next);
    assert.equal(await hasMark(third), true);
    s.clean();
  } finally {
    await s.stop();
    fs.rmSync(site, { recursive: true, force: true });
  }
});
