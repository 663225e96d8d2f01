// Evaluation by operator rank: the operator of highest rank is applied to
// its neighbouring operands, again and again, until none is left. Every
// operation writes its result into its right operand (a unary minus into
// its only one) and clears the tokens it consumed.
//
// Each value is carried twice: the complex value always, and the real value
// while the is-real flag holds, computed with real operations so that a real
// expression never sees complex rounding.
#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "EngineState.h"
#include "ValueOps.h"

namespace {

// How far, in units of the last place, an exponent may lie from a whole
// number and still be taken as that number.
constexpr double kWholeUlps = 4.0;

XVALUE& operand(const TokenRange& range, int number) { return range.engine.operands[static_cast<size_t>(number)]; }

int whineAt(EngineState& engine, std::string_view message, int tokenPosition) {
    const int column = engine.sourceColumn(tokenPosition);
    PXNWHINE(engine, message, column, column);
    return 1;
}

int logicError(EngineState& engine, std::string_view text) {
    reportLogicError(engine, text);
    return 1;
}

// Scans over a range of ranks, four at a time where the processor allows.
// Index of the first of r[0..n) equal to value, or n.
int firstEqual(const int* r, int n, int value) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi32(value);
    for (; i + 4 <= n; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + i));
        const int hits = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(v, wanted)));
        if (hits != 0) return i + std::countr_zero(static_cast<unsigned>(hits));
    }
#endif
    for (; i < n; ++i) {
        if (r[i] == value) return i;
    }
    return n;
}

// The highest of r[0..n) that is above 0, or 0.
int highest(const int* r, int n) {
    int best = 0;
    int i = 0;
#if defined(__SSE2__)
    __m128i top = _mm_setzero_si128();
    for (; i + 4 <= n; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + i));
        const __m128i above = _mm_cmpgt_epi32(v, top);
        top = _mm_or_si128(_mm_and_si128(above, v), _mm_andnot_si128(above, top));
    }
    alignas(16) int lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), top);
    best = std::max(std::max(lanes[0], lanes[1]), std::max(lanes[2], lanes[3]));
#endif
    for (; i < n; ++i) best = std::max(best, r[i]);
    return best;
}

}  // namespace

// An exponent is whole when it is a whole number, or lies within a few
// units in the last place of one: the rounding that 0.1*3*10 picks up on
// its way to 3 must not turn (-2)^3 into a complex power. A fixed margin
// such as 1e-8 would be far wider than any rounding and would take
// 10^0.99999999 for 10^1.
bool PXNR8ASINT(double x, int& n) {
    n = 0;
    if (!(std::fabs(x) <= 2147483647.0)) return false;  // also NaN
    const double m = std::round(x);                     // halves away from zero
    if (std::fabs(x - m) <= kWholeUlps * std::numeric_limits<double>::epsilon() * std::fabs(m)) {
        n = static_cast<int>(m);
        return true;
    }
    return false;
}

int PXNCRANK(EngineState& engine, int count, std::span<int> ranks, std::span<int> codes, std::span<int> positions) {
    count = std::min({count, static_cast<int>(ranks.size()), static_cast<int>(codes.size()),
                      static_cast<int>(positions.size())});
    if (count < 1) return 0;
    const TokenRange range{engine, ranks.first(static_cast<size_t>(count)), codes.first(static_cast<size_t>(count)),
                           positions.first(static_cast<size_t>(count)), PXNCRANK};
    auto rank = [&](int i) -> int& { return ranks[static_cast<size_t>(i - 1)]; };

    // The operator to apply next is the leftmost of the highest rank. No
    // operation ever raises a positive rank, and everything left of the
    // last pick ranked below it, so while that rank is still found at or
    // after the last pick, the first such token is the next pick; only
    // when it is gone does the whole range need a new look.
    int lastRank = 0;
    int lastPick = 1;
    auto pick = [&](int& p) {
        const int* const r = ranks.data();
        if (lastRank > 0) {
            const int at = lastPick - 1 + firstEqual(r + lastPick - 1, count - lastPick + 1, lastRank);
            if (at < count) {
                p = at + 1;
                return lastRank;
            }
        }
        // A new highest rank: of equal ones the leftmost.
        const int best = highest(r, count);
        p = best > 0 ? firstEqual(r, count, best) + 1 : 0;
        return best;
    };
    // The nearest operand tokens on either side of p (0 when there is none),
    // as PNXGETOP finds them.
    auto leftOf = [&](int p, int& at) {
        for (int i = p; i >= 1 && p >= 2; --i) {
            if (rank(i) < 0) {
                at = i;
                return -rank(i);
            }
        }
        at = 0;
        return 0;
    };
    auto rightOf = [&](int p, int& at) {
        for (int i = std::max(p, 1); i <= count; ++i) {
            if (rank(i) < 0) {
                at = i;
                return -rank(i);
            }
        }
        at = 0;
        return 0;
    };

    // Every pass consumes at least one token or returns, so this ends.
    for (;;) {
        int p = 0;
        const int R = pick(p);
        if (R == 0 || R == kRankArguments) return 0;  // nothing left, or an argument list that is ready
        lastRank = R;
        lastPick = p;

        if (R >= kRankBracketLevel) {
            // The innermost group: its ")" has the same rank and is the
            // first token after p that has it, as nothing ranks higher.
            int c = 0;
            for (int i = p + 1; i <= count && c == 0; ++i) {
                if (rank(i) == R) c = i;
            }
            if (c == 0) return logicError(engine, "Routine PXNCRANKparentheses matching.");
            if (applyGroup(range, p, c) != 0) return 1;
            continue;
        }

        // The neighbouring operands, for the operators that take them.
        OperatorPick op;
        op.rank = R;
        op.position = p;
        if (R == kRankSign || R == kRankPower || R == kRankProduct || R == kRankSum || R == kRankPair) {
            op.leftOperand = leftOf(p, op.leftPosition);
            op.rightOperand = rightOf(p, op.rightPosition);
        }
        if (applyOperator(range, op) != 0) return 1;
    }
}

