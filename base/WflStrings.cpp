#include "WflStrings.h"
#include "Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

void XC2F(const char* src, std::span<char> field) {
    std::size_t i = 0;
    if (src != nullptr) {
        for (; i < field.size() && src[i] != '\0'; ++i) field[i] = src[i];
    }
    std::fill(field.begin() + static_cast<std::ptrdiff_t>(i), field.end(), ' ');
}

std::string XF2C(std::string_view field) { return textkit::trimmedRight(field); }

std::size_t CLEN(std::string_view field) {
    const std::size_t nul = field.find('\0');
    return nul == std::string_view::npos ? field.size() : nul;
}

void XTOUPPER(std::span<char> text) {
    for (char& c : text) c = upperChar(c);
}

void XTOLOWER(std::span<char> text) {
    for (char& c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE)) c = static_cast<char>(u + 32);
    }
}

std::string XTOUPPER(std::string_view text) {
    std::string s(text);
    XTOUPPER(std::span<char>(s));
    return s;
}

std::string XTOLOWER(std::string_view text) {
    std::string s(text);
    XTOLOWER(std::span<char>(s));
    return s;
}

bool STRCMP(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) return false;
        if (a[i] == '\0') return true;  // both end here
    }
    return true;
}

namespace {

int normalBase(int base) {
    return (base == 2 || base == 8 || base == 10 || base == 16) ? base : 10;
}

// The magnitude without overflow for the most negative value.
unsigned long long magnitude(long long value) {
    return value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                     : static_cast<unsigned long long>(value);
}

}  // namespace

std::string PXISTRING(long long value, int base) {
    char buf[72];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, magnitude(value), normalBase(base));
    std::string digits(buf, end);
    XTOUPPER(std::span<char>(digits));  // hexadecimal digits in capitals
    return value < 0 ? "-" + digits : digits;
}

int PXLOG(long long value, int base) {
    const unsigned long long b = static_cast<unsigned long long>(normalBase(base));
    unsigned long long m = magnitude(value);
    int digits = 1;
    while (m >= b) {
        m /= b;
        ++digits;
    }
    return digits;
}

std::string XQUOTE(std::string_view text) {
    return "\"" + XF2C(text) + "\"";
}

std::string XUNQUOTE(std::string_view text) {
    std::string_view t = textkit::trim(text);
    if (t.size() >= 2 && (t.front() == '"' || t.front() == '\'') && t.back() == t.front()) {
        t = t.substr(1, t.size() - 2);
    }
    return std::string(t);
}

std::string XSHORTEN(std::string_view text, std::size_t maxLength) {
    const std::string_view t = textkit::trimRight(text);
    if (t.size() <= maxLength) return std::string(t);
    static constexpr std::string_view kEllipsis = "...";
    static constexpr std::string_view kSeparators = "\\/:,;\r\t";
    if (maxLength <= kEllipsis.size()) return std::string(kEllipsis.substr(0, maxLength));
    const std::size_t room = maxLength - kEllipsis.size();
    // Keep the tail from a separator (so a file name survives whole), and as
    // much of the head as fits, cut after a separator when there is one.
    const std::size_t tailLen = std::max<std::size_t>(room - room / 3, 1);
    std::size_t tailStart = t.size() - tailLen;
    const std::size_t sep = t.find_first_of(kSeparators, tailStart);
    if (sep != std::string_view::npos && sep + 1 < t.size()) tailStart = sep;
    const std::size_t headRoom = room - (t.size() - tailStart);
    std::size_t headLen = headRoom;
    const std::size_t headSep = t.substr(0, headRoom).find_last_of(kSeparators);
    if (headSep != std::string_view::npos && headSep > 0) headLen = headSep + 1;
    return std::string(t.substr(0, headLen)) + std::string(kEllipsis) + std::string(t.substr(tailStart));
}

std::string PXFSTRING(double value, int decimals) {
    char buf[400];
    std::to_chars_result r{};
    if (decimals >= 0) {
        r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, std::min(decimals, 60));
    } else {
        r = std::to_chars(buf, buf + sizeof buf, value);
    }
    if (r.ec != std::errc()) return "*";
    return std::string(buf, r.ptr);
}
