#pragma once

// Junction files: a two-dimensional section (ISO 10211) as rectangles, environments, boundaries,
// flanking elements and probes, or generated from wall files by a template (corner, T-junction,
// floor slab, window reveal), read into the engine's BridgeRequest; the wording of the problems
// the engine finds in one; and its results as the JSON document every door shares.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "brusk/engine/thermal_bridge.h"
#include "brusk/frontend/catalogue.h"

namespace Brusk::Frontend {

struct Wall;

/// Largest junction file read [bytes].
inline constexpr std::size_t kMaxJunctionFileBytes = 4u * 1024u * 1024u;
/// Most regions, boundaries or probes of a junction: far beyond any drawn detail.
inline constexpr std::size_t kMaxJunctionItems = 1000;

/// What a person reads about one region.
struct JunctionRegionLabel {
  std::string name;      ///< as written, the material's or the layer's name
  std::string family;    ///< material family for drawing, "" when unknown
  std::size_t line = 0;  ///< in the junction file, 0 when unknown
};

/// What a person reads about one flanking element.
struct JunctionFlankingLabel {
  std::string name;        ///< the wall's name, or "u_value" when given as a number
  std::string dimensions;  ///< "internal", "external", "overall-internal" or ""
  std::size_t line = 0;
};

/// A junction as a file describes it (or as a template generated it).
struct Junction {
  std::string name;
  std::string source;  ///< the junction file, as messages name it
  std::string type;    ///< the template ("corner", ...), empty for a drawn section
  Engine::BridgeRequest request;
  std::vector<JunctionRegionLabel> regions;     ///< one per region of the request
  std::vector<std::size_t> environmentLines;    ///< one per environment
  std::vector<std::size_t> boundaryLines;       ///< one per boundary
  std::vector<JunctionFlankingLabel> flanking;  ///< one per flanking element
  std::vector<std::string> probeNames;          ///< one per probe
  std::vector<std::size_t> probeLines;
  std::size_t junctionLine = 0;  ///< the [junction] table's line, for a template
  /// Every file read: the junction file, then each wall file once (for -o's check).
  std::vector<std::string> files;
};

/// One layer of a wall as a two-dimensional section draws it.
struct SectionLayer {
  double thickness = 0.0;     ///< d [m]
  double conductivity = 0.0;  ///< lambda [W/(m.K)]
  std::string name;
  std::string family;
};

/// A wall as a section: its layers (inner face first) and surface resistances.
struct SectionWall {
  std::string name;
  std::vector<SectionLayer> layers;
  double internalSurfaceResistance = 0.13;  ///< Rsi [m2.K/W]
  double externalSurfaceResistance = 0.04;  ///< Rse [m2.K/W]
  [[nodiscard]] double thickness() const;
  /// U = 1 / (Rsi + sum d / lambda + Rse) of the section's own layers [W/(m2.K)].
  [[nodiscard]] double uValue() const;
};

/// Nominal thickness given to a pure-resistance layer (a thermal_resistance without air_gap)
/// in a section, with lambda = d / R so that its resistance is kept [m].
inline constexpr double kNominalResistanceThickness = 0.025;

/// The one bridge from the wall model to sections: each layer's thickness, conductivity, name
/// and family. A layer of parts becomes the area-weighted conductivity sum f lambda (a 2D
/// section cannot hold a 3D stud pattern); an air layer its air_gap thickness with lambda =
/// d / R_g, a pure resistance without one kNominalResistanceThickness.
[[nodiscard]] SectionWall sectionOf(const Wall& wall);

/// Parses a junction file's text (TOML, or JSON when `json`); wall files are found relative to
/// `directory`. Throws Frontend::Error naming the file, the line where known, the region,
/// boundary, environment, flanking element or probe, and the reason.
[[nodiscard]] Junction parseJunctionText(std::string_view text, bool json,
                                         const Catalogue& catalogue, const std::string& source,
                                         const std::string& directory);

/// Reads a junction file; the format follows the extension (.toml or .json).
[[nodiscard]] Junction loadJunctionFile(const std::string& path, const Catalogue& catalogue);

/// Whether the file reads as a junction (a table with regions or a [junction] template) rather
/// than a wall or a zone: how `brusk report` tells the files it is given apart. False for a file
/// that cannot be read or parsed, whose own reader then says why.
[[nodiscard]] bool isJunctionFile(const std::string& path);

/// A problem of the engine worded with the file, the line and what it concerns.
[[nodiscard]] std::string describeBridgeProblem(const Engine::BridgeProblem& problem,
                                                const Junction& junction);

/// Computes the junction; throws Frontend::Error worded by describeBridgeProblem().
[[nodiscard]] Engine::BridgeResult computeJunction(const Junction& junction);

/// A junction as read and as computed.
struct JunctionReport {
  Junction junction;
  Engine::BridgeResult result;
};

/// The results as one JSON object (keys in docs/thermal-bridges.md): name, heat_flow,
/// coupling_coefficient, coupling_coefficients, psi, minimum_surface_temperature, f_rsi,
/// probes, grid; a figure not computed is null.
[[nodiscard]] std::string junctionResultJson(const Junction& junction,
                                             const Engine::BridgeResult& result);

/// The junction as a drawn section, in the junction file's TOML: what a template generated,
/// for a person to refine by hand.
[[nodiscard]] std::string junctionGeometryToml(const Junction& junction);

}  // namespace Brusk::Frontend
