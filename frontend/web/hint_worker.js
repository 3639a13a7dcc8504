// The hint's searches, off the page's thread: one at a time, in the order asked. A search the
// player has overtaken still runs to its end (the solver's tables would go with the worker);
// the game drops its answer.
'use strict';
importScripts('hint-solver.js');
const solver = TessleHintSolver();

onmessage = async (e) => {
  const m = await solver;
  const { id, cells, prepare } = e.data;
  if (prepare) {
    m._tessle_prepare();
    return;
  }
  let lo = 0, hi = 0;
  cells.forEach((v, c) => {
    if (c < 8) lo |= v << (4 * c);
    else hi |= v << (4 * (c - 8));
  });
  postMessage({ id, tile: m._tessle_first_tile(cells.length, lo >>> 0, hi >>> 0) });
};
