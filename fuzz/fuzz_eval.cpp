// Raw bytes as an expression. The first byte's lowest bit sets the real-only
// switch; the rest is the text. The fast path is held to the long way on it.
#include <complex>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "EngineState.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    prepareFuzzEngine();
    if (size == 0) return 0;
    EngineState& engine = fuzzEngine();
    engine.realOnly = (data[0] & 1) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::complex<double> c;
    double r = 0;
    XVALUE v;
    evaluateComplex(engine, text, c);
    evaluateReal(engine, text, r);
    PXNSOLVE(engine, text, v);
    checkFastPathAgrees(text);
    return 0;
}
