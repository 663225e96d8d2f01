// The built-in functions. The evaluation has reduced each argument to one
// operand and given the call's brackets rank 10 and its commas rank 4; the
// function checks its arguments, computes, and leaves the result in place
// of the whole call, in the first argument's operand.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

#include "Elementary.h"
#include "EngineState.h"
#include "Numeric.h"
#include "ValueOps.h"
#include "WflStrings.h"

namespace {

XVALUE realResult(double v) {
    XVALUE r;
    r.value = {v, 0.0};
    r.realValue = v;
    r.isReal = true;
    return r;
}

using Args = BuiltinFunction::Args;

// Each function computes from its arguments *a[0..3] (unused slots repeat
// the first) into `out`, or returns the message of a user error.

const char* absolute(Args a, XVALUE& out) {
    const double m = numeric::magnitude(a[0]->value);
    out.value = {m, 0.0};
    out.realValue = a[0]->isReal ? std::fabs(a[0]->realValue) : m;
    out.isReal = true;
    return nullptr;
}

// Arc tangent of a1/a2 with the quadrant from both signs; 0 at the origin.
double atan2Of(Args a) {
    const double y = numeric::plusZero(a[0]->realValue);
    return (a[0]->realValue == 0 && a[1]->realValue == 0) ? 0.0 : elementary::atan2(y, a[1]->realValue);
}
const char* atan2Radians(Args a, XVALUE& out) {
    out = realResult(numeric::plusZero(atan2Of(a)));
    return nullptr;
}
const char* atan2Degrees(Args a, XVALUE& out) {
    out = realResult(numeric::plusZero(atan2Of(a) / 0.017453292519943295));
    return nullptr;
}

const char* complexOf(Args a, XVALUE& out) {
    out.value = {a[0]->realValue, a[1]->realValue};
    out.realValue = a[0]->realValue;
    out.isReal = a[1]->realValue == 0;
    return nullptr;
}

const char* conjugate(Args a, XVALUE& out) {
    out.value = std::conj(a[0]->value);
    out.realValue = a[0]->realValue;
    out.isReal = a[0]->isReal;
    return nullptr;
}

const char* cosine(Args a, XVALUE& out) {
    out = realResult(elementary::cos(a[0]->realValue));
    return nullptr;
}
const char* cosineDegrees(Args a, XVALUE& out) {
    out = realResult(numeric::cosd(a[0]->realValue));
    return nullptr;
}
const char* sine(Args a, XVALUE& out) {
    out = realResult(elementary::sin(a[0]->realValue));
    return nullptr;
}
const char* sineDegrees(Args a, XVALUE& out) {
    out = realResult(numeric::sind(a[0]->realValue));
    return nullptr;
}

const char* exponential(Args a, XVALUE& out) {
    const XVALUE& a1 = *a[0];
    // On the real axis the complex exponential is e^x + 0i, the real one.
    out.value = numeric::exp(a1.value);
    out.realValue = a1.realValue == a1.value.real() && a1.value.imag() == 0 ? out.value.real()
                                                                           : elementary::exp(a1.realValue);
    out.isReal = a1.isReal;
    return nullptr;
}

const char* imaginaryPart(Args a, XVALUE& out) {
    out = realResult(a[0]->value.imag());
    return nullptr;
}
const char* realPart(Args a, XVALUE& out) {
    out = realResult(a[0]->value.real());
    return nullptr;
}
// Beyond the 32-bit range the truncated or rounded value is kept as it is.
const char* truncated(Args a, XVALUE& out) {
    out = realResult(std::trunc(a[0]->value.real()));
    return nullptr;
}
const char* nearestInteger(Args a, XVALUE& out) {
    out = realResult(std::round(a[0]->value.real()));  // halves away from zero
    return nullptr;
}

const char* naturalLog(Args a, XVALUE& out) {
    const XVALUE& a1 = *a[0];
    if (numeric::hasZeroMagnitude(a1.value)) return "Cannot take log of zero";
    out.isReal = a1.isReal && a1.realValue > 0;
    // A positive real x gives log(x) + 0i: the complex log's real part is
    // then the real log itself.
    out.value = numeric::log(a1.value);
    if (!out.isReal) {
        out.realValue = 0.0;
    } else if (a1.realValue == a1.value.real() && a1.value.imag() == 0) {
        out.realValue = out.value.real();
    } else {
        out.realValue = elementary::log(a1.realValue);
    }
    return nullptr;
}

const char* commonLog(Args a, XVALUE& out) {
    if (!(a[0]->realValue > 0)) return "Log 10 argument must be > zero";
    out = realResult(elementary::log10(a[0]->realValue));
    return nullptr;
}

// The largest or the smallest of the arguments (unused slots hold the first).
template <const double& (*pick)(const double&, const double&)>
const char* extreme(Args a, XVALUE& out) {
    double v = a[0]->realValue;
    for (const XVALUE* x : a) v = pick(v, x->realValue);
    out = realResult(v);
    return nullptr;
}
constexpr auto largest = extreme<std::max<double>>;
constexpr auto smallest = extreme<std::min<double>>;

const char* remainder(Args a, XVALUE& out) {
    if (a[1]->realValue == 0) return "#MOD denominator cannot be zero";
    // The remainder takes the sign of the dividend; fmod computes it
    // exactly, where a1 - a2 * trunc(a1 / a2) loses it for large a1.
    out = realResult(elementary::fmod(a[0]->realValue, a[1]->realValue));
    return nullptr;
}

const char* squareRoot(Args a, XVALUE& out) {
    const XVALUE& a1 = *a[0];
    if (a1.isReal && a1.realValue >= 0) {
        out = realResult(elementary::sqrt(a1.realValue));
    } else {
        out.value = numeric::sqrt(numeric::plusZero(a1.value));
        out.realValue = 0;
        out.isReal = false;
    }
    return nullptr;
}

const char* choose(Args a, XVALUE& out) {
    out = a[0]->realValue >= 0 ? *a[1] : *a[2];  // NaN chooses the third
    return nullptr;
}

using Real = BuiltinFunction::RealArgs;

// The order gives each function its token code (its index, counted from 1).
constexpr BuiltinFunction kBuiltins[] = {
    {"#ABS", 1, 1, Real::kNone, absolute},
    {"#ATAN2", 2, 2, Real::kAll, atan2Radians},
    {"#ATAN2D", 2, 2, Real::kAll, atan2Degrees},
    {"#CMPLX", 2, 2, Real::kAll, complexOf},
    {"#CONJG", 1, 1, Real::kNone, conjugate},
    {"#COS", 1, 1, Real::kAll, cosine},
    {"#COSD", 1, 1, Real::kAll, cosineDegrees},
    {"#EXP", 1, 1, Real::kNone, exponential},
    {"#IMAG", 1, 1, Real::kNone, imaginaryPart},
    {"#INT", 1, 1, Real::kNone, truncated},
    {"#LN", 1, 1, Real::kNone, naturalLog},
    {"#LOG", 1, 1, Real::kAll, commonLog},
    {"#MAX", 2, 4, Real::kAll, largest},
    {"#MIN", 2, 4, Real::kAll, smallest},
    {"#MOD", 2, 2, Real::kAll, remainder},
    {"#NINT", 1, 1, Real::kNone, nearestInteger},
    {"#REAL", 1, 1, Real::kNone, realPart},
    {"#SIN", 1, 1, Real::kAll, sine},
    {"#SIND", 1, 1, Real::kAll, sineDegrees},
    {"#SQRT", 1, 1, Real::kNone, squareRoot},
    {"#IF", 3, 3, Real::kFirst, choose},
};
static_assert(std::size(kBuiltins) == kFunctionCount);

// A name of at most 8 characters, blank-padded to 8, as one number whose
// lowest byte is the first character.
constexpr std::uint64_t paddedWord(std::string_view name) {
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const auto c = static_cast<unsigned char>(i < name.size() ? name[i] : ' ');
        word |= std::uint64_t{c} << (8 * i);
    }
    return word;
}

