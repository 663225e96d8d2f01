// A plain reduction by operator rank, kept beside the tests as the yardstick
// for the engine's PXNCRANK: every step scans its whole range for the
// highest rank with PNXGETOP, exactly as the rule reads. It works on the
// engine's operand table with the engine's own arithmetic (ValueOps.h) and
// calls the engine's PXNFUNCT, so the two can be run on copies of the same
// decoded form and compared: what differs between them is the order of the
// picks, and that is what the comparison checks.
#pragma once

#include <algorithm>
#include <cmath>
#include <span>

#include "EngineState.h"
#include "ValueOps.h"

namespace evalref {

namespace detail {

inline XVALUE& operand(int number) { return engineState().operands[static_cast<std::size_t>(number)]; }

inline int whineAt(std::string_view message, int tokenPosition) {
    const int column = sourceColumn(tokenPosition);
    PXNWHINE(message, column, column);
    return 1;
}

inline int logicError(std::string_view text) {
    reportLogicError(text);
    return 1;
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
            valueops::polar(operand(again.leftOperand), operand(again.rightOperand));
            rank(p) = 0;
            rank(again.leftPosition) = 0;
            break;
        }
        case 60: {
            if (op.rightOperand == 0) return logicError("Routine PXNCRANK - operation.");
            valueops::negate(operand(op.rightOperand));
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
                valueops::power(l, r);
            } else if (R == 30 && code(p) == kCodeMultiply) {
                valueops::multiply(l, r);
            } else if (R == 30 && code(p) == kCodeDivide) {
                if (!valueops::divide(l, r)) return whineAt("Division by zero", where(p));
            } else if (R == 30) {
                return logicError("Routine PXNCRANK * / logic.");
            } else if (R == 20 && code(p) == kCodeAdd) {
                valueops::add(l, r);
            } else if (R == 20 && code(p) == kCodeSubtract) {
                valueops::subtract(l, r);
            } else if (R == 20) {
                return logicError("Routine PXNCRANK + - logic.");
            } else {
                valueops::pair(l, r);
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
