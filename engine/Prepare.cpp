// Preparation: the user's free-form line becomes a working text of at most
// 64 characters with one class code per position, and its surface syntax is
// checked. Almost every rule is a pattern replacement on the class string;
// the source position map keeps every character's column in the user's line
// so that errors can be marked where the user typed them.
//
// The rules are carried out in one or two passes each instead of by literal
// search-and-replace from the start (tests/engine/PrepareReference.h does it
// literally, and the tests hold the two to the same result). Where a pass
// stands for a replacement repeated until nothing matches, the comment says
// why the single pass reaches the same string.
#include <algorithm>
#include <cstring>

#include "EngineState.h"
#include "PrepareTables.h"
#include "Unicode.h"
#include "WflStrings.h"

namespace {

using namespace preparation;

bool isBlankByte(char c) { return byte(c) <= ' '; }
bool in(char c, unsigned set) { return (kTables.sets[byte(c)] & set) != 0; }
bool impliedPair(char a, char b) { return (kTables.impliedLeft[byte(a)] & kTables.impliedRight[byte(b)]) != 0; }

int report(EngineState& s, std::string_view message, int first, int last) {
    PXNWHINE(s, message, first, last);
    return 1;
}

// The sequence check after the signs are resolved. The class string is left
// with one code per operand, operator and bracket; operators and operands
// must alternate where the evaluation relies on it. Signs are unary by now,
// so an operator that needs a left operand must not follow another operator,
// and brackets hold something unless they are a function's argument list.
// When the sequence is sound, a code the decoder would not understand is
// reported last (the positions skipped over are all "F").
int checkSequence(EngineState& s) {
    const char* C = s.cls.data();
    const int n = s.n;
    bool expectOperand = true;
    int unknown = 0;
    for (int k = 1; k <= n; ++k) {
        const char c = C[k];
        if (unknown == 0 && !in(c, kFinal)) unknown = k;
        if (c == 'N' || c == 'L') {
            expectOperand = false;
        } else if (c == 'F') {
            // With its "(" the call is an operand; a name without one is left
            // for the decoder to report.
            while (k < n && C[k + 1] == 'F') ++k;
            expectOperand = false;
        } else if (c == '(') {
            const bool call = k > 1 && C[k - 1] == 'F';
            if (!call && k < n && C[k + 1] == ')') return report(s, "Missing operand after", s.sourceColumn(k), s.sourceColumn(k));
            expectOperand = true;
        } else if (c == ')') {
            expectOperand = false;
        } else if (c == 'U') {
            expectOperand = true;
        } else if (in(c, kNeedsRight)) {
            if (expectOperand && (k == 1 || C[k - 1] == '(')) {
                // Only a removed unary plus can have stood before it.
                return report(s, "Missing operand before", s.sourceColumn(k), s.sourceColumn(k));
            }
            if (expectOperand) return report(s, "Illegal operator combination", s.sourceColumn(k - 1), s.sourceColumn(k));
            expectOperand = true;
        }
    }
    if (unknown != 0) return report(s, "Program Decode Error", s.sourceColumn(unknown), s.sourceColumn(unknown));
    return 0;
}

// Inserts a character between every occurrence of the class pair a b, the
// leftmost first. Kept for the rare line where the insertions do not all fit:
// then the one that overflows must be the one the rules reach first.
int insertBetween(EngineState& s, char a, char b, char textChar, char classChar) {
    for (int k = 1; k < s.n; ++k) {
        if (s.cls[static_cast<size_t>(k)] == a && s.cls[static_cast<size_t>(k + 1)] == b &&
            PXNINSERT(s, k + 1, textChar, classChar) != 0) {
            return 1;
        }
    }
    return 0;
}

// What preparation learns about a line on its first pass and on the way,
// so that a later stage runs only where its rule can apply at all.
struct LineFacts {
    unsigned seen = 0;   // class codes that occur (kSaw bits)
    unsigned pairs = 0;  // neighbour pairs that some rule rewrites (kPair bits)
    int depth = 0;       // bracket depth at the end of the line
    bool dippedBelowZero = false;
    bool anyBlank = false;
    bool anyD = false;         // an exponent letter is left
    bool anyDeletion = false;  // a position is marked Z
    // From the pass that implies products: neighbour pairs the placement
    // checks look at (kNb bits), and whether a sign can be unary.
    unsigned found = 0;
    unsigned threeInARow = 0;
    bool anyUnary = false;
    bool signPair = false;  // two signs stand side by side
    // An operator followed by * / or ^, reported after the signs are reduced.
    int badFirst = 0;
    int badLast = 0;
};

// The line becomes the display line and the working text. Leading and
// trailing blanks go (control characters count as blanks); the working text
// is upper-cased with round brackets; a run of blanks shrinks to its first
// blank, which keeps its column; every character gets its class code. The
// same pass notes which codes occur, which neighbours call for a rule, and
// how the brackets nest; merging names later changes none of that.
int classify(EngineState& s, std::string_view line, LineFacts& f) {
    char* const T = s.text.data();
    char* const C = s.cls.data();
    int* const P = s.pos.data();
    std::size_t first = 0;
    while (first < line.size() && isBlankByte(line[first])) ++first;
    std::size_t end = line.size();
    while (end > first && isBlankByte(line[end - 1])) --end;
    const std::string_view rest = line.substr(first);
    const std::size_t length = end - first;

    char* const display = s.display.data();
    s.text.fill(' ');
    s.cls.fill(' ');
    s.pos.fill(0);
    s.n = 0;

    if (length > static_cast<std::size_t>(kFieldLength)) {
        // The display line never holds a control character.
        for (int i = 0; i < kFieldLength; ++i) display[i] = kTables.display[byte(rest[static_cast<size_t>(i)])];
        return report(s, "Given line too long", 64, 64);
    }
    // Past the line's last character the display line is blank.
    std::memset(display + length, ' ', kFieldLength - length);
    if (length < 1) return report(s, "Given line empty", 1, 1);

    int depth = 0, w = 0;
    bool dippedBelowZero = false;
    unsigned seen = 0, pairs = 0;
    unsigned char before = 0;  // class of the last character kept
    std::memcpy(display, rest.data(), length);
    // A character of several bytes in UTF-8 keeps its bytes as they are
    // (upper-casing one of them would make another character) and takes one
    // class for all of them: a name character (utf8::isNameCharacter), or
    // outside the language ("∞", "⁶", a full-width "＋"). A single byte above
    // 127 is a name character, as text in the older code pages has it.
    const std::string_view typed = rest.substr(0, length);
    std::size_t characterEnd = 0;  // past the last byte of the current character
    bool multiByte = false;
    char characterClass = 'L';
    for (std::size_t r = 0; r < length; ++r) {
        char c = kTables.work[byte(rest[r])];
        char k = kTables.cls[byte(c)];
        if (byte(rest[r]) >= 0x80) {
            if (r >= characterEnd) {
                const utf8::Character u = utf8::multiByteAt(typed, r);
                multiByte = u.length != 0;
                characterEnd = r + (multiByte ? u.length : 1);
                characterClass = !multiByte || utf8::isNameCharacter(u.code) ? 'L' : '?';
            }
            if (multiByte) c = rest[r];
            k = characterClass;
        }
        if (c == ' ') {
            display[r] = ' ';  // a control character shows as a blank
            if (before == ' ') continue;
        }
        ++w;
        T[w] = c;
        P[w] = static_cast<int>(r) + 1;
        C[w] = k;
        seen |= kTables.seen[byte(k)];
        pairs |= kTables.pairLeft[before] & kTables.pairRight[byte(k)];
        depth += kTables.depth[byte(k)];
        dippedBelowZero |= depth < 0;
        before = byte(k);
    }
    s.n = w;
    f.seen = seen;
    f.pairs = pairs;
    f.depth = depth;
    f.dippedBelowZero = dippedBelowZero;
    f.anyBlank = (seen & kSawBlank) != 0;
    f.anyD = (seen & kSawExponent) != 0;
    return 0;
}

// Names merge: a D or E touching a name, and digits following a name, join
// the name; two exponent letters in a row are a name as well.
//
// The literal rules (DD to LL once, then DL, LD and LN to LL until nothing
// changes) only ever turn a D or N into L because of an L beside it, so
// they end at the smallest string closed under those three moves. One pass
// to the right spreads L over following D and N, one pass to the left
// spreads it over preceding D; neither pass can enable the other. A run of
// two or more D becomes L entirely: "DD" makes L of its pairs, and an odd
// last D then joins the L before it. Without such neighbours no rule
// applies at all.
//
// Nothing before the first pair of merging neighbours changes (a code there
// could only turn L beside another that does, which would make an earlier
// pair), and past the last pair only the chain of D and N that follows it
// can; so the two passes run from the first pair to where that chain ends.
void mergeNames(EngineState& s, LineFacts& f) {
    constexpr unsigned kMerging = kPairD | kPairL | kPairN;
    if ((f.pairs & kMerging) == 0) return;
    char* const C = s.cls.data();
    const int n = s.n;
    auto merging = [](char a, char b) { return (kTables.pairLeft[byte(a)] & kTables.pairRight[byte(b)] & kMerging) != 0; };
    int first = 1;
    while (!merging(C[first], C[first + 1])) ++first;
    int last = n;
    while (!merging(C[last - 1], C[last])) --last;
    char previous = first > 1 ? C[first - 1] : ' ';  // the code before k as it was
    char made = previous;                             // and as this pass left it
    int k = first;
    for (; k <= n; ++k) {
        const char original = C[k];
        char x = original;
        if (x == 'D' && (previous == 'D' || (k < n && C[k + 1] == 'D'))) x = 'L';
        if (made == 'L' && (x == 'D' || x == 'N')) x = 'L';
        if (k > last && x == original) break;
        C[k] = x;
        made = x;
        previous = original;
    }
    const int end = std::min(k, n);
    bool anyD = C[end] == 'D';
    for (int j = end - 1; j >= first; --j) {
        if (C[j] == 'D' && C[j + 1] == 'L') C[j] = 'L';
        anyD |= C[j] == 'D';
    }
    f.anyD = anyD || std::memchr(C + 1, 'D', static_cast<size_t>(first - 1)) != nullptr ||
             std::memchr(C + end + 1, 'D', static_cast<size_t>(n - end)) != nullptr;
}

// Only the characters of the language may remain, and brackets balance
// with no ")" closing a bracket that was never opened.
int checkCharactersAndBrackets(EngineState& s, const LineFacts& f) {
    if ((f.seen & kSawIllegal) != 0) {
        for (int k = 1; k <= s.n; ++k) {
            if (!in(s.cls[static_cast<size_t>(k)], kLegal)) {
                return report(s, "Illegal character used", s.pos[static_cast<size_t>(k)], s.pos[static_cast<size_t>(k)]);
            }
        }
    }
    if (f.depth != 0 || f.dippedBelowZero) return report(s, "Parentheses do not balance", -2, -2);
    return 0;
}

// What separates nothing is marked for deletion (Z): "**" is a power, so
// its second star goes; blanks beside an operator or bracket and blanks
// inside a number go; a blank next to a deletion goes too.
void markDeletions(EngineState& s, LineFacts& f) {
    char* const C = s.cls.data();
    const int n = s.n;
    if ((f.pairs & kPairStar) != 0) {
        // Replacing "**" from the left pairs the stars of a run from its start.
        for (int k = 1; k < n; ++k) {
            if (C[k] == '*' && C[k + 1] == '*') {
                C[k] = '^';
                C[k + 1] = 'Z';
                f.anyDeletion = true;
                ++k;
            }
        }
    }
    if (!f.anyBlank) return;
    // Blanks never stand side by side here, so each blank's fate depends
    // only on its two neighbours, which none of these rules changes.
    bool marked = false;
    for (int k = 1; k <= n; ++k) {
        if (C[k] != ' ') continue;
        const char left = k > 1 ? C[k - 1] : '\0';
        const char right = k < n ? C[k + 1] : '\0';
        const bool insideNumber = (left == '.' && right == 'N') || (left == 'N' && right == '.') ||
                                  (left == 'N' && right == 'D') || (left == 'D' && right == 'N');
        if (in(right, kBlankBefore) || in(left, kBlankAfter) || insideNumber) {
            C[k] = 'Z';
            marked = true;
        }
    }
    f.anyDeletion |= marked;
    if (f.anyDeletion) {
        // " Z" to "ZZ" spreads leftwards and "Z " to "ZZ" rightwards.
        for (int k = n - 1; k >= 1; --k) {
            if (C[k] == ' ' && C[k + 1] == 'Z') C[k] = 'Z';
        }
        for (int k = 2; k <= n; ++k) {
            if (C[k] == ' ' && C[k - 1] == 'Z') C[k] = 'Z';
        }
    }
}

// A "#" and the name characters after it form a function name, and a blank
// between a function name and its "(" goes. Then every deletion is made.
void markFunctionsAndSqueeze(EngineState& s, LineFacts& f) {
    char* const C = s.cls.data();
    const int n = s.n;
    if ((f.seen & kSawHash) != 0) {
        for (int k = 1; k <= n; ++k) {
            if (C[k] != '#') continue;
            C[k] = 'F';
            for (int j = k + 1; j <= n && C[j] == 'L'; ++j) C[j] = 'F';
        }
        for (int k = 2; f.anyBlank && k < n; ++k) {
            if (C[k] == ' ' && C[k - 1] == 'F' && C[k + 1] == '(') {
                C[k] = 'Z';
                f.anyDeletion = true;
            }
        }
    }
    if (f.anyDeletion) PXNSQUEEZ(s, 'Z');
}

// Every exponent letter is followed by an optional sign and digits; they
// all become part of the number (E).
int checkExponents(EngineState& s, const LineFacts& f) {
    char* const C = s.cls.data();
    const int n = s.n;
    if (C[n] == 'D') return report(s, "Exponent digits missing", s.sourceColumn(n), s.sourceColumn(n));
    for (int start = 1; f.anyD;) {
        int d = 0;
        for (int k = start; k <= n; ++k) {
            if (C[k] == 'D') {
                d = k;
                break;
            }
        }
        if (d == 0) break;
        int k = d + 1;
        if (k <= n && (C[k] == '+' || C[k] == '-')) {
            C[k] = 'E';
            ++k;
        }
        if (k > n || C[k] != 'N') return report(s, "Exponent digits missing", s.sourceColumn(k - 1), s.sourceColumn(k));
        while (k <= n && C[k] == 'N') C[k++] = 'E';
        start = k;
    }
    return 0;
}

// A blank between two digits is dropped, so 1 000 is one number; any blank
// still standing between two operands is a multiplication.
void resolveBlanks(EngineState& s, const LineFacts& f) {
    if (!f.anyBlank) return;
    char* const C = s.cls.data();
    bool joined = false;
    for (int k = 2; k < s.n; ++k) {
        if (C[k] == ' ' && C[k - 1] == 'N' && C[k + 1] == 'N') {
            C[k] = 'Z';
            joined = true;
        }
    }
    if (joined) PXNSQUEEZ(s, 'Z');
    for (int k = 1; k <= s.n; ++k) {
        if (C[k] == ' ') C[k] = '*';
    }
}

// A missing mantissa is 1: /X is 1/X, X*/Y is X*1/Y, E5 is 1E5. After a
// decimal point the point itself is the mantissa, so 5.E3 stays 5000.
int supplyMantissas(EngineState& s, const LineFacts& f) {
    const char* const C = s.cls.data();
    if (C[1] == '/' && PXNINSERT(s, 1, '1', 'N') != 0) return 1;
    // A "*/" here was typed so, or had a blank between (which has gone); a
    // "*" made of a blank never stands before "/", as that blank went too.
    const bool starSlash = (f.pairs & kPairStarSlash) != 0 ||
                           (f.anyBlank && (f.seen & kSawStar) != 0 && (f.seen & kSawSlash) != 0);
    if (starSlash && insertBetween(s, '*', '/', '1', 'N') != 0) return 1;
    if (f.anyD) {
        if (C[1] == 'D' && PXNINSERT(s, 1, '1', 'N') != 0) return 1;
        for (int k = 1; k < s.n; ++k) {
            if (C[k] != 'N' && C[k] != '.' && C[k + 1] == 'D' && PXNINSERT(s, k + 1, '1', 'N') != 0) return 1;
        }
    }
    return 0;
}

// Two operands side by side are multiplied: 2X, 2(X), X(Y), (A)B, (A)2,
// 2#SIN(X), and also (A)(B), (A)#SIN(B), 2E5X and X.5.
//
// An inserted "*" belongs to no pair, so the places are those of the pairs
// found now; when they all fit they are filled in one pass from the right,
// each "*" taking the column of the character after it. The same pass makes
// a decimal point a number character, just before its pairs are looked at.
// It also takes a first look at each pair of neighbours for the placement
// checks: an inserted "*" stands between two operands, which no check looks
// at, and turning E and D into N changes nothing for them either.
int implyProducts(EngineState& s, LineFacts& f) {
    char* const T = s.text.data();
    char* const C = s.cls.data();
    int* const P = s.pos.data();
    const int n = s.n;
    int insertions = 0;
    const bool anyPoint = (f.seen & kSawPoint) != 0;
    unsigned found = 0, threeInARow = 0;
    bool anyUnary = false;  // a sign at the start or after an operator, "(", "," or "<"
    unsigned left = kNbMissingLeft;  // the start of the line acts as a "("
    unsigned previousPair = 0;
    unsigned char leftCode = 0;
    for (int k = 1; k <= n; ++k) {
        unsigned char c = byte(C[k]);
        if (anyPoint && c == '.') C[k] = static_cast<char>(c = 'N');
        insertions += (kTables.impliedLeft[leftCode] & kTables.impliedRight[c]) != 0 ? 1 : 0;
        anyUnary |= (c == '+' || c == '-') && (leftCode == 0 || in(static_cast<char>(leftCode), kMakesUnary));
        leftCode = c;
        const unsigned pair = left & kTables.asRight[c];
        found |= pair;
        threeInARow |= previousPair & pair;
        previousPair = pair;
        left = kTables.asLeft[c];
    }
    found |= left & kNbMissingRight;  // and its end as a ")"
    f.found = found;
    f.threeInARow = threeInARow;
    f.anyUnary = anyUnary;

    if (n + insertions > kFieldLength) {
        // They do not all fit: inserted one pair kind at a time, so the one
        // that overflows is the one the rules reach first.
        static constexpr char kImplied[][2] = {
            {'N', 'L'}, {'N', '('}, {'L', '('}, {')', 'N'}, {')', 'L'}, {'N', 'F'}, {'L', 'F'},
            {')', '('}, {')', 'F'}, {'E', 'L'}, {'E', '('}, {'E', 'F'}, {'L', 'N'},
        };
        for (const auto& pair : kImplied) {
            if (insertBetween(s, pair[0], pair[1], '*', '*') != 0) return 1;
        }
    } else if (insertions > 0) {
        int to = n + insertions;
        for (int k = n; k >= 1; --k) {
            const char t = T[k], c = C[k];
            const int p = P[k];
            T[to] = t;
            C[to] = c;
            P[to] = p;
            --to;
            if (k > 1 && impliedPair(C[k - 1], c)) {
                T[to] = '*';
                C[to] = '*';
                P[to] = p;
                --to;
            }
        }
        s.n = n + insertions;
    }
    return 0;
}

// Operators stand where they can: never three in a row; an expression and
// every bracket open with an operand or a sign and close with an operand.
// The exponent's letters and digits are plain number characters from here.
//
// One pass finds the first place each check would stop at (the closing
// check walks backwards, so its place is the last one); they are reported
// in that order. The pass also finds the first operator followed by * / or
// ^, which the reduced signs below cannot change (every pair of signs
// stands between two non-operators, since three operators in a row are an
// error); it is reported after them. The first look at the neighbours,
// taken while implying products, tells whether any check can fire at all.
int checkOperatorPlacement(EngineState& s, LineFacts& f) {
    char* const C = s.cls.data();
    const int* const P = s.pos.data();
    const int n = s.n;
    if (f.anyD) {
        for (int k = 1; k <= n; ++k) {
            if (C[k] == 'E' || C[k] == 'D') C[k] = 'N';
        }
    }
    int three = 0, noLeft = 0, noRight = 0, badPair = 0;
    bool signPair = (f.found & kNbSigns) != 0;
    if ((f.found & (kNbMissingLeft | kNbMissingRight | kNbBadSecond)) != 0 || (f.threeInARow & kNbOperators) != 0) {
        // a, b, c: the sets of the codes at k - 1, k and k + 1; the start of
        // the line acts as a "(" and its end as a ")".
        unsigned a = kOpensGroup, b = kTables.sets[byte(C[1])];
        for (int k = 1; k <= n; ++k) {
            const unsigned c = k < n ? kTables.sets[byte(C[k + 1])] : unsigned{kClosesGroup};
            if (three == 0 && (a & b & c & kOperator) != 0) three = k - 1;
            if (noLeft == 0 && (a & kOpensGroup) != 0 && (b & kNeedsLeft) != 0) noLeft = k;
            if ((c & kClosesGroup) != 0 && (b & kNeedsRight) != 0) noRight = k;
            if (badPair == 0 && (b & kOperator) != 0 && (c & kNoSecond) != 0) badPair = k;
            signPair |= (b & c & kSign) != 0;
            a = b;
            b = c;
        }
    }
    if (three != 0) return report(s, "Cannot have 3 adjacent operators", P[three], P[three + 2]);
    if (noLeft != 0) return report(s, "Missing operand before", P[noLeft], P[noLeft]);
    if (noRight != 0) return report(s, "Missing operand after", P[noRight], P[noRight]);
    f.badFirst = badPair != 0 ? P[badPair] : 0;
    f.badLast = badPair != 0 ? P[badPair + 1] : 0;
    f.signPair = signPair;
    return 0;
}

// Two signs in a row reduce to one: ++ and -- to +, -+ and +- to -. Every
// such pair stands alone, so the four literal replacements never meet.
void reduceSignPairs(EngineState& s, const LineFacts& f) {
    if (!f.signPair) return;
    char* const C = s.cls.data();
    const int n = s.n;
    for (int k = 1; k < n; ++k) {
        const char a = C[k], b = C[k + 1];
        if ((a != '+' && a != '-') || (b != '+' && b != '-')) continue;
        if (a == '+' && b == '-') {
            C[k] = 'Z';
        } else {
            if (a == '-' && b == '-') C[k] = '+';
            C[k + 1] = 'Z';
        }
        ++k;
    }
    PXNSQUEEZ(s, 'Z');
}

// A sign at the start or after an operator, "(", "," or "<" is unary;
// unary plus changes nothing and goes. Without a pair of signs the codes
// before the signs are those the product pass saw (an inserted "*" never
// stands before a sign), so it knows whether there is one.
void markUnarySigns(EngineState& s, const LineFacts& f) {
    if ((f.seen & kSawSign) == 0 || (!f.signPair && !f.anyUnary)) return;
    char* const C = s.cls.data();
    bool unaryPlus = false;
    for (int k = 1; k <= s.n; ++k) {
        if (C[k] != '+' && C[k] != '-') continue;
        if (k == 1 || in(C[k - 1], kMakesUnary)) {
            unaryPlus |= C[k] == '+';
            C[k] = C[k] == '-' ? 'U' : 'P';
        }
    }
    if (unaryPlus) PXNSQUEEZ(s, 'P');
}

}  // namespace

