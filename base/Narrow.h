// Narrowing a double to the smaller kinds the entry points and the number
// reader hand out. Out of range (and not a number) fails with 0, checked
// before the conversion, which would be undefined there.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace narrow {

// The largest magnitudes the kinds hold.
inline constexpr double kLargestFloat = 3.4028234663852886e+38;
inline constexpr double kLargestInt32 = 2147483647.0;  // so -2147483648 is refused too

// x as a float; false and 0 beyond the float range (infinities included).
inline bool toFloat(double x, float& out) {
    if (std::fabs(x) > kLargestFloat) {
        out = 0;
        return false;
    }
    out = static_cast<float>(x);
    return true;
}

enum class Rounding { kTowardZero, kHalfAwayFromZero };

// x as a 32-bit integer, rounded as asked; false and 0 beyond +-2147483647.
inline bool toInt32(double x, Rounding rounding, std::int32_t& out) {
    if (!(std::fabs(x) <= kLargestInt32)) {
        out = 0;
        return false;
    }
    out = static_cast<std::int32_t>(rounding == Rounding::kTowardZero ? std::trunc(x) : std::round(x));
    return true;
}

}  // namespace narrow
