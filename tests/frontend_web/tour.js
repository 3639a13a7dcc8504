// The screenshot tour of the browser game (scripts/screenshots-web): every window and menu, at
// device pixel ratios 1 and 2 and at a phone's width, as PNG files in the folder given.
// Usage: node tour.js OUTDIR
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const h = require('./harness');

const out = path.resolve(process.argv[2] || 'build/screenshots-web');
fs.mkdirSync(out, { recursive: true });
let n = 0;
const shot = async (page, name) => {
  const file = path.join(out, `${String(++n).padStart(2, '0')}-${name}.png`);
  await new Promise((r) => setTimeout(r, 150));  // a frame for the last drawing
  await page.screenshot({ path: file });
  console.log(`screenshots-web: ${file}`);
};
const settle = () => new Promise((r) => setTimeout(r, 200));

async function tour(game, { ratio, width = 560, height = 480, tag }) {
  const page = await game.open({ ratio, width, height });
  await h.install(page);
  await shot(page, `${tag}-idle`);
  for (const [id, name] of [[1, 'menu-game'], [8, 'menu-options'], [13, 'menu-help']]) {
    await h.openMenu(page, id);
    if (id === 8) {  // the board size submenu too
      await page.keyboard.press('l');
      await settle();
    }
    await shot(page, `${tag}-${name}`);
    await page.keyboard.press('Escape');
    await page.keyboard.press('Escape');
  }
  for (const [id, title, name] of [[1, 5, 'hall-of-fame'], [8, 12, 'backdrop'], [13, 16, 'about']]) {
    await h.choose(page, id, title);
    await h.dialog(page, 'FrmOption');
    await shot(page, `${tag}-${name}`);
    await page.keyboard.press('Escape');
    await h.noDialog(page);
  }
  const { clicks } = await h.deal(page);
  await page.click(h.sel(`PicG1(${clicks[0]})`));
  await shot(page, `${tag}-playing`);
  await h.choose(page, 13, 14);
  await h.dialog(page, 'frmAutoBest');
  await shot(page, `${tag}-solver`);
  await page.click(h.sel('CmdDo'));
  await h.box(page);
  await shot(page, `${tag}-solver-ask`);
  await page.keyboard.press('y');
  await h.box(page);
  await page.keyboard.press('Enter');
  await settle();
  await page.click(h.sel('CmdNext'));
  await page.click(h.sel('CmdNext'));
  await settle();
  await shot(page, `${tag}-solver-step2`);
  await page.keyboard.press('Escape');
  await h.noDialog(page);
  await h.win(page);
  await h.box(page);
  await shot(page, `${tag}-won`);
  await page.keyboard.press('Enter');
  await page.close();
}

(async () => {
  const game = await h.start();
  try {
    await tour(game, { ratio: 1, tag: 'r1' });
    await tour(game, { ratio: 2, tag: 'r2' });
    // A phone: 360 CSS pixels wide, the solver window scaled to fit.
    const phone = await game.open({ ratio: 2, width: 360, height: 640 });
    await h.install(phone);
    await shot(phone, 'phone-idle');
    const { clicks } = await h.deal(phone);
    await phone.click(h.sel(`PicG1(${clicks[0]})`));
    await h.choose(phone, 13, 14);
    await h.dialog(phone, 'frmAutoBest');
    await shot(phone, 'phone-solver');
    game.clean();
  } finally {
    await game.stop();
  }
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
