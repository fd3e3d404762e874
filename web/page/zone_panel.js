// The room panel of the calculator page: a room whose enclosing elements are the wall in the
// form (its area given here) and, optionally, compared walls, computed by the module as
// `brusk zone` computes a zone file; the panel prints the room's totals with the labels and
// units of the quantity description.
(function () {
  'use strict';
  const $ = (id) => document.getElementById(id);
  const i18n = globalThis.bruskI18n;
  let ran = false;  // whether the panel has shown something (printed again in another language)
  let totals = [];

  /**
   * A field's text as a zone file writes it: a number when it reads as one (with a decimal
   * point or comma), else the text.
   */
  function fieldValue(text) {
    const trimmed = i18n.decimal(text.trim());
    const number = Number(trimmed);
    return trimmed !== '' && Number.isFinite(number) ? number : trimmed;
  }

  /** The zone object of the panel: the form's wall as its one element. */
  function currentZone() {
    const wall = window.bruskCurrentWall();
    // The element is the whole wall (its surface resistances, parts and corrections included:
    // an element takes every key of a wall), with the area of the panel.
    const element = Object.assign({ name: wall.name || 'Wall', area: fieldValue($('zone-wall-area').value) }, wall);
    element.name = wall.name || 'Wall';
    return {
      name: 'Room', floor_area: fieldValue($('zone-floor-area').value),
      heat_transfer_coefficient: fieldValue($('zone-h').value), elements: [element],
    };
  }

  function run() {
    const status = $('zone-status');
    const table = $('zone-totals');
    ran = true;
    table.textContent = '';
    try {
      const result = brusk.zone(currentZone(), { source: 'room' });
      i18n.quantityRows(table, totals, result);
      status.textContent = '';
      status.classList.remove('error');
    } catch (error) {
      status.textContent = i18n.message(error);
      status.classList.add('error');
    }
  }

  brusk.ready.then(() => {
    totals = brusk.quantities().filter((q) => q.scope === 'zone' && q.key.startsWith('totals.'));
    $('zone-run').addEventListener('click', run);
    document.addEventListener('brusk-language', () => { if (ran) run(); });
  });
  window.bruskCurrentZone = currentZone;  // read by the browser test
})();
