// The keys in the page: the arrows play, H marks the tile that starts a shortest solution (its
// search in a web worker), and no key reaches the board while a box is open.
'use strict';
const { test, before, after } = require('node:test');
const h = require('./harness');
const { assert, sel } = h;

let s;
before(async () => { s = await h.start(); });
after(() => s.stop());

// The cells whose surface shows the hint's mark: yellow just inside a dark outline.
const marked = (page) => page.evaluate(() => [...Array(9).keys()].filter((c) => {
  const canvas = document.querySelector(`[data-name="PicG1(${c})"] canvas`);
  const r = TessleUI.ratio;
  const px = (x, y) => [...__cuts.pixels(canvas, x * r, y * r, 1).slice(0, 3)].join(',');
  return px(2, 2) === '255,230,0' && px(0, 0) === '32,32,32';
}));
// The arrow that slides the tile in `cell` into the blank.
const arrowFor = (board, cell) => {
  const blank = board.indexOf(8);
  return { [blank - 1]: 'ArrowRight', [blank + 1]: 'ArrowLeft', [blank - 3]: 'ArrowDown',
    [blank + 3]: 'ArrowUp' }[cell];
};
const slide = (board, cell) => {
  const next = board.slice(), blank = board.indexOf(8);
  [next[blank], next[cell]] = [next[cell], next[blank]];
  return next;
};

test('H marks a tile that starts a shortest solution; its arrow plays it and the mark goes',
  async () => {
    const page = await s.open();
    const { board, clicks } = await h.deal(page);
    await page.keyboard.press('h');
    let cells = [];
    for (const until = Date.now() + 20000; !cells.length && Date.now() < until;) {
      cells = await marked(page);
    }
    assert.equal(cells.length, 1, `marked: ${cells}`);
    const after = slide(board, cells[0]);
    assert.equal(h.solve(after).length, clicks.length - 1, 'a first move of a shortest way home');

    await page.keyboard.press(arrowFor(board, cells[0]));
    await page.waitForFunction(async (want) => (await __cuts.read(1)).join('') === want,
      { polling: 50 }, after.join(''));
    assert.deepEqual(await marked(page), []);
    // The page tells the keys, outside the game's window.
    assert.equal(await page.$eval('#keys-note', (e) => e.textContent), '方向键移动方块 · H 提示');
    assert.equal(await page.$eval('#keys-note', (e) => !!e.closest('#main')), false);
    await page.close();
    s.clean();
  });

test('no key reaches the board while a box is open', async () => {
  const page = await s.open();
  const { board } = await h.deal(page);
  await h.choose(page, 1, 3);  // 结束: the give-up question
  await h.box(page);
  for (const key of ['ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', 'h']) {
    await page.keyboard.press(key);
  }
  await page.keyboard.press('Escape');  // No
  await h.noBox(page);
  await new Promise((resolve) => setTimeout(resolve, 300));  // a wrongly sent key would be in
  assert.deepEqual(await h.read(page), board);
  assert.deepEqual(await marked(page), []);
  // With the box gone, the arrows are the board's again.
  const cell = h.neighbours(board.indexOf(8))[0];
  await page.keyboard.press(arrowFor(board, cell));
  await page.waitForFunction(async (want) => (await __cuts.read(1)).join('') === want,
    { polling: 50 }, slide(board, cell).join(''));
  await page.close();
  s.clean();
});
