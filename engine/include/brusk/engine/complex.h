#pragma once

namespace Brusk::Engine {

/// Complex amplitude of a sinusoidal quantity (temperature, heat-flow density, matrix element).
///
/// Arithmetic is written out from the real and imaginary parts, every operation rounded to
/// double precision, so results do not depend on the platform's std::complex.
class Complex {
public:
  /// 0 + 0i; records of results rely on this default.
  constexpr Complex() = default;
  /// real + i imaginary.
  constexpr Complex(double realPart, double imaginaryPart)
      : _realPart(realPart), _imaginaryPart(imaginaryPart) {}

  void setRealPart(double value) { _realPart = value; }
  void setImaginaryPart(double value) { _imaginaryPart = value; }
  [[nodiscard]] constexpr double getRealPart() const { return _realPart; }
  [[nodiscard]] constexpr double getImaginaryPart() const { return _imaginaryPart; }

  /// Amplitude |z| = sqrt(re^2 + im^2), without scaling against overflow.
  [[nodiscard]] double getModulus() const;

  /// Phase as a time shift [h] on a 24-hour cycle: atan2(im, re) * 24 / (2 pi), in [-12, 12].
  /// A purely imaginary value gives exactly +6 or -6, and 0 + 0i gives 0.
  [[nodiscard]] double getLag() const;

private:
  double _realPart = 0.0;
  double _imaginaryPart = 0.0;
};

/// (a + bi) + (c + di).
constexpr Complex operator+(Complex x, Complex y) {
  return {x.getRealPart() + y.getRealPart(), x.getImaginaryPart() + y.getImaginaryPart()};
}

/// (a + bi) - (c + di).
constexpr Complex operator-(Complex x, Complex y) {
  return {x.getRealPart() - y.getRealPart(), x.getImaginaryPart() - y.getImaginaryPart()};
}

/// -(a + bi).
constexpr Complex operator-(Complex x) { return {-x.getRealPart(), -x.getImaginaryPart()}; }

/// (a + bi)(c + di) = (ac - bd) + (ad + bc)i.
constexpr Complex operator*(Complex x, Complex y) {
  return {x.getRealPart() * y.getRealPart() - x.getImaginaryPart() * y.getImaginaryPart(),
          x.getRealPart() * y.getImaginaryPart() + x.getImaginaryPart() * y.getRealPart()};
}

/// s (a + bi) for a real scale s.
constexpr Complex operator*(double scale, Complex x) {
  return {scale * x.getRealPart(), scale * x.getImaginaryPart()};
}

/// x / y = x conj(y) / |y|^2.
constexpr Complex operator/(Complex x, Complex y) {
  const double squaredModulus =
      y.getRealPart() * y.getRealPart() + y.getImaginaryPart() * y.getImaginaryPart();
  const Complex numerator = x * Complex{y.getRealPart(), -y.getImaginaryPart()};
  return {numerator.getRealPart() / squaredModulus, numerator.getImaginaryPart() / squaredModulus};
}

}  // namespace Brusk::Engine
