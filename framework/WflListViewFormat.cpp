// Column formats of the list view: reading the format text, and writing and
// reading one field the way formatted output and input treat it (numbers
// right-aligned in their width, asterisks when a value does not fit, blanks
// inside a number ignored on input).
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "WflListView.h"
#include "Text.h"

namespace {

constexpr std::size_t kMaxShown = 256;

std::optional<int> readCount(std::string_view& s) {
    int value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end == s.data() || value < 0) return std::nullopt;
    s.remove_prefix(static_cast<std::size_t>(end - s.data()));
    return value;
}

// Bytes a descriptor consumes, 0 for a letter that is not one.
int bytesOf(char letter, int width) {
    switch (letter) {
        case 'i': return 4;
        case 'j': return 2;
        case 'k': return 1;
        case 'n': return 8;
        case 'f': case 'e': return 4;
        case 'g': case 'd': return 8;
        case 't': return static_cast<int>(sizeof(SYSTEMTIME));
        case 'a': case 'x': return width;
        default: return 0;
    }
}

// One descriptor such as "+i4", "f8.2", "a16" or "t".
std::optional<ColumnField> readDescriptor(std::string_view s, bool first) {
    ColumnField field;
    if (!s.empty() && s.front() == '+') {
        if (!first) return std::nullopt;  // the image number leads the record
        field.imagePrefix = true;
        s = textkit::trim(s.substr(1));
    }
    if (s.empty()) return std::nullopt;
    field.letter = static_cast<char>(std::tolower(static_cast<unsigned char>(s.front())));
    s.remove_prefix(1);
    if (!s.empty()) {
        const auto width = readCount(s);
        if (!width) return std::nullopt;
        field.width = *width;
        if (!s.empty() && s.front() == '.') {
            s.remove_prefix(1);
            field.decimals = readCount(s);
            if (!field.decimals) return std::nullopt;
        }
    }
    if (!s.empty()) return std::nullopt;
    const bool sized = field.letter == 'a' || field.letter == 'x';
    if (sized && field.width < 1) return std::nullopt;
    if (field.letter == 't' && (field.width != 0 || field.decimals)) return std::nullopt;
    field.bytes = bytesOf(field.letter, field.width);
    if (field.bytes == 0) return std::nullopt;
    return field;
}

// ---- Writing -----------------------------------------------------------------

std::string fitted(std::string text, int width) {
    if (width <= 0) return text;
    if (static_cast<int>(text.size()) > width) return std::string(static_cast<std::size_t>(width), '*');
    return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

std::string writeInteger(std::int64_t value, int width, std::optional<int> minDigits) {
    // With a minimum of 0 digits, zero is shown as nothing at all.
    if (minDigits && *minDigits == 0 && value == 0) return std::string(static_cast<std::size_t>(width), ' ');
    const std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    if (minDigits && static_cast<int>(digits.size()) < *minDigits) {
        digits.insert(0, static_cast<std::size_t>(*minDigits) - digits.size(), '0');
    }
    return fitted((value < 0 ? "-" : "") + digits, width);
}

std::optional<std::string> nonFinite(double value, int width) {
    if (std::isnan(value)) return fitted("NaN", width);
    if (!std::isinf(value)) return std::nullopt;
    const std::string sign = value < 0 ? "-" : "";
    const std::string full = sign + "Infinity";
    if (width <= 0 || static_cast<int>(full.size()) <= width) return fitted(full, width);
    return fitted(sign + "Inf", width);
}

// A leading "0" before the point is shown only when the width has room.
std::string dropLeadingZeroIfNeeded(std::string body, const std::string& sign, int width) {
    if (width > 0 && static_cast<int>(sign.size() + body.size()) > width && body.size() > 1 &&
        body[0] == '0' && body[1] == '.') {
        body.erase(0, 1);
    }
    return sign + body;
}

std::string writeFixed(double value, int width, int decimals) {
    if (auto special = nonFinite(value, width)) return *special;
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, std::fabs(value));
    std::string body = buffer;
    if (decimals == 0) body += '.';  // the point is always written
    return fitted(dropLeadingZeroIfNeeded(body, value < 0 ? "-" : "", width), width);
}

