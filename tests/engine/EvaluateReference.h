// A plain reduction by operator rank, kept beside the tests as the yardstick
// for the engine's PXNCRANK: every step scans its whole range for the
// highest rank with PNXGETOP, exactly as the rule reads, and then applies
// the pick with the engine's own applyGroup and applyOperator. So the two
// can be run on copies of the same decoded form and compared: what differs
// between them is how each finds its picks, and that is what the comparison
// checks.
#pragma once

#include <algorithm>
#include <cmath>
#include <span>

#include "EngineState.h"

namespace evalref {

inline int crank(EngineState& engine, int count, std::span<int> ranks, std::span<int> codes, std::span<int> positions) {
    count = std::min({count, static_cast<int>(ranks.size()), static_cast<int>(codes.size()),
                      static_cast<int>(positions.size())});
    if (count < 1) return 0;
    const TokenRange range{engine, ranks.first(static_cast<std::size_t>(count)), codes.first(static_cast<std::size_t>(count)),
                           positions.first(static_cast<std::size_t>(count)), crank};
    for (;;) {
        const OperatorPick op = PNXGETOP(count, range.ranks);
        const int p = op.position;
        const int R = op.rank;
        if (R == 0 || R == 10) return 0;
        if (R >= 100) {
            // Its ")" is the highest rank after it, the leftmost of those.
            const OperatorPick close = PNXGETOP(count - p, range.ranks.subspan(static_cast<std::size_t>(p)));
            if (close.rank != R) {
                reportLogicError(engine, "Routine PXNCRANKparentheses matching.");
                return 1;
            }
            if (applyGroup(range, p, p + close.position) != 0) return 1;
            continue;
        }
        if (applyOperator(range, op) != 0) return 1;
    }
}

}  // namespace evalref
