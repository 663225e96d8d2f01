#include "CalcOutput.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "Format.h"
#include "XExpression.h"
#include "Text.h"

std::string calcTextLines(const CalcResult& r) {
    if (!r.ok) return {};
    const ResultLines lines = formatResultLines(r.realOk ? std::optional<double>(r.real) : std::nullopt, r.value);
    std::string out = lines.realLabel;
    if (!lines.realValue.empty()) out += " " + lines.realValue;
    return out + "\n" + lines.complexLabel + " " + lines.complexValue + "\n";
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
