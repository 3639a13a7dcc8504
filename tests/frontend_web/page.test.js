// The page itself: where the controls stand, the menus and the keyboard, the modal windows and
// boxes, the picture choice and sharp pictures on a 2x screen.
'use strict';
const { test, before, after } = require('node:test');
const h = require('./harness');
const { assert, px, sel } = h;

let s;
before(async () => { s = await h.start(); });
after(() => s.stop());

// Controls as [name, parent, twips left, top, width, height]; a parent's place from #form1.
const origin = { form1: [0, 0], Picture1: [0, 0], Pic33: [px(80), px(485)] };
origin.Pic44 = origin.Pic33;
const strip = [['Picture1', 'form1', 0, 0, 3345, 435], ['PicStep', 'Picture1', 120, 0, 855, 435],
  ['Command1', 'Picture1', 1380, 0, 495, 435], ['PicTime', 'Picture1', 2520, 0, 795, 435],
  ['StatusBar1', 'form1', 0, 435 + 50 + 3300, 3345, 4110 - 3785]];
function board(big) {
  const k = big ? [0, 815, 1627, 2435] : [0, 1080, 2160], n = k.length, size = big ? 825 : 1100;
  const panel = big ? 'Pic44' : 'Pic33', tile = big ? 'PicG2' : 'PicG1';
  return [[panel, 'form1', 80, 485, 3300, big ? 3255 : 3300], ...[...Array(n * n).keys()]
    .map((c) => [`${tile}(${c})`, panel, k[c % n], k[(c - c % n) / n], size, size])];
}
// Style, box from #form1 and, for a surface, its canvas: as placed, and as they should be.
const places = (page, list) => page.evaluate((list) => list.map(([name]) => {
  const el = document.querySelector(`[data-name="${name}"]`), c = el.querySelector(':scope>canvas');
  const r = el.getBoundingClientRect(), o = document.querySelector('#form1').getClientRects()[0];
  return [name, ['left', 'top', 'width', 'height'].map((k) => el.style[k]),
    [r.left - o.left, r.top - o.top, r.width, r.height], c && [c.width, c.height, c.style.width]];
}), list);
const expected = (list) => list.map(([name, parent, l, t, w, hgt]) => [name,
  [l, t, w, hgt].map((v) => px(v) + 'px'),
  [origin[parent][0] + px(l), origin[parent][1] + px(t), px(w), px(hgt)],
  /^Pic(Step|Time|G)/.test(name) ? [px(w) - 4, px(hgt) - 4, px(w) - 4 + 'px'] : null]);
const shown = (page, name) => page.$eval(sel(name),
  (el) => getComputedStyle(el).display !== 'none');

test('loads clean, with every control at its twips place on either board', async () => {
  const page = await s.open();
  assert.equal(await page.title(), 'Tessle 拼图');
  assert.deepEqual(await page.$eval('#form1', (f) => [f.clientWidth, f.clientHeight]),
    [px(3345), px(4110)]);
  const small = [...strip, ...board(false)];
  assert.deepEqual(await places(page, small), expected(small));
  assert.deepEqual([await shown(page, 'Pic33'), await shown(page, 'Pic44')], [true, false]);
  assert.equal(await page.$eval(sel('Command1'), (b) => b.title), '开局');
  await h.choose(page, 8, 9);
  await page.click(h.menu(11));  // 4 X 4
  await page.waitForFunction((s) => !document.querySelector(s).style.display, {}, sel('Pic44'));
  assert.deepEqual([await shown(page, 'Pic33'), await shown(page, 'Pic44')], [false, true]);
  assert.deepEqual(await places(page, board(true)), expected(board(true)));
  await page.close();
  s.clean();
});

test('menus refresh as they open, and the keyboard walks them', async () => {
  const page = await s.open();
  await h.openMenu(page, 1);
  assert.deepEqual(await h.entries(page, [2, 3, 5, 7]), ['on', 'off', 'on', 'on']);
  await h.choose(page, 8, 9);
  assert.deepEqual(await h.entries(page, [9, 10, 11, 12]), ['on', 'on+tick', 'on', 'on']);
  await page.mouse.click(2, 2);
  assert.equal(await h.popupShown(page, 9), false);

  // Alt alone lights the bar; Right and Enter open 选项; its access letter L opens 难度.
  await page.keyboard.press('Alt');
  assert.equal(await page.$eval(h.menu(1), (el) => el.classList.contains('hot')), true);
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('Enter');
  await page.waitForSelector(`${h.menu(8)}.open`);
  assert.equal(await h.popupShown(page, 10), false);
  await page.keyboard.press('l');
  assert.equal(await h.popupShown(page, 10), true);
  await page.keyboard.press('Escape');
  assert.deepEqual([await h.popupShown(page, 10), await h.popupShown(page, 9)], [false, true]);
  await page.keyboard.press('Escape');
  assert.equal(await h.popupShown(page, 9), false);

  // While a game is played: 结束 and 自动求解 on, 难度 and 背景 greyed.
  await page.click(sel('Command1'));
  await h.openMenu(page, 1);
  assert.deepEqual(await h.entries(page, [3]), ['on']);
  await h.openMenu(page, 8);
  assert.deepEqual(await h.entries(page, [9, 12]), ['off', 'off']);
  await h.openMenu(page, 13);
  assert.deepEqual(await h.entries(page, [14]), ['on']);
  await page.close();
  s.clean();
});

