// Decoding: the prepared expression becomes a table of operand values and
// three parallel token arrays (rank, code, position), which the evaluation
// reduces to a single operand.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "EngineState.h"
#include "Wflextra.h"

namespace {

std::string_view runText(const EngineState& s, int first, int last) {
    return {s.text.data() + first, static_cast<size_t>(last - first + 1)};
}

int report(EngineState& s, std::string_view message, int firstPosition, int lastPosition) {
    PXNWHINE(s, message, s.sourceColumn(firstPosition), s.sourceColumn(lastPosition));
    return 1;
}

// Whether any of the LENGTH codes at P is "N", "L", "F" or "(", a word at a
// time.
bool hasRunCode(const char* p, std::size_t length) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
    auto hasByte = [](std::uint64_t w, char c) {
        const std::uint64_t x = w ^ (kOnes * static_cast<unsigned char>(c));
        return ((x - kOnes) & ~x & kHighs) != 0;
    };
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, p + i, sizeof w);
        if (hasByte(w, 'N') || hasByte(w, 'L') || hasByte(w, 'F') || hasByte(w, '(')) return true;
    }
    for (; i < length; ++i) {
        if (p[i] == 'N' || p[i] == 'L' || p[i] == 'F' || p[i] == '(') return true;
    }
    return false;
}

// The bytes of W that equal C, as the high bit of each such byte.
std::uint64_t bytesEqual(std::uint64_t w, char c) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const std::uint64_t y = w ^ (0x0101010101010101ull * static_cast<unsigned char>(c));
    return ~(((y & kLow7) + kLow7) | y | kLow7);
}

// How many bytes of FLAGS have their high bit set (no other bit is): the
// bits moved to the bottom of each byte and summed into the top byte.
int flagCount(std::uint64_t flags) {
    return static_cast<int>(((flags >> 7) * 0x0101010101010101ull) >> 56);
}

// Over the class codes 1..last (eight at a time, in words whose first byte
// is the lowest): the runs of "N" and of "L", and the runs of "F" that no
// "(" follows. A run starts where a code differs from the one before it.
// The words may reach past LAST up to a multiple of eight positions; what
// stands there starts no run and follows an "F" as any code but "(" does.
void countRuns(const char* C, int last, int& operandRuns, int& badCalls) {
    const int words = (last + 7) / 8;
    std::uint64_t previousN = 0, previousL = 0, previousF = 0;  // carried into the next word's first byte
    for (int i = 0; i < words; ++i) {
        std::uint64_t w = 0;
        std::memcpy(&w, C + 1 + 8 * i, sizeof w);
        const std::uint64_t isN = bytesEqual(w, 'N'), isL = bytesEqual(w, 'L'), isF = bytesEqual(w, 'F');
        const std::uint64_t isOpen = bytesEqual(w, '(');
        const std::uint64_t beforeN = (isN << 8) | previousN, beforeL = (isL << 8) | previousL;
        const std::uint64_t beforeF = (isF << 8) | previousF;
        operandRuns += flagCount(isN & ~beforeN) + flagCount(isL & ~beforeL);
        badCalls += flagCount(beforeF & ~isF & ~isOpen);
        previousN = isN >> 56;
        previousL = isL >> 56;
        previousF = isF >> 56;
    }
    // An "F" at the end of the last word: nothing after it within the
    // string, or a code past the working length, neither of them "(".
    badCalls += static_cast<int>(previousF != 0);
}

}  // namespace

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
    // Negligible next to the real part at single-precision resolution. An
    // infinite imaginary part is never negligible, not even next to an
    // infinite real part.
    return b == 0.0 || (b <= a * 1.1920928955078125e-07 && std::isfinite(b));
}

