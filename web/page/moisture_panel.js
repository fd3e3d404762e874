// The moisture panel of the calculator page: the wall in the form assessed by ISO 13788 (the
// monthly Glaser method and the surface temperature factor) under a climate file or the built-in
// example year, with an optional humidity class. Everything is computed by the module, as by
// `brusk moisture`; the panel only reads the form and shows the moisture section's drawings inline.
(function () {
  'use strict';
  const $ = (id) => document.getElementById(id);
  const i18n = globalThis.bruskI18n;
  const t = i18n.t;
  let assessed = false;  // whether the panel has shown something (printed again in another language)
  const FIGURES = ['glaser', 'accumulation', 'temperature'];

  // examples/climates/temperate.csv: a constructed year (not measured data), for trying the panel.
  const exampleClimate = 'month,outdoor_temperature,outdoor_relative_humidity,indoor_temperature,indoor_relative_humidity\n1,-1.0,88,20.0,50\n2,0.3,87,20.0,50\n3,3.7,84,20.0,50\n4,8.5,79,20.0,50\n5,13.2,74,20.0,50\n6,16.7,71,20.0,50\n7,18.0,70,20.0,50\n8,16.7,71,20.0,50\n9,13.3,74,20.0,50\n10,8.5,79,20.0,50\n11,3.7,84,20.0,50\n12,0.3,87,20.0,50\n';
  // source null: the example year, named in the page's language.
  let climate = { text: exampleClimate, source: null };

  function options() {
    const humidityClass = Number($('moisture-class').value);
    const indoor = Number(i18n.decimal($('moisture-indoor').value.trim()));
    const source = climate.source === null ? `${t('moisture.example')} (examples/climates/temperate.csv)` : climate.source;
    return { humidityClass, indoorTemperature: Number.isFinite(indoor) ? indoor : NaN, climateSource: source };
  }

  function assess() {
    const status = $('moisture-status');
    assessed = true;
    const entered = window.bruskCurrentWall ? window.bruskCurrentWall() : null;
    if (!entered) {
      status.textContent = t('enterWall');
      return;
    }
    // Layers named as the page names them, in the drawings and in a refusal.
    const wall = i18n.drawnWall(entered);
    const chosen = options();
    // "No class" is the option left out: the API refuses a class 0, as the command line does.
    const run = { climateSource: chosen.climateSource, source: 'wall.json' };
    if (chosen.humidityClass !== 0) Object.assign(run, { humidityClass: chosen.humidityClass, indoorTemperature: chosen.indoorTemperature });
    try {
      const result = brusk.moisture(wall, climate.text, run);
      // The report's drawings at the column's width, as the results' plots are drawn: every
      // name in them (the wall's, the layers') is escaped by the module's SVG writer.
      const size = window.bruskPlotLayout($('moisture-plots').clientWidth, '');
      const plots = brusk.moisturePlots(wall, climate.text, Object.assign({ width: size.width, plotHeight: size.plotHeight }, run, i18n.plotLocale()));
      for (const key of FIGURES) $('moisture-' + key).innerHTML = plots[key];
      $('moisture-table').innerHTML = plots.table;  // the section's month table: numbers and month names
      const surface = t(result.surface.passes ? 'moisture.surfacePasses' : 'moisture.surfaceFails');
      status.textContent = result.start_month === null
        ? t('moisture.none') + ' ' + surface
        : t('moisture.largest', { g: i18n.number(result.max_accumulated.toFixed(1)), month: result.max_month }) + ' ' +
          t(result.dries_out ? 'moisture.dries' : 'moisture.notDries') + ' ' + surface;
      status.classList.remove('error');
      document.body.dataset.moisture = JSON.stringify({ max_accumulated: result.max_accumulated, dries_out: result.dries_out, f_rsi_min: result.surface.f_rsi_min });
    } catch (error) {
      status.textContent = i18n.message(error);
      status.classList.add('error');
      for (const key of [...FIGURES, 'table']) $('moisture-' + key).textContent = '';
    }
  }

  function bind() {
    $('moisture-run').addEventListener('click', assess);
    $('moisture-class').addEventListener('change', () => {
      $('moisture-indoor').disabled = $('moisture-class').value === '0';
    });
    $('moisture-climate-file').addEventListener('change', (event) => {
      const file = event.target.files && event.target.files[0];
      if (!file) return;
      file.text().then((text) => {
        climate = { text, source: file.name };
        $('moisture-climate-name').removeAttribute('data-i18n');  // a file's name, not the page's words
        $('moisture-climate-name').textContent = file.name;
        assess();
      });
    });
    $('moisture-indoor').disabled = true;
    document.addEventListener('brusk-language', () => { if (assessed) assess(); });
  }

  brusk.ready.then(bind);
})();
