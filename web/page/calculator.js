// The calculator page: keeps the wall as its document (the wall-file keys, every one the form
// does not edit as it came; see wall_document.js), makes its fields from the wall schema, hands
// the document to globalThis.brusk (the WebAssembly engine) on every edit, and prints what comes
// back. No quantity is computed here; the engine's messages are shown at the field they name.
(function () {
  'use strict';
  const brusk = globalThis.brusk;
  const i18n = globalThis.bruskI18n;
  const t = i18n.t;
  const $ = (id) => document.getElementById(id);

  /**
   * The quantities of `brusk compute` the page shows, by key, in reading order; labels, symbols,
   * units and display scales come from the engine's one description (brusk.quantities()).
   */
  const SHOWN_KEYS = [
    'thickness', 'surface_mass', 'thermal_resistance', 'u_value',
    'periodic_thermal_transmittance.modulus', 'decrement_factor',
    'periodic_thermal_transmittance.time_shift', 'periodic_thermal_transmittance.time_lag',
    'internal_admittance.modulus', 'internal_admittance.time_shift',
    'external_admittance.modulus', 'external_admittance.time_shift',
    'internal_areal_heat_capacity', 'external_areal_heat_capacity',
    'sequential_heat_capacity.daily.value', 'sequential_heat_capacity.twelve_day.value',
  ];
  /** The four figures shown first, above the plots: U, f, the time lag and kappa1. */
  const KEY_KEYS = ['u_value', 'decrement_factor', 'periodic_thermal_transmittance.time_lag', 'internal_areal_heat_capacity'];
  let QUANTITIES = [];   // [{key, label, symbol_unicode, display_unit_unicode, display_scale, ...}]
  let PERIOD = null;     // the description of the cycle length
  let MATRIX_QUANTITIES = [];
  let KEY_QUANTITIES = [];
  /** Significant digits shown; the JSON API keeps every digit. */
  const DIGITS = 4;

  let materials = [];
  /** The element quantities (ISO 6946 combined method) shown for a wall with a layer of parts. */
  const ELEMENT_KEYS = ['thermal_resistance_upper', 'thermal_resistance_lower', 'relative_error', 'u_value_corrected'];
  let ELEMENT_QUANTITIES = [];
  let comparison = [];   // [{ wall, result }]
  // linkPending: an edit's address is still to be written (see updateLink).
  // plotsPending: drawings of the last edit are still to come (see redrawPlots).
  const timings = { firstResultMs: null, lastComputeMs: null, lastPlotsMs: null, lastEditMs: null, computes: 0, linkPending: false, plotsPending: false };

  /**
   * The wall schema's editing model (wall_document.js, made from brusk.wallSchema()) and the
   * wall being edited as its table: the document the page was given, every key the form does
   * not edit kept as it came.
   */
  const documents = globalThis.bruskWallDocument;
  let model = null;
  let wallTable = null;
  /** Keys the reader writes into every document (the wall's position, ...): no blank choice. */
  let alwaysGiven = new Set();

  /**
   * What a layer of each kind starts as when it is added, or made that kind without the keys
   * the kind requires: the page's choices (15 % softwood studs in mineral wool, ...).
   */
  const LAYER_STARTS = {
    material: { material: 'concrete-medium-density', thickness: 0.2 },
    properties: { thickness: 0.1, conductivity: 1, density: 1000, specific_heat: 1000 },
    thermal_resistance: { thermal_resistance: 0.18 },
    parts: { thickness: 0.14, parts: [{ material: 'timber-softwood', fraction: 0.15 }, { material: 'insulation-mineral-wool', fraction: 0.85 }] },
    air_gap: { air_gap: 0.05 },
    vapour_control: { sd: 2 },
  };

  /** What a layer of `kind` starts as, named in the page's language where the kind names it (an air gap). */
  function layerStart(kind) {
    const start = documents.copy(LAYER_STARTS[kind]);
    return kind === 'thermal_resistance' ? Object.assign({ name: t('default.airGap') }, start) : start;
  }

  /** The layers' tables, side 1 first. */
  function layers() {
    return wallTable.lists.layers;
  }

  function valueAt(object, path) {
    return path.split('.').reduce((node, key) => (node == null ? undefined : node[key]), object);
  }

  /** A quantity of a result as a person reads it: in its display unit. */
  function shownValue(q, result) {
    const value = valueAt(result, q.key);
    return shown(typeof value === 'number' ? value * q.display_scale : value);
  }

  function unitText(q) {
    return q.display_unit_unicode === '–' ? '–' : q.display_unit_unicode;
  }

  function shown(number) {
    return typeof number === 'number' && Number.isFinite(number) ? i18n.number(String(Number(number.toPrecision(DIGITS)))) : '–';
  }

  /**
   * The text of a field as a wall file writes it: a number when it reads as one (with a decimal
   * point or comma), else the text.
   */
  function fieldValue(text) {
    const trimmed = i18n.decimal(text.trim());
    if (trimmed === '') return undefined;
    const number = Number(trimmed);
    return Number.isFinite(number) && /^[-+]?[0-9.]/.test(trimmed) ? number : trimmed;
  }

  /**
   * The value a field's text gives a key of the schema's `type`; undefined for a blank field,
   * which leaves the key out. A number that does not read goes as its text, for the reader to
   * refuse with its message.
   */
  function valueOfText(type, text) {
    if (type === 'string') return text.trim() || undefined;
    if (type === 'word') return text || undefined;
    if (type === 'boolean') return text === '' ? undefined : text === 'true';
    return fieldValue(text);
  }

  /** The wall in the form: its whole document, keys in the schema's order (null while loading). */
  function currentWall() {
    return wallTable ? model.documentOf(wallTable) : null;
  }

  function periodHours() {
    const value = fieldValue($('wall-period').value);
    return value === undefined ? 24 : value;
  }

  /** Loads a wall document (wall-file keys) into the form. */
  function loadWall(wall) {
    wallTable = model.tableOf(wall, 'wall');
    if (!wallTable.lists.layers) wallTable.lists.layers = [];
    renderWall();
  }

  /** Draws the whole form again from the wall's tables: the wall's fields, layers and tables. */
  function renderWall() {
    renderWallFields();
    renderLayers();
    renderWallTables();
  }

  // ---- fields made from the wall schema ----

  /** A catalogue entry as the page names it: its name and family in the current language. */
  function materialTitle(entry) {
    return `${i18n.material(entry.key, entry.name)} (${i18n.word('family', entry.family)})`;
  }

  function materialInfo(key) {
    const entry = materials.find((m) => m.key === key);
    if (!entry) return key ? t('layer.notInCatalogue') : '';
    const n = i18n.number;
    return `${materialTitle(entry)}: λ = ${n(entry.conductivity)} W/(m·K), ρ = ${n(entry.density)} kg/m³, c = ${n(entry.specific_heat)} J/(kg·K)`;
  }

  /**
   * Shows what the catalogue material of `table` (a layer or a part) gives: its description in
   * `info`, and in each of the group's fields that the material fills, the material's value as
   * the placeholder (a value typed there replaces it).
   */
  function showMaterial(table, group, info) {
    const entry = materials.find((m) => m.key === table.values.material);
    if (info) info.textContent = table.values.material === undefined ? '' : materialInfo(table.values.material);
    for (const input of group.querySelectorAll(':scope > label > input[data-key]')) {
      const fromCatalogue = entry && typeof entry[input.dataset.key] === 'number';
      if (fromCatalogue) input.placeholder = t('layer.catalogueValue', { value: i18n.number(entry[input.dataset.key]) });
      else if (input.dataset.catalogue) input.placeholder = '';
      input.dataset.catalogue = fromCatalogue ? 'true' : '';
    }
  }

  /** The label of key `key` of `object`: the page's words for it and the schema's unit. */
  function fieldLabel(object, key) {
    const words = i18n.field(object, key.key);
    return key.type === 'number' || key.type === 'number_pair' || key.unit ? `${words} [${documents.displayUnit(key.unit)}]` : words;
  }

  /**
   * The field (a label holding its control and its message) of key `key` of `table`, whose JSON
   * pointer is `pointer`: a select for a word or a yes/no, a text field for a number or a text,
   * two for a pair of numbers. Editing it writes the key into the wall's document and computes.
   */
  function fieldsFor(table, key, pointer, onEdit) {
    if (key.type === 'number_pair') return pairFields(table, key, pointer);
    const id = documents.fieldIdOf(`${pointer}/${key.key}`);
    const label = document.createElement('label');
    label.textContent = fieldLabel(table.object, key) + ' ';
    label.title = i18n.description(table.object, key.key, key.description);
    const text = Object.prototype.hasOwnProperty.call(table.texts, key.key) ? table.texts[key.key] : documents.textOf(table.values[key.key]);
    let control;
    if (key.type === 'word' || key.type === 'boolean') {
      control = document.createElement('select');
      const words = key.type === 'boolean' ? ['true', 'false'] : key.words;
      const choices = [...(table.object === 'wall' && alwaysGiven.has(key.key) ? [] : ['']), ...words];
      if (!choices.includes(text)) choices.push(text);  // a word the file gives and the schema lacks stays as it is
      for (const word of choices) {
        const option = document.createElement('option');
        option.value = word;
        option.textContent = word === '' ? i18n.unset(key.key) : i18n.word(key.key, word);
        control.appendChild(option);
      }
      control.value = text;
      control.addEventListener('change', () => edit(control.value));
    } else if (key.type === 'string' || key.type === 'number' || key.type === 'integer') {
      control = document.createElement('input');
      control.type = 'text';
      if (key.type !== 'string') control.inputMode = key.type === 'integer' ? 'numeric' : 'decimal';
      control.value = text;
      control.placeholder = i18n.placeholder(table.object, key.key);
      control.addEventListener('input', () => edit(control.value));
    } else {
      throw new Error(`the page has no field for the wall schema's type "${key.type}" of key ${key.key}`);
    }
    control.id = id;
    control.dataset.key = key.key;
    control.setAttribute('aria-describedby', id + '-error');
    // A blank field (a catalogue value kept, no vapour property) is left out of the print.
    label.classList.toggle('empty', text === '');
    function edit(value) {
      model.setValue(table, key.key, valueOfText(key.type, value), value);
      label.classList.toggle('empty', value === '');
      if (onEdit) onEdit(key.key);
      recompute();
    }
    label.appendChild(control);
    if (key.key === 'material') materialPicker(control);
    label.appendChild(errorSpan(id));
    return [label];
  }

  /** The two fields of a pair of numbers (an air layer's emissivities), "-0" and "-1" after its id. */
  function pairFields(table, key, pointer) {
    const base = documents.fieldIdOf(`${pointer}/${key.key}`);
    const typed = Object.prototype.hasOwnProperty.call(table.texts, key.key) ? table.texts[key.key] : null;
    const given = table.values[key.key];
    const inputs = [];
    return [0, 1].map((n) => {
      const id = `${base}-${n}`;
      const label = document.createElement('label');
      label.textContent = t('pair.item', { label: fieldLabel(table.object, key), n: n + 1 }) + ' ';
      label.title = i18n.description(table.object, key.key, key.description);
      const input = document.createElement('input');
      input.type = 'text';
      input.inputMode = 'decimal';
      input.id = id;
      input.dataset.key = key.key;
      input.value = typed ? typed[n] : documents.textOf(Array.isArray(given) ? given[n] : undefined);
      input.setAttribute('aria-describedby', id + '-error');
      label.classList.toggle('empty', input.value === '');
      inputs.push(input);
      input.addEventListener('input', () => {
        const texts = inputs.map((field) => field.value);
        const values = texts.map((text) => fieldValue(text));
        // Both blank leave the key out; one blank goes as null, which the reader names.
        const value = values.every((v) => v === undefined) ? undefined : values.map((v) => (v === undefined ? null : v));
        model.setValue(table, key.key, value, texts);
        label.classList.toggle('empty', input.value === '');
        recompute();
      });
      label.appendChild(input);
      label.appendChild(errorSpan(id));
      return label;
    });
  }

  /** The wall's own fields (name, position, ..., parts_aligned): every key of the wall that is not a table. */
  function renderWallFields() {
    const holder = $('wall-fields');
    holder.textContent = '';
    for (const key of model.objectKeys('wall')) {
      if (key.type !== 'table' && key.type !== 'tables') holder.append(...fieldsFor(wallTable, key, ''));
    }
  }

  /** The wall's tables (the corrections), each a group of its keys and tables. */
  function renderWallTables() {
    const holder = $('wall-tables');
    holder.textContent = '';
    for (const key of model.objectKeys('wall')) {
      if (key.type === 'table') holder.appendChild(tableFields(wallTable.tables[key.key], key, `/${key.key}`));
    }
  }

  /** A table of the wall (`key` of its parent) as a group named after the key, its keys inside. */
  function tableFields(table, key, pointer) {
    const group = document.createElement('fieldset');
    group.id = documents.fieldIdOf(pointer);
    group.className = 'table-fields';
    const legend = document.createElement('legend');
    legend.textContent = i18n.field(table.parent.object, key.key);
    legend.title = i18n.description(table.parent.object, key.key, key.description);
    group.appendChild(legend);
    let plain = null;
    for (const inner of model.objectKeys(table.object)) {
      if (inner.type === 'table') {
        group.appendChild(tableFields(table.tables[inner.key], inner, `${pointer}/${inner.key}`));
        plain = null;
      } else {
        if (!plain) {
          plain = document.createElement('div');
          plain.className = 'fields';
          group.appendChild(plain);
        }
        plain.append(...fieldsFor(table, inner, pointer));
      }
    }
    return group;
  }

  // ---- the catalogue picker: a combobox whose listbox filters by key, name and family ----

  /** Catalogue entries matching every word of `text` in their key, name or family. */
  function matchingMaterials(text) {
    const words = text.toLowerCase().split(/[\s,]+/).filter(Boolean);
    return materials.filter((entry) => {
      const haystack = `${entry.key} ${entry.name} ${entry.family} ${materialTitle(entry)}`.toLowerCase();
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
    list.setAttribute('aria-label', t('layer.catalogueMaterials'));
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
        option.textContent = `${materialTitle(entry)}: λ ${i18n.number(entry.conductivity)}, ρ ${i18n.number(entry.density)}, c ${i18n.number(entry.specific_heat)}`;
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
   * Keeps the wall's tables on the layers they were written for when layers move or go: a layer
   * number (counted from side 1, as the corrections give it) follows its layer, and one whose
   * layer was removed is left out, so that the engine asks for it instead of correcting another
   * layer. `newIndexOf[old]` is the layer's new index, undefined for a removed one.
   */
  function renumberLayers(newIndexOf) {
    for (const table of model.tablesWithKey(wallTable, 'layer', 'integer')) {
      const number = table.values.layer;
      if (!Number.isInteger(number) || number < 1 || number > newIndexOf.length) continue;
      const moved = newIndexOf[number - 1];
      if (moved !== number - 1) model.setValue(table, 'layer', moved === undefined ? undefined : moved + 1);
    }
  }

  /** The new index of each layer after `reorder` (a change of an array) is applied to the layers. */
  function layerOrderAfter(reorder) {
    const order = layers().map((layer, index) => index);
    reorder(order);
    const newIndexOf = new Array(layers().length);
    order.forEach((old, index) => { newIndexOf[old] = index; });
    return newIndexOf;
  }

  /**
   * Moves layer `from` to position `to`, then puts the focus back on the control `focusKey`
   * (the part of its id after "layer-N-") of the moved layer, or of its other move button when
   * that one is now disabled, and says where the layer went.
   */
  function moveLayer(from, to, focusKey) {
    if (to < 0 || to >= layers().length || from === to) return;
    const move = (list) => list.splice(to, 0, list.splice(from, 1)[0]);
    renumberLayers(layerOrderAfter(move));
    move(layers());
    announce(t('layer.moved', { to: to + 1, n: layers().length }));  // a problem it makes says more
    renderLayers();
    renderWallTables();
    recompute();
    if (focusKey) {
      let target = $(`layer-${to}-${focusKey}`);
      if (target && target.disabled) target = $(`layer-${to}-${focusKey === 'up' ? 'down' : 'up'}`);
      if (target) target.focus();
    }
  }

  function removeLayer(index) {
    renumberLayers(layerOrderAfter((list) => list.splice(index, 1)));
    layers().splice(index, 1);
    announce(t('layer.removed', { i: index + 1, n: layers().length }));
    renderLayers();
    renderWallTables();
    recompute();
    ($(`layer-${Math.min(index, layers().length - 1)}-remove`) || $('add-material')).focus();
  }

  /**
   * Makes `layer` one of `kind`: what it had that the kind does not take is put aside for a
   * switch back, and what the kind requires comes from the layer's catalogue material (a slab
   * of it, by its properties) or else from the kind's start.
   */
  function changeKind(layer, kind) {
    const start = layerStart(kind);
    const material = layer.values.material !== undefined ? layer.values.material : layer.aside && layer.aside.values.material;
    const entry = materials.find((m) => m.key === material);
    if (entry) for (const name of model.kindKeys(kind)) if (typeof entry[name] === 'number') start[name] = entry[name];
    model.changeKind(layer, kind, start);
  }

  /** The kind select of layer `index`, its options the schema's kinds of layer. */
  function kindField(layer, index) {
    const kindLabel = document.createElement('label');
    kindLabel.textContent = t('layer.kind') + ' ';
    const kind = document.createElement('select');
    kind.id = `layer-${index}-kind`;
    for (const described of model.kinds) {
      const option = document.createElement('option');
      option.value = described.name;
      option.textContent = t('kind.' + described.name);
      option.title = i18n.description('kind', described.name, described.description);
      kind.appendChild(option);
    }
    kind.value = layer.kind;
    kind.setAttribute('aria-describedby', kind.id + '-error');
    kind.addEventListener('change', () => {
      changeKind(layer, kind.value);
      renderLayers();
      recompute();
      $(kind.id).focus();
    });
    kindLabel.appendChild(kind);
    kindLabel.appendChild(errorSpan(kind.id));
    return kindLabel;
  }

  /**
   * The fields of `table` (a layer of `keys`, or a part) in a group named `name`, with the
   * catalogue material's description after them.
   */
  function tableGroup(table, keys, pointer, name, className, first) {
    const group = document.createElement('div');
    group.className = className;
    group.setAttribute('role', 'group');
    group.setAttribute('aria-label', name);
    if (first) group.appendChild(first);
    const info = document.createElement('p');
    info.className = 'material-info';
    const onEdit = (key) => { if (key === 'material') showMaterial(table, group, info); };
    for (const key of keys) group.append(...fieldsFor(table, key, pointer, onEdit));
    showMaterial(table, group, info);
    return [group, info];
  }

  /**
   * The list of tables `key` of layer `index` (its parts), each a group of its fields, and the
   * buttons that add a part or remove the last one (a layer of parts keeps two at least).
   */
  function listFields(layer, index, key) {
    const holder = document.createElement('div');
    holder.className = 'parts';
    const list = layer.lists[key.key];
    list.forEach((part, k) => {
      const pointer = `/layers/${index}/${key.key}/${k}`;
      const [group, info] = tableGroup(part, model.objectKeys(key.holds), pointer, t('part.group', { i: index + 1, k: k + 1 }), 'part-fields');
      group.id = documents.fieldIdOf(pointer);
      group.appendChild(info);
      holder.appendChild(group);
    });
    const tools = document.createElement('div');
    tools.className = 'buttons';
    tools.appendChild(button(`layer-${index}-add-part`, t('layer.addPart'), t('layer.addPartTitle', { i: index + 1 }), () => {
      list.push(model.tableOf({}, key.holds, layer, true));
      model.edited(list[list.length - 1]);
      renderLayers();
      recompute();
      $(`layer-${index}-part-${list.length - 1}-material`).focus();
    }));
    const removePart = button(`layer-${index}-remove-part`, t('layer.removePart'), t('layer.removePartTitle', { i: index + 1 }), () => {
      model.edited(list[list.length - 1]);  // while it is still in the list: the parts are the user's now
      list.pop();
      renderLayers();
      recompute();
      $(`layer-${index}-add-part`).focus();
    });
    removePart.disabled = list.length <= 2;
    tools.appendChild(removePart);
    holder.appendChild(tools);
    return holder;
  }

  /**
   * The layer table: per layer its kind and the fields of the keys its kind takes (the wall
   * schema's kinds of layer, keys in the schema's order), a layer of parts' parts, and the
   * buttons that move and remove it.
   */
  function renderLayers() {
    const list = $('layers');
    list.textContent = '';
    layers().forEach((layer, index) => {
      const item = document.createElement('li');
      item.id = `layer-${index}`;
      item.draggable = true;
      item.dataset.index = String(index);
      const pointer = `/layers/${index}`;
      const keys = model.kindKeys(layer.kind).map((name) => model.keyOf('layer', name));
      const [fields, info] = tableGroup(layer, keys.filter((key) => key.type !== 'tables'), pointer, t('layer.group', { i: index + 1 }), 'layer-fields', kindField(layer, index));
      item.appendChild(fields);
      for (const key of keys) if (key.type === 'tables' && layer.lists[key.key]) item.appendChild(listFields(layer, index, key));
      item.appendChild(info);
      const tools = document.createElement('div');
      tools.className = 'buttons';
      const up = button(`layer-${index}-up`, '↑', t('layer.up', { i: index + 1 }), () => moveLayer(index, index - 1, 'up'));
      const down = button(`layer-${index}-down`, '↓', t('layer.down', { i: index + 1 }), () => moveLayer(index, index + 1, 'down'));
      up.disabled = index === 0;
      down.disabled = index === layers().length - 1;
      up.setAttribute('aria-keyshortcuts', 'Alt+ArrowUp');
      down.setAttribute('aria-keyshortcuts', 'Alt+ArrowDown');
      tools.appendChild(up);
      tools.appendChild(down);
      tools.appendChild(button(`layer-${index}-remove`, t('layer.remove'), t('layer.removeTitle', { i: index + 1 }), () => removeLayer(index)));
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

  /** Adds a layer of `kind` on the outer side, as the kind starts, its Kind focused. */
  function addLayer(kind) {
    layers().push(model.tableOf(layerStart(kind), 'layer', wallTable, true));
    renderLayers();
    recompute();
    const first = $(`layer-${layers().length - 1}-kind`);
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
    freshStatus = text !== '';
  }

  /**
   * Whether the status line was set since the last recompute: a line that is older (a move,
   * a save, "The wall computes again.") is no longer news after the next edit and goes.
   */
  let freshStatus = false;

  /**
   * The form field a refusal names by its JSON pointer (see brusk's errors): the field of that
   * key (/layers/1/thickness, /layers/0/parts/1/fraction, /corrections/fasteners/count, the
   * first of a pair); where the form has no field of its own for it, the nearest table it is
   * in: a layer as a whole, or its parts as a whole (fractions that do not sum to 1), at the
   * layer's Kind; a part at its material; a table of the wall (a key missing from it) at its
   * first blank field.
   */
  function fieldOfError(error) {
    if (error.pointer) {
      for (const pointer of documents.pointersUp(error.pointer)) {
        const id = documents.fieldIdOf(pointer);
        const found = $(id) || $(id + '-0');
        if (!found) continue;
        if (found.matches('input, select')) return found;
        // A key missing from a table is most likely its first blank field.
        return $(id + '-kind') || $(id + '-material') || [...found.querySelectorAll('input')].find((input) => input.value === '') || found.querySelector('input, select');
      }
      return null;
    }
    if (error.key === 'period' || error.key === 'periodHours') return $('wall-period');
    return null;
  }

  /** Shows a refusal at the field it names (its key and layer), and in the live region. */
  function showError(error) {
    const message = i18n.message(error);
    const field = fieldOfError(error);
    if (field) {
      field.setAttribute('aria-invalid', 'true');
      const error = $(field.id + '-error');
      if (error) error.textContent = message;
    }
    announce(message, true);
    markStale(true);
  }

  /**
   * Marks the results and the plots as those of the last wall that computed (or, before any
   * did, shows "–"), while the wall as entered is refused.
   */
  function markStale(stale) {
    $('results-section').classList.toggle('stale', stale);
    $('stale-note').hidden = !stale;
    if (stale && timings.firstResultMs === null) {
      for (const cell of document.querySelectorAll('#results td.number, #key-results dd')) cell.textContent = '–';
    }
  }

  /** U, f, the time lag and κ1 with the engine's labels, symbols and units, above the plots. */
  function showKeyResults(result) {
    const list = $('key-results');
    list.textContent = '';
    for (const q of KEY_QUANTITIES) {
      const item = document.createElement('div');
      item.dataset.quantity = q.key;
      // The short label where the language's full term is long ("U-Wert" for
      // "Wärmedurchgangskoeffizient"), the full one as its title; a dimensionless value has no unit.
      const term = document.createElement('dt');
      term.textContent = `${i18n.shortLabel(q)} ${q.symbol_unicode}`;
      term.title = i18n.label(q);
      const value = document.createElement('dd');
      value.textContent = `${shownValue(q, result)} ${i18n.unitAfter(q)}`.trim();
      item.appendChild(term);
      item.appendChild(value);
      list.appendChild(item);
    }
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
    for (const q of [PERIOD, ...QUANTITIES]) row([i18n.label(q), q.symbol_unicode, shownValue(q, result), unitText(q)], q.key);
    if (result.thermal_resistance_upper !== undefined) {
      // A wall of parts: the combined method's limits; its periodic values are the paths'
      // admittances summed by area (the parallel-path approximation).
      for (const q of ELEMENT_QUANTITIES) row([i18n.label(q), q.symbol_unicode, shown(q.display_scale * valueAt(result, q.key)), unitText(q)], q.key);
      row([t('parts.row'), '', t('parts.method'), ''], 'method');
    }
    for (const q of MATRIX_QUANTITIES) {
      const [re, im] = valueAt(result, q.key);
      row([i18n.label(q), q.symbol_unicode, `${shown(re)} ${im < 0 ? '−' : '+'} ${shown(Math.abs(im))} i`, unitText(q)], q.key);
    }
  }

  /**
   * The drawing size for the width `width` [px] of the column: plots one SVG pixel on one CSS
   * pixel, so that their 12 px labels stay 12 px; the section leaves room for its labels.
   */
  function plotLayout(width, idPrefix) {
    const w = Math.max(300, Math.floor(width));
    return { width: w, plotHeight: Math.round(Math.min(300, Math.max(150, w * 0.36))), sectionWidth: Math.max(60, Math.min(520, w - 300)), idPrefix };
  }

  /**
   * The width of the plots' column [px], measured once and again after a resize: reading it on
   * every edit would force a layout of the whole page between the table and the plots.
   */
  let measuredPlotWidth = null;
  function plotWidth() {
    if (measuredPlotWidth === null) measuredPlotWidth = $('plots').clientWidth;
    return measuredPlotWidth;
  }

  const PLOT_FIGURES = [['plot-outdoor', 'outdoor_response'], ['plot-decrement', 'decrement_sweep'], ['plot-lag', 'lag_sweep'], ['plot-indoor', 'indoor_response']];

  /**
   * Sets a figure's drawing, unless it is the one shown: parsing an SVG and laying it out again
   * is most of an edit's time, and many edits (a design temperature, a name the plots do not
   * show) leave some drawings as they are, to the last digit.
   */
  const drawnFigures = new WeakMap();
  function drawFigure(element, svg) {
    if (drawnFigures.get(element) === svg) return;
    element.innerHTML = svg;
    drawnFigures.set(element, svg);
  }

  /**
   * The drawings are made after the edit that asks for them, in the browser's idle time, one
   * module call at a time, the section first, then the responses, then the sweeps (the heaviest,
   * 103 cycle lengths): typing gets the numbers and the key results at once and is never held up
   * by a drawing. Each group is redrawn only when what it shows changed (the section follows the
   * wall, the design temperatures, the width and the language; the responses and sweeps the wall,
   * T, the width and the language), and edits that come faster than the drawings leave only the
   * last wall to draw. brusk.timings.plotsPending says whether a drawing is still to come.
   */
  const drawnKeys = { sections: null, responses: null, sweeps: null };
  let pendingPlots = null;  // { wall, hours, design, width, keys, groups }
  let plotCallback = null;
  const PLOT_GROUPS = ['sections', 'responses', 'sweeps'];
  /** Idle time a callback keeps for the browser after a drawing before it starts another [ms]. */
  const IDLE_MARGIN_MS = 8;

  function whenIdle(callback) {
    return typeof requestIdleCallback === 'function' ? requestIdleCallback(callback, { timeout: 150 }) : setTimeout(() => callback(null), 0);
  }

  /** Asks for the wall's section and plots at T = `hours`, as brusk report draws them. */
  function redrawPlots(wall, hours) {
    // The section carries the steady temperature profile at the design temperatures.
    const design = { indoorTemperature: fieldValue($('design-indoor').value), outdoorTemperature: fieldValue($('design-outdoor').value) };
    const width = plotWidth();
    const named = i18n.drawnWall(wall);
    const keys = {
      sections: JSON.stringify([named, design, width, i18n.language]),
      responses: JSON.stringify([named, hours, width, i18n.language]),
    };
    keys.sweeps = keys.responses;
    const groups = PLOT_GROUPS.filter((group) => drawnKeys[group] !== keys[group]);
    pendingPlots = groups.length ? { wall: named, hours, design, width, keys, groups } : null;
    timings.plotsPending = pendingPlots !== null;
    if (pendingPlots && plotCallback === null) plotCallback = whenIdle(drawPendingPlots);
  }

  /**
   * Draws the pending groups while the idle period lasts (one at least), and asks for another
   * period for the rest.
   */
  function drawPendingPlots(deadline) {
    plotCallback = null;
    while (pendingPlots && pendingPlots.groups.length) {
      drawGroup(pendingPlots, pendingPlots.groups.shift());
      if (!deadline || deadline.didTimeout || deadline.timeRemaining() < IDLE_MARGIN_MS) break;
    }
    if (pendingPlots && pendingPlots.groups.length) {
      plotCallback = whenIdle(drawPendingPlots);
    } else {
      pendingPlots = null;
      timings.plotsPending = false;
    }
  }

  /** Draws one group of the pending drawings into the page. */
  function drawGroup(job, group) {
    const start = performance.now();
    const options = Object.assign({ periodHours: job.hours, only: [group] }, plotLayout(job.width, ''), i18n.plotLocale());
    let plots;
    try {
      if (group !== 'sections') {
        plots = brusk.plots(job.wall, options);
      } else {
        try {
          plots = brusk.plots(job.wall, Object.assign(options, job.design));
        } catch (error) {
          // A design temperature the section cannot take: said at its field, the section drawn
          // without the profile, and tried again on the next edit.
          const field = typeof job.design.indoorTemperature !== 'number' ? $('design-indoor') : $('design-outdoor');
          field.setAttribute('aria-invalid', 'true');
          $(field.id + '-error').textContent = i18n.message(error);
          plots = brusk.plots(job.wall, Object.assign({ periodHours: job.hours, only: [group] }, plotLayout(job.width, ''), i18n.plotLocale()));
          job.keys.sections = null;
        }
      }
    } catch (error) {
      // The wall changed under the drawing (a refused wall keeps the last drawings in view).
      timings.lastPlotsMs = performance.now() - start;
      return;
    }
    if (group === 'sections') {
      drawFigure($('plot-section'), plots.sections.join(''));
    } else {
      for (const [id, key] of PLOT_FIGURES) if (plots[key] !== undefined) drawFigure($(id), plots[key]);
      $('plots').dataset.periodHours = String(job.hours);
    }
    drawnKeys[group] = job.keys[group];
    timings.lastPlotsMs = performance.now() - start;
  }

  /** `value` as JSON in base64url without padding. */
  function base64url(value) {
    const bytes = new TextEncoder().encode(JSON.stringify(value));
    let binary = '';
    for (const byte of bytes) binary += String.fromCharCode(byte);
    return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }

  /** The UTF-8 text of base64url `encoded` (with or without padding); throws saying what is wrong. */
  function fromBase64url(encoded) {
    const padded = encoded.replace(/-/g, '+').replace(/_/g, '/');
    let binary;
    try {
      binary = atob(padded + '='.repeat((4 - (padded.length % 4)) % 4));
    } catch (error) {
      throw new Error(t('link.short'));
    }
    const bytes = Uint8Array.from(binary, (c) => c.charCodeAt(0));
    try {
      return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
    } catch (error) {
      throw new Error(t('link.utf8'));
    }
  }

  /**
   * The address keeps the wall, the compared walls (&compare=) and, when it is not the daily
   * one, the cycle length T [h].
   */
  function updateLink(wall, hours) {
    pendingLink = () => {
      const compared = comparison.length ? '&compare=' + base64url(comparison) : '';
      return '#wall=' + base64url(wall) + compared + (hours === 24 ? '' : '&T=' + encodeURIComponent(String(hours)));
    };
    timings.linkPending = true;
    const wait = linkWrittenAt + LINK_INTERVAL_MS - performance.now();
    if (wait <= 0 && linkTimer === null) flushLink();
    else if (linkTimer === null) linkTimer = setTimeout(() => { linkTimer = null; flushLink(); }, Math.max(0, wait));
  }

  /**
   * The address is written at most once every LINK_INTERVAL_MS: history.replaceState costs
   * milliseconds a call (the browser process records the entry) and Chromium ignores calls past
   * a few hundred in ten seconds, so a burst of edits writes its first wall at once and its last
   * when the interval is over. The copy button and leaving the page write a pending one first.
   */
  const LINK_INTERVAL_MS = 250;
  let linkWrittenAt = -Infinity;
  let pendingLink = null;
  let linkTimer = null;
  function flushLink() {
    if (linkTimer !== null) { clearTimeout(linkTimer); linkTimer = null; }
    if (pendingLink === null) return;
    const hash = pendingLink();
    pendingLink = null;
    timings.linkPending = false;
    if (hash !== location.hash) history.replaceState(null, '', hash);
    linkWrittenAt = performance.now();
  }

  /** The compared walls of the link ([{wall, hours}]), or null without any. */
  function comparisonFromLink() {
    const match = /&compare=([A-Za-z0-9_-]*)/.exec(location.hash);
    if (!match) return null;
    try {
      return JSON.parse(fromBase64url(match[1]));
    } catch (error) {
      return null;
    }
  }

  /** The cycle length of the link, or null. */
  function periodFromLink() {
    const match = /&T=([^&]*)$/.exec(location.hash);
    return match ? decodeURIComponent(match[1]) : null;
  }

  /**
   * The wall of a #wall= link, read and checked by the wall-file reader as `brusk compute`
   * reads a JSON wall file; null without a link. Throws an Error saying what is wrong with the
   * link: characters outside base64url, bytes that are not UTF-8, or the reader's message.
   */
  function wallFromLink() {
    if (!location.hash.startsWith('#wall=')) return null;
    // base64url, with or without its = padding, the compared walls and the cycle length after
    // it (&compare=...&T=168).
    const match = /^#wall=([A-Za-z0-9_-]*)={0,2}(?:&compare=[A-Za-z0-9_-]*)?(?:&T=[^&]*)?$/.exec(location.hash);
    if (!match) throw new Error(t('link.characters'));
    const text = fromBase64url(match[1]);
    return brusk.readWallFile(text, 'json', { source: 'link' });
  }

  /**
   * An error for the next recompute to keep in view (a #wall= link that could not be read, at
   * load): that recompute keeps the address and the error; the next, after a change by the
   * user, computes as usual.
   */
  let heldError = null;

  /** The last result that computed: printed again, still marked stale, in another language. */
  let lastResult = null;

  /**
   * Recomputes the wall in the form and redraws its plots; the times of the compute call, of the
   * plots and of the whole edit are kept in brusk.timings.
   */
  function recompute() {
    const editStart = performance.now();
    const held = heldError;
    heldError = null;
    const fresh = freshStatus;
    freshStatus = false;
    clearErrors();
    const wall = currentWall();
    const hours = periodHours();
    const start = performance.now();
    let result;
    try {
      // In the page's language, so that a refusal names a catalogue layer as the page does.
      result = brusk.compute(i18n.drawnWall(wall), { periodHours: hours });
    } catch (error) {
      showError(error);
      return;
    } finally {
      timings.lastComputeMs = performance.now() - start;
      timings.computes += 1;
    }
    markStale(false);
    lastResult = result;
    showResult(result);
    showKeyResults(result);
    if (timings.firstResultMs === null) timings.firstResultMs = performance.now();
    $('timing').textContent = t('computedIn', { ms: i18n.number(timings.lastComputeMs.toFixed(2)) });
    redrawPlots(wall, hours);
    if (comparisonHours !== hours && comparison.length) renderComparison();
    if (held) {
      announce(held, true);
    } else {
      if ($('status').className === 'error') announce(t('computesAgain'));
      else if (!fresh) announce('');
      freshStatus = false;
      updateLink(wall, hours);
    }
    timings.lastEditMs = performance.now() - editStart;
    document.dispatchEvent(new Event('brusk-wall'));  // the junction panel follows the wall
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
      showError(error);
    }
  }

  const COMPARISON_STORE = 'brusk.comparison';

  /** Keeps the comparison ([{wall, hours}]) in this browser and in the address. */
  function storeComparison() {
    try {
      if (comparison.length) localStorage.setItem(COMPARISON_STORE, JSON.stringify(comparison));
      else localStorage.removeItem(COMPARISON_STORE);
    } catch (error) {
      // Storage refused (private mode, a full quota): the address still keeps it.
    }
    if (location.hash.startsWith('#wall=') && !heldError) updateLink(currentWall(), periodHours());
  }

  function storedComparison() {
    try {
      return JSON.parse(localStorage.getItem(COMPARISON_STORE) || 'null');
    } catch (error) {
      return null;
    }
  }

  /** The cycle length [h] the comparison's plots were drawn at. */
  let comparisonHours = null;

  /**
   * The compared walls as a table (one column per wall, each at its own T, with buttons to move
   * or remove it; a value shown differently from the first wall's is marked) and their sweeps
   * against the cycle length overlaid, marked at the form's T.
   */
  function renderComparison() {
    const holder = $('compare-table');
    holder.textContent = '';
    $('compare-plots').textContent = '';
    comparisonHours = periodHours();
    if (!comparison.length) return;
    const results = comparison.map((c) => { try { return brusk.compute(c.wall, { periodHours: c.hours }); } catch (error) { return null; } });
    const table = document.createElement('table');
    table.id = 'compare-results';
    const head = document.createElement('tr');
    for (const text of [t('col.quantity'), t('col.unit')]) {
      const th = document.createElement('th');
      th.scope = 'col';
      th.textContent = text;
      head.appendChild(th);
    }
    comparison.forEach((c, i) => {
      const th = document.createElement('th');
      th.scope = 'col';
      th.className = 'compare-wall';
      const name = document.createElement('span');
      name.textContent = results[i] ? results[i].name : c.wall.name || t('compare.wall', { i: i + 1 });
      th.appendChild(name);
      const tools = document.createElement('span');
      tools.className = 'compare-tools';
      const left = button(`compare-${i}-left`, '←', t('compare.left', { i: i + 1 }), () => moveCompared(i, i - 1));
      const right = button(`compare-${i}-right`, '→', t('compare.right', { i: i + 1 }), () => moveCompared(i, i + 1));
      left.disabled = i === 0;
      right.disabled = i === comparison.length - 1;
      tools.appendChild(left);
      tools.appendChild(right);
      tools.appendChild(button(`compare-${i}-remove`, '×', t('compare.remove', { i: i + 1 }), () => removeCompared(i)));
      th.appendChild(tools);
      head.appendChild(th);
    });
    table.appendChild(head);
    for (const q of [PERIOD, ...QUANTITIES]) {
      const tr = document.createElement('tr');
      tr.dataset.quantity = q.key;
      const values = results.map((result) => (result ? shownValue(q, result) : '–'));
      [`${i18n.label(q)} ${q.symbol_unicode}`, unitText(q), ...values].forEach((text, i) => {
        const td = document.createElement('td');
        td.textContent = text;
        if (i > 2 && text !== values[0]) {
          td.className = 'differs';
          td.title = t('compare.differs', { name: results[0] ? results[0].name : t('compare.first') });
        }
        tr.appendChild(td);
      });
      table.appendChild(tr);
    }
    holder.appendChild(table);
    try {
      const plots = brusk.plots(comparison.map((c) => i18n.drawnWall(c.wall)), Object.assign({ periodHours: comparisonHours, only: ['sweeps'] }, plotLayout($('compare-plots').clientWidth / (innerWidth > 800 ? 2 : 1) - 8, 'compare-'), i18n.plotLocale()));
      for (const key of ['decrement_sweep', 'lag_sweep']) {
        const figure = document.createElement('figure');
        figure.innerHTML = plots[key];
        $('compare-plots').appendChild(figure);
      }
    } catch (error) {
      // A compared wall the form's T cannot draw: the table says what it can.
    }
  }

  function moveCompared(from, to) {
    const [entry] = comparison.splice(from, 1);
    comparison.splice(to, 0, entry);
    storeComparison();
    renderComparison();
    const target = $(`compare-${to}-${to < from ? 'left' : 'right'}`);
    (target && !target.disabled ? target : $(`compare-${to}-remove`)).focus();
    announce(t('compare.moved', { to: to + 1, n: comparison.length }));
  }

  function removeCompared(index) {
    comparison.splice(index, 1);
    storeComparison();
    renderComparison();
    ($(`compare-${Math.min(index, comparison.length - 1)}-remove`) || $('compare-add')).focus();
    announce(t('compare.removed', { i: index + 1, n: comparison.length }));
  }

  function bind() {
    // The wall's own fields are made from the schema and bound as they are made (fieldsFor).
    for (const id of ['wall-period', 'design-indoor', 'design-outdoor']) $(id).addEventListener('input', recompute);
    $('add-material').addEventListener('click', () => addLayer('material'));
    $('add-custom').addEventListener('click', () => addLayer('properties'));
    $('add-air').addEventListener('click', () => addLayer('thermal_resistance'));
    $('open-file').addEventListener('change', async (event) => {
      const file = event.target.files[0];
      if (!file) return;
      // The bytes as they are: the reader checks the size, the UTF-8 and the wall, as for
      // `brusk compute` (a UTF-16 file is refused, not decoded into something else).
      const bytes = new Uint8Array(await file.arrayBuffer());
      const format = /\.toml$/i.test(file.name) ? 'toml' : 'json';
      guarded(() => { loadWall(brusk.readWallFile(bytes, format, { source: file.name })); recompute(); });
      event.target.value = '';
    });
    const saved = (name) => announce(t('saved', { name }));
    $('save-toml').addEventListener('click', () => guarded(() => { download(fileStem() + '.toml', 'application/toml', brusk.toToml(currentWall())); saved(fileStem() + '.toml'); }));
    $('save-json').addEventListener('click', () => guarded(() => { brusk.compute(currentWall(), { periodHours: periodHours() }); download(fileStem() + '.json', 'application/json', JSON.stringify(currentWall(), null, 2) + '\n'); saved(fileStem() + '.json'); }));
    $('save-report').addEventListener('click', () => guarded(() => { download(fileStem() + '.html', 'text/html', brusk.report(comparison.length ? comparison.map((c) => c.wall) : [currentWall()], { periodHours: periodHours(), title: 'Brusk report' })); saved(fileStem() + '.html'); }));
    addEventListener('pagehide', flushLink);
    $('copy-link').addEventListener('click', () => { flushLink(); if (navigator.clipboard) navigator.clipboard.writeText(location.href).catch(() => {}); announce(t('linkCopied')); });
    $('compare-add').addEventListener('click', () => guarded(() => {
      const wall = currentWall();
      const hours = periodHours();
      brusk.compute(wall, { periodHours: hours });
      comparison.push({ wall, hours });
      storeComparison();
      renderComparison();
    }));
    $('compare-clear').addEventListener('click', () => { comparison = []; storeComparison(); renderComparison(); });
    // Another language: the layers, results and comparison printed again, the wall as it is.
    document.addEventListener('brusk-language', () => {
      renderWall();
      recompute();
      if ($('results-section').classList.contains('stale') && lastResult) { showResult(lastResult); showKeyResults(lastResult); }
      renderComparison();
    });
    let resizeTimer = null;
    addEventListener('resize', () => { clearTimeout(resizeTimer); resizeTimer = setTimeout(() => { measuredPlotWidth = null; recompute(); renderComparison(); }, 100); });
  }

  /**
   * Served over http(s), the page declares its manifest and registers its service worker, so that
   * it installs and opens offline; from file:// neither is possible, and the page works as it is.
   */
  function installable() {
    if (!/^https?:$/.test(location.protocol)) return;
    const manifest = document.createElement('link');
    manifest.rel = 'manifest';
    manifest.href = 'manifest.webmanifest';
    document.head.appendChild(manifest);
    if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
  }

  installable();
  brusk.timings = timings;
  window.bruskCurrentWall = currentWall;  // the whole document, read by the panels
  window.bruskPlotLayout = plotLayout;  // the moisture panel draws at the plots' size too
  brusk.ready.then(() => {
    materials = brusk.materials();
    const described = brusk.quantities().filter((q) => q.scope === 'compute');
    const byKey = new Map(described.map((q) => [q.key, q]));
    QUANTITIES = SHOWN_KEYS.map((key) => byKey.get(key));
    PERIOD = byKey.get('period');
    MATRIX_QUANTITIES = described.filter((q) => q.type === 'complex');
    KEY_QUANTITIES = KEY_KEYS.map((key) => byKey.get(key));
    const elementDescribed = new Map(brusk.quantities().filter((q) => q.scope === 'element').map((q) => [q.key, q]));
    ELEMENT_QUANTITIES = ELEMENT_KEYS.map((key) => elementDescribed.get(key));
    model = documents.create(brusk.wallSchema());
    // The keys the reader fills in for any wall (the smallest one): always in a document.
    alwaysGiven = new Set(Object.keys(brusk.readWallFile('{"layers": [{"thermal_resistance": 1}]}', 'json')));
    const kept = comparisonFromLink() || storedComparison();
    if (Array.isArray(kept)) comparison = kept.filter((c) => c && typeof c === 'object' && c.wall && typeof c.hours === 'number');
    bind();
    let linked = null;
    try {
      linked = wallFromLink();
    } catch (error) {
      // The default wall is shown, but the address keeps the link and the error stays.
      heldError = t('link.unreadable', { message: i18n.message(error) });
    }
    const linkedPeriod = periodFromLink();
    if (linked && linkedPeriod !== null) $('wall-period').value = linkedPeriod;
    loadWall(linked || {
      name: t('default.wall'), position: 'external', heat_flow: 'horizontal',
      layers: [{ material: 'plaster-gypsum', thickness: 0.015 }, { material: 'concrete-medium-density', thickness: 0.2 }, { material: 'insulation-eps', thickness: 0.1 }],
    });
    recompute();
    renderComparison();
    document.body.dataset.ready = 'true';
  });
})();
