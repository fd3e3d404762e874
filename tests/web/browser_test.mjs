// The calculator page in headless Chromium, opened from file:// as a user opens it from disk:
// its numbers against the native `brusk compute --format json`, a wall built by clicking, a
// TOML file opened and saved, a #wall= link, a bad value at its field, no console error and no
// request beyond the page's own files. Then the same build/web/ served over http by a static
// server of a few lines on the loopback: the page and the ES module brusk.mjs from there, every
// request to that origin. Exit 77 (skipped) when a tool is missing.
//
// Arguments: <build/web> <brusk program> <examples dir> <screenshot dir>
import { execFileSync, spawnSync } from 'node:child_process';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync, mkdirSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, extname, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

const [webDir, program, examplesDir, screenshotDir] = process.argv.slice(2);
const CHROMIUM = '/usr/bin/chromium';

function skip(reason) {
  console.log(`web.browser skipped: ${reason}`);
  process.exit(77);
}
if (!existsSync(join(webDir, 'brusk.js'))) skip(`${webDir}/brusk.js is not built: run cmake --build build --target brusk-web (needs emscripten)`);
if (!existsSync(CHROMIUM)) skip(`${CHROMIUM} is missing: run scripts/install-deps.sh`);
let chromium;
try {
  chromium = createRequire(join(process.env.BRUSK_NODE_MODULES, 'x.js'))('playwright-core').chromium;
} catch (error) {
  skip(`playwright-core is not installed: run npm ci in web/ (${error.message.split('\n')[0]})`);
}

let failures = 0;
function check(condition, what) {
  if (!condition) {
    failures += 1;
    console.log(`FAIL: ${what}`);
  }
}

/** Every number of `actual` within `relative` of `expected`, every other value equal. */
function sameNumbers(actual, expected, relative, path = '') {
  if (typeof expected === 'number') {
    const ok = typeof actual === 'number' && Math.abs(actual - expected) <= relative * Math.max(Math.abs(expected), 1e-300);
    check(ok, `${path}: ${actual} differs from native ${expected}`);
  } else if (expected && typeof expected === 'object') {
    check(actual && typeof actual === 'object' && Object.keys(actual).join() === Object.keys(expected).join(), `${path}: keys ${actual && Object.keys(actual)} are not ${Object.keys(expected)}`);
    for (const key of Object.keys(expected)) sameNumbers(actual ? actual[key] : undefined, expected[key], relative, `${path}/${key}`);
  } else {
    check(actual === expected, `${path}: ${JSON.stringify(actual)} is not ${JSON.stringify(expected)}`);
  }
}

function nativeJson(file, periodHours = 24) {
  return JSON.parse(execFileSync(program, ['compute', '--format', 'json', '--period', String(periodHours), file], { encoding: 'utf8' }));
}

/** What the page shows for a number: four significant digits. */
const shown = (number) => String(Number(number.toPrecision(4)));

/** What a static host sends for the page's files. */
const CONTENT_TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript', '.css': 'text/css', '.webmanifest': 'application/manifest+json', '.svg': 'image/svg+xml' };

/**
 * A static file server for `root` on 127.0.0.1 at a port the system picks: GET of a file under
 * `root` with a known type, 404 for anything else. Resolves to { server, origin, paths } where
 * `paths` collects every path asked for.
 */
function serveStatic(root) {
  const top = resolve(root);
  const paths = [];
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    paths.push(path);
    const file = resolve(top, '.' + path);
    const type = CONTENT_TYPES[extname(file)];
    if (request.method !== 'GET' || !file.startsWith(top + sep) || !type || !existsSync(file)) {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found\n');
      return;
    }
    response.writeHead(200, { 'Content-Type': `${type}; charset=utf-8` });
    response.end(readFileSync(file));
  });
  return new Promise((done, fail) => {
    server.on('error', fail);
    server.listen(0, '127.0.0.1', () => done({ server, origin: `http://127.0.0.1:${server.address().port}`, paths }));
  });
}

/**
 * The first screen at `width` × `height`: the key results (U, f, lag, κ1) within it, then the
 * plots before the wall's form, a plot wholly in view too when `plotInView`, and every plot's
 * labels drawn at 11 px or more (font size × the SVG's scale on the page).
 */
async function firstScreenChecks(width, height, plotInView) {
  await page.setViewportSize({ width, height });
  await page.evaluate(() => window.scrollTo(0, 0));
  await page.waitForFunction((w) => Number(document.querySelector('#plot-section svg').getAttribute('width')) <= w, width).catch(() => {});
  await plotsDrawn();
  const layout = await page.evaluate(() => {
    const inView = (element) => { const box = element.getBoundingClientRect(); return box.height > 0 && box.top >= 0 && box.bottom <= innerHeight && box.left >= 0 && box.right <= innerWidth; };
    const keys = [...document.querySelectorAll('#key-results > div')];
    let smallest = Infinity;
    for (const svg of document.querySelectorAll('#plots svg')) {
      const scale = svg.getBoundingClientRect().width / svg.viewBox.baseVal.width;
      for (const text of svg.querySelectorAll('text')) smallest = Math.min(smallest, Number(text.getAttribute('font-size')) * scale);
    }
    const top = (selector) => document.querySelector(selector).getBoundingClientRect().top;
    return { keys: keys.map((k) => k.dataset.quantity), keysInView: keys.every(inView), firstPlotInView: inView(document.querySelector('#plot-section svg')) || inView(document.querySelector('#plot-outdoor svg')), smallest,
      plotsAfterKeys: top('#plots') >= document.getElementById('key-results').getBoundingClientRect().bottom, plotsBeforeForm: innerWidth >= 800 || top('#plots') < top('#wall-heading') };
  });
  check(layout.keys.join() === 'u_value,decrement_factor,periodic_thermal_transmittance.time_lag,internal_areal_heat_capacity', `${width} px: key results ${layout.keys.join()}`);
  check(layout.keysInView, `${width}×${height}: the key results are not all in the first screen`);
  check(!plotInView || layout.firstPlotInView, `${width}×${height}: no plot wholly in the first screen`);
  check(layout.plotsAfterKeys && layout.plotsBeforeForm, `${width} px: the plots do not come right after the key results`);
  check(layout.smallest >= 11, `${width} px: plot labels drawn at ${layout.smallest.toFixed(1)} px`);
}

/**
 * The comparison: two walls at 24 and 168 h, their sweeps overlaid, a value that differs from
 * the first wall's marked, a wall moved and removed, and the comparison kept across a reload
 * (localStorage) and in the link.
 */
async function comparisonChecks() {
  await page.click('#compare-clear');
  await page.click('#compare-add');
  await page.fill('#layer-1-thickness', '0.3');
  await page.click('#compare-add');
  const overlay = await page.evaluate(() => ({
    series: [...document.querySelectorAll('#compare-plots svg')].map((svg) => svg.querySelectorAll('polyline, path').length),
    ids: [...document.querySelectorAll('[id]')].map((e) => e.id),
    differs: [...document.querySelectorAll('#compare-results tr[data-quantity="u_value"] td.differs')].length,
    same: [...document.querySelectorAll('#compare-results tr[data-quantity="period"] td.differs')].length,
    names: [...document.querySelectorAll('#compare-results th.compare-wall > span:first-child')].map((e) => e.textContent) }));
  check(overlay.series.length === 2, `two sweep plots of the compared walls, got ${overlay.series.length}`);
  check(new Set(overlay.ids).size === overlay.ids.length, `element ids repeat: ${overlay.ids.filter((id, i) => overlay.ids.indexOf(id) !== i).join(', ')}`);
  check(overlay.differs === 1 && overlay.same === 0, `the second wall's U is marked as differing (${overlay.differs}), T not (${overlay.same})`);
  const uRow = async () => page.$$eval('#compare-results tr[data-quantity="u_value"] td', (cells) => cells.slice(2).map((c) => c.textContent).join());
  const before = await uRow();
  await page.click('#compare-1-left');
  const [first, second] = before.split(',');
  check((await uRow()) === `${second},${first}`, `moving the second wall left swaps the columns: ${await uRow()} after ${before}`);
  const link = await address();
  check(/&compare=[A-Za-z0-9_-]+/.test(link), `the link holds the comparison: ${link.slice(0, 80)}`);
  await page.reload();
  await page.waitForSelector('body[data-ready="true"]');
  check((await uRow()) === `${second},${first}`, `the comparison is kept across a reload: ${await uRow()}`);
  await page.evaluate(() => localStorage.clear());
  await page.goto('about:blank');
  await openPage(pageUrl + link);
  check((await uRow()) === `${second},${first}`, `the link alone restores the comparison: ${await uRow()}`);
  await page.click('#compare-0-remove');
  check((await uRow()) === first && (await page.$$('#compare-plots svg')).length === 2, `removing the first compared wall leaves ${await uRow()}`);
  await page.fill('#layer-1-thickness', '0.25');
}

/**
 * Where `actual` and `expected` (JSON values) differ, as "path: actual / expected" lines; key
 * order is not compared (a document's is the schema's, checked by the writers' own tests).
 */
function documentDifferences(actual, expected, path = '') {
  if (Array.isArray(expected) || (expected && typeof expected === 'object')) {
    if (!actual || typeof actual !== 'object' || Array.isArray(actual) !== Array.isArray(expected)) return [`${path || '/'}: ${JSON.stringify(actual)} / ${JSON.stringify(expected)}`];
    const keys = new Set([...Object.keys(actual), ...Object.keys(expected)]);
    return [...keys].flatMap((key) => documentDifferences(actual[key], expected[key], `${path}/${key}`));
  }
  return Object.is(actual, expected) ? [] : [`${path || '/'}: ${JSON.stringify(actual)} / ${JSON.stringify(expected)}`];
}

/** Every "object.key" a wall document uses, walked by the wall schema, and the kinds of its layers. */
function schemaUse(schema, document, object = 'wall', used = { keys: new Set(), kinds: new Set() }) {
  const described = schema.objects.find((o) => o.name === object);
  for (const [name, value] of Object.entries(document)) {
    used.keys.add(`${object}.${name}`);
    const key = described.keys.find((k) => k.key === name);
    if (key && key.type === 'table') schemaUse(schema, value, key.holds, used);
    if (key && key.type === 'tables') for (const item of value) schemaUse(schema, item, key.holds, used);
  }
  // A layer's kind as the reader tells it: the first whose required keys it all has.
  if (object === 'layer') used.kinds.add((schema.layer_kinds.find((kind) => kind.required.every((key) => key in document)) || { name: '?' }).name);
  return used;
}

/** The wall in the form, as the page hands it to the engine and to the panels. */
const formWall = (on = page) => on.evaluate(() => window.bruskCurrentWall());

/**
 * Opens `file` with the page's file button and waits until it is loaded and computed (the
 * same wall opened twice included): the page computes once more and shows the name.
 */
async function openWallFile(file, name) {
  const before = await page.evaluate(() => globalThis.brusk.timings.computes);
  await page.setInputFiles('#open-file', file);
  await page.waitForFunction(([count, n]) => globalThis.brusk.timings.computes > count && document.getElementById('wall-name').value === n, [before, name], { timeout: 10000 }).catch(() => {});
}

/** The text of a file the page downloads when `selector` is clicked ('' when it downloads none). */
async function downloaded(selector) {
  const [file] = await Promise.all([page.waitForEvent('download', { timeout: 10000 }).catch(() => null), page.click(selector)]);
  check(file !== null, `${selector} downloads no file: ${await page.textContent('#status')}`);
  return file ? readFileSync(await file.path(), 'utf8') : '';
}

/**
 * The wall as a document through every door of the page. First the round-trip walls must
 * together use every key and every kind of layer of brusk.wallSchema(), and the page must have
 * words for each, so that a key new to the schema fails here until a wall uses it and the page
 * edits it. Then for each wall, every door gives back the document the reader makes of the
 * wall's file (deep equal) and computes to the same bits: the form of the opened JSON file and
 * of its TOML, the saved TOML and JSON, the #wall= link and its reload, and the comparison in
 * localStorage and in the link.
 */
async function wallDocumentChecks() {
  const schema = await page.evaluate(() => globalThis.brusk.wallSchema());
  const walls = JSON.parse(readFileSync(new URL('../data/round_trip_walls.json', import.meta.url), 'utf8'));
  const used = { keys: new Set(), kinds: new Set() };
  for (const { wall } of walls) schemaUse(schema, wall, 'wall', used);
  const everyKey = schema.objects.flatMap((object) => object.keys.map((key) => `${object.name}.${key.key}`));
  check(everyKey.every((key) => used.keys.has(key)), `the round-trip walls use every key of the schema; unused: ${everyKey.filter((key) => !used.keys.has(key)).join(', ')}`);
  check(schema.layer_kinds.every((kind) => used.kinds.has(kind.name)), `the round-trip walls use every kind of layer; unused: ${schema.layer_kinds.filter((kind) => !used.kinds.has(kind.name)).map((kind) => kind.name).join(', ')}`);
  const wordless = await page.evaluate((described) => {
    const i18n = globalThis.bruskI18n;
    const missing = [];
    for (const code of i18n.languages) {
      for (const object of described.objects) {
        for (const key of object.keys) {
          if (!i18n.fieldIn(code, object.name, key.key)) missing.push(`${code}: ${object.name}.${key.key}`);
          for (const word of key.words || []) if (!i18n.wordIn(code, key.key, word)) missing.push(`${code}: ${key.key} = ${word}`);
        }
      }
      for (const kind of described.layer_kinds) if (!i18n.own(code, `kind.${kind.name}`)) missing.push(`${code}: kind ${kind.name}`);
    }
    return missing;
  }, schema);
  check(wordless.length === 0, `the page has words for every key, word and kind of the schema; missing: ${wordless.join(', ')}`);

  // A key outside the schema (none that a reader passes) is kept too, after the schema's, even
  // one named __proto__, which must not become the prototype of anything.
  const foreignKeys = await page.evaluate((described) => {
    const model = globalThis.bruskWallDocument.create(described);
    const text = '{"layers": [{"thermal_resistance": 1, "__proto__": {"polluted": 1}}], "name": "W", "later": [1, 2]}';
    const document = model.documentOf(model.tableOf(JSON.parse(text), 'wall'));
    return { text: JSON.stringify(document), polluted: ({}).polluted !== undefined || document.layers[0].polluted !== undefined };
  }, schema);
  check(foreignKeys.text === '{"name":"W","layers":[{"thermal_resistance":1,"__proto__":{"polluted":1}}],"later":[1,2]}' && !foreignKeys.polluted, `keys outside the schema are kept as data: ${JSON.stringify(foreignKeys)}`);

  for (const { what, wall } of walls) {
    const slug = wall.name.replace(/[^A-Za-z0-9]+/g, '-');
    const jsonFile = join(work, `${slug}.json`);
    writeFileSync(jsonFile, JSON.stringify(wall, null, 2));
    const [expected, tomlText] = await page.evaluate((text) => {
      const document = globalThis.brusk.readWallFile(text, 'json', { source: 'wall.json' });
      return [document, globalThis.brusk.toToml(document)];
    }, readFileSync(jsonFile, 'utf8'));
    const tomlFile = join(work, `${slug}.toml`);
    writeFileSync(tomlFile, tomlText);
    const doors = [];
    await openWallFile(jsonFile, expected.name);
    doors.push(['the opened JSON file', await formWall()]);
    const savedToml = await downloaded('#save-toml');
    doors.push(['its saved TOML', await page.evaluate((text) => globalThis.brusk.readWallFile(text, 'toml'), savedToml)]);
    const savedTomlFile = join(work, `${slug}-saved.toml`);
    writeFileSync(savedTomlFile, savedToml);
    // The saved file computes with `brusk compute` as the wall file itself, double for double.
    sameNumbers(nativeJson(savedTomlFile), nativeJson(jsonFile), 0, `${what}: saved TOML through brusk compute`);
    doors.push(['its saved JSON', JSON.parse(await downloaded('#save-json'))]);
    await page.click('#compare-clear');
    await page.click('#compare-add');
    const link = await address();
    await page.goto('about:blank');
    await openPage(pageUrl + link);
    doors.push(['its #wall= link', await formWall()]);
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    doors.push(['the link reloaded', await formWall()]);
    doors.push(['the comparison in localStorage', await page.evaluate(() => JSON.parse(localStorage.getItem('brusk.comparison')).at(-1).wall)]);
    doors.push(['the comparison in the link', await page.evaluate(() => {
      const encoded = /&compare=([A-Za-z0-9_-]*)/.exec(location.hash)[1].replace(/-/g, '+').replace(/_/g, '/');
      return JSON.parse(new TextDecoder().decode(Uint8Array.from(atob(encoded), (c) => c.charCodeAt(0)))).at(-1).wall;
    })]);
    await openWallFile(tomlFile, expected.name);
    doors.push(['the opened TOML file', await formWall()]);
    const expectedResult = await page.evaluate((document) => JSON.stringify(globalThis.brusk.compute(document)), expected);
    for (const [door, document] of doors) {
      const differences = documentDifferences(document, expected);
      check(differences.length === 0, `${what}: ${door} is not the wall's document: ${differences.join('; ')}`);
      const result = await page.evaluate((d) => { try { return JSON.stringify(globalThis.brusk.compute(d)); } catch (error) { return error.message; } }, document);
      check(result === expectedResult, `${what}: ${door} computes differently: ${result.slice(0, 200)}`);
    }
    check((await shownValue('u_value')) === shown(JSON.parse(expectedResult).u_value), `${what}: U shown as ${await shownValue('u_value')}, computed ${JSON.parse(expectedResult).u_value}`);
  }
  await page.click('#compare-clear');
}

