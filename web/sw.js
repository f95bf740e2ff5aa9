// The page's service worker: keeps the page's own files in the browser, so
// that after one visit the page opens with no network at all. The build
// puts in the files' names and a version drawn from their bytes.
const kCache = 'vantrel-@VERSION@';
const kFiles = @FILES@;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(kCache).then((cache) => cache.addAll(kFiles)).then(() => self.skipWaiting()));
});

// Drops what older versions kept, and serves the open pages at once.
self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith('vantrel-') && name !== kCache)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The page's files from what is kept; anything else from the network.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET')
    return;
  event.respondWith(caches.open(kCache)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((kept) => kept || fetch(event.request)));
});
