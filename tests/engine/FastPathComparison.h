// The fast path held to the long way on one line at a time: the fast path
// must report nothing whether or not it takes the line, and a line it takes
// must give, bit for bit, the status, value and real value the long way
// (preparation, decoding, evaluation) gives. Counts the lines compared and
// the lines the fast path took.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "EngineTestSupport.h"
#include "FastPath.h"

// Equal down to the sign of a zero. A NaN equals any NaN: the compiler may
// order the operands of an addition either way, and that decides which
// NaN's sign comes out, even between two copies of the same code.
inline bool sameBits(double x, double y) {
    if (std::isnan(x) || std::isnan(y)) return std::isnan(x) && std::isnan(y);
    return std::memcmp(&x, &y, sizeof x) == 0;
}
inline bool sameBits(const XVALUE& a, const XVALUE& b) {
    return sameBits(a.value.real(), b.value.real()) && sameBits(a.value.imag(), b.value.imag()) &&
           sameBits(a.realValue, b.realValue) && a.isReal == b.isReal;
}

inline std::string describe(const XVALUE& v) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "(%a, %a) real %a%s", v.value.real(), v.value.imag(), v.realValue,
                  v.isReal ? " is-real" : "");
    return buf;
}

class FastPathComparison {
public:
    FastPathComparison(EngineState& engine, RecordingPresenter& presenter, RecordingNotices& notices)
        : engine_(engine), presenter_(presenter), notices_(notices) {}

    // Both ways on LINE with every parameter visible; the first difference,
    // or empty.
    std::string compare(std::string_view line) {
        presenter_.reports.clear();
        notices_.notices.clear();
        const int limit = engine_.paramCount;
        XVALUE fast;
        fast.realValue = 12345;  // must stay as it is when the line is not taken
        const XVALUE untouched = fast;
        const bool took = fastEvaluate(engine_, line, limit, fast);
        if (!presenter_.reports.empty() || !notices_.notices.empty()) return "the fast path reported something";
        if (!took && !sameBits(fast, untouched)) return "the fast path wrote a value it did not take";

        engine_.searchLimit = limit;
        XVALUE slow;
        int status = PXNPREP(engine_, line);
        if (status == 0) status = PXNDECODE(engine_, slow);
        ++compared;
        if (!took) return {};
        ++taken;
        if (status != 0) return "the fast path took a line the long way rejects";
        if (!sameBits(fast, slow)) return "fast " + describe(fast) + " vs long way " + describe(slow);
        return {};
    }

    // One line for the test log: how many lines took the fast path.
    void print(const char* what) const {
        std::printf("[ fast path] %s: %d of %d lines took the fast path, each the same as the long way\n", what,
                    taken, compared);
    }

    int compared = 0;
    int taken = 0;

private:
    EngineState& engine_;
    RecordingPresenter& presenter_;
    RecordingNotices& notices_;
};
