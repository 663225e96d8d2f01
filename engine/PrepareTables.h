// The character tables preparation works from: the working-text character
// and class code of every byte, the sets of class codes its rules test, and
// which neighbouring codes call for which rule. Built at compile time.
#pragma once

namespace preparation {

// Which sets a class code belongs to; the preparation rules test these.
enum : unsigned {
    kLegal = 1u << 0,       // may stand in the class string once names are merged
    kOperator = 1u << 1,    // + - * / ^
    kNeedsLeft = 1u << 2,   // * / ^ < , : cannot open an expression or bracket
    kNeedsRight = 1u << 3,  // + - * / ^ < , : cannot close one
    kNoSecond = 1u << 4,    // * / ^ : cannot follow an operator
    kMakesUnary = 1u << 5,  // + - * / ^ ( , < : a sign after it is unary
    kFinal = 1u << 6,       // a code the decoder understands
    kBlankBefore = 1u << 7, // + - * / ^ , < ) : a blank before it goes
    kBlankAfter = 1u << 8,  // + - * / ^ , < ( : a blank after it goes
    kOpensGroup = 1u << 9,  // ( : what follows starts a bracket's contents
    kClosesGroup = 1u << 10, // ) : what precedes ends them
    kSign = 1u << 11,       // + -
};

// What the first pass notes about the class codes it makes.
enum : unsigned {
    kSawBlank = 1u << 0,
    kSawExponent = 1u << 1,  // D
    kSawStar = 1u << 2,
    kSawHash = 1u << 3,
    kSawSlash = 1u << 4,
    kSawPoint = 1u << 5,
    kSawSign = 1u << 6,
    kSawIllegal = 1u << 7,
};

// Neighbours that a check after the insertions looks at. A pair of codes
// has a bit when the left code's mask and the right code's mask both have
// it: "(" then * / ^ < , ; + - * / ^ < , then ")"; an operator then * / ^;
// two signs; two operators.
enum : unsigned char {
    kNbMissingLeft = 1,
    kNbMissingRight = 2,
    kNbBadSecond = 4,
    kNbSigns = 8,
    kNbOperators = 16,
};

// Neighbours that some rule rewrites: a left code's mask of right codes.
enum : unsigned char { kPairD = 1, kPairL = 2, kPairN = 4, kPairStar = 8, kPairStarSlash = 16 };

// Operands side by side get a multiplication between them: these are the
// left members of such pairs (as a mask of right members) and the right ones.
enum : unsigned char { kRightName = 1, kRightOpen = 2, kRightNumber = 4, kRightFunction = 8 };

struct Tables {
    char work[256]{};             // working-text character of a line byte
    char cls[256]{};              // class code of a working-text character
    unsigned short sets[256]{};   // membership of a class code
    unsigned char impliedLeft[256]{};
    unsigned char impliedRight[256]{};
    char display[256]{};          // display-line character of a line byte
    unsigned char seen[256]{};    // kSaw bits of a class code
    unsigned char pairLeft[256]{};
    unsigned char pairRight[256]{};
    signed char depth[256]{};     // +1 for "(", -1 for ")"
    unsigned char asLeft[256]{};  // kNb bits of a code on the left of a pair
    unsigned char asRight[256]{}; // and on the right
};

constexpr unsigned char byte(char c) { return static_cast<unsigned char>(c); }

constexpr bool contains(const char* set, int c) {
    for (; *set != '\0'; ++set) {
        if (byte(*set) == c) return true;
    }
    return false;
}

constexpr Tables makeTables() {
    Tables t;
    for (int b = 0; b < 256; ++b) {
        // Upper-cased, brackets of every shape made round, control bytes blank.
        char w = static_cast<char>(b);
        if (b <= ' ') w = ' ';
        // 0xF7 is the sign "÷" of the Windows code page, not a lower-case "×".
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) w = static_cast<char>(b - 32);
        if (w == '[' || w == '{') w = '(';
        if (w == ']' || w == '}') w = ')';
        t.work[b] = w;

        // Letters other than the exponent letters D and E, the underscore
        // and bytes above 127 are name characters; digits are number
        // characters; D and E stay open until names are merged.
        char k = static_cast<char>(b);
        if (b > 127 || contains("ABCFGHIJKMNOPQRSTUVWXYZ_", b)) {
            k = 'L';
        } else if (b >= '0' && b <= '9') {
            k = 'N';
        } else if (b == 'E' || b == 'D') {
            k = 'D';
        }
        t.cls[b] = k;

        unsigned short s = 0;
        if (contains(" +-*/^().,#<DLN", b)) s |= kLegal;
        if (contains("+-*/^", b)) s |= kOperator;
        if (contains("*/^<,", b)) s |= kNeedsLeft;
        if (contains("+-*/^<,", b)) s |= kNeedsRight;
        if (contains("*/^", b)) s |= kNoSecond;
        if (contains("+-*/^(,<", b)) s |= kMakesUnary;
        if (contains("U+-*/^(),<FLN", b)) s |= kFinal;
        if (contains("+-*/^,<)", b)) s |= kBlankBefore;
        if (contains("+-*/^,<(", b)) s |= kBlankAfter;
        if (b == '(') s |= kOpensGroup;
        if (b == ')') s |= kClosesGroup;
        if (b == '+' || b == '-') s |= kSign;
        t.sets[b] = s;

        t.display[b] = b <= ' ' ? ' ' : static_cast<char>(b);
        unsigned char saw = 0;
        if (b == ' ') saw |= kSawBlank;
        if (b == 'D') saw |= kSawExponent;
        if (b == '*') saw |= kSawStar;
        if (b == '#') saw |= kSawHash;
        if (b == '/') saw |= kSawSlash;
        if (b == '.') saw |= kSawPoint;
        if (b == '+' || b == '-') saw |= kSawSign;
        if (!contains(" +-*/^().,#<DLN", b)) saw |= kSawIllegal;
        t.seen[b] = saw;
        t.depth[b] = static_cast<signed char>(b == '(' ? 1 : b == ')' ? -1 : 0);

        unsigned char left = 0, right = 0;
        if (b == '(') left |= kNbMissingLeft;
        if (contains("*/^<,", b)) right |= kNbMissingLeft;
        if (contains("+-*/^<,", b)) left |= kNbMissingRight;
        if (b == ')') right |= kNbMissingRight;
        if (contains("+-*/^", b)) left |= kNbBadSecond | kNbOperators, right |= kNbOperators;
        if (contains("*/^", b)) right |= kNbBadSecond;
        if (b == '+' || b == '-') left |= kNbSigns, right |= kNbSigns;
        t.asLeft[b] = left;
        t.asRight[b] = right;
    }
    // DD, DL, LD and LN merge names; ** is a power.
    t.pairLeft[byte('D')] = kPairD | kPairL;
    t.pairLeft[byte('L')] = kPairD | kPairN;
    t.pairLeft[byte('*')] = kPairStar | kPairStarSlash;
    t.pairRight[byte('/')] = kPairStarSlash;
    t.pairRight[byte('D')] = kPairD;
    t.pairRight[byte('L')] = kPairL;
    t.pairRight[byte('N')] = kPairN;
    t.pairRight[byte('*')] = kPairStar;
    t.impliedLeft[byte('N')] = kRightName | kRightOpen | kRightFunction;
    t.impliedLeft[byte('L')] = kRightOpen | kRightFunction | kRightNumber;
    t.impliedLeft[byte(')')] = kRightName | kRightOpen | kRightNumber | kRightFunction;
    t.impliedLeft[byte('E')] = kRightName | kRightOpen | kRightFunction;
    t.impliedRight[byte('L')] = kRightName;
    t.impliedRight[byte('(')] = kRightOpen;
    t.impliedRight[byte('N')] = kRightNumber;
    t.impliedRight[byte('F')] = kRightFunction;
    return t;
}

constexpr Tables kTables = makeTables();

}  // namespace preparation
