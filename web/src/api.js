// The JavaScript API over the WebAssembly module: appended to the module's classic script, so
// it sees createBruskModule and works from file:// as well as over http. It converts objects to
// the wall-file JSON text and back, and turns a refused wall into an Error; the module does all
// the reading, computing and wording.
(function (root) {
  'use strict';
  let core = null;

  /**
   * The module's text, or its refusal as an Error whose `key` ("conductivity", "rsi") and
   * `layer` (0 on side 1) name the value it is about, where it is about one, and whose `parts`
   * are the message by key (see messageWordings()) where it is worded so.
   */
  function unwrap(reply) {
    if (!reply.ok) {
      const error = new Error(reply.message);
      if (reply.parts !== undefined) error.parts = JSON.parse(reply.parts);
      if (reply.pointer !== undefined) error.pointer = reply.pointer;
      if (reply.key !== undefined) error.key = reply.key;
      if (reply.layer !== undefined) error.layer = reply.layer;
      if (reply.part !== undefined) error.part = reply.part;
      throw error;
    }
    return reply.text;
  }

  function requireCore() {
    if (!core) throw new Error('the Brusk module is still loading: await brusk.ready first');
    return core;
  }

  function periodOf(options) {
    const hours = options && options.periodHours !== undefined ? options.periodHours : 24;
    if (typeof hours !== 'number') throw new Error('periodHours must be a number of hours');
    return hours;
  }

  function sourceOf(options, fallback) {
    return options && typeof options.source === 'string' ? options.source : fallback;
  }

  /**
   * The words of the drawings as the module takes them: `words` ({key: text} over
   * plotWords()' English) and `decimalSeparator` ('.' or ','), both optional.
   */
  function localeOf(options) {
    if (!options || (options.words === undefined && options.decimalSeparator === undefined)) return '';
    const locale = {};
    if (options.words !== undefined) {
      if (!options.words || typeof options.words !== 'object') throw new Error('words must be an object of texts by key (see plotWords())');
      locale.words = options.words;
    }
    if (options.decimalSeparator !== undefined) locale.decimal = String(options.decimalSeparator);
    return JSON.stringify(locale);
  }

  /** options[key], a number of pixels for a drawing's size, else `fallback`. */
  function pixels(options, key, fallback) {
    const value = options && options[key] !== undefined ? options[key] : fallback;
    if (typeof value !== 'number') throw new Error(key + ' must be a number of pixels');
    return value;
  }

  /**
   * The arguments every moisture call of the module takes: wall, source, climate, indoor side.
   * An option left out (undefined or null) is passed as not given, never as a number standing
   * for none; the module checks the numbers given (a class 1 to 5, whole) as the command line
   * does, so that no value is cut to an integer on its way.
   */
  function moistureArguments(wall, climateText, options) {
    const given = (key) => options != null && options[key] !== undefined && options[key] !== null;
    const number = (key, what) => {
      if (!given(key)) return [false, 0];
      if (typeof options[key] !== 'number') throw new Error(key + ' must be ' + what + ', got ' + typeof options[key]);
      return [true, options[key]];
    };
    const humidityClass = number('humidityClass', '1 to 5 (a whole number: ISO 13788 Annex A\'s humidity classes)');
    const indoor = number('indoorTemperature', 'a number of degC');
    if (typeof climateText !== 'string') throw new Error('the climate must be the text of a climate CSV');
    const climateSource = options && typeof options.climateSource === 'string' ? options.climateSource : 'climate.csv';
    return [JSON.stringify(wall), 'json', sourceOf(options, 'wall.json'), climateText, climateSource, ...humidityClass, ...indoor];
  }

  function moistureReply(wall, climateText, options, html) {
    return unwrap(requireCore().moisture(...moistureArguments(wall, climateText, options), html));
  }

  const api = {
    /** Resolves to the API once the module is compiled. */
    ready: null,

    /**
     * Computes one wall given as an object with the wall-file keys; returns the object that
     * `brusk compute --format json` prints. Throws an Error with the command line's message.
     */
    compute(wall, options) {
      return JSON.parse(api.computeText(JSON.stringify(wall), 'json', options));
    },

    /** compute() on the text of a wall file ('toml' or 'json'); returns the JSON text. */
    computeText(text, format, options) {
      const source = sourceOf(options, format === 'toml' ? 'wall.toml' : 'wall.json');
      return unwrap(requireCore().compute(text, format, source, periodOf(options)));
    },

    /**
     * The wall file `text` (a string, or the file's bytes as a Uint8Array, checked as UTF-8 and
     * against the size limit as `brusk compute` checks a file) as an object with the wall-file
     * keys, checked as a wall; without a name, it is named after `options.source` as the
     * command line names a wall after its file.
     */
    readWallFile(text, format, options) {
      const source = sourceOf(options, format === 'toml' ? 'wall.toml' : 'wall.json');
      return JSON.parse(unwrap(requireCore().readWallDocument(text, format, source)));
    },

    /**
     * The values of the wall (an object with the wall-file keys) that no building material has,
     * each message naming the layer, the value and its likely slip of units ("thickness 12.5 m
     * is more than any building layer ...; was it given in cm (0.125 m) or mm (0.0125 m)?"), as
     * `brusk` warns of them: an array, empty for building materials. The wall computes as given.
     */
    unitWarnings(wall, options) {
      return JSON.parse(unwrap(requireCore().unitWarningsJson(JSON.stringify(wall), 'json', sourceOf(options, 'wall.json'))));
    },

    /**
     * The wall schema, as `brusk schema --format json` prints it: every object of a wall file
     * (wall, layer, part, corrections, air_voids, fasteners) with its keys (type, unit,
     * description, words) and the layer kinds. Every reader and writer of walls follows it.
     */
    wallSchema() {
      return JSON.parse(unwrap(requireCore().wallSchemaJson()));
    },

    /** The wall object written as a TOML wall file that `brusk compute` reads. */
    toToml(wall, options) {
      return unwrap(requireCore().writeWallToml(JSON.stringify(wall), sourceOf(options, 'wall.json')));
    },

    /**
     * Every output quantity as `brusk quantities --format json` describes it: key, label,
     * symbol, unit, display unit and scale, decimals, definition and source.
     */
    quantities() {
      return JSON.parse(unwrap(requireCore().quantitiesJson()));
    },

    /** The built-in material catalogue: [{key, name, family, conductivity, density, ...}]. */
    materials() {
      return JSON.parse(unwrap(requireCore().catalogueJson()));
    },

    /**
     * The ISO 13788 moisture assessment of one wall (an object with the wall-file keys) under a
     * climate CSV text, as `brusk moisture --format json` prints it. Options: humidityClass (1 to
     * 5: the indoor side from Annex A), indoorTemperature [degC] (20), climateSource (the name
     * messages give the climate). Throws an Error with the command line's message.
     */
    moisture(wall, climateText, options) {
      return JSON.parse(moistureReply(wall, climateText, options, false));
    },

    /** The report's moisture section (Glaser diagram, bars, profile, table) as HTML. */
    moistureSection(wall, climateText, options) {
      return moistureReply(wall, climateText, options, true);
    },

    /**
     * The moisture section's drawings for one wall under a climate CSV text (the options of
     * moisture()), as SVG text: { month (1 = January, the month the diagram and the profile
     * show), glaser (p_sat and p against s_d), accumulation (the water held at each month's
     * end), temperature (θ and the dew point through the wall), table (the month-by-month HTML
     * table) }. Options besides: width [px]
     * of each drawing (880) and plotHeight [px] of a plot area (280); words and
     * decimalSeparator as for plots().
     */
    moisturePlots(wall, climateText, options) {
      const size = (key, fallback) => pixels(options, key, fallback);
      return JSON.parse(unwrap(requireCore().moisturePlotsSvg(...moistureArguments(wall, climateText, options),
                                                              size('width', 880), size('plotHeight', 280), localeOf(options))));
    },

    /**
     * The drawings of `brusk report` for one wall or several (objects with the wall-file keys)
     * at the cycle length `periodHours`, as SVG text: { sections: [one per wall], outdoor_response,
     * indoor_response, decrement_sweep, lag_sweep }. Options: width [px] of each plot (880),
     * plotHeight [px] of its plot area (300), sectionWidth [px] of the thickest section (520),
     * idPrefix put before every element id (''); indoorTemperature and outdoorTemperature
     * [degC], both or neither: each section then shows the steady temperatures at its faces;
     * only, an array of 'sections', 'responses' and 'sweeps' (all by default): the drawings made,
     * the others left out of the answer; words, an object of texts by key of plotWords() (a key
     * left out keeps its English), and decimalSeparator, '.' (default) or ','.
     */
    plots(walls, options) {
      const list = Array.isArray(walls) ? walls : [walls];
      const sources = list.map((wall, i) => sourceOf(options, 'wall') + (list.length > 1 ? '-' + (i + 1) : '') + '.json');
      const size = (key, fallback) => pixels(options, key, fallback);
      const design = options && (options.indoorTemperature !== undefined || options.outdoorTemperature !== undefined);
      const degrees = (key) => {
        const value = options[key];
        if (typeof value !== 'number') throw new Error(key + ' must be a number of degC');
        return value;
      };
      let only = '';
      if (options && options.only !== undefined) {
        const known = ['sections', 'responses', 'sweeps'];
        if (!Array.isArray(options.only) || options.only.length === 0 || !options.only.every((name) => known.includes(name))) {
          throw new Error('only must be a list of ' + known.join(', '));
        }
        only = options.only.join(' ');
      }
      return JSON.parse(unwrap(requireCore().plotsSvg(JSON.stringify(list), JSON.stringify(sources), periodOf(options),
                                                      size('width', 880), size('plotHeight', 300), size('sectionWidth', 520),
                                                      options && typeof options.idPrefix === 'string' ? options.idPrefix : '',
                                                      Boolean(design), design ? degrees('indoorTemperature') : 0, design ? degrees('outdoorTemperature') : 0,
                                                      only, localeOf(options))));
    },

    /**
     * Every word the drawings write (titles, axes, legends, annotations, month names) with its
     * English text: [{key, text}], each text a template whose {name} places the drawing fills.
     * What plots({ words }) and moisturePlots({ words }) translate.
     */
    plotWords() {
      return JSON.parse(unwrap(requireCore().plotWordsJson()));
    },

    /**
     * Every message the module words by key, with its English wording: [{key, text}]. A refusal
     * worded so carries `parts` ([{key, text, values}]: where, then why), which a page words in
     * its reader's language by these keys.
     */
    messageWordings() {
      return JSON.parse(unwrap(requireCore().messageWordingsJson()));
    },

    /**
     * One zone (an object with the zone-file keys, each element's wall as inline `layers` and
     * the wall keys beside them; the module reads no files) computed as `brusk zone` computes
     * it: the object `brusk zone --format json` prints. Options: source, the name messages give
     * the zone ('zone.json').
     */
    zone(zone, options) {
      return JSON.parse(unwrap(requireCore().zoneJson(JSON.stringify(zone), sourceOf(options, 'zone.json'))));
    },

    /**
     * The response of one wall (an object with the wall-file keys) to periodic profiles, as
     * `brusk response --format json` prints it. `profiles`: outdoor (the text of its CSV), indoor
     * (a CSV text) or indoorConstant [degC] (25), solar (a CSV text of the irradiance) with
     * absorptance, emissivity (0.9) and skyRadiation (0), and outdoorSource, indoorSource,
     * solarSource (the names messages give them). Options: periodHours (default: the outdoor
     * time column's, else 24), source (the wall's name in messages).
     */
    response(wall, profiles, options) {
      if (!profiles || typeof profiles.outdoor !== 'string') throw new Error('the outdoor profile must be the text of a CSV');
      const given = Object.assign({}, profiles);
      if (options && options.periodHours !== undefined) given.periodHours = options.periodHours;
      for (const key of ['indoorConstant', 'periodHours', 'absorptance', 'emissivity', 'skyRadiation']) {
        if (given[key] !== undefined && typeof given[key] !== 'number') throw new Error(key + ' must be a number');
      }
      for (const key of ['indoor', 'solar']) {
        if (given[key] !== undefined && typeof given[key] !== 'string') throw new Error('the ' + key + ' profile must be the text of a CSV');
      }
      return JSON.parse(unwrap(requireCore().responseJson(JSON.stringify(wall), 'json', sourceOf(options, 'wall.json'), JSON.stringify(given))));
    },

    /** The HTML page `brusk report` writes for the walls (objects with the wall-file keys). */
    report(walls, options) {
      const sources = walls.map((wall, i) => sourceOf(options, 'wall') + (walls.length > 1 ? '-' + (i + 1) : '') + '.json');
      const title = options && typeof options.title === 'string' ? options.title : '';
      return unwrap(requireCore().reportHtml(JSON.stringify(walls), JSON.stringify(sources), periodOf(options), title));
    },
  };

  /**
   * The wall (an object with the wall-file keys) checked against requirements: the TOML text of
   * a requirements file, or the key of a built-in set (see requirementSets()), as
   * `brusk check --format json` prints it for one wall: {wall, requirements, source, passed,
   * verdict, rules: [{id, source, applicable, passed, verdict, class, values, tests, caveats}]};
   * `passed` is null where the verdict is "nothing checked" or "not computable". Options: climate
   * (a climate CSV text) for the moisture results a rule tests, with humidityClass and
   * indoorTemperature as moisture() takes them, and climateSource naming it. Throws an Error with
   * the command line's message.
   */
  api.check = function check(wall, requirements, options) {
    const withClimate = options !== undefined && options !== null && options.climate !== undefined;
    // The climate and its indoor side as moisture() takes them: [text, source, class given,
    // class, temperature given, temperature].
    const climateArguments = withClimate ? moistureArguments(wall, options.climate, options).slice(3)
      : ['', '', false, 0, false, 0];
    return JSON.parse(unwrap(requireCore().checkJson(JSON.stringify(wall), String(requirements), withClimate,
                                                     ...climateArguments)));
  };

  /** The built-in requirement sets: [{key, name, source}]. */
  api.requirementSets = function requirementSets() {
    return JSON.parse(unwrap(requireCore().requirementSetsJson()));
  };

  /**
   * Every built-in validation case run, as `brusk validate --format json` prints it: {version,
   * cases: [{id, title, standard, kind, file, source: {document, clause, edition}, notes,
   * problem, figures: [{quantity, label, at, unit, printed, published, computed, tolerance,
   * difference, agrees}]}], summary: {cases, figures, agree, differ, all_agree}}.
   */
  api.validate = function validate() {
    return JSON.parse(unwrap(requireCore().validationJson()));
  };

  /** The junction object as the module's arguments: its JSON text, the format and its name. */
  function junctionArguments(junction, options) {
    if (!junction || typeof junction !== 'object') throw new Error('a junction must be an object with the junction-file keys');
    return [JSON.stringify(junction), 'json', sourceOf(options, 'junction.json')];
  }

  /**
   * A two-dimensional junction (ISO 10211): an object with the junction-file keys, a template's
   * walls given inline as objects with the wall-file keys (the module reads no files), computed
   * as `brusk bridge` computes it: the object `brusk bridge --format json` prints, with `field`
   * added: {x, y (the grid's node lines [m]), temperature (a row of node temperatures [degC] per
   * y, null outside the body)}. Options: source (the name messages give the junction). Throws an
   * Error with the command line's message.
   */
  api.bridge = function bridge(junction, options) {
    return JSON.parse(unwrap(requireCore().bridgeJson(...junctionArguments(junction, options), true)));
  };

  /**
   * The junction solved and drawn as `brusk report` draws it: { result (what bridge() returns,
   * without the field), section, field (the SVG drawings of the section and of the temperature
   * field with its isotherms) }. Options besides source: words and decimalSeparator as for
   * plots().
   */
  api.bridgePlots = function bridgePlots(junction, options) {
    return JSON.parse(unwrap(requireCore().bridgePlotsSvg(...junctionArguments(junction, options), localeOf(options))));
  };

  /** The junction as a drawn section, the TOML `brusk bridge --geometry` writes, to refine by hand. */
  api.bridgeGeometry = function bridgeGeometry(junction, options) {
    return unwrap(requireCore().bridgeGeometryToml(...junctionArguments(junction, options)));
  };

  api.ready = createBruskModule().then((module) => {
    core = module;
    return api;
  });
  root.brusk = api;
  if (typeof module === 'object' && module && typeof module.exports === 'object') module.exports = api;
})(typeof globalThis !== 'undefined' ? globalThis : this);
