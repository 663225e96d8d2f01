// Preparation: the user's free-form line becomes a working text of at most
// 64 characters with one class code per position, and its surface syntax is
// checked. Almost every rule is a pattern replacement on the class string;
// the source position map keeps every character's column in the user's line
// so that errors can be marked where the user typed them.
#include <cstring>

#include "EngineState.h"
#include "WflStrings.h"

namespace {

bool isBlankByte(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool oneOf(char c, const char* set) { return c != '\0' && std::strchr(set, c) != nullptr; }

EngineState& st() { return engineState(); }
char& cls(int k) { return st().cls[static_cast<size_t>(k)]; }
char& txt(int k) { return st().text[static_cast<size_t>(k)]; }
int pos(int k) { return sourceColumn(k); }

// The used part of the class string. Rules never look past the working
// length: positions beyond it belong to no character of the expression.
std::span<char> usedClasses() { return {st().cls.data() + 1, static_cast<size_t>(st().n)}; }

int report(std::string_view message, int first, int last) {
    PXNWHINE(message, first, last);
    return 1;
}

void deleteTextPosition(int k) {
    EngineState& s = st();
    for (int i = k; i < s.n; ++i) {
        txt(i) = txt(i + 1);
        s.pos[static_cast<size_t>(i)] = s.pos[static_cast<size_t>(i + 1)];
    }
    txt(s.n) = ' ';
    s.pos[static_cast<size_t>(s.n)] = 0;
    --s.n;
}

// Inserts a character between every occurrence of the class pair a b.
int insertBetween(char a, char b, char textChar, char classChar) {
    for (;;) {
        int at = 0;
        for (int k = 1; k < st().n; ++k) {
            if (cls(k) == a && cls(k + 1) == b) {
                at = k + 1;
                break;
            }
        }
        if (at == 0) return 0;
        if (PXNINSERT(at, textChar, classChar) != 0) return 1;
    }
}

// The class string is left with one code per operand, operator and bracket;
// what remains is a check that operators and operands alternate where the
// evaluation relies on it. Signs are unary by now, so an operator that
// needs a left operand must not follow another operator, and brackets hold
// something unless they are a function's argument list.
int checkSequence() {
    const int n = st().n;
    bool expectOperand = true;
    for (int k = 1; k <= n; ++k) {
        const char c = cls(k);
        if (c == 'N' || c == 'L') {
            expectOperand = false;
        } else if (c == 'F') {
            // With its "(" the call is an operand; a name without one is left
            // for the decoder to report.
            while (k < n && cls(k + 1) == 'F') ++k;
            expectOperand = false;
        } else if (c == '(') {
            const bool call = k > 1 && cls(k - 1) == 'F';
            if (!call && k < n && cls(k + 1) == ')') return report("Missing operand after", pos(k), pos(k));
            expectOperand = true;
        } else if (c == ')') {
            expectOperand = false;
        } else if (c == 'U') {
            expectOperand = true;
        } else if (oneOf(c, "+-*/^<,")) {
            if (expectOperand && (k == 1 || cls(k - 1) == '(')) {
                // Only a removed unary plus can have stood before it.
                return report("Missing operand before", pos(k), pos(k));
            }
            if (expectOperand) return report("Illegal operator combination", pos(k - 1), pos(k));
            expectOperand = true;
        }
    }
    return 0;
}

}  // namespace

int PXNPREP(std::string_view line) {
    EngineState& s = st();
    const int stopAfter = s.prepareStopAfter;
    fillFunctionTable();

    // The line without its leading and trailing blanks; control characters
    // count as blanks here already, so a line of tabs is empty.
    std::size_t first = 0;
    while (first < line.size() && isBlankByte(line[first])) ++first;
    std::size_t end = line.size();
    while (end > first && isBlankByte(line[end - 1])) --end;
    const std::string_view rest = line.substr(first);
    const std::size_t length = end - first;

    s.display = rest.substr(0, kFieldLength);
    for (char& c : s.display) {
        if (isBlankByte(c)) c = ' ';  // the display line never holds a control character
    }
    s.text.fill(' ');
    s.cls.fill(' ');
    s.pos.fill(0);
    s.n = 0;

    if (length > static_cast<std::size_t>(kFieldLength)) return report("Given line too long", 64, 64);
    s.n = static_cast<int>(length);
    if (s.n < 1) return report("Given line empty", 1, 1);
    for (int i = 1; i <= s.n; ++i) s.pos[static_cast<size_t>(i)] = i;

    for (int i = 1; i <= kFieldLength; ++i) txt(i) = upperChar(s.display[static_cast<size_t>(i - 1)]);
    std::span<char> working(s.text.data() + 1, kFieldLength);
    PXNSIMPLIFY(working, "[{", '(');
    PXNSIMPLIFY(working, "]}", ')');

    // Runs of blanks shrink to one blank.
    for (int k = 1; k < s.n;) {
        if (txt(k) == ' ' && txt(k + 1) == ' ') {
            deleteTextPosition(k + 1);
        } else {
            ++k;
        }
    }

    // Classes: letters (other than D and E, the exponent letters), the
    // underscore and bytes above 127 are name characters; digits are number
    // characters; D and E stay open until the merge below.
    for (int k = 1; k <= s.n; ++k) {
        const char c = txt(k);
        const auto u = static_cast<unsigned char>(c);
        if (u > 127 || oneOf(c, "ABCFGHIJKMNOPQRSTUVWXYZ_")) {
            cls(k) = 'L';
        } else if (c >= '0' && c <= '9') {
            cls(k) = 'N';
        } else if (c == 'E' || c == 'D') {
            cls(k) = 'D';
        } else {
            cls(k) = c;
        }
    }
    if (stopAfter == 10) return 0;

    // A D or E touching a name, and digits following a name, join the name.
    PXNREP(usedClasses(), "DD", "LL");
    for (int changed = 1; changed != 0;) {
        changed = PXNREP(usedClasses(), "DL", "LL");
        changed += PXNREP(usedClasses(), "LD", "LL");
        changed += PXNREP(usedClasses(), "LN", "LL");
    }

    // Only the characters of the language may remain.
    for (int k = 1; k <= s.n; ++k) {
        if (!oneOf(cls(k), " +-*/^().,#<DLN")) return report("Illegal character used", pos(k), pos(k));
    }

    // Brackets balance, and no ")" closes a bracket that was never opened.
    int depth = 0;
    bool dippedBelowZero = false;
    for (int k = 1; k <= s.n; ++k) {
        if (cls(k) == '(') ++depth;
        if (cls(k) == ')' && --depth < 0) dippedBelowZero = true;
    }
    if (depth != 0 || dippedBelowZero) return report("Parentheses do not balance", -2, -2);

    // Blanks that separate nothing are marked for deletion: "**" is a power;
    // blanks beside an operator or bracket and blanks inside a number go;
    // a blank next to a deletion goes too.
    static constexpr const char* kBlankRules[][2] = {
        {"**", "^Z"},
        {" +", "Z+"}, {" -", "Z-"}, {" *", "Z*"}, {" /", "Z/"},
        {" ^", "Z^"}, {" ,", "Z,"}, {" <", "Z<"}, {" )", "Z)"},
        {"+ ", "+Z"}, {"- ", "-Z"}, {"* ", "*Z"}, {"/ ", "/Z"},
        {"^ ", "^Z"}, {", ", ",Z"}, {"< ", "<Z"}, {"( ", "(Z"},
        {". N", ".ZN"}, {"N .", "NZ."}, {"N D", "NZD"}, {"D N", "DZN"},
        {" Z", "ZZ"}, {"Z ", "ZZ"},
    };
    for (const auto& rule : kBlankRules) PXNREP(usedClasses(), rule[0], rule[1]);
    if (stopAfter == 14) return 0;

    // A "#" and the name characters after it form a function name.
    for (int k = 1; k <= s.n; ++k) {
        if (cls(k) != '#') continue;
        cls(k) = 'F';
        for (int j = k + 1; j <= s.n && cls(j) == 'L'; ++j) cls(j) = 'F';
    }

    // A blank between a function name and its "(" goes.
    PXNREP(usedClasses(), "F (", "FZ(");
    PXNSQUEEZ('Z');
    if (stopAfter == 16) return 0;

    // Every exponent letter is followed by an optional sign and digits.
    if (cls(s.n) == 'D') return report("Exponent digits missing", pos(s.n), pos(s.n));
    for (int start = 1;;) {
        int d = 0;
        for (int k = start; k <= s.n; ++k) {
            if (cls(k) == 'D') {
                d = k;
                break;
            }
        }
        if (d == 0) break;
        int k = d + 1;
        if (k <= s.n && (cls(k) == '+' || cls(k) == '-')) {
            cls(k) = 'E';
            ++k;
        }
        if (k > s.n || cls(k) != 'N') return report("Exponent digits missing", pos(k - 1), pos(k));
        while (k <= s.n && cls(k) == 'N') cls(k++) = 'E';
        start = k;
    }

    // A blank between two digits is dropped, so 1 000 is one number.
    PXNREP(usedClasses(), "N N", "NZN");
    PXNSQUEEZ('Z');

    // Any blank still standing between two operands is a multiplication.
    for (int k = 1; k <= s.n; ++k) {
        if (cls(k) == ' ') cls(k) = '*';
    }

    // A missing mantissa is 1: /X is 1/X, X*/Y is X*1/Y, E5 is 1E5. After a
    // decimal point the point itself is the mantissa, so 5.E3 stays 5000.
    if (cls(1) == '/' && PXNINSERT(1, '1', 'N') != 0) return 1;
    if (insertBetween('*', '/', '1', 'N') != 0) return 1;
    if (cls(1) == 'D' && PXNINSERT(1, '1', 'N') != 0) return 1;
    for (int k = 1; k < s.n; ++k) {
        if (cls(k) != 'N' && cls(k) != '.' && cls(k + 1) == 'D' && PXNINSERT(k + 1, '1', 'N') != 0) return 1;
    }
    for (int k = 1; k <= s.n; ++k) {
        if (cls(k) == '.') cls(k) = 'N';
    }

    // Two operands side by side are multiplied: 2X, 2(X), X(Y), (A)B, (A)2,
    // 2#SIN(X), and also (A)(B), (A)#SIN(B), 2E5X and X.5.
    static constexpr char kImplied[][2] = {
        {'N', 'L'}, {'N', '('}, {'L', '('}, {')', 'N'}, {')', 'L'}, {'N', 'F'}, {'L', 'F'},
        {')', '('}, {')', 'F'}, {'E', 'L'}, {'E', '('}, {'E', 'F'}, {'L', 'N'},
    };
    for (const auto& pair : kImplied) {
        if (insertBetween(pair[0], pair[1], '*', '*') != 0) return 1;
    }
    if (stopAfter == 23) return 0;

    for (int k = 1; k <= s.n; ++k) {
        if (cls(k) == 'E' || cls(k) == 'D') cls(k) = 'N';
    }

    for (int k = 1; k + 2 <= s.n; ++k) {
        if (oneOf(cls(k), "+-*/^") && oneOf(cls(k + 1), "+-*/^") && oneOf(cls(k + 2), "+-*/^")) {
            return report("Cannot have 3 adjacent operators", pos(k), pos(k + 2));
        }
    }

    // An expression and every bracket open with an operand or a sign.
    for (int k = 1; k >= 1 && k <= s.n;) {
        if (oneOf(cls(k), "*/^<,")) return report("Missing operand before", pos(k), pos(k));
        int next = 0;
        for (int j = k; j <= s.n; ++j) {
            if (cls(j) == '(') {
                next = j + 1;
                break;
            }
        }
        k = next;
    }

    // An expression and every bracket close with an operand.
    for (int k = s.n; k >= 1;) {
        if (oneOf(cls(k), "+-*/^<,")) return report("Missing operand after", pos(k), pos(k));
        int close = 0;
        for (int j = k; j >= 1; --j) {
            if (cls(j) == ')') {
                close = j;
                break;
            }
        }
        if (close <= 1) break;
        k = close - 1;
    }

    // Two signs in a row reduce to one.
    PXNREP(usedClasses(), "++", "+Z");
    PXNREP(usedClasses(), "--", "+Z");
    PXNREP(usedClasses(), "-+", "-Z");
    PXNREP(usedClasses(), "+-", "Z-");
    PXNSQUEEZ('Z');

    // An operator may be followed by a sign, never by * / or ^.
    for (int k = 1; k < s.n; ++k) {
        if (oneOf(cls(k), "+-*/^") && oneOf(cls(k + 1), "*/^")) {
            return report("Illegal operator combination", pos(k), pos(k + 1));
        }
    }

    // A sign at the start or after an operator, "(", "," or "<" is unary;
    // unary plus changes nothing and goes.
    for (int k = 1; k <= s.n; ++k) {
        if (cls(k) != '+' && cls(k) != '-') continue;
        if (k == 1 || oneOf(cls(k - 1), "+-*/^(,<")) cls(k) = cls(k) == '-' ? 'U' : 'P';
    }
    PXNSQUEEZ('P');

    if (checkSequence() != 0) return 1;

    for (int k = 1; k <= s.n; ++k) {
        if (!oneOf(cls(k), "U+-*/^(),<FLN")) return report("Program Decode Error", pos(k), pos(k));
    }
    return 0;
}
