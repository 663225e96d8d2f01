// UTF-8 reading, the name character and upper-casing tables, and the
// Windows-1252 page.
#include "Unicode.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace utf8 {

namespace {

struct CodeRange {
    char32_t first, last;
};
struct CaseRun {
    char32_t first, last;
    std::int32_t delta, stride;
};

#include "UnicodeTables.inc"

unsigned char byteAt(std::string_view text, std::size_t i) { return static_cast<unsigned char>(text[i]); }

}  // namespace

Character multiByteAt(std::string_view text, std::size_t at) {
    if (at >= text.size()) return {};
    const unsigned char lead = byteAt(text, at);
    std::size_t length = 0;
    char32_t code = 0;
    char32_t least = 0;  // the smallest code point of that length: shorter forms are not UTF-8
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, least = 0x10000;
    } else {
        return {};
    }
    if (text.size() - at < length) return {};
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char b = byteAt(text, at + k);
        if ((b & 0xC0) != 0x80) return {};
        code = (code << 6) | (b & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
    return {code, length};
}

bool wellFormed(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        if (byteAt(text, i) < 0x80) {
            ++i;
            continue;
        }
        const Character c = multiByteAt(text, i);
        if (c.length == 0) return false;
        i += c.length;
    }
    return true;
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const Character c = byteAt(text, i) < 0x80 ? Character{} : multiByteAt(text, i);
        i += c.length == 0 ? 1 : c.length;
    }
    return count;
}

std::size_t characterStart(std::string_view text, std::size_t at) {
    for (std::size_t back = 1; back <= 3 && back <= at; ++back) {
        const Character c = multiByteAt(text, at - back);
        if (c.length > back) return at - back;
    }
    return at;
}

namespace {

// The entry of a table sorted by `first` whose span may hold CODE: the last
// one that starts at or before it, or nullptr.
template <typename Entry, std::size_t N>
const Entry* startingAtOrBefore(const Entry (&table)[N], char32_t code) {
    const Entry* after = std::upper_bound(std::begin(table), std::end(table), code,
                                          [](char32_t c, const Entry& e) { return c < e.first; });
    return after == std::begin(table) ? nullptr : after - 1;
}

}  // namespace

bool isNameCharacter(char32_t code) {
    const CodeRange* range = startingAtOrBefore(kNameCharacters, code);
    return range != nullptr && code <= range->last;
}

char32_t upper(char32_t code) {
    const CaseRun* run = startingAtOrBefore(kUpperRuns, code);
    if (!run || code > run->last || (code - run->first) % static_cast<char32_t>(run->stride) != 0) return code;
    return static_cast<char32_t>(static_cast<std::int32_t>(code) + run->delta);
}

std::string encode(char32_t code) {
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

char32_t windows1252(unsigned char byte) { return byte < 0x80 ? byte : kWindows1252[byte - 0x80]; }

}  // namespace utf8