// 0.ddddE+xx: d significant digits after the point; an exponent beyond two
// digits drops its letter, beyond three the value does not fit.
std::string writeExponent(double value, int width, int decimals, char letter) {
    if (auto special = nonFinite(value, width)) return *special;
    const int digits = std::max(decimals, 1);
    std::string mantissa(static_cast<std::size_t>(digits), '0');
    int exponent = 0;
    if (value != 0) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, std::fabs(value));
        const char* e = std::strchr(buffer, 'e');
        mantissa.clear();
        for (const char* p = buffer; p < e; ++p) {
            if (*p != '.') mantissa += *p;
        }
        exponent = std::atoi(e + 1) + 1;
    }
    char expText[16];
    const int magnitude = std::abs(exponent);
    if (magnitude <= 99) {
        std::snprintf(expText, sizeof expText, "%c%c%02d", letter, exponent < 0 ? '-' : '+', magnitude);
    } else if (magnitude <= 999) {
        std::snprintf(expText, sizeof expText, "%c%03d", exponent < 0 ? '-' : '+', magnitude);
    } else {
        return std::string(static_cast<std::size_t>(std::max(width, 1)), '*');
    }
    const std::string body = "0." + mantissa.substr(0, static_cast<std::size_t>(decimals)) + expText;
    return fitted(dropLeadingZeroIfNeeded(body, value < 0 ? "-" : "", width), width);
}

// Fixed form when the value, rounded to d significant digits, lies in
// [0.1, 10^d), with four blanks where the exponent would stand; else
// exponent form.
std::string writeGeneral(double value, int width, int decimals, char letter) {
    if (auto special = nonFinite(value, width)) return *special;
    const int digits = std::max(decimals, 1);
    int magnitude = 1;  // k with 10^(k-1) <= |value| < 10^k, after rounding
    if (value != 0) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, std::fabs(value));
        magnitude = std::atoi(std::strchr(buffer, 'e') + 1) + 1;
    }
    if (magnitude < 0 || magnitude > digits) return writeExponent(value, width, decimals, letter);
    const std::string blanks = width > 0 ? "    " : "";
    const int fixedWidth = width > 0 ? std::max(width - 4, 1) : 0;
    return writeFixed(value, fixedWidth, digits - magnitude) + blanks;
}

template <class T>
T load(const std::byte* at) {
    T value{};
    std::memcpy(&value, at, sizeof(T));
    return value;
}
template <class T>
void store(std::byte* at, T value) {
    std::memcpy(at, &value, sizeof(T));
}

// ---- Reading -----------------------------------------------------------------

// What an input field holds: the first `width` characters (all of it for
// width 0), blanks inside removed; a blank field reads as zero.
std::string numberText(const ColumnField& field, std::string_view text) {
    if (field.width > 0 && static_cast<int>(text.size()) > field.width) {
        text = text.substr(0, static_cast<std::size_t>(field.width));
    }
    std::string compact;
    for (char c : text) {
        if (c != ' ') compact += c;
    }
    return compact.empty() ? "0" : compact;
}

std::optional<std::int64_t> readInteger(const std::string& s) {
    std::size_t at = s[0] == '+' || s[0] == '-' ? 1 : 0;
    if (at == s.size()) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(s.data() + at, s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return s[0] == '-' ? -value : value;
}

// [sign] digits [. digits] [exponent], where the exponent is a letter E or D
// with an optional sign, or a bare sign; without a point, the last `decimals`
// digits are the fraction.
std::optional<double> readReal(std::string s, std::optional<int> decimals) {
    for (const char* word : {"Infinity", "Inf", "NaN"}) {
        for (const char* sign : {"", "+", "-"}) {
            if (s == std::string(sign) + word) {
                const double v = word[0] == 'N' ? std::numeric_limits<double>::quiet_NaN()
                                                : std::numeric_limits<double>::infinity();
                return sign[0] == '-' ? -v : v;
            }
        }
    }
    std::size_t i = 0;
    std::string mantissa;
    if (s[i] == '+' || s[i] == '-') mantissa += s[i++];
    bool digits = false, point = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits = true;
            mantissa += c;
        } else if (c == '.' && !point) {
            point = true;
            mantissa += c;
        } else {
            break;
        }
    }
    if (!digits) return std::nullopt;
    std::string exponent;
    if (i < s.size()) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
        if (c == 'E' || c == 'D') ++i;
        else if (c != '+' && c != '-') return std::nullopt;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) exponent += s[i++];
        const std::size_t first = i;
        for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) exponent += s[i];
        if (i == first || i != s.size()) return std::nullopt;
    }
    // One conversion of the whole number, so that it rounds only once.
    int scale = exponent.empty() ? 0 : std::atoi(exponent.c_str());
    if (!point && decimals && exponent.empty()) scale = -*decimals;
    return std::strtod((mantissa + "e" + std::to_string(scale)).c_str(), nullptr);
}