/** The value at JSON pointer `pointer` of `document`. */
function atPointer(document, pointer) {
  return pointer.split('/').slice(1).reduce((node, step) => (node == null ? undefined : node[step]), document);
}

/** `document` with the value at `pointer` set (undefined: left out), tables made on the way. */
function withValue(document, pointer, value) {
  const copy = JSON.parse(JSON.stringify(document));
  const steps = pointer.split('/').slice(1);
  let node = copy;
  for (const step of steps.slice(0, -1)) node = node[step] === undefined ? (node[step] = {}) : node[step];
  if (value === undefined) delete node[steps.at(-1)];
  else node[steps.at(-1)] = value;
  return copy;
}

/**
 * The form edits the whole wall: each edit writes its key into the wall's document and leaves
 * every other key as it was; a value the engine refuses is shown at the field it is about, a
 * value missing from a table at that table's blank field; layers that move take the
 * corrections' layer numbers with them; a layer of another kind keeps what it had aside.
 */
async function wallEditChecks() {
  const start = { name: 'Edited frame', layers: [
    { material: 'plaster-gypsum', thickness: 0.015 },
    { thickness: 0.14, parts: [{ material: 'timber-softwood', fraction: 0.15 }, { material: 'insulation-mineral-wool', fraction: 0.85 }] },
    { thickness: 0.05, parts: [{ material: 'timber-softwood', fraction: 0.15 }, { material: 'insulation-wood-fibre', fraction: 0.85 }] },
    { air_gap: 0.05 },
    { material: 'brick-solid', thickness: 0.1 }] };
  const startFile = join(work, 'edited-frame.json');
  writeFileSync(startFile, JSON.stringify(start));
  await openWallFile(startFile, start.name);

  // Every field's label carries the schema's unit, its title the schema's description, and a
  // select the schema's words (a blank first where the key may be left out).
  const schema = await page.evaluate(() => globalThis.brusk.wallSchema());
  const keyOf = (object, key) => schema.objects.find((o) => o.name === object).keys.find((k) => k.key === key);
  const LABELLED = [
    ['#wall-site-irradiance', 'wall', 'site_irradiance', '[W/m²]'],
    ['#wall-rsi', 'wall', 'rsi', '[m²·K/W]'],
    ['#layer-3-openings', 'layer', 'openings', '[mm²/m]'],
    ['#layer-3-air_gap', 'layer', 'air_gap', '[m]'],
    ['#layer-1-part-0-conductivity', 'part', 'conductivity', '[W/(m·K)]'],
    ['#layer-1-part-0-fraction', 'part', 'fraction', '[–]'],
    ['#wall-corrections-fasteners-cross-section', 'fasteners', 'cross_section', '[m²]'],
    ['#wall-corrections-fasteners-count', 'fasteners', 'count', '[1/m²]'],
  ];
  for (const [selector, object, key, unit] of LABELLED) {
    const label = await page.evaluate((s) => { const e = document.querySelector(s); return e && { text: e.labels[0].textContent, title: e.labels[0].title }; }, selector);
    check(label && label.text.includes(unit) && label.title === keyOf(object, key).description, `${selector}: labelled "${label && label.text}" (${label && label.title}), not with ${unit} and the schema's description`);
  }
  for (const [selector, object, key, blank] of [['#wall-orientation', 'wall', 'orientation', true], ['#wall-position', 'wall', 'position', false], ['#layer-3-ventilation', 'layer', 'ventilation', true], ['#layer-0-family', 'layer', 'family', true], ['#wall-parts-aligned', 'wall', 'parts_aligned', true]]) {
    const values = await page.$$eval(`${selector} option`, (options) => options.map((o) => o.value));
    const words = keyOf(object, key).type === 'boolean' ? ['true', 'false'] : keyOf(object, key).words;
    check(values.join() === [...(blank ? [''] : []), ...words].join(), `${selector}: the choices ${values.join()} are not the schema's words ${words.join()}`);
  }

  // [what, how, field, text, pointer, value written, field the refusal is shown at or null]
  const EDITS = [
    ['orientation', 'select', '#wall-orientation', 'S', '/orientation', 'S', null],
    ['site irradiance', 'fill', '#wall-site-irradiance', '290.5', '/site_irradiance', 290.5, null],
    ['site irradiance not a number', 'fill', '#wall-site-irradiance', 'sunny', '/site_irradiance', 'sunny', '#wall-site-irradiance'],
    ['site irradiance again', 'fill', '#wall-site-irradiance', '290.5', '/site_irradiance', 290.5, null],
    ['aligned parts', 'select', '#wall-parts-aligned', 'true', '/parts_aligned', true, null],
    ['slightly ventilated without openings', 'select', '#layer-3-ventilation', 'slightly', '/layers/3/ventilation', 'slightly', '#layer-3-kind'],
    ['openings', 'fill', '#layer-3-openings', '1000', '/layers/3/openings', 1000, null],
    ['one emissivity', 'fill', '#layer-3-emissivities-0', '0.9', '/layers/3/emissivities', [0.9, null], '#layer-3-emissivities-1'],
    ['both emissivities', 'fill', '#layer-3-emissivities-1', '0.2', '/layers/3/emissivities', [0.9, 0.2], null],
    ['a measured λ of a part', 'fill', '#layer-1-part-1-conductivity', '0.032', '/layers/1/parts/1/conductivity', 0.032, null],
    ['a part\'s density', 'fill', '#layer-1-part-0-density', '450', '/layers/1/parts/0/density', 450, null],
    ['a part\'s μ', 'fill', '#layer-1-part-0-vapour_resistance_factor', '50', '/layers/1/parts/0/vapour_resistance_factor', 50, null],
    ['a part\'s name', 'fill', '#layer-1-part-0-name', 'Stud', '/layers/1/parts/0/name', 'Stud', null],
    ['air voids without a layer', 'fill', '#wall-corrections-air-voids-level', '1', '/corrections/air_voids/level', 1, '#wall-corrections-air-voids-layer'],
    ['air voids', 'fill', '#wall-corrections-air-voids-layer', '2', '/corrections/air_voids/layer', 2, null],
    ['air voids of level 3', 'fill', '#wall-corrections-air-voids-level', '3', '/corrections/air_voids/level', 3, '#wall-corrections-air-voids-level'],
    ['air voids of level 2', 'fill', '#wall-corrections-air-voids-level', '2', '/corrections/air_voids/level', 2, null],
    ['fasteners through no layer', 'fill', '#wall-corrections-fasteners-layer', '9', '/corrections/fasteners/layer', 9, '#wall-corrections-fasteners-layer'],
    ['fasteners without a count', 'fill', '#wall-corrections-fasteners-layer', '2', '/corrections/fasteners/layer', 2, '#wall-corrections-fasteners-count'],
    ['fasteners without a cross-section', 'fill', '#wall-corrections-fasteners-count', '4', '/corrections/fasteners/count', 4, '#wall-corrections-fasteners-cross-section'],
    ['fasteners without λ', 'fill', '#wall-corrections-fasteners-cross-section', '1.2e-5', '/corrections/fasteners/cross_section', 1.2e-5, '#wall-corrections-fasteners-conductivity'],
    ['fasteners', 'fill', '#wall-corrections-fasteners-conductivity', '50', '/corrections/fasteners/conductivity', 50, null],
    ['a penetration', 'fill', '#wall-corrections-fasteners-penetration', '0.1', '/corrections/fasteners/penetration', 0.1, null],
    ['no penetration', 'fill', '#wall-corrections-fasteners-penetration', '', '/corrections/fasteners/penetration', undefined, null],
    ['a condensation limit', 'fill', '#layer-0-condensation_limit', '200', '/layers/0/condensation_limit', 200, null],
    ['a family', 'select', '#layer-4-family', 'stone', '/layers/4/family', 'stone', null],
  ];
  for (const [what, how, selector, text, pointer, value, refusedAt] of EDITS) {
    const before = await formWall();
    if (how === 'fill') await page.fill(selector, text);
    else await page.selectOption(selector, text);
    const after = await formWall();
    const differences = documentDifferences(after, withValue(before, pointer, value));
    check(differences.length === 0, `${what}: the edit of ${selector} changed the document otherwise: ${differences.join('; ')}`);
    const marked = await page.$$eval('[aria-invalid="true"]', (elements) => elements.map((e) => '#' + e.id));
    const message = refusedAt ? await page.textContent(`${refusedAt}-error`) : '';
    check(refusedAt ? marked.join() === refusedAt && message !== '' && (await page.textContent('#status')) === message : marked.length === 0 && (await page.getAttribute('#status', 'class')) !== 'error',
      `${what}: marked ${marked.join() || 'nothing'} (${message || await page.textContent('#status')}), expected ${refusedAt || 'nothing'}`);
  }
  // The edited wall computes as `brusk compute` computes its saved file: the corrected U (the
  // fasteners' and air voids' ΔU) and the aligned parts' paths.
  const edited = await formWall();
  const editedFile = join(work, 'edited-frame-saved.toml');
  writeFileSync(editedFile, await downloaded('#save-toml'));
  const editedNative = nativeJson(editedFile);
  sameNumbers(await page.evaluate((w) => globalThis.brusk.compute(w), edited), editedNative, 1e-12, 'the edited wall');
  // Two paths of aligned parts (not four of independent ones), each in the slightly ventilated
  // layer's two variants; the same wall without aligned parts has another U.
  const independentFile = join(work, 'edited-frame-independent.json');
  writeFileSync(independentFile, JSON.stringify({ ...edited, parts_aligned: undefined }));
  const independentU = nativeJson(independentFile).u_value;
  check(editedNative.u_value_corrected > editedNative.u_value && editedNative.paths.length === 4 && shown(independentU) !== shown(editedNative.u_value),
    `the edited wall has its corrections and aligned parts: Uc ${editedNative.u_value_corrected}, U ${editedNative.u_value} (independent parts ${independentU}), ${editedNative.paths.length} paths`);
  check((await shownValue('u_value_corrected')) === shown(editedNative.u_value_corrected), `the edited wall: Uc shown as ${await shownValue('u_value_corrected')}, brusk ${shown(editedNative.u_value_corrected)}`);
  // Its link keeps the aligned parts and the corrections through a reload: the same U, not the
  // U of a wall with them dropped.
  const editedLink = await address();
  await page.goto('about:blank');
  await openPage(pageUrl + editedLink);
  await page.reload();
  await page.waitForSelector('body[data-ready="true"]');
  const reloaded = await formWall();
  check(documentDifferences(reloaded, edited).length === 0, `the edited wall's link, reloaded: ${documentDifferences(reloaded, edited).join('; ')}`);
  check((await shownValue('u_value')) === shown(editedNative.u_value) && (await shownValue('u_value_corrected')) === shown(editedNative.u_value_corrected), `the reloaded link shows U ${await shownValue('u_value')} and Uc ${await shownValue('u_value_corrected')}, brusk ${shown(editedNative.u_value)} and ${shown(editedNative.u_value_corrected)}`);
  check((await address()) === editedLink, 'the reloaded link is not rewritten');

  // Layers that move take the corrections' layer numbers with them; a layer removed takes its
  // corrections' layer number, which the engine then asks for at its field.
  const MOVES = [
    ['the studs outward', '#layer-1-down', 3],
    ['the studs back', '#layer-2-up', 2],
    ['the plaster outward, over the studs', '#layer-0-down', 1],
    ['the plaster back', '#layer-1-up', 2],
  ];
  for (const [what, selector, layer] of MOVES) {
    await page.click(selector);
    const corrections = (await formWall()).corrections;
    check(corrections.air_voids.layer === layer && corrections.fasteners.layer === layer && (await page.inputValue('#wall-corrections-fasteners-layer')) === String(layer), `moving ${what}: the corrections are on layer ${corrections.air_voids.layer} and ${corrections.fasteners.layer}, not ${layer}`);
  }
  const beforeRemoval = await formWall();
  await page.click('#layer-1-remove');
  const removed = await formWall();
  check(removed.corrections.air_voids.layer === undefined && removed.corrections.fasteners.layer === undefined && removed.layers.length === 4, `removing the studs leaves the corrections without a layer: ${JSON.stringify(removed.corrections)}`);
  check((await page.getAttribute('#wall-corrections-air-voids-layer', 'aria-invalid')) === 'true', 'the corrections\' missing layer is marked');
  check(documentDifferences({ ...removed, layers: beforeRemoval.layers, corrections: beforeRemoval.corrections }, beforeRemoval).length === 0, 'removing a layer changes nothing else');

  // Another kind: what the kind does not take is put aside (and back when it is that kind
  // again), and what it requires comes from the catalogue material or from the kind's start.
  await openWallFile(startFile, start.name);
  const plaster = (await page.evaluate(() => globalThis.brusk.materials())).find((m) => m.key === 'plaster-gypsum');
  const KINDS = [
    ['properties', { material: undefined, thickness: 0.015, conductivity: plaster.conductivity, density: plaster.density, specific_heat: plaster.specific_heat }],
    ['vapour_control', { thickness: undefined, conductivity: undefined, density: undefined, specific_heat: undefined, sd: 2 }],
    ['air_gap', { sd: undefined, air_gap: 0.05 }],
    ['material', { air_gap: undefined, material: 'plaster-gypsum', thickness: 0.015 }],
    ['parts', { material: undefined, parts: [{ material: 'timber-softwood', fraction: 0.15 }, { material: 'insulation-mineral-wool', fraction: 0.85 }] }],
    ['thermal_resistance', { thickness: undefined, parts: undefined, thermal_resistance: 0.18 }],
  ];
  let layer = (await formWall()).layers[0];
  for (const [kind, changes] of KINDS) {
    await page.selectOption('#layer-0-kind', kind);
    for (const [key, value] of Object.entries(changes)) layer = withValue(layer, `/${key}`, value);
    const now = await formWall();
    check(documentDifferences(now.layers[0], layer).length === 0 && documentDifferences(now.layers.slice(1), start.layers.slice(1)).length === 0, `layer 1 made ${kind}: ${JSON.stringify(now.layers[0])}, expected ${JSON.stringify(layer)}`);
    check((await page.getAttribute('#status', 'class')) !== 'error', `layer 1 made ${kind} computes: ${await page.textContent('#status')}`);
  }

  // The README's sample wall (an air gap by its thickness, a layer of parts, a pure resistance)
  // opens and computes as `brusk compute` computes it.
  const readme = readFileSync(new URL('../../README.md', import.meta.url), 'utf8');
  const sample = /```toml\n([\s\S]*?)```/.exec(readme.slice(readme.indexOf('A wall file, layers from the inner')))[1];
  const sampleFile = join(work, 'readme-sample.toml');
  writeFileSync(sampleFile, sample);
  const sampleNative = nativeJson(sampleFile);
  await openWallFile(sampleFile, sampleNative.name);
  check((await page.getAttribute('#status', 'class')) !== 'error' && (await page.inputValue('#layer-4-air_gap')) === '0.05', `the README's sample wall opens: ${await page.textContent('#status')}`);
  sameNumbers(await page.evaluate(() => globalThis.brusk.compute(window.bruskCurrentWall())), sampleNative, 1e-12, 'the README\'s sample wall');
  check((await shownValue('u_value')) === shown(sampleNative.u_value), `the README's sample wall: U shown as ${await shownValue('u_value')}, brusk ${shown(sampleNative.u_value)}`);
}

/**
 * The English words the page could show untranslated: every word of the page's English
 * catalogue and of the module's English texts (quantity labels, the drawings' words, the
 * messages, material names, the wall schema's descriptions, the requirement sets), three letters
 * or more, lower case.
 */
