// The fast path. The long way rewrites a line into a working text and class
// string by some thirty rules, cuts that into ranked tokens, and reduces
// them by picking the highest rank again and again. For the lines people
// usually type, all of that comes to an ordinary precedence grammar, so this
// file reads such a line once, left to right, and computes each operation
// as soon as both its operands are known.
//
// It takes a line only where the long way surely reads it the same: every
// character, and every pair of neighbours, that is let through below is one
// whose treatment by the rewriting rules is plain. On anything else, and on
// anything the long way would report (an unknown name, a division by zero,
// a bad argument, a result that is no number), it gives way: it reports
// nothing, changes nothing, and the line goes the long way, which finds and
// reports the fault as it always has. The arithmetic is the long way's own
// (ValueOps.h and the built-in function table), applied to the same operands:
// the order in which independent operations run changes no bit of them.
//
// The grammar, loosest binding first, with the ranks it stands for. Groups
// (100 and up) and calls (90) are done before everything around them.
//   expression := sum ['<' expression]           polar, 70: each side whole, so 1<2<3 is 1<(2<3)
//   sum        := product {sign product}         20, left to right
//   product    := power {('*' | '/' | nothing) power}  30; operands side by side multiply
//   power      := signed {('^' | '**') signed}   50, left to right: 2^3^2 is 64
//   signed     := [sign] operand                 unary minus, 60, outranks "^": -2^2 is 4
//   operand    := number | name | call | '(' expression [',' expression] ')'
//   call       := '#' name '(' expression {',' expression} ')'
// A sign is "+" or "-", or two of them, which reduce to one.
#include "FastPath.h"

#include <cmath>
#include <cstddef>

#include "EngineState.h"
#include "PrepareTables.h"
#include "ValueOps.h"
#include "Wflextra.h"

namespace {

using preparation::byte;
using preparation::kTables;

// What a byte of the line is here: the class code preparation gives it
// after upper-casing and folding brackets, from preparation's own tables.
enum Kind : unsigned char {
    kOther,  // not in the language
    kBlank,
    kDigit,
    kPoint,
    kExponent,  // D or E: an exponent letter, or a letter of a name
    kLetter,    // every other name character
    kHash,
    kPlus,
    kMinus,
    kStar,
    kSlash,
    kCaret,
    kOpen,
    kClose,
    kComma,
    kPolar,
    kEnd,  // past the last character
};

struct KindTable {
    Kind of[256]{};
};

constexpr KindTable makeKinds() {
    KindTable t;
    for (int b = 0; b < 256; ++b) {
        Kind k = kOther;
        // Bytes above ASCII (letters and signs of other scripts) go the long
        // way, which reads them as characters.
        if (b >= 0x80) {
            t.of[b] = k;
            continue;
        }
        switch (kTables.cls[byte(kTables.work[b])]) {
        case ' ': k = kBlank; break;
        case 'N': k = kDigit; break;
        case '.': k = kPoint; break;
        case 'D': k = kExponent; break;
        case 'L': k = kLetter; break;
        case '#': k = kHash; break;
        case '+': k = kPlus; break;
        case '-': k = kMinus; break;
        case '*': k = kStar; break;
        case '/': k = kSlash; break;
        case '^': k = kCaret; break;
        case '(': k = kOpen; break;
        case ')': k = kClose; break;
        case ',': k = kComma; break;
        case '<': k = kPolar; break;
        default: break;
        }
        t.of[b] = k;
    }
    return t;
}
constexpr KindTable kKinds = makeKinds();

constexpr unsigned bit(Kind k) { return 1u << k; }
constexpr unsigned kOperators = bit(kPlus) | bit(kMinus) | bit(kStar) | bit(kSlash) | bit(kCaret) | bit(kComma) |
                                bit(kPolar);
// A blank goes when it stands after one of these, or before one of those.
constexpr unsigned kBlankGoesAfter = kOperators | bit(kOpen);
constexpr unsigned kBlankGoesBefore = kOperators | bit(kClose);
// What can begin an operand; after the end of one it implies a product.
constexpr unsigned kStartsOperand =
    bit(kDigit) | bit(kPoint) | bit(kExponent) | bit(kLetter) | bit(kHash) | bit(kOpen);
constexpr unsigned kInName = bit(kLetter) | bit(kExponent) | bit(kDigit);

bool in(Kind k, unsigned set) { return (set & bit(k)) != 0; }

class Scan {
public:
    Scan(EngineState& engine, const unsigned char* first, const unsigned char* end, int searchLimit)
        : engine_(engine), p_(first), end_(end), limit_(searchLimit) {}

