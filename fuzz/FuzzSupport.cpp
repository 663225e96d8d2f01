#include "FuzzSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "EngineState.h"
#include "FastPath.h"
#include "Seams.h"
#include "XExpression.h"

namespace {

class SilentPresenter : public ExpressionErrorPresenter {
public:
    int reports = 0;
    void present(const ExpressionErrorReport& r) override {
        ++reports;
        // Touch every byte so the sanitizers see a bad buffer.
        volatile std::size_t sum = r.message.size() + r.display.size() + r.marker.size();
        (void)sum;
        if (r.marker.size() > 64 || r.display.size() > 64) {
            std::fprintf(stderr, "report lines longer than 64 columns\n");
            std::abort();
        }
    }
};

// An internal-fault notice means the engine let an input through that its
// rules should have stopped: for the fuzzer that is a crash.
class StrictSink : public NoticeSink {
public:
    void warn(std::string_view, std::string_view) override {}
    void info(std::string_view, std::string_view) override {}
    void stop(std::string_view caption, std::string_view text) override {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        std::abort();
    }
    bool ask(std::string_view, std::string_view) override { return false; }
};

SilentPresenter& presenter() {
    static SilentPresenter p;
    return p;
}

// Equal down to the sign of a zero; a NaN equals any NaN.
bool sameBits(double x, double y) {
    if (std::isnan(x) || std::isnan(y)) return std::isnan(x) && std::isnan(y);
    return std::memcmp(&x, &y, sizeof x) == 0;
}

}  // namespace

EngineState& fuzzEngine() {
    static EngineState engine;
    return engine;
}

void installFuzzSeams() {
    static StrictSink sink;
    fuzzEngine().presenter = &presenter();
    fuzzEngine().notices = &sink;
}

void checkFastPathAgrees(std::string_view text) {
    EngineState& engine = fuzzEngine();
    const int limit = engine.paramCount;
    const int before = presenter().reports;
    XVALUE fast;
    const bool took = fastEvaluate(engine, text, limit, fast);
    if (presenter().reports != before) {
        std::fprintf(stderr, "the fast path reported on [%.*s]\n", static_cast<int>(text.size()), text.data());
        std::abort();
    }
    if (!took) return;
    engine.searchLimit = limit;
    XVALUE slow;
    int status = PXNPREP(engine, text);
    if (status == 0) status = PXNDECODE(engine, slow);
    const bool same = status == 0 && sameBits(fast.value.real(), slow.value.real()) &&
                      sameBits(fast.value.imag(), slow.value.imag()) && sameBits(fast.realValue, slow.realValue) &&
                      fast.isReal == slow.isReal;
    if (!same) {
        std::fprintf(stderr, "the fast path and the long way differ on [%.*s]: status %d, (%a, %a) %a %d vs (%a, %a) %a %d\n",
                     static_cast<int>(text.size()), text.data(), status, fast.value.real(), fast.value.imag(),
                     fast.realValue, fast.isReal ? 1 : 0, slow.value.real(), slow.value.imag(), slow.realValue,
                     slow.isReal ? 1 : 0);
        std::abort();
    }
}

void defineFuzzParameters() {
    EngineState& engine = fuzzEngine();
    resetEngine(engine);
    addParameter(engine, "A", "2", "", false, true);
    addParameter(engine, "B", "(1,2)", "", false, true);
    addParameter(engine, "IN", "2.54", "inch", true, true);
    addParameter(engine, "Z0", "0", "", false, true);
    addParameter(engine, "BAD", "1/0", "", false, true);
    addParameter(engine, "X_1", "A*IN", "", false, true);
}

std::string describeTable(bool withValues) {
    std::string out;
    const EngineState& engine = fuzzEngine();
    for (int i = 1; i <= engine.paramCount; ++i) {
        const XPARAM& p = engine.params[static_cast<std::size_t>(i - 1)];
        out += p.name.str() + "|" + p.expression.str() + "|" + p.comment.str() + "|" + (p.factorOnly ? "F" : "-");
        if (withValues) {
            const XVALUE& v = p.value;
            const bool ok = p.valid;
            // An entry whose evaluation failed keeps whatever value it had
            // before, which depends on history, not on what is stored.
            char buf[128];
            if (ok) {
                std::snprintf(buf, sizeof buf, "|ok|%a|%a|%a|%d", v.value.real(), v.value.imag(), v.realValue,
                              v.isReal ? 1 : 0);
            } else {
                std::snprintf(buf, sizeof buf, "|failed");
            }
            out += buf;
        }
        out += "\n";
    }
    return out;
}

void prepareFuzzEngine() {
    static const bool ready = [] {
        installFuzzSeams();
        defineFuzzParameters();
        return true;
    }();
    (void)ready;
}
