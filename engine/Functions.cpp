// The built-in functions. The evaluation has reduced each argument to one
// operand and given the call's brackets rank 10 and its commas rank 4; the
// function checks its arguments, computes, and leaves the result in place
// of the whole call, in the first argument's operand.
#include <algorithm>
#include <cmath>
#include <string>

#include "EngineState.h"
#include "Numeric.h"
#include "WflStrings.h"

namespace {

enum Function {
    kAbs = 1, kAtan2, kAtan2d, kCmplx, kConjg, kCos, kCosd, kExp, kImag, kInt, kLn,
    kLog, kMax, kMin, kMod, kNint, kReal, kSin, kSind, kSqrt, kIf,
};

XVALUE realResult(double v) {
    XVALUE r;
    r.value = {v, 0.0};
    r.realValue = v;
    r.isReal = true;
    return r;
}

// Computes function f of the arguments *a[0..3]; returns a message for a
// user error.
const char* compute(int f, const XVALUE* const (&a)[4], XVALUE& out) {
    const XVALUE& a1 = *a[0];
    const XVALUE& a2 = *a[1];
    switch (f) {
    case kAbs: {
        const double m = numeric::magnitude(a1.value);
        out.value = {m, 0.0};
        out.realValue = a1.isReal ? std::fabs(a1.realValue) : m;
        out.isReal = true;
        return nullptr;
    }
    case kAtan2:
    case kAtan2d: {
        const double y = numeric::plusZero(a1.realValue);
        double angle = (a1.realValue == 0 && a2.realValue == 0) ? 0.0 : std::atan2(y, a2.realValue);
        if (f == kAtan2d) angle /= 0.017453292519943295;
        out = realResult(numeric::plusZero(angle));
        return nullptr;
    }
    case kCmplx:
        out.value = {a1.realValue, a2.realValue};
        out.realValue = a1.realValue;
        out.isReal = a2.realValue == 0;
        return nullptr;
    case kConjg:
        out.value = std::conj(a1.value);
        out.realValue = a1.realValue;
        out.isReal = a1.isReal;
        return nullptr;
    case kCos: out = realResult(std::cos(a1.realValue)); return nullptr;
    case kCosd: out = realResult(numeric::cosd(a1.realValue)); return nullptr;
    case kSin: out = realResult(std::sin(a1.realValue)); return nullptr;
    case kSind: out = realResult(numeric::sind(a1.realValue)); return nullptr;
    case kExp:
        // On the real axis the complex exponential is exp(x) + 0i, and the
        // libraries compute it as exactly that up to x = 709 (beyond, they
        // scale in two steps, which may differ in the last bit). There the
        // one real exp stands in for the complex exp with its sine and
        // cosine, and gives the same bits.
        if (a1.value.imag() == 0 && !std::signbit(a1.value.imag()) && std::isfinite(a1.value.real()) &&
            a1.value.real() <= 709.0) {
            const double e = std::exp(a1.value.real());
            out.value = {e, 0.0};
            out.realValue = a1.realValue == a1.value.real() ? e : std::exp(a1.realValue);
        } else {
            out.value = std::exp(a1.value);
            out.realValue = std::exp(a1.realValue);
        }
        out.isReal = a1.isReal;
        return nullptr;
    case kImag: out = realResult(a1.value.imag()); return nullptr;
    case kReal: out = realResult(a1.value.real()); return nullptr;
    // Beyond the 32-bit range the truncated or rounded value is kept as it is.
    case kInt: out = realResult(std::trunc(a1.value.real())); return nullptr;
    case kNint: out = realResult(std::round(a1.value.real())); return nullptr;
    case kLn: {
        if (numeric::hasZeroMagnitude(a1.value)) return "Cannot take log of zero";
        out.isReal = a1.isReal && a1.realValue > 0;
        // A positive real x gives log(x) + 0i. The libraries' complex log
        // computes exactly log(x) there, except between 0.5 and 2, where
        // one of them takes log1p of x*x-1 (which may differ in the last
        // bit), and at the ends of the range, where it scales; outside
        // those the real log alone gives the same bits.
        const double x = a1.value.real();
        if (a1.value.imag() == 0 && (x >= 2.0 || (x < 0.5 && x >= 0x1p-1022)) && x <= 0x1p1020) {
            const double l = std::log(x);
            out.value = {l, 0.0};
            out.realValue = out.isReal ? (a1.realValue == x ? l : std::log(a1.realValue)) : 0.0;
            return nullptr;
        }
        out.value = numeric::log(a1.value);
        out.realValue = out.isReal ? std::log(a1.realValue) : 0.0;
        return nullptr;
    }
    case kLog:
        if (!(a1.realValue > 0)) return "Log 10 argument must be > zero";
        out = realResult(std::log10(a1.realValue));
        return nullptr;
    case kMax:
    case kMin: {
        double v = a1.realValue;
        for (const XVALUE* x : a) v = f == kMax ? std::max(v, x->realValue) : std::min(v, x->realValue);
        out = realResult(v);
        return nullptr;
    }
    case kMod:
        if (a2.realValue == 0) return "#MOD denominator cannot be zero";
        // The remainder takes the sign of the dividend; fmod computes it exactly.
        out = realResult(std::fmod(a1.realValue, a2.realValue));
        return nullptr;
    case kSqrt:
        if (a1.isReal && a1.realValue >= 0) {
            out = realResult(std::sqrt(a1.realValue));
        } else {
            out.value = std::sqrt(numeric::plusZero(a1.value));
            out.realValue = 0;
            out.isReal = false;
        }
        return nullptr;
    case kIf:
        out = a1.realValue >= 0 ? a2 : *a[2];
        return nullptr;
    default:
        return nullptr;
    }
}

}  // namespace