// The names are found by hashing instead of by comparing all of them: a
// multiplier, found at compile time, sends each name's word to a slot of its
// own among 64, and the one name in the slot is then compared whole.
struct NameHash {
    std::uint64_t multiplier = 0;
    std::array<std::uint8_t, 64> code{};  // 0: no name hashes here
    std::array<std::uint64_t, kFunctionCount + 1> word{};
    static constexpr int slot(std::uint64_t word, std::uint64_t multiplier) {
        return static_cast<int>((word * multiplier) >> 58);
    }
};

constexpr NameHash makeNameHash() {
    std::uint64_t state = 0;
    for (int attempt = 0; attempt < 4096; ++attempt) {
        // Candidates from a fixed mixing sequence; each must be odd.
        state += 0x9E3779B97F4A7C15ull;
        std::uint64_t m = (state ^ (state >> 30)) * 0xBF58476D1CE4E5B9ull;
        m = (m ^ (m >> 27)) * 0x94D049BB133111EBull;
        m = (m ^ (m >> 31)) | 1;
        NameHash h;
        h.multiplier = m;
        bool clash = false;
        for (int i = 1; i <= kFunctionCount && !clash; ++i) {
            const std::uint64_t w = paddedWord(kBuiltins[i - 1].name);
            const int s = NameHash::slot(w, m);
            clash = h.code[static_cast<std::size_t>(s)] != 0;
            h.code[static_cast<std::size_t>(s)] = static_cast<std::uint8_t>(i);
            h.word[static_cast<std::size_t>(i)] = w;
        }
        if (!clash) return h;
    }
    return {};
}
constexpr NameHash kNameHash = makeNameHash();
static_assert(kNameHash.multiplier != 0, "no multiplier separates the function names");

}  // namespace

