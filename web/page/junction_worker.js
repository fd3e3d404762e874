// The junction panel's worker: solves junctions with its own copy of the module, so that the page
// stays responsive while the grid is refined. In: {id, junction, locale} (an object with the
// junction-file keys, its walls inline; the drawings' words and decimal separator). Out: {id, ok:
// true, result, section, field, ms} (the results and the report's two drawings, the time the
// solve and the drawings took), or {id, ok: false, message, parts, pointer} with the command
// line's words and, where it is worded by key, its parts.
'use strict';
importScripts('brusk.js');

self.onmessage = (event) => {
  const { id, junction, locale } = event.data;
  self.brusk.ready.then((brusk) => {
    const start = performance.now();
    try {
      const plots = brusk.bridgePlots(junction, Object.assign({ source: 'junction' }, locale));
      self.postMessage({ id, ok: true, result: plots.result, section: plots.section, field: plots.field, ms: performance.now() - start });
    } catch (error) {
      self.postMessage({ id, ok: false, message: error.message, parts: error.parts, pointer: error.pointer });
    }
  });
};