    // expression := sum ['<' expression]
    bool expression(XVALUE& v) {
        if (!sum(v)) return false;
        if (next() != kPolar) return true;
        ++p_;
        afterSign_ = false;
        XVALUE angle;
        if (!expression(angle)) return false;
        valueops::polar(v, angle);
        v = angle;
        return sound(v);
    }

    bool atEnd() const { return p_ == end_; }

    // Every value computed on the way is a number: the long way reports the
    // first operation that meets one which is not, so such a line is left
    // to it. (Numbers and stored parameters are never NaN.)
    static bool sound(const XVALUE& v) { return !valueops::hasNaN(v); }
    // Blanks dropped and second stars of "**" gone, and the "*" that
    // products of neighbouring operands put in.
    int dropped() const { return dropped_; }
    int implied() const { return implied_; }

private:
    Kind kindAt(const unsigned char* q) const { return q == end_ ? kEnd : kKinds.of[*q]; }

    // The kind at the cursor. A blank that the blank rules drop is skipped;
    // one they keep (it would join two numbers or imply a product) is kOther.
    Kind next() {
        const Kind k = kindAt(p_);
        return k == kBlank ? skipBlanks() : k;
    }
    Kind skipBlanks() {
        // The line is trimmed: a blank has a non-blank on either side.
        const Kind before = kKinds.of[p_[-1]];
        const unsigned char* q = p_;
        while (kKinds.of[*q] == kBlank) ++q;
        const Kind after = kKinds.of[*q];
        if (!in(before, kBlankGoesAfter) && !in(after, kBlankGoesBefore)) return kOther;
        dropped_ += static_cast<int>(q - p_);
        p_ = q;
        return after;
    }

    // A name starts with a letter other than D and E, or with D or E before
    // another letter (the two merge into a name). Every letter and digit
    // after it merges into the name as well.
    bool startsName(const unsigned char* q) const {
        const Kind k = kindAt(q);
        return k == kLetter || (k == kExponent && (kindAt(q + 1) == kLetter || kindAt(q + 1) == kExponent));
    }
    const unsigned char* nameEnd(const unsigned char* q) const {
        while (in(kindAt(q), kInName)) ++q;
        return q;
    }

    // Two signs in a row are one: ++ and -- are +, +- and -+ are -. A third
    // operator beside them is a fault.
    static bool isSign(Kind k) { return k == kPlus || k == kMinus; }
    bool pairSigns(Kind& sign) {
        const Kind second = next();
        if (!isSign(second)) return true;
        ++p_;
        sign = sign == second ? kPlus : kMinus;
        return !isSign(next());
    }

    // sum := product {('+' | '-') product}
    bool sum(XVALUE& v) {
        if (!product(v)) return false;
        for (Kind k = next(); isSign(k); k = next()) {
            ++p_;
            if (!pairSigns(k)) return false;
            afterSign_ = true;
            XVALUE r;
            if (!product(r)) return false;
            if (k == kPlus) {
                valueops::add(v, r);
            } else {
                valueops::subtract(v, r);
            }
            v = r;
            if (!sound(v)) return false;
        }
        return true;
    }

    // product := power {('*' | '/' | nothing) power}. A number, name or ")"
    // followed by a number, name, "#" or "(" multiplies: 2X, X(Y), (A)B,
    // (A)(B), 2#SIN(X), X.5.
    bool product(XVALUE& v) {
        if (!power(v, false)) return false;
        for (;;) {
            const Kind k = next();
            if (k == kStar || k == kSlash) {
                ++p_;
            } else if (in(k, kStartsOperand)) {
                ++implied_;
            } else {
                return true;
            }
            afterSign_ = false;
            XVALUE r;
            if (!power(r, true)) return false;
            if (k != kSlash) {
                valueops::multiply(v, r);
            } else if (!valueops::divide(v, r)) {
                return false;  // division by zero
            }
            v = r;
            if (!sound(v)) return false;
        }
    }

