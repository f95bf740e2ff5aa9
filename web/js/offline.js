// Use without a network: the service worker keeps the page's files after
// the first visit (where the browser has service workers).
export function startOffline() {
  if (!('serviceWorker' in navigator))
    return;
  navigator.serviceWorker.register('sw.js').catch(() => { /* the page still works online */ });
}
