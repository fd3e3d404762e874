// The requirements panel of the calculator page: the wall in the form checked against a
// built-in set or a requirements file (TOML), as `brusk check` checks it. The module evaluates
// every rule; the panel shows each verdict with its clause and the values it compared, labelled
// from the quantity list. The wall is the page's whole wall (window.bruskCurrentWall()), so the
// descriptors a rule's conditions read (orientation, site_irradiance) are those the wall gives.
(function () {
  'use strict';
  const $ = (id) => document.getElementById(id);
  const i18n = globalThis.bruskI18n;
  const t = i18n.t;
  let checked = false;  // whether the panel has shown something (printed again in another language)
  let opened = null;  // {text, name} of a requirements file the user opened

  // A test reads the compute numbers, Uc (element) and the moisture results: their descriptions.
  const SCOPES = ['compute', 'element', 'moisture'];

  // The set's verdict, the status line that says it.
  const STATUS = {
    passed: 'requirements.passed',
    failed: 'requirements.failed',
    'nothing checked': 'requirements.nothing',
    'not computable': 'requirements.notComputable',
  };

  function described() {
    const byKey = new Map();
    for (const q of brusk.quantities()) if (SCOPES.includes(q.scope) && !byKey.has(q.key)) byKey.set(q.key, q);
    return byKey;
  }

  /** A value as the description shows it; null (not computed) is said so, never 0. */
  function valueText(quantities, key, value) {
    const q = quantities.get(key);
    const shown = value === null ? t('requirements.notComputed')
      : typeof value === 'boolean' ? String(value)
        : q ? i18n.number((value * q.display_scale).toFixed(q.decimals)) : String(value);
    if (!q) return key + ' = ' + shown;
    const unit = value === null || typeof value === 'boolean' ? '' : ' ' + q.display_unit_unicode;
    return (i18n.label(q) + ' ' + q.symbol_unicode).trim() + ' = ' + shown + unit;
  }

  function cell(row, text, className) {
    const td = document.createElement('td');
    td.textContent = text;  // rule ids, clauses and names are the file's words: text, never markup
    if (className) td.className = className;
    row.appendChild(td);
  }

  function verdictClass(rule) {
    return rule.verdict.replace(' ', '-');  // passed, failed, not-applicable, not-computable
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
        const reason = rule.not_applicable || rule.not_computable;
        cell(row, rule.id);
        cell(row, rule.source);
        cell(row, rule.verdict + (rule.class ? ': ' + rule.class : '') + (reason ? ' (' + reason + ')' : ''),
             verdictClass(rule));
        const values = Object.entries(rule.values).map(([key, value]) => valueText(quantities, key, value));
        cell(row, values.concat(rule.caveats.map((caveat) => '⚠ ' + caveat)).join('; '));
        body.appendChild(row);
      }
      status.textContent = t(STATUS[result.verdict], { name: result.requirements });
      status.classList.toggle('error', result.passed !== true);
      document.body.dataset.requirements = JSON.stringify({
        passed: result.passed, verdict: result.verdict, verdicts: result.rules.map((r) => r.verdict),
      });
    } catch (error) {
      status.textContent = error.message;
      status.classList.add('error');
      document.body.dataset.requirements = JSON.stringify({ error: error.message });
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
