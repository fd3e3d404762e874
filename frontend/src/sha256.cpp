// SHA-256 as FIPS 180-4 (2015) specifies it: section 4.1.2 (functions), 4.2.2 (constants),
// 5.1.1 (padding), 5.3.3 (initial hash value) and 6.2.2 (hash computation).
#include "brusk/frontend/sha256.h"

namespace Brusk::Frontend {

namespace {

/// K_0..K_63 (4.2.2): the first 32 bits of the fractional parts of the cube roots of the first
/// 64 primes.
constexpr std::uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

/// H(0) (5.3.3): the first 32 bits of the fractional parts of the square roots of the first 8
/// primes.
constexpr std::array<std::uint32_t, 8> kInitialHash = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

constexpr std::uint32_t rotateRight(std::uint32_t x, unsigned n) {
  return (x >> n) | (x << (32u - n));
}

// The functions of 4.1.2.
constexpr std::uint32_t choose(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
  return (x & y) ^ (~x & z);
}
constexpr std::uint32_t majority(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
  return (x & y) ^ (x & z) ^ (y & z);
}
constexpr std::uint32_t bigSigma0(std::uint32_t x) {
  return rotateRight(x, 2) ^ rotateRight(x, 13) ^ rotateRight(x, 22);
}
constexpr std::uint32_t bigSigma1(std::uint32_t x) {
  return rotateRight(x, 6) ^ rotateRight(x, 11) ^ rotateRight(x, 25);
}
constexpr std::uint32_t smallSigma0(std::uint32_t x) {
  return rotateRight(x, 7) ^ rotateRight(x, 18) ^ (x >> 3);
}
constexpr std::uint32_t smallSigma1(std::uint32_t x) {
  return rotateRight(x, 17) ^ rotateRight(x, 19) ^ (x >> 10);
}

}  // namespace

Sha256::Sha256() : _state(kInitialHash) {}

void Sha256::compress(const std::uint8_t* block) {
  // Message schedule W_0..W_63 (6.2.2 step 1): the block's sixteen big-endian words, then
  // W_t = sigma1(W_t-2) + W_t-7 + sigma0(W_t-15) + W_t-16.
  std::uint32_t w[64];
  for (unsigned t = 0; t < 16; ++t) {
    w[t] = static_cast<std::uint32_t>(block[4 * t]) << 24 |
           static_cast<std::uint32_t>(block[4 * t + 1]) << 16 |
           static_cast<std::uint32_t>(block[4 * t + 2]) << 8 |
           static_cast<std::uint32_t>(block[4 * t + 3]);
  }
  for (unsigned t = 16; t < 64; ++t) {
    w[t] = smallSigma1(w[t - 2]) + w[t - 7] + smallSigma0(w[t - 15]) + w[t - 16];
  }
  std::uint32_t a = _state[0], b = _state[1], c = _state[2], d = _state[3];
  std::uint32_t e = _state[4], f = _state[5], g = _state[6], h = _state[7];
  for (unsigned t = 0; t < 64; ++t) {
    const std::uint32_t t1 = h + bigSigma1(e) + choose(e, f, g) + kRoundConstants[t] + w[t];
    const std::uint32_t t2 = bigSigma0(a) + majority(a, b, c);
    h = g;
    g = f;
    f = e;
    e = d + t1;
    d = c;
    c = b;
    b = a;
    a = t1 + t2;
  }
  _state[0] += a;
  _state[1] += b;
  _state[2] += c;
  _state[3] += d;
  _state[4] += e;
  _state[5] += f;
  _state[6] += g;
  _state[7] += h;
}

void Sha256::update(std::string_view data) {
  _length += data.size();
  for (const char byte : data) {
    _buffer[_buffered++] = static_cast<std::uint8_t>(byte);
    if (_buffered == _buffer.size()) {
      compress(_buffer.data());
      _buffered = 0;
    }
  }
}

std::array<std::uint8_t, 32> Sha256::digest() {
  // Padding (5.1.1): a 1 bit, zeros up to 56 bytes of the last block, then the message length
  // in bits as a 64-bit big-endian number.
  const std::uint64_t bits = _length * 8u;
  _buffer[_buffered++] = 0x80;
  if (_buffered > 56) {
    while (_buffered < 64) _buffer[_buffered++] = 0;
    compress(_buffer.data());
    _buffered = 0;
  }
  while (_buffered < 56) _buffer[_buffered++] = 0;
  for (unsigned i = 0; i < 8; ++i) {
    _buffer[56 + i] = static_cast<std::uint8_t>(bits >> (56u - 8u * i));
  }
  compress(_buffer.data());
  _buffered = 0;
  std::array<std::uint8_t, 32> out{};
  for (unsigned i = 0; i < 8; ++i) {
    for (unsigned j = 0; j < 4; ++j) {
      out[4 * i + j] = static_cast<std::uint8_t>(_state[i] >> (24u - 8u * j));
    }
  }
  return out;
}

std::string sha256Hex(std::string_view data) {
  Sha256 hash;
  hash.update(data);
  const std::array<std::uint8_t, 32> digest = hash.digest();
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(64);
  for (const std::uint8_t byte : digest) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0f];
  }
  return text;
}

}  // namespace Brusk::Frontend
