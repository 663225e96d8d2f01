// Numeric helpers shared by the evaluation and the built-in functions.
#pragma once

#include <cmath>
#include <complex>

#include "Elementary.h"

namespace numeric {

// A zero of either sign becomes +0, so that angles and principal values
// never depend on the sign of a zero: arguments lie in (-pi, pi].
inline double plusZero(double x) { return x == 0.0 ? 0.0 : x; }
inline std::complex<double> plusZero(std::complex<double> z) {
    return {plusZero(z.real()), plusZero(z.imag())};
}

// Sine and cosine of an angle given in parts of a turn: degrees (a half
// turn is 180) or half turns (a half turn is 1). The angle is reduced to
// its remainder after division by a whole turn, with the sign of the angle
// kept, so a small angle keeps every digit it has. That remainder is
// brought on into [-1/8, 1/8] turn by whole quarter turns; each of those
// subtractions is exact (the two numbers lie within a factor of two of
// each other), so an angle near a half or whole turn does not lose its
// digits to a rounded pi either. The quarter turns themselves give exact
// values: 10<90 is exactly 10i.
struct SinCos {
    double sin = 0.0;
    double cos = 1.0;
};
inline SinCos sincosTurn(double angle, double halfTurn) {
    const double turn = 2 * halfTurn, quarterTurn = halfTurn / 2, eighth = halfTurn / 4;
    double r = elementary::fmod(angle, turn);
    if (r > halfTurn) r -= turn;
    if (r < -halfTurn) r += turn;
    int quarter = 0;  // r = t + quarterTurn * quarter, quarter in -2..2
    if (r > 3 * eighth) quarter = 2;
    else if (r > eighth) quarter = 1;
    else if (r < -3 * eighth) quarter = -2;
    else if (r < -eighth) quarter = -1;
    const double t = r - quarterTurn * quarter;
    double s = 0.0, c = 1.0;  // of t; a zero stays +0, so exact values carry no signed zeros
    if (t != 0.0) {
        const double x = t * 3.14159265358979323846 / halfTurn;
        s = elementary::sin(x);
        c = elementary::cos(x);
    }
    switch (quarter) {
    case 1: return {c, t == 0.0 ? 0.0 : -s};
    case -1: return {-c, s};
    case 2:
    case -2: return {t == 0.0 ? 0.0 : -s, -c};
    default: return {s, c};
    }
}
inline SinCos sincosd(double angle) { return sincosTurn(angle, 180.0); }
inline double cosd(double angle) { return sincosd(angle).cos; }
inline double sind(double angle) { return sincosd(angle).sin; }

// Magnitude without overflow or underflow in the squares.
inline double magnitude(std::complex<double> z) { return elementary::hypot(z.real(), z.imag()); }

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

// x * y, where an exact zero factor wins over an infinite one. It is used
// only where the zero is one of structure rather than a value: the
// imaginary part of a number on the real axis, the sine or cosine of a
// quarter turn, the ratio of a divisor's parts. Such a zero stands for
// nothing at all, so infinity times 2 stays infinity + 0i instead of
// gaining a NaN imaginary part, while the real product infinity times 0
// still is no number. Finite factors give the plain product, bit for bit.
inline double times(double x, double y) {
    const double p = x * y;
    if (p == p || std::isnan(x) || std::isnan(y)) return p;
    return std::signbit(x) == std::signbit(y) ? 0.0 : -0.0;  // infinity times zero
}

inline std::complex<double> multiply(std::complex<double> l, std::complex<double> r) {
    const double a = l.real(), b = l.imag(), c = r.real(), d = r.imag();
    return {a * c - times(b, d), times(a, d) + times(b, c)};
}

// l / r by Smith's method: dividing through by the larger part of the
// divisor keeps 1/1E200 from underflowing to zero in c*c + d*d.
inline std::complex<double> divide(std::complex<double> l, std::complex<double> r) {
    const double a = l.real(), b = l.imag(), c = r.real(), d = r.imag();
    if (std::fabs(c) >= std::fabs(d)) {
        const double t = d / c;
        const double den = c + times(d, t);
        return {(a + times(b, t)) / den, (b - times(a, t)) / den};
    }
    const double t = c / d;
    const double den = times(c, t) + d;
    return {(times(a, t) + b) / den, (times(b, t) - a) / den};
}

// The complex functions are built here on the real ones of Elementary.h,
// the same way in both builds: the C++ library's complex functions would go
// through the MinGW runtime's sine and cosine in the Windows build, and the
// system runtime's own complex functions cannot be used where the Windows
// build is tested (Wine 8 does not implement them).

// e^z = e^x (cos y + i sin y). A zero imaginary part is kept as it is, so
// the real axis maps to the real axis. Beyond x = 709, e^x alone overflows
// where the product may not; e^709 is then taken out first.
inline std::complex<double> exp(std::complex<double> z) {
    const double x = z.real(), y = z.imag();
    if (y == 0) return {elementary::exp(x), y};
    const double c = elementary::cos(y), s = elementary::sin(y);
    if (x > 709.0) {
        const double e709 = elementary::exp(709.0), rest = elementary::exp(x - 709.0);
        return {(c * e709) * rest, (s * e709) * rest};
    }
    const double e = elementary::exp(x);
    return {e * c, e * s};
}

// x * x as an unevaluated sum hi + lo, exactly (Dekker's product: the
// factor is split into halves whose products the double holds exactly).
struct Exact {
    double hi, lo;
};
inline Exact square(double x) {
    const double hi = x * x;
    const double split = x * 134217729.0;  // 2^27 + 1
    const double xh = split - (split - x), xl = x - xh;
    return {hi, ((xh * xh - hi) + 2 * xh * xl) + xl * xl};
}
// p + q as hi + lo, exactly (Knuth's two-sum).
inline Exact sum(double p, double q) {
    const double hi = p + q;
    const double qv = hi - p;
    return {hi, (p - (hi - qv)) + (q - qv)};
}

// Principal logarithm: log|z| + i arg z, the argument in (-pi, pi]; a
// zero of either sign is taken as +0. Where |z| is near 1, log|z| is
// small and log(hypot) would keep only the digits of the rounding in
// hypot; there log|z| = log1p(x^2 + y^2 - 1) / 2, with x^2 + y^2 - 1
// summed from exact squares: the sum of the two high parts lies between
// 1/2 and 2, so taking 1 from it is exact.
inline std::complex<double> log(std::complex<double> z) {
    z = plusZero(z);
    const double x = z.real(), y = z.imag();
    const double arg = elementary::atan2(y, x);
    if (y == 0) return {elementary::log(std::fabs(x)), arg};
    const double h = elementary::hypot(x, y);
    if (h >= 0.71 && h <= 1.4) {
        const Exact xx = square(x), yy = square(y);
        const Exact s = sum(xx.hi, yy.hi);
        const double m = (s.hi - 1.0) + ((xx.lo + yy.lo) + s.lo);
        return {0.5 * elementary::log1p(m), arg};
    }
    return {elementary::log(h), arg};
}

// Principal square root: real part >= 0, the imaginary part with the sign
// of z's. With d = |z|, the larger part is sqrt((d + |x|) / 2) and the
// other is y / (2 * that), which never cancels. Very large and very small
// z are scaled by a power of 4 first, whose root is exact.
inline std::complex<double> sqrt(std::complex<double> z) {
    double x = z.real(), y = z.imag();
    if (std::isinf(y)) return {INFINITY, y};
    if (std::isnan(x) || std::isnan(y)) return {NAN, NAN};
    if (std::isinf(x)) {
        if (x > 0) return {x, std::copysign(0.0, y)};
        return {0.0, std::copysign(INFINITY, y)};
    }
    if (y == 0) {
        if (x < 0) return {0.0, std::copysign(elementary::sqrt(-x), y)};
        return {elementary::sqrt(x), y};
    }
    double unscale = 1.0;
    const double big = std::fmax(std::fabs(x), std::fabs(y));
    if (big > 0x1p1020) {
        x *= 0x1p-4;
        y *= 0x1p-4;
        unscale = 0x1p2;
    } else if (big < 0x1p-1000) {
        x *= 0x1p100;
        y *= 0x1p100;
        unscale = 0x1p-50;
    }
    const double d = elementary::hypot(x, y);
    double re = 0, im = 0;
    if (x >= 0) {
        re = elementary::sqrt(0.5 * (d + x));
        im = 0.5 * (y / re);
    } else {
        im = elementary::sqrt(0.5 * (d - x));
        re = std::fabs(0.5 * (y / im));
        im = std::copysign(im, y);
    }
    return {re * unscale, im * unscale};
}

// The principal power; signed zeros are taken as +0.
inline std::complex<double> pow(std::complex<double> base, std::complex<double> exponent) {
    return exp(multiply(exponent, log(base)));
}

// A negative number x to a real power e: |x|^e turned by e half turns.
// The general exp(e log x) would round e*pi first, and a sine near a
// whole turn keeps only the digits of that rounding; the remainder of e
// in half turns is taken exactly instead.
inline std::complex<double> powNegative(double x, double e) {
    const double m = elementary::pow(-x, e);
    const SinCos sc = sincosTurn(e, 1.0);
    return {times(m, sc.cos), times(m, sc.sin)};
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
