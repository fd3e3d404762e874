// The calculator page's download and speed: brusk.js raw and gzipped (-9), the time to the
// first result from navigation start over several fresh loads from file://, and for a six-layer
// wall the engine call alone and the per-edit work: the edit itself (compute, results and key
// results; the page draws the plots after it, in idle time), the edit with the page laid out
// after it, and an edit until its plots are drawn, each as median and 90th percentile over 100
// edits and as a ratio to the engine call. One run's figures; compare builds by their ratios.
//
//   node bench/web_page.mjs <dir holding index.html and brusk.js> [loads]
//
// Needs Debian's chromium and playwright-core (npm ci in web/).
import { createRequire } from 'node:module';
import { readFileSync } from 'node:fs';
import { join, dirname } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

const [dir, loadsText = '7'] = process.argv.slice(2);
if (!dir) {
  console.error('usage: node bench/web_page.mjs <build/web> [loads]');
  process.exit(2);
}
const here = dirname(fileURLToPath(import.meta.url));
const { chromium } = createRequire(join(here, '..', 'web', 'node_modules', 'x.js'))('playwright-core');

const script = readFileSync(join(dir, 'brusk.js'));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// Plaster, concrete, an air layer, EPS, a board and render: the wall of docs/web.md's figures.
const wall = {
  name: 'Six layers',
  layers: [
    { material: 'plaster-gypsum', thickness: 0.015 },
    { material: 'concrete-medium-density', thickness: 0.2 },
    { name: 'Air gap', thermal_resistance: 0.18 },
    { material: 'insulation-eps', thickness: 0.1 },
    { material: 'board-cement-particle', thickness: 0.012 },
    { material: 'render-cement-sand', thickness: 0.01 },
  ],
};
const link = '#wall=' + Buffer.from(JSON.stringify(wall)).toString('base64url');

const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu'] });
const firsts = [];
let speed = null;
for (let i = 0; i < Number(loadsText); ++i) {
  const page = await browser.newPage({ viewport: { width: 390, height: 800 } });
  await page.goto(pathToFileURL(join(dir, 'index.html')).href + link);
  await page.waitForSelector('body[data-ready="true"]', { timeout: 60000 });
  firsts.push(await page.evaluate(() => globalThis.brusk.timings.firstResultMs));
  if (i === 0) {
    speed = await page.evaluate(async (object) => {
      // performance.now() ticks in 0.1 ms steps here: time rounds of 100 calls, and take the
      // median round.
      const calls = [];
      for (let round = 0; round < 11; ++round) {
        const start = performance.now();
        for (let k = 0; k < 100; ++k) globalThis.brusk.compute(object, { periodHours: 24 });
        calls.push((performance.now() - start) / 100);
      }
      const field = document.getElementById('wall-rsi');
      const edits = [];
      for (let k = 0; k < 100; ++k) {
        const start = performance.now();
        field.value = String(0.13 + k * 1e-4);
        field.dispatchEvent(new Event('input'));
        edits.push(performance.now() - start);
      }
      // The same edits with the page laid out after each (style and layout forced, as the next
      // frame would do them; paint not included): what an edit costs the frame.
      const laidOut = [];
      for (let k = 0; k < 100; ++k) {
        const start = performance.now();
        field.value = String(0.14 + k * 1e-4);
        field.dispatchEvent(new Event('input'));
        void document.body.offsetHeight;
        laidOut.push(performance.now() - start);
      }
      // An edit until the drawings it asks for are in the page (idle waits included), one edit
      // at a time as a user makes them; and the drawings' own time.
      const timings = globalThis.brusk.timings;
      const settled = () => new Promise((resolve) => {
        const poll = () => (timings.plotsPending ? setTimeout(poll, 0) : resolve());
        poll();
      });
      await settled();
      const drawn = [];
      const drawing = [];
      for (let k = 0; k < 30; ++k) {
        const start = performance.now();
        field.value = String(0.15 + k * 1e-4);
        field.dispatchEvent(new Event('input'));
        await settled();
        drawn.push(performance.now() - start);
        drawing.push(timings.lastPlotsMs);
      }
      // The inline plots alone (section, responses, cycle-length sweeps), drawn on every edit.
      const plots = [];
      for (let k = 0; k < 11; ++k) {
        const start = performance.now();
        globalThis.brusk.plots(object, { periodHours: 24, width: 358 });
        plots.push(performance.now() - start);
      }
      // The downloadable report's page.
      const reports = [];
      for (let k = 0; k < 11; ++k) {
        const start = performance.now();
        globalThis.brusk.report([object], { periodHours: 24 });
        reports.push(performance.now() - start);
      }
      const middle = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
      const ninetieth = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length * 0.9)];
      return { call: middle(calls), edit: middle(edits), editP90: ninetieth(edits), laidOut: middle(laidOut), laidOutP90: ninetieth(laidOut),
        drawn: middle(drawn), drawnP90: ninetieth(drawn), drawing: middle(drawing.filter(Number.isFinite)), plots: middle(plots), report: middle(reports) };
    }, wall);
  }
  await page.close();
}
await browser.close();
console.log(`brusk.js ${script.length} bytes, gzipped (-9) ${gzipSync(script, { level: 9 }).length} bytes`);
console.log(`first result: median ${median(firsts).toFixed(0)} ms over ${firsts.length} loads (${firsts.map((t) => t.toFixed(0)).join(' ')})`);
console.log(`six-layer wall: compute() median ${(speed.call * 1000).toFixed(0)} µs, per edit (its plots drawn after it, in idle time) median ${speed.edit.toFixed(2)} ms, 90th percentile ${speed.editP90.toFixed(2)} ms, plots() median ${speed.plots.toFixed(1)} ms, report() median ${speed.report.toFixed(1)} ms`);
console.log(`per edit with the page laid out after it: median ${speed.laidOut.toFixed(2)} ms, 90th percentile ${speed.laidOutP90.toFixed(2)} ms`);
console.log(`per edit until its plots are drawn: median ${speed.drawn.toFixed(2)} ms, 90th percentile ${speed.drawnP90.toFixed(2)} ms (the drawings' own time: median ${speed.drawing === undefined ? '–' : speed.drawing.toFixed(1) + ' ms'})`);
const ratio = (value) => (value / speed.call).toFixed(1);
console.log(`as a ratio to compute(): per edit median ×${ratio(speed.edit)}, 90th percentile ×${ratio(speed.editP90)}; laid out median ×${ratio(speed.laidOut)}, 90th percentile ×${ratio(speed.laidOutP90)}`);