async function englishVocabulary() {
  return page.evaluate(() => {
    const b = globalThis.brusk;
    const texts = [...Object.values(globalThis.bruskI18n.catalogue('en'))];
    for (const q of b.quantities()) texts.push(q.label);
    for (const w of b.plotWords()) texts.push(w.text);
    for (const m of b.messageWordings()) texts.push(m.text);
    for (const m of b.materials()) texts.push(m.name);
    const schema = b.wallSchema();
    for (const object of schema.objects) for (const key of object.keys) texts.push(key.description);
    for (const kind of schema.layer_kinds) texts.push(kind.description);
    for (const set of b.requirementSets()) texts.push(set.name, set.source);
    const words = new Set();
    for (const text of texts) for (const word of String(text).toLowerCase().match(/\p{L}{3,}/gu) || []) words.add(word);
    // Symbols are the same in every language ("Δt_peak").
    for (const q of b.quantities()) for (const word of String(q.symbol_unicode).toLowerCase().match(/\p{L}{3,}/gu) || []) words.delete(word);
    return [...words];
  });
}

/**
 * The keys each language lacks, as "<lang>: <key>": every text of the page's English catalogue,
 * every word of the drawings, every message worded by key and every catalogue material must have
 * its German and its Italian, so that nothing the page can show falls back to English.
 */
async function untranslatedKeys() {
  return page.evaluate(() => {
    const b = globalThis.brusk;
    const i18n = globalThis.bruskI18n;
    const keys = Object.keys(i18n.catalogue('en'));
    for (const w of b.plotWords()) keys.push('plot.' + w.key);
    for (const m of b.messageWordings()) keys.push('message.' + m.key);
    for (const m of b.materials()) keys.push('material.' + m.key);
    const missing = [];
    for (const lang of ['de', 'it']) {
      const own = i18n.catalogue(lang);
      for (const key of keys) if (!Object.prototype.hasOwnProperty.call(own, key)) missing.push(`${lang}: ${key}`);
    }
    return missing;
  });
}

/** A wall whose three outer coats are each under 5 mm: their faces sit close on the Glaser diagram's s_d axis. */
const THIN_COATS_WALL = {
  name: 'Thin coats',
  layers: [
    { material: 'plaster-gypsum', thickness: 0.004 },
    { material: 'brick-solid', thickness: 0.24 },
    { thickness: 0.004, conductivity: 0.8, density: 1400, specific_heat: 1000, vapour_resistance_factor: 20 },
    { thickness: 0.003, conductivity: 0.8, density: 1400, specific_heat: 1000, vapour_resistance_factor: 25 },
    { thickness: 0.002, conductivity: 0.7, density: 1600, specific_heat: 1000, vapour_resistance_factor: 40 },
  ],
};

/**
 * The layout at one size, in the page's language: no two key results' texts overlap and each
 * stays in its box, no sideways scroll, and every text of every drawing inside its drawing;
 * the Glaser diagram's texts apart from each other. Returns the problems found.
 */
async function layoutProblems(lp, width, height) {
  await lp.setViewportSize({ width, height });
  await lp.waitForTimeout(250);  // the page redraws 100 ms after a resize
  await plotsDrawn(lp);
  return lp.evaluate(() => {
    const problems = [];
    const rectsOf = (element) => {
      const range = document.createRange();
      range.selectNodeContents(element);
      return [...range.getClientRects()].filter((r) => r.width > 0 && r.height > 0);
    };
    const inside = (r, box, slack = 1) => r.left >= box.left - slack && r.right <= box.right + slack && r.top >= box.top - slack && r.bottom <= box.bottom + slack;
    const meet = (a, b) => a.left < b.right - 0.5 && b.left < a.right - 0.5 && a.top < b.bottom - 0.5 && b.top < a.bottom - 0.5;
    const boxes = [...document.querySelectorAll('#key-results > div')].map((div) => ({ name: div.dataset.quantity, box: div.getBoundingClientRect(), rects: [...div.children].flatMap(rectsOf) }));
    for (const [i, a] of boxes.entries()) {
      for (const r of a.rects) if (!inside(r, a.box)) problems.push(`key result ${a.name}: text runs out of its box`);
      for (const b of boxes.slice(i + 1)) if (a.rects.some((r) => b.rects.some((q) => meet(r, q)))) problems.push(`key results ${a.name} and ${b.name} overlap`);
    }
    if (document.documentElement.scrollWidth > innerWidth) problems.push(`the page is ${document.documentElement.scrollWidth} px wide in a ${innerWidth} px window`);
    for (const svg of document.querySelectorAll('#plots svg, #moisture-plots svg, #compare-plots svg')) {
      const box = svg.getBoundingClientRect();
      if (!box.width) continue;
      const texts = [...svg.querySelectorAll('text')].filter((t) => t.textContent.trim()).map((t) => ({ text: t.textContent, r: t.getBoundingClientRect() }));
      for (const t of texts) if (!inside(t.r, box)) problems.push(`${svg.id}: "${t.text}" leaves the drawing`);
      if (svg.id.endsWith('-glaser')) {
        for (const [i, a] of texts.entries()) for (const b of texts.slice(i + 1)) if (meet(a.r, b.r)) problems.push(`${svg.id}: "${a.text}" overlaps "${b.text}"`);
      }
    }
    return [...new Set(problems)];
  });
}

/**
 * The whole page in the language of `lp` (German or Italian): the default wall, every panel
 * run (moisture with thin coats, requirements, the design day, the room), a comparison of two
 * walls and a refused value shown at its field; then no English word of the page or its
 * drawings (the words of `english` that the language's own catalogue does not use, proper
 * names and units aside), and no number with a decimal point.
 */
async function readerChecks(lp, lang, english) {
  await lp.evaluate((wall) => { location.hash = '#wall=' + btoa(JSON.stringify(wall)).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, ''); }, THIN_COATS_WALL);
  await lp.reload();
  await lp.waitForSelector('body[data-ready="true"]', { timeout: 30000 });
  await plotsDrawn(lp);
  await lp.click('#compare-add');
  await lp.fill('#layer-1-thickness', '0,3');
  await lp.click('#compare-add');
  await lp.click('#moisture-run');
  await lp.selectOption('#requirements-set', 'it-dm2015-summer');
  await lp.click('#requirements-run');
  await lp.click('#profile-run');
  await lp.click('#zone-run');
  await lp.fill('#layer-0-thickness', '-0,01');
  await plotsDrawn(lp);
  const shownText = await lp.evaluate(() => {
    const visible = (element) => element.getClientRects().length > 0;
    const texts = [document.body.innerText];
    for (const text of document.querySelectorAll('svg text, svg title')) texts.push(text.textContent);
    for (const option of document.querySelectorAll('select option')) texts.push(option.textContent, option.title || '');
    for (const element of document.querySelectorAll('[title], [aria-label], [placeholder]')) {
      if (!visible(element) && element.tagName !== 'OPTION') continue;
      texts.push(element.getAttribute('title') || '', element.getAttribute('aria-label') || '', element.getAttribute('placeholder') || '');
    }
    // Numbers: the results, the panels, the drawings, the messages (a clause's section numbers
    // and the tooltips' clause references are no decimals).
    const numbers = [];
    for (const selector of ['#key-results', '#results', '#timing', '#status', '.field-error', '.material-info', '#moisture-status', '#moisture-table', '#zone-totals', '#profile-summary', '#compare-table', '#requirements-status', '#junction-results', '#junction-status']) {
      for (const element of document.querySelectorAll(selector)) numbers.push(element.innerText);
    }
    for (const cell of document.querySelectorAll('#requirements-rules td:nth-child(3), #requirements-rules td:nth-child(4)')) numbers.push(cell.innerText);
    for (const text of document.querySelectorAll('svg text')) numbers.push(text.textContent);
    return { texts: texts.join('\n'), numbers: numbers.join('\n'), message: document.querySelector('#layer-0-thickness-error').textContent };
  });
  check(shownText.message !== '', `${lang}: a refused thickness is shown at its field`);
  const own = new Set(Object.values(await lp.evaluate((code) => globalThis.bruskI18n.catalogue(code), lang)).flatMap((text) => String(text).toLowerCase().match(/\p{L}{3,}/gu) || []));
  // Proper names and units: the program, the standards, formats, the language picker's names.
  const names = new Set(['brusk', 'iso', 'toml', 'json', 'html', 'csv', 'sap', 'glaser', 'english', 'deutsch', 'italiano', 'eps', 'xps', 'pur', 'pir', 'osb', 'epdm', 'nan']);
  const untranslated = [...new Set((shownText.texts.toLowerCase().match(/\p{L}{3,}/gu) || []).filter((word) => english.has(word) && !own.has(word) && !names.has(word)))];
  check(untranslated.length === 0, `${lang}: English words on the page: ${untranslated.join(', ')}`);
  const points = shownText.numbers.match(/(?<![\d.])\d+\.\d+(?![\d.])/g) || [];
  check(points.length === 0, `${lang}: numbers with a decimal point: ${[...new Set(points)].join(', ')}`);
  await lp.fill('#layer-0-thickness', '0,004');
  for (const [width, height] of [[1280, 900], [390, 844]]) {
    const problems = await layoutProblems(lp, width, height);
    check(problems.length === 0, `${lang} at ${width}×${height}: ${problems.join('; ')}`);
  }
  await lp.click('#compare-clear');
}

const work = mkdtempSync(join(tmpdir(), 'brusk-web-'));
mkdirSync(screenshotDir, { recursive: true });
const context = await chromium.launchPersistentContext(join(work, 'profile'), {
  executablePath: CHROMIUM,
  headless: true,
  acceptDownloads: true,
  locale: 'en-US',  // the English checks; the other languages have their own contexts below
  viewport: { width: 1280, height: 900 },
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--no-first-run'],
});
const requests = [];
const consoleErrors = [];
const page = context.pages()[0] || (await context.newPage());
page.on('request', (request) => requests.push(request.url()));
page.on('console', (message) => { if (message.type() === 'error') consoleErrors.push(message.text()); });
page.on('pageerror', (error) => consoleErrors.push(error.message));

const pageUrl = pathToFileURL(join(webDir, 'index.html')).href;
async function openPage(url) {
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]', { timeout: 30000 });
  await plotsDrawn();
}
/** Waits until the drawings the last edit asked for are drawn (the page draws them after the edit, in idle time). */
async function plotsDrawn(on = page) {
  await on.waitForFunction(() => globalThis.brusk.timings && !globalThis.brusk.timings.plotsPending, null, { timeout: 10000 });
}
let host = null;
// The address once the page has written it: edits in quick succession write their last wall
// when the page's interval between writes is over.
async function address(on = page) {
  await on.waitForFunction(() => !globalThis.brusk.timings.linkPending, null, { timeout: 5000 });
  return on.evaluate(() => location.hash);
}
const shownValue = (quantity) => page.textContent(`#results td[data-quantity="${quantity}"]`);