int builtinFunctionCode(std::string_view name) {
    if (name.size() > 8) return 0;
    std::uint64_t word = 0;
    if constexpr (std::endian::native == std::endian::little) {
        char padded[8];
        std::memset(padded, ' ', sizeof padded);
        std::memcpy(padded, name.data(), name.size());
        std::memcpy(&word, padded, sizeof word);
    } else {
        word = paddedWord(name);
    }
    const int code = kNameHash.code[static_cast<std::size_t>(NameHash::slot(word, kNameHash.multiplier))];
    return kNameHash.word[static_cast<std::size_t>(code)] == word ? code : 0;
}

const BuiltinFunction* builtinFunction(int code) {
    return code >= 1 && code <= kFunctionCount ? &kBuiltins[code - 1] : nullptr;
}

int functionCode(const EngineState& engine, std::string_view name) {
    if (const int code = builtinFunctionCode(name); code != 0) return code;
    const std::vector<HostFunction>& host = engine.hostFunctions;
    for (std::size_t i = 0; i < host.size(); ++i) {
        if (host[i].name == name) return kFunctionCount + 1 + static_cast<int>(i);
    }
    return 0;
}

namespace {

// A function the program defined: the same checks of the argument count as
// a built-in one, then its own computation.
const char* callHost(const HostFunction& fn, std::span<const XVALUE> args, XVALUE& out, std::string& message) {
    try {
        if (fn.compute(args, out, message)) return nullptr;
        if (message.empty()) message = "Function failed";
    } catch (...) {
        message = "Function failed";
    }
    return message.c_str();
}

}  // namespace

