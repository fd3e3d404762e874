// The calculator's service worker, registered only when the page is served over http(s): it
// keeps the page's own files, so that the page opens offline after the first visit. Network
// first, so that a new build is taken whenever the host answers; the kept copy otherwise.
'use strict';
const CACHE = 'brusk-calculator';
const FILES = ['index.html', 'i18n.js', 'i18n_module.js', 'wall_document.js', 'calculator.js', 'calculator.css', 'moisture_panel.js', 'profile_panel.js', 'zone_panel.js', 'requirements_panel.js', 'validation_panel.js', 'junction_panel.js', 'junction_worker.js', 'brusk.js', 'brusk.mjs', 'manifest.webmanifest', 'icon.svg'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(self.clients.claim());
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(fetch(request).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      event.waitUntil(caches.open(CACHE).then((cache) => cache.put(request, copy)));
    }
    return response;
  }).catch(() => caches.match(request, { ignoreSearch: true }).then((kept) => kept || Response.error())));
});
