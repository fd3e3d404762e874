// The profile panel of the calculator page: the wall in the form under a periodic outdoor
// profile (a CSV file, or the example design day) and a constant or profiled room, computed by
// the module as `brusk response` computes it; the panel prints the summary with the labels and
// units of the quantity description.
(function () {
  'use strict';
  const $ = (id) => document.getElementById(id);
  const i18n = globalThis.bruskI18n;
  let ran = false;  // whether the panel has shown something (printed again in another language)

  // examples/profiles/hot-summer-day.csv: a constructed design day (not measured data).
  const exampleDay = 'time,air_temperature\n0,23.98\n1,23.43\n2,22.88\n3,22.44\n4,22.11\n5,22\n6,22.22\n7,22.77\n8,23.76\n9,25.19\n10,26.84\n11,28.71\n12,30.47\n13,31.79\n14,32.67\n15,33\n16,32.67\n17,31.9\n18,30.69\n19,29.26\n20,27.83\n21,26.62\n22,25.52\n23,24.64\n';
  let outdoor = { text: exampleDay, source: 'example design day (examples/profiles/hot-summer-day.csv)' };
  let summaryQuantities = [];

  function run() {
    const status = $('profile-status');
    const table = $('profile-summary');
    ran = true;
    table.textContent = '';
    const wall = window.bruskCurrentWall ? window.bruskCurrentWall() : null;
    const indoor = Number(i18n.decimal($('profile-indoor').value.trim()));
    try {
      const result = brusk.response(wall, { outdoor: outdoor.text, outdoorSource: outdoor.source, indoorConstant: Number.isFinite(indoor) ? indoor : NaN });
      i18n.quantityRows(table, summaryQuantities, result);
      status.textContent = '';
      status.classList.remove('error');
    } catch (error) {
      status.textContent = i18n.message(error);
      status.classList.add('error');
    }
  }

  function bind() {
    summaryQuantities = brusk.quantities().filter((q) => q.scope === 'response' && q.key.startsWith('summary.'));
    $('profile-run').addEventListener('click', run);
    document.addEventListener('brusk-language', () => { if (ran) run(); });
    $('profile-outdoor-file').addEventListener('change', (event) => {
      const file = event.target.files && event.target.files[0];
      if (!file) return;
      file.text().then((text) => {
        outdoor = { text, source: file.name };
        $('profile-outdoor-name').removeAttribute('data-i18n');  // a file's name, not the page's words
        $('profile-outdoor-name').textContent = file.name;
        run();
      });
    });
  }

  brusk.ready.then(bind);
})();
