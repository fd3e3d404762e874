// The languages of the calculator page: every word the page itself shows, in English, German and
// Italian, and the German and Italian labels of the quantities it shows (the English ones are the
// module's own, from brusk.quantities()). The engine's messages stay as the module words them.
// Numbers are printed with the language's decimal separator; fields read a point or a comma.
(function () {
  'use strict';
  const LANGUAGES = { en: 'English', de: 'Deutsch', it: 'Italiano' };
  const STORE = 'brusk.language';

  const TEXT = {
    en: {
      'title': 'Brusk: dynamic thermal characteristics of a wall (ISO 13786)',
      'language': 'Language',
      'header.title': 'Brusk wall calculator',
      'header.intro': 'Periodic heat transfer through a building element by the transfer-matrix method of ISO 13786, computed in this page by the same engine as the brusk command. Nothing leaves your computer.',
      'wall.heading': 'Wall',
      'wall.period': 'Cycle length T [h]',
      'wall.designIndoor': 'Design indoor',
      'wall.designOutdoor': 'Design outdoor',
      'layers.heading': 'Layers, from the inner face (side 1) outward',
      'layers.help': 'Move a layer with its ↑ and ↓ buttons, with Alt+↑ and Alt+↓ in any of its fields, or by dragging it.',
      'add.material': 'Add material layer',
      'add.custom': 'Add custom layer',
      'add.air': 'Add air layer / resistance',
      'file.open': 'Open wall file (.toml, .json)',
      'file.saveToml': 'Save TOML',
      'file.saveJson': 'Save JSON',
      'file.report': 'Download HTML report',
      'file.copyLink': 'Copy link',
      'compare.add': 'Add to comparison',
      'print': 'Print',
      'results.heading': 'Results',
      'results.stale': 'Not the wall as entered: these are the results of the last wall that computed. Correct the marked field.',
      'results.plots': 'Wall section, 48 h response and cycle-length sweep, drawn by the same code as brusk report',
      'results.caption': 'At the cycle length T',
      'col.quantity': 'Quantity',
      'col.symbol': 'Symbol',
      'col.value': 'Value',
      'col.unit': 'Unit',
      'moisture.heading': 'Moisture (ISO 13788)',
      'moisture.note': 'Interstitial condensation by the monthly Glaser method and the surface temperature factor against mould, as brusk moisture computes them. Catalogue materials carry their vapour resistance factor μ; a layer or part of custom properties needs its μ or sd, entered at the layer.',
      'moisture.climateFile': 'Climate file (.csv)',
      'moisture.climate': 'Climate:',
      'moisture.example': 'example year (constructed, not measured)',
      'moisture.indoorSide': 'Indoor side',
      'moisture.fromFile': 'from the climate file',
      'moisture.class': 'humidity class {n}',
      'moisture.indoor': 'Indoor temperature [°C]',
      'moisture.run': 'Assess moisture',
      'moisture.plots': 'Glaser diagram, accumulation and temperature profile',
      'moisture.none': 'No interstitial condensation.',
      'moisture.largest': 'Largest accumulation {g} g/m² (month {month});',
      'moisture.dries': 'dries out within the year.',
      'moisture.notDries': 'does NOT dry out within the year.',
      'moisture.surfacePasses': 'Surface: passes.',
      'moisture.surfaceFails': 'Surface: fails.',
      'enterWall': 'Enter a wall first.',
      'requirements.heading': 'Requirements',
      'requirements.note': 'The wall checked against a built-in set or a requirements file of your own (TOML, see docs/requirements.md), as brusk check checks it, with the clause beside every verdict.',
      'requirements.set': 'Requirements',
      'requirements.file': 'Requirements file (.toml)',
      'requirements.run': 'Check',
      'requirements.caption': 'Rules',
      'col.rule': 'Rule',
      'col.clause': 'Clause',
      'col.verdict': 'Verdict',
      'col.values': 'Values',
      'requirements.passed': '{name}: every applicable rule passes.',
      'requirements.failed': '{name}: a rule fails.',
      'validation.heading': 'Validation',
      'validation.note': "Brusk's values against published worked examples and the standards' own tables, as brusk validate compares them: every figure as printed, Brusk's value, the tolerance and the verdict.",
      'validation.run': 'Run the validation',
      'validation.caption': 'Published figures',
      'validation.sources': 'Sources',
      'col.case': 'Case',
      'col.at': 'At',
      'col.published': 'Published',
      'col.computed': 'Brusk',
      'col.tolerance': 'Tolerance',
      'col.source': 'Source',
      'col.conventions': 'Conventions',
      'validation.agrees': 'agrees',
      'validation.differs': 'DIFFERS',
      'validation.all': '{agree} of {figures} figures in {cases} cases agree with their published values.',
      'validation.some': '{differ} of {figures} figures differ from their published values.',
      'requirements.nothing': '{name}: nothing checked: no rule of the set applies to this wall.',
      'requirements.notComputable': '{name}: not computable: a rule needs a value that is not computed for this wall.',
      'requirements.notComputed': 'not computed',
      'profile.heading': 'Response to a design day',
      'profile.note': "The wall's heat flow into the room under a periodic outdoor profile and a constant room, as brusk response computes it.",
      'profile.file': 'Outdoor profile (.csv)',
      'profile.outdoor': 'Outdoor:',
      'profile.example': 'example design day (constructed, not measured)',
      'profile.indoor': 'Room temperature [°C]',
      'profile.run': 'Compute response',
      'profile.caption': 'Summary over the period',
      'zone.heading': 'Room (thermal mass)',
      'zone.note': "A room enclosed by this wall, its thermal mass after ISO 13790 and SAP as brusk zone computes it (a zone file gives the other elements).",
      'zone.floor': 'Floor area',
      'zone.h': 'Heat transfer H [W/K]',
      'zone.wallArea': 'Area of the wall [m²]',
      'zone.run': 'Compute room',
      'zone.caption': "The room's totals",
      'compare.heading': 'Comparison',
      'compare.note': "Values that differ from the first wall's are marked. The comparison is kept in this browser and in the page's address.",
      'compare.clear': 'Clear comparison',
      'compare.wall': 'Wall {i}',
      'compare.left': 'Move compared wall {i} left',
      'compare.right': 'Move compared wall {i} right',
      'compare.remove': 'Remove compared wall {i}',
      'compare.differs': 'differs from {name}',
      'compare.first': 'the first wall',
      'compare.moved': 'Compared wall moved to position {to} of {n}.',
      'compare.removed': 'Compared wall {i} removed; {n} left.',
      'layer.kind': 'Kind',
      'layer.group': 'Layer {i}',
      'layer.notInCatalogue': 'not in the catalogue',
      'layer.catalogueMaterials': 'Catalogue materials',
      'layer.addPart': 'Add part',
      'layer.addPartTitle': 'Add a part to layer {i}',
      'layer.removePart': 'Remove part',
      'layer.removePartTitle': 'Remove the last part of layer {i}',
      'layer.up': 'Move layer {i} inward',
      'layer.down': 'Move layer {i} outward',
      'layer.remove': 'Remove',
      'layer.removeTitle': 'Remove layer {i}',
      'layer.moved': 'Layer moved to position {to} of {n}.',
      'layer.removed': 'Layer {i} removed; {n} left.',
      'parts.row': 'Periodic values of the layers of parts',
      'parts.method': 'parallel-path approximation',
      'computedIn': 'Computed in {ms} ms.',
      'computesAgain': 'The wall computes again.',
      'saved': 'Saved {name}.',
      'linkCopied': 'The address of this page now reproduces the wall.',
      'link.unreadable': 'The #wall= link could not be read: {message}',
      'link.short': 'it is cut short: its length is not that of base64url text',
      'link.utf8': 'it does not decode to UTF-8 text',
      'link.characters': 'it holds characters outside base64url (A-Z, a-z, 0-9, - and _)',
      'kind.material': 'catalogue material',
      'kind.properties': 'custom properties',
      'kind.thermal_resistance': 'air layer / resistance',
      'kind.parts': 'layer of parts (studs in insulation)',
      'kind.air_gap': 'air gap by its thickness',
      'kind.vapour_control': 'vapour control layer (sd)',
      'part.group': 'Layer {i}, part {k}',
      'pair.item': '{label}, face {n}',
      'layer.catalogueValue': 'catalogue: {value}',
      'unset': 'not given',
      'unset.family': 'default',
      'unset.parts_aligned': 'default: independent',
      'unset.ventilation': 'default: unventilated',
      'placeholder.wall.rsi': 'ISO 6946 default',
      'placeholder.wall.rse': 'ISO 6946 default',
      'placeholder.layer.thermal_resistance': 'ISO 6946',
      'placeholder.fasteners.penetration': "the layer's thickness",
      'key.name': 'Name',
      'key.position': 'Position',
      'key.heat_flow': 'Heat flow',
      'key.orientation': 'Orientation',
      'key.site_irradiance': 'Site irradiance',
      'key.layers': 'Layers',
      'key.parts_aligned': 'Parts of the layers',
      'key.corrections': 'Corrections (ISO 6946 Annex F)',
      'key.material': 'Material',
      'key.family': 'Family',
      'key.parts': 'Parts',
      'key.air_gap': 'Air gap d',
      'key.ventilation': 'Ventilation',
      'key.openings': 'Openings',
      'key.emissivities': 'Emissivity ε',
      'key.condensation_limit': 'Condensate limit',
      'key.fraction': 'Fraction',
      'key.air_voids': 'Air voids (F.2)',
      'key.fasteners': 'Fasteners (F.3)',
      'key.level': 'Level',
      'key.layer': 'Layer',
      'key.count': 'Fasteners nf',
      'key.cross_section': 'Cross-section Af',
      'key.penetration': 'Penetration d1',
      'word.position.external': 'external',
      'word.position.internal': 'internal',
      'word.heat_flow.horizontal': 'horizontal',
      'word.heat_flow.upward': 'upward',
      'word.heat_flow.downward': 'downward',
      'word.orientation.N': 'north',
      'word.orientation.NE': 'north-east',
      'word.orientation.E': 'east',
      'word.orientation.SE': 'south-east',
      'word.orientation.S': 'south',
      'word.orientation.SW': 'south-west',
      'word.orientation.W': 'west',
      'word.orientation.NW': 'north-west',
      'word.ventilation.unventilated': 'unventilated',
      'word.ventilation.slightly': 'slightly ventilated',
      'word.ventilation.well': 'well ventilated',
      'word.parts_aligned.true': 'aligned: one path per part',
      'word.parts_aligned.false': 'independent: every combination',
      'word.family.concrete': 'concrete',
      'word.family.masonry': 'masonry',
      'word.family.timber': 'timber',
      'word.family.board': 'board',
      'word.family.plaster': 'plaster',
      'word.family.insulation': 'insulation',
      'word.family.metal': 'metal',
      'word.family.glass': 'glass',
      'word.family.soil': 'soil',
      'word.family.stone': 'stone',
      'word.family.membrane': 'membrane',
      'word.family.air': 'air',
      'word.family.other': 'other',
      'verdict.passed': 'passed',
      'verdict.failed': 'failed',
      'verdict.not applicable': 'not applicable',
      'verdict.not computable': 'not computable',
      'value.true': 'true',
      'value.false': 'false',
      'verdict.class': '{verdict}: class {class}',
      'verdict.reason': '{verdict} ({reason})',
      'short.u_value': 'U-value',
      'short.decrement_factor': 'Decrement factor',
      'short.periodic_thermal_transmittance.time_lag': 'Time lag',
      'short.internal_areal_heat_capacity': 'Internal heat capacity',
      'default.wall': 'Insulated concrete',
      'default.airGap': 'Air gap',
      'part.name': 'Part {k}',
      'quoted': '"{word}"',
      'or': 'or',
      'junction.heading': 'Junction (thermal bridge, ISO 10211)',
      'junction.note': 'The wall in a corner, a T-junction, a floor slab or a window reveal, solved in two dimensions as brusk bridge solves it: ψ against the walls\' U, and the lowest indoor surface temperature and fRsi.',
      'junction.plots': 'Junction section and temperature field',
      'junction.caption': 'The junction\'s figures',
      'junction.type': 'Junction',
      'junction.type.corner': 'external corner',
      'junction.type.t-junction': 'internal wall (T-junction)',
      'junction.type.floor-slab': 'intermediate floor slab',
      'junction.type.window-reveal': 'window reveal',
      'junction.second': 'Second element',
      'junction.second.partition': 'brick partition 115 mm',
      'junction.second.slab': 'concrete slab 200 mm',
      'junction.second.wall': 'this wall',
      'junction.dimensions': 'Lengths on',
      'junction.dimensions.internal': 'internal dimensions',
      'junction.dimensions.external': 'external dimensions',
      'junction.indoor': 'Indoor θi [°C]',
      'junction.outdoor': 'Outdoor θe [°C]',
      'junction.slabInto': 'Slab into the wall [m]',
      'junction.frameDepth': 'Frame depth [m]',
      'junction.frameOffset': 'Frame set in from the outer face [m]',
      'junction.solved': 'Solved in {ms} ms {where}.',
      'junction.inWorker': 'in the background',
      'junction.inPage': 'in the page (opened from disk, the browser starts no background worker)',
      'junction.wall': 'Wall',
    },
    de: {
      'title': 'Brusk: dynamische Wärmeeigenschaften einer Wand (ISO 13786)',
      'language': 'Sprache',
      'header.title': 'Brusk-Wandrechner',
      'header.intro': 'Periodischer Wärmedurchgang durch ein Bauteil nach dem Matrixverfahren der ISO 13786, in dieser Seite mit demselben Rechenkern wie der Befehl brusk berechnet. Nichts verlässt Ihren Computer.',
      'wall.heading': 'Wand',
      'wall.period': 'Periodendauer T [h]',
      'wall.designIndoor': 'Innentemperatur (Bemessung)',
      'wall.designOutdoor': 'Außentemperatur (Bemessung)',
      'layers.heading': 'Schichten, von der Innenoberfläche (Seite 1) nach außen',
      'layers.help': 'Eine Schicht verschieben Sie mit ihren Schaltflächen ↑ und ↓, mit Alt+↑ und Alt+↓ in einem ihrer Felder oder durch Ziehen.',
      'add.material': 'Materialschicht hinzufügen',
      'add.custom': 'Eigene Schicht hinzufügen',
      'add.air': 'Luftschicht / Widerstand hinzufügen',
      'file.open': 'Wanddatei öffnen (.toml, .json)',
      'file.saveToml': 'Als TOML speichern',
      'file.saveJson': 'Als JSON speichern',
      'file.report': 'HTML-Bericht herunterladen',
      'file.copyLink': 'Link kopieren',
      'compare.add': 'Zum Vergleich hinzufügen',
      'print': 'Drucken',
      'results.heading': 'Ergebnisse',
      'results.stale': 'Nicht die eingegebene Wand: Dies sind die Ergebnisse der zuletzt berechneten Wand. Korrigieren Sie das markierte Feld.',
      'results.plots': 'Wandschnitt, Antwort über 48 h und Verlauf über der Periodendauer, gezeichnet vom selben Code wie brusk report',
      'results.caption': 'Bei der Periodendauer T',
      'col.quantity': 'Größe',
      'col.symbol': 'Symbol',
      'col.value': 'Wert',
      'col.unit': 'Einheit',
      'moisture.heading': 'Feuchte (ISO 13788)',
      'moisture.note': 'Tauwasserbildung im Bauteilinneren nach dem monatlichen Glaser-Verfahren und Temperaturfaktor an der Oberfläche gegen Schimmel, wie brusk moisture sie berechnet. Katalogmaterialien haben ihre Wasserdampf-Diffusionswiderstandszahl μ; eine Schicht oder ein Teil mit eigenen Eigenschaften braucht ihr μ oder sd, bei der Schicht eingegeben.',
      'moisture.climateFile': 'Klimadatei (.csv)',
      'moisture.climate': 'Klima:',
      'moisture.example': 'Beispieljahr (konstruiert, nicht gemessen)',
      'moisture.indoorSide': 'Innenseite',
      'moisture.fromFile': 'aus der Klimadatei',
      'moisture.class': 'Feuchteklasse {n}',
      'moisture.indoor': 'Innentemperatur [°C]',
      'moisture.run': 'Feuchte bewerten',
      'moisture.plots': 'Glaser-Diagramm, Tauwassermenge und Temperaturverlauf',
      'moisture.none': 'Kein Tauwasser im Bauteil.',
      'moisture.largest': 'Größte Tauwassermenge {g} g/m² (Monat {month});',
      'moisture.dries': 'trocknet innerhalb des Jahres aus.',
      'moisture.notDries': 'trocknet innerhalb des Jahres NICHT aus.',
      'moisture.surfacePasses': 'Oberfläche: erfüllt.',
      'moisture.surfaceFails': 'Oberfläche: nicht erfüllt.',
      'enterWall': 'Geben Sie zuerst eine Wand ein.',
      'requirements.heading': 'Anforderungen',
      'requirements.note': 'Die Wand geprüft gegen einen eingebauten Satz oder eine eigene Anforderungsdatei (TOML, siehe docs/requirements.md), wie brusk check sie prüft, mit der Fundstelle neben jedem Urteil.',
      'requirements.set': 'Anforderungen',
      'requirements.file': 'Anforderungsdatei (.toml)',
      'requirements.run': 'Prüfen',
      'requirements.caption': 'Regeln',
      'col.rule': 'Regel',
      'col.clause': 'Fundstelle',
      'col.verdict': 'Urteil',
      'col.values': 'Werte',
      'requirements.passed': '{name}: Jede anwendbare Regel ist erfüllt.',
      'requirements.failed': '{name}: Eine Regel ist nicht erfüllt.',
      'validation.heading': 'Validierung',
      'validation.note': 'Die Werte von Brusk gegen veröffentlichte Rechenbeispiele und die Tabellen der Normen, wie brusk validate sie vergleicht: jede Zahl wie gedruckt, der Wert von Brusk, die Toleranz und das Urteil.',
      'validation.run': 'Validierung ausführen',
      'validation.caption': 'Veröffentlichte Werte',
      'validation.sources': 'Quellen',
      'col.case': 'Fall',
      'col.at': 'Stelle',
      'col.published': 'Veröffentlicht',
      'col.computed': 'Brusk',
      'col.tolerance': 'Toleranz',
      'col.source': 'Quelle',
      'col.conventions': 'Konventionen',
      'validation.agrees': 'stimmt',
      'validation.differs': 'WEICHT AB',
      'validation.all': '{agree} von {figures} Werten in {cases} Fällen stimmen mit ihren veröffentlichten Werten überein.',
      'validation.some': '{differ} von {figures} Werten weichen von ihren veröffentlichten Werten ab.',
      'requirements.nothing': '{name}: nichts geprüft: keine Regel des Satzes gilt für diese Wand.',
      'requirements.notComputable': '{name}: nicht berechenbar: eine Regel braucht einen Wert, der für diese Wand nicht berechnet wird.',
      'requirements.notComputed': 'nicht berechnet',
      'profile.heading': 'Antwort auf einen Auslegungstag',
      'profile.note': 'Der Wärmestrom der Wand in den Raum bei einem periodischen Außenverlauf und konstanter Raumtemperatur, wie brusk response ihn berechnet.',
      'profile.file': 'Außenverlauf (.csv)',
      'profile.outdoor': 'Außen:',
      'profile.example': 'Beispiel-Auslegungstag (konstruiert, nicht gemessen)',
      'profile.indoor': 'Raumtemperatur [°C]',
      'profile.run': 'Antwort berechnen',
      'profile.caption': 'Zusammenfassung über die Periode',
      'zone.heading': 'Raum (thermische Masse)',
      'zone.note': 'Ein von dieser Wand umschlossener Raum, seine wirksame Wärmekapazität nach ISO 13790 und SAP, wie brusk zone sie berechnet (eine Zonendatei gibt die übrigen Bauteile an).',
      'zone.floor': 'Grundfläche',
      'zone.h': 'Wärmetransferkoeffizient H [W/K]',
      'zone.wallArea': 'Fläche der Wand [m²]',
      'zone.run': 'Raum berechnen',
      'zone.caption': 'Summen des Raums',
      'compare.heading': 'Vergleich',
      'compare.note': 'Werte, die von denen der ersten Wand abweichen, sind markiert. Der Vergleich wird in diesem Browser und in der Adresse der Seite gespeichert.',
      'compare.clear': 'Vergleich leeren',
      'compare.wall': 'Wand {i}',
      'compare.left': 'Verglichene Wand {i} nach links',
      'compare.right': 'Verglichene Wand {i} nach rechts',
      'compare.remove': 'Verglichene Wand {i} entfernen',
      'compare.differs': 'weicht ab von {name}',
      'compare.first': 'der ersten Wand',
      'compare.moved': 'Verglichene Wand an Position {to} von {n} verschoben.',
      'compare.removed': 'Verglichene Wand {i} entfernt; {n} übrig.',
      'layer.kind': 'Art',
      'layer.group': 'Schicht {i}',
      'layer.notInCatalogue': 'nicht im Katalog',
      'layer.catalogueMaterials': 'Katalogmaterialien',
      'layer.addPart': 'Teil hinzufügen',
      'layer.addPartTitle': 'Schicht {i} einen Teil hinzufügen',
      'layer.removePart': 'Teil entfernen',
      'layer.removePartTitle': 'Letzten Teil von Schicht {i} entfernen',
      'layer.up': 'Schicht {i} nach innen',
      'layer.down': 'Schicht {i} nach außen',
      'layer.remove': 'Entfernen',
      'layer.removeTitle': 'Schicht {i} entfernen',
      'layer.moved': 'Schicht an Position {to} von {n} verschoben.',
      'layer.removed': 'Schicht {i} entfernt; {n} übrig.',
      'parts.row': 'Periodische Werte der inhomogenen Schichten',
      'parts.method': 'Näherung paralleler Wärmeströme',
      'computedIn': 'Berechnet in {ms} ms.',
      'computesAgain': 'Die Wand lässt sich wieder berechnen.',
      'saved': '{name} gespeichert.',
      'linkCopied': 'Die Adresse dieser Seite gibt die Wand jetzt wieder.',
      'link.unreadable': 'Der #wall=-Link ließ sich nicht lesen: {message}',
      'link.short': 'er ist abgeschnitten: seine Länge ist nicht die eines base64url-Textes',
      'link.utf8': 'er ergibt keinen UTF-8-Text',
      'link.characters': 'er enthält Zeichen außerhalb von base64url (A-Z, a-z, 0-9, - und _)',
      'kind.material': 'Katalogmaterial',
      'kind.properties': 'eigene Eigenschaften',
      'kind.thermal_resistance': 'Luftschicht / Widerstand',
      'kind.parts': 'inhomogene Schicht (Ständer in Dämmung)',
      'kind.air_gap': 'Luftschicht nach Dicke',
      'kind.vapour_control': 'Dampfbremse (sd)',
      'part.group': 'Schicht {i}, Teil {k}',
      'pair.item': '{label}, Oberfläche {n}',
      'layer.catalogueValue': 'Katalog: {value}',
      'unset': 'nicht angegeben',
      'unset.family': 'Vorgabe',
      'unset.parts_aligned': 'Vorgabe: unabhängig',
      'unset.ventilation': 'Vorgabe: unbelüftet',
      'placeholder.wall.rsi': 'Vorgabe nach ISO 6946',
      'placeholder.wall.rse': 'Vorgabe nach ISO 6946',
      'placeholder.layer.thermal_resistance': 'ISO 6946',
      'placeholder.fasteners.penetration': 'Dicke der Schicht',
      'key.name': 'Name',
      'key.position': 'Lage',
      'key.heat_flow': 'Wärmestromrichtung',
      'key.orientation': 'Orientierung',
      'key.site_irradiance': 'Globalstrahlung am Standort',
      'key.layers': 'Schichten',
      'key.parts_aligned': 'Teile der Schichten',
      'key.corrections': 'Korrekturen (ISO 6946 Anhang F)',
      'key.material': 'Material',
      'key.family': 'Materialgruppe',
      'key.parts': 'Teile',
      'key.air_gap': 'Luftschicht d',
      'key.ventilation': 'Belüftung',
      'key.openings': 'Öffnungen',
      'key.emissivities': 'Emissionsgrad ε',
      'key.condensation_limit': 'Tauwassergrenze',
      'key.fraction': 'Flächenanteil',
      'key.air_voids': 'Luftspalte (F.2)',
      'key.fasteners': 'Befestigungsteile (F.3)',
      'key.level': 'Stufe',
      'key.layer': 'Schicht',
      'key.count': 'Anzahl nf',
      'key.cross_section': 'Querschnitt Af',
      'key.penetration': 'Eindringtiefe d1',
      'word.position.external': 'Außenbauteil',
      'word.position.internal': 'Innenbauteil',
      'word.heat_flow.horizontal': 'horizontal',
      'word.heat_flow.upward': 'aufwärts',
      'word.heat_flow.downward': 'abwärts',
      'word.orientation.N': 'Nord',
      'word.orientation.NE': 'Nordost',
      'word.orientation.E': 'Ost',
      'word.orientation.SE': 'Südost',
      'word.orientation.S': 'Süd',
      'word.orientation.SW': 'Südwest',
      'word.orientation.W': 'West',
      'word.orientation.NW': 'Nordwest',
      'word.ventilation.unventilated': 'unbelüftet',
      'word.ventilation.slightly': 'schwach belüftet',
      'word.ventilation.well': 'stark belüftet',
      'word.parts_aligned.true': 'fluchtend: ein Pfad je Teil',
      'word.parts_aligned.false': 'unabhängig: jede Kombination',
      'word.family.concrete': 'Beton',
      'word.family.masonry': 'Mauerwerk',
      'word.family.timber': 'Holz',
      'word.family.board': 'Platte',
      'word.family.plaster': 'Putz',
      'word.family.insulation': 'Dämmstoff',
      'word.family.metal': 'Metall',
      'word.family.glass': 'Glas',
      'word.family.soil': 'Erdreich',
      'word.family.stone': 'Naturstein',
      'word.family.membrane': 'Bahn',
      'word.family.air': 'Luft',
      'word.family.other': 'sonstige',
      'verdict.passed': 'erfüllt',
      'verdict.failed': 'nicht erfüllt',
      'verdict.not applicable': 'nicht anwendbar',
      'verdict.not computable': 'nicht berechenbar',
      'value.true': 'ja',
      'value.false': 'nein',
      'verdict.class': '{verdict}: Klasse {class}',
      'verdict.reason': '{verdict} ({reason})',
      'value.totals.mass_class.very-light': 'sehr leicht',
      'value.totals.mass_class.light': 'leicht',
      'value.totals.mass_class.medium': 'mittel',
      'value.totals.mass_class.heavy': 'schwer',
      'value.totals.mass_class.very-heavy': 'sehr schwer',
      'short.u_value': 'U-Wert',
      'short.decrement_factor': 'Dekrement',
      'short.periodic_thermal_transmittance.time_lag': 'Phasenverschiebung',
      'short.internal_areal_heat_capacity': 'Innere Wärmekapazität',
      'default.wall': 'Beton mit Außendämmung',
      'default.airGap': 'Luftschicht',
      'part.name': 'Teil {k}',
      'quoted': '„{word}“',
      'or': 'oder',
      'junction.heading': 'Anschluss (Wärmebrücke, ISO 10211)',
      'junction.note': 'Die Wand in einer Außenecke, an einer Innenwand, an einer Geschossdecke oder an einer Fensterlaibung, zweidimensional berechnet wie mit brusk bridge: ψ gegenüber dem U der Wände, die tiefste raumseitige Oberflächentemperatur und fRsi.',
      'junction.plots': 'Schnitt des Anschlusses und Temperaturfeld',
      'junction.caption': 'Kennwerte des Anschlusses',
      'junction.type': 'Anschluss',
      'junction.type.corner': 'Außenecke',
      'junction.type.t-junction': 'Innenwand (T-Stoß)',
      'junction.type.floor-slab': 'Geschossdecke',
      'junction.type.window-reveal': 'Fensterlaibung',
      'junction.second': 'Zweites Bauteil',
      'junction.second.partition': 'Ziegel-Innenwand 115 mm',
      'junction.second.slab': 'Betondecke 200 mm',
      'junction.second.wall': 'diese Wand',
      'junction.dimensions': 'Längen auf',
      'junction.dimensions.internal': 'Innenmaßen',
      'junction.dimensions.external': 'Außenmaßen',
      'junction.indoor': 'Innen θi [°C]',
      'junction.outdoor': 'Außen θe [°C]',
      'junction.slabInto': 'Decke in der Wand [m]',
      'junction.frameDepth': 'Rahmentiefe [m]',
      'junction.frameOffset': 'Rahmen von der Außenfläche eingerückt [m]',
      'junction.solved': 'Berechnet in {ms} ms {where}.',
      'junction.inWorker': 'im Hintergrund',
      'junction.inPage': 'in der Seite (von der Festplatte geöffnet startet der Browser keinen Hintergrund-Worker)',
      'junction.wall': 'Wand',
    },
    it: {
      'title': 'Brusk: caratteristiche termiche dinamiche di una parete (ISO 13786)',
      'language': 'Lingua',
      'header.title': 'Calcolatore di pareti Brusk',
      'header.intro': "Trasmissione del calore periodica attraverso un componente edilizio con il metodo delle matrici di trasferimento della ISO 13786, calcolata in questa pagina dallo stesso motore del comando brusk. Nulla lascia il tuo computer.",
      'wall.heading': 'Parete',
      'wall.period': 'Periodo T [h]',
      'wall.designIndoor': 'Temperatura interna di progetto',
      'wall.designOutdoor': 'Temperatura esterna di progetto',
      'layers.heading': 'Strati, dalla faccia interna (lato 1) verso l\'esterno',
      'layers.help': 'Sposta uno strato con i suoi pulsanti ↑ e ↓, con Alt+↑ e Alt+↓ in uno dei suoi campi o trascinandolo.',
      'add.material': 'Aggiungi strato di materiale',
      'add.custom': 'Aggiungi strato personalizzato',
      'add.air': 'Aggiungi intercapedine d\'aria / resistenza',
      'file.open': 'Apri file di parete (.toml, .json)',
      'file.saveToml': 'Salva TOML',
      'file.saveJson': 'Salva JSON',
      'file.report': 'Scarica rapporto HTML',
      'file.copyLink': 'Copia link',
      'compare.add': 'Aggiungi al confronto',
      'print': 'Stampa',
      'results.heading': 'Risultati',
      'results.stale': 'Non è la parete inserita: questi sono i risultati dell\'ultima parete calcolata. Correggi il campo segnato.',
      'results.plots': 'Sezione della parete, risposta su 48 h e andamento con il periodo, disegnati dallo stesso codice di brusk report',
      'results.caption': 'Al periodo T',
      'col.quantity': 'Grandezza',
      'col.symbol': 'Simbolo',
      'col.value': 'Valore',
      'col.unit': 'Unità',
      'moisture.heading': 'Umidità (ISO 13788)',
      'moisture.note': 'Condensazione interstiziale con il metodo mensile di Glaser e fattore di temperatura superficiale contro la muffa, come li calcola brusk moisture. I materiali del catalogo hanno il loro fattore di resistenza al vapore μ; uno strato o una parte con proprietà personalizzate richiede il suo μ o sd, inserito nello strato.',
      'moisture.climateFile': 'File climatico (.csv)',
      'moisture.climate': 'Clima:',
      'moisture.example': 'anno di esempio (costruito, non misurato)',
      'moisture.indoorSide': 'Lato interno',
      'moisture.fromFile': 'dal file climatico',
      'moisture.class': 'classe di umidità {n}',
      'moisture.indoor': 'Temperatura interna [°C]',
      'moisture.run': 'Valuta l\'umidità',
      'moisture.plots': 'Diagramma di Glaser, accumulo e profilo di temperatura',
      'moisture.none': 'Nessuna condensazione interstiziale.',
      'moisture.largest': 'Accumulo massimo {g} g/m² (mese {month});',
      'moisture.dries': 'asciuga entro l\'anno.',
      'moisture.notDries': 'NON asciuga entro l\'anno.',
      'moisture.surfacePasses': 'Superficie: verificata.',
      'moisture.surfaceFails': 'Superficie: non verificata.',
      'enterWall': 'Inserisci prima una parete.',
      'requirements.heading': 'Requisiti',
      'requirements.note': 'La parete verificata rispetto a un insieme integrato o a un tuo file di requisiti (TOML, vedi docs/requirements.md), come la verifica brusk check, con il riferimento accanto a ogni esito.',
      'requirements.set': 'Requisiti',
      'requirements.file': 'File di requisiti (.toml)',
      'requirements.run': 'Verifica',
      'requirements.caption': 'Regole',
      'col.rule': 'Regola',
      'col.clause': 'Riferimento',
      'col.verdict': 'Esito',
      'col.values': 'Valori',
      'requirements.passed': '{name}: ogni regola applicabile è soddisfatta.',
      'requirements.failed': '{name}: una regola non è soddisfatta.',
      'validation.heading': 'Validazione',
      'validation.note': 'I valori di Brusk confrontati con esempi di calcolo pubblicati e con le tabelle delle norme, come li confronta brusk validate: ogni valore come stampato, il valore di Brusk, la tolleranza e l’esito.',
      'validation.run': 'Esegui la validazione',
      'validation.caption': 'Valori pubblicati',
      'validation.sources': 'Fonti',
      'col.case': 'Caso',
      'col.at': 'Dove',
      'col.published': 'Pubblicato',
      'col.computed': 'Brusk',
      'col.tolerance': 'Tolleranza',
      'col.source': 'Fonte',
      'col.conventions': 'Convenzioni',
      'validation.agrees': 'concorda',
      'validation.differs': 'DIVERGE',
      'validation.all': '{agree} valori su {figures} in {cases} casi concordano con i valori pubblicati.',
      'validation.some': '{differ} valori su {figures} divergono dai valori pubblicati.',
      'requirements.nothing': '{name}: nessuna verifica: nessuna regola dell’insieme si applica a questa parete.',
      'requirements.notComputable': '{name}: non calcolabile: una regola richiede un valore che per questa parete non è calcolato.',
      'requirements.notComputed': 'non calcolato',
      'profile.heading': 'Risposta a un giorno di progetto',
      'profile.note': 'Il flusso termico della parete verso l\'ambiente con un andamento esterno periodico e un ambiente a temperatura costante, come lo calcola brusk response.',
      'profile.file': 'Andamento esterno (.csv)',
      'profile.outdoor': 'Esterno:',
      'profile.example': 'giorno di progetto di esempio (costruito, non misurato)',
      'profile.indoor': 'Temperatura dell\'ambiente [°C]',
      'profile.run': 'Calcola la risposta',
      'profile.caption': 'Sintesi sul periodo',
      'zone.heading': 'Ambiente (massa termica)',
      'zone.note': 'Un ambiente delimitato da questa parete, la sua massa termica secondo ISO 13790 e SAP come la calcola brusk zone (un file di zona fornisce gli altri componenti).',
      'zone.floor': 'Superficie del pavimento',
      'zone.h': 'Coefficiente di scambio termico H [W/K]',
      'zone.wallArea': 'Area della parete [m²]',
      'zone.run': 'Calcola l\'ambiente',
      'zone.caption': 'Totali dell\'ambiente',
      'compare.heading': 'Confronto',
      'compare.note': 'I valori diversi da quelli della prima parete sono segnati. Il confronto è conservato in questo browser e nell\'indirizzo della pagina.',
      'compare.clear': 'Svuota il confronto',
      'compare.wall': 'Parete {i}',
      'compare.left': 'Sposta la parete confrontata {i} a sinistra',
      'compare.right': 'Sposta la parete confrontata {i} a destra',
      'compare.remove': 'Rimuovi la parete confrontata {i}',
      'compare.differs': 'diverso da {name}',
      'compare.first': 'la prima parete',
      'compare.moved': 'Parete confrontata spostata in posizione {to} di {n}.',
      'compare.removed': 'Parete confrontata {i} rimossa; ne restano {n}.',
      'layer.kind': 'Tipo',
      'layer.group': 'Strato {i}',
      'layer.notInCatalogue': 'non nel catalogo',
      'layer.catalogueMaterials': 'Materiali del catalogo',
      'layer.addPart': 'Aggiungi parte',
      'layer.addPartTitle': 'Aggiungi una parte allo strato {i}',
      'layer.removePart': 'Rimuovi parte',
      'layer.removePartTitle': 'Rimuovi l\'ultima parte dello strato {i}',
      'layer.up': 'Sposta lo strato {i} verso l\'interno',
      'layer.down': 'Sposta lo strato {i} verso l\'esterno',
      'layer.remove': 'Rimuovi',
      'layer.removeTitle': 'Rimuovi lo strato {i}',
      'layer.moved': 'Strato spostato in posizione {to} di {n}.',
      'layer.removed': 'Strato {i} rimosso; ne restano {n}.',
      'parts.row': 'Valori periodici degli strati non omogenei',
      'parts.method': 'approssimazione a flussi paralleli',
      'computedIn': 'Calcolato in {ms} ms.',
      'computesAgain': 'La parete si calcola di nuovo.',
      'saved': '{name} salvato.',
      'linkCopied': 'L\'indirizzo di questa pagina ora riproduce la parete.',
      'link.unreadable': 'Il link #wall= non si è potuto leggere: {message}',
      'link.short': 'è troncato: la sua lunghezza non è quella di un testo base64url',
      'link.utf8': 'non si decodifica in testo UTF-8',
      'link.characters': 'contiene caratteri fuori da base64url (A-Z, a-z, 0-9, - e _)',
      'kind.material': 'materiale del catalogo',
      'kind.properties': 'proprietà personalizzate',
      'kind.thermal_resistance': 'intercapedine d\'aria / resistenza',
      'kind.parts': 'strato non omogeneo (montanti nell\'isolante)',
      'kind.air_gap': 'intercapedine d\'aria per spessore',
      'kind.vapour_control': 'freno al vapore (sd)',
      'part.group': 'Strato {i}, parte {k}',
      'pair.item': '{label}, faccia {n}',
      'layer.catalogueValue': 'catalogo: {value}',
      'unset': 'non indicato',
      'unset.family': 'predefinita',
      'unset.parts_aligned': 'predefinito: indipendenti',
      'unset.ventilation': 'predefinito: non ventilata',
      'placeholder.wall.rsi': 'valore della ISO 6946',
      'placeholder.wall.rse': 'valore della ISO 6946',
      'placeholder.layer.thermal_resistance': 'ISO 6946',
      'placeholder.fasteners.penetration': 'spessore dello strato',
      'key.name': 'Nome',
      'key.position': 'Posizione',
      'key.heat_flow': 'Flusso termico',
      'key.orientation': 'Orientamento',
      'key.site_irradiance': 'Irradianza al sito',
      'key.layers': 'Strati',
      'key.parts_aligned': 'Parti degli strati',
      'key.corrections': 'Correzioni (ISO 6946 appendice F)',
      'key.material': 'Materiale',
      'key.family': 'Famiglia',
      'key.parts': 'Parti',
      'key.air_gap': 'Intercapedine d',
      'key.ventilation': 'Ventilazione',
      'key.openings': 'Aperture',
      'key.emissivities': 'Emissività ε',
      'key.condensation_limit': 'Limite di condensa',
      'key.fraction': 'Frazione',
      'key.air_voids': 'Vuoti d\'aria (F.2)',
      'key.fasteners': 'Fissaggi meccanici (F.3)',
      'key.level': 'Livello',
      'key.layer': 'Strato',
      'key.count': 'Numero nf',
      'key.cross_section': 'Sezione Af',
      'key.penetration': 'Penetrazione d1',
      'word.position.external': 'esterna',
      'word.position.internal': 'interna',
      'word.heat_flow.horizontal': 'orizzontale',
      'word.heat_flow.upward': 'ascendente',
      'word.heat_flow.downward': 'discendente',
      'word.orientation.N': 'nord',
      'word.orientation.NE': 'nord-est',
      'word.orientation.E': 'est',
      'word.orientation.SE': 'sud-est',
      'word.orientation.S': 'sud',
      'word.orientation.SW': 'sud-ovest',
      'word.orientation.W': 'ovest',
      'word.orientation.NW': 'nord-ovest',
      'word.ventilation.unventilated': 'non ventilata',
      'word.ventilation.slightly': 'debolmente ventilata',
      'word.ventilation.well': 'ben ventilata',
      'word.parts_aligned.true': 'allineate: un percorso per parte',
      'word.parts_aligned.false': 'indipendenti: ogni combinazione',
      'word.family.concrete': 'calcestruzzo',
      'word.family.masonry': 'muratura',
      'word.family.timber': 'legno',
      'word.family.board': 'pannello',
      'word.family.plaster': 'intonaco',
      'word.family.insulation': 'isolante',
      'word.family.metal': 'metallo',
      'word.family.glass': 'vetro',
      'word.family.soil': 'terreno',
      'word.family.stone': 'pietra',
      'word.family.membrane': 'membrana',
      'word.family.air': 'aria',
      'word.family.other': 'altro',
      'verdict.passed': 'soddisfatta',
      'verdict.failed': 'non soddisfatta',
      'verdict.not applicable': 'non applicabile',
      'verdict.not computable': 'non calcolabile',
      'value.true': 'sì',
      'value.false': 'no',
      'verdict.class': '{verdict}: classe {class}',
      'verdict.reason': '{verdict} ({reason})',
      'value.totals.mass_class.very-light': 'molto leggera',
      'value.totals.mass_class.light': 'leggera',
      'value.totals.mass_class.medium': 'media',
      'value.totals.mass_class.heavy': 'pesante',
      'value.totals.mass_class.very-heavy': 'molto pesante',
      'short.u_value': 'Trasmittanza',
      'short.decrement_factor': 'Attenuazione',
      'short.periodic_thermal_transmittance.time_lag': 'Sfasamento',
      'short.internal_areal_heat_capacity': 'Capacità areica interna',
      'default.wall': 'Calcestruzzo con cappotto',
      'default.airGap': 'Intercapedine d\'aria',
      'part.name': 'Parte {k}',
      'quoted': '«{word}»',
      'or': 'o',
      'junction.heading': 'Giunto (ponte termico, ISO 10211)',
      'junction.note': 'La parete in un angolo, in un giunto a T, in un solaio intermedio o in una mazzetta di finestra, calcolata in due dimensioni come brusk bridge la calcola: ψ rispetto alla U delle pareti, la temperatura superficiale interna minima e fRsi.',
      'junction.plots': 'Sezione del giunto e campo di temperatura',
      'junction.caption': 'Le grandezze del giunto',
      'junction.type': 'Giunto',
      'junction.type.corner': 'angolo esterno',
      'junction.type.t-junction': 'parete interna (giunto a T)',
      'junction.type.floor-slab': 'solaio intermedio',
      'junction.type.window-reveal': 'mazzetta di finestra',
      'junction.second': 'Secondo elemento',
      'junction.second.partition': 'tramezzo in laterizio 115 mm',
      'junction.second.slab': 'solaio in calcestruzzo 200 mm',
      'junction.second.wall': 'questa parete',
      'junction.dimensions': 'Lunghezze su',
      'junction.dimensions.internal': 'dimensioni interne',
      'junction.dimensions.external': 'dimensioni esterne',
      'junction.indoor': 'Interno θi [°C]',
      'junction.outdoor': 'Esterno θe [°C]',
      'junction.slabInto': 'Solaio dentro la parete [m]',
      'junction.frameDepth': 'Profondità del telaio [m]',
      'junction.frameOffset': 'Telaio arretrato dalla faccia esterna [m]',
      'junction.solved': 'Calcolato in {ms} ms {where}.',
      'junction.inWorker': 'in background',
      'junction.inPage': 'nella pagina (aperta dal disco, il browser non avvia un worker in background)',
      'junction.wall': 'Parete',
    },
  };

  /** The quantity labels by key (every scope the page shows); English is the module's. */
  const QUANTITY = {
    de: {
      'period': 'Periodendauer',
      'thickness': 'Dicke',
      'surface_mass': 'Flächenbezogene Masse',
      'thermal_resistance': 'Wärmedurchlasswiderstand',
      'u_value': 'Wärmedurchgangskoeffizient',
      'periodic_thermal_transmittance.modulus': 'Periodischer Wärmedurchgangskoeffizient',
      'decrement_factor': 'Temperaturamplitudenverhältnis (Dekrement)',
      'periodic_thermal_transmittance.time_shift': 'Zeitverschiebung des periodischen Wärmedurchgangskoeffizienten',
      'periodic_thermal_transmittance.time_lag': 'Phasenverschiebung',
      'internal_admittance.modulus': 'Innere Wärmeadmittanz',
      'internal_admittance.time_shift': 'Zeitverschiebung der inneren Wärmeadmittanz',
      'external_admittance.modulus': 'Äußere Wärmeadmittanz',
      'external_admittance.time_shift': 'Zeitverschiebung der äußeren Wärmeadmittanz',
      'internal_areal_heat_capacity': 'Innere flächenbezogene Wärmekapazität',
      'external_areal_heat_capacity': 'Äußere flächenbezogene Wärmekapazität',
      'sequential_heat_capacity.daily.value': 'Flächenbezogene Wärmekapazität, 1 Tag',
      'sequential_heat_capacity.twelve_day.value': 'Flächenbezogene Wärmekapazität, 12 Tage',
      'transfer_matrix.z11': 'Element Z11 der Wärmetransfermatrix',
      'transfer_matrix.z12': 'Element Z12 der Wärmetransfermatrix',
      'transfer_matrix.z21': 'Element Z21 der Wärmetransfermatrix',
      'transfer_matrix.z22': 'Element Z22 der Wärmetransfermatrix',
      'thermal_resistance_upper': 'Oberer Grenzwert des Wärmedurchgangswiderstands',
      'thermal_resistance_lower': 'Unterer Grenzwert des Wärmedurchgangswiderstands',
      'relative_error': 'Größter relativer Fehler',
      'u_value_corrected': 'Korrigierter Wärmedurchgangskoeffizient',
      'totals.heat_capacity': 'Innere Wärmekapazität',
      'totals.effective_mass_area': 'Wirksame Massefläche',
      'totals.heat_capacity_per_floor_area': 'Wärmekapazität je Grundfläche',
      'totals.effective_mass_area_per_floor_area': 'Wirksame Massefläche je Grundfläche',
      'totals.mass_class': 'Bauschwereklasse',
      'totals.thermal_mass_parameter': 'Parameter der thermischen Masse',
      'totals.admittance_area': 'Admittanzfläche',
      'totals.conductance_area': 'Transmissionsleitwert',
      'totals.time_constant': 'Zeitkonstante',
      'summary.mean_heat_flow_in': 'Mittlerer Wärmestrom in den Raum',
      'summary.peak_heat_flow_in': 'Größter Wärmestrom in den Raum',
      'summary.peak_heat_flow_in_time': 'Zeitpunkt des größten Wärmestroms',
      'summary.minimum_heat_flow_in': 'Kleinster Wärmestrom in den Raum',
      'summary.minimum_heat_flow_in_time': 'Zeitpunkt des kleinsten Wärmestroms',
      'summary.heat_gained': 'Über die Innenoberfläche aufgenommene Wärme',
      'summary.heat_lost': 'Über die Innenoberfläche abgegebene Wärme',
      'summary.inner_surface_temperature_max': 'Höchste innere Oberflächentemperatur',
      'summary.inner_surface_temperature_max_time': 'Zeitpunkt der höchsten inneren Oberflächentemperatur',
      'summary.inner_surface_temperature_min': 'Tiefste innere Oberflächentemperatur',
      'summary.inner_surface_temperature_min_time': 'Zeitpunkt der tiefsten inneren Oberflächentemperatur',
      'summary.main_harmonic_period': 'Periode der Hauptharmonischen',
      'summary.effective_decrement_factor': 'Wirksamer Dämpfungsfaktor der Hauptharmonischen',
      'summary.effective_time_lag': 'Wirksame Phasenverschiebung der Hauptharmonischen',
      'summary.outdoor_peak_time': 'Zeitpunkt des Außenmaximums',
      'summary.peak_delay': 'Verzögerung des Maximums gegenüber außen',
      'psi': 'Längenbezogener Wärmedurchgangskoeffizient',
      'coupling_coefficient': 'Thermischer Leitwert (2D)',
      'minimum_surface_temperature.value': 'Tiefste raumseitige Oberflächentemperatur',
      'f_rsi': 'Temperaturfaktor',
      'grid.cells': 'Gitterzellen',
      'grid.last_change': 'Änderung des Wärmestroms bei der letzten Halbierung',
    },
    it: {
      'period': 'Periodo',
      'thickness': 'Spessore',
      'surface_mass': 'Massa superficiale',
      'thermal_resistance': 'Resistenza termica',
      'u_value': 'Trasmittanza termica',
      'periodic_thermal_transmittance.modulus': 'Trasmittanza termica periodica',
      'decrement_factor': 'Fattore di attenuazione',
      'periodic_thermal_transmittance.time_shift': 'Sfasamento temporale della trasmittanza periodica',
      'periodic_thermal_transmittance.time_lag': 'Sfasamento',
      'internal_admittance.modulus': 'Ammettenza termica interna',
      'internal_admittance.time_shift': 'Sfasamento dell\'ammettenza interna',
      'external_admittance.modulus': 'Ammettenza termica esterna',
      'external_admittance.time_shift': 'Sfasamento dell\'ammettenza esterna',
      'internal_areal_heat_capacity': 'Capacità termica areica interna',
      'external_areal_heat_capacity': 'Capacità termica areica esterna',
      'sequential_heat_capacity.daily.value': 'Capacità termica areica, 1 giorno',
      'sequential_heat_capacity.twelve_day.value': 'Capacità termica areica, 12 giorni',
      'transfer_matrix.z11': 'Elemento Z11 della matrice di trasferimento',
      'transfer_matrix.z12': 'Elemento Z12 della matrice di trasferimento',
      'transfer_matrix.z21': 'Elemento Z21 della matrice di trasferimento',
      'transfer_matrix.z22': 'Elemento Z22 della matrice di trasferimento',
      'thermal_resistance_upper': 'Limite superiore della resistenza termica totale',
      'thermal_resistance_lower': 'Limite inferiore della resistenza termica totale',
      'relative_error': 'Errore relativo massimo',
      'u_value_corrected': 'Trasmittanza termica corretta',
      'totals.heat_capacity': 'Capacità termica interna',
      'totals.effective_mass_area': 'Area di massa efficace',
      'totals.heat_capacity_per_floor_area': 'Capacità termica per area di pavimento',
      'totals.effective_mass_area_per_floor_area': 'Area di massa efficace per area di pavimento',
      'totals.mass_class': 'Classe di massa',
      'totals.thermal_mass_parameter': 'Parametro di massa termica',
      'totals.admittance_area': 'Area di ammettenza',
      'totals.conductance_area': 'Conduttanza di trasmissione',
      'totals.time_constant': 'Costante di tempo',
      'summary.mean_heat_flow_in': 'Flusso termico medio verso l\'ambiente',
      'summary.peak_heat_flow_in': 'Flusso termico massimo verso l\'ambiente',
      'summary.peak_heat_flow_in_time': 'Ora del flusso massimo',
      'summary.minimum_heat_flow_in': 'Flusso termico minimo verso l\'ambiente',
      'summary.minimum_heat_flow_in_time': 'Ora del flusso minimo',
      'summary.heat_gained': 'Calore guadagnato attraverso la superficie interna',
      'summary.heat_lost': 'Calore perso attraverso la superficie interna',
      'summary.inner_surface_temperature_max': 'Temperatura superficiale interna massima',
      'summary.inner_surface_temperature_max_time': 'Ora della temperatura superficiale interna massima',
      'summary.inner_surface_temperature_min': 'Temperatura superficiale interna minima',
      'summary.inner_surface_temperature_min_time': 'Ora della temperatura superficiale interna minima',
      'summary.main_harmonic_period': 'Periodo dell\'armonica principale',
      'summary.effective_decrement_factor': 'Fattore di attenuazione efficace dell\'armonica principale',
      'summary.effective_time_lag': 'Sfasamento efficace dell\'armonica principale',
      'summary.outdoor_peak_time': 'Ora del massimo esterno',
      'summary.peak_delay': 'Ritardo del massimo rispetto all\'esterno',
      'psi': 'Trasmittanza termica lineica',
      'coupling_coefficient': 'Coefficiente di accoppiamento termico (2D)',
      'minimum_surface_temperature.value': 'Temperatura superficiale interna minima del giunto',
      'f_rsi': 'Fattore di temperatura',
      'grid.cells': 'Celle della griglia',
      'grid.last_change': 'Variazione del flusso termico all\'ultimo dimezzamento',
    },
  };

  /**
   * Whether `code` is one of the page's languages: a key of LANGUAGES itself, never a name every
   * object inherits ("constructor", "__proto__", "toString"), which a link or the stored choice
   * could hold.
   */
  function known(code) {
    return typeof code === 'string' && Object.prototype.hasOwnProperty.call(LANGUAGES, code);
  }

  /** The language asked for by ?lang=, else the one kept, else the browser's first we have. */
  function chosenLanguage() {
    const asked = new URLSearchParams(location.search).get('lang');
    if (known(asked)) return asked;
    try {
      const kept = localStorage.getItem(STORE);
      if (known(kept)) return kept;
    } catch (error) {
      // Storage refused: the browser's languages decide.
    }
    for (const tag of navigator.languages || [navigator.language || '']) {
      const primary = String(tag).toLowerCase().split('-')[0];
      if (known(primary)) return primary;
    }
    return 'en';
  }

  /** table[key] when the table holds it as its own entry, else undefined. */
  function entryOf(table, key) {
    return table && Object.prototype.hasOwnProperty.call(table, key) ? table[key] : undefined;
  }

  let language = chosenLanguage();

  /** The page's text `key` in the current language (English when it has none), {name}s filled. */
  function t(key, values) {
    const text = entryOf(TEXT[language], key) !== undefined ? entryOf(TEXT[language], key) : entryOf(TEXT.en, key) !== undefined ? entryOf(TEXT.en, key) : String(key);
    return text.replace(/\{(\w+)\}/g, (all, name) => (values && values[name] !== undefined ? String(values[name]) : all));
  }

  /** The label of quantity `q` (an entry of brusk.quantities()) in the current language. */
  function label(q) {
    return entryOf(QUANTITY[language], q.key) || q.label;
  }

  /**
   * Labels of wall-file keys that are symbols in every language (by key, or by "object.key"
   * where one object's key is another quantity), for the fields made from the wall schema.
   */
  const SYMBOLS = {
    'thickness': 'd', 'conductivity': 'λ', 'density': 'ρ', 'specific_heat': 'c', 'thermal_resistance': 'R',
    'vapour_resistance_factor': 'μ', 'sd': 'sd', 'rsi': 'Rsi', 'rse': 'Rse', 'fasteners.conductivity': 'λf',
  };

  /** The text `key` of `code`'s own catalogue, without falling back to English; undefined if it has none. */
  function own(code, key) {
    return entryOf(TEXT, code) ? entryOf(TEXT[code], key) : undefined;
  }

  /**
   * The label of key `key` of the wall-file object `object` ("wall", "layer", "part", ...) in
   * language `code` (the current one): a symbol, or the language's words for the key; undefined
   * when the language has none (a key new to the schema).
   */
  function fieldIn(code, object, key) {
    return SYMBOLS[`${object}.${key}`] || own(code, `key.${object}.${key}`) || SYMBOLS[key] || own(code, `key.${key}`);
  }

  /** The label of a wall-file key in the current language (English, else the key itself, when it has none). */
  function field(object, key) {
    return fieldIn(language, object, key) || fieldIn('en', object, key) || key;
  }

  /** The word `word` of the wall-file key `key` ("external" of position) in language `code`, if it has one. */
  function wordIn(code, key, word) {
    return own(code, `word.${key}.${word}`);
  }

  /** A word of a wall-file key as the current language says it (English, else the word itself). */
  function word(key, value) {
    return wordIn(language, key, value) || wordIn('en', key, value) || value;
  }

  /** The choice of a select that leaves the wall-file key `key` out ("not given", "default"). */
  function unset(key) {
    return own(language, `unset.${key}`) || own('en', `unset.${key}`) || t('unset');
  }

  /** The placeholder of the field of `key` of `object` (what leaving it blank means), or ''. */
  function placeholder(object, key) {
    const name = `placeholder.${object}.${key}`;
    return own(language, name) || own('en', name) || '';
  }

  /** A number as the page prints it (already rounded text such as "0.2841"), with the language's separator. */
  function number(text) {
    return language === 'en' ? String(text) : String(text).replace(/(\d)\.(\d)/g, '$1,$2');
  }

  /** A field's text with a decimal comma read as a point ("0,25" is 0.25); no thousands separator. */
  function decimal(text) {
    return String(text).replace(/^(\s*[-+]?[0-9]*),([0-9]+(?:[eE][-+]?[0-9]+)?\s*)$/, '$1.$2');
  }

  /**
   * The words of a wall-file key inside a message: the label its field has in the current
   * language ("λ" for conductivity), the key itself where the page has none.
   */
  function keyLabel(key) {
    for (const object of ['layer', 'wall', 'part', 'corrections', 'air_voids', 'fasteners']) {
      const found = fieldIn(language, object, key);
      if (found) return found;
    }
    return key;
  }

  /** Words quoted and joined as the language lists alternatives: „a“, „b“ oder „c“. */
  function alternatives(words) {
    const quoted = words.map((w) => t('quoted', { word: w }));
    return quoted.length < 2 ? quoted.join('') : `${quoted.slice(0, -1).join(', ')} ${t('or')} ${quoted[quoted.length - 1]}`;
  }

  /** A value of a message part (see brusk.messageWordings()) in the current language. */
  function messageValue(value) {
    if (typeof value === 'string') return value;
    if (!value || typeof value !== 'object') return '';
    if (value.number !== undefined) return number(value.number);
    if (value.word !== undefined) return word(value.key, value.word);
    if (Array.isArray(value.choices)) return alternatives(value.choices.map((w) => (value.key === 'material' ? w : word(value.key, w))));
    if (value.key !== undefined) return keyLabel(value.key);
    return '';
  }

  /** One part of a message by key ({key, text, values}) in the current language; its English text where the catalogue lacks it. */
  function messagePart(part) {
    const wording = language === 'en' ? undefined : own(language, `message.${part.key}`);
    if (wording === undefined) return part.text;
    return wording.replace(/\{(\w+)\}/g, (all, name) => (part.values && part.values[name] !== undefined ? messageValue(part.values[name]) : all));
  }

  /**
   * A message of the module in the current language: an Error (or a reply) whose `parts` are
   * the message by key, each part worded here and joined by ": " as the module joins them; the
   * module's English `message` for one worded in English only.
   */
  function message(error) {
    if (!error) return '';
    if (Array.isArray(error.parts) && error.parts.length) return error.parts.map(messagePart).join(': ');
    return error.message !== undefined ? String(error.message) : String(error);
  }

  /**
   * The words and number format the module draws in for the current language: options for
   * brusk.plots() and brusk.moisturePlots() ({} in English, the module's own words).
   */
  function plotLocale() {
    if (language === 'en') return {};
    const words = {};
    for (const [key, text] of Object.entries(TEXT[language])) if (key.startsWith('plot.')) words[key.slice(5)] = text;
    return { words, decimalSeparator: ',' };
  }

  /** A unit written after a value: none for a dimensionless quantity, whose unit is "–". */
  function unitAfter(q) {
    const unit = q.display_unit_unicode;
    return unit === '–' || unit === '-' || !unit ? '' : unit;
  }

  /** The short label of a key result (U-Wert), else its label. */
  function shortLabel(q) {
    return own(language, `short.${q.key}`) || label(q);
  }

  /** A word a quantity takes as its value (a mass class) in the current language. */
  function valueWord(q, value) {
    return own(language, `value.${q.key}.${value}`) || own('en', `value.${q.key}.${value}`) || value;
  }

  /** The name of catalogue material `key` in the current language, else `name` (the catalogue's). */
  function material(key, name) {
    return (language !== 'en' && own(language, `material.${key}`)) || name;
  }

  /** The description of key `key` of `object` (a field's tooltip), else `english` (the schema's). */
  function description(object, key, english) {
    return (language !== 'en' && own(language, `desc.${object}.${key}`)) || english;
  }

  /**
   * Fills `table` (a tbody) with a row per quantity of `quantities` (entries of
   * brusk.quantities()) read from `result` at its dotted key: the label in the current language,
   * the symbol, the value in its display unit to four significant digits (a word in the
   * language's word for it), the unit. Every cell is text.
   */
  function quantityRows(table, quantities, result) {
    for (const q of quantities) {
      const tr = document.createElement('tr');
      tr.dataset.quantity = q.key;
      const value = q.key.split('.').reduce((node, key) => (node == null ? undefined : node[key]), result);
      const shown = typeof value === 'string' ? valueWord(q, value)
        : typeof value !== 'number' || !Number.isFinite(value) ? '–'
        : number(String(Number((value * (q.display_scale || 1)).toPrecision(4))));
      for (const [i, text] of [label(q), q.symbol_unicode, shown, q.display_unit_unicode].entries()) {
        const cell = document.createElement(i === 0 ? 'th' : 'td');
        if (i === 0) cell.scope = 'row';
        if (i === 2) cell.className = 'number';
        cell.textContent = text;
        tr.appendChild(cell);
      }
      table.appendChild(tr);
    }
  }

  /** The catalogue's name of material `key` in the current language, or undefined in English. */
  function materialName(key) {
    return language !== 'en' && typeof key === 'string' ? own(language, `material.${key}`) : undefined;
  }

  /**
   * The wall `wall` (a document) with the names the module would give in English given in the
   * current language: a catalogue layer or part without a name of its own takes the material's
   * name here, any other layer "Schicht N" and part "Teil N" (a layer of parts is named after its
   * parts by the module). What the page hands to the drawings and to compute(), so that they and
   * the messages name layers as the page does; physics and results are the same.
   */
  function drawnWall(wall) {
    if (language === 'en' || !wall || !Array.isArray(wall.layers)) return wall;
    const copy = JSON.parse(JSON.stringify(wall));
    const isTable = (value) => value !== null && typeof value === 'object' && !Array.isArray(value);
    copy.layers.forEach((layer, i) => {
      if (!isTable(layer)) return;
      if (Array.isArray(layer.parts)) {
        layer.parts.forEach((part, k) => {
          if (isTable(part) && part.name === undefined) part.name = materialName(part.material) || t('part.name', { k: k + 1 });
        });
      } else if (layer.name === undefined) {
        layer.name = materialName(layer.material) || t('layer.group', { i: i + 1 });
      }
    });
    return copy;
  }

  /**
   * Every text of language `code`'s catalogue by key, the quantity labels as "quantity.<key>":
   * what a test reads to find a string the page shows without a translation.
   */
  function catalogue(code) {
    const all = Object.assign({}, TEXT[code] || {});
    for (const [key, text] of Object.entries(QUANTITY[code] || {})) all[`quantity.${key}`] = text;
    return all;
  }

  /**
   * Adds `table` (key: text) to language `code`'s catalogue: the words of what the module shows
   * (i18n_module.js) beside the page's own.
   */
  function add(code, table) {
    if (!known(code)) throw new Error(`no language "${code}"`);
    Object.assign(TEXT[code], table);
  }

  /** Puts the page's own words of the HTML into the current language. */
  function apply() {
    document.documentElement.lang = language;
    document.title = t('title');
    for (const element of document.querySelectorAll('[data-i18n]')) element.textContent = t(element.dataset.i18n, element.dataset);
    for (const [attribute, data] of [['placeholder', 'i18nPlaceholder'], ['title', 'i18nTitle'], ['aria-label', 'i18nAriaLabel']]) {
      for (const element of document.querySelectorAll(`[data-${attribute === 'aria-label' ? 'i18n-aria-label' : 'i18n-' + attribute}]`)) element.setAttribute(attribute, t(element.dataset[data]));
    }
    const picker = document.getElementById('language');
    if (picker) picker.value = language;
  }

  /** Switches to `code`, keeps the choice, and asks every part of the page to print again. */
  function use(code) {
    if (!known(code)) return;
    language = code;
    try {
      localStorage.setItem(STORE, code);
    } catch (error) {
      // Storage refused: the choice lasts for this page.
    }
    apply();
    document.dispatchEvent(new CustomEvent('brusk-language', { detail: code }));
  }

  function picker() {
    const select = document.getElementById('language');
    if (!select) return;
    for (const [code, name] of Object.entries(LANGUAGES)) {
      const option = document.createElement('option');
      option.value = code;
      option.lang = code;
      option.textContent = name;
      select.appendChild(option);
    }
    select.addEventListener('change', () => use(select.value));
  }

  globalThis.bruskI18n = {
    t, own, label, shortLabel, number, decimal, quantityRows, use, field, fieldIn, word, wordIn, unset, placeholder,
    message, messagePart, plotLocale, unitAfter, valueWord, material, description, alternatives, add, drawnWall, catalogue,
    get language() { return language; }, languages: Object.keys(LANGUAGES),
  };
  // The script is loaded at the end of the body: the HTML it translates is there.
  picker();
  apply();
})();
