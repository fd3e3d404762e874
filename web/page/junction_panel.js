// The junction panel of the calculator page: a corner, a T-junction, a floor slab or a window
// reveal built by the module's templates from the wall in the form (and a second element where
// the template takes one), solved in two dimensions by ISO 10211 as `brusk bridge` solves it, and
// drawn as `brusk report` draws it. The solve runs in a worker (junction_worker.js) so that the
// page stays responsive; a page opened from disk, where browsers start no worker, solves in the
// page after a short pause in the typing. The panel computes nothing itself.
(function () {
  'use strict';
  const $ = (id) => document.getElementById(id);
  const i18n = globalThis.bruskI18n;
  const t = i18n.t;

  const TYPES = ['corner', 't-junction', 'floor-slab', 'window-reveal'];
  /** The second element a template may take besides the form's wall, by its choice's value. */
  const SECOND = {
    slab: { name: 'Concrete floor slab', layers: [{ material: 'concrete-reinforced', thickness: 0.2 }] },
    // examples/partition.json
    partition: {
      name: 'Internal partition', position: 'internal', heat_flow: 'horizontal',
      layers: [{ material: 'plaster-gypsum', thickness: 0.01 }, { material: 'brick-perforated', thickness: 0.115 },
        { material: 'plaster-gypsum', thickness: 0.01 }],
    },
  };
  /** The second elements each template offers, its default first; none: the form's wall alone. */
  const SECOND_CHOICES = { 't-junction': ['partition', 'wall'], 'floor-slab': ['slab', 'wall'] };
  /** The template keys of the dimension fields, and the templates that take them. */
  const DIMENSIONS = [
    { key: 'slab_into_wall', id: 'junction-slab-into', words: 'junction.slabInto', type: 'floor-slab' },
    { key: 'frame_depth', id: 'junction-frame-depth', words: 'junction.frameDepth', type: 'window-reveal' },
    { key: 'frame_offset', id: 'junction-frame-offset', words: 'junction.frameOffset', type: 'window-reveal' },
  ];
  /** The results shown, by key of the quantity description (scope bridge). */
  const KEYS = ['psi', 'coupling_coefficient', 'minimum_surface_temperature.value', 'f_rsi', 'grid.cells', 'grid.last_change'];
  /** Pause after an edit before a solve in the page (not in a worker, which never blocks it) [ms]. */
  const PAGE_PAUSE_MS = 120;

  let quantities = [];
  let worker = null;
  let busy = false;      // a solve is under way
  let pending = null;    // the latest edit not yet sent: {junction, start}
  let nextId = 1;
  let lastResult = null;
  let pageTimer = null;
  const timings = { mode: null, solves: 0, lastSolveMs: null, lastEditMs: null };

  /** A field's text as a junction file writes it: a number when it reads as one, else the text. */
  function fieldValue(text) {
    const trimmed = i18n.decimal(text.trim());
    const number = Number(trimmed);
    return trimmed !== '' && Number.isFinite(number) ? number : trimmed;
  }

  function labelled(words, control) {
    const label = document.createElement('label');
    const span = document.createElement('span');
    span.dataset.i18n = words;
    span.textContent = t(words);
    label.append(span, ' ', control);
    return label;
  }

  function select(id, values, wordsOf) {
    const element = document.createElement('select');
    element.id = id;
    for (const value of values) {
      const option = document.createElement('option');
      option.value = value;
      option.dataset.i18n = wordsOf(value);
      option.textContent = t(wordsOf(value));
      element.appendChild(option);
    }
    return element;
  }

  function textField(id, value) {
    const input = document.createElement('input');
    input.id = id;
    input.type = 'text';
    input.inputMode = 'decimal';
    input.value = value;
    return input;
  }

  /** The panel's fields, built here so that the page's HTML holds only the panel's frame. */
  function buildFields() {
    const fields = $('junction-fields');
    fields.append(
      labelled('junction.type', select('junction-type', TYPES, (type) => 'junction.type.' + type)),
      labelled('junction.second', select('junction-second', ['partition', 'slab', 'wall'], (value) => 'junction.second.' + value)),
      labelled('junction.dimensions', select('junction-dimensions', ['internal', 'external'], (value) => 'junction.dimensions.' + value)),
      labelled('junction.indoor', textField('junction-indoor', '20')),
      labelled('junction.outdoor', textField('junction-outdoor', '0')));
    for (const field of DIMENSIONS) fields.append(labelled(field.words, textField(field.id, '')));
  }

  /** Shows the fields the chosen template takes, and the second elements it offers. */
  function fitFields() {
    const type = $('junction-type').value;
    const choices = SECOND_CHOICES[type] || [];
    const second = $('junction-second');
    second.closest('label').hidden = choices.length === 0;
    for (const option of second.options) option.hidden = !choices.includes(option.value);
    if (choices.length && !choices.includes(second.value)) second.value = choices[0];
    for (const field of DIMENSIONS) $(field.id).closest('label').hidden = field.type !== type;
  }

  /** The junction of the panel: the chosen template over the form's wall, its walls inline. */
  function currentJunction() {
    const wall = window.bruskCurrentWall();
    const type = $('junction-type').value;
    const walls = [wall];
    if (SECOND_CHOICES[type]) {
      const second = $('junction-second').value;
      walls.push(second === 'wall' ? wall : SECOND[second]);
    }
    const template = {
      type, walls, dimensions: $('junction-dimensions').value,
      indoor_temperature: fieldValue($('junction-indoor').value),
      outdoor_temperature: fieldValue($('junction-outdoor').value),
    };
    for (const field of DIMENSIONS) {
      const text = $(field.id).value;
      if (field.type === type && text.trim() !== '') template[field.key] = fieldValue(text);
    }
    return { name: (wall.name || t('junction.wall')) + ': ' + t('junction.type.' + type), junction: template };
  }

  function showRows() {
    const table = $('junction-results');
    table.textContent = '';
    if (lastResult) i18n.quantityRows(table, quantities, lastResult);
  }

  function showStatus() {
    const status = $('junction-status');
    if (!lastResult || timings.lastSolveMs === null) return;
    status.textContent = t('junction.solved', {
      ms: i18n.number(timings.lastSolveMs.toFixed(0)),
      where: t(timings.mode === 'worker' ? 'junction.inWorker' : 'junction.inPage'),
    });
    status.classList.remove('error');
  }

  /** A solve's answer, for the edit that started at `start`. */
  function received(answer, start) {
    busy = false;
    if (answer.ok) {
      lastResult = answer.result;
      $('junction-section').innerHTML = answer.section;  // the module's SVG: every name escaped
      $('junction-field').innerHTML = answer.field;
      showRows();
      timings.solves += 1;
      timings.lastSolveMs = answer.ms;
      timings.lastEditMs = performance.now() - start;
      showStatus();
      document.body.dataset.junction = JSON.stringify({ psi: lastResult.psi, f_rsi: lastResult.f_rsi });
    } else {
      const status = $('junction-status');
      status.textContent = i18n.message(answer);
      status.classList.add('error');
    }
    send();
  }

  function solveInPage(job) {
    const start = performance.now();
    try {
      const plots = brusk.bridgePlots(job.junction, Object.assign({ source: 'junction' }, job.locale));
      received({ ok: true, result: plots.result, section: plots.section, field: plots.field, ms: performance.now() - start }, job.start);
    } catch (error) {
      received({ ok: false, message: error.message, parts: error.parts }, job.start);
    }
  }

  /** Sends the latest edit when no solve is under way: to the worker, or into the page. */
  function send() {
    if (busy || !pending) return;
    const job = pending;
    pending = null;
    busy = true;
    if (worker) {
      const id = nextId++;
      worker.onmessage = (event) => { if (event.data.id === id) received(event.data, job.start); };
      worker.postMessage({ id, junction: job.junction, locale: job.locale });
    } else {
      solveInPage(job);
    }
  }

  /** An edit of the panel or of the wall: solve again, the latest edit winning over older ones. */
  function edited() {
    fitFields();
    let junction;
    try {
      junction = currentJunction();
    } catch (error) {
      return;  // the form is still being built
    }
    pending = { junction, locale: i18n.plotLocale(), start: performance.now() };
    if (worker) {
      send();
    } else {
      clearTimeout(pageTimer);
      pageTimer = setTimeout(send, PAGE_PAUSE_MS);
    }
  }

  /**
   * The worker, served over http(s); from file:// browsers refuse a worker script, and a worker
   * that fails to start hands its work back to the page.
   */
  function startWorker() {
    if (typeof Worker !== 'function' || !/^https?:$/.test(location.protocol)) return null;
    try {
      const started = new Worker('junction_worker.js');
      started.onerror = (event) => {
        event.preventDefault();
        worker = null;
        timings.mode = 'page';
        busy = false;
        edited();
      };
      return started;
    } catch (error) {
      return null;
    }
  }

  function bind() {
    quantities = KEYS.map((key) => brusk.quantities().find((q) => q.scope === 'bridge' && q.key === key));
    buildFields();
    worker = startWorker();
    timings.mode = worker ? 'worker' : 'page';
    const panel = $('junction-fields');
    panel.addEventListener('input', edited);
    panel.addEventListener('change', edited);
    document.addEventListener('brusk-wall', edited);
    // The drawings are in the language's words: a new language solves and draws again.
    document.addEventListener('brusk-language', () => { showRows(); showStatus(); edited(); });
    edited();
  }

  brusk.ready.then(bind);
  // Read by the browser test: the junction sent, the last results, and the times.
  window.bruskJunction = { current: currentJunction, last: () => lastResult, timings };
})();
