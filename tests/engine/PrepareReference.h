// A plain, unhurried preparation kept beside the tests as the yardstick for
// the engine's fast one. Every rule here is carried out literally: each
// replacement rescans its field from the start, each deletion and insertion
// moves the rest of the three strings by one place, and every rule runs
// whether or not its characters occur. The engine may take shortcuts; on
// any input it must leave exactly what this leaves.
#pragma once

#include <array>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "WflStrings.h"

namespace prepref {

struct Report {
    std::string message;
    int first = 0;
    int last = 0;
    bool operator==(const Report&) const = default;
};

struct State {
    std::array<char, 64> display{};
    std::array<char, 65> text{};  // 1-based
    std::array<char, 65> cls{};
    std::array<int, 65> pos{};
    int n = 0;
    std::vector<Report> reports;
    int logicErrors = 0;
};

namespace detail {

inline bool isBlankByte(char c) { return static_cast<unsigned char>(c) <= ' '; }
inline bool oneOf(char c, const char* set) { return c != '\0' && std::strchr(set, c) != nullptr; }

// Leftmost occurrence, replaced, and the search starts again at the front.
inline int rep(State& s, std::span<char> text, std::string_view from, std::string_view to) {
    if (from.size() != to.size() || from.empty() || from == to) {
        ++s.logicErrors;
        return 0;
    }
    int count = 0;
    for (;;) {
        const std::string_view whole(text.data(), text.size());
        const std::size_t at = whole.find(from);
        if (at == std::string_view::npos) return count;
        for (std::size_t i = 0; i < to.size(); ++i) text[at + i] = to[i];
        ++count;
    }
}

inline std::span<char> used(State& s) { return {s.cls.data() + 1, static_cast<std::size_t>(s.n)}; }

inline int report(State& s, const char* message, int first, int last) {
    s.reports.push_back({message, first, last});
    return 1;
}

inline int insert(State& s, int k, char c1, char c2) {
    const int newLength = s.n + 1;
    if (newLength > 64) return report(s, "Given line too long after processing", 64, 64);
    if (k < 1 || k > newLength) {
        ++s.logicErrors;
        return 1;
    }
    for (int i = newLength; i > k; --i) {
        s.text[i] = s.text[i - 1];
        s.cls[i] = s.cls[i - 1];
        s.pos[i] = s.pos[i - 1];
    }
    s.text[k] = c1;
    s.cls[k] = c2;
    s.n = newLength;
    return 0;
}

inline void squeeze(State& s, char c) {
    for (;;) {
        int at = 0;
        for (int i = 1; i <= s.n; ++i) {
            if (s.cls[i] == c) {
                at = i;
                break;
            }
        }
        if (at == 0) return;
        for (int i = at; i < s.n; ++i) {
            s.text[i] = s.text[i + 1];
            s.cls[i] = s.cls[i + 1];
            s.pos[i] = s.pos[i + 1];
        }
        s.text[s.n] = ' ';
        s.cls[s.n] = 'X';
        s.pos[s.n] = 0;
        --s.n;
    }
}

inline int insertBetween(State& s, char a, char b, char textChar, char classChar) {
    for (;;) {
        int at = 0;
        for (int k = 1; k < s.n; ++k) {
            if (s.cls[k] == a && s.cls[k + 1] == b) {
                at = k + 1;
                break;
            }
        }
        if (at == 0) return 0;
        if (insert(s, at, textChar, classChar) != 0) return 1;
    }
}

inline int checkSequence(State& s) {
    const int n = s.n;
    bool expectOperand = true;
    for (int k = 1; k <= n; ++k) {
        const char c = s.cls[k];
        if (c == 'N' || c == 'L') {
            expectOperand = false;
        } else if (c == 'F') {
            while (k < n && s.cls[k + 1] == 'F') ++k;
            expectOperand = false;
        } else if (c == '(') {
            const bool call = k > 1 && s.cls[k - 1] == 'F';
            if (!call && k < n && s.cls[k + 1] == ')') return report(s, "Missing operand after", s.pos[k], s.pos[k]);
            expectOperand = true;
        } else if (c == ')') {
            expectOperand = false;
        } else if (c == 'U') {
            expectOperand = true;
        } else if (oneOf(c, "+-*/^<,")) {
            if (expectOperand && (k == 1 || s.cls[k - 1] == '(')) {
                return report(s, "Missing operand before", s.pos[k], s.pos[k]);
            }
            if (expectOperand) return report(s, "Illegal operator combination", s.pos[k - 1], s.pos[k]);
            expectOperand = true;
        }
    }
    return 0;
}

}  // namespace detail

// Prepares LINE into S; with STOPAFTER 10, 14, 16 or 23 it stops there with
// status 0, as the engine's test switch does.
inline int prepare(State& s, std::string_view line, int stopAfter = 0) {
    using namespace detail;
    std::size_t first = 0;
    while (first < line.size() && isBlankByte(line[first])) ++first;
    std::size_t end = line.size();
    while (end > first && isBlankByte(line[end - 1])) --end;
    const std::string_view rest = line.substr(first);
    const std::size_t length = end - first;

    s.display.fill(' ');
    for (std::size_t i = 0; i < 64 && i < rest.size(); ++i) s.display[i] = isBlankByte(rest[i]) ? ' ' : rest[i];
    s.text.fill(' ');
    s.cls.fill(' ');
    s.pos.fill(0);
    s.n = 0;
    if (length > 64) return report(s, "Given line too long", 64, 64);
    s.n = static_cast<int>(length);
    if (s.n < 1) return report(s, "Given line empty", 1, 1);
    for (int i = 1; i <= s.n; ++i) s.pos[i] = i;
    for (int i = 1; i <= 64; ++i) {
        char c = upperChar(s.display[static_cast<std::size_t>(i - 1)]);
        if (c == '[' || c == '{') c = '(';
        if (c == ']' || c == '}') c = ')';
        s.text[i] = c;
    }
    for (int k = 1; k < s.n;) {
        if (s.text[k] == ' ' && s.text[k + 1] == ' ') {
            for (int i = k + 1; i < s.n; ++i) {
                s.text[i] = s.text[i + 1];
                s.pos[i] = s.pos[i + 1];
            }
            s.text[s.n] = ' ';
            s.pos[s.n] = 0;
            --s.n;
        } else {
            ++k;
        }
    }
    for (int k = 1; k <= s.n; ++k) {
        const char c = s.text[k];
        if (static_cast<unsigned char>(c) > 127 || oneOf(c, "ABCFGHIJKMNOPQRSTUVWXYZ_")) {
            s.cls[k] = 'L';
        } else if (c >= '0' && c <= '9') {
            s.cls[k] = 'N';
        } else if (c == 'E' || c == 'D') {
            s.cls[k] = 'D';
        } else {
            s.cls[k] = c;
        }
    }
    if (stopAfter == 10) return 0;

    rep(s, used(s), "DD", "LL");
    for (int changed = 1; changed != 0;) {
        changed = rep(s, used(s), "DL", "LL");
        changed += rep(s, used(s), "LD", "LL");
        changed += rep(s, used(s), "LN", "LL");
    }
    for (int k = 1; k <= s.n; ++k) {
        if (!oneOf(s.cls[k], " +-*/^().,#<DLN")) return report(s, "Illegal character used", s.pos[k], s.pos[k]);
    }
    int depth = 0;
    bool dipped = false;
    for (int k = 1; k <= s.n; ++k) {
        if (s.cls[k] == '(') ++depth;
        if (s.cls[k] == ')' && --depth < 0) dipped = true;
    }
    if (depth != 0 || dipped) return report(s, "Parentheses do not balance", -2, -2);

    static constexpr const char* kBlankRules[][2] = {
        {"**", "^Z"},
        {" +", "Z+"}, {" -", "Z-"}, {" *", "Z*"}, {" /", "Z/"},
        {" ^", "Z^"}, {" ,", "Z,"}, {" <", "Z<"}, {" )", "Z)"},
        {"+ ", "+Z"}, {"- ", "-Z"}, {"* ", "*Z"}, {"/ ", "/Z"},
        {"^ ", "^Z"}, {", ", ",Z"}, {"< ", "<Z"}, {"( ", "(Z"},
        {". N", ".ZN"}, {"N .", "NZ."}, {"N D", "NZD"}, {"D N", "DZN"},
        {" Z", "ZZ"}, {"Z ", "ZZ"},
    };
    for (const auto& rule : kBlankRules) rep(s, used(s), rule[0], rule[1]);
    if (stopAfter == 14) return 0;

    for (int k = 1; k <= s.n; ++k) {
        if (s.cls[k] != '#') continue;
        s.cls[k] = 'F';
        for (int j = k + 1; j <= s.n && s.cls[j] == 'L'; ++j) s.cls[j] = 'F';
    }
    rep(s, used(s), "F (", "FZ(");
    squeeze(s, 'Z');
    if (stopAfter == 16) return 0;

    if (s.cls[s.n] == 'D') return report(s, "Exponent digits missing", s.pos[s.n], s.pos[s.n]);
    for (int start = 1;;) {
        int d = 0;
        for (int k = start; k <= s.n; ++k) {
            if (s.cls[k] == 'D') {
                d = k;
                break;
            }
        }
        if (d == 0) break;
        int k = d + 1;
        if (k <= s.n && (s.cls[k] == '+' || s.cls[k] == '-')) {
            s.cls[k] = 'E';
            ++k;
        }
        if (k > s.n || s.cls[k] != 'N') {
            return report(s, "Exponent digits missing", s.pos[k - 1], k <= 64 ? s.pos[k] : 0);
        }
        while (k <= s.n && s.cls[k] == 'N') s.cls[k++] = 'E';
        start = k;
    }
    rep(s, used(s), "N N", "NZN");
    squeeze(s, 'Z');
    for (int k = 1; k <= s.n; ++k) {
        if (s.cls[k] == ' ') s.cls[k] = '*';
    }
    if (s.cls[1] == '/' && insert(s, 1, '1', 'N') != 0) return 1;
    if (insertBetween(s, '*', '/', '1', 'N') != 0) return 1;
    if (s.cls[1] == 'D' && insert(s, 1, '1', 'N') != 0) return 1;
    for (int k = 1; k < s.n; ++k) {
        if (s.cls[k] != 'N' && s.cls[k] != '.' && s.cls[k + 1] == 'D' && insert(s, k + 1, '1', 'N') != 0) return 1;
    }
    for (int k = 1; k <= s.n; ++k) {
        if (s.cls[k] == '.') s.cls[k] = 'N';
    }
    static constexpr char kImplied[][2] = {
        {'N', 'L'}, {'N', '('}, {'L', '('}, {')', 'N'}, {')', 'L'}, {'N', 'F'}, {'L', 'F'},
        {')', '('}, {')', 'F'}, {'E', 'L'}, {'E', '('}, {'E', 'F'}, {'L', 'N'},
    };
    for (const auto& pair : kImplied) {
        if (insertBetween(s, pair[0], pair[1], '*', '*') != 0) return 1;
    }
    if (stopAfter == 23) return 0;

    for (int k = 1; k <= s.n; ++k) {
        if (s.cls[k] == 'E' || s.cls[k] == 'D') s.cls[k] = 'N';
    }
    for (int k = 1; k + 2 <= s.n; ++k) {
        if (oneOf(s.cls[k], "+-*/^") && oneOf(s.cls[k + 1], "+-*/^") && oneOf(s.cls[k + 2], "+-*/^")) {
            return report(s, "Cannot have 3 adjacent operators", s.pos[k], s.pos[k + 2]);
        }
    }
    for (int k = 1; k >= 1 && k <= s.n;) {
        if (oneOf(s.cls[k], "*/^<,")) return report(s, "Missing operand before", s.pos[k], s.pos[k]);
        int next = 0;
        for (int j = k; j <= s.n; ++j) {
            if (s.cls[j] == '(') {
                next = j + 1;
                break;
            }
        }
        k = next;
    }
    for (int k = s.n; k >= 1;) {
        if (oneOf(s.cls[k], "+-*/^<,")) return report(s, "Missing operand after", s.pos[k], s.pos[k]);
        int close = 0;
        for (int j = k; j >= 1; --j) {
            if (s.cls[j] == ')') {
                close = j;
                break;
            }
        }
        if (close <= 1) break;
        k = close - 1;
    }
    rep(s, used(s), "++", "+Z");
    rep(s, used(s), "--", "+Z");
    rep(s, used(s), "-+", "-Z");
    rep(s, used(s), "+-", "Z-");
    squeeze(s, 'Z');
    for (int k = 1; k < s.n; ++k) {
        if (oneOf(s.cls[k], "+-*/^") && oneOf(s.cls[k + 1], "*/^")) {
            return report(s, "Illegal operator combination", s.pos[k], s.pos[k + 1]);
        }
    }
    for (int k = 1; k <= s.n; ++k) {
        if (s.cls[k] != '+' && s.cls[k] != '-') continue;
        if (k == 1 || oneOf(s.cls[k - 1], "+-*/^(,<")) s.cls[k] = s.cls[k] == '-' ? 'U' : 'P';
    }
    squeeze(s, 'P');
    if (checkSequence(s) != 0) return 1;
    for (int k = 1; k <= s.n; ++k) {
        if (!oneOf(s.cls[k], "U+-*/^(),<FLN")) return report(s, "Program Decode Error", s.pos[k], s.pos[k]);
    }
    return 0;
}

}  // namespace prepref
