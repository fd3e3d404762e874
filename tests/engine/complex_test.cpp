#include "brusk/engine/complex.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Brusk::Engine::Complex;

struct ComplexCase {
  double re, im;
  double modulus;
  double lag;  // hours of a 24-hour cycle
};

class ComplexLagTest : public ::testing::TestWithParam<ComplexCase> {};

TEST_P(ComplexLagTest, ModulusAndLag) {
  const ComplexCase& c = GetParam();
  Complex z;
  z.setRealPart(c.re);
  z.setImaginaryPart(c.im);
  EXPECT_NEAR(z.getModulus(), c.modulus, 1e-3) << "for " << c.re << " + " << c.im << "i";
  EXPECT_NEAR(z.getLag(), c.lag, 1e-3) << "for " << c.re << " + " << c.im << "i";
}

INSTANTIATE_TEST_SUITE_P(Table, ComplexLagTest,
                         ::testing::Values(ComplexCase{0, 0, 0, 0}, ComplexCase{0, 2, 2, 6},
                                           ComplexCase{0, -2, 2, -6}, ComplexCase{-0.0, 2, 2, 6},
                                           ComplexCase{-1, 0, 1, 12}, ComplexCase{-1, -0.0, 1, -12},
                                           ComplexCase{1, 1, std::sqrt(2.0), 3},
                                           ComplexCase{-0.508, 3.081, 3.1226, 6.6235}));

TEST(Complex, DefaultIsZero) {
  const Complex z;
  EXPECT_EQ(z.getRealPart(), 0.0);
  EXPECT_EQ(z.getImaginaryPart(), 0.0);
}

TEST(Complex, QuarterCycleIsExact) {
  EXPECT_EQ(Complex(0.0, 1e-300).getLag(), 6.0);
  EXPECT_EQ(Complex(-0.0, -3.0).getLag(), -6.0);
}

TEST(Complex, ArithmeticFollowsComponentFormulas) {
  const Complex x{1.5, -2.0};
  const Complex y{-0.5, 4.0};
  const Complex product = x * y;
  EXPECT_EQ(product.getRealPart(), 1.5 * -0.5 - -2.0 * 4.0);
  EXPECT_EQ(product.getImaginaryPart(), 1.5 * 4.0 + -2.0 * -0.5);
  const Complex back = product / y;
  EXPECT_NEAR(back.getRealPart(), 1.5, 1e-15);
  EXPECT_NEAR(back.getImaginaryPart(), -2.0, 1e-15);
}

}  // namespace