int PXNFUNCT(int count, std::span<int> ranks, std::span<int> codes, std::span<int> positions) {
    count = std::min({count, static_cast<int>(ranks.size()), static_cast<int>(codes.size()),
                      static_cast<int>(positions.size())});
    if (count < 1) return 0;
    auto rank = [&](int i) -> int& { return ranks[static_cast<size_t>(i - 1)]; };
    auto column = [&](int i) { return sourceColumn(positions[static_cast<size_t>(i - 1)]); };
    EngineState& st = engineState();

    const int f = codes[0];
    if (f < 1 || f > kFunctionCount || rank(1) != 90) {
        reportLogicError("Routine PXNDECODE function processing.");
        return 1;
    }
    int o = 0;
    for (int i = 2; i <= count && o == 0; ++i) {
        if (rank(i) == 10) o = i;
    }
    int c = 0;
    for (int i = o + 1; o != 0 && i <= count && c == 0; ++i) {
        if (rank(i) == 10) c = i;
    }
    if (o == 0 || c == 0) {
        reportLogicError("Routine PXNDECODE function processing.");
        return 1;
    }
    auto whine = [&](std::string_view message, int lastToken) {
        PXNWHINE(message, column(1), column(lastToken));
        return 1;
    };

    int operandNumbers[4] = {};
    int firstToken = 0;
    int given = 0;
    for (int i = o; i <= c; ++i) {
        if (rank(i) >= 0) continue;
        if (given == 4) return whine("Function has too many arguments", c);
        if (given == 0) firstToken = i;
        operandNumbers[given++] = -rank(i);
    }
    const BuiltinFunction& fn = st.functions[static_cast<size_t>(f)];
    if (given == 0) return whine("Function has no arguments", 2);
    if (given < fn.minArgs) {
        return whine("Function has too few arguments.  " + PXISTRING(fn.minArgs) + " reqd.", c);
    }
    if (given > fn.maxArgs) {
        return whine("Function has too many arguments.  " + PXISTRING(fn.maxArgs) + " max.", c);
    }
    if (fn.kind == 1) {
        const int checked = f == kIf ? 1 : given;
        for (int k = 0; k < checked; ++k) {
            if (st.operands[static_cast<size_t>(operandNumbers[k])].isReal) continue;
            return whine("Argument " + PXISTRING(k + 1) + " is Complex " + "where a Real is required.", c);
        }
    }

    const XVALUE* args[4];
    for (int k = 0; k < 4; ++k) {
        const int number = k < given ? operandNumbers[k] : operandNumbers[0];  // unused slots repeat a1
        args[k] = &st.operands[static_cast<size_t>(number)];
    }
    XVALUE result;
    if (const char* message = compute(f, args, result)) return whine(message, c);

    for (int i = 1; i <= c; ++i) rank(i) = 0;
    rank(firstToken) = -operandNumbers[0];
    if (!result.isReal && PXNAPRXRL(result)) {
        result.realValue = result.value.real();
        result.isReal = true;
    }
    st.operands[static_cast<size_t>(operandNumbers[0])] = result;
    return 0;
}