int TokenRange::reduceSub(int first, int last) const {
    if (last < first) return 0;
    const auto offset = static_cast<size_t>(first - 1);
    const auto n = static_cast<size_t>(last - first + 1);
    return reduce(engine, static_cast<int>(n), ranks.subspan(offset, n), codes.subspan(offset, n), positions.subspan(offset, n));
}

// A bracket group "(" at p, ")" at c. Inside a function's argument list the
// brackets stay (rank 10) for the function to find; a pair (re, im) has
// both sides evaluated first and its comma becomes the pair operator.
int applyGroup(const TokenRange& range, int p, int c) {
    const bool call = p > 1 && range.rank(p - 1) == kRankFunction;
    int commas = 0;
    int comma = 0;
    for (int i = p + 1; i < c; ++i) {
        if (range.rank(i) == kRankComma) {
            ++commas;
            comma = i;
        }
    }
    if (commas == 1 && !call) {
        if (range.reduceSub(p + 1, comma - 1) != 0 || range.reduceSub(comma + 1, c - 1) != 0) return 1;
        range.rank(comma) = kRankPair;
    }
    range.rank(p) = call ? kRankArguments : 0;
    range.rank(c) = call ? kRankArguments : 0;
    return range.reduceSub(p, c);
}

int applyOperator(const TokenRange& range, const OperatorPick& op) {
    const int R = op.rank;
    const int p = op.position;
    const int count = range.count();
    switch (R) {
    case kRankFunction:
        return PXNFUNCT(range.engine, count - p + 1, range.ranks.subspan(static_cast<size_t>(p - 1)),
                        range.codes.subspan(static_cast<size_t>(p - 1)),
                        range.positions.subspan(static_cast<size_t>(p - 1)));
    case kRankComma:
        // A comma binds more loosely than every operator: each side whole.
        if (range.reduceSub(1, p - 1) != 0 || range.reduceSub(p + 1, count) != 0) return 1;
        range.rank(p) = kRankStrayComma;
        return 0;
    case kRankPolar: {
        // The polar operator too: each side whole, then the magnitude on the
        // left turned by the angle on the right.
        if (range.reduceSub(1, p - 1) != 0 || range.reduceSub(p + 1, count) != 0) return 1;
        const OperatorPick again = PNXGETOP(count, range.ranks);
        if (again.position != p || again.rank != kRankPolar || again.leftOperand == 0 || again.rightOperand == 0) {
            return logicError(range.engine, "Routine PXNCRANK < operation.");
        }
        // An operation that meets an operand which is no number reports it
        // there: passed on, the NaN could vanish (0^NaN is 0, the larger of 1
        // and NaN is 1) and leave a result that looks sound.
        if (valueops::hasNaN(operand(range, again.leftOperand)) || valueops::hasNaN(operand(range, again.rightOperand))) {
            return whineAt(range.engine, kNotANumberMessage, range.where(p));
        }
        valueops::polar(operand(range, again.leftOperand), operand(range, again.rightOperand));
        range.rank(p) = 0;
        range.rank(again.leftPosition) = 0;
        return 0;
    }
    case kRankSign:
        if (op.rightOperand == 0) return logicError(range.engine, "Routine PXNCRANK - operation.");
        if (valueops::hasNaN(operand(range, op.rightOperand))) return whineAt(range.engine, kNotANumberMessage, range.where(p));
        valueops::negate(operand(range, op.rightOperand));
        range.rank(p) = 0;
        return 0;
    case kRankPower:
    case kRankProduct:
    case kRankSum:
    case kRankPair: {
        if (op.leftOperand == 0 || op.rightOperand == 0) {
            return logicError(range.engine, R == kRankPower     ? "Routine PXNCRANK ^ operation."
                              : R == kRankProduct ? "Routine PXNCRANK * / operation."
                              : R == kRankSum     ? "Routine PXNCRANK + - operation."
                                        : "Routine PXNCRANK real,imag operation.");
        }
        const XVALUE l = operand(range, op.leftOperand);
        XVALUE& r = operand(range, op.rightOperand);
        if (valueops::hasNaN(l) || valueops::hasNaN(r)) return whineAt(range.engine, kNotANumberMessage, range.where(p));
        const int code = range.code(p);
        if (R == kRankPower) {
            valueops::power(l, r);
        } else if (R == kRankProduct && code == kCodeMultiply) {
            valueops::multiply(l, r);
        } else if (R == kRankProduct && code == kCodeDivide) {
            if (!valueops::divide(l, r)) return whineAt(range.engine, "Division by zero", range.where(p));
        } else if (R == kRankProduct) {
            return logicError(range.engine, "Routine PXNCRANK * / logic.");
        } else if (R == kRankSum && code == kCodeAdd) {
            valueops::add(l, r);
        } else if (R == kRankSum && code == kCodeSubtract) {
            valueops::subtract(l, r);
        } else if (R == kRankSum) {
            return logicError(range.engine, "Routine PXNCRANK + - logic.");
        } else {
            valueops::pair(l, r);
        }
        range.rank(p) = 0;
        range.rank(op.leftPosition) = 0;
        return 0;
    }
    case kRankStrayComma:
        return whineAt(range.engine, "Spurious comma", range.where(p));
    default:
        return logicError(range.engine, "Routine PXNCRANK rank logic.");
    }
}
