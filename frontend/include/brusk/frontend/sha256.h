#pragma once

// SHA-256 after FIPS 180-4 (Secure Hash Standard, 2015), for naming the exact input files a
// result was computed from.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Brusk::Frontend {

/// A SHA-256 computation fed in pieces: update() as often as needed, then digest() once.
class Sha256 {
public:
  Sha256();
  /// Appends `data` to the message.
  void update(std::string_view data);
  /// The 32-byte digest of everything given; the object is finished afterwards.
  [[nodiscard]] std::array<std::uint8_t, 32> digest();

private:
  void compress(const std::uint8_t* block);

  std::array<std::uint32_t, 8> _state{};
  std::array<std::uint8_t, 64> _buffer{};
  std::size_t _buffered = 0;
  std::uint64_t _length = 0;  ///< message length so far [bytes]
};

/// The digest of `data` as 64 lower-case hexadecimal digits.
[[nodiscard]] std::string sha256Hex(std::string_view data);

}  // namespace Brusk::Frontend
