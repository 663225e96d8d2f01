// A plain reduction by operator rank, kept beside the tests as the yardstick
// for the engine's PXNCRANK: every step scans its whole range for the
// highest rank with PNXGETOP, exactly as the rule reads. It computes on the
// engine's operand table and calls the engine's PXNFUNCT, so the two can be
// run on copies of the same decoded form and compared.
#pragma once

#include <algorithm>
#include <cmath>
#include <span>

#include "EngineState.h"
#include "Numeric.h"

namespace evalref {

namespace detail {

inline XVALUE& operand(int number) { return engineState().operands[static_cast<std::size_t>(number)]; }

inline void markRealIfNegligible(XVALUE& v) {
    if (!v.isReal && PXNAPRXRL(v)) {
        v.realValue = v.value.real();
        v.isReal = true;
    }
}

inline int whineAt(std::string_view message, int tokenPosition) {
    const int column = sourceColumn(tokenPosition);
    PXNWHINE(message, column, column);
    return 1;
}

inline int logicError(std::string_view text) {
    reportLogicError(text);
    return 1;
}

inline void power(const XVALUE& l, XVALUE& r) {
    r.isReal = l.isReal && r.isReal;
    if (!r.isReal) {
        r.value = numeric::magnitude(l.value) > 0 ? numeric::pow(l.value, r.value) : std::complex<double>{};
        return;
    }
    int n = 0;
    if (l.realValue == 0) {
        r.realValue = 0;
        r.value = {};
    } else if (PXNR8ASINT(r.realValue, n)) {
        r.realValue = std::pow(l.realValue, static_cast<double>(n));
        r.value = numeric::powInt(l.value, n);
    } else {
        const double exponent = r.realValue;
        r.realValue = std::pow(l.realValue, exponent);
        r.value = numeric::pow(l.value, {exponent, 0.0});
    }
    r.isReal = !std::isnan(r.realValue);
}

inline int divide(const XVALUE& l, XVALUE& r, int tokenPosition) {
    if (numeric::magnitude(l.value) == 0 || (l.isReal && l.realValue == 0)) {
        r.realValue = 0;
        r.value = {};
        r.isReal = true;
        return 0;
    }
    r.isReal = l.isReal && r.isReal && r.realValue != 0;
    if (r.isReal) r.realValue = l.realValue / r.realValue;
    if (!(numeric::magnitude(r.value) > 0)) return whineAt("Division by zero", tokenPosition);
    r.value = numeric::divide(l.value, r.value);
    return 0;
}

}  // namespace detail

inline int crank(int count, std::span<int> ranks, std::span<int> codes, std::span<int> positions) {
    using namespace detail;
    count = std::min({count, static_cast<int>(ranks.size()), static_cast<int>(codes.size()),
                      static_cast<int>(positions.size())});
    if (count < 1) return 0;
    auto sub = [&](int first, int last) {
        if (last < first) return 0;
        const auto offset = static_cast<std::size_t>(first - 1);
        const auto n = static_cast<std::size_t>(last - first + 1);
        return crank(static_cast<int>(n), ranks.subspan(offset, n), codes.subspan(offset, n),
                     positions.subspan(offset, n));
    };
    auto rank = [&](int i) -> int& { return ranks[static_cast<std::size_t>(i - 1)]; };
    auto code = [&](int i) { return codes[static_cast<std::size_t>(i - 1)]; };
    auto where = [&](int i) { return positions[static_cast<std::size_t>(i - 1)]; };
    for (;;) {
        const OperatorPick op = PNXGETOP(count, ranks.first(static_cast<std::size_t>(count)));
        const int p = op.position;
        const int R = op.rank;
        if (R == 0 || R == 10) return 0;
        if (R >= 100) {
            const OperatorPick close = PNXGETOP(count - p, ranks.subspan(static_cast<std::size_t>(p)));
            if (close.rank != R) return logicError("Routine PXNCRANKparentheses matching.");
            const int c = p + close.position;
            const bool call = p > 1 && rank(p - 1) == 90;
            int commas = 0, comma = 0;
            for (int i = p + 1; i < c; ++i) {
                if (rank(i) == 80) {
                    ++commas;
                    comma = i;
                }
            }
            if (commas == 1 && !call) {
                if (sub(p + 1, comma - 1) != 0 || sub(comma + 1, c - 1) != 0) return 1;
                rank(comma) = 5;
            }
            rank(p) = call ? 10 : 0;
            rank(c) = call ? 10 : 0;
            if (sub(p, c) != 0) return 1;
            continue;
        }
        switch (R) {
        case 90:
            if (PXNFUNCT(count - p + 1, ranks.subspan(static_cast<std::size_t>(p - 1)),
                         codes.subspan(static_cast<std::size_t>(p - 1)),
                         positions.subspan(static_cast<std::size_t>(p - 1))) != 0) {
                return 1;
            }
            break;
        case 80:
            if (sub(1, p - 1) != 0 || sub(p + 1, count) != 0) return 1;
            rank(p) = 4;
            break;
        case 70: {
            if (sub(1, p - 1) != 0 || sub(p + 1, count) != 0) return 1;
            const OperatorPick again = PNXGETOP(count, ranks.first(static_cast<std::size_t>(count)));
            if (again.position != p || again.rank != 70 || again.leftOperand == 0 || again.rightOperand == 0) {
                return logicError("Routine PXNCRANK < operation.");
            }
            const XVALUE& l = operand(again.leftOperand);
            XVALUE& r = operand(again.rightOperand);
            const double theta = r.value.real();
            const double cs = numeric::cosd(theta), sn = numeric::sind(theta);
            const double a = l.value.real(), b = l.value.imag();
            r.value = {a * cs - b * sn, a * sn + b * cs};
            r.isReal = false;
            markRealIfNegligible(r);
            rank(p) = 0;
            rank(again.leftPosition) = 0;
            break;
        }
        case 60: {
            if (op.rightOperand == 0) return logicError("Routine PXNCRANK - operation.");
            XVALUE& r = operand(op.rightOperand);
            if (r.isReal) r.realValue = -r.realValue;
            r.value = -r.value;
            rank(p) = 0;
            break;
        }
        case 50:
        case 30:
        case 20:
        case 5: {
            if (op.leftOperand == 0 || op.rightOperand == 0) {
                return logicError(R == 50   ? "Routine PXNCRANK ^ operation."
                                  : R == 30 ? "Routine PXNCRANK * / operation."
                                  : R == 20 ? "Routine PXNCRANK + - operation."
                                            : "Routine PXNCRANK real,imag operation.");
            }
            const XVALUE l = operand(op.leftOperand);
            XVALUE& r = operand(op.rightOperand);
            if (R == 50) {
                power(l, r);
            } else if (R == 30 && code(p) == kCodeMultiply) {
                r.isReal = l.isReal && r.isReal;
                if (r.isReal) r.realValue *= l.realValue;
                r.value = numeric::multiply(l.value, r.value);
            } else if (R == 30 && code(p) == kCodeDivide) {
                if (divide(l, r, where(p)) != 0) return 1;
            } else if (R == 30) {
                return logicError("Routine PXNCRANK * / logic.");
            } else if (R == 20 && (code(p) == kCodeAdd || code(p) == kCodeSubtract)) {
                const bool add = code(p) == kCodeAdd;
                r.isReal = l.isReal && r.isReal;
                if (r.isReal) r.realValue = add ? l.realValue + r.realValue : l.realValue - r.realValue;
                r.value = add ? l.value + r.value : l.value - r.value;
            } else if (R == 20) {
                return logicError("Routine PXNCRANK + - logic.");
            } else {
                r.value = {l.value.real(), r.value.real()};
                r.isReal = false;
                markRealIfNegligible(r);
            }
            rank(p) = 0;
            rank(op.leftPosition) = 0;
            break;
        }
        case 4:
            return whineAt("Spurious comma", where(p));
        default:
            return logicError("Routine PXNCRANK rank logic.");
        }
    }
}

}  // namespace evalref
