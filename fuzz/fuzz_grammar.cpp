// Expressions built from the language's tokens, so the fuzzer reaches the
// evaluation rather than stopping at the first preparation error; the fast
// path is held to the long way on each.
#include <complex>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "EngineState.h"

namespace {

const char* const kTokens[] = {
    "0", "1", "2", "7", "10", "0.5", ".5", "5.", "1E5", "2.5D-3", "1e+2", "E5", "3E", "1 000",
    "A", "B", "IN", "Z0", "BAD", "X_1", "Q", "x", "ab", "D", "E", "DX",
    "#ABS", "#ATAN2", "#ATAN2D", "#CMPLX", "#CONJG", "#COS", "#COSD", "#EXP", "#IMAG", "#INT",
    "#LN", "#LOG", "#MAX", "#MIN", "#MOD", "#NINT", "#REAL", "#SIN", "#SIND", "#SQRT", "#IF",
    "#sqrt", "#FOO",
    "(", ")", "(", ")", "[", "]", "{", "}", ",", "<", "+", "-", "*", "/", "^", "**",
    " ", " ", "\t", "-", "(", ")",
};
constexpr std::size_t kTokenCount = sizeof kTokens / sizeof kTokens[0];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    prepareFuzzEngine();
    if (size == 0) return 0;
    EngineState& engine = fuzzEngine();
    engine.realOnly = (data[0] & 1) != 0;
    std::string text;
    for (std::size_t i = 1; i < size && text.size() < 90; ++i) text += kTokens[data[i] % kTokenCount];
    std::complex<double> c;
    double r = 0;
    evaluateComplex(engine, text, c);
    evaluateReal(engine, text, r);
    checkFastPathAgrees(text);
    return 0;
}
