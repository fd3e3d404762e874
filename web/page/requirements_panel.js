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
  const builtIn = new Set();  // the keys of the built-in sets
  let currentSet = null;  // the key of the set shown (or 'file')

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
      : typeof value === 'boolean' ? i18n.own(i18n.language, `value.${value}`) || String(value)
        : q ? i18n.number((value * q.display_scale).toFixed(q.decimals)) : String(value);
    if (!q) return key + ' = ' + shown;
    const unit = value === null || typeof value === 'boolean' ? '' : i18n.unitAfter(q);
    return `${i18n.label(q)} ${q.symbol_unicode} = ${shown} ${unit}`.trim();
  }

  /**
   * A word of a built-in set (its name, a rule's id or clause) in the page's language, else as
   * the set gives it; a requirements file of one's own is shown in its own words.
   */
  function setWord(kind, key, given) {
    return builtIn.has(currentSet) ? i18n.own(i18n.language, `requirements.${kind}.${key}`) || given : given;
  }

  /**
   * A rule's verdict (passed, failed, not applicable, not computable) with the class found and
   * why; why a rule does not apply is worded by key, why a value is not computable in the
   * module's English.
   */
  function verdictText(rule) {
    let text = i18n.t(`verdict.${rule.verdict}`);
    if (text === `verdict.${rule.verdict}`) text = rule.verdict;
    if (rule.class) text = i18n.t('verdict.class', { verdict: text, class: rule.class });
    if (rule.not_applicable) {
      const reason = rule.not_applicable_parts ? i18n.message({ parts: rule.not_applicable_parts }) : rule.not_applicable;
      text = i18n.t('verdict.reason', { verdict: text, reason });
    } else if (rule.not_computable) {
      text = i18n.t('verdict.reason', { verdict: text, reason: rule.not_computable });
    }
    return text;
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
    currentSet = choice;
    try {
      const result = brusk.check(i18n.drawnWall(wall), requirements);
      const quantities = described();
      for (const rule of result.rules) {
        const row = document.createElement('tr');
        cell(row, setWord('rule', `${choice}.${rule.id}`, rule.id));
        cell(row, setWord('clause', `${choice}.${rule.id}`, rule.source));
        cell(row, verdictText(rule), verdictClass(rule));
        const values = Object.entries(rule.values).map(([key, value]) => valueText(quantities, key, value));
        cell(row, values.concat(rule.caveats.map((caveat) => '⚠ ' + caveat)).join('; '));
        body.appendChild(row);
      }
      status.textContent = t(STATUS[result.verdict], { name: setWord('set', choice, result.requirements) });
      status.classList.toggle('error', result.passed !== true);
      document.body.dataset.requirements = JSON.stringify({
        passed: result.passed, verdict: result.verdict, verdicts: result.rules.map((r) => r.verdict),
      });
    } catch (error) {
      status.textContent = i18n.message(error);
      status.classList.add('error');
      document.body.dataset.requirements = JSON.stringify({ error: error.message });
    }
  }

  function bind() {
    const select = $('requirements-set');
    const sets = brusk.requirementSets();
    for (const set of sets) {
      builtIn.add(set.key);
      const option = document.createElement('option');
      option.value = set.key;
      option.dataset.name = set.name;
      option.dataset.source = set.source;
      select.appendChild(option);
    }
    // The sets' names in the page's language, again after a switch.
    const nameSets = () => {
      for (const option of select.options) {
        if (!builtIn.has(option.value)) continue;
        option.textContent = i18n.own(i18n.language, `requirements.set.${option.value}`) || option.dataset.name;
        option.title = i18n.own(i18n.language, `requirements.source.${option.value}`) || option.dataset.source;
      }
    };
    nameSets();
    document.addEventListener('brusk-language', nameSets);
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
