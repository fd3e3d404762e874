// A two-dimensional junction in the report: the section as drawn and its temperature field side
// by side, then its materials, flanking elements and results. The field is sampled on a raster of
// a few pixels (whatever the solver's grid, the drawing stays a few hundred kB at most), drawn as
// colour bands one isotherm step wide with the isotherms over them.

#include "brusk/report/junction_section.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <tuple>
#include <utility>

#include "brusk/engine/quantities.h"
#include "brusk/report/plot_words.h"
#include "isolines.h"
#include "svg_writer.h"
#include "text_format.h"
#include "wall_section.h"

namespace Brusk::Report {

namespace {

constexpr double kPanelWidth = 430.0;      ///< each of the two drawings [px]
constexpr double kDrawingSide = 380.0;     ///< the body's longer side [px]
constexpr double kMarginTop = 28.0;        ///< room for the panel's heading
constexpr double kSamplePixels = 2.0;      ///< raster of the temperature field [px]
constexpr double kLegendRow = 16.0;        ///< one environment in the section's key [px]
constexpr double kColourBarHeight = 44.0;  ///< the field's colour key with its labels [px]
/// Most region edges along one axis for which the material boundaries are worked out cell by
/// cell; beyond, the regions' own outlines are drawn.
constexpr std::size_t kMostEdgeLines = 400;

const char* const kIndoorColour = "#D55E00";
const char* const kOutdoorColour = "#0072B2";
constexpr std::array<const char*, 4> kOtherColours = {"#009E73", "#CC79A7", "#E69F00", "#56B4E9"};
const char* const kEdgeColour = "#444";
const char* const kIsothermColour = "#333";

const Engine::Quantity& bridgeQuantity(std::string_view key) {
  return Engine::quantity(Engine::QuantityScope::Bridge, key);
}

/// The body's bounding box and the map from metres to the drawing's pixels (y up in the body,
/// down on the page).
struct View {
  double x0 = 0.0, x1 = 0.0, y0 = 0.0, y1 = 0.0;  ///< [m]
  double scale = 1.0;                             ///< [px/m]
  double left = 0.0, top = 0.0;                   ///< the body's top-left corner [px]

