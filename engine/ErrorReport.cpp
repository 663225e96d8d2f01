// The expression error report, portable half: the marker line that goes
// under the user's line, and the hand-over to the installed presenter.
#include <algorithm>

#include "EngineState.h"
#include "Seams.h"
#include "Text.h"
#include "Unicode.h"
#include "WflStrings.h"

std::string_view buildMarkerLine(const FixedText<64>& display, FixedText<64>& marker, int first, int last) {
    marker = "";
    const int length = static_cast<int>(display.length());
    if (first > 0) {
        // Carets under FIRST..LAST; a LAST before FIRST runs to the end of the line.
        const int to = std::min(last >= first ? last : length, kFieldLength);
        for (int j = first; j <= to; ++j) marker[static_cast<size_t>(j - 1)] = '^';
    } else if (first < 0) {
        // The nesting depth under every bracket, one character wide: "1" for
        // 10 to 19, "0" for a bracket that closes nothing, "-" below that.
        int depth = 0;
        for (int j = 1; j <= length; ++j) {
            const char c = display[static_cast<size_t>(j - 1)];
            const bool opens = c == '(' || c == '[' || c == '{';
            const bool closes = c == ')' || c == ']' || c == '}';
            if (opens) ++depth;
            if (opens || closes) marker[static_cast<size_t>(j - 1)] = PXISTRING(depth)[0];
            if (closes) --depth;
        }
    }
    return marker.view();
}

namespace {

// The marker line as the eye reads it under the display line: one column
// per character, where a character of several bytes in UTF-8 takes one
// column on screen but several columns of the engine's line.
std::string markerUnderCharacters(std::string_view display, std::string_view marker) {
    std::string shown;
    std::size_t i = 0;
    while (i < marker.size()) {
        const utf8::Character c = i < display.size() ? utf8::multiByteAt(display, i) : utf8::Character{};
        const std::size_t width = c.length == 0 ? 1 : c.length;
        const std::string_view under = marker.substr(i, width);
        const std::size_t mark = under.find_first_not_of(' ');
        shown += mark == std::string_view::npos ? ' ' : under[mark];
        i += width;
    }
    return std::string(textkit::trimRight(shown));
}

}  // namespace

int PXNWHINE(EngineState& st, std::string_view message, int first, int last) {
    if (st.quiet) return 0;
    try {
        ExpressionErrorReport report;
        report.message = std::string(message);
        report.first = first;
        report.last = last;
        report.display = st.display.str();
        report.marker = markerUnderCharacters(report.display, buildMarkerLine(st.display, st.marker, first, last));
        expressionErrorPresenter(st).present(report);
    } catch (...) {
        // Neither a presenter's failure nor a lack of memory may unwind
        // through the evaluation; the caller fails as it would anyway.
    }
    return 0;
}
