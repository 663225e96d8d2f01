// Decoding: the prepared expression becomes a table of operand values and
// three parallel token arrays (rank, code, position), which the evaluation
// reduces to a single operand.
#include <algorithm>
#include <cmath>

#include "EngineState.h"
#include "Wflextra.h"

namespace {

EngineState& st() { return engineState(); }
char cls(int k) { return st().cls[static_cast<size_t>(k)]; }

std::string_view runText(int first, int last) {
    return {st().text.data() + first, static_cast<size_t>(last - first + 1)};
}

int report(std::string_view message, int firstPosition, int lastPosition) {
    PXNWHINE(message, sourceColumn(firstPosition), sourceColumn(lastPosition));
    return 1;
}

int countRuns(char code) {
    int runs = 0;
    for (int start = 1; start <= kFieldLength;) {
        const int last = PXNSPAN(code, start);
        if (last == 0) break;
        ++runs;
        start = last + 1;
    }
    return runs;
}

// Index of a function name in the built-in table, 0 when it is none of them.
int functionIndex(std::string_view name) {
    for (int i = 1; i <= kFunctionCount; ++i) {
        if (st().functions[static_cast<size_t>(i)].name == name) return i;
    }
    return 0;
}

}  // namespace

int PXNSPAN(char code, int& start) {
    int first = 0;
    for (int k = std::max(start, 1); k <= kFieldLength; ++k) {
        if (cls(k) == code) {
            first = k;
            break;
        }
    }
    if (first == 0) return 0;
    start = first;
    int last = first;
    while (last < kFieldLength && cls(last + 1) == code) ++last;
    return last;
}

OperatorPick PNXGETOP(int count, std::span<const int> ranks) {
    OperatorPick pick;
    count = std::min(count, static_cast<int>(ranks.size()));
    auto rankAt = [&](int i) { return ranks[static_cast<size_t>(i - 1)]; };
    // Only a strictly greater rank wins, so equal ranks apply left to right.
    for (int i = 1; i <= count; ++i) {
        if (rankAt(i) > pick.rank) {
            pick.rank = rankAt(i);
            pick.position = i;
        }
    }
    if (pick.position >= 2) {
        for (int i = pick.position; i >= 1; --i) {
            if (rankAt(i) < 0) {
                pick.leftPosition = i;
                pick.leftOperand = -rankAt(i);
                break;
            }
        }
    }
    for (int i = std::max(pick.position, 1); i <= count; ++i) {
        if (rankAt(i) < 0) {
            pick.rightPosition = i;
            pick.rightOperand = -rankAt(i);
            break;
        }
    }
    return pick;
}

bool PXNAPRXRL(const XVALUE& v) {
    const double a = std::fabs(v.value.real());
    const double b = std::fabs(v.value.imag());
    // Negligible next to the real part at single-precision resolution.
    return b == 0.0 || b <= a * 1.1920928955078125e-07;
}

int PXNDECODE(XVALUE& result) {
    EngineState& s = st();
    const int n = s.n;

    const int operandCount = countRuns('N') + countRuns('L');
    if (operandCount == 0) return report("No numbers, parameters or functions", 1, n);

    for (int start = 1; start <= kFieldLength;) {
        const int last = PXNSPAN('F', start);
        if (last == 0) break;
        if (last >= kFieldLength || cls(last + 1) != '(') {
            return report("Function arguments missing", start, last + 1);
        }
        start = last + 1;
    }

    s.operandCount = operandCount;
    s.operands.fill(XVALUE{});
    s.rank.fill(0);
    s.code.fill(0);
    s.tokenPos.fill(0);
    int k = 0;
    int j = 0;
    int base = 100;
    for (int p = 1; p <= n; ++p) {
        ++k;
        const auto kk = static_cast<size_t>(k);
        s.tokenPos[kk] = p;
        const char c = cls(p);
        switch (c) {
        case '(':
            base += 100;
            s.rank[kk] = base;
            break;
        case ')':
            s.rank[kk] = base;
            base -= 100;
            break;
        case 'F': {
            int first = p;
            const int last = PXNSPAN('F', first);
            if (last == 0 || first != p) {
                reportLogicError("Routine PXNDECODE function name processing.");
                return 1;
            }
            s.rank[kk] = 90;
            s.code[kk] = functionIndex(runText(first, last));
            if (s.code[kk] == 0) return report("Unrecognized function name", first, last);
            p = last;
            break;
        }
        case ',': s.rank[kk] = 80; break;
        case '<': s.rank[kk] = 70; break;
        case 'U': s.rank[kk] = 60; break;
        case '^': s.rank[kk] = 50; break;
        case '*': s.rank[kk] = 30; s.code[kk] = kCodeMultiply; break;
        case '/': s.rank[kk] = 30; s.code[kk] = kCodeDivide; break;
        case '+': s.rank[kk] = 20; s.code[kk] = kCodeAdd; break;
        case '-': s.rank[kk] = 20; s.code[kk] = kCodeSubtract; break;
        case 'N': {
            int first = p;
            const int last = PXNSPAN('N', first);
            if (last == 0 || first != p) {
                reportLogicError("Routine PXNDECODE numeric field processing.");
                return 1;
            }
            ++j;
            double x = 0;
            if (!XNUMBER_R8(runText(first, last), x)) return report("Not a legal number", first, last);
            XVALUE& v = s.operands[static_cast<size_t>(j)];
            v.value = {x, 0.0};
            v.realValue = x;
            v.isReal = true;
            s.rank[kk] = -j;
            p = last;
            break;
        }
        case 'L': {
            int first = p;
            const int last = PXNSPAN('L', first);
            if (last == 0 || first != p) {
                reportLogicError("Routine PXNDECODE parameter field processing.");
                return 1;
            }
            ++j;
            const std::string_view name = runText(first, last);
            int index = 0;
            XPARAMFIND(name, index, s.searchLimit);
            if (!XPARAMGET(index, s.operands[static_cast<size_t>(j)])) {
                return report("Parameter used before being defined", first, last);
            }
            // A factor-only parameter makes a preceding binary sign a
            // multiplication and a preceding unary minus meaningless.
            if (k > 1 && XPARAMGETFACTOR(name)) {
                int& previous = s.rank[kk - 1];
                if (previous == 20) {
                    previous = 30;
                    s.code[kk - 1] = kCodeMultiply;
                } else if (previous == 60) {
                    previous = 0;
                }
            }
            s.rank[kk] = -j;
            p = last;
            break;
        }
        default:
            break;  // no meaning: the token stays empty
        }
    }
    s.tokenCount = k;
    if (s.decodeOnly) return 0;

    auto span = [](std::array<int, kFieldLength + 1>& a, int count) {
        return std::span<int>(a.data() + 1, static_cast<size_t>(count));
    };
    if (PXNCRANK(k, span(s.rank, k), span(s.code, k), span(s.tokenPos, k)) != 0) return 1;

    // Exactly one operand must be left; two would mean one was dropped.
    int survivor = 0;
    int survivors = 0;
    for (int i = 1; i <= kFieldLength; ++i) {
        if (s.rank[static_cast<size_t>(i)] < 0) {
            ++survivors;
            survivor = std::max(survivor, -s.rank[static_cast<size_t>(i)]);
        }
    }
    if (survivors != 1) return report("Program Decode Error", 1, n);

    result = s.operands[static_cast<size_t>(survivor)];
    if (!result.isReal && PXNAPRXRL(result)) {
        result.realValue = result.value.real();
        result.isReal = true;
    }
    return 0;
}