  [[nodiscard]] double width() const { return (x1 - x0) * scale; }
  [[nodiscard]] double height() const { return (y1 - y0) * scale; }
  [[nodiscard]] SvgPoint at(double x, double y) const {
    return {left + (x - x0) * scale, top + (y1 - y) * scale};
  }
};

View viewOf(const Engine::BridgeRequest& request) {
  View view;
  view.x0 = view.y0 = std::numeric_limits<double>::infinity();
  view.x1 = view.y1 = -std::numeric_limits<double>::infinity();
  for (const Engine::BridgeRegion& region : request.regions) {
    view.x0 = std::min(view.x0, region.x0);
    view.x1 = std::max(view.x1, region.x1);
    view.y0 = std::min(view.y0, region.y0);
    view.y1 = std::max(view.y1, region.y1);
  }
  view.scale = kDrawingSide / std::max(view.x1 - view.x0, view.y1 - view.y0);
  view.left = 0.5 * (kPanelWidth - view.width());
  view.top = kMarginTop;
  return view;
}

/// The coldest and the warmest environment [degC]: the field lies between them.
std::pair<double, double> temperatureSpan(const Engine::BridgeRequest& request) {
  double cold = std::numeric_limits<double>::infinity();
  double warm = -cold;
  for (const Engine::BridgeEnvironment& environment : request.environments) {
    cold = std::min(cold, environment.temperature);
    warm = std::max(warm, environment.temperature);
  }
  return {cold, warm};
}

std::string environmentColour(const Engine::BridgeRequest& request, std::size_t environment) {
  if (request.indoor && *request.indoor == environment) return kIndoorColour;
  if (request.outdoor && *request.outdoor == environment) return kOutdoorColour;
  std::size_t other = 0;
  for (std::size_t e = 0; e < environment; ++e) {
    const bool named =
        (request.indoor && *request.indoor == e) || (request.outdoor && *request.outdoor == e);
    if (!named) ++other;
  }
  return kOtherColours[other % kOtherColours.size()];
}

/// The lines between different materials and around the body: the regions' edges cut into
/// cells, each cell owned by the last region over it, an edge drawn where its two cells differ
/// in conductivity or name.
void drawMaterialEdges(SvgWriter& svg, const View& view, const Frontend::Junction& junction) {
  const auto& regions = junction.request.regions;
  std::vector<double> xs, ys;
  for (const Engine::BridgeRegion& region : regions) {
    xs.insert(xs.end(), {region.x0, region.x1});
    ys.insert(ys.end(), {region.y0, region.y1});
  }
  for (std::vector<double>* lines : {&xs, &ys}) {
    std::sort(lines->begin(), lines->end());
    lines->erase(std::unique(lines->begin(), lines->end()), lines->end());
  }
  const SvgStroke stroke{kEdgeColour, 0.8, ""};
  if (xs.size() > kMostEdgeLines || ys.size() > kMostEdgeLines) {
    for (const Engine::BridgeRegion& region : regions) {
      const SvgPoint corner = view.at(region.x0, region.y1);
      svg.rectangle(corner, (region.x1 - region.x0) * view.scale,
                    (region.y1 - region.y0) * view.scale, "none", stroke);
    }
    return;
  }
  const std::size_t nx = xs.size() - 1, ny = ys.size() - 1;
  std::vector<int> owner(nx * ny, -1);
  auto index = [](const std::vector<double>& lines, double value) {
    return static_cast<std::size_t>(std::lower_bound(lines.begin(), lines.end(), value) -
                                    lines.begin());
  };
  for (std::size_t r = 0; r < regions.size(); ++r) {
    const std::size_t i0 = index(xs, regions[r].x0), i1 = index(xs, regions[r].x1);
    const std::size_t j0 = index(ys, regions[r].y0), j1 = index(ys, regions[r].y1);
    for (std::size_t j = j0; j < j1; ++j) {
      for (std::size_t i = i0; i < i1; ++i) owner[i + j * nx] = static_cast<int>(r);
    }
  }
  auto differ = [&](int a, int b) {
    if (a == b) return false;
    if (a < 0 || b < 0) return true;
    const auto ua = static_cast<std::size_t>(a), ub = static_cast<std::size_t>(b);
    return regions[ua].conductivity != regions[ub].conductivity ||
           junction.regions[ua].name != junction.regions[ub].name;
  };
  auto ownerAt = [&](std::ptrdiff_t i, std::ptrdiff_t j) {
    if (i < 0 || j < 0 || i >= static_cast<std::ptrdiff_t>(nx) ||
        j >= static_cast<std::ptrdiff_t>(ny)) {
      return -1;
    }
    return owner[static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * nx];
  };
  // Runs of differing cell pairs along each line, joined into one path.
  std::vector<SvgPoint> path;
  const double gap = std::numeric_limits<double>::quiet_NaN();
  for (std::size_t i = 0; i <= nx; ++i) {
    for (std::size_t j = 0; j < ny; ++j) {
      const auto si = static_cast<std::ptrdiff_t>(i), sj = static_cast<std::ptrdiff_t>(j);
      if (!differ(ownerAt(si - 1, sj), ownerAt(si, sj))) continue;
      std::size_t end = j + 1;
      while (end < ny && differ(ownerAt(si - 1, static_cast<std::ptrdiff_t>(end)),
                                ownerAt(si, static_cast<std::ptrdiff_t>(end)))) {
        ++end;
      }
      path.insert(path.end(), {view.at(xs[i], ys[j]), view.at(xs[i], ys[end]), {gap, gap}});
      j = end - 1;
    }
  }
  for (std::size_t j = 0; j <= ny; ++j) {
    for (std::size_t i = 0; i < nx; ++i) {
      const auto si = static_cast<std::ptrdiff_t>(i), sj = static_cast<std::ptrdiff_t>(j);
      if (!differ(ownerAt(si, sj - 1), ownerAt(si, sj))) continue;
      std::size_t end = i + 1;
      while (end < nx && differ(ownerAt(static_cast<std::ptrdiff_t>(end), sj - 1),
                                ownerAt(static_cast<std::ptrdiff_t>(end), sj))) {
        ++end;
      }
      path.insert(path.end(), {view.at(xs[i], ys[j]), view.at(xs[end], ys[j]), {gap, gap}});
      i = end - 1;
    }
  }
  svg.polyline(path, stroke);
}

std::string regionName(const Frontend::Junction& junction, std::size_t r) {
  const std::string& name = junction.regions[r].name;
  return name.empty() ? "region " + std::to_string(r + 1) : name;
}

/// An environment's name in `words`: the templates' "indoor" and "outdoor" are the drawings'
/// own words, any other name is the file's and stays as it is.
std::string environmentName(const std::string& name, const PlotWords& words) {
  if (name == "indoor") return words("junction.indoor");
  if (name == "outdoor") return words("junction.outdoor");
  return name;
}

/// The section: regions in their order, each later one over the earlier, the material edges,
/// each boundary in its environment's colour, and a key of the environments.
std::string sectionDrawing(const Frontend::JunctionReport& report, std::size_t index,
                           const View& view, double height, const PlotWords& words) {
  const Frontend::Junction& junction = report.junction;
  const auto& request = junction.request;
  SvgWriter svg("junction-" + std::to_string(index) + "-section", kPanelWidth, height,
                words("junction.section.title", {{"junction", junction.name}}));
  svg.text({kPanelWidth / 2.0, 16.0}, words("junction.section.heading"),
           {TextAnchor::Middle, 13.0, "#222", true, 0.0});
  for (std::size_t r = 0; r < request.regions.size(); ++r) {
    const Engine::BridgeRegion& region = request.regions[r];
    svg.rectangle(view.at(region.x0, region.y1), (region.x1 - region.x0) * view.scale,
                  (region.y1 - region.y0) * view.scale, familyColour(junction.regions[r].family),
                  SvgStroke{"none", 0.0, ""});
  }
  drawMaterialEdges(svg, view, junction);
  for (const Engine::BridgeBoundary& boundary : request.boundaries) {
    svg.line(view.at(boundary.x0, boundary.y0), view.at(boundary.x1, boundary.y1),
             {environmentColour(request, boundary.environment), 3.5, ""});
  }
  double y = view.top + view.height() + 24.0;
  for (std::size_t e = 0; e < request.environments.size(); ++e) {
    const Engine::BridgeEnvironment& environment = request.environments[e];
    svg.line({20.0, y - 4.0}, {44.0, y - 4.0}, {environmentColour(request, e), 3.5, ""});
    svg.text({52.0, y},
             words("junction.environment",
                   {{"environment", environmentName(environment.name, words)},
                    {"temperature", words.number(environment.temperature, 1)},
                    {"resistance", words.number(environment.surfaceResistance, 2)}}),
             {TextAnchor::Start, 11.0, "#222", false, 0.0});
    y += kLegendRow;
  }
  return svg.finish();
}

/// The field as bands of one isotherm step, sampled every kSamplePixels: horizontal runs of a
/// band, stacked runs of the same span and band drawn as one rectangle.
void drawBands(SvgWriter& svg, const View& view, const std::vector<double>& samples,
               std::size_t columns, std::size_t rows, double step, double cold, double warm) {
  using Run = std::tuple<std::size_t, std::size_t, long>;  // first column, end column, band
  auto bandOf = [step](double t) { return static_cast<long>(std::floor(t / step)); };
  auto colourOf = [&](long band) {
    const double centre = (static_cast<double>(band) + 0.5) * step;
    return temperatureColour((centre - cold) / (warm - cold));
  };
  // A hair of overlap hides the seams a browser's anti-aliasing leaves between rectangles.
  constexpr double kOverlap = 0.4;
  auto emit = [&](const Run& run, std::size_t firstRow, std::size_t endRow) {
    const auto& [from, to, band] = run;
    svg.rectangle({view.left + static_cast<double>(from) * kSamplePixels,
                   view.top + static_cast<double>(firstRow) * kSamplePixels},
                  static_cast<double>(to - from) * kSamplePixels + kOverlap,
                  static_cast<double>(endRow - firstRow) * kSamplePixels + kOverlap, colourOf(band),
                  SvgStroke{"none", 0.0, ""});
  };
  std::map<Run, std::size_t> open;  // each run still growing downwards, with its first row
  for (std::size_t j = 0; j <= rows; ++j) {
    std::map<Run, std::size_t> now;
    if (j < rows) {
      for (std::size_t i = 0; i < columns;) {
        const double t = samples[i + j * columns];
        if (!std::isfinite(t)) {
          ++i;
          continue;
        }
        const long band = bandOf(t);
        std::size_t end = i + 1;
        while (end < columns && std::isfinite(samples[end + j * columns]) &&
               bandOf(samples[end + j * columns]) == band) {
          ++end;
        }
        const Run run{i, end, band};
        const auto found = open.find(run);
        now[run] = found != open.end() ? found->second : j;
        i = end;
      }
    }
    for (const auto& [run, firstRow] : open) {
      if (now.count(run) == 0) emit(run, firstRow, j);
    }
    open = std::move(now);
  }
}

/// The temperature field with its isotherms, the coldest indoor surface point and the probes,
/// over a colour key.
std::string fieldDrawing(const Frontend::JunctionReport& report, std::size_t index,
                         const View& view, double height, const PlotWords& words) {
  const Frontend::Junction& junction = report.junction;
  const Engine::BridgeResult& result = report.result;
  const std::pair<double, double> span = temperatureSpan(junction.request);
  const double cold = span.first, warm = span.second;
  const double step = isothermStep(cold, warm);
  const std::vector<double> levels = isothermLevels(cold, warm);
  SvgWriter svg("junction-" + std::to_string(index) + "-field", kPanelWidth, height,
                words("junction.field.title", {{"junction", junction.name},
                                               {"step", words.number(step, step < 1.0 ? 1 : 0)}}));
  svg.text({kPanelWidth / 2.0, 16.0}, words("junction.field.heading"),
           {TextAnchor::Middle, 13.0, "#222", true, 0.0});

  const auto columns = static_cast<std::size_t>(std::ceil(view.width() / kSamplePixels));
  const auto rows = static_cast<std::size_t>(std::ceil(view.height() / kSamplePixels));
  std::vector<double> samples(columns * rows, std::numeric_limits<double>::quiet_NaN());
  for (std::size_t j = 0; j < rows; ++j) {
    const double y = view.y1 - (static_cast<double>(j) + 0.5) * kSamplePixels / view.scale;
    for (std::size_t i = 0; i < columns; ++i) {
      const double x = view.x0 + (static_cast<double>(i) + 0.5) * kSamplePixels / view.scale;
      if (auto t = Engine::fieldTemperature(result.field, x, y)) samples[i + j * columns] = *t;
    }
  }
  drawBands(svg, view, samples, columns, rows, step, cold, warm);
  drawMaterialEdges(svg, view, junction);
  const double gap = std::numeric_limits<double>::quiet_NaN();
  const auto isotherms = traceIsolines(samples, columns, rows, levels);
  for (std::size_t k = 0; k < levels.size(); ++k) {
    const double level = levels[k];
    std::vector<SvgPoint> path;
    for (const std::vector<LatticePoint>& line : isotherms[k]) {
      for (const LatticePoint& point : line) {
        path.push_back({view.left + (point.i + 0.5) * kSamplePixels,
                        view.top + (point.j + 0.5) * kSamplePixels});
      }
      path.push_back({gap, gap});
    }
    // Every fifth line a little stronger, for counting.
    const bool major = std::fabs(std::remainder(level, 5.0 * step)) < 1e-9 * step;
    svg.polyline(path, {kIsothermColour, major ? 1.2 : 0.6, ""});
  }

  const SvgTextStyle probeLabel{TextAnchor::Start, 10.0, "#111", false, 0.0};
  for (std::size_t p = 0; p < junction.request.probes.size(); ++p) {
    const SvgPoint at = view.at(junction.request.probes[p].x, junction.request.probes[p].y);
    svg.circle(at, 2.5, "#111", {"#fff", 0.8, ""});
    svg.text({at.x + 5.0, at.y - 4.0}, junction.probeNames[p], probeLabel);
  }
  if (result.minimumSurface) {
    const Engine::Quantity& q = bridgeQuantity("minimum_surface_temperature.value");
    const SvgPoint at = view.at(result.minimumSurface->x, result.minimumSurface->y);
    svg.circle(at, 5.0, "#fff", {"#000", 1.8, ""});
    const std::string label =
        std::string(q.symbolUnicode) + " = " +
        words.number(q.displayed(result.minimumSurface->temperature), q.decimals) + " " +
        std::string(q.displayUnitUnicode);
    const bool right = at.x + 10.0 + estimateTextWidth(label, 11.0) < kPanelWidth;
    svg.text({right ? at.x + 9.0 : at.x - 9.0, std::max(at.y - 8.0, kMarginTop + 10.0)}, label,
             {right ? TextAnchor::Start : TextAnchor::End, 11.0, "#000", true, 0.0});
  }

  // The colour key: the bands from the coldest to the warmest environment, the levels ticked.
  const double barLeft = 40.0, barWidth = kPanelWidth - 80.0;
  const double barTop = view.top + view.height() + 14.0;
  auto barX = [&](double t) { return barLeft + barWidth * (t - cold) / (warm - cold); };
  std::vector<double> edges = {cold};
  edges.insert(edges.end(), levels.begin(), levels.end());
  edges.push_back(warm);
  for (std::size_t k = 0; k + 1 < edges.size(); ++k) {
    svg.rectangle({barX(edges[k]), barTop}, barX(edges[k + 1]) - barX(edges[k]) + 0.4, 10.0,
                  temperatureColour((0.5 * (edges[k] + edges[k + 1]) - cold) / (warm - cold)),
                  SvgStroke{"none", 0.0, ""});
  }
  svg.rectangle({barLeft, barTop}, barWidth, 10.0, "none", {"#666", 0.6, ""});
  const SvgTextStyle tick{TextAnchor::Middle, 10.0, "#333", false, 0.0};
  double lastLabel = -std::numeric_limits<double>::infinity();
  const int decimals = step < 1.0 ? 1 : 0;
  for (double t : edges) {
    const double x = barX(t);
    svg.line({x, barTop + 10.0}, {x, barTop + 14.0}, {"#666", 0.6, ""});
    const bool end = t == cold || t == warm;
    if (x - lastLabel >= 28.0 || end) {
      if (end && x - lastLabel < 28.0) continue;
      svg.text({x, barTop + 25.0}, words.number(t, decimals), tick);
      lastLabel = x;
    }
  }
  svg.text({barLeft + barWidth + 6.0, barTop + 9.0}, "°C",
           {TextAnchor::Start, 10.0, "#333", false, 0.0});
  return svg.finish();
}

std::string row(const Engine::Quantity& q, const std::string& detail, double value) {
  std::string label = escapeMarkup(q.label);
  if (!detail.empty()) label += " (" + escapeMarkup(detail) + ")";
  return "<tr><th scope=\"row\">" + label + "</th><td class=\"symbol\">" +
         std::string(q.symbolHtml) + "</td><td class=\"value\">" +
         formatNumber(q.displayed(value), q.decimals) + "</td><td class=\"unit\">" +
         escapeMarkup(q.displayUnitUnicode) + "</td></tr>\n";
}

std::string pairName(const Engine::BridgeRequest& request, std::size_t a, std::size_t b) {
  return request.environments[a].name + " | " + request.environments[b].name;
}

std::string resultsTable(const Frontend::JunctionReport& report, std::size_t index) {
  const Frontend::Junction& junction = report.junction;
  const Engine::BridgeRequest& request = junction.request;
  const Engine::BridgeResult& result = report.result;
  const std::size_t n = request.environments.size();
  std::string html = "<table class=\"results\" id=\"junction-" + std::to_string(index) +
                     "-results\">\n<caption>Results (ISO 10211)</caption>\n<thead><tr>"
                     "<th scope=\"col\">Quantity</th><th scope=\"col\">Symbol</th>"
                     "<th scope=\"col\">Value</th><th scope=\"col\">Unit</th></tr></thead>\n"
                     "<tbody>\n";
  for (std::size_t e = 0; e < n; ++e) {
    html += row(bridgeQuantity("heat_flow"), request.environments[e].name, result.heatFlow[e]);
  }
  if (n == 2) {
    html += row(bridgeQuantity("coupling_coefficient"), "", result.coupling[1]);
  } else {
    for (std::size_t a = 0; a < n; ++a) {
      for (std::size_t b = a + 1; b < n; ++b) {
        html += row(bridgeQuantity("coupling_coefficients"), pairName(request, a, b),
                    result.coupling[a * n + b]);
      }
    }
  }
  for (const Engine::BridgePsi& psi : result.psi) {
    html += row(bridgeQuantity("psi"),
                n == 2 ? std::string() : pairName(request, psi.environmentA, psi.environmentB),
                psi.psi);
  }
  if (result.minimumSurface) {
    html += row(bridgeQuantity("minimum_surface_temperature.value"),
                "at x = " + formatNumber(result.minimumSurface->x, 3) +
                    " m, y = " + formatNumber(result.minimumSurface->y, 3) + " m",
                result.minimumSurface->temperature);
  }
  if (result.fRsi) html += row(bridgeQuantity("f_rsi"), "", *result.fRsi);
  for (std::size_t p = 0; p < request.probes.size(); ++p) {
    html += row(bridgeQuantity("probes.temperature"), junction.probeNames[p],
                result.probeTemperatures[p]);
  }
  html += row(bridgeQuantity("grid.cells"), "", static_cast<double>(result.grid.cells));
  html += row(bridgeQuantity("grid.last_change"), "", result.grid.lastChange);
  return html + "</tbody>\n</table>\n";
}

/// The flanking elements psi is measured against, with the dimension system of their lengths.
std::string flankingTable(const Frontend::Junction& junction) {
  if (junction.request.flanking.empty()) return {};
  const Engine::Quantity& u = bridgeQuantity("flanking.u_value");
  const Engine::Quantity& l = bridgeQuantity("flanking.length");
  const Engine::Quantity& system = bridgeQuantity("flanking.dimensions");
  std::string html =
      "<table class=\"layers\">\n<caption>Flanking elements (ψ = L<sup>2D</sup> − Σ "
      "U<sub>j</sub>·l<sub>j</sub>, lengths as given)</caption>\n<thead><tr><th "
      "scope=\"col\">Element</th><th scope=\"col\">Environments</th><th scope=\"col\">" +
      std::string(u.symbolHtml) + " (" + escapeMarkup(u.displayUnitUnicode) +
      ")</th><th scope=\"col\">" + std::string(l.symbolHtml) + " (" +
      escapeMarkup(l.displayUnitUnicode) + ")</th><th scope=\"col\">" + escapeMarkup(system.label) +
      "</th></tr></thead>\n<tbody>\n";
  for (std::size_t f = 0; f < junction.request.flanking.size(); ++f) {
    const Engine::BridgeFlanking& element = junction.request.flanking[f];
    const Frontend::JunctionFlankingLabel& label = junction.flanking[f];
    html += "<tr><td class=\"name\">" + escapeMarkup(label.name) + "</td><td class=\"name\">" +
            escapeMarkup(pairName(junction.request, element.environmentA, element.environmentB)) +
            "</td><td>" + formatNumber(u.displayed(element.uValue), u.decimals) + "</td><td>" +
            formatNumber(l.displayed(element.length), l.decimals) + "</td><td class=\"name\">" +
            (label.dimensions.empty() ? std::string("–") : escapeMarkup(label.dimensions)) +
            "</td></tr>\n";
  }
  return html + "</tbody>\n</table>\n";
}

/// Each material once: its colour, name and conductivity.
std::string materialTable(const Frontend::Junction& junction) {
  std::string html =
      "<table class=\"layers\">\n<caption>Materials</caption>\n<thead><tr><th "
      "scope=\"col\">Material</th><th scope=\"col\">Family</th><th scope=\"col\"><i>λ</i> "
      "(W/(m·K))</th></tr></thead>\n<tbody>\n";
  std::vector<std::tuple<std::string, std::string, double>> seen;
  for (std::size_t r = 0; r < junction.request.regions.size(); ++r) {
    const auto entry = std::make_tuple(regionName(junction, r), junction.regions[r].family,
                                       junction.request.regions[r].conductivity);
    if (std::find(seen.begin(), seen.end(), entry) != seen.end()) continue;
    seen.push_back(entry);
    const std::string& family = std::get<1>(entry);
    html += "<tr><td class=\"name\">" + colourSwatch(familyColour(family)) +
            escapeMarkup(std::get<0>(entry)) + "</td><td class=\"name\">" +
            (family.empty() ? std::string("–") : escapeMarkup(family)) + "</td><td>" +
            formatNumber(std::get<2>(entry), 3) + "</td></tr>\n";
  }
  return html + "</tbody>\n</table>\n";
}

}  // namespace

double isothermStep(double coldest, double warmest) {
  const double span = warmest - coldest;
  if (!(span > 0.0) || !std::isfinite(span)) return 1.0;
  constexpr double kMostLines = 25.0;
  double power = std::pow(10.0, std::floor(std::log10(span / kMostLines)));
  for (;;) {
    for (double factor : {1.0, 2.0, 5.0}) {
      if (span / (factor * power) <= kMostLines) return factor * power;
    }
    power *= 10.0;
  }
}

std::vector<double> isothermLevels(double coldest, double warmest) {
  std::vector<double> levels;
  const double step = isothermStep(coldest, warmest);
  if (!(warmest > coldest) || !std::isfinite(warmest - coldest)) return levels;
  for (double k = std::floor(coldest / step) + 1.0; k * step < warmest; k += 1.0) {
    if (k * step > coldest) levels.push_back(k * step);
  }
  return levels;
}

std::string temperatureColour(double share) {
  // ColorBrewer's RdYlBu scheme, blue for cold, read from cold to warm.
  static constexpr std::array<std::array<int, 3>, 11> kStops = {{{49, 54, 149},
                                                                 {69, 117, 180},
                                                                 {116, 173, 209},
                                                                 {171, 217, 233},
                                                                 {224, 243, 248},
                                                                 {255, 255, 191},
                                                                 {254, 224, 144},
                                                                 {253, 174, 97},
                                                                 {244, 109, 67},
                                                                 {215, 48, 39},
                                                                 {165, 0, 38}}};
  const double s = std::isfinite(share) ? std::clamp(share, 0.0, 1.0) : 0.0;
  const double at = s * static_cast<double>(kStops.size() - 1);
  const auto k = std::min(static_cast<std::size_t>(at), kStops.size() - 2);
  const double f = at - static_cast<double>(k);
  char colour[8];
  int channel[3];
  for (std::size_t c = 0; c < 3; ++c) {
    channel[c] = static_cast<int>(std::lround((1.0 - f) * kStops[k][c] + f * kStops[k + 1][c]));
  }
  std::snprintf(colour, sizeof colour, "#%02x%02x%02x", channel[0], channel[1], channel[2]);
  return colour;
}

JunctionDrawings renderJunctionDrawings(const Frontend::JunctionReport& report, std::size_t index,
                                        const PlotWords& words) {
  const View view = viewOf(report.junction.request);
  const double sectionHeight =
      view.top + view.height() + 14.0 +
      kLegendRow * static_cast<double>(report.junction.request.environments.size());
  // Both drawings as high, so that they line up side by side.
  const double height =
      std::ceil(std::max(sectionHeight, view.top + view.height() + kColourBarHeight));
  return {sectionDrawing(report, index, view, height, words),
          fieldDrawing(report, index, view, height, words)};
}

std::string renderJunctionSection(const Frontend::JunctionReport& report, std::size_t index) {
  const Frontend::Junction& junction = report.junction;
  const std::pair<double, double> span = temperatureSpan(junction.request);
  const double cold = span.first, warm = span.second;
  const double step = isothermStep(cold, warm);
  const JunctionDrawings drawings = renderJunctionDrawings(report, index);
  std::string html = "<section class=\"junction\" id=\"junction-" + std::to_string(index) +
                     "\">\n<h2>Junction " + escapeMarkup(junction.name) + "</h2>\n<p>";
  html += junction.type.empty()
              ? std::string("A drawn section")
              : "Generated from its walls by the " + escapeMarkup(junction.type) + " template";
  html += ", computed by ISO 10211:2017 on a grid of " + std::to_string(report.result.grid.cells) +
          " cells (the last halving changed the heat flow by " +
          formatNumber(100.0 * report.result.grid.lastChange, 3) + " %).</p>\n";
  html += "<figure>\n<div class=\"junction-drawings\">\n" + drawings.section + drawings.field +
          "</div>\n<figcaption>Left: the regions, each later one over the earlier, and each "
          "surface in the colour of the environment it faces; every other edge is adiabatic (a "
          "cut-off plane, ISO 10211:2017 5.2.2). Right: the temperatures with the heat-flow "
          "surface resistances, isotherms every " +
          formatNumber(step, step < 1.0 ? 1 : 0) +
          " K (every fifth stronger); the circle marks the lowest indoor surface temperature "
          "θ<sub>si,min</sub>.</figcaption>\n</figure>\n";
  html += resultsTable(report, index) + flankingTable(junction) + materialTable(junction);
  return html + "</section>\n";
}

}  // namespace Brusk::Report
