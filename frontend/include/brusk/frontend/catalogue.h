#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Brusk::Frontend {

/// One material of the catalogue: design values (ISO 10456) and where they come from.
struct CatalogueEntry {
  std::string key;          ///< what a wall file writes in `material = "..."`
  std::string name;         ///< what a person reads
  std::string family;       ///< one of Schema::materialFamilies()
  double conductivity = 0;  ///< lambda [W/(m.K)]
  double density = 0;       ///< rho [kg/m3]
  double specificHeat = 0;  ///< c [J/(kg.K)]
  std::string source;       ///< the table the values come from
  /// Water-vapour resistance factor mu [-] (ISO 10456), when the catalogue gives one.
  std::optional<double> vapourResistanceFactor;
};

/// The material catalogue: the built-in data (data/materials.toml, embedded at build time) plus
/// any number of TOML files that add entries or override fields of existing ones.
class Catalogue {
public:
  /// An empty catalogue.
  Catalogue() = default;

  /// The catalogue shipped with Brusk.
  [[nodiscard]] static Catalogue builtIn();

  /// The built-in catalogue with each of `materialFiles` added in turn (addFile), as every
  /// command's `--materials` options add them: a later file overrides an earlier one.
  [[nodiscard]] static Catalogue withFiles(const std::vector<std::string>& materialFiles);

  /// Adds or overrides entries from TOML text (one table per key); `source` names the text in
  /// error messages and is the default `source` of new entries. Throws Frontend::Error, leaving the
  /// catalogue unchanged, when the text is not a valid catalogue.
  void addToml(std::string_view text, const std::string& source);

  /// addToml() on the contents of a file.
  void addFile(const std::string& path);

  /// The entry for `key`, or nullptr.
  [[nodiscard]] const CatalogueEntry* find(std::string_view key) const;

  /// Up to `count` keys closest to `key` (edit distance, then substring match), best first.
  [[nodiscard]] std::vector<std::string> suggestions(std::string_view key,
                                                     std::size_t count = 3) const;

  /// Entries whose key, name, family or source contains `text` (case-insensitive), by key.
  [[nodiscard]] std::vector<const CatalogueEntry*> filter(std::string_view text) const;

  /// Number of entries.
  [[nodiscard]] std::size_t size() const { return _entries.size(); }

private:
  std::map<std::string, CatalogueEntry, std::less<>> _entries;
};

/// The entries as a JSON array of {key, name, family, conductivity [W/(m.K)], density [kg/m3],
/// specific_heat [J/(kg.K)], source, and vapour_resistance_factor [-] where the catalogue gives
/// one}: `brusk materials --format json`, the page's catalogue and Python's materials().
[[nodiscard]] std::string formatCatalogueJson(const std::vector<const CatalogueEntry*>& entries);

}  // namespace Brusk::Frontend
