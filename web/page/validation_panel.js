// The validation panel of the calculator page: every built-in validation case run by the module,
// as `brusk validate` runs it, one row per published figure (the case, the quantity labelled
// from the quantity list, the figure as printed, Brusk's value, the tolerance and the verdict),
// then each case's source and conventions.
(function () {
  'use strict';
  const $ = (id) => document.getElementById(id);
  const i18n = globalThis.bruskI18n;
  const t = i18n.t;
  let shown = false;  // whether the panel has run (printed again in another language)

  function cell(row, text, className) {
    const td = document.createElement('td');
    td.textContent = text;  // names and sources are the data files' words: text, never markup
    if (className) td.className = className;
    row.appendChild(td);
  }

  /** Brusk's value with two digits more than the figure was printed with. */
  function computedText(figure) {
    if (typeof figure.computed !== 'number') return '–';
    if (figure.tolerance === 0) return i18n.number(String(figure.computed));
    const point = figure.printed.indexOf('.');
    const decimals = point < 0 ? 0 : figure.printed.length - point - 1;
    return i18n.number(figure.computed.toFixed(decimals + 2));
  }

  function run() {
    const status = $('validation-status');
    const figures = $('validation-figures');
    const sources = $('validation-sources');
    figures.replaceChildren();
    sources.replaceChildren();
    shown = true;
    try {
      const result = brusk.validate();
      const byKey = new Map();
      for (const q of brusk.quantities()) byKey.set(q.scope + ' ' + q.key, q);
      const quantityOf = (key) => byKey.get('compute ' + key) || byKey.get('element ' + key) ||
        byKey.get('moisture ' + key) || byKey.get('reference ' + key);
      for (const one of result.cases) {
        for (const figure of one.figures) {
          const row = document.createElement('tr');
          row.dataset.case = one.id;
          const q = quantityOf(figure.quantity);
          cell(row, one.id);
          cell(row, q ? i18n.label(q) + (q.symbol_unicode ? ' ' + q.symbol_unicode : '') : figure.label);
          cell(row, figure.at);
          cell(row, i18n.number(figure.printed), 'number');
          cell(row, computedText(figure), 'number');
          cell(row, i18n.number(String(figure.tolerance)), 'number');
          cell(row, figure.unit);
          cell(row, t(figure.agrees ? 'validation.agrees' : 'validation.differs'), figure.agrees ? 'passed' : 'failed');
          figures.appendChild(row);
        }
        const row = document.createElement('tr');
        cell(row, one.id);
        cell(row, one.source.document + ', ' + one.source.clause + ' (' + one.source.edition + ')');
        cell(row, one.notes + (one.problem ? ' ' + one.problem : ''));
        sources.appendChild(row);
      }
      const summary = result.summary;
      status.textContent = t(summary.all_agree ? 'validation.all' : 'validation.some', summary);
      status.classList.toggle('error', !summary.all_agree);
      document.body.dataset.validation = JSON.stringify({ figures: summary.figures, agree: summary.agree, cases: result.cases.map((c) => c.id) });
    } catch (error) {
      status.textContent = i18n.message(error);
      status.classList.add('error');
    }
  }

  function bind() {
    $('validation-run').addEventListener('click', run);
    document.addEventListener('brusk-language', () => { if (shown) run(); });
  }

  brusk.ready.then(bind);
})();
