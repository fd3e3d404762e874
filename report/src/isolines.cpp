// Marching squares: each lattice square whose corners lie on both sides of the level holds one
// segment (two at a saddle) between the points where the level crosses its edges; segments that
// share an edge crossing are joined into chains.

#include "isolines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>
#include <utility>

namespace Brusk::Report {

namespace {

/// A segment between two edge crossings, each named by its edge's id.
struct Segment {
  std::size_t from = 0;
  std::size_t to = 0;
};

/// A square of the lattice whose four corners are defined, by its lower-left sample, with its
/// lowest and highest corner: a level crosses it when low < level <= high.
struct Square {
  std::size_t i = 0, j = 0;
  double low = 0.0, high = 0.0;
};

std::vector<Square> definedSquares(const std::vector<double>& values, std::size_t columns,
                                   std::size_t rows) {
  std::vector<Square> squares;
  for (std::size_t j = 0; j + 1 < rows; ++j) {
    for (std::size_t i = 0; i + 1 < columns; ++i) {
      const double v00 = values[i + j * columns], v10 = values[i + 1 + j * columns];
      const double v01 = values[i + (j + 1) * columns], v11 = values[i + 1 + (j + 1) * columns];
      if (!std::isfinite(v00) || !std::isfinite(v10) || !std::isfinite(v01) ||
          !std::isfinite(v11)) {
        continue;
      }
      squares.push_back({i, j, std::min(std::min(v00, v10), std::min(v01, v11)),
                         std::max(std::max(v00, v10), std::max(v01, v11))});
    }
  }
  return squares;
}

std::vector<std::vector<LatticePoint>> traceLevel(const std::vector<double>& values,
                                                  std::size_t columns,
                                                  const std::vector<Square>& squares,
                                                  double level) {
  std::vector<std::vector<LatticePoint>> lines;
  if (!std::isfinite(level)) return lines;
  auto value = [&](std::size_t i, std::size_t j) { return values[i + j * columns]; };
  // Edge ids: the edge from sample (i, j) to (i + 1, j) is 2 (i + j columns), the one from
  // (i, j) to (i, j + 1) that plus one.
  auto horizontal = [&](std::size_t i, std::size_t j) { return 2 * (i + j * columns); };
  auto vertical = [&](std::size_t i, std::size_t j) { return 2 * (i + j * columns) + 1; };
  auto crossing = [&](std::size_t edge) {
    const std::size_t sample = edge / 2;
    const std::size_t i = sample % columns, j = sample / columns;
    const double a = value(i, j);
    const double b = (edge % 2 == 0) ? value(i + 1, j) : value(i, j + 1);
    const double t = b == a ? 0.5 : (level - a) / (b - a);
    return edge % 2 == 0 ? LatticePoint{static_cast<double>(i) + t, static_cast<double>(j)}
                         : LatticePoint{static_cast<double>(i), static_cast<double>(j) + t};
  };

  std::vector<Segment> segments;
  for (const Square& square : squares) {
    if (!(square.low < level && square.high >= level)) continue;
    const std::size_t i = square.i, j = square.j;
    const double v00 = value(i, j), v10 = value(i + 1, j);
    const double v01 = value(i, j + 1), v11 = value(i + 1, j + 1);
    const bool a00 = v00 >= level, a10 = v10 >= level, a01 = v01 >= level, a11 = v11 >= level;
    // The square's edges, counter-clockwise from the bottom, and whether the level crosses.
    const std::array<std::size_t, 4> edge = {horizontal(i, j), vertical(i + 1, j),
                                             horizontal(i, j + 1), vertical(i, j)};
    const std::array<bool, 4> crossed = {a00 != a10, a10 != a11, a01 != a11, a00 != a01};
    std::array<std::size_t, 4> found{};
    std::size_t count = 0;
    for (std::size_t e = 0; e < 4; ++e) {
      if (crossed[e]) found[count++] = edge[e];
    }
    if (count == 2) {
      segments.push_back({found[0], found[1]});
    } else if (count == 4) {
      // A saddle: the corners on the same side as the centre are joined through it, so the
      // lines cut off the other two corners.
      const bool centre = 0.25 * (v00 + v10 + v01 + v11) >= level;
      if (centre == a00) {
        segments.push_back({edge[0], edge[1]});  // cuts off corner (i + 1, j)
        segments.push_back({edge[2], edge[3]});  // cuts off corner (i, j + 1)
      } else {
        segments.push_back({edge[3], edge[0]});  // cuts off corner (i, j)
        segments.push_back({edge[1], edge[2]});  // cuts off corner (i + 1, j + 1)
      }
    }
  }

  // Each edge crossing belongs to at most two segments: the squares on either side of it.
  std::unordered_map<std::size_t, std::array<std::size_t, 2>> touching;
  touching.reserve(2 * segments.size());
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  for (std::size_t s = 0; s < segments.size(); ++s) {
    for (std::size_t end : {segments[s].from, segments[s].to}) {
      auto [slot, added] = touching.try_emplace(end, std::array<std::size_t, 2>{kNone, kNone});
      slot->second[slot->second[0] == kNone ? 0 : 1] = s;
      (void)added;
    }
  }
  std::vector<bool> used(segments.size(), false);
  auto next = [&](std::size_t edge, std::size_t from) {
    const std::array<std::size_t, 2>& pair = touching.at(edge);
    const std::size_t other = pair[0] == from ? pair[1] : pair[0];
    return other == kNone || used[other] ? kNone : other;
  };
  // From segment `s`, entered at edge `at`, follow the chain: the edges it passes, in order.
  auto follow = [&](std::size_t s, std::size_t at, std::vector<std::size_t>& edges) {
    while (s != kNone) {
      used[s] = true;
      at = segments[s].from == at ? segments[s].to : segments[s].from;
      edges.push_back(at);
      s = next(at, s);
    }
  };
  for (std::size_t s = 0; s < segments.size(); ++s) {
    if (used[s]) continue;
    // Out one way from the first segment, then the other way; the second half reversed leads.
    std::vector<std::size_t> forward = {segments[s].from};
    follow(s, segments[s].from, forward);
    std::vector<std::size_t> backward;
    follow(next(segments[s].from, s), segments[s].from, backward);
    std::vector<LatticePoint> line;
    line.reserve(forward.size() + backward.size());
    for (auto it = backward.rbegin(); it != backward.rend(); ++it) line.push_back(crossing(*it));
    for (std::size_t edge : forward) line.push_back(crossing(edge));
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace

std::vector<std::vector<LatticePoint>> traceIsolines(const std::vector<double>& values,
                                                     std::size_t columns, std::size_t rows,
                                                     double level) {
  if (columns < 2 || rows < 2 || values.size() != columns * rows) return {};
  return traceLevel(values, columns, definedSquares(values, columns, rows), level);
}

std::vector<std::vector<std::vector<LatticePoint>>> traceIsolines(
    const std::vector<double>& values, std::size_t columns, std::size_t rows,
    const std::vector<double>& levels) {
  std::vector<std::vector<std::vector<LatticePoint>>> lines(levels.size());
  if (columns < 2 || rows < 2 || values.size() != columns * rows) return lines;
  const std::vector<Square> squares = definedSquares(values, columns, rows);
  for (std::size_t k = 0; k < levels.size(); ++k) {
    lines[k] = traceLevel(values, columns, squares, levels[k]);
  }
  return lines;
}

}  // namespace Brusk::Report