    // power := signed {('^' | '**') signed}. AFTEROPERATOR: an operator
    // stands just before (not a bracket, comma, "<" or nothing).
    bool power(XVALUE& v, bool afterOperator) {
        if (!signedOperand(v, afterOperator)) return false;
        for (;;) {
            const Kind k = next();
            if (k == kCaret) {
                ++p_;
            } else if (k == kStar && kindAt(p_ + 1) == kStar) {
                p_ += 2;
                ++dropped_;
            } else {
                return true;
            }
            afterSign_ = false;
            XVALUE r;
            if (!signedOperand(r, true)) return false;
            valueops::power(v, r);
            v = r;
            if (!sound(v)) return false;
        }
    }

    // signed := ['-' | '+'] operand. A sign here is unary: it follows an
    // operator, a "(", ",", "<" or nothing. A unary plus vanishes. A pair of
    // signs after an operator would make three operators in a row.
    bool signedOperand(XVALUE& v, bool afterOperator) {
        Kind k = next();
        if (!isSign(k)) return operand(v);
        ++p_;
        if (afterOperator ? isSign(next()) : !pairSigns(k)) return false;
        if (k == kPlus) return operand(v);
        afterSign_ = true;
        if (!operand(v)) return false;
        valueops::negate(v);
        return true;
    }

    bool operand(XVALUE& v) {
        switch (next()) {
        case kDigit:
        case kPoint: return number(v);
        case kLetter: return name(v);
        case kExponent: return startsName(p_) && name(v);  // E5 alone is 1E5: the long way
        case kHash: return call(v);
        case kOpen: return group(v);
        default: return false;
        }
    }

    // number := digits with at most one point, at least one digit, then an
    // optional exponent: D or E, a sign, digits. A D or E that starts no
    // exponent must start a name (2EX is 2*EX). The run must end there: a
    // second point, or an exponent letter after the exponent, would make
    // one run that the number reader refuses.
    bool number(XVALUE& v) {
        const unsigned char* const first = p_;
        const unsigned char* q = p_;
        bool digits = false, point = false;
        for (;; ++q) {
            const Kind k = kindAt(q);
            if (k == kDigit) {
                digits = true;
            } else if (k == kPoint && !point) {
                point = true;
            } else {
                break;
            }
        }
        if (!digits) return false;
        if (kindAt(q) == kPoint) return false;
        if (kindAt(q) == kExponent) {
            const unsigned char* e = q + 1;
            if (kindAt(e) == kPlus || kindAt(e) == kMinus) ++e;
            if (kindAt(e) == kDigit) {
                q = e;
                while (kindAt(q) == kDigit) ++q;
                if (kindAt(q) == kPoint || kindAt(q) == kExponent) return false;
            } else if (!startsName(q)) {
                return false;  // exponent digits missing
            }
        }
        double x = 0;
        if (!XNUMBER_R8(std::string_view(reinterpret_cast<const char*>(first), static_cast<std::size_t>(q - first)),
                        x)) {
            return false;
        }
        p_ = q;
        v.value = {x, 0.0};
        v.realValue = x;
        v.isReal = true;
        return true;
    }

    // A parameter's stored value. The name must be one of the visible
    // entries and hold a value. A factor-only parameter turns a sign before
    // it into a product or into nothing; such a line goes the long way.
    bool name(XVALUE& v) {
        const unsigned char* const first = p_;
        p_ = nameEnd(p_ + 1);
        const auto length = static_cast<std::size_t>(p_ - first);
        ParamKey key = kBlankKey;
        if (length > key.size()) return false;
        for (std::size_t i = 0; i < length; ++i) key[i] = kTables.work[first[i]];
        const int index = findParameterByKey(engine_, key, limit_);
        const EngineState& st = engine_;
        if (index < 1 || index > st.paramCount) return false;
        const XPARAM& entry = st.params[static_cast<std::size_t>(index - 1)];
        if (!entry.valid || (entry.factorOnly && afterSign_)) return false;
        v = entry.value;
        return true;
    }

