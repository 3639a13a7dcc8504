// Lets the game be installed and played offline: registers the service worker (sw.js) once the
// first board is drawn, so that caching the site takes nothing from the first load.
'use strict';
if ('serviceWorker' in navigator) {
  new PerformanceObserver((marks, observer) => {
    if (!marks.getEntriesByName('tessle-first-board').length) return;
    observer.disconnect();
    // Refused where the page is neither https nor localhost: the game still plays, online.
    navigator.serviceWorker.register('sw.js').catch(() => {});
  }).observe({ type: 'mark', buffered: true });
}