// The stages in their order, each ending at the checkpoint named after it.
int prepareThrough(EngineState& s, std::string_view line, PrepareCheckpoint stop) {
    LineFacts f;
    if (classify(s, line, f) != 0) return 1;
    if (stop == PrepareCheckpoint::kClassified) return 0;
    mergeNames(s, f);
    if (checkCharactersAndBrackets(s, f) != 0) return 1;
    markDeletions(s, f);
    if (stop == PrepareCheckpoint::kDeletionsMarked) return 0;
    markFunctionsAndSqueeze(s, f);
    if (stop == PrepareCheckpoint::kSqueezed) return 0;
    if (checkExponents(s, f) != 0) return 1;
    resolveBlanks(s, f);
    if (supplyMantissas(s, f) != 0) return 1;
    if (implyProducts(s, f) != 0) return 1;
    if (stop == PrepareCheckpoint::kProductsImplied) return 0;
    if (checkOperatorPlacement(s, f) != 0) return 1;
    reduceSignPairs(s, f);
    if (f.badFirst != 0) return report(s, "Illegal operator combination", f.badFirst, f.badLast);
    markUnarySigns(s, f);
    return checkSequence(s);
}

int PXNPREP(EngineState& engine, std::string_view line) {
    return prepareThrough(engine, line, PrepareCheckpoint::kDone);
}