std::optional<SYSTEMTIME> readDateTime(std::string_view text) {
    const std::string_view s = textkit::trim(text);
    SYSTEMTIME t{};
    if (s.empty()) return t;
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char tail = 0;
    const std::string copy(s);
    if (std::sscanf(copy.c_str(), "%4u-%2u-%2u %2u:%2u:%2u%c", &year, &month, &day, &hour, &minute,
                    &second, &tail) != 6) {
        return std::nullopt;
    }
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    // The round trip through a file time checks the date and fills in the
    // day of the week.
    FILETIME file{};
    if (!SystemTimeToFileTime(&t, &file) || !FileTimeToSystemTime(&file, &t)) return std::nullopt;
    return t;
}

}  // namespace

SortType ColumnField::sortType() const {
    switch (letter) {
        case 'i': case 'j': case 'k': case 'n': return SortType::Integer;
        case 'f': case 'e': case 'g': case 'd': return SortType::Real;
        case 'a': return SortType::Text;
        case 't': return SortType::Date;
        default: return SortType::None;
    }
}

std::vector<const ColumnField*> ColumnFormat::columns() const {
    std::vector<const ColumnField*> shown;
    for (const ColumnField& f : fields) {
        if (f.producesColumn()) shown.push_back(&f);
    }
    return shown;
}

std::optional<int> ColumnFormat::imageOffset() const {
    if (fields.empty() || !fields.front().imagePrefix) return std::nullopt;
    return fields.front().offset - 4;
}

std::optional<ColumnFormat> readColumnFormat(std::string_view text) {
    std::string_view s = textkit::trim(text);
    if (s.size() < 2 || s.front() != '(' || s.back() != ')') return std::nullopt;
    s = s.substr(1, s.size() - 2);
    ColumnFormat format;
    int offset = 0;
    while (!s.empty() || format.fields.empty()) {
        const std::size_t comma = s.find(',');
        const std::string_view piece = textkit::trim(s.substr(0, comma));
        auto field = readDescriptor(piece, format.fields.empty());
        if (!field) return std::nullopt;
        if (field->imagePrefix) offset += 4;
        field->offset = offset;
        offset += field->bytes;
        format.fields.push_back(*field);
        if (comma == std::string_view::npos) break;
        s.remove_prefix(comma + 1);
        if (textkit::trim(s).empty()) return std::nullopt;  // a comma with nothing after it
    }
    format.recordBytes = offset;
    return format;
}

