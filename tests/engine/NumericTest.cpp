// The magnitude questions the evaluation asks without a square root must
// answer as the magnitude itself would, for every kind of part.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>

#include "Numeric.h"

namespace {

TEST(Numeric, MagnitudeQuestionsAgreeWithTheMagnitude) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double parts[] = {0.0, -0.0, 4.9e-324, -2.2e-308, 1.0, -3.5, 1.7e308, inf, -inf, nan, -nan};
    for (const double re : parts) {
        for (const double im : parts) {
            const std::complex<double> z(re, im);
            const double m = numeric::magnitude(z);
            EXPECT_EQ(numeric::hasZeroMagnitude(z), m == 0) << re << ", " << im;
            EXPECT_EQ(numeric::hasPositiveMagnitude(z), m > 0) << re << ", " << im;
        }
    }
}

}  // namespace
