// Numeric helpers shared by the evaluation and the built-in functions.
#pragma once

#include <cmath>
#include <complex>

namespace numeric {

// A zero of either sign becomes +0, so that angles and principal values
// never depend on the sign of a zero: arguments lie in (-pi, pi].
inline double plusZero(double x) { return x == 0.0 ? 0.0 : x; }
inline std::complex<double> plusZero(std::complex<double> z) {
    return {plusZero(z.real()), plusZero(z.imag())};
}

// Sine and cosine of an angle in degrees. The angle is reduced to its
// remainder after division by 360, with the sign of the angle kept, so a
// small angle keeps every digit it has. That remainder is brought on into
// [-45, 45] by whole quarter turns; each of those subtractions is exact
// (the two numbers lie within a factor of two of each other), so an angle
// near 180 or 360 does not lose its digits to a rounded pi either. The
// quarter turns themselves give exact values: 10<90 is exactly 10i.
struct SinCos {
    double sin = 0.0;
    double cos = 1.0;
};
inline SinCos sincosd(double angle) {
    double r = std::fmod(angle, 360.0);
    if (r > 180.0) r -= 360.0;
    if (r < -180.0) r += 360.0;
    int quarter = 0;  // r = t + 90 * quarter, quarter in -2..2
    if (r > 135.0) quarter = 2;
    else if (r > 45.0) quarter = 1;
    else if (r < -135.0) quarter = -2;
    else if (r < -45.0) quarter = -1;
    const double t = r - 90.0 * quarter;
    double s = 0.0, c = 1.0;  // of t; a zero stays +0, so exact values carry no signed zeros
    if (t != 0.0) {
        const double x = t * 3.14159265358979323846 / 180.0;
        s = std::sin(x);
        c = std::cos(x);
    }
    switch (quarter) {
    case 1: return {c, t == 0.0 ? 0.0 : -s};
    case -1: return {-c, s};
    case 2:
    case -2: return {t == 0.0 ? 0.0 : -s, -c};
    default: return {s, c};
    }
}
inline double cosd(double angle) { return sincosd(angle).cos; }
inline double sind(double angle) { return sincosd(angle).sin; }

// Magnitude without overflow or underflow in the squares.
inline double magnitude(std::complex<double> z) { return std::hypot(z.real(), z.imag()); }

// The two questions the evaluation asks of a magnitude, answered without
// the square root and exactly as magnitude() would: |z| == 0 only when both
// parts are zero; |z| > 0 fails also when |z| is NaN, which happens for a
// NaN part unless the other part is infinite (then |z| is infinite).
inline bool hasZeroMagnitude(std::complex<double> z) { return z.real() == 0 && z.imag() == 0; }
inline bool hasPositiveMagnitude(std::complex<double> z) {
    const double a = std::fabs(z.real()), b = std::fabs(z.imag());
    if (std::isinf(a) || std::isinf(b)) return true;
    return (a > 0 || b > 0) && !std::isnan(a) && !std::isnan(b);
}

inline std::complex<double> multiply(std::complex<double> l, std::complex<double> r) {
    const double a = l.real(), b = l.imag(), c = r.real(), d = r.imag();
    return {a * c - b * d, a * d + b * c};
}

// l / r by Smith's method: dividing through by the larger part of the
// divisor keeps 1/1E200 from underflowing to zero in c*c + d*d.
inline std::complex<double> divide(std::complex<double> l, std::complex<double> r) {
    const double a = l.real(), b = l.imag(), c = r.real(), d = r.imag();
    if (std::fabs(c) >= std::fabs(d)) {
        const double t = d / c;
        const double den = c + d * t;
        return {(a + b * t) / den, (b - a * t) / den};
    }
    const double t = c / d;
    const double den = c * t + d;
    return {(a * t + b) / den, (b * t - a) / den};
}

// Principal logarithm and power; both take signed zeros as +0.
inline std::complex<double> log(std::complex<double> z) { return std::log(plusZero(z)); }
inline std::complex<double> pow(std::complex<double> base, std::complex<double> exponent) {
    return std::exp(multiply(exponent, log(base)));
}

// z to an integer power by repeated squaring. A negative power takes the
// reciprocal first and then multiplies: taken last, the reciprocal of a
// product that overflowed would be infinity times zero, a NaN, where the
// true value is a number too small to hold, that is 0.
inline std::complex<double> powInt(std::complex<double> z, int n) {
    long long m = n < 0 ? -static_cast<long long>(n) : n;
    std::complex<double> result{1.0, 0.0};
    std::complex<double> square = n < 0 ? divide({1.0, 0.0}, z) : z;
    while (m > 0) {
        if (m & 1) result = multiply(result, square);
        m >>= 1;
        if (m > 0) square = multiply(square, square);
    }
    return result;
}

}  // namespace numeric
