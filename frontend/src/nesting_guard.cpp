#include "nesting_guard.h"

#include <cstddef>

#include "brusk/frontend/error.h"

namespace Brusk::Frontend::Detail {

namespace {

class NestingScanner {
public:
  NestingScanner(std::string_view text, const std::string& source, std::string_view shape)
      : _text(text), _source(source), _shape(shape) {}

  void scan() {
    while (_at < _text.size()) {
      const char c = _text[_at];
      switch (c) {
        case '\n':
          ++_line;
          ++_at;
          if (_depth == 0) startKey();
          break;
        case '#':
          while (_at < _text.size() && _text[_at] != '\n') ++_at;
          break;
        case '"':
        case '\'':
          skipString(c);
          break;
        case '[':
          ++_at;
          if (_depth == 0 && _inKey && _dots == 0 && !_header) {
            _header = true;  // [table] or [[array of tables]]: its parts count, not its brackets
          } else if (!_header) {
            open('[');
            _inKey = false;
          }
          break;
        case '{':
          ++_at;
          open('{');
          startKey();
          break;
        case ']':
        case '}':
          ++_at;
          if (!_header && _depth > 0) --_depth;
          _inKey = false;
          break;
        case ',':
          ++_at;
          if (_depth > 0 && _open[_depth - 1] == '{') startKey();
          break;
        case '=':
          ++_at;
          if (_inKey && !_header) {
            _inKey = false;
            _dots = 0;
          }
          break;
        case '.':
          ++_at;
          // In a value a dot belongs to a number; in a key or a header it opens a table.
          if (_inKey || _header) {
            ++_dots;
            check();
          }
          break;
        default:
          ++_at;
          break;
      }
    }
  }

private:
  void startKey() {
    _inKey = true;
    _header = false;
    _dots = 0;
  }

  void open(char bracket) {
    if (_depth < kMaxTomlNesting + 1) _open[_depth] = bracket;
    ++_depth;
    check();
  }

  void check() const {
    if (_depth + _dots > kMaxTomlNesting) {
      throw Error(_source + ":" + std::to_string(_line) + ": TOML nested too deep (more than " +
                  std::to_string(kMaxTomlNesting) + " levels); " + std::string(_shape));
    }
  }

  /// Skips a basic or literal string, on one line or several, counting its lines.
  void skipString(char quote) {
    const bool multiLine = _text.compare(_at, 3, std::string(3, quote)) == 0;
    _at += multiLine ? 3 : 1;
    while (_at < _text.size()) {
      const char c = _text[_at];
      if (c == '\\' && quote == '"') {
        _at += 2;  // an escape, whatever it is, cannot end the string
        continue;
      }
      if (c == '\n') {
        ++_line;
        if (!multiLine) return;  // unterminated: the parser will say so
      }
      if (c == quote && (!multiLine || _text.compare(_at, 3, std::string(3, quote)) == 0)) {
        _at += multiLine ? 3 : 1;
        // A multi-line string may end with up to two more quotes, part of its content.
        while (multiLine && _at < _text.size() && _text[_at] == quote) ++_at;
        return;
      }
      ++_at;
    }
  }

  std::string_view _text;
  const std::string& _source;
  std::string_view _shape;
  std::size_t _at = 0;
  std::size_t _line = 1;
  int _depth = 0;  // arrays and inline tables open around this point
  char _open[kMaxTomlNesting + 1] = {};
  int _dots = 0;         // dots so far in the key or header being read
  bool _inKey = true;    // before the '=' of a key-value pair
  bool _header = false;  // inside a [table] or [[array]] header
};

}  // namespace

void requireShallowToml(std::string_view text, const std::string& source, std::string_view shape) {
  NestingScanner(text, source, shape).scan();
}

}  // namespace Brusk::Frontend::Detail