int decodeTokens(EngineState& s) {
    const int n = s.n;
    const char* const C = s.cls.data();

    // A walk over the class string counts the runs of "N" and of "L" and the
    // runs of "F" that no "(" follows (one that ends at the last position
    // has nothing after it); the first of those is looked for only when
    // there is one. Past the working length preparation leaves blanks and
    // fillers, which start no run and are no "("; should one of those codes
    // stand there, the walk covers the whole string.
    const int walked = hasRunCode(C + n + 1, static_cast<size_t>(kFieldLength - n)) ? kFieldLength : n;
    int operandCount = 0;
    int badCalls = 0;
    countRuns(C, walked, operandCount, badCalls);
    int badCallFirst = 0, badCallLast = 0;
    for (int k = 1, first = 0; badCalls != 0 && badCallFirst == 0 && k <= kFieldLength; ++k) {
        if (C[k] != 'F') continue;
        if (k == 1 || C[k - 1] != 'F') first = k;
        if (k == kFieldLength || (C[k + 1] != 'F' && C[k + 1] != '(')) {
            badCallFirst = first;
            badCallLast = k;
        }
    }
    if (operandCount == 0) return report(s, "No numbers, parameters or functions", 1, n);
    if (badCallFirst != 0) return report(s, "Function arguments missing", badCallFirst, badCallLast + 1);

    // A fresh operand table and token arrays, all zero. Only what the last
    // decoding wrote needs clearing; the rest is zero already.
    s.operandCount = operandCount;
    const int operandsToClear = std::max(s.operandsWritten, operandCount);
    std::fill_n(s.operands.begin() + 1, operandsToClear, XVALUE{});
    s.operandsWritten = operandCount;
    const auto tokensToClear = static_cast<size_t>(std::max(s.tokensWritten, n));
    std::fill_n(s.rank.begin() + 1, tokensToClear, 0);
    std::fill_n(s.code.begin() + 1, tokensToClear, 0);
    std::fill_n(s.tokenPos.begin() + 1, tokensToClear, 0);
    s.tokensWritten = n;  // every token starts at a different position

    // The run of one class code that starts at p: its last position.
    auto runEnd = [C](int p) {
        const char code = C[p];
        int last = p;
        while (last < kFieldLength && C[last + 1] == code) ++last;
        return last;
    };
    int k = 0;
    int j = 0;
    int base = kRankBracketLevel;
    for (int p = 1; p <= n; ++p) {
        ++k;
        const auto kk = static_cast<size_t>(k);
        s.tokenPos[kk] = p;
        const char c = C[p];
        switch (c) {
        case '(':
            base += kRankBracketLevel;
            s.rank[kk] = base;
            break;
        case ')':
            s.rank[kk] = base;
            base -= kRankBracketLevel;
            break;
        case 'F': {
            const int last = runEnd(p);
            s.rank[kk] = kRankFunction;
            s.code[kk] = functionCode(s, runText(s, p, last));
            if (s.code[kk] == 0) return report(s, "Unrecognized function name", p, last);
            p = last;
            break;
        }
        case ',': s.rank[kk] = kRankComma; break;
        case '<': s.rank[kk] = kRankPolar; break;
        case 'U': s.rank[kk] = kRankSign; break;
        case '^': s.rank[kk] = kRankPower; break;
        case '*': s.rank[kk] = kRankProduct; s.code[kk] = kCodeMultiply; break;
        case '/': s.rank[kk] = kRankProduct; s.code[kk] = kCodeDivide; break;
        case '+': s.rank[kk] = kRankSum; s.code[kk] = kCodeAdd; break;
        case '-': s.rank[kk] = kRankSum; s.code[kk] = kCodeSubtract; break;
        case 'N': {
            const int last = runEnd(p);
            ++j;
            double x = 0;
            if (!XNUMBER_R8(runText(s, p, last), x)) return report(s, "Not a legal number", p, last);
            XVALUE& v = s.operands[static_cast<size_t>(j)];
            v.value = {x, 0.0};
            v.realValue = x;
            v.isReal = true;
            s.rank[kk] = -j;
            p = last;
            break;
        }
        case 'L': {
            const int last = runEnd(p);
            ++j;
            const int index = findParameter(s, runText(s, p, last), s.searchLimit);
            XVALUE& v = s.operands[static_cast<size_t>(j)];
            if (index < 1 || index > s.paramCount) return report(s, "Parameter used before being defined", p, last);
            const XPARAM& entry = s.params[static_cast<size_t>(index - 1)];
            v = entry.value;  // the stored value, never evaluated again here
            if (!entry.valid) return report(s, "Parameter used before being defined", p, last);
            // A factor-only parameter makes a preceding binary sign a
            // multiplication and a preceding unary minus meaningless. The
            // first entry of that name in the whole table is the one just
            // found within the search limit, so its flag is the one to read.
            if (k > 1 && entry.factorOnly) {
                int& previousRank = s.rank[kk - 1];
                if (previousRank == kRankSum) {
                    previousRank = kRankProduct;
                    s.code[kk - 1] = kCodeMultiply;
                } else if (previousRank == kRankSign) {
                    previousRank = 0;
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
    return 0;
}

int PXNDECODE(EngineState& s, XVALUE& result) {
    if (decodeTokens(s) != 0) return 1;
    const int n = s.n;
    const int k = s.tokenCount;
    auto span = [](std::array<int, kFieldLength + 1>& a, int count) {
        return std::span<int>(a.data() + 1, static_cast<size_t>(count));
    };
    if (PXNCRANK(s, k, span(s.rank, k), span(s.code, k), span(s.tokenPos, k)) != 0) return 1;

    // Exactly one operand must be left; two would mean one was dropped. The
    // ranks past the token count are zero.
    int survivor = 0;
    int survivors = 0;
    for (int i = 1; i <= k; ++i) {
        if (s.rank[static_cast<size_t>(i)] < 0) {
            ++survivors;
            survivor = std::max(survivor, -s.rank[static_cast<size_t>(i)]);
        }
    }
    if (survivors != 1) return report(s, "Program Decode Error", 1, n);

    result = s.operands[static_cast<size_t>(survivor)];
    if (!result.isReal && PXNAPRXRL(result)) {
        result.realValue = result.value.real();
        result.isReal = true;
    }
    return 0;
}
