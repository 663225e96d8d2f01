#include "CalcOutput.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "Format.h"
#include "XExpression.h"

namespace {

std::string trimLeft(std::string s) {
    const std::size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first);
}

std::string trimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

}  // namespace

std::string calcTextLines(const CalcResult& r) {
    if (!r.ok) return {};
    std::string out;
    if (r.realOk) {
        out += "Real Result = " + trimLeft(formatResultNumber(r.real)) + "\n";
    } else {
        out += "NO REAL RESULT\n";
    }
    out += "Complex Result = " + formatComplexResult(r.value) + "\n";
    return out;
}

std::string jsonString(std::string_view s) {
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
                if (u < 0x20 || u >= 0x7F) {
                    // Bytes of the single-byte code page, not UTF-8: give each
                    // as its own code point so the output stays valid JSON.
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", u);
                    out += buf;
                } else {
                    out += c;
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

std::string calcListing() {
    // The list page's columns: sequence, name, current value (or **ERROR**),
    // factor-only mark, expression and comment, each as wide as its widest
    // entry so the columns line up.
    std::vector<std::vector<std::string>> rows;
    rows.push_back({"Seq.", "Parameter", "Currently", "Factor", "Expression", "Comments"});
    XPARAMQUIET(true);  // evaluation errors show as **ERROR**, not as reports
    const int count = XPARAMCOUNT();
    for (int i = 1; i <= count; ++i) {
        std::string name, expression, comment;
        bool factor = false;
        XPARAMFETCH(i, &name, &expression, &comment, &factor);
        XVALUE v;
        std::string current;
        if (!XPARAMGET(i, v, true)) {
            current = "**ERROR**";
        } else if (!v.isReal) {
            current = formatComplexResult(v.value);
        } else {
            current = trimLeft(formatResultNumber(v.realValue));
        }
        rows.push_back({std::to_string(i), name, current, factor ? "Yes" : "", expression, comment});
    }
    XPARAMQUIET(false);

    std::vector<std::size_t> widths(rows[0].size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
    }
    std::string out;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            std::string cell = row[c];
            if (c == 0) cell.insert(0, widths[0] - cell.size(), ' ');  // numbers to the right
            else cell.resize(widths[c], ' ');
            line += (c == 0 ? "" : "  ") + cell;
        }
        out += trimRight(line) + "\n";
    }
    return out;
}