test('Enter and Escape in the quit box and the modal windows', async () => {
  const page = await s.open();
  await page.click(sel('Command1'));
  const playing = async () => {
    await h.openMenu(page, 1);
    return (await h.entries(page, [3]))[0] === 'on';
  };
  for (const key of ['Enter', 'Escape']) {
    await h.choose(page, 1, 3);
    assert.deepEqual(await h.box(page),
      { caption: '放弃？', text: '真不想玩了？', focus: '7', default: '7' });
    assert.equal(await h.inert(page), true);
    await page.keyboard.press(key);
    await h.noBox(page);
    assert.equal(await playing(), true, `${key} answers 否: the game goes on`);
  }
  await h.choose(page, 1, 3);
  await h.box(page);
  await page.click('.msgbox button[data-answer="6"]');
  await h.noBox(page);
  assert.equal(await playing(), false, '是 ends the game');

  const caption = (d) => d.$eval('.caption', (c) => c.textContent);
  for (const key of ['Enter', 'Escape']) {
    await h.choose(page, 1, 5);
    assert.equal(await caption(await h.dialog(page, 'FrmOption')), '拼图英雄榜');
    assert.equal(await page.evaluate(() => document.activeElement.dataset.name), 'CmdOK2');
    assert.equal(await h.inert(page), true);
    await page.keyboard.press(key);
    await h.noDialog(page);
  }
  await h.choose(page, 8, 12);
  assert.equal(await caption(await h.dialog(page, 'FrmOption')), 'Backdrop');
  await page.keyboard.press('Escape');
  await h.noDialog(page);
  assert.equal(await h.stored(page, 'ptype'), null, 'Escape chose no picture');
  await page.close();
  s.clean();
});

test('the picture chosen is stored and shown, and again after a reload', async () => {
  const page = await s.open();
  await h.choose(page, 8, 12);
  await h.dialog(page, 'FrmOption');
  assert.deepEqual(await page.$$eval('.dialog .image[data-name^="ImgBG"]',
    (l) => l.map((i) => [i.dataset.name, new URL(i.src).pathname])),
  [0, 1, 2, 3].map((k) => [`ImgBG(${k})`, `/pictures/picture${k + 1}.png`]));
  await page.click(sel('ImgBG(2)'));
  await h.noDialog(page);
  assert.equal(await h.stored(page, 'ptype'), '3');
  // The tiles are drawn as soon as the picture has loaded.
  const showsPicture3 = async () => {
    await h.install(page);
    await page.waitForFunction(async () => {
      try {
        return (await __cuts.read(3)).join('') === '012345678';
      } catch (e) {
        return false;  // still the picture before
      }
    }, { polling: 50 });
  };
  await showsPicture3();
  await page.reload();
  await h.ready(page);
  await showsPicture3();
  await page.close();
  s.clean();
});

test('a 2x screen gets canvases of 2x pixels drawn from the @2x pictures', async () => {
  const page = await s.open({ ratio: 2 });
  assert.deepEqual(await page.$eval(`${sel('PicG1(4)')} canvas`,
    (c) => [TessleUI.ratio, c.width, c.height, c.style.width]), [2, 138, 138, '69px']);
  await h.install(page);
  // Tile 4 against its cut of the @2x picture, and against the 1x picture's cut scaled up.
  const [sharp, blurred, apart] = await page.evaluate(async () => {
    const got = __cuts.pixels(document.querySelector('[data-name="PicG1(4)"] canvas'), 0, 0, 138);
    const want = await __cuts.cut('pictures/picture1@2x.png', 138, 138, 138, 138);
    const up = await __cuts.cut('pictures/picture1.png', 69, 69, 69, 138);
    return [__cuts.diff(got, want), __cuts.diff(got, up), __cuts.diff(want, up)];
  });
  assert.ok(apart > 3, `the two pictures hardly differ (${apart})`);
  assert.ok(sharp < 1 && blurred > 3, `off the @2x cut by ${sharp}, the scaled 1x by ${blurred}`);
  assert.deepEqual(await h.read(page), h.HOME);
  await page.close();
  s.clean();
});