try {
  await openPage(pageUrl);
  const firstResultMs = await page.evaluate(() => globalThis.brusk.timings.firstResultMs);
  await firstScreenChecks(1280, 900, true);
  await firstScreenChecks(390, 844, false);
  await page.screenshot({ path: join(screenshotDir, 'calculator-390-first-screen.png') });
  await page.setViewportSize({ width: 1280, height: 900 });

  // The page's quantity list is `brusk quantities`: the same keys, labels and display units.
  const described = await page.evaluate(() => globalThis.brusk.quantities());
  const nativeDescribed = JSON.parse(execFileSync(program, ['quantities', '--format', 'json'], { encoding: 'utf8' }));
  check(JSON.stringify(described) === JSON.stringify(nativeDescribed), 'brusk.quantities() is `brusk quantities --format json`');
  const byKey = new Map(described.map((q) => [q.key, q]));
  /** What the page shows for a quantity of a native result: its display unit, 4 digits. */
  const shownQuantity = (key, result) => shown(key.split('.').reduce((node, part) => node[part], result) * byKey.get(key).display_scale);
  const rowLabels = await page.$$eval('#results tbody th', (cells) => cells.map((cell) => cell.textContent));
  for (const key of ['thermal_resistance', 'u_value', 'decrement_factor', 'internal_areal_heat_capacity', 'periodic_thermal_transmittance.time_lag']) {
    check(rowLabels.includes(byKey.get(key).label), `the results table labels ${key} "${byKey.get(key).label}": ${rowLabels.join(' | ')}`);
  }

  // The five examples: every number to 1e-12 relative through the API (the module's libm is
  // musl's, which differs from glibc's in the last bits), and as shown after opening the file.
  const examples = readdirSync(examplesDir).filter((name) => /^\d-.*\.toml$/.test(name)).sort();
  check(examples.length === 5, `five example walls, found ${examples.length}`);
  for (const name of examples) {
    const file = join(examplesDir, name);
    const native = nativeJson(file);
    const viaApi = JSON.parse(await page.evaluate(([text, source]) => globalThis.brusk.computeText(text, 'toml', { source }), [readFileSync(file, 'utf8'), name]));
    sameNumbers(viaApi, native, 1e-12, name);
    await page.setInputFiles('#open-file', file);
    await page.waitForFunction((n) => document.getElementById('wall-name').value === n, native.name);
    for (const quantity of ['u_value', 'decrement_factor', 'periodic_thermal_transmittance.time_lag', 'internal_areal_heat_capacity', 'thermal_resistance']) {
      check((await shownValue(quantity)) === shownQuantity(quantity, native), `${name}: ${quantity} shown as ${await shownValue(quantity)}, native ${shownQuantity(quantity, native)}`);
    }
  }
  await page.screenshot({ path: join(screenshotDir, 'calculator.png'), fullPage: false });

  // An example opened and saved as TOML: each number in its shortest text (0.1, never
  // 0.10000000000000001), and the file reads back as the same wall, double for double.
  const insulated = join(examplesDir, '2-concrete-insulated.toml');
  await page.setInputFiles('#open-file', insulated);
  await page.waitForFunction((n) => document.getElementById('wall-name').value === n, nativeJson(insulated).name);
  const [savedExample] = await Promise.all([page.waitForEvent('download'), page.click('#save-toml')]);
  const savedExampleText = readFileSync(await savedExample.path(), 'utf8');
  check(/^thickness = 0\.1$/m.test(savedExampleText) && /^conductivity = 0\.04$/m.test(savedExampleText), `saved TOML writes 0.1 and 0.04 as such:\n${savedExampleText}`);
  check(!/[0-9]{12,}/.test(savedExampleText), `saved TOML has no long digit strings:\n${savedExampleText}`);
  const [readBack, original] = await page.evaluate(([saved, example]) => [globalThis.brusk.readWallFile(saved, 'toml'), globalThis.brusk.readWallFile(example, 'toml')], [savedExampleText, readFileSync(insulated, 'utf8')]);
  sameNumbers(readBack, original, 0, 'saved example read back');

  // A catalogue layer's own properties instead of the catalogue's: shown, computed and saved.
  const overridden = join(work, 'overridden.toml');
  writeFileSync(overridden, 'name = "Overridden"\n[[layers]]\nmaterial = "concrete-medium-density"\nthickness = 0.2\nconductivity = 1.1\ndensity = 1900\n');
  await page.setInputFiles('#open-file', overridden);
  await page.waitForFunction(() => document.getElementById('wall-name').value === 'Overridden');
  check((await page.inputValue('#layer-0-conductivity')) === '1.1', 'the override of the conductivity is in its field');
  check((await shownValue('u_value')) === shown(nativeJson(overridden).u_value), `overridden wall: U shown as ${await shownValue('u_value')}, native ${shown(nativeJson(overridden).u_value)}`);
  const [savedOverride] = await Promise.all([page.waitForEvent('download'), page.click('#save-toml')]);
  const savedOverrideFile = join(work, 'overridden-saved.toml');
  await savedOverride.saveAs(savedOverrideFile);
  sameNumbers(nativeJson(savedOverrideFile), nativeJson(overridden), 0, 'overridden wall saved');

  // The object API: a wall object in, the JSON object of `brusk compute` out.
  const concrete = { name: 'Concrete', layers: [{ name: 'Concrete', thickness: 0.2, conductivity: 1.8, density: 2400, specific_heat: 1000 }] };
  sameNumbers(await page.evaluate((wall) => globalThis.brusk.compute(wall, { periodHours: 24 }), concrete), nativeJson(join(examplesDir, '1-concrete.toml')), 1e-12, 'compute(object)');

  // A layer split into parts (studs in insulation, ISO 6946 combined method): the page's module
  // gives the command line's element quantities, paths included.
  const studs = { name: 'Timber frame with studs', layers: [
    { material: 'board-gypsum', thickness: 0.0125 },
    { name: 'Studs and mineral wool', thickness: 0.14, parts: [
      { material: 'timber-softwood', fraction: 0.15 },
      { name: 'Mineral wool', material: 'insulation-mineral-wool', conductivity: 0.035, fraction: 0.85 }] },
    { material: 'board-osb', thickness: 0.009 },
    { material: 'insulation-wood-fibre', thickness: 0.05 }] };
  const split = await page.evaluate((wall) => globalThis.brusk.compute(wall, { periodHours: 24 }), studs);
  sameNumbers(split, nativeJson(join(examplesDir, 'bridged', 'timber-frame-studs.toml')), 1e-12, 'compute(split layer)');
  check(split.paths.length === 2 && split.thermal_resistance_upper > split.thermal_resistance_lower, 'a split layer gives two paths and R\'_T above R\'\'_T');

  // A wall built by clicking: remove every layer, add one custom and one air layer.
  while (await page.locator('#layers li').count()) await page.click('#layers li:first-child button:has-text("Remove")');
  await page.fill('#wall-name', 'Clicked');
  await page.fill('#wall-rsi', '');
  await page.fill('#wall-rse', '');
  await page.click('#add-custom');
  for (const [key, value] of [['thickness', '0.25'], ['conductivity', '0.9'], ['density', '1800'], ['specific_heat', '840']]) await page.fill(`#layer-0-${key}`, value);
  await page.click('#add-air');
  await page.fill('#layer-1-thermal_resistance', '0.17');
  await page.click('#layers li:nth-child(2) button:has-text("↑")');
  await page.selectOption('#wall-heat-flow', 'upward');
  const clickedToml = join(work, 'clicked.toml');
  writeFileSync(clickedToml, 'name = "Clicked"\nheat_flow = "upward"\n[[layers]]\nname = "Air gap"\nthermal_resistance = 0.17\n[[layers]]\nthickness = 0.25\nconductivity = 0.9\ndensity = 1800\nspecific_heat = 840\n');
  const clickedNative = nativeJson(clickedToml);
  for (const quantity of ['u_value', 'decrement_factor', 'external_admittance.modulus']) {
    const expected = quantity.split('.').reduce((node, key) => node[key], clickedNative);
    check((await shownValue(quantity)) === shown(expected), `clicked wall: ${quantity} shown as ${await shownValue(quantity)}, native ${shown(expected)}`);
  }

  // Saved as TOML, the file computes with `brusk compute` as the page computed it.
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save-toml')]);
  const savedToml = join(work, 'saved.toml');
  await download.saveAs(savedToml);
  if (process.env.BRUSK_WEB_DEBUG) console.log(readFileSync(savedToml, 'utf8'));
  sameNumbers({ ...nativeJson(savedToml), name: 'Clicked' }, clickedNative, 1e-15, 'saved TOML');

  // The #wall= link reproduces the wall in a fresh load.
  const link = await address();
  check(link.startsWith('#wall='), `the address holds #wall=, got ${link}`);
  await page.goto('about:blank');
  await openPage(pageUrl + link);
  check((await page.inputValue('#wall-name')) === 'Clicked', 'the link restores the wall name');
  check((await shownValue('u_value')) === shown(clickedNative.u_value), 'the link restores the U value');

  // Another cycle length: the table, the plots' report, the downloaded report and the link all
  // follow it, and so does the comparison, with a row for T.
  await page.click('#compare-add');
  await page.fill('#wall-period', '168');
  await plotsDrawn();
  const weekly = nativeJson(clickedToml, 168);
  check((await shownValue('decrement_factor')) === shown(weekly.decrement_factor), `T = 168 h: f shown as ${await shownValue('decrement_factor')}, native ${shown(weekly.decrement_factor)}`);
  // The plots in the page are redrawn at the new T: the sweep marks it, the response spans
  // two weekly cycles, and each drawing is the one brusk.plots() gives for the wall.
  const inlinePlots = await page.evaluate(() => ({ period: document.getElementById('plots').dataset.periodHours, sweep: document.getElementById('plot-decrement').innerHTML, response: document.getElementById('plot-outdoor').innerHTML }));
  check(inlinePlots.period === '168' && inlinePlots.sweep.includes('T = 168 h') && inlinePlots.response.includes('>336<'), `the inline plots are redrawn at T = 168 h (drawn at ${inlinePlots.period} h)`);
  check(!(await page.$('#results-section iframe')), 'the plots are drawn in the page, not in a frame');
  const [weeklyReport] = await Promise.all([page.waitForEvent('download'), page.click('#save-report')]);
  const weeklyReportFile = join(work, 'weekly-report.html');
  await weeklyReport.saveAs(weeklyReportFile);
  check(readFileSync(weeklyReportFile, 'utf8').includes('T = 168 h'), 'the downloaded report is at T = 168 h');
  check(/&T=168$/.test(await address()), `the link keeps T: ${await address()}`);
  await page.click('#compare-add');
  const periodRow = await page.$$eval('#compare-table tr[data-quantity="period"] td', (cells) => cells.map((cell) => cell.textContent));
  check(periodRow.slice(-2).join() === '24,168', `the comparison has a T row: ${periodRow.join(' | ')}`);
  const weeklyLink = await address();
  await page.goto('about:blank');
  await openPage(pageUrl + weeklyLink);
  check((await page.inputValue('#wall-period')) === '168', 'the link restores T');
  check((await shownValue('decrement_factor')) === shown(weekly.decrement_factor), 'the link restores the weekly f');
  await page.fill('#wall-period', '24');
  await comparisonChecks();
  await page.click('#compare-clear');

  // Links the reader refuses: the address is kept, the reason stays in view over the default
  // wall, and nothing is thrown uncaught.
  const linkOf = (text) => '#wall=' + Buffer.from(text, 'utf8').toString('base64url');
  const badLinks = [
    ['layers_as_text', linkOf('{"layers": "abc"}'), 'layers'],
    ['layers_as_a_table', linkOf('{"layers": {"a": 1}}'), 'layers'],
    ['a_null_layer', linkOf('{"layers": [null]}'), 'layer 1'],
    ['invalid_json', linkOf('{"layers": ['), 'link'],
    ['not_utf8', '#wall=' + Buffer.from([0xff, 0xfe, 0x41]).toString('base64url'), 'UTF-8'],
    ['percent_signs', '#wall=%%%%', 'base64url'],
    ['a_dollar_sign', '#wall=abc$def', 'base64url'],
  ];
  for (const [what, hash, words] of badLinks) {
    const errorsBefore = consoleErrors.length;
    await page.goto('about:blank');
    await openPage(pageUrl + hash);
    const status = await page.textContent('#status');
    check(status.startsWith('The #wall= link could not be read: ') && status.includes(words), `link ${what}: the status says "${status}"`);
    check((await page.getAttribute('#status', 'class')) === 'error', `link ${what}: the status is not shown as an error`);
    check((await address()) === hash, `link ${what}: the address became ${await address()}`);
    check(consoleErrors.length === errorsBefore, `link ${what}: uncaught ${consoleErrors.slice(errorsBefore).join(' | ')}`);
  }
  // After a change by the user the wall computes as usual and the address follows it.
  await page.fill('#wall-name', 'Edited');
  check(!(await page.textContent('#status')).startsWith('The #wall= link'), 'an edit after a bad link clears its message');
  check((await address()).startsWith('#wall=') && (await address()) !== badLinks.at(-1)[1], 'an edit after a bad link writes the new address');
  // base64url with its = padding is read as without it.
  let paddedText = '{"name": "Padded", "layers": [{"thermal_resistance": 0.2}]}';
  while (Buffer.from(paddedText).length % 3 === 0) paddedText += ' ';
  const padded = '#wall=' + Buffer.from(paddedText, 'utf8').toString('base64').replace(/\+/g, '-').replace(/\//g, '_');
  check(padded.endsWith('='), `the padded link ends with =: ${padded}`);
  await page.goto('about:blank');
  await openPage(pageUrl + padded);
  check((await page.inputValue('#wall-name')) === 'Padded', `a padded link restores its wall, name "${await page.inputValue('#wall-name')}"`);

  // Files: the reader of `brusk compute`, with its limits and its default name.
  const concreteText = readFileSync(join(examplesDir, '1-concrete.toml'), 'utf8');
  const utf16 = join(work, 'utf16.toml');
  writeFileSync(utf16, Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(concreteText, 'utf16le')]));
  const huge = join(work, 'huge.toml');
  writeFileSync(huge, concreteText + '#'.repeat(5 * 1024 * 1024) + '\n');
  const unnamedWall = join(work, 'unnamed-slab.toml');
  writeFileSync(unnamedWall, '[[layers]]\nthickness = 0.2\nconductivity = 1.8\ndensity = 2400\nspecific_heat = 1000\n');
  for (const [what, file, words] of [['utf16', utf16, 'not valid UTF-8 text'], ['five_megabytes', huge, 'file larger than 4 MiB']]) {
    const native = spawnSync(program, ['compute', file], { encoding: 'utf8' });
    check(native.status === 2 && native.stderr.includes(words), `file ${what}: brusk says "${native.stderr.trim()}"`);
    await page.setInputFiles('#open-file', file);
    // The status of the file before is an error too: wait for this file's own words (a 5 MB
    // file takes a while to read on a loaded machine), and report what was shown if they never come.
    await page.waitForFunction((expected) => document.getElementById('status').className === 'error' && document.getElementById('status').textContent.includes(expected), words, { timeout: 20000 }).catch(() => {});
    const status = await page.textContent('#status');
    check(status.includes(words), `file ${what}: the page says "${status}", brusk "${native.stderr.trim()}"`);
  }
  await page.setInputFiles('#open-file', unnamedWall);
  await page.waitForFunction(() => document.getElementById('wall-name').value !== 'Padded');
  check((await page.inputValue('#wall-name')) === nativeJson(unnamedWall).name, `a wall without a name is named "${await page.inputValue('#wall-name')}", brusk names it "${nativeJson(unnamedWall).name}"`);
  await page.goto('about:blank');
  await openPage(pageUrl + link);

  // Bad values: the engine's message (as `brusk compute` words it) at the field, no NaN.
  const badCases = [
    ['#layer-1-conductivity', '-0.9', 'conductivity must be a positive number of W/(m.K), got -0.9'],
    ['#layer-1-thickness', 'abc', 'thickness'],
    ['#layer-1-thickness', '', 'thickness is missing'],
    ['#layer-0-thermal_resistance', '-1', 'thermal_resistance'],
  ];
  for (const [selector, value, words] of badCases) {
    const before = await page.inputValue(selector);
    await page.fill(selector, value);
    const message = await page.textContent(`${selector}-error`);
    check(message.includes(words), `${selector} = ${value}: message at the field is "${message}"`);
    check((await page.getAttribute(selector, 'aria-invalid')) === 'true', `${selector} marked invalid`);
    check((await page.getAttribute(selector, 'aria-describedby')).split(' ').includes(`${selector.slice(1)}-error`), `${selector}: its message is not in its aria-describedby`);
    check((await page.textContent('#status[role="status"][aria-live="polite"]')) === message, `${selector}: the polite live region says "${await page.textContent('#status')}"`);
    const cells = await page.locator('#results td.number').allTextContents();
    check(!cells.some((text) => /NaN|undefined/.test(text)), `${selector}: results show ${cells.join(' ')}`);
    // The last result stays in view, marked as not that of the wall as entered.
    check((await page.getAttribute('#results-section', 'class')).includes('stale') && (await page.isVisible('#stale-note')), `${selector} = ${value}: the results are not marked stale`);
    check((await page.textContent('#key-results [data-quantity="u_value"] dd')) === `${shown(clickedNative.u_value)} W/(m²·K)`, `${selector} = ${value}: the stale U is ${await page.textContent('#key-results [data-quantity="u_value"] dd')}`);
    if (selector === '#layer-1-conductivity') {
      const bad = join(work, 'bad.toml');
      writeFileSync(bad, readFileSync(clickedToml, 'utf8').replace('conductivity = 0.9', 'conductivity = -0.9'));
      const native = spawnSync(program, ['compute', bad], { encoding: 'utf8' });
      const reason = native.stderr.slice(native.stderr.indexOf('layer 2'));
      check(native.status === 2 && message.endsWith(reason.trim()), `the field's message "${message}" ends as brusk's "${reason.trim()}"`);
    }
    await page.fill(selector, before);
    check((await page.getAttribute(selector, 'aria-invalid')) === null, `${selector}: still marked invalid once corrected`);
  }
  // A status line goes when it is no longer true: "computes again" after the next edit, and
  // a save replaces it.
  check((await page.textContent('#status')) === 'The wall computes again.', `after the corrections the status says "${await page.textContent('#status')}"`);
  await page.fill('#wall-name', 'Clicked');
  check((await page.textContent('#status')) === '', `the next edit clears the status, which says "${await page.textContent('#status')}"`);
  check(!(await page.getAttribute('#results-section', 'class')).includes('stale') && (await page.isHidden('#stale-note')), 'a wall that computes is not marked stale');
  // The steady temperature profile on the section follows the design temperatures, and a
  // design temperature that is not a number is refused at its field.
  const sectionText = async () => {
    await plotsDrawn();
    return page.$$eval('#plot-section svg text', (texts) => texts.map((t) => t.textContent).filter((t) => t.endsWith('°C')));
  };
  const warm = await sectionText();
  await page.fill('#design-indoor', '24');
  const warmer = await sectionText();
  check(warm.length >= 2 && warmer.length === warm.length && warmer[0] !== warm[0], `the section's face temperatures follow θi: ${warm.join(' ')} → ${warmer.join(' ')}`);
  await page.fill('#design-indoor', 'warm');
  await plotsDrawn();
  check((await page.textContent('#design-indoor-error')).includes('indoorTemperature must be a number') && (await page.getAttribute('#design-indoor', 'aria-invalid')) === 'true', `a design temperature that is not a number: "${await page.textContent('#design-indoor-error')}"`);
  await page.fill('#design-indoor', '20');
  check((await sectionText()).join() === warm.join(), 'the profile is back at 20 °C');

  // Accessibility: every control named, text contrast at least 4.5:1 (WCAG 2 relative
  // luminance), layers moved by keyboard with the focus kept and visible.
  const unnamed = await page.evaluate(() => {
    const textOf = (element) => {
      const copy = element.cloneNode(true);
      for (const inner of copy.querySelectorAll('input, select, textarea, button, .field-error')) inner.remove();
      return copy.textContent.trim();
    };
    const nameOf = (element) => {
      const ids = element.getAttribute('aria-labelledby');
      if (ids) return ids.split(/\s+/).map((id) => textOf(document.getElementById(id) || document.createElement('b'))).join(' ').trim();
      if ((element.getAttribute('aria-label') || '').trim()) return element.getAttribute('aria-label').trim();
      const labelled = [...(element.labels || [])].map(textOf).join(' ').trim();
      if (labelled) return labelled;
      if (element.tagName === 'BUTTON') return element.textContent.trim();
      return (element.getAttribute('title') || '').trim();
    };
    const missing = [...document.querySelectorAll('[aria-describedby]')].flatMap((element) => element.getAttribute('aria-describedby').split(/\s+/).filter((id) => !document.getElementById(id)).map((id) => `${element.id} describedby ${id}`));
    return [...document.querySelectorAll('input, select, textarea, button, iframe')].filter((element) => !nameOf(element)).map((element) => `${element.tagName.toLowerCase()}#${element.id}`).concat(missing);
  });
  check(unnamed.length === 0, `controls without an accessible name: ${unnamed.join(', ')}`);
  // In the light and the dark colour scheme (prefers-color-scheme).
  const contrastProblems = () => page.evaluate(() => {
    const rgba = (text) => { const [r, g, b, a = 1] = text.match(/[\d.]+/g).map(Number); return { rgb: [r, g, b], a }; };
    const luminance = (rgb) => { const [r, g, b] = rgb.map((v) => v / 255).map((v) => (v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4)); return 0.2126 * r + 0.7152 * g + 0.0722 * b; };
    const background = (element) => {
      for (let node = element; node; node = node.parentElement) {
        const colour = rgba(getComputedStyle(node).backgroundColor);
        if (colour.a > 0) return colour.rgb;
      }
      return [255, 255, 255];
    };
    const ratio = (a, b) => { const [x, y] = [luminance(a), luminance(b)].sort((p, q) => q - p); return (x + 0.05) / (y + 0.05); };
    const low = [];
    for (const element of document.querySelectorAll('body *')) {
      if (!element.getClientRects().length || ['SCRIPT', 'STYLE', 'IFRAME', 'OPTION'].includes(element.tagName)) continue;
      const ownText = [...element.childNodes].some((node) => node.nodeType === Node.TEXT_NODE && node.textContent.trim());
      const control = ['INPUT', 'SELECT', 'BUTTON'].includes(element.tagName);
      const where = `${element.tagName.toLowerCase()}#${element.id}.${element.className}`;
      if (ownText || control) {
        const value = ratio(rgba(getComputedStyle(element).color).rgb, background(element));
        if (value < 4.5) low.push(`${where} ${value.toFixed(2)}`);
      }
      if (element.placeholder) {
        const value = ratio(rgba(getComputedStyle(element, '::placeholder').color).rgb, background(element));
        if (value < 4.5) low.push(`${where}::placeholder ${value.toFixed(2)}`);
      }
    }
    return low;
  });
  const lowContrast = await contrastProblems();
  check(lowContrast.length === 0, `text below 4.5:1 contrast: ${lowContrast.join(', ')}`);
  await page.emulateMedia({ colorScheme: 'dark' });
  const darkBackground = await page.evaluate(() => getComputedStyle(document.documentElement).backgroundColor);
  check(darkBackground !== 'rgb(255, 255, 255)', `the dark scheme keeps a white page: ${darkBackground}`);
  const lowDarkContrast = await contrastProblems();
  check(lowDarkContrast.length === 0, `dark scheme: text below 4.5:1 contrast: ${lowDarkContrast.join(', ')}`);
  await page.screenshot({ path: join(screenshotDir, 'calculator-dark.png') });
  await page.emulateMedia({ colorScheme: 'light' });

  const layerKinds = () => page.$$eval('#layers li select[id$="-kind"]', (selects) => selects.map((select) => select.value).join());
  const focusedId = () => page.evaluate(() => document.activeElement.id);
  check((await layerKinds()) === 'thermal_resistance,properties', `the clicked wall's layers are ${await layerKinds()}`);
  await page.focus('#layer-0-condensation_limit');
  await page.keyboard.press('Tab');
  check((await focusedId()) === 'layer-0-down', `Tab after the first layer's field reaches its ↓ button (↑ is disabled), got ${await focusedId()}`);
  check(await page.evaluate(() => getComputedStyle(document.activeElement).outlineStyle === 'solid' && parseFloat(getComputedStyle(document.activeElement).outlineWidth) >= 2), 'the focused button shows an outline');
  await page.keyboard.press('Enter');
  check((await layerKinds()) === 'properties,thermal_resistance', `Enter on ↓ moves the layer outward: ${await layerKinds()}`);
  check((await focusedId()) === 'layer-1-up', `after moving to the end the focus is on the layer's ↑ button, got ${await focusedId()}`);
  check((await page.textContent('#status')) === 'Layer moved to position 2 of 2.', `the move is announced: "${await page.textContent('#status')}"`);
  await page.keyboard.press('Space');
  check((await layerKinds()) === 'thermal_resistance,properties', `Space on ↑ moves it back: ${await layerKinds()}`);
  await page.focus('#layer-0-name');
  await page.keyboard.press('Alt+ArrowDown');
  check((await layerKinds()) === 'properties,thermal_resistance' && (await focusedId()) === 'layer-1-name', `Alt+↓ in a field moves the layer, the focus staying in that field (${await layerKinds()}, ${await focusedId()})`);
  await page.keyboard.press('Alt+ArrowUp');
  check((await layerKinds()) === 'thermal_resistance,properties' && (await focusedId()) === 'layer-0-name', `Alt+↑ moves it back (${await layerKinds()}, ${await focusedId()})`);
  check((await shownValue('u_value')) === shown(clickedNative.u_value), 'the wall computes as before after moving back');

  // The catalogue picker: typing filters by name and family, arrows and Enter take an option.
  await page.click('#add-material');
  const picker = '#layer-2-material';
  const optionTexts = () => page.$$eval(`${picker}-options:not([hidden]) [role="option"]`, (options) => options.map((option) => option.textContent));
  const catalogue = await page.evaluate(() => globalThis.brusk.materials());
  for (const typed of ['timber', 'Masonry', 'eps insul']) {
    await page.fill(picker, '');
    await page.type(picker, typed);
    const expected = catalogue.filter((entry) => typed.toLowerCase().split(' ').every((word) => `${entry.key} ${entry.name} ${entry.family}`.toLowerCase().includes(word)));
    const texts = await optionTexts();
    check(expected.length > 0 && texts.length === expected.length && expected.every((entry, i) => texts[i].startsWith(`${entry.name} (${entry.family})`)), `"${typed}" lists ${texts.join(' | ')}`);
    check((await page.getAttribute(picker, 'aria-expanded')) === 'true', `"${typed}": the combobox says it is expanded`);
  }
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowUp');
  const activeOption = await page.getAttribute(picker, 'aria-activedescendant');
  check(activeOption === 'layer-2-material-options-0' && (await page.getAttribute(`#${activeOption}`, 'aria-selected')) === 'true', `↓ ↓ ↑ makes the first option active, got ${activeOption}`);
  await page.keyboard.press('Enter');
  check((await page.inputValue(picker)) === 'insulation-eps' && (await page.getAttribute(picker, 'aria-expanded')) === 'false', `Enter takes the option: ${await page.inputValue(picker)}`);
  check((await page.textContent('#layers li:nth-child(3) .material-info')).startsWith('Expanded polystyrene'), 'the layer shows the material taken');
  check((await page.getAttribute(picker, 'aria-invalid')) === null, 'the material taken is valid');
  await page.type(picker, 'x');
  await page.keyboard.press('Escape');
  check(await page.isHidden(`${picker}-options`), 'Escape closes the list');
  await page.fill(picker, '');
  await page.type(picker, 'softwood');
  await page.click(`${picker}-options [role="option"]`);
  check((await page.inputValue(picker)) === 'timber-softwood', `a click takes the option: ${await page.inputValue(picker)}`);
  await page.click('#layer-2-remove');
  await page.screenshot({ path: join(screenshotDir, 'calculator-clicked.png'), fullPage: true });

  // Phone widths: the page never scrolls sideways, and no element of the form, the results or
  // the comparison sticks out of its container, with a field's message shown (the widest text).
  await page.click('#compare-add');
  await page.fill('#layer-1-conductivity', '-0.9');
  for (const width of [390, 360]) {
    await page.setViewportSize({ width, height: 800 });
    const layout = await page.evaluate(() => {
      const outside = [];
      for (const element of document.querySelectorAll('main *')) {
        const box = element.getBoundingClientRect();
        const container = element.parentElement.getBoundingClientRect();
        if (box.width > 0 && (box.right > container.right + 0.5 || box.left < container.left - 0.5)) outside.push(`${element.tagName.toLowerCase()}${element.id ? '#' + element.id : ''}`);
      }
      return { scrollWidth: document.documentElement.scrollWidth, innerWidth, outside };
    });
    check(layout.scrollWidth <= layout.innerWidth, `${width} px: the page is ${layout.scrollWidth} px wide`);
    check(layout.outside.length === 0, `${width} px: sticking out of their containers: ${layout.outside.join(', ')}`);
    if (width === 390) await page.screenshot({ path: join(screenshotDir, 'calculator-390.png'), fullPage: true });
  }
  await page.setViewportSize({ width: 1280, height: 900 });
  await page.fill('#layer-1-conductivity', '0.9');
  await page.click('#compare-clear');

  // Per-recompute time over edits of a six-layer wall, measured in the page (reported only).
  const perRecompute = await page.evaluate(async () => {
    const text = document.getElementById('wall-rsi');
    const times = [];
    for (let i = 0; i < 50; ++i) {
      const start = performance.now();
      text.value = String(0.13 + i * 1e-4);
      text.dispatchEvent(new Event('input'));
      times.push(performance.now() - start);
    }
    times.sort((a, b) => a - b);
    return { median: times[25], compute: globalThis.brusk.timings.lastComputeMs };
  });
  console.log(`time to first result ${firstResultMs.toFixed(1)} ms after navigation start; per edit median ${perRecompute.median.toFixed(2)} ms (engine call ${perRecompute.compute.toFixed(3)} ms)`);

  // The moisture API and panel: the numbers of `brusk moisture` for the same wall and climate.
  const moistureWall = join(examplesDir, 'moisture', 'internal-insulation.toml');
  const coldClimate = join(examplesDir, 'climates', 'cold.csv');
  const moistureNative = JSON.parse(execFileSync(program, ['moisture', '--format', 'json', '--climate', coldClimate, moistureWall], { encoding: 'utf8' }));
  const moistureApi = await page.evaluate(([text, climateText]) => globalThis.brusk.moisture(globalThis.brusk.readWallFile(text, 'toml'), climateText),
    [readFileSync(moistureWall, 'utf8'), readFileSync(coldClimate, 'utf8')]);
  sameNumbers(moistureApi, moistureNative, 0, 'moisture(object)');
  await page.setInputFiles('#open-file', moistureWall);
  await page.waitForFunction((n) => document.getElementById('wall-name').value === n, moistureNative.name);
  await page.setInputFiles('#moisture-climate-file', coldClimate);
  await page.waitForFunction(() => document.body.dataset.moisture !== undefined, null, { timeout: 10000 }).catch(() => {});
  const panel = JSON.parse((await page.evaluate(() => document.body.dataset.moisture)) || '{}');
  check(panel.max_accumulated === moistureNative.max_accumulated && panel.dries_out === moistureNative.dries_out && panel.f_rsi_min === moistureNative.surface.f_rsi_min,
    `moisture panel: ${JSON.stringify(panel)} is not the native ${moistureNative.max_accumulated}, ${moistureNative.dries_out}, ${moistureNative.surface.f_rsi_min}`);
  // The drawings are inline SVG, the module's at the column's width: the Glaser diagram with its
  // saturation and vapour-pressure lines, the bars, the profile with the dew point.
  const moistureShown = await page.evaluate(([text, climateText]) => {
    const figure = (key) => document.getElementById('moisture-' + key);
    const wall = window.bruskCurrentWall();
    const width = Number(figure('glaser').querySelector('svg').getAttribute('width'));
    const size = window.bruskPlotLayout(document.getElementById('moisture-plots').clientWidth, '');
    const drawn = globalThis.brusk.moisturePlots(wall, climateText, { width: size.width, plotHeight: size.plotHeight, climateSource: 'cold.csv', source: 'wall.json' });
    return {
      frames: document.querySelectorAll('.moisture iframe').length,
      glaser: Boolean(figure('glaser').querySelector('svg#moisture-0-glaser')),
      legend: [...figure('glaser').querySelectorAll('text')].map((t) => t.textContent).filter((t) => /^(saturation|vapour) pressure/.test(t)),
      paths: figure('glaser').querySelectorAll('path').length,
      dewPoint: [...figure('temperature').querySelectorAll('text')].some((t) => t.textContent === 'dew point of p'),
      bars: figure('accumulation').querySelectorAll('text').length,
      months: document.querySelectorAll('#moisture-table tbody tr').length,
      width, column: size.width,
      same: ['glaser', 'accumulation', 'temperature'].every((key) => {
        const parsed = document.createElement('template');
        parsed.innerHTML = drawn[key];
        return figure(key).innerHTML === parsed.innerHTML;
      }),
    };
  }, [readFileSync(moistureWall, 'utf8'), readFileSync(coldClimate, 'utf8')]);
  check(moistureShown.frames === 0 && moistureShown.glaser && moistureShown.paths === 2 && moistureShown.dewPoint && moistureShown.bars >= 12 && moistureShown.months === 12,
    `the moisture panel draws the Glaser diagram (p_sat and p), the bars and the dew point inline: ${JSON.stringify(moistureShown)}`);
  check(moistureShown.legend.join() === 'saturation pressure p_sat,vapour pressure p (tangent construction)', `the Glaser diagram's legend: ${moistureShown.legend.join(' | ')}`);
  check(moistureShown.width === moistureShown.column && moistureShown.same, `the moisture drawings are the module's at the column's width (${moistureShown.width} px, column ${moistureShown.column} px, same: ${moistureShown.same})`);
  // Names are text, never markup: a wall and a layer named with tags draw as those characters.
  const moistureName = '<img src=x onerror="document.body.dataset.injected=1">';
  await page.fill('#wall-name', moistureName);
  await page.fill('#layer-1-name', '<b>bold</b> layer');
  await page.click('#moisture-run');
  const escapedNames = await page.evaluate(() => ({
    elements: document.querySelectorAll('#moisture-plots img, #moisture-plots b').length,
    injected: document.body.dataset.injected,
    title: document.querySelector('#moisture-accumulation svg title').textContent,
    guides: [...document.querySelectorAll('#moisture-glaser text')].map((t) => t.textContent),
  }));
  check(escapedNames.elements === 0 && escapedNames.injected === undefined && escapedNames.title.endsWith(moistureName) && escapedNames.guides.includes('<b>bold</b> layer'),
    `the moisture drawings show names as text: ${JSON.stringify(escapedNames)}`);
  await page.setInputFiles('#open-file', moistureWall);
  await page.waitForFunction((n) => document.getElementById('wall-name').value === n, moistureNative.name);
  const refused = await page.evaluate(() => { try { globalThis.brusk.moisture({ layers: [{ material: 'brick-solid', thickness: 0.2 }] }, 'month\n'); return ''; } catch (error) { return error.message; } });
  check(refused.startsWith('climate.csv'), `a bad climate is refused naming it: ${refused}`);
  const badClass = await page.evaluate(() => { try { globalThis.brusk.moisture({ layers: [{ material: 'brick-solid', thickness: 0.2 }] }, 'month\n', { humidityClass: 7 }); return ''; } catch (error) { return error.message; } });
  check(badClass.startsWith('humidityClass must be 1 to 5'), `a humidity class is named as the API spells it: ${badClass}`);
  // A class is 1 to 5, whole, as given: never cut to a 32-bit integer on its way (2**32 + 3 is
  // no class 3, 2**32 no "no class"), never 0 for "no class" (leave the option out for that).
  const HOSTILE_CLASSES = [[0, 'got 0'], [2.9, 'got 2.9'], [2 ** 32 + 3, 'got 4294967299'], [2 ** 32, 'got 4294967296'],
    [-1, 'got -1'], [NaN, 'got nan'], [Infinity, 'got inf'], ['3', 'got string'], [true, 'got boolean']];
  const classRefusals = await page.evaluate(([text, climateText, values]) => values.map((value) => {
    try { globalThis.brusk.moisture(globalThis.brusk.readWallFile(text, 'toml'), climateText, { humidityClass: value }); return 'accepted'; } catch (error) { return error.message; }
  }), [readFileSync(moistureWall, 'utf8'), readFileSync(coldClimate, 'utf8'), HOSTILE_CLASSES.map(([value]) => value)]);
  HOSTILE_CLASSES.forEach(([value, shown], i) => check(classRefusals[i].startsWith('humidityClass must be 1 to 5 (a whole number') && classRefusals[i].endsWith(shown),
    `humidityClass ${String(value)} is refused as given: ${classRefusals[i]}`));
  // The indoor side: a class leaves the file's indoor cells unread; a temperature without a class
  // is refused, as the command line refuses it; a byte order mark is no part of the header.
  const classThree = JSON.parse(execFileSync(program, ['moisture', '--format', 'json', '--climate', coldClimate, '--humidity-class', '3', moistureWall], { encoding: 'utf8' }));
  const indoorSide = await page.evaluate(([text, climateText]) => {
    const wall = globalThis.brusk.readWallFile(text, 'toml');
    const blanked = climateText.replace(/^(\d+,[^,]*,[^,]*),[^,]*,[^,\n]*$/gm, '$1,,n/a');
    const attempt = (call) => { try { return call(); } catch (error) { return error.message; } };
    return {
      blanked: attempt(() => globalThis.brusk.moisture(wall, blanked, { humidityClass: 3 })),
      lonelyTemperature: attempt(() => globalThis.brusk.moisture(wall, climateText, { indoorTemperature: 18 })),
      marked: attempt(() => globalThis.brusk.moisture(wall, '\ufeff' + climateText)),
      plain: globalThis.brusk.moisture(wall, climateText),
    };
  }, [readFileSync(moistureWall, 'utf8'), readFileSync(coldClimate, 'utf8')]);
  // The module's libm may differ from the program's in a last bit of the Annex A vapour pressure.
  sameNumbers(indoorSide.blanked, classThree, 1e-12, 'moisture(class 3, indoor cells blank and n/a)');
  check(typeof indoorSide.lonelyTemperature === 'string' && indoorSide.lonelyTemperature.startsWith('indoorTemperature goes with humidityClass'),
    `an indoor temperature without a class is refused: ${JSON.stringify(indoorSide.lonelyTemperature).slice(0, 120)}`);
  sameNumbers(indoorSide.marked, indoorSide.plain, 0, 'moisture(climate with a byte order mark)');

  // Units slips: the API names each as brusk names it on standard error, and the examples none.
  const SLIPS = [
    { layers: [{ name: 'Board', thickness: 12.5, conductivity: 0.25, density: 900, specific_heat: 1000 }] },
    { layers: [{ thickness: 0.1, conductivity: 35, density: 20, specific_heat: 1450 }] },
    { layers: [{ thickness: 0.2, conductivity: 1.8, density: 2.4, specific_heat: 1 }] },
  ];
  for (const [i, wall] of SLIPS.entries()) {
    const file = join(work, `slip-${i}.json`);
    writeFileSync(file, JSON.stringify(wall));
    const native = spawnSync(program, ['compute', file], { encoding: 'utf8' });
    const expected = native.stderr.split('\n').filter(Boolean).map((line) => line.replace('brusk: warning: ' + file, 'wall.json'));
    const shownWarnings = await page.evaluate((w) => globalThis.brusk.unitWarnings(w), wall);
    check(native.status === 0 && expected.length > 0 && JSON.stringify(shownWarnings) === JSON.stringify(expected),
      `unitWarnings(slip ${i}) is ${JSON.stringify(shownWarnings)}, brusk warns ${JSON.stringify(expected)}`);
  }
  const exampleWarnings = await page.evaluate((texts) => texts.map((text) => globalThis.brusk.unitWarnings(globalThis.brusk.readWallFile(text, 'toml'))).flat(),
    readdirSync(examplesDir).filter((name) => name.endsWith('.toml')).map((name) => readFileSync(join(examplesDir, name), 'utf8')));
  check(exampleWarnings.length === 0, `the example walls give no units warning: ${exampleWarnings.join(' | ')}`);

  // The profile panel: the form's wall under the example design day and a room at 25 °C, its
  // summary as `brusk response` gives it for the same wall and day.
  await page.click('#profile-run');
  const panelWall = join(work, 'panel-wall.json');
  writeFileSync(panelWall, JSON.stringify(await page.evaluate(() => window.bruskCurrentWall())));
  const panelNative = JSON.parse(execFileSync(program, ['response', '--outdoor', join(examplesDir, 'profiles', 'hot-summer-day.csv'), '--indoor-constant', '25', '--format', 'json', panelWall], { encoding: 'utf8' }));
  const panelPeak = await page.textContent('#profile-summary tr[data-quantity="summary.peak_heat_flow_in"] td.number');
  const summaryDescribed = described.filter((q) => q.scope === 'response' && q.key.startsWith('summary.'));
  const peakScale = summaryDescribed.find((q) => q.key === 'summary.peak_heat_flow_in').display_scale;
  check(panelPeak === shown(panelNative.summary.peak_heat_flow_in * peakScale), `the profile panel's peak heat flow is ${panelPeak}, brusk response ${shown(panelNative.summary.peak_heat_flow_in * peakScale)}`);
  check((await page.$$('#profile-summary tr')).length === summaryDescribed.length, 'the profile panel shows every summary quantity');

  // The room panel: the form's wall as the room's one element, its totals as `brusk zone`
  // gives them for the same zone file.
  await page.click('#zone-run');
  const panelZone = join(work, 'panel-zone.json');
  const panelElement = await page.evaluate(() => [window.bruskCurrentZone().elements[0], window.bruskCurrentWall()]);
  check(documentDifferences({ ...panelElement[0], area: undefined }, panelElement[1]).length === 0, `the room's element is the whole wall: ${documentDifferences({ ...panelElement[0], area: undefined }, panelElement[1]).join('; ')}`);
  writeFileSync(panelZone, JSON.stringify(await page.evaluate(() => window.bruskCurrentZone())));
  const zoneNative = JSON.parse(execFileSync(program, ['zone', '--format', 'json', panelZone], { encoding: 'utf8' }));
  const zoneQuantities = described.filter((q) => q.scope === 'zone' && q.key.startsWith('totals.'));
  const zoneShown = await page.$$eval('#zone-totals td.number', (cells) => cells.map((c) => c.textContent));
  const zoneExpected = zoneQuantities.map((q) => { const v = zoneNative.totals[q.key.slice('totals.'.length)]; return typeof v === 'number' ? shown(v * q.display_scale) : v; });
  check(zoneShown.join() === zoneExpected.join(), `the room panel shows ${zoneShown.join(' ')}, brusk zone ${zoneExpected.join(' ')}`);

  // The requirements panel: a built-in set's verdicts as `brusk check` gives them for the same
  // wall, and a file of the user's own whose rule id is markup, shown as text.
  await page.selectOption('#requirements-set', 'uk-adl-2021-dwellings');
  await page.waitForFunction(() => document.body.dataset.requirements !== undefined, null, { timeout: 10000 }).catch(() => {});
  const checked = spawnSync(program, ['check', '--format', 'json', '--requirements', 'uk-adl-2021-dwellings', panelWall], { encoding: 'utf8' });
  check(checked.status === 0 || checked.status === 1, `brusk check ran: ${checked.stderr}`);
  const checkNative = JSON.parse(checked.stdout)[0];
  const requirementsPanel = JSON.parse((await page.evaluate(() => document.body.dataset.requirements)) || '{}');
  check(requirementsPanel.passed === checkNative.passed && JSON.stringify(requirementsPanel.verdicts) === JSON.stringify(checkNative.rules.map((r) => r.verdict)),
    `requirements panel: ${JSON.stringify(requirementsPanel)} is not brusk check's ${JSON.stringify(checkNative.rules.map((r) => r.verdict))}`);
  const ownRules = join(work, 'own-rules.toml');
  writeFileSync(ownRules, 'name = "Own <b>brief</b>"\nsource = "Client"\n[[rules]]\nid = "<img src=x onerror=alert(1)>"\nsource = "4.1"\nquantity = "u_value"\nat_most = 1e9\n');
  await page.setInputFiles('#requirements-file', ownRules);
  await page.waitForFunction(() => document.querySelector('#requirements-rules td') && document.querySelector('#requirements-rules td').textContent.startsWith('<img'), null, { timeout: 10000 }).catch(() => {});
  check(await page.evaluate(() => document.querySelector('#requirements-rules img') === null && document.querySelector('#requirements-rules td').textContent.startsWith('<img')),
    'a rule id with markup is shown as text on the requirements panel');

  // The validation view: every published figure of `brusk validate`, the same cases and
  // verdicts on the page and through brusk.validate(), every number as the program computes it.
  const validateNative = JSON.parse(execFileSync(program, ['validate', '--format', 'json'], { encoding: 'utf8' }));
  // The differences from the printed figures cancel to a few digits: the values they come from
  // are compared instead.
  const withoutDifferences = (run) => ({ ...run, cases: run.cases.map((c) => ({ ...c, figures: c.figures.map(({ difference, ...rest }) => rest) })) });
  sameNumbers(withoutDifferences(await page.evaluate(() => globalThis.brusk.validate())), withoutDifferences(validateNative), 1e-9, 'brusk.validate()');
  await page.click('#validation-run');
  await page.waitForFunction(() => document.body.dataset.validation !== undefined, null, { timeout: 10000 }).catch(() => {});
  const validationPanel = JSON.parse((await page.evaluate(() => document.body.dataset.validation)) || '{}');
  check(validationPanel.figures === validateNative.summary.figures && validationPanel.agree === validateNative.summary.agree &&
        JSON.stringify(validationPanel.cases) === JSON.stringify(validateNative.cases.map((c) => c.id)),
    `validation view: ${JSON.stringify(validationPanel)} is not brusk validate's ${JSON.stringify(validateNative.summary)}`);
  check((await page.$$('#validation-figures tr')).length === validateNative.summary.figures, 'the validation view has a row per published figure');
  check((await page.$$('#validation-sources tr')).length === validateNative.cases.length, 'the validation view names every case\'s source');
  // brusk.check() as `brusk check --format json` judges the same wall and rules: the limits on
  // Uc, a set of which nothing applied never passed, a figure the wall does not have not
  // computable, the moisture rules under a climate. Each case's JSON equals the program's, and
  // the program's exit status is the one its verdict gives.
  const fastened = {
    name: 'Fastened', layers: [{ material: 'concrete-reinforced', thickness: 0.2 },
      { name: 'EPS', thickness: 0.172, conductivity: 0.035, density: 20, specific_heat: 1450 }],
    corrections: { fasteners: { layer: 2, count: 14, cross_section: 2.0e-5, conductivity: 50 } },
  };
  const plainWall = { name: 'Plain', layers: [{ material: 'concrete-reinforced', thickness: 0.2 }] };
  const dryRules = 'name = "D"\n[[rules]]\nid = "dry"\nquantity = "dries_out"\nis = true\n';
  const capacityRules = 'name = "C"\n[[rules]]\nid = "cap"\nquantity = "sequential_heat_capacity.daily.value"\nat_most = 5\nunit = "kJ/(m2.K)"\n';
  const studsFile = join(examplesDir, 'bridged', 'timber-frame-studs.toml');
  const insulationFile = join(examplesDir, 'moisture', 'internal-insulation.toml');
  const checkCases = [
    { name: 'fastened_germany', wall: fastened, rules: 'de-geg-2020-anlage7', verdict: 'failed', status: 1 },
    { name: 'fastened_england', wall: fastened, rules: 'uk-adl-2021-dwellings', verdict: 'passed', status: 0 },
    { name: 'nothing_applies', wall: plainWall, rules: 'it-dm2015-summer', verdict: 'nothing checked', status: 3 },
    // 0.2 m of concrete, 460 kg/m2: the summer rule applies to a south wall and passes by its mass.
    { name: 'descriptors_apply', wall: { ...plainWall, orientation: 'S', site_irradiance: 300 }, rules: 'it-dm2015-summer', verdict: 'passed', status: 0 },
    { name: 'studs_capacity', file: studsFile, rules: capacityRules, verdict: 'not computable', status: 4 },
    { name: 'moisture_without_climate', file: insulationFile, rules: dryRules, verdict: 'not computable', status: 4 },
    { name: 'moisture_temperate', file: insulationFile, rules: dryRules, climate: 'temperate.csv', verdict: 'passed', status: 0 },
    { name: 'moisture_cold', file: insulationFile, rules: dryRules, climate: 'cold.csv', verdict: 'failed', status: 1 },
    { name: 'moisture_class_3', file: insulationFile, rules: dryRules, climate: 'temperate.csv', humidityClass: 3, verdict: 'failed', status: 1 },
  ];
  for (const c of checkCases) {
    const wall = c.wall || await page.evaluate(([text, source]) => globalThis.brusk.readWallFile(text, 'toml', { source }), [readFileSync(c.file, 'utf8'), c.file]);
    const options = c.climate === undefined ? undefined : { climate: readFileSync(join(examplesDir, 'climates', c.climate), 'utf8') };
    if (options && c.humidityClass !== undefined) options.humidityClass = c.humidityClass;
    const onPage = await page.evaluate(([w, rules, o]) => { try { return globalThis.brusk.check(w, rules, o); } catch (error) { return { error: error.message }; } }, [wall, c.rules, options]);
    const wallFile = join(work, `check-${c.name}.json`);
    writeFileSync(wallFile, JSON.stringify(wall));
    const rulesArgument = c.rules.includes('\n') ? join(work, `check-${c.name}.toml`) : c.rules;
    if (rulesArgument !== c.rules) writeFileSync(rulesArgument, c.rules);
    const extra = c.climate === undefined ? [] : ['--climate', join(examplesDir, 'climates', c.climate)];
    if (c.humidityClass !== undefined) extra.push('--humidity-class', String(c.humidityClass));
    const native = spawnSync(program, ['check', '--format', 'json', '--requirements', rulesArgument, ...extra, wallFile], { encoding: 'utf8' });
    check(native.status === c.status, `${c.name}: brusk check exits ${native.status}, not ${c.status}: ${native.stderr}`);
    check(onPage.verdict === c.verdict && (c.verdict === 'passed' || c.verdict === 'failed' || onPage.passed === null),
      `${c.name}: the page's verdict is ${JSON.stringify(onPage.verdict || onPage.error)} (passed ${onPage.passed}), not ${c.verdict}`);
    // Beside the program's object, why a rule does not apply by key: its English is the
    // program's reason; without it the objects are the same.
    for (const rule of onPage.rules || []) {
      if (rule.not_applicable_parts === undefined) continue;
      const english = rule.not_applicable_parts.map((part) => part.text).join(': ');
      check(english === rule.not_applicable, `${c.name}/${rule.id}: the reason by key reads "${english}", not "${rule.not_applicable}"`);
      delete rule.not_applicable_parts;
    }
    if (native.status !== 2) sameNumbers(onPage, JSON.parse(native.stdout)[0], 1e-9, `brusk.check(${c.name})`);
  }

  // Refused by the page's API as by the program: a NaN or infinite condition, a threshold that
  // overflows in its unit, a class that can never match; the message names the line and field.
  const refusedRules = [
    ['nan_condition', 'when = { site_irradiance = { at_least = nan } }\nquantity = "u_value"\nat_most = 1\n', 'requirements.toml:4: at_least must be a number of W/m2, got nan'],
    ['infinite_condition', 'when = { site_irradiance = { greater_than = inf } }\nquantity = "u_value"\nat_most = 1\n', 'requirements.toml:4: greater_than must be a number of W/m2, got inf'],
    ['infinite_after_unit', 'quantity = "internal_areal_heat_capacity"\nat_most = 1e305\nunit = "MJ/(m2.K)"\n', 'requirements.toml:5: at_most = 1e+305 MJ/(m2.K) is beyond the largest number'],
    ['class_any_empty', 'classes = [ { name = "never", any = [] } ]\n', 'requirements.toml:4: class "never" of rule "r" has any = []'],
  ];
  for (const [name, body, message] of refusedRules) {
    const refusal = await page.evaluate(([w, rules]) => { try { globalThis.brusk.check(w, rules); return ''; } catch (error) { return error.message; } },
      [plainWall, 'name = "P"\n[[rules]]\nid = "r"\n' + body]);
    check(refusal.startsWith(message), `${name}: the page's check says ${JSON.stringify(refusal)}, not ${message}`);
  }
  const climateForNothing = await page.evaluate(([w, climate]) => { try { globalThis.brusk.check(w, 'de-geg-2020-anlage7', { climate }); return ''; } catch (error) { return error.message; } },
    [plainWall, readFileSync(join(examplesDir, 'climates', 'cold.csv'), 'utf8')]);
  check(climateForNothing.startsWith('climate gives the moisture results'), `a climate for a set without moisture rules is refused: ${climateForNothing}`);

  // The panel checks the wall the page holds with every key it has: the descriptors a wall
  // gives decide the conditions, a set of which nothing applies says so, a value not computed
  // is shown as such, never as 0.
  const panelCases = [
    { name: 'orientation_given', wall: { ...plainWall, orientation: 'S', site_irradiance: 300 }, set: 'it-dm2015-summer', verdict: 'passed', passed: true, absent: 'not given' },
    { name: 'nothing_checked', wall: plainWall, set: 'it-dm2015-summer', verdict: 'nothing checked', passed: null, status: 'nothing checked' },
    { name: 'fastened_uc', wall: fastened, set: 'de-geg-2020-anlage7', verdict: 'failed', passed: false, values: '0.252' },
  ];
  for (const c of panelCases) {
    await page.evaluate((wall) => { window.bruskCurrentWallSaved = window.bruskCurrentWall; window.bruskCurrentWall = () => wall; }, c.wall);
    await page.evaluate(() => { delete document.body.dataset.requirements; });
    await page.selectOption('#requirements-set', c.set === 'it-dm2015-summer' ? 'uk-adl-2021-dwellings' : 'it-dm2015-summer');
    await page.selectOption('#requirements-set', c.set);
    const panel = JSON.parse((await page.evaluate(() => document.body.dataset.requirements)) || '{}');
    const rows = await page.$$eval('#requirements-rules td', (cells) => cells.map((td) => td.textContent).join(' | '));
    const status = await page.textContent('#requirements-status');
    await page.evaluate(() => { window.bruskCurrentWall = window.bruskCurrentWallSaved; });
    check(panel.verdict === c.verdict && panel.passed === c.passed, `panel ${c.name}: ${JSON.stringify(panel)}`);
    if (c.absent) check(!rows.includes(c.absent), `panel ${c.name}: "${c.absent}" in ${rows}`);
    if (c.status) check(status.includes(c.status), `panel ${c.name}: the status says ${status}`);
    if (c.values) check(rows.includes(c.values), `panel ${c.name}: ${c.values} not in ${rows}`);
  }
  // The same through the form itself: a wall file that gives orientation and site_irradiance,
  // opened on the page, is judged by them (the panel reads the page's whole wall).
  const heldWall = join(work, 'held-wall.json');
  writeFileSync(heldWall, JSON.stringify(await page.evaluate(() => window.bruskCurrentWall())));
  const southWall = join(work, 'south-wall.json');
  writeFileSync(southWall, JSON.stringify({ ...plainWall, name: 'South wall', orientation: 'S', site_irradiance: 300 }));
  await page.setInputFiles('#open-file', southWall);
  await page.waitForFunction(() => document.getElementById('wall-name').value === 'South wall');
  await page.selectOption('#requirements-set', 'uk-adl-2021-dwellings');
  await page.selectOption('#requirements-set', 'it-dm2015-summer');
  const openedPanel = JSON.parse((await page.evaluate(() => document.body.dataset.requirements)) || '{}');
  const openedRows = await page.$$eval('#requirements-rules td', (cells) => cells.map((td) => td.textContent).join(' | '));
  check(openedPanel.verdict === 'passed' && !openedRows.includes('not given'), `panel: a file's orientation and site_irradiance decide the rule: ${JSON.stringify(openedPanel)} ${openedRows}`);
  await page.setInputFiles('#open-file', heldWall);
  await page.waitForFunction((n) => document.getElementById('wall-name').value === n, JSON.parse(readFileSync(heldWall, 'utf8')).name || '');
  const studsOnPage = await page.evaluate(([text, source]) => globalThis.brusk.readWallFile(text, 'toml', { source }), [readFileSync(studsFile, 'utf8'), studsFile]);
  const capacityFile = join(work, 'capacity-rules.toml');
  writeFileSync(capacityFile, capacityRules);
  await page.evaluate((wall) => { window.bruskCurrentWallSaved = window.bruskCurrentWall; window.bruskCurrentWall = () => wall; delete document.body.dataset.requirements; }, studsOnPage);
  await page.setInputFiles('#requirements-file', capacityFile);
  await page.waitForFunction(() => document.body.dataset.requirements !== undefined, null, { timeout: 10000 }).catch(() => {});
  const capacityPanel = JSON.parse((await page.evaluate(() => document.body.dataset.requirements)) || '{}');
  const capacityRow = await page.$$eval('#requirements-rules td', (cells) => cells.map((td) => td.textContent).join(' | '));
  await page.evaluate(() => { window.bruskCurrentWall = window.bruskCurrentWallSaved; });
  check(capacityPanel.verdict === 'not computable' && capacityPanel.passed === null, `panel: a stud wall's capacity rule is ${JSON.stringify(capacityPanel)}`);
  check(capacityRow.includes('= not computed') && !/= 0[.,]0* kJ/.test(capacityRow), `panel: a capacity not computed is shown as such: ${capacityRow}`);

  // brusk.zone(): a room whose walls are inline layers, as `brusk zone --format json` computes
  // the same zone file, every number to 1e-9 relative; a refused zone named by its source.
  const room = {
    name: 'Inline room', floor_area: 20.0, heat_transfer_coefficient: 40.0,
    elements: [
      { name: 'External wall', area: 20.4, layers: [{ material: 'plaster-gypsum', thickness: 0.013 }, { material: 'brick-solid', thickness: 0.215 }, { material: 'insulation-eps', thickness: 0.1 }] },
      { name: 'Partition', area: 10.4, position: 'internal', faces: 'both', layers: [{ material: 'board-gypsum', thickness: 0.0125 }, { name: 'Air gap', thermal_resistance: 0.18 }, { material: 'board-gypsum', thickness: 0.0125 }] },
      { name: 'Floor', area: 20.0, heat_flow: 'downward', layers: [{ material: 'concrete-medium-density', thickness: 0.15 }] }],
  };
  const roomFile = join(work, 'inline-room.json');
  writeFileSync(roomFile, JSON.stringify(room));
  const roomNative = JSON.parse(execFileSync(program, ['zone', '--format', 'json', roomFile], { encoding: 'utf8' }));
  const roomPage = await page.evaluate((zone) => globalThis.brusk.zone(zone), room);
  sameNumbers(roomPage, roomNative, 1e-9, 'brusk.zone(inline room)');
  const refusedZone = await page.evaluate(() => { try { globalThis.brusk.zone({ floor_area: -1, elements: [] }, { source: 'room.json' }); return ''; } catch (error) { return error.message; } });
  check(refusedZone.startsWith('room.json'), `a refused zone is named by its source: "${refusedZone}"`);

  // brusk.response(): a wall under the example design day, with a constant room and with solar
  // gains, as `brusk response --format json` computes it from the same files, to 1e-9 relative.
  const profilesDir = join(examplesDir, 'profiles');
  const outdoorCsv = join(profilesDir, 'hot-summer-day.csv');
  const solarCsv = join(profilesDir, 'west-wall-irradiance.csv');
  const responseWall = join(examplesDir, '2-concrete-insulated.toml');
  for (const [what, args, profiles] of [
    ['constant room', ['--indoor-constant', '26'], { indoorConstant: 26 }],
    ['solar gains', ['--solar', solarCsv, '--absorptance', '0.6'], { solar: readFileSync(solarCsv, 'utf8'), solarSource: solarCsv, absorptance: 0.6 }],
  ]) {
    const native = JSON.parse(execFileSync(program, ['response', '--outdoor', outdoorCsv, ...args, '--format', 'json', responseWall], { encoding: 'utf8' }));
    const viaPage = await page.evaluate(([wallText, outdoor, source, given]) => {
      const wall = globalThis.brusk.readWallFile(wallText, 'toml', { source });
      return globalThis.brusk.response(wall, Object.assign({ outdoor, outdoorSource: 'outdoor.csv' }, given), { source });
    }, [readFileSync(responseWall, 'utf8'), readFileSync(outdoorCsv, 'utf8'), responseWall, profiles]);
    sameNumbers(viaPage, native, 1e-9, `brusk.response(${what})`);
  }
  const refusedResponse = await page.evaluate(() => { try { globalThis.brusk.response({ name: 'W', layers: [{ material: 'brick-solid', thickness: 0.2 }] }, { outdoor: 'time,t\n0,20\n1,x\n', outdoorSource: 'day.csv' }); return ''; } catch (error) { return error.message; } });
  check(refusedResponse.startsWith('day.csv'), `a refused profile is named by its source: "${refusedResponse}"`);
  // A profile option the run does not read (or no run reads) is refused, never dropped: as
  // brusk response refuses --absorptance without --solar.
  const IDLE_PROFILE_OPTIONS = [
    [{ absorptance: 0.6 }, 'absorptance has no effect without solar'],
    [{ emissivity: 0.9 }, 'emissivity has no effect without solar'],
    [{ skyRadiation: 63 }, 'skyRadiation has no effect without solar'],
    [{ indoor: '20\n21\n', indoorConstant: 26 }, 'indoorConstant has no effect with indoor'],
    [{ indoorSource: 'room.csv' }, 'indoorSource has no effect without indoor'],
    [{ absorbtance: 0.6 }, 'unknown profile option "absorbtance" (did you mean "absorptance"?)'],
  ];
  const idleRefusals = await page.evaluate((cases) => cases.map((given) => {
    try { globalThis.brusk.response({ layers: [{ material: 'brick-solid', thickness: 0.2 }] }, Object.assign({ outdoor: '20\n25\n' }, given)); return 'accepted'; } catch (error) { return error.message; }
  }), IDLE_PROFILE_OPTIONS.map(([given]) => given));
  IDLE_PROFILE_OPTIONS.forEach(([given, message], i) => check(idleRefusals[i].startsWith(message), `response(${JSON.stringify(given)}) is refused: ${idleRefusals[i]}`));

  // Junctions (ISO 10211): the corner, T-junction and floor-slab examples, their walls read by
  // the page from the same wall files and passed inline, give `brusk bridge`'s numbers.
  const junctionsDir = join(examplesDir, 'junctions');
  const junctionNative = JSON.parse(execFileSync(program, ['bridge', '--format', 'json', ...['corner.toml', 't-junction.toml', 'floor-slab.toml'].map((f) => join(junctionsDir, f))], { encoding: 'utf8' }));
  const wallText = (file) => readFileSync(join(examplesDir, file), 'utf8');
  const junctionPage = await page.evaluate(([insulated, concrete, partition]) => {
    const b = globalThis.brusk;
    const walls = { insulated: b.readWallFile(insulated, 'toml'), concrete: b.readWallFile(concrete, 'toml'), partition: b.readWallFile(partition, 'json') };
    return [
      { name: 'External corner, concrete + EPS', junction: { type: 'corner', walls: [walls.insulated], dimensions: 'internal' } },
      { name: 'Partition at an external wall', junction: { type: 't-junction', walls: [walls.insulated, walls.partition] } },
      { name: 'Floor slab into an ETICS wall', junction: { type: 'floor-slab', walls: [walls.insulated, walls.concrete], slab_into_wall: 0.2 } },
    ].map((junction) => {
      const result = b.bridge(junction);
      const field = result.field;
      delete result.field;
      return { result, rows: field.temperature.length, columns: field.x.length, ys: field.y.length };
    });
  }, [wallText('2-concrete-insulated.toml'), wallText('1-concrete.toml'), wallText('partition.json')]);
  junctionPage.forEach((junction, i) => {
    sameNumbers(junction.result, junctionNative[i], 1e-9, `brusk.bridge(${junctionNative[i].name})`);
    check(junction.rows === junction.ys && junction.columns === junctionNative[i].grid.columns, `brusk.bridge(${junctionNative[i].name}): a field of ${junction.rows} rows of ${junction.columns}`);
  });
  const refusedJunction = await page.evaluate(() => { try { globalThis.brusk.bridge({ junction: { type: 'corner', walls: [{ layers: [{ material: 'brick-solid', thickness: -1 }] }] } }, { source: 'j.json' }); return ''; } catch (error) { return error.message; } });
  check(refusedJunction.startsWith('j.json') && refusedJunction.includes('thickness'), `a refused junction is named by its source and the value: "${refusedJunction}"`);

  // The junction panel: the form's wall in the chosen template, solved in the page from file://
  // (browsers start no worker there), its figures those of `brusk bridge` for the junction it
  // sends, its drawings the report's, names shown as text.
  await page.setInputFiles('#open-file', join(examplesDir, '2-concrete-insulated.toml'));
  await page.waitForFunction(() => document.getElementById('wall-name').value === 'Concrete + EPS');
  const junctionPanel = async (on, type) => {
    const before = await on.evaluate(() => window.bruskJunction.timings.solves);
    await on.selectOption('#junction-type', type);
    await on.waitForFunction((n) => {
      const last = window.bruskJunction.last();
      return window.bruskJunction.timings.solves > n && last !== null && last.name.includes(document.querySelector('#junction-type option:checked').textContent);
    }, before, { timeout: 20000 });
    const sent = join(work, `panel-junction-${type}.json`);
    writeFileSync(sent, JSON.stringify(await on.evaluate(() => window.bruskJunction.current())));
    const native = JSON.parse(execFileSync(program, ['bridge', '--format', 'json', sent], { encoding: 'utf8' }));
    const shownPanel = await on.evaluate(() => Object.fromEntries([...document.querySelectorAll('#junction-results tr')].map((tr) => [tr.dataset.quantity, tr.querySelector('td.number').textContent])));
    const panelResult = await on.evaluate(() => window.bruskJunction.last());
    return { native, shownPanel, panelResult, timings: await on.evaluate(() => window.bruskJunction.timings),
      drawn: await on.evaluate(() => ({ section: Boolean(document.querySelector('#junction-section svg#junction-0-section')), bands: document.querySelectorAll('#junction-field rect').length,
        isotherms: document.querySelectorAll('#junction-field path').length, marker: [...document.querySelectorAll('#junction-field text')].some((t) => t.textContent.startsWith('θsi,min = ')) })) };
  };
  for (const type of ['floor-slab', 't-junction', 'corner']) {
    const { native, shownPanel, panelResult, timings: junctionTimings, drawn } = await junctionPanel(page, type);
    sameNumbers(panelResult, native, 1e-9, `junction panel (${type})`);
    for (const key of ['psi', 'f_rsi', 'coupling_coefficient']) {
      const expected = shown(native[key] * byKey.get(key).display_scale);
      check(shownPanel[key] === expected, `junction panel (${type}): ${key} shown as ${shownPanel[key]}, brusk bridge ${expected}`);
    }
    check(drawn.section && drawn.bands > 10 && drawn.isotherms >= 5 && drawn.marker, `junction panel (${type}): the section, the field's bands, isotherms and θsi,min are drawn: ${JSON.stringify(drawn)}`);
    check(junctionTimings.mode === 'page', `from file:// the junction is solved in the page: ${junctionTimings.mode}`);
    console.log(`junction panel from file:// (${type}): edit to redrawn field ${junctionTimings.lastEditMs.toFixed(0)} ms, solve and drawings ${junctionTimings.lastSolveMs.toFixed(0)} ms (reported only)`);
  }
  // A wall name with markup is shown as text in the junction's drawings.
  await page.fill('#wall-name', '<img src=x onerror="document.body.dataset.injected=2">');
  await page.waitForFunction(() => document.querySelector('#junction-section svg title').textContent.includes('<img'), null, { timeout: 20000 }).catch(() => {});
  check(await page.evaluate(() => document.querySelector('#junction-section img, #junction-field img') === null && document.body.dataset.injected === undefined
    && document.querySelector('#junction-section svg title').textContent.includes('<img')), 'the junction drawings show a wall name with markup as text');
  await page.fill('#wall-name', 'Concrete + EPS');

  const foreign = requests.filter((url) => !url.startsWith(pathToFileURL(webDir).href) && !/^(data|blob|about):/.test(url));
  check(foreign.length === 0, `requests beyond the page's own files: ${foreign.join(', ')}`);
  check(consoleErrors.length === 0, `console errors: ${consoleErrors.join(' | ')}`);

  // A layer split into parts on the page: a new layer made studs in mineral wool by its kind,
  // a mistake in a fraction named, then a wall file of parts shown with the command line's numbers.
  await page.click('#add-custom');
  const partsIndex = (await page.locator('#layers li').count()) - 1;
  await page.selectOption(`#layer-${partsIndex}-kind`, 'parts');
  check((await page.inputValue(`#layer-${partsIndex}-part-0-material`)) === 'timber-softwood', 'a layer of parts starts as softwood studs');
  check(/^[0-9.]+$/.test(await shownValue('thermal_resistance_upper')), `a layer of parts: R'_T shown as ${await shownValue('thermal_resistance_upper')}`);
  // A part's mistake is shown at the part's field, one about the parts as a whole (fractions
  // that do not sum to 1) at the layer's row (its Kind), besides the status line; the field
  // named and no other is marked.
  const partMistakes = [
    ['fraction sum', 'part-1-fraction', '0.8', 'kind', 'the fractions of the parts sum to 0.95, not 1', '0.85'],
    ['unknown part material', 'part-1-material', 'no-such-wool', 'part-1-material', 'part 2: unknown material "no-such-wool"', 'insulation-mineral-wool'],
    ['negative fraction', 'part-0-fraction', '-0.15', 'part-0-fraction', 'fraction must be a share of the area above 0 and at most 1, got -0.15', '0.15'],
  ];
  const partError = await page.evaluate(() => {
    try {
      globalThis.brusk.compute({ layers: [{ thermal_resistance: 0.1 }, { thickness: 0.1, parts: [{ material: 'timber-softwood', fraction: 0.15 }, { material: 'no-such-wool', fraction: 0.85 }] }] });
      return null;
    } catch (error) {
      return { pointer: error.pointer, key: error.key, layer: error.layer, part: error.part };
    }
  });
  check(JSON.stringify(partError) === '{"pointer":"/layers/1/parts/1/material","key":"material","layer":1,"part":1}', `a part's refusal names its layer and part: ${JSON.stringify(partError)}`);
  for (const [what, field, value, shownAt, words, restore] of partMistakes) {
    await page.fill(`#layer-${partsIndex}-${field}`, value);
    const shownMistake = await page.evaluate((id) => ({
      status: document.getElementById('status').textContent,
      at: (document.getElementById(id + '-error') || {}).textContent,
      marked: [...document.querySelectorAll('[aria-invalid="true"]')].map((element) => element.id),
    }), `layer-${partsIndex}-${shownAt}`);
    check(shownMistake.status.includes(words) && (shownMistake.at || '').includes(words) && shownMistake.marked.join() === `layer-${partsIndex}-${shownAt}`,
      `${what}: shown at #layer-${partsIndex}-${shownAt}: ${JSON.stringify(shownMistake)}`);
    await page.fill(`#layer-${partsIndex}-${field}`, restore);
    check((await page.textContent(`#layer-${partsIndex}-${shownAt}-error`)) === '', `${what}: the mark goes once it is corrected`);
  }
  await page.click(`#layer-${partsIndex}-add-part`);
  check((await page.locator(`#layer-${partsIndex}-part-2-material`).count()) === 1, 'a part is added');
  await page.click(`#layer-${partsIndex}-remove-part`);
  check((await page.locator(`#layer-${partsIndex}-part-2-material`).count()) === 0, 'the part is removed again');
  const studFile = join(examplesDir, 'bridged', 'timber-frame-studs.toml');
  const studNative = nativeJson(studFile);
  await page.setInputFiles('#open-file', studFile);
  await page.waitForFunction((n) => document.getElementById('wall-name').value === n, studNative.name);
  for (const quantity of ['u_value', 'decrement_factor', 'thermal_resistance_upper', 'thermal_resistance_lower', 'relative_error']) {
    check((await shownValue(quantity)) === shown(studNative[quantity]), `wall of parts: ${quantity} shown as ${await shownValue(quantity)}, native ${shown(studNative[quantity])}`);
  }
  const [savedParts] = await Promise.all([page.waitForEvent('download'), page.click('#save-toml')]);
  const savedPartsFile = join(work, 'parts-saved.toml');
  await savedParts.saveAs(savedPartsFile);
  sameNumbers(nativeJson(savedPartsFile), studNative, 0, 'wall of parts saved from the page');

  // The wall as a document through every door, and the form editing all of it.
  await wallDocumentChecks();
  await wallEditChecks();

  // Over http from a static host: the page, a wall file opened in it, and the ES module.
  host = await serveStatic(webDir);
  requests.length = 0;
  consoleErrors.length = 0;
  await page.goto('about:blank');
  await openPage(`${host.origin}/index.html`);
  check(/^[0-9.]+$/.test(await shownValue('u_value')), `over http: U shown as ${await shownValue('u_value')}`);
  const [exampleName] = examples;
  const exampleFile = join(examplesDir, exampleName);
  const exampleNative = nativeJson(exampleFile);
  await page.setInputFiles('#open-file', exampleFile);
  await page.waitForFunction((n) => document.getElementById('wall-name').value === n, exampleNative.name);
  check((await shownValue('u_value')) === shown(exampleNative.u_value), `over http: ${exampleName} U shown as ${await shownValue('u_value')}`);
  const viaModule = await page.evaluate(async ([url, text, source]) => {
    const module = await import(url);
    return JSON.parse(module.computeText(text, 'toml', { source }));
  }, [`${host.origin}/brusk.mjs`, readFileSync(exampleFile, 'utf8'), exampleName]);
  sameNumbers(viaModule, exampleNative, 1e-12, `over http, brusk.mjs: ${exampleName}`);
  // Over http the junction panel solves in its worker: the page's thread is free meanwhile, and
  // the figures are those of `brusk bridge` for the junction the panel sends.
  await page.setInputFiles('#open-file', join(examplesDir, '2-concrete-insulated.toml'));
  await page.waitForFunction(() => document.getElementById('wall-name').value === 'Concrete + EPS');
  const overHttp = await junctionPanel(page, 'floor-slab');
  check(overHttp.timings.mode === 'worker', `over http the junction is solved in a worker: ${overHttp.timings.mode}`);
  sameNumbers(overHttp.panelResult, overHttp.native, 1e-9, 'junction panel over http (floor-slab)');
  const responsive = await page.evaluate(async () => {
    const timings = window.bruskJunction.timings;
    const times = [];
    for (let i = 0; i < 5; ++i) {
      const before = timings.solves;
      const field = document.getElementById('junction-indoor');
      field.value = String(20 + i + 1);
      const start = performance.now();
      field.dispatchEvent(new Event('input', { bubbles: true }));
      const handled = performance.now() - start;  // what the edit cost the page's thread
      // A timer set now fires while the worker solves.
      const timer = await new Promise((done) => { const set = performance.now(); setTimeout(() => done(performance.now() - set), 0); });
      while (timings.solves === before) await new Promise((done) => setTimeout(done, 5));
      times.push({ handled, timer, edit: timings.lastEditMs, solve: timings.lastSolveMs });
    }
    return times;
  });
  const median = (key) => responsive.map((r) => r[key]).sort((a, b) => a - b)[2];
  console.log(`junction panel over http (floor slab, worker): edit to redrawn field median ${median('edit').toFixed(0)} ms, solve and drawings ${median('solve').toFixed(0)} ms; the page's thread spent ${median('handled').toFixed(1)} ms on the edit and ran a timer ${median('timer').toFixed(1)} ms after it (reported only)`);
  const elsewhere = requests.filter((url) => !url.startsWith(host.origin + '/') && !/^(data|blob|about):/.test(url));
  check(elsewhere.length === 0, `over http: requests beyond ${host.origin}: ${elsewhere.join(', ')}`);
  for (const path of ['/index.html', '/calculator.js', '/calculator.css', '/brusk.js', '/brusk.mjs']) check(host.paths.includes(path), `over http: ${path} was not asked for (asked: ${host.paths.join(', ')})`);
  check(consoleErrors.length === 0, `over http: console errors: ${consoleErrors.join(' | ')} (asked for: ${host.paths.join(', ')})`);

  // Installable and offline: over http the page declares its manifest and its service worker
  // keeps the page's files; with the host gone, a reload still opens and computes the wall.
  check(await page.evaluate(() => document.querySelector('link[rel="manifest"]') !== null), 'over http: the page declares its manifest');
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.reload();
  await page.waitForSelector('body[data-ready="true"]', { timeout: 30000 });
  check(await page.evaluate(() => Boolean(navigator.serviceWorker.controller)), 'over http: the service worker controls the page after a reload');
  const onlineU = await shownValue('u_value');
  host.server.closeAllConnections();
  host.server.close();
  host = null;
  await page.reload();
  await page.waitForSelector('body[data-ready="true"]', { timeout: 30000 });
  await plotsDrawn();
  check((await shownValue('u_value')) === onlineU && (await page.$$('#plots svg')).length >= 5, `offline: the page reloads from the service worker's copy (U ${await shownValue('u_value')}, online ${onlineU})`);

  // From file:// neither a manifest nor a service worker.
  await page.goto(pageUrl);
  await page.waitForSelector('body[data-ready="true"]');
  await plotsDrawn();
  check(await page.evaluate(() => document.querySelector('link[rel="manifest"]') === null && !(navigator.serviceWorker && navigator.serviceWorker.controller)), 'from file:// the page declares no manifest and no service worker');

  // Print: the wall, the key results and the first plots on one A4 page.
  const pdf = await page.pdf({ format: 'A4' });
  const pages = (pdf.toString('latin1').match(/\/Type\s*\/Page[^s]/g) || []).length;
  check(pages === 1, `printed on ${pages} A4 pages, not one`);

  // Languages: a browser in German or Italian gets the page in its language, numbers with a
  // decimal comma and fields that read a comma as a point; the picker goes back to English,
  // keeps the wall, and the choice outlives a reload.
  // English: the same layout (the key results, no sideways scroll, every drawing's texts
  // inside it) with every panel run.
  const english = new Set(await englishVocabulary());
  const missing = await untranslatedKeys();
  check(missing.length === 0, `texts without a translation: ${missing.join(', ')}`);
  await page.evaluate(() => localStorage.clear());
  await openPage(pageUrl + '#wall=' + Buffer.from(JSON.stringify(THIN_COATS_WALL)).toString('base64url'));
  await page.click('#moisture-run');
  for (const [width, height] of [[1280, 900], [390, 844]]) {
    const problems = await layoutProblems(page, width, height);
    check(problems.length === 0, `en at ${width}×${height}: ${problems.join('; ')}`);
  }
  await page.setViewportSize({ width: 1280, height: 900 });
  const LANGUAGE_CASES = [
    { locale: 'de-DE', lang: 'de', u: 'Wärmedurchgangskoeffizient', uShort: 'U-Wert', f: 'Temperaturamplitudenverhältnis (Dekrement)', heading: 'Ergebnisse', add: 'Materialschicht hinzufügen', kind: 'Katalogmaterial' },
    { locale: 'it-IT', lang: 'it', u: 'Trasmittanza termica', uShort: 'Trasmittanza', f: 'Fattore di attenuazione', heading: 'Risultati', add: 'Aggiungi strato di materiale', kind: 'materiale del catalogo' },
  ];
  const browser = await chromium.launch({ executablePath: CHROMIUM, headless: true, args: ['--headless', '--no-sandbox', '--disable-gpu'] });
  try {
    // Names every object inherits are no language, from a link or from the kept choice: an
    // English browser keeps English, its picker and its decimal points.
    for (const name of ['constructor', '__proto__', 'toString', 'valueOf', 'hasOwnProperty']) {
      for (const via of ['link', 'storage']) {
        const plain = await browser.newContext({ locale: 'en-US' });
        const lp = await plain.newPage();
        const errors = [];
        lp.on('pageerror', (error) => errors.push(error.message));
        if (via === 'storage') {
          await lp.addInitScript((kept) => { try { localStorage.setItem('brusk.language', kept); } catch (error) { /* file: storage */ } }, name);
        }
        await lp.goto(via === 'link' ? pageUrl + '?lang=' + encodeURIComponent(name) : pageUrl);
        await lp.waitForSelector('body[data-ready="true"]', { timeout: 30000 });
        const shown = await lp.evaluate(() => ({ lang: document.documentElement.lang, picker: document.getElementById('language').value, u: document.querySelector('#results td[data-quantity="u_value"]').textContent, heading: document.getElementById('results-heading').textContent }));
        check(shown.lang === 'en' && shown.picker === 'en' && /^\d+\.\d+$/.test(shown.u) && shown.heading === 'Results' && errors.length === 0,
          `a language named "${name}" by ${via} is refused for English: ${JSON.stringify(shown)} ${errors.join(' | ')}`);
        await plain.close();
      }
    }
    for (const c of LANGUAGE_CASES) {
      const localized = await browser.newContext({ locale: c.locale });
      const lp = await localized.newPage();
      const errors = [];
      lp.on('pageerror', (error) => errors.push(error.message));
      lp.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
      await lp.goto(pageUrl);
      await lp.waitForSelector('body[data-ready="true"]', { timeout: 30000 });
      const u = () => lp.textContent('#results td[data-quantity="u_value"]');
      const labels = () => lp.$$eval('#results tbody th', (cells) => cells.map((cell) => cell.textContent));
      await readerChecks(lp, c.lang, english);
      await lp.goto(pageUrl);
      await lp.waitForSelector('body[data-ready="true"]', { timeout: 30000 });
      check((await lp.evaluate(() => document.documentElement.lang)) === c.lang, `${c.locale}: <html lang> is ${await lp.evaluate(() => document.documentElement.lang)}`);
      check((await labels()).includes(c.u) && (await labels()).includes(c.f), `${c.locale}: the results table labels U and f "${c.u}", "${c.f}": ${(await labels()).join(' | ')}`);
      check((await lp.textContent('#key-results [data-quantity="u_value"] dt')) === `${c.uShort} U` && (await lp.getAttribute('#key-results [data-quantity="u_value"] dt', 'title')) === c.u,
        `${c.locale}: the key result U is labelled ${await lp.textContent('#key-results [data-quantity="u_value"] dt')}, titled ${await lp.getAttribute('#key-results [data-quantity="u_value"] dt', 'title')}`);
      check((await lp.textContent('#results-heading')) === c.heading && (await lp.textContent('#add-material')) === c.add, `${c.locale}: heading "${await lp.textContent('#results-heading')}", button "${await lp.textContent('#add-material')}"`);
      check((await lp.textContent('#layer-0-kind option[value="material"]')) === c.kind, `${c.locale}: the layer kind reads ${await lp.textContent('#layer-0-kind option[value="material"]')}`);
      check(/^\d+,\d+$/.test(await u()), `${c.locale}: U is printed with a decimal comma: ${await u()}`);
      await lp.fill('#layer-1-thickness', '0.25');
      const withPoint = await u();
      await lp.fill('#layer-1-thickness', '0,25');
      check((await u()) === withPoint && (await lp.textContent('#status')) === '', `${c.locale}: "0,25" gives U ${await u()}, "0.25" ${withPoint} (status "${await lp.textContent('#status')}")`);
      // A refused wall keeps its last results, printed again in the new language.
      await lp.fill('#layer-1-thickness', '0;25');
      await lp.selectOption('#language', 'en');
      check((await u()) === withPoint.replace(',', '.'), `${c.locale}: the stale U prints in English as ${await u()}`);
      await lp.selectOption('#language', c.lang);
      await lp.fill('#layer-1-thickness', '0,25');
      const wall = await lp.evaluate(() => window.bruskCurrentWall());
      check(wall.layers[1].thickness === 0.25, `${c.locale}: the wall (saved files, the link) keeps the thickness as the number 0.25: ${JSON.stringify(wall.layers[1].thickness)}`);
      await address(lp);
      const linked = await lp.evaluate(() => atob(location.hash.slice(6).split('&')[0].replace(/-/g, '+').replace(/_/g, '/')));
      check(linked.includes('"thickness":0.25'), `${c.locale}: the #wall= link writes a point: ${linked}`);
      // The panels read a comma too and print one.
      await lp.fill('#zone-wall-area', '60,5');
      check((await lp.evaluate(() => window.bruskCurrentZone().elements[0].area)) === 60.5, `${c.locale}: the room's wall area "60,5" reads ${await lp.evaluate(() => window.bruskCurrentZone().elements[0].area)}`);
      await lp.click('#zone-run');
      const zoneNumbers = await lp.$$eval('#zone-totals td.number', (cells) => cells.map((cell) => cell.textContent));
      check(zoneNumbers.some((text) => /^\d+,\d+$/.test(text)) && !zoneNumbers.some((text) => /\d\.\d/.test(text)), `${c.locale}: the room's totals with decimal commas: ${zoneNumbers.join(' | ')}`);
      await lp.selectOption('#language', 'en');
      check((await lp.evaluate(() => document.documentElement.lang)) === 'en' && (await lp.textContent('#results-heading')) === 'Results', `${c.locale}: the picker switches to English (lang ${await lp.evaluate(() => document.documentElement.lang)}, heading ${await lp.textContent('#results-heading')})`);
      check((await labels()).includes(byKey.get('u_value').label) && (await u()) === withPoint.replace(',', '.'), `${c.locale}: in English U is "${byKey.get('u_value').label}" ${await u()} (was ${withPoint})`);
      check((await lp.inputValue('#layer-1-thickness')) === '0,25', `${c.locale}: switching keeps the wall as entered: ${await lp.inputValue('#layer-1-thickness')}`);
      check((await lp.$$eval('#zone-totals td.number', (cells) => cells.map((cell) => cell.textContent))).every((text) => !/\d,\d/.test(text)), `${c.locale}: the room's totals print again in English`);
      await lp.reload();
      await lp.waitForSelector('body[data-ready="true"]', { timeout: 30000 });
      check((await lp.evaluate(() => document.documentElement.lang)) === 'en', `${c.locale}: the chosen English outlives a reload`);
      await lp.goto(pageUrl + '?lang=' + c.lang);
      await lp.waitForSelector('body[data-ready="true"]', { timeout: 30000 });
      check((await lp.evaluate(() => document.documentElement.lang)) === c.lang && (await labels()).includes(c.u), `${c.locale}: ?lang=${c.lang} forces the language over the kept choice`);
      check(errors.length === 0, `${c.locale}: console errors: ${errors.join(' | ')}`);
      await localized.close();
    }
  } finally {
    await browser.close();
  }
} finally {
  if (host) {
    host.server.closeAllConnections();
    host.server.close();
  }
  await context.close();
  rmSync(work, { recursive: true, force: true });
}
console.log(failures ? `${failures} check(s) failed` : 'web.browser: all checks passed');
process.exit(failures ? 1 : 0);
