// Games played: a win and its record across a reload and across two tabs, the clock in the
// foreground only, and the solver window stepping through its answer.
'use strict';
const { test, before, after } = require('node:test');
const h = require('./harness');
const { assert, sel } = h;

let s;
before(async () => { s = await h.start(); });
after(() => s.stop());

async function close(page) {
  const gone = new Promise((resolve) => page.once('close', resolve));
  await page.close({ runBeforeUnload: true });  // as a tab is closed: pagehide runs
  await gone;
}

test('a game won by clicks sets a record, shown in the hall of fame after a reload', async () => {
  const page = await s.open();
  const moves = await h.win(page);
  assert.deepEqual(await h.box(page),
    { caption: '', text: '真行！你创造了新的纪录', focus: '1', default: '1' });
  assert.deepEqual(await h.read(page), h.HOME);
  await page.keyboard.press('Enter');
  await h.noBox(page);
  await page.reload();  // the record is stored as the page goes
  await h.ready(page);
  await h.choose(page, 1, 5);
  await h.dialog(page, 'FrmOption');
  assert.deepEqual(await page.$$eval('[data-name$="Champion"]', (l) => l.map((e) => e.textContent)),
    [`3 X 3 共移动：${moves}`, '4 X 4 共移动：99999']);
  await page.close();
  s.clean();
});

test('a tab closing later keeps the better record another tab stored', async () => {
  const context = await s.browser.createBrowserContext();
  const late = await s.open({ context });  // opened first, closed last, with the worse record
  const early = await s.open({ context });
  await early.bringToFront();
  const best = await h.win(early);
  await h.box(early);
  await late.bringToFront();
  const worse = await h.win(late, { atLeast: best + 1 });
  assert.equal((await h.box(late)).text, '真行！你创造了新的纪录', 'none in this tab yet');
  const watcher = await context.newPage();
  await watcher.goto(s.url + 'blank');
  await close(early);
  assert.equal(await h.stored(watcher, 'minstep33'), String(best));
  await close(late);
  assert.equal(await h.stored(watcher, 'minstep33'), String(best), `overwritten by ${worse}`);
  await context.close();
  s.clean();
});

// Takes the game's one-second timer from the page, so that the test gives each second itself.
function holdTimer() {
  const real = { set: window.setInterval, clear: window.clearInterval };
  const held = new Map();
  let last = 0;
  window.setInterval = (fn, ms, ...rest) => {
    if (ms !== 1000) return real.set(fn, ms, ...rest);
    held.set(--last, fn);  // ids of its own, below any real one
    return last;
  };
  window.clearInterval = (id) => (held.delete(id) ? undefined : real.clear(id));
  window.__second = () => { for (const fn of held.values()) fn(); return held.size; };
}

test('the clock counts only while the page is in front and no window is over it', async () => {
  const context = await s.browser.createBrowserContext();
  const page = await s.open({ context, before: holdTimer });
  const canvas = `${sel('PicTime')} canvas`;
  const clock = () => page.$eval(canvas, (c) => c.toDataURL());
  const second = async () => assert.equal(await page.evaluate(() => __second()), 1, 'no clock');
  const becomes = (want) => page.waitForFunction((c, want) =>
    document.querySelector(c).toDataURL() === want, {}, canvas, want);
  const next = async (was) => {  // a second, and what the clock shows after it
    await second();
    await page.waitForFunction((c, was) => document.querySelector(c).toDataURL() !== was, {},
      canvas, was);
    return clock();
  };
  await page.click(sel('Command1'));
  const zero = await clock(), one = await next(zero), two = await next(one);
  await page.click(sel('Command1'));  // a new deal starts from 0
  await becomes(zero);
  assert.equal(await next(zero), one);

  const other = await context.newPage();  // another tab in front: this one is hidden
  await other.bringToFront();
  // Hidden yet focused, as a minimised window may stay: being hidden alone must stop it.
  assert.equal(await page.evaluate(() => {
    document.hasFocus = () => true;
    return document.visibilityState;
  }), 'hidden');
  for (let i = 0; i < 3; ++i) await second();
  await page.bringToFront();
  await page.evaluate(() => { document.hasFocus = () => false; });  // another window has focus
  for (let i = 0; i < 3; ++i) await second();
  await page.evaluate(() => { delete document.hasFocus; });
  await h.choose(page, 1, 5);  // the hall of fame over the main window
  await h.dialog(page, 'FrmOption');
  for (let i = 0; i < 3; ++i) await second();
  await page.keyboard.press('Escape');
  await h.noDialog(page);
  assert.equal(await clock(), one);
  assert.equal(await next(one), two, 'the clock goes on from where it stopped');
  await context.close();
  s.clean();
});

