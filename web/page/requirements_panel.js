// The requirements panel of the calculator page: the wall in the form checked against a
// built-in set or a requirements file (TOML), as `brusk check` checks it. The module evaluates
// every rule; the panel shows each verdict with its clause and the values it compared, labelled
// from the quantity list.
(function () {
  'use strict';
  const $ = (id) => document.getElementById(id);
  const i18n = globalThis.bruskI18n;
  const t = i18n.t;
  let checked = false;  // whether the panel has shown something (printed again in another language)
  let opened = null;  // {text, name} of a requirements file the user opened

  function described() {
    const byKey = new Map();
    for (const q of brusk.quantities()) if (q.scope === 'compute') byKey.set(q.key, q);
    return byKey;
  }

  function valueText(quantities, key, value) {
    const q = quantities.get(key);
    if (!q) return key + ' = ' + value;
    const shown = typeof value === 'number' ? i18n.number((value * q.display_scale).toFixed(q.decimals)) : String(value);
    return i18n.label(q) + ' ' + q.symbol_unicode + ' = ' + shown + ' ' + q.display_unit_unicode;
  }

  function cell(row, text, className) {
    const td = document.createElement('td');
    td.textContent = text;  // rule ids, clauses and names are the file's words: text, never markup
    if (className) td.className = className;
    row.appendChild(td);
  }

  function check() {
    const status = $('requirements-status');
    const body = $('requirements-rules');
    body.replaceChildren();
    checked = true;
    const wall = window.bruskCurrentWall ? window.bruskCurrentWall() : null;
    if (!wall) {
      status.textContent = t('enterWall');
      return;
    }
    const choice = $('requirements-set').value;
    const requirements = choice === 'file' && opened ? opened.text : choice;
    try {
      const result = brusk.check(wall, requirements);
      const quantities = described();
      for (const rule of result.rules) {
        const row = document.createElement('tr');
        cell(row, rule.id);
        cell(row, rule.source);
        cell(row, rule.verdict + (rule.class ? ': ' + rule.class : '') +
                  (rule.not_applicable ? ' (' + rule.not_applicable + ')' : ''),
             rule.applicable ? (rule.passed ? 'passed' : 'failed') : 'not-applicable');
        cell(row, Object.entries(rule.values).map(([key, value]) => valueText(quantities, key, value)).join('; '));
        body.appendChild(row);
      }
      status.textContent = t(result.passed ? 'requirements.passed' : 'requirements.failed', { name: result.requirements });
      status.classList.toggle('error', !result.passed);
      document.body.dataset.requirements = JSON.stringify({ passed: result.passed, verdicts: result.rules.map((r) => r.verdict) });
    } catch (error) {
      status.textContent = error.message;
      status.classList.add('error');
    }
  }

  function bind() {
    const select = $('requirements-set');
    for (const set of brusk.requirementSets()) {
      const option = document.createElement('option');
      option.value = set.key;
      option.textContent = set.name;
      option.title = set.source;
      select.appendChild(option);
    }
    select.addEventListener('change', check);
    $('requirements-run').addEventListener('click', check);
    document.addEventListener('brusk-language', () => { if (checked) check(); });
    $('requirements-file').addEventListener('change', (event) => {
      const file = event.target.files && event.target.files[0];
      if (!file) return;
      file.text().then((text) => {
        opened = { text, name: file.name };
        let option = select.querySelector('option[value="file"]');
        if (!option) {
          option = document.createElement('option');
          option.value = 'file';
          select.appendChild(option);
        }
        option.textContent = file.name;
        select.value = 'file';
        check();
      });
    });
  }

  brusk.ready.then(bind);
})();
