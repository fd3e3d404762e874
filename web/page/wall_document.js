// The wall as the page edits it: the document a wall file gives, held as a tree of tables (the
// wall, its layers, their parts, the corrections) that the form's fields write into, so that a
// key the form does not touch goes out exactly as it came in. The keys, their types and order,
// the units and the kinds of layer all come from the wall schema (brusk.wallSchema()); nothing
// here names a key of a wall file.
(function () {
  'use strict';

  /** A deep copy of a JSON value. */
  function copy(value) {
    return value === undefined ? undefined : JSON.parse(JSON.stringify(value));
  }

  function isTable(value) {
    return value !== null && typeof value === 'object' && !Array.isArray(value);
  }

  /**
   * A unit as a file writes it ("m2.K/W", "W/(m.K)") as a person reads it ("m²·K/W",
   * "W/(m·K)"); "–" for a number without one.
   */
  function displayUnit(unit) {
    if (!unit) return '–';
    return unit.replace(/([A-Za-z])2/g, '$1²').replace(/([A-Za-z])3/g, '$1³').replace(/\./g, '·');
  }

  /** The text a field shows for a value of the document: numbers as JavaScript writes them back exactly. */
  function textOf(value) {
    if (value === undefined || value === null) return '';
    if (typeof value === 'string') return value;
    if (typeof value === 'number' || typeof value === 'boolean') return String(value);
    return JSON.stringify(value);
  }

  /**
   * The id of the form field a JSON pointer of the wall names: /layers/1/thickness is
   * "layer-1-thickness", /layers/1/parts/0/fraction "layer-1-part-0-fraction", a pair's second
   * number /layers/4/emissivities/1 "layer-4-emissivities-1", and a key of the wall or of its
   * tables /corrections/air_voids/level "wall-corrections-air-voids-level".
   */
  function fieldIdOf(pointer) {
    const steps = pointer.split('/').slice(1).map((step) => step.replace(/~1/g, '/').replace(/~0/g, '~'));
    if (steps[0] === 'layers' && steps.length >= 2) {
      let id = `layer-${steps[1]}`;
      let rest = steps.slice(2);
      if (rest[0] === 'parts' && rest.length >= 2) {
        id += `-part-${rest[1]}`;
        rest = rest.slice(2);
      }
      return [id, ...rest].join('-');
    }
    return ['wall', ...steps.map((step) => step.replace(/_/g, '-'))].join('-');
  }

  /** The pointers from `pointer` up to the wall's: where a message goes when no field has its own. */
  function pointersUp(pointer) {
    const steps = pointer.split('/');
    const up = [];
    for (let n = steps.length; n > 1; n -= 1) up.push(steps.slice(0, n).join('/'));
    return up;
  }

  /**
   * The editing model for the wall schema `schema` (brusk.wallSchema()): tables made from
   * documents and documents from tables, the kinds of layer, and edits.
   */
  function create(schema) {
    const objects = new Map(schema.objects.map((object) => [object.name, object]));
    const kinds = schema.layer_kinds;
    const described = new Map(schema.objects.map((object) => [object.name, new Map(object.keys.map((key) => [key.key, key]))]));

    function objectKeys(object) {
      const found = objects.get(object);
      if (!found) throw new Error(`the wall schema has no object "${object}"`);
      return found.keys;
    }

    /** The description of key `name` of `object`, or undefined for a key outside the schema. */
    function keyOf(object, name) {
      return described.get(object).get(name);
    }

    /**
     * The table of `object` ("wall", "layer", "part", ...) holding `document`: plain values in
     * `values`, the tables it holds in `tables` (one for every Table key of the schema, empty when
     * the document has none, so that the form can fill it), lists of tables in `lists`, and the
     * text typed into each field that was edited in `texts`. A table the document gives is `kept`
     * as given, even empty, until one of its fields is edited; an item of a list (`inList`: a
     * layer, a part) is always written.
     */
    function tableOf(document, object, parent, inList) {
      // Maps without a prototype: a key named "__proto__" in a document is a key like any other.
      const map = () => Object.create(null);
      const node = { object, values: map(), texts: map(), tables: map(), lists: map(), parent: parent || null, inList: Boolean(inList), kept: document !== undefined, kind: null, started: new Set() };
      const source = isTable(document) ? document : {};
      for (const [name, value] of Object.entries(source)) {
        const key = keyOf(object, name);
        if (key && key.type === 'table' && isTable(value)) continue;
        if (key && key.type === 'tables' && Array.isArray(value)) node.lists[name] = value.map((item) => tableOf(item, key.holds, node, true));
        else node.values[name] = copy(value);
      }
      for (const key of objectKeys(object)) {
        if (key.type === 'table') node.tables[key.key] = tableOf(isTable(source[key.key]) ? source[key.key] : undefined, key.holds, node);
      }
      if (object === 'layer') node.kind = kindOf(node);
      return node;
    }

    /**
     * The document of a table: its keys in the schema's order, any outside the schema (none
     * that a reader passes) after them; undefined for a table neither given nor filled in.
     */
    function documentOf(node) {
      const out = {};
      for (const key of objectKeys(node.object)) {
        const name = key.key;
        if (key.type === 'table') {
          const inner = documentOf(node.tables[name]);
          if (inner !== undefined) out[name] = inner;
          else if (name in node.values) out[name] = copy(node.values[name]);
        } else if (key.type === 'tables' && node.lists[name]) {
          out[name] = node.lists[name].map(documentOf);
        } else if (Object.prototype.hasOwnProperty.call(node.values, name)) {
          out[name] = copy(node.values[name]);
        }
      }
      for (const [name, value] of Object.entries(node.values)) {
        if (!Object.prototype.hasOwnProperty.call(out, name) && !keyOf(node.object, name)) {
          Object.defineProperty(out, name, { value: copy(value), enumerable: true, writable: true, configurable: true });
        }
      }
      if (node.parent && !node.inList && !node.kept && Object.keys(out).length === 0) return undefined;
      return out;
    }

    /** Whether the table has key `name`, as a value or as a list. */
    function has(node, name) {
      return Object.prototype.hasOwnProperty.call(node.values, name) || Object.prototype.hasOwnProperty.call(node.lists, name);
    }

    /**
     * The kind of a layer's table, told apart as a reader tells them: the first kind (in the
     * schema's order) whose required keys it all has; for a layer still being written, the
     * first whose own required key (one no other kind requires) it has.
     */
    function kindOf(node) {
      const complete = kinds.find((kind) => kind.required.every((name) => has(node, name)));
      if (complete) return complete.name;
      const shared = (name) => kinds.filter((kind) => kind.required.includes(name)).length > 1;
      const telling = kinds.find((kind) => kind.required.some((name) => !shared(name) && has(node, name)));
      return (telling || kinds.find((kind) => kind.required.some((name) => has(node, name))) || kinds[0]).name;
    }

    /** The keys a layer of `kind` takes, in the schema's order of a layer's keys. */
    function kindKeys(kind) {
      const found = kinds.find((k) => k.name === kind);
      if (!found) throw new Error(`the wall schema has no layer kind "${kind}"`);
      const taken = new Set([...found.required, ...found.optional]);
      return objectKeys('layer').filter((key) => taken.has(key.key)).map((key) => key.key);
    }

    /**
     * Says that `node` was edited: it and the tables around it are no longer kept as given, and
     * a list it is in is no longer a kind's start (see changeKind).
     */
    function edited(node) {
      for (let n = node; n; n = n.parent) {
        n.kept = false;
        if (n.parent) for (const [name, list] of Object.entries(n.parent.lists)) if (list.includes(n)) n.parent.started.delete(name);
      }
    }

    /**
     * Sets key `name` of the table to `value` (undefined: leaves it out) as typed in `text`
     * (undefined: shown from the value).
     */
    function setValue(node, name, value, text) {
      if (value === undefined) delete node.values[name];
      else node.values[name] = value;
      if (text === undefined) delete node.texts[name];
      else node.texts[name] = text;
      node.started.delete(name);
      edited(node);
    }

    /**
     * Makes a layer's table one of `kind`: keys the kind does not take are put aside (and come
     * back when the layer is made a kind that takes them), and the kind's required keys it lacks
     * are taken from `defaults` (a layer document). Keys taken so and never edited are the
     * kind's start, not the user's: they go with the kind instead of being put aside.
     */
    function changeKind(node, kind, defaults) {
      const taken = new Set(kindKeys(kind));
      const aside = node.aside || (node.aside = { values: Object.create(null), texts: Object.create(null), lists: Object.create(null) });
      const move = (from, to, name) => {
        for (const part of ['values', 'texts', 'lists']) {
          if (Object.prototype.hasOwnProperty.call(from[part], name)) {
            if (to) to[part][name] = from[part][name];
            delete from[part][name];
          }
        }
      };
      for (const name of [...Object.keys(node.values), ...Object.keys(node.lists)]) {
        if (!taken.has(name)) move(node, node.started.has(name) ? null : aside, name);
      }
      node.started.clear();
      for (const name of taken) if (!has(node, name)) move(aside, node, name);
      const required = kinds.find((k) => k.name === kind).required;
      for (const name of required) {
        if (has(node, name) || !defaults || defaults[name] === undefined) continue;
        const key = keyOf('layer', name);
        if (key && key.type === 'tables') node.lists[name] = defaults[name].map((item) => tableOf(item, key.holds, node, true));
        else node.values[name] = copy(defaults[name]);
        node.started.add(name);
      }
      node.kind = kind;
      edited(node);
    }

    /**
     * Every table under `node` (itself included) with a key of `type` named `name`: the
     * corrections' layer numbers, which follow a layer that moves.
     */
    function tablesWithKey(node, name, type) {
      const found = [];
      const key = keyOf(node.object, name);
      if (key && key.type === type) found.push(node);
      for (const inner of Object.values(node.tables)) found.push(...tablesWithKey(inner, name, type));
      return found;
    }

    return { objectKeys, keyOf, tableOf, documentOf, kindOf, kindKeys, setValue, edited, changeKind, tablesWithKey, kinds };
  }

  globalThis.bruskWallDocument = { create, copy, displayUnit, textOf, fieldIdOf, pointersUp };
})();