    // call := '#' name '(' expression {',' expression} ')'. A blank between
    // the name and its "(" goes. The function checks and computes as it
    // does for the long way; anything it would report gives way.
    bool call(XVALUE& v) {
        const unsigned char* const first = p_;
        if (!startsName(p_ + 1)) return false;
        p_ = nameEnd(p_ + 1);
        const auto length = static_cast<std::size_t>(p_ - first);
        char name[8];
        if (length > sizeof name) return false;
        for (std::size_t i = 0; i < length; ++i) name[i] = kTables.work[first[i]];
        const int code = builtinFunctionCode(std::string_view(name, length));
        if (code == 0) return false;
        while (kindAt(p_) == kBlank) {
            ++p_;
            ++dropped_;
        }
        if (kindAt(p_) != kOpen) return false;
        ++p_;

        XVALUE args[4];
        int given = 0;
        for (;;) {
            if (given == 4) return false;
            afterSign_ = false;
            if (!expression(args[given++])) return false;
            const Kind k = next();
            if (k != kClose && k != kComma) return false;
            ++p_;
            if (k == kClose) break;
        }
        const BuiltinFunction& fn = *builtinFunction(code);
        if (given < fn.minArgs || given > fn.maxArgs) return false;
        const int mustBeReal = fn.realArgs == BuiltinFunction::RealArgs::kAll     ? given
                               : fn.realArgs == BuiltinFunction::RealArgs::kFirst ? 1
                                                                                    : 0;
        for (int i = 0; i < mustBeReal; ++i) {
            if (!args[i].isReal) return false;
        }
        // Argument slots not given repeat the first.
        const XVALUE* const a[4] = {&args[0], &args[given > 1 ? 1 : 0], &args[given > 2 ? 2 : 0],
                                    &args[given > 3 ? 3 : 0]};
        XVALUE result;
        if (fn.compute(a, result) != nullptr) return false;
        valueops::markRealIfNegligible(result);
        v = result;
        return sound(v);
    }

    // '(' expression [',' expression] ')'. With one comma it is a pair
    // (re, im); with more, the commas are spurious.
    bool group(XVALUE& v) {
        ++p_;
        afterSign_ = false;
        if (!expression(v)) return false;
        Kind k = next();
        if (k == kComma) {
            ++p_;
            afterSign_ = false;
            XVALUE im;
            if (!expression(im) || next() != kClose) return false;
            valueops::pair(v, im);
            v = im;
            if (!sound(v)) return false;
        } else if (k != kClose) {
            return false;
        }
        ++p_;
        return true;
    }

    EngineState& engine_;  // its table is read, nothing written
    const unsigned char* p_;
    const unsigned char* const end_;
    const int limit_;
    // The token before the cursor is a binary "+" or "-", or a unary "-".
    bool afterSign_ = false;
    int dropped_ = 0;
    int implied_ = 0;
};

bool isBlankByte(unsigned char c) { return c <= ' '; }

}  // namespace

bool fastEvaluate(EngineState& engine, std::string_view line, int searchLimit, XVALUE& value) {
    const auto* first = reinterpret_cast<const unsigned char*>(line.data());
    const unsigned char* end = first + line.size();
    while (first != end && isBlankByte(*first)) ++first;
    while (end != first && isBlankByte(end[-1])) --end;
    const auto length = static_cast<int>(end - first);
    if (length == 0 || length > kFieldLength) return false;

    Scan scan(engine, first, end, searchLimit);
    XVALUE v;
    if (!scan.expression(v) || !scan.atEnd()) return false;
    // The working text must hold the line after its blanks go and the
    // products are put in.
    if (length - scan.dropped() + scan.implied() > kFieldLength) return false;
    valueops::markRealIfNegligible(v);
    // The entry points report a result that is no number, and a complex one
    // where a real one is required, over the prepared line.
    if (std::isnan(v.value.real()) || std::isnan(v.value.imag()) || (v.isReal && std::isnan(v.realValue))) return false;
    if (engine.realOnly && !v.isReal) return false;
    value = v;
    return true;
}
