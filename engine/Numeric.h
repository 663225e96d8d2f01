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

// Cosine and sine of an angle in degrees, exact at multiples of 90 degrees
// (so 10<90 is exactly 10i). The angle is first reduced into [0, 360).
inline double reduceDegrees(double angle) {
    double r = std::fmod(angle, 360.0);
    if (r < 0) r += 360.0;
    return r;
}
inline double cosd(double angle) {
    const double r = reduceDegrees(angle);
    if (r == 0.0) return 1.0;
    if (r == 90.0 || r == 270.0) return 0.0;
    if (r == 180.0) return -1.0;
    return std::cos(r * 3.14159265358979323846 / 180.0);
}
inline double sind(double angle) {
    const double r = reduceDegrees(angle);
    if (r == 0.0 || r == 180.0) return 0.0;
    if (r == 90.0) return 1.0;
    if (r == 270.0) return -1.0;
    return std::sin(r * 3.14159265358979323846 / 180.0);
}

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

// z to an integer power by repeated squaring; a negative power divides 1.
inline std::complex<double> powInt(std::complex<double> z, int n) {
    long long m = n < 0 ? -static_cast<long long>(n) : n;
    std::complex<double> result{1.0, 0.0};
    std::complex<double> square = z;
    while (m > 0) {
        if (m & 1) result = multiply(result, square);
        m >>= 1;
        if (m > 0) square = multiply(square, square);
    }
    return n < 0 ? divide({1.0, 0.0}, result) : result;
}

}  // namespace numeric
