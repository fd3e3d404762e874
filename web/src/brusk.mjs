// Brusk as an ES module, for pages served over http and for Node: the classic script sets
// globalThis.brusk, and this module waits for it to be ready.
import './brusk.js';

const api = await globalThis.brusk.ready;

/** Computes one wall object (wall-file keys); returns what `brusk compute --format json` prints. */
export function compute(wall, options) {
  return api.compute(wall, options);
}
export const computeText = api.computeText;
export const readWallFile = api.readWallFile;
export const toToml = api.toToml;
export const materials = api.materials;
export const report = api.report;
export const moisture = api.moisture;
export const moistureSection = api.moistureSection;
export default api;