test('the solver steps through its answer on the picture in play, also on a phone', async () => {
  const page = await s.open({ store: { ptype: '2' } });
  const { board, clicks } = await h.deal(page, 2);
  await h.choose(page, 13, 14);
  const d = await h.dialog(page, 'frmAutoBest');
  assert.equal(await d.$eval('.caption', (c) => c.textContent), '显示最优移动法');
  assert.deepEqual(await h.read(page, 2, true), board);
  await page.click(sel('CmdDo'));
  assert.equal((await h.box(page)).focus, '7', 'the warning defaults to 否');
  await page.click('.msgbox button[data-answer="6"]');
  await page.waitForFunction(() =>
    document.querySelector('.msgbox .text')?.textContent === '自动求解完成！');
  await page.keyboard.press('Enter');
  await h.noBox(page);

  const n = clicks.length - 1;  // the rules' answer stops one move short of home
  const state = () => page.evaluate(() => {
    const $ = (n) => document.querySelector(`[data-name="${n}"]`);
    return [$('txtResult').value, !$('CmdPrior').disabled, !$('CmdNext').disabled,
      document.activeElement.dataset.name];
  });
  assert.deepEqual(await state(), [`共${n}步，第0步`, false, true, 'CmdNext']);
  let shown = board;
  for (let k = 1; k <= n; ++k) {
    await page.click(sel('CmdNext'));
    await page.waitForFunction((t) => document.querySelector('[data-name="txtResult"]').value === t,
      {}, `共${n}步，第${k}步`);
    const now = await h.read(page, 2, true);
    const moved = now.flatMap((t, i) => (t === shown[i] ? [] : [i]));
    assert.ok(moved.length === 2 && moved.some((i) => shown[i] === 8), `step ${k} is one move`);
    shown = now;
  }
  assert.equal(h.solve(shown).length, 1);
  assert.deepEqual((await state()).slice(1), [true, false, 'CmdPrior'], 'focus off a greyed one');
  await page.click(sel('CmdPrior'));
  assert.deepEqual((await state()).slice(0, 3), [`共${n}步，第${n - 1}步`, true, true]);

  // A phone: the whole desktop scales down to fit the solver window; nothing reflows.
  const size = () => page.evaluate(() => {
    const w = document.querySelector('.dialog[data-name="frmAutoBest"]');
    const r = w.getBoundingClientRect(), f = document.getElementById('form1');
    return [[w.offsetWidth, w.offsetHeight, f.offsetWidth, f.offsetHeight], r.left, r.right];
  });
  const [wide] = await size();
  await page.setViewport({ width: 360, height: 640 });
  await page.waitForFunction(() => Number(document.getElementById('desktop').dataset.scale) < 1);
  const [narrow, left, right] = await size();
  assert.deepEqual(narrow, wide);
  assert.ok(left >= 0 && right <= 360, `the window spans ${left}..${right}`);
  await page.keyboard.press('Escape');
  await h.noDialog(page);
  await page.close();

  // On a touch screen a tap is a click: it slides a tile.
  const phone = await s.open({ width: 360, height: 640, ratio: 2, touch: true });
  const dealt = (await h.deal(phone)).board;
  const cell = h.neighbours(dealt.indexOf(8))[0];
  await phone.tap(sel(`PicG1(${cell})`));
  await phone.waitForFunction(async (b) => (await __cuts.read(1)).join('') !== b, {}, dealt.join(''));
  assert.equal((await h.read(phone)).indexOf(8), cell);
  await phone.close();
  s.clean();
});
