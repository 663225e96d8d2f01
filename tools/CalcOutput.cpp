#include "CalcOutput.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "Format.h"
#include "XExpression.h"
#include "Text.h"

std::string calcTextLines(const CalcResult& r, const DisplayFormat& format) {
    if (!r.ok) return {};
    const ResultLines lines =
        formatResultLines(r.realOk ? std::optional<double>(r.real) : std::nullopt, r.value, format);
    std::string out = lines.realLabel;
    if (!lines.realValue.empty()) out += " " + lines.realValue;
    return out + "\n" + lines.complexLabel + " " + lines.complexValue + "\n";
}

namespace {

// Whether S is well-formed UTF-8: no stray continuation byte, no sequence
// cut short, none longer than it needs (overlong), no surrogate, nothing
// past U+10FFFF.
bool wellFormedUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        char32_t c = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            n = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            n = 2;
            c = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            n = 3;
            c = b & 0x07;
        } else {
            return false;
        }
        for (std::size_t k = 1; k <= n; ++k) {
            if (i + k >= s.size()) return false;
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            c = (c << 6) | (t & 0x3F);
        }
        const char32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (c < least[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += n + 1;
    }
    return true;
}

// A character as UTF-8.
void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The characters of the Windows code page 1252 at 0x80..0x9F; the five
// places it leaves empty keep their own number, as Windows maps them.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// How many characters S shows: UTF-8 counts a character for each of its
// sequences, text in the code page one a byte.
std::size_t shownWidth(std::string_view s) {
    if (!wellFormedUtf8(s)) return s.size();
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

std::string jsonString(std::string_view s) {
    // Text comes as the user's file or terminal had it: UTF-8, or bytes of
    // the Windows code page. JSON is UTF-8, so the second kind is decoded
    // (a string that is not well-formed UTF-8 is taken as Windows-1252).
    const bool utf8 = wellFormedUtf8(s);
    std::string out = "\"";
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (u < 0x20 || u == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", u);
                    out += buf;
                } else if (u < 0x80 || utf8) {
                    out += c;
                } else {
                    appendUtf8(out, u < 0xA0 ? kWindows1252High[u - 0x80] : char32_t{u});
                }
        }
    }
    return out + "\"";
}

std::string calcJson(const CalcResult& r) {
    std::string out = "{\"expr\":" + jsonString(r.expr);
    out += ",\"ok\":" + std::string(r.ok ? "true" : "false");
    out += ",\"re\":" + (r.ok ? formatJsonNumber(r.value.real()) : "null");
    out += ",\"im\":" + (r.ok ? formatJsonNumber(r.value.imag()) : "null");
    out += ",\"is_real\":" + std::string(r.ok && r.isReal ? "true" : "false");
    out += ",\"real\":" + (r.realOk ? formatJsonNumber(r.real) : "null");
    out += ",\"real_ok\":" + std::string(r.realOk ? "true" : "false");
    out += ",\"error\":";
    if (r.error) {
        out += "{\"message\":" + jsonString(r.error->message);
        out += ",\"first\":" + std::to_string(r.error->first);
        out += ",\"last\":" + std::to_string(r.error->last);
        out += ",\"display\":" + jsonString(r.error->display);
        out += ",\"marker\":" + jsonString(r.error->marker) + "}";
    } else {
        out += "null";
    }
    out += ",\"notices\":[";
    for (std::size_t i = 0; i < r.notices.size(); ++i) {
        if (i > 0) out += ",";
        out += "{\"caption\":" + jsonString(r.notices[i].caption) +
               ",\"text\":" + jsonString(r.notices[i].text) + "}";
    }
    return out + "]}";
}

namespace {

// One entry of the table as both listings show it.
struct ListedParameter {
    int sequence = 0;
    std::string name, expression, comment;
    bool factorOnly = false;
    bool ok = false;  // evaluated; otherwise it shows as **ERROR**
    XVALUE value;
};

std::vector<ListedParameter> listedParameters() {
    std::vector<ListedParameter> out;
    XPARAMQUIET(true);  // evaluation errors show as **ERROR**, not as reports
    const int count = XPARAMCOUNT();
    for (int i = 1; i <= count; ++i) {
        ListedParameter p;
        p.sequence = i;
        XPARAMFETCH(i, &p.name, &p.expression, &p.comment, &p.factorOnly);
        p.ok = XPARAMGET(i, p.value, true);
        out.push_back(std::move(p));
    }
    XPARAMQUIET(false);
    return out;
}

}  // namespace

std::string calcListing() {
    // The list page's columns: sequence, name, current value (or **ERROR**),
    // factor-only mark, expression and comment, each as wide as its widest
    // entry so the columns line up.
    std::vector<std::vector<std::string>> rows;
    rows.push_back({"Seq.", "Parameter", "Currently", "Factor", "Expression", "Comments"});
    for (const ListedParameter& p : listedParameters()) {
        const std::string current =
            p.ok ? formatShownValue(p.value.isReal, p.value.realValue, p.value.value) : "**ERROR**";
        rows.push_back({std::to_string(p.sequence), p.name, current, p.factorOnly ? "Yes" : "", p.expression,
                        p.comment});
    }

    std::vector<std::size_t> widths(rows[0].size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], shownWidth(row[c]));
    }
    std::string out;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            std::string cell = row[c];
            const std::size_t pad = widths[c] - shownWidth(cell);
            if (c == 0) cell.insert(0, pad, ' ');  // numbers to the right
            else cell.append(pad, ' ');
            line += (c == 0 ? "" : "  ") + cell;
        }
        out += textkit::trimmedRight(line) + "\n";
    }
    return out;
}

std::string calcListingJson() {
    std::string out = "{\"parameters\":[";
    bool first = true;
    for (const ListedParameter& p : listedParameters()) {
        if (!first) out += ",";
        first = false;
        out += "{\"seq\":" + std::to_string(p.sequence);
        out += ",\"name\":" + jsonString(p.name);
        out += ",\"re\":" + (p.ok ? formatJsonNumber(p.value.value.real()) : "null");
        out += ",\"im\":" + (p.ok ? formatJsonNumber(p.value.value.imag()) : "null");
        out += ",\"is_real\":" + std::string(p.ok && p.value.isReal ? "true" : "false");
        out += ",\"real\":" + (p.ok && p.value.isReal ? formatJsonNumber(p.value.realValue) : "null");
        out += ",\"factor_only\":" + std::string(p.factorOnly ? "true" : "false");
        out += ",\"expression\":" + jsonString(p.expression);
        out += ",\"comment\":" + jsonString(p.comment);
        out += ",\"error\":" + std::string(p.ok ? "false" : "true") + "}";
    }
    return out + "]}";
}
