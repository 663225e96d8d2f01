// The arithmetic of one operation on two engine values. The evaluation
// decides which operator comes next; these routines decide what it
// computes. Each writes its result into the right operand, as every
// operation does, and keeps both of its values: the complex value always,
// and the real value, computed with real operations, while is-real holds.
#pragma once

#include <cmath>
#include <complex>

#include "EngineState.h"
#include "Numeric.h"

namespace valueops {

// The value is no number: a NaN in either part of the complex value, or in
// the real value while that is the one that counts.
inline bool hasNaN(const XVALUE& v) {
    return std::isnan(v.value.real()) || std::isnan(v.value.imag()) || (v.isReal && std::isnan(v.realValue));
}

// A complex value whose imaginary part is negligible next to its real part
// is taken as real from here on.
inline void markRealIfNegligible(XVALUE& v) {
    if (!v.isReal && PXNAPRXRL(v)) {
        v.realValue = v.value.real();
        v.isReal = true;
    }
}

// l ^ r. A zero base gives 0 whatever the exponent (0^0 and 0^-1 too).
inline void power(const XVALUE& l, XVALUE& r) {
    r.isReal = l.isReal && r.isReal;
    int n = 0;
    if (!r.isReal) {
        if (!numeric::hasPositiveMagnitude(l.value)) {
            r.value = {};
        } else if (r.value.imag() == 0 && PXNR8ASINT(r.value.real(), n)) {
            // A whole power of a complex number is a product: (3,4)^2 is
            // exactly -7 + 24i, where exp(2 log(3+4i)) would give
            // -6.9999999999999973 + 24i.
            r.value = numeric::powInt(l.value, n);
        } else {
            r.value = numeric::pow(l.value, r.value);
        }
        return;
    }
    if (l.realValue == 0) {
        r.realValue = 0;
        r.value = {};
        r.isReal = true;
        return;
    }
    if (PXNR8ASINT(r.realValue, n)) {
        r.realValue = elementary::pow(l.realValue, static_cast<double>(n));
        r.value = numeric::powInt(l.value, n);
    } else {
        const double exponent = r.realValue;
        r.realValue = elementary::pow(l.realValue, exponent);  // NaN for a negative base
        r.value = l.value.imag() == 0 && l.value.real() < 0 ? numeric::powNegative(l.value.real(), exponent)
                                                            : numeric::pow(l.value, {exponent, 0.0});
    }
    r.isReal = !std::isnan(r.realValue);
    // A base on the real axis with a real result: the complex value is that
    // result. Computed as a complex power it would either lose digits
    // (exp of a rounded logarithm) or overflow in a product whose other
    // factor is zero, and turn into a NaN the real value does not have.
    if (r.isReal && l.value.imag() == 0) r.value = {r.realValue, 0.0};
}

inline void multiply(const XVALUE& l, XVALUE& r) {
    r.isReal = l.isReal && r.isReal;
    if (r.isReal) r.realValue *= l.realValue;
    r.value = numeric::multiply(l.value, r.value);
}

// l / r. Returns false, with r untouched in its complex value, when the
// divisor is zero and the dividend is not: the caller reports it. A zero
// dividend gives 0 whatever the divisor, even 0/0.
inline bool divide(const XVALUE& l, XVALUE& r) {
    if (numeric::hasZeroMagnitude(l.value) || (l.isReal && l.realValue == 0)) {
        r.realValue = 0;
        r.value = {};
        r.isReal = true;
        return true;
    }
    r.isReal = l.isReal && r.isReal && r.realValue != 0;
    if (r.isReal) r.realValue = l.realValue / r.realValue;
    if (!numeric::hasPositiveMagnitude(r.value)) return false;
    r.value = numeric::divide(l.value, r.value);
    return true;
}

inline void add(const XVALUE& l, XVALUE& r) {
    r.isReal = l.isReal && r.isReal;
    if (r.isReal) r.realValue = l.realValue + r.realValue;
    r.value = l.value + r.value;
}

inline void subtract(const XVALUE& l, XVALUE& r) {
    r.isReal = l.isReal && r.isReal;
    if (r.isReal) r.realValue = l.realValue - r.realValue;
    r.value = l.value - r.value;
}

inline void negate(XVALUE& r) {
    if (r.isReal) r.realValue = -r.realValue;
    r.value = -r.value;
}

// (l, r): the real parts of the two sides become one complex number.
inline void pair(const XVALUE& l, XVALUE& r) {
    r.value = {l.value.real(), r.value.real()};
    r.isReal = false;
    markRealIfNegligible(r);
}

// l < r: the magnitude l turned by the angle r, in degrees.
inline void polar(const XVALUE& l, XVALUE& r) {
    const numeric::SinCos sc = numeric::sincosd(r.value.real());
    const double a = l.value.real(), b = l.value.imag();
    r.value = {numeric::times(a, sc.cos) - numeric::times(b, sc.sin),
               numeric::times(a, sc.sin) + numeric::times(b, sc.cos)};
    r.isReal = false;
    markRealIfNegligible(r);
}

}  // namespace valueops