int compareShown(SortType type, std::string_view first, std::string_view second) {
    auto sign = [](auto a, auto b) { return a < b ? -1 : (b < a ? 1 : 0); };
    auto plain = [&](std::string_view a, std::string_view b) {
        a = textkit::trim(a);
        b = textkit::trim(b);
        return sign(a, b);
    };
    if (type == SortType::Integer || type == SortType::Real) {
        ColumnField any;  // no width: the whole text; no decimals: no implied point
        const std::string a = numberText(any, first), b = numberText(any, second);
        if (type == SortType::Integer) {
            const auto x = readInteger(a), y = readInteger(b);
            if (x && y) return sign(*x, *y);
            if (x || y) return x ? 1 : -1;
        } else {
            const auto x = readReal(a, std::nullopt), y = readReal(b, std::nullopt);
            if (x && y && !std::isnan(*x) && !std::isnan(*y)) return sign(*x, *y);
            const bool xr = x && !std::isnan(*x), yr = y && !std::isnan(*y);
            if (xr || yr) return xr ? 1 : -1;
        }
        return plain(first, second);
    }
    if (type == SortType::Text) {
        first = textkit::trim(first);
        second = textkit::trim(second);
        const std::size_t n = std::min(first.size(), second.size());
        for (std::size_t i = 0; i < n; ++i) {
            const int a = std::toupper(static_cast<unsigned char>(first[i]));
            const int b = std::toupper(static_cast<unsigned char>(second[i]));
            if (a != b) return a < b ? -1 : 1;
        }
        return sign(first.size(), second.size());
    }
    return plain(first, second);
}

std::string PXDATETIME(const SYSTEMTIME& t) {
    if (t.wYear == 0 && t.wMonth == 0 && t.wDay == 0) return {};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay,
                  t.wHour, t.wMinute, t.wSecond);
    return buffer;
}

std::string formatField(const ColumnField& field, const std::byte* record) {
    const std::byte* at = record + field.offset;
    const int w = field.width;
    const int d = field.decimals.value_or(0);
    std::string shown;
    switch (field.letter) {
        case 'i': shown = writeInteger(load<std::int32_t>(at), w, field.decimals); break;
        case 'j': shown = writeInteger(load<std::int16_t>(at), w, field.decimals); break;
        case 'k': shown = writeInteger(load<std::int8_t>(at), w, field.decimals); break;
        case 'n': shown = writeInteger(load<std::int64_t>(at), w, field.decimals); break;
        case 'f': shown = writeFixed(load<float>(at), w, d); break;
        case 'e': shown = writeExponent(load<float>(at), w, d, 'E'); break;
        case 'g': shown = writeGeneral(load<double>(at), w, d, 'E'); break;
        case 'd': shown = writeExponent(load<double>(at), w, d, 'D'); break;
        case 'a': {
            std::string_view chars(reinterpret_cast<const char*>(at), static_cast<std::size_t>(w));
            chars = chars.substr(0, std::min(chars.find('\0'), chars.size()));
            shown = textkit::trimRight(chars);
            break;
        }
        case 't': shown = PXDATETIME(load<SYSTEMTIME>(at)); break;
        default: break;
    }
    if (shown.size() > kMaxShown) shown.resize(kMaxShown);
    return shown;
}

bool readField(const ColumnField& field, std::string_view text, std::byte* record) {
    std::byte* at = record + field.offset;
    switch (field.letter) {
        case 'i': case 'j': case 'k': case 'n': {
            const auto value = readInteger(numberText(field, text));
            if (!value) return false;
            auto inRange = [&](auto probe) {
                using T = decltype(probe);
                return *value >= std::numeric_limits<T>::min() && *value <= std::numeric_limits<T>::max();
            };
            switch (field.letter) {
                case 'i': if (!inRange(std::int32_t{})) return false; store(at, static_cast<std::int32_t>(*value)); break;
                case 'j': if (!inRange(std::int16_t{})) return false; store(at, static_cast<std::int16_t>(*value)); break;
                case 'k': if (!inRange(std::int8_t{})) return false; store(at, static_cast<std::int8_t>(*value)); break;
                default: store(at, *value); break;
            }
            return true;
        }
        case 'f': case 'e': case 'g': case 'd': {
            const auto value = readReal(numberText(field, text), field.decimals);
            if (!value) return false;
            if (field.bytes == 4) store(at, static_cast<float>(*value));
            else store(at, *value);
            return true;
        }
        case 'a': {
            const std::size_t n = std::min(text.size(), static_cast<std::size_t>(field.width));
            std::memcpy(at, text.data(), n);
            std::memset(at + n, ' ', static_cast<std::size_t>(field.width) - n);
            return true;
        }
        case 't': {
            const auto time = readDateTime(text);
            if (!time) return false;
            store(at, *time);
            return true;
        }
        default: return true;  // skipped bytes stay as they are
    }
}
