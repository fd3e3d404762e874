#pragma once

// Lines of equal value through a field sampled on a regular lattice (marching squares), for the
// isotherms of a junction's temperature field.

#include <cstddef>
#include <vector>

namespace Brusk::Report {

/// A point in lattice coordinates: column i and row j, fractional between samples.
struct LatticePoint {
  double i = 0.0;
  double j = 0.0;
};

/// The lines where `values` (columns x rows samples, value (i, j) at index i + j * columns; NaN
/// where the field is not defined) equals `level`, each as a chain of points: closed lines end
/// where they start, open ones at the edge of the defined samples. A square of the lattice with
/// a sample not defined holds no line. Within a square the value is taken as bilinear, and a
/// saddle is resolved by the mean of its four corners.
[[nodiscard]] std::vector<std::vector<LatticePoint>> traceIsolines(
    const std::vector<double>& values, std::size_t columns, std::size_t rows, double level);

/// traceIsolines() at each of `levels`, one list of lines per level: the lattice is scanned once
/// for the squares every level may cross.
[[nodiscard]] std::vector<std::vector<std::vector<LatticePoint>>> traceIsolines(
    const std::vector<double>& values, std::size_t columns, std::size_t rows,
    const std::vector<double>& levels);

}  // namespace Brusk::Report
