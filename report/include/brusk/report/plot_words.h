#pragma once

#include <cstddef>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Brusk::Report {

/// One word or phrase of the drawings: its key and its English text, a template whose `{name}`
/// places take the values the drawing fills in ("Section of {wall}").
struct PlotWord {
  std::string_view key;
  std::string_view english;
};

/// Every word the drawings write (titles, axes, legends, annotations, month names), in English,
/// in the order a catalogue lists them. Symbols and units are part of the words: a translation
/// keeps them.
[[nodiscard]] const std::vector<PlotWord>& englishPlotWords();

/// The words and the number format the drawings are written in: English with a decimal point
/// (what `brusk report` writes) unless a caller gives others, e.g. a page in its reader's
/// language with a decimal comma.
class PlotWords {
public:
  /// English with a decimal point.
  PlotWords() = default;

  /// `words` by key of englishPlotWords() (a key left out keeps its English text) with
  /// `decimalSeparator` ('.' or ','). Throws Frontend::Error for a key the drawings have no
  /// word for, or another separator.
  PlotWords(std::map<std::string, std::string, std::less<>> words, char decimalSeparator);

  /// The word `key` with each `{name}` of `values` filled in; `key` must be one of
  /// englishPlotWords().
  [[nodiscard]] std::string operator()(
      std::string_view key,
      std::initializer_list<std::pair<std::string_view, std::string_view>> values = {}) const;

  /// `value` with `decimals` decimals as formatNumber() writes it, with this separator.
  [[nodiscard]] std::string number(double value, int decimals) const;

  /// A number already written with a decimal point ("0.25", a tick's label) with this
  /// separator.
  [[nodiscard]] std::string localized(std::string text) const;

  /// The name of month `month` (0 = January), or an en dash outside the year.
  [[nodiscard]] std::string month(std::size_t month) const;

  [[nodiscard]] char decimalSeparator() const { return _decimalSeparator; }

private:
  std::map<std::string, std::string, std::less<>> _words;
  char _decimalSeparator = '.';
};

}  // namespace Brusk::Report
