// The calculator page: keeps the wall as an object with the wall-file keys, hands it to
// globalThis.brusk (the WebAssembly engine) on every edit, and prints what comes back. No
// quantity is computed here; the engine's messages are shown at the field they name.
(function () {
  'use strict';
  const brusk = globalThis.brusk;
  const $ = (id) => document.getElementById(id);

  /** The quantities of `brusk compute`, as the page shows them: JSON path, name, symbol, unit. */
  const QUANTITIES = [
    ['thickness', 'Thickness', 'd', 'm'],
    ['surface_mass', 'Surface mass', 'm', 'kg/m²'],
    ['thermal_resistance', 'Thermal resistance (surface to surface)', 'R', 'm²·K/W'],
    ['u_value', 'Thermal transmittance', 'U', 'W/(m²·K)'],
    ['periodic_thermal_transmittance.modulus', 'Periodic thermal transmittance', '|Y₁₂|', 'W/(m²·K)'],
    ['decrement_factor', 'Decrement factor', 'f', '–'],
    ['periodic_thermal_transmittance.time_shift', 'Time shift of Y₁₂', 'Δt₁₂', 'h'],
    ['periodic_thermal_transmittance.time_lag', 'Time lag', 'φ', 'h'],
    ['internal_admittance.modulus', 'Internal admittance', '|Y₁₁|', 'W/(m²·K)'],
    ['internal_admittance.time_shift', 'Time shift of Y₁₁', 'Δt₁₁', 'h'],
    ['external_admittance.modulus', 'External admittance', '|Y₂₂|', 'W/(m²·K)'],
    ['external_admittance.time_shift', 'Time shift of Y₂₂', 'Δt₂₂', 'h'],
    ['internal_areal_heat_capacity', 'Internal areal heat capacity', 'κ₁', 'J/(m²·K)'],
    ['external_areal_heat_capacity', 'External areal heat capacity', 'κ₂', 'J/(m²·K)'],
    ['sequential_heat_capacity.daily.value', 'Sequential heat capacity, daily', 'κ_d', 'J/(m²·K)'],
    ['sequential_heat_capacity.twelve_day.value', 'Sequential heat capacity, 12 days', 'κ_12d', 'J/(m²·K)'],
  ];
  const MATRIX = ['z11', 'z12', 'z21', 'z22'];
  const SLAB_KEYS = ['thickness', 'conductivity', 'density', 'specific_heat'];
  /** The properties a catalogue layer may set instead of its material's. */
  const OVERRIDE_KEYS = ['conductivity', 'density', 'specific_heat'];
  const UNITS = { thickness: 'm', conductivity: 'W/(m·K)', density: 'kg/m³', specific_heat: 'J/(kg·K)', thermal_resistance: 'm²·K/W' };
  const LABELS = { thickness: 'd', conductivity: 'λ', density: 'ρ', specific_heat: 'c', thermal_resistance: 'R' };

  /** Significant digits shown; the JSON API keeps every digit. */
  const DIGITS = 4;

  let materials = [];
  let layers = [];       // each { kind: 'material'|'custom'|'air', fields: {key: text} }
  let comparison = [];   // [{ wall, result }]
  const timings = { firstResultMs: null, lastComputeMs: null, computes: 0 };

  function valueAt(object, path) {
    return path.split('.').reduce((node, key) => (node == null ? undefined : node[key]), object);
  }

  function shown(number) {
    return typeof number === 'number' && Number.isFinite(number) ? String(Number(number.toPrecision(DIGITS))) : '–';
  }

  /** The text of a field as a wall file writes it: a number when it reads as one, else the text. */
  function fieldValue(text) {
    const trimmed = text.trim();
    if (trimmed === '') return undefined;
    const number = Number(trimmed);
    return Number.isFinite(number) && /^[-+]?[0-9.]/.test(trimmed) ? number : trimmed;
  }

  /** The wall in the form, as an object with the wall-file keys. */
  function currentWall() {
    const wall = { name: $('wall-name').value, position: $('wall-position').value, heat_flow: $('wall-heat-flow').value };
    for (const key of ['rsi', 'rse']) {
      const value = fieldValue($('wall-' + key).value);
      if (value !== undefined) wall[key] = value;
    }
    wall.layers = layers.map((layer) => {
      const out = {};
      // The family (the drawing's colour) is not edited here, only kept from the file.
      // A catalogue layer keeps the property overrides a file may give it (blank: the catalogue's).
      const keys = layer.kind === 'material' ? ['name', 'material', 'thickness', ...OVERRIDE_KEYS, 'family']
        : layer.kind === 'air' ? ['name', 'thermal_resistance', 'family'] : ['name', ...SLAB_KEYS, 'family'];
      for (const key of keys) {
        const text = layer.fields[key] || '';
        const value = ['name', 'material', 'family'].includes(key) ? (text.trim() || undefined) : fieldValue(text);
        if (value !== undefined) out[key] = value;
      }
      return out;
    });
    return wall;
  }

  function periodHours() {
    const value = fieldValue($('wall-period').value);
    return value === undefined ? 24 : value;
  }

  /** Loads a wall object (wall-file keys) into the form. */
  function loadWall(wall) {
    $('wall-name').value = wall.name || '';
    $('wall-position').value = wall.position || 'external';
    $('wall-heat-flow').value = wall.heat_flow || 'horizontal';
    $('wall-rsi').value = wall.rsi === undefined ? '' : String(wall.rsi);
    $('wall-rse').value = wall.rse === undefined ? '' : String(wall.rse);
    layers = (wall.layers || []).map((layer) => {
      const kind = layer.material !== undefined ? 'material' : layer.thermal_resistance !== undefined ? 'air' : 'custom';
      const fields = {};
      for (const [key, value] of Object.entries(layer)) fields[key] = String(value);
      return { kind, fields };
    });
    renderLayers();
  }

  // ---- the layer table ----

  function materialInfo(key) {
    const entry = materials.find((m) => m.key === key);
    if (!entry) return key ? 'not in the catalogue' : '';
    return `${entry.name} (${entry.family}): λ = ${entry.conductivity} W/(m·K), ρ = ${entry.density} kg/m³, c = ${entry.specific_heat} J/(kg·K)`;
  }

  function inputFor(index, key, labelText) {
    const id = `layer-${index}-${key}`;
    const label = document.createElement('label');
    label.textContent = labelText + ' ';
    const input = document.createElement('input');
    input.id = id;
    input.type = 'text';
    input.dataset.layer = String(index);
    input.dataset.key = key;
    if (key !== 'name' && key !== 'material') input.inputMode = 'decimal';
    input.value = layers[index].fields[key] || '';
    input.setAttribute('aria-describedby', id + '-error');
    input.addEventListener('input', () => {
      layers[index].fields[key] = input.value;
      if (key === 'material') input.closest('li').querySelector('.material-info').textContent = materialInfo(input.value);
      recompute();
    });
    label.appendChild(input);
    if (key === 'material') materialPicker(input);
    label.appendChild(errorSpan(id));
    return label;
  }

  // ---- the catalogue picker: a combobox whose listbox filters by key, name and family ----

  /** Catalogue entries matching every word of `text` in their key, name or family. */
  function matchingMaterials(text) {
    const words = text.toLowerCase().split(/[\s,]+/).filter(Boolean);
    return materials.filter((entry) => {
      const haystack = `${entry.key} ${entry.name} ${entry.family}`.toLowerCase();
      return words.every((word) => haystack.includes(word));
    });
  }

  /**
   * Makes `input` a combobox (ARIA 1.2 list autocomplete): typing filters a listbox of
   * catalogue materials below it; ↓/↑ move the active option (aria-activedescendant), Enter
   * takes it, Escape closes the list; a click takes an option. The input keeps the material key.
   * The list hangs from the layer's item, the width of the layer, outside the label (whose text
   * names the input).
   */
  function materialPicker(input) {
    const list = document.createElement('ul');
    list.id = input.id + '-options';
    list.className = 'material-options';
    list.setAttribute('role', 'listbox');
    list.setAttribute('aria-label', 'Catalogue materials');
    list.hidden = true;
    input.setAttribute('role', 'combobox');
    input.setAttribute('aria-autocomplete', 'list');
    input.setAttribute('aria-controls', list.id);
    input.setAttribute('aria-expanded', 'false');
    input.autocomplete = 'off';
    let shown = [];
    let active = -1;

    function setActive(index) {
      active = index;
      [...list.children].forEach((option, i) => option.setAttribute('aria-selected', String(i === index)));
      if (index < 0) {
        input.removeAttribute('aria-activedescendant');
      } else {
        input.setAttribute('aria-activedescendant', list.children[index].id);
        list.children[index].scrollIntoView({ block: 'nearest' });
      }
    }
    function close() {
      list.hidden = true;
      input.setAttribute('aria-expanded', 'false');
      setActive(-1);
    }
    function open() {
      if (!list.isConnected) input.closest('li').appendChild(list);
      list.style.top = `${input.offsetTop + input.offsetHeight}px`;
      const exact = materials.some((entry) => entry.key === input.value);
      shown = matchingMaterials(exact ? '' : input.value);
      list.textContent = '';
      shown.forEach((entry, i) => {
        const option = document.createElement('li');
        option.id = `${list.id}-${i}`;
        option.setAttribute('role', 'option');
        option.dataset.key = entry.key;
        option.textContent = `${entry.name} (${entry.family}): λ ${entry.conductivity}, ρ ${entry.density}, c ${entry.specific_heat}`;
        // mousedown, not click: the input keeps the focus, so no blur closes the list first.
        option.addEventListener('mousedown', (event) => { event.preventDefault(); take(i); });
        list.appendChild(option);
      });
      list.hidden = shown.length === 0;
      input.setAttribute('aria-expanded', String(!list.hidden));
      setActive(-1);
    }
    function take(index) {
      input.value = shown[index].key;
      close();
      input.dispatchEvent(new Event('input'));
    }
    input.addEventListener('input', (event) => { if (event.isTrusted) open(); });
    input.addEventListener('blur', close);
    input.addEventListener('keydown', (event) => {
      if (event.altKey) return;  // Alt+arrows move the layer
      if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
        event.preventDefault();
        if (list.hidden) open();
        if (!shown.length) return;
        const step = event.key === 'ArrowDown' ? 1 : -1;
        setActive(active < 0 ? (step > 0 ? 0 : shown.length - 1) : (active + step + shown.length) % shown.length);
      } else if (event.key === 'Enter' && !list.hidden && active >= 0) {
        event.preventDefault();
        take(active);
      } else if (event.key === 'Escape' && !list.hidden) {
        event.preventDefault();
        close();
      }
    });
  }

  /** The message of the field `id`: named by its aria-describedby, announced by #status. */
  function errorSpan(id) {
    const error = document.createElement('span');
    error.className = 'field-error';
    error.id = id + '-error';
    return error;
  }

  function button(id, text, title, action) {
    const b = document.createElement('button');
    b.id = id;
    b.type = 'button';
    b.textContent = text;
    b.title = title;
    b.setAttribute('aria-label', title);
    b.addEventListener('click', action);
    return b;
  }

  /**
   * Moves layer `from` to position `to`, then puts the focus back on the control `focusKey`
   * (the part of its id after "layer-N-") of the moved layer, or of its other move button when
   * that one is now disabled, and says where the layer went.
   */
  function moveLayer(from, to, focusKey) {
    if (to < 0 || to >= layers.length || from === to) return;
    const [layer] = layers.splice(from, 1);
    layers.splice(to, 0, layer);
    announce(`Layer moved to position ${to + 1} of ${layers.length}.`);  // a problem it makes says more
    renderLayers();
    recompute();
    if (focusKey) {
      let target = $(`layer-${to}-${focusKey}`);
      if (target && target.disabled) target = $(`layer-${to}-${focusKey === 'up' ? 'down' : 'up'}`);
      if (target) target.focus();
    }
  }

  function removeLayer(index) {
    layers.splice(index, 1);
    announce(`Layer ${index + 1} removed; ${layers.length} left.`);
    renderLayers();
    recompute();
    ($(`layer-${Math.min(index, layers.length - 1)}-remove`) || $('add-material')).focus();
  }

  function renderLayers() {
    const list = $('layers');
    list.textContent = '';
    layers.forEach((layer, index) => {
      const item = document.createElement('li');
      item.draggable = true;
      item.dataset.index = String(index);
      const kindLabel = document.createElement('label');
      kindLabel.textContent = 'Kind ';
      const kind = document.createElement('select');
      kind.id = `layer-${index}-kind`;
      for (const [value, text] of [['material', 'catalogue material'], ['custom', 'custom properties'], ['air', 'air layer / resistance']]) {
        const option = document.createElement('option');
        option.value = value;
        option.textContent = text;
        kind.appendChild(option);
      }
      kind.value = layer.kind;
      kind.setAttribute('aria-describedby', kind.id + '-error');
      kind.addEventListener('change', () => { layer.kind = kind.value; renderLayers(); recompute(); $(kind.id).focus(); });
      kindLabel.appendChild(kind);
      kindLabel.appendChild(errorSpan(kind.id));
      const fields = document.createElement('div');
      fields.className = 'layer-fields';
      fields.setAttribute('role', 'group');
      fields.setAttribute('aria-label', `Layer ${index + 1}`);
      fields.appendChild(kindLabel);
      fields.appendChild(inputFor(index, 'name', 'Name'));
      if (layer.kind === 'material') {
        fields.appendChild(inputFor(index, 'material', 'Material'));
        fields.appendChild(inputFor(index, 'thickness', `d [m]`));
        for (const key of OVERRIDE_KEYS) {
          const override = inputFor(index, key, `${LABELS[key]} [${UNITS[key]}]`);
          override.querySelector('input').placeholder = 'catalogue';
          fields.appendChild(override);
        }
      } else if (layer.kind === 'air') {
        fields.appendChild(inputFor(index, 'thermal_resistance', `R [${UNITS.thermal_resistance}]`));
      } else {
        for (const key of SLAB_KEYS) fields.appendChild(inputFor(index, key, `${LABELS[key]} [${UNITS[key]}]`));
      }
      item.appendChild(fields);
      const info = document.createElement('p');
      info.className = 'material-info';
      if (layer.kind === 'material') info.textContent = materialInfo(layer.fields.material || '');
      item.appendChild(info);
      const tools = document.createElement('div');
      tools.className = 'buttons';
      const up = button(`layer-${index}-up`, '↑', `Move layer ${index + 1} inward`, () => moveLayer(index, index - 1, 'up'));
      const down = button(`layer-${index}-down`, '↓', `Move layer ${index + 1} outward`, () => moveLayer(index, index + 1, 'down'));
      up.disabled = index === 0;
      down.disabled = index === layers.length - 1;
      up.setAttribute('aria-keyshortcuts', 'Alt+ArrowUp');
      down.setAttribute('aria-keyshortcuts', 'Alt+ArrowDown');
      tools.appendChild(up);
      tools.appendChild(down);
      tools.appendChild(button(`layer-${index}-remove`, 'Remove', `Remove layer ${index + 1}`, () => removeLayer(index)));
      item.appendChild(tools);
      // Alt+↑ / Alt+↓ anywhere in the layer moves it, the focus staying in the same control.
      item.addEventListener('keydown', (event) => {
        if (!event.altKey || (event.key !== 'ArrowUp' && event.key !== 'ArrowDown')) return;
        event.preventDefault();
        const focused = document.activeElement && document.activeElement.id.startsWith(`layer-${index}-`) ? document.activeElement.id.slice(`layer-${index}-`.length) : 'kind';
        moveLayer(index, index + (event.key === 'ArrowUp' ? -1 : 1), focused);
      });
      item.addEventListener('dragstart', (event) => { event.dataTransfer.setData('text/plain', String(index)); item.classList.add('dragging'); });
      item.addEventListener('dragend', () => item.classList.remove('dragging'));
      item.addEventListener('dragover', (event) => event.preventDefault());
      item.addEventListener('drop', (event) => { event.preventDefault(); moveLayer(Number(event.dataTransfer.getData('text/plain')), index); });
      list.appendChild(item);
    });
  }

  function addLayer(kind) {
    const defaults = {
      material: { material: 'concrete-medium-density', thickness: '0.2' },
      custom: { thickness: '0.1', conductivity: '1', density: '1000', specific_heat: '1000' },
      air: { name: 'Air gap', thermal_resistance: '0.18' },
    };
    layers.push({ kind, fields: Object.assign({}, defaults[kind]) });
    renderLayers();
    recompute();
    const first = $(`layer-${layers.length - 1}-kind`);
    if (first) first.focus();
  }

  // ---- computing and showing ----

  function clearErrors() {
    for (const element of document.querySelectorAll('.field-error')) element.textContent = '';
    for (const element of document.querySelectorAll('[aria-invalid]')) element.removeAttribute('aria-invalid');
  }

  /**
   * Says `text` in the polite live region, once: the same text again (an edit that leaves the
   * same problem) is not repeated to a screen reader.
   */
  function announce(text, isError) {
    const status = $('status');
    if (status.textContent !== text) status.textContent = text;
    status.className = isError ? 'error' : '';
  }

  /** The form field an engine message names: "layer N ... <key> must ..." or a wall key. */
  function fieldOfMessage(message) {
    if (/--period|period/.test(message) && !/layer \d+/.test(message)) return $('wall-period');
    const layer = /layer (\d+)/.exec(message);
    if (layer) {
      const index = Number(layer[1]) - 1;
      const after = message.slice(layer.index);
      for (const key of ['thermal_resistance', 'specific_heat', 'conductivity', 'density', 'thickness', 'material']) {
        if (after.includes(key) || (key === 'specific_heat' && after.includes('specific heat')) || (key === 'thermal_resistance' && after.includes('thermal resistance'))) {
          const input = $(`layer-${index}-${key}`);
          if (input) return input;
        }
      }
      return $(`layer-${index}-kind`);
    }
    if (/\brsi\b/.test(message)) return $('wall-rsi');
    if (/\brse\b/.test(message)) return $('wall-rse');
    return null;
  }

  function showError(message) {
    const field = fieldOfMessage(message);
    if (field) {
      field.setAttribute('aria-invalid', 'true');
      const error = $(field.id + '-error');
      if (error) error.textContent = message;
    }
    announce(message, true);
    for (const cell of document.querySelectorAll('#results td.number')) cell.textContent = '–';
  }

  function showResult(result) {
    const body = document.querySelector('#results tbody');
    body.textContent = '';
    const row = (cells, id) => {
      const tr = document.createElement('tr');
      cells.forEach((text, i) => {
        const cell = document.createElement(i === 0 ? 'th' : 'td');
        if (i === 0) cell.scope = 'row';
        if (i === 2) { cell.className = 'number'; if (id) cell.dataset.quantity = id; }
        cell.textContent = text;
        tr.appendChild(cell);
      });
      body.appendChild(tr);
    };
    row(['Cycle length', 'T', shown(result.period / 3600), 'h'], 'period');
    for (const [path, name, symbol, unit] of QUANTITIES) row([name, symbol, shown(valueAt(result, path)), unit], path);
    for (const z of MATRIX) {
      const [re, im] = result.transfer_matrix[z];
      row([`Transfer matrix element ${z}`, `Z${z.slice(1)}`, `${shown(re)} ${im < 0 ? '−' : '+'} ${shown(Math.abs(im))} i`, ''], 'transfer_matrix.' + z);
    }
  }

  let plotTimer = null;
  function redrawPlots(wall, hours) {
    clearTimeout(plotTimer);
    plotTimer = setTimeout(() => {
      try {
        $('plots').srcdoc = brusk.report([wall], { periodHours: hours, title: wall.name || 'Wall' });
      } catch (error) {
        $('plots').srcdoc = '';
      }
    }, 0);
  }

  function updateLink(wall) {
    const bytes = new TextEncoder().encode(JSON.stringify(wall));
    let binary = '';
    for (const byte of bytes) binary += String.fromCharCode(byte);
    const encoded = btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
    history.replaceState(null, '', '#wall=' + encoded);
  }

  function wallFromLink() {
    const match = /^#wall=([A-Za-z0-9_-]*)$/.exec(location.hash);
    if (!match) return null;
    const padded = match[1].replace(/-/g, '+').replace(/_/g, '/');
    const binary = atob(padded + '='.repeat((4 - (padded.length % 4)) % 4));
    const bytes = Uint8Array.from(binary, (c) => c.charCodeAt(0));
    return JSON.parse(new TextDecoder().decode(bytes));
  }

  /** Recomputes the wall in the form; the time of the compute call is kept in brusk.timings. */
  function recompute() {
    clearErrors();
    const wall = currentWall();
    const hours = periodHours();
    const start = performance.now();
    let result;
    try {
      result = brusk.compute(wall, { periodHours: hours });
    } catch (error) {
      showError(error.message);
      return;
    } finally {
      timings.lastComputeMs = performance.now() - start;
      timings.computes += 1;
    }
    showResult(result);
    if (timings.firstResultMs === null) timings.firstResultMs = performance.now();
    $('timing').textContent = `Computed in ${timings.lastComputeMs.toFixed(2)} ms.`;
    if ($('status').className === 'error') announce('The wall computes again.');
    updateLink(wall);
    redrawPlots(wall, hours);
  }

  // ---- files, comparison ----

  function download(name, type, text) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([text], { type }));
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
  }

  function fileStem() {
    return ($('wall-name').value.trim() || 'wall').replace(/[^A-Za-z0-9._-]+/g, '-');
  }

  function guarded(action) {
    try {
      action();
    } catch (error) {
      showError(error.message);
    }
  }

  function renderComparison() {
    const holder = $('compare-table');
    holder.textContent = '';
    if (!comparison.length) return;
    const table = document.createElement('table');
    const head = document.createElement('tr');
    for (const text of ['Quantity', 'Unit', ...comparison.map((c) => c.result.name)]) {
      const th = document.createElement('th');
      th.scope = 'col';
      th.textContent = text;
      head.appendChild(th);
    }
    table.appendChild(head);
    for (const [path, name, symbol, unit] of QUANTITIES) {
      const tr = document.createElement('tr');
      for (const text of [`${name} ${symbol}`, unit, ...comparison.map((c) => shown(valueAt(c.result, path)))]) {
        const td = document.createElement('td');
        td.textContent = text;
        tr.appendChild(td);
      }
      table.appendChild(tr);
    }
    holder.appendChild(table);
  }

  function bind() {
    for (const id of ['wall-name', 'wall-rsi', 'wall-rse', 'wall-period']) $(id).addEventListener('input', recompute);
    for (const id of ['wall-position', 'wall-heat-flow']) $(id).addEventListener('change', recompute);
    $('add-material').addEventListener('click', () => addLayer('material'));
    $('add-custom').addEventListener('click', () => addLayer('custom'));
    $('add-air').addEventListener('click', () => addLayer('air'));
    $('open-file').addEventListener('change', async (event) => {
      const file = event.target.files[0];
      if (!file) return;
      const text = await file.text();
      const format = /\.toml$/i.test(file.name) ? 'toml' : 'json';
      guarded(() => { loadWall(brusk.readWallFile(text, format, { source: file.name })); recompute(); });
      event.target.value = '';
    });
    $('save-toml').addEventListener('click', () => guarded(() => download(fileStem() + '.toml', 'application/toml', brusk.toToml(currentWall()))));
    $('save-json').addEventListener('click', () => guarded(() => { brusk.compute(currentWall(), { periodHours: periodHours() }); download(fileStem() + '.json', 'application/json', JSON.stringify(currentWall(), null, 2) + '\n'); }));
    $('save-report').addEventListener('click', () => guarded(() => download(fileStem() + '.html', 'text/html', brusk.report(comparison.length ? comparison.map((c) => c.wall) : [currentWall()], { periodHours: periodHours(), title: 'Brusk report' }))));
    $('copy-link').addEventListener('click', () => { if (navigator.clipboard) navigator.clipboard.writeText(location.href).catch(() => {}); announce('The address of this page now reproduces the wall.'); });
    $('compare-add').addEventListener('click', () => guarded(() => { const wall = currentWall(); comparison.push({ wall, result: brusk.compute(wall, { periodHours: periodHours() }) }); renderComparison(); }));
    $('compare-clear').addEventListener('click', () => { comparison = []; renderComparison(); });
  }

  brusk.timings = timings;
  window.bruskCurrentWall = currentWall;  // read by moisture_panel.js
  brusk.ready.then(() => {
    materials = brusk.materials();
    bind();
    let linked = null;
    try {
      linked = wallFromLink();
    } catch (error) {
      announce('The #wall= link could not be read: ' + error.message, true);
    }
    loadWall(linked || {
      name: 'Insulated concrete', position: 'external', heat_flow: 'horizontal',
      layers: [{ material: 'plaster-gypsum', thickness: 0.015 }, { material: 'concrete-medium-density', thickness: 0.2 }, { material: 'insulation-eps', thickness: 0.1 }],
    });
    recompute();
    document.body.dataset.ready = 'true';
  });
})();