int PXNFUNCT(EngineState& st, int count, std::span<int> ranks, std::span<int> codes, std::span<int> positions) {
    count = std::min({count, static_cast<int>(ranks.size()), static_cast<int>(codes.size()),
                      static_cast<int>(positions.size())});
    if (count < 1) return 0;
    auto rank = [&](int i) -> int& { return ranks[static_cast<size_t>(i - 1)]; };
    auto column = [&](int i) { return st.sourceColumn(positions[static_cast<size_t>(i - 1)]); };

    const BuiltinFunction* const fn = builtinFunction(codes[0]);
    const auto hostPlace = static_cast<std::size_t>(codes[0] - kFunctionCount - 1);
    const HostFunction* const host =
        fn == nullptr && codes[0] > kFunctionCount && hostPlace < st.hostFunctions.size() ? &st.hostFunctions[hostPlace]
                                                                                           : nullptr;
    if ((fn == nullptr && host == nullptr) || rank(1) != kRankFunction) {
        reportLogicError(st, "Routine PXNDECODE function processing.");
        return 1;
    }
    int o = 0;
    for (int i = 2; i <= count && o == 0; ++i) {
        if (rank(i) == kRankArguments) o = i;
    }
    int c = 0;
    for (int i = o + 1; o != 0 && i <= count && c == 0; ++i) {
        if (rank(i) == kRankArguments) c = i;
    }
    if (o == 0 || c == 0) {
        reportLogicError(st, "Routine PXNDECODE function processing.");
        return 1;
    }
    auto whine = [&](std::string_view message, int lastToken) {
        PXNWHINE(st, message, column(1), column(lastToken));
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
    const int minArgs = fn != nullptr ? fn->minArgs : host->minArgs;
    const int maxArgs = fn != nullptr ? fn->maxArgs : host->maxArgs;
    if (given == 0) return whine("Function has no arguments", 2);
    if (given < minArgs) {
        return whine("Function has too few arguments.  " + PXISTRING(minArgs) + " reqd.", c);
    }
    if (given > maxArgs) {
        return whine("Function has too many arguments.  " + PXISTRING(maxArgs) + " max.", c);
    }
    // An argument that is no number is reported here, before the function
    // could drop it (#MAX, #IF) or pass it on.
    for (int k = 0; k < given; ++k) {
        if (valueops::hasNaN(st.operands[static_cast<size_t>(operandNumbers[k])])) {
            return whine(kNotANumberMessage, c);
        }
    }
    const auto realArgs = fn != nullptr ? fn->realArgs : BuiltinFunction::RealArgs::kNone;
    const int mustBeReal = realArgs == BuiltinFunction::RealArgs::kAll     ? given
                           : realArgs == BuiltinFunction::RealArgs::kFirst ? 1
                                                                            : 0;
    for (int k = 0; k < mustBeReal; ++k) {
        if (st.operands[static_cast<size_t>(operandNumbers[k])].isReal) continue;
        return whine("Argument " + PXISTRING(k + 1) + " is Complex " + "where a Real is required.", c);
    }

    XVALUE result;
    if (fn != nullptr) {
        const XVALUE* args[4];
        for (int k = 0; k < 4; ++k) {
            const int number = k < given ? operandNumbers[k] : operandNumbers[0];  // unused slots repeat a1
            args[k] = &st.operands[static_cast<size_t>(number)];
        }
        if (const char* message = fn->compute(args, result)) return whine(message, c);
    } else {
        XVALUE args[4];
        for (int k = 0; k < given; ++k) args[k] = st.operands[static_cast<size_t>(operandNumbers[k])];
        std::string message;
        if (callHost(*host, std::span<const XVALUE>(args, static_cast<std::size_t>(given)), result, message) != nullptr) {
            return whine(message, c);
        }
        // A result that is no number is reported as any other is.
        if (valueops::hasNaN(result)) return whine(kNotANumberMessage, c);
    }

    for (int i = 1; i <= c; ++i) rank(i) = 0;
    rank(firstToken) = -operandNumbers[0];
    if (!result.isReal && PXNAPRXRL(result)) {
        result.realValue = result.value.real();
        result.isReal = true;
    }
    st.operands[static_cast<size_t>(operandNumbers[0])] = result;
    return 0;
}
