// The parameter list file: one line per parameter, "*" for a factor-only
// entry, then NAME=EXPRESSION !COMMENT. Reading is lenient so that files can
// be written by hand; it merges into the table (known names are edited in
// place, new ones appended) and evaluates every line as it goes.
#include <algorithm>
#include <array>
#include <cstring>
#include <istream>
#include <ostream>
#include <string>

#include "EngineState.h"
#include "Seams.h"
#include "Wflextra.h"
#include "Text.h"

namespace {

constexpr std::size_t kLineLength = 256;  // characters of a line that are read
constexpr std::size_t kPieceLength = 80;  // name part, expression and comment

// Notepad and many other editors begin a file with the UTF-8 byte-order
// mark. It is no part of the first line: left in, it would become part of
// the first name, which then could never be found.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Reads one line, keeping its first 256 characters and blank-padding the
// rest. A line ends at LF, CR LF or a lone CR; the last one needs no end.
// Returns false at the end of the input (or on a read error) when no
// character was read. The characters come straight from the stream's
// buffer; the stream's state ends as reading it a character at a time with
// get() and peek() would leave it. A line that begins with all of `skip`
// loses those characters; one that begins with only a part keeps them.
bool readLine(std::istream& in, std::array<char, kLineLength>& line, std::string_view skip = {}) {
    using Traits = std::istream::traits_type;
    line.fill(' ');
    const std::istream::sentry ready(in, true);
    if (!ready) return false;
    std::streambuf& buffer = *in.rdbuf();
    std::size_t length = 0;
    bool any = false;
    std::size_t skipped = 0;  // characters of `skip` matched so far
    bool skipping = !skip.empty();
    auto keep = [&](char c) {
        if (length < line.size()) line[length++] = c;
    };
    auto keepPartialSkip = [&]() {
        if (skipping) {
            for (std::size_t i = 0; i < skipped; ++i) keep(skip[i]);
            skipping = false;
        }
    };
    try {
        for (;;) {
            const Traits::int_type c = buffer.sbumpc();
            if (Traits::eq_int_type(c, Traits::eof())) {
                keepPartialSkip();
                in.setstate(std::ios::eofbit | std::ios::failbit);
                return any;
            }
            any = true;
            if (skipping && Traits::to_char_type(c) == skip[skipped]) {
                if (++skipped == skip.size()) skipping = false;
                continue;
            }
            keepPartialSkip();
            if (c == '\n') return true;
            if (c == '\r') {
                const Traits::int_type next = buffer.sgetc();
                if (Traits::eq_int_type(next, Traits::eof())) {
                    in.setstate(std::ios::eofbit);
                } else if (next == '\n') {
                    buffer.sbumpc();
                }
                return true;
            }
            keep(Traits::to_char_type(c));
        }
    } catch (const std::ios_base::failure&) {
        throw;  // the stream asked for exceptions on its own state
    } catch (...) {
        // A failing buffer makes the stream bad, as it would inside get().
        in.setstate(std::ios::badbit);
        return false;
    }
}

void applyLine(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0) return;
    // A "!" before the first "=" makes the whole line a comment.
    const std::size_t bang = line.find('!');
    if (bang < equals) return;

    std::string namePart(line.substr(0, equals));
    namePart = textkit::trimLeft(namePart);
    if (namePart.size() > kPieceLength) namePart.resize(kPieceLength);
    const bool factorOnly = !namePart.empty() && namePart[0] == '*';
    if (factorOnly) namePart[0] = ' ';
    // The whole squeezed name is kept: one too long for the table is
    // rejected with a warning rather than cut into another name.
    const std::string name(textkit::trimRight(XSQUEEZE(namePart)));
    if (name.empty()) return;

    const std::string_view rest = line.substr(equals + 1);
    const std::size_t j = rest.find('!');
    if (j == 0) return;
    const std::string_view expression = rest.substr(0, std::min(j, kPieceLength));
    const std::string_view comment =
        j == std::string_view::npos ? std::string_view{} : rest.substr(j + 1).substr(0, kPieceLength);
    if (textkit::trimRight(expression).empty()) return;

    int index = 0;
    XPARAMFIND(name, index);
    if (index != 0) {
        XPARAMEDIT(name, expression, comment, factorOnly);
    } else {
        XPARAMNEW(name, expression, comment, factorOnly);
    }
}

}  // namespace

void XPARAMWRITE(std::ostream& out) {
    // Each line is put together in place: "*" for a factor-only entry, the
    // name, "=", the expression, " !" and the comment, each without its
    // trailing blanks (the line is at most 1 + 16 + 1 + 64 + 2 + 64 long).
    const EngineState& st = engineState();
    try {
        for (int i = 1; i <= st.paramCount && out; ++i) {
            const XPARAM& p = st.params[static_cast<size_t>(i - 1)];
            char line[160];
            std::size_t length = 0;
            auto put = [&](std::string_view piece) {
                std::memcpy(line + length, piece.data(), piece.size());
                length += piece.size();
            };
            if (p.factorOnly) put("*");
            put(p.name.view());
            put("=");
            put(p.expression.view());
            length = textkit::trimRight(std::string_view(line, length)).size();
            put(" !");
            put(p.comment.view());
            out << textkit::trimRight(std::string_view(line, length)) << '\n';
        }
    } catch (...) {
        // A failed write ends the writing; what was written stays.
    }
}

namespace {

constexpr int kFaultyLinesShown = 10;

// Stands between one read and the user. A file that is not a parameter
// list, or one with thousands of faulty lines, would otherwise show one
// modal report per line, with no way out but to end the program. The
// reports of the first ten faulty lines pass as they always did; the lines
// after them are read all the same, their faults counted, not shown.
// Questions always pass: they need their answer.
class FaultLimiter final : public ExpressionErrorPresenter, public NoticeSink {
public:
    FaultLimiter()
        : presenter_(expressionErrorPresenter()), notices_(noticeSink()),
          oldPresenter_(setExpressionErrorPresenter(this)), oldNotices_(setNoticeSink(this)) {}
    ~FaultLimiter() override {
        setExpressionErrorPresenter(oldPresenter_);
        setNoticeSink(oldNotices_);
    }
    FaultLimiter(const FaultLimiter&) = delete;
    FaultLimiter& operator=(const FaultLimiter&) = delete;

    void endLine() {
        if (lineFaulty_) ++faultyLines_;
        lineFaulty_ = false;
    }
    int hiddenLines() const { return std::max(0, faultyLines_ - kFaultyLinesShown); }
    int faultyLines() const { return faultyLines_; }

    void present(const ExpressionErrorReport& report) override {
        if (fault()) presenter_.present(report);
    }
    void warn(std::string_view c, std::string_view t) override {
        if (fault()) notices_.warn(c, t);
    }
    void info(std::string_view c, std::string_view t) override {
        if (fault()) notices_.info(c, t);
    }
    void stop(std::string_view c, std::string_view t) override {
        if (fault()) notices_.stop(c, t);
    }
    bool ask(std::string_view c, std::string_view t) override { return notices_.ask(c, t); }

private:
    // Marks the current line faulty; true while its reports are shown.
    bool fault() {
        lineFaulty_ = true;
        return faultyLines_ < kFaultyLinesShown;
    }
    ExpressionErrorPresenter& presenter_;
    NoticeSink& notices_;
    ExpressionErrorPresenter* oldPresenter_;
    NoticeSink* oldNotices_;
    int faultyLines_ = 0;
    bool lineFaulty_ = false;
};

// 1234567 as "1 234 567".
std::string groupedCount(int n) {
    std::string digits = std::to_string(n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), " ");
    return digits;
}

}  // namespace

void XPARAMREAD(std::istream& in, std::optional<bool> quiet, std::string_view source) {
    readParameterLines(in, quiet, source);
}

int readParameterLines(std::istream& in, std::optional<bool> quiet, std::string_view source) {
    EngineState& st = engineState();
    const bool remembered = st.quiet;
    if (quiet) st.quiet = *quiet;
    int hidden = 0;
    int faulty = 0;
    try {
        FaultLimiter limiter;
        std::array<char, kLineLength> line{};
        bool first = true;
        while (readLine(in, line, first ? kByteOrderMark : std::string_view{})) {
            first = false;
            applyLine(std::string_view(line.data(), line.size()));
            limiter.endLine();
        }
        hidden = limiter.hiddenLines();
        faulty = limiter.faultyLines();
    } catch (...) {
        // A read error ends the reading like the end of the file.
    }
    st.quiet = remembered;
    if (hidden > 0) {
        try {
            const std::string of = source.empty() ? "" : " of \"" + std::string(source) + "\"";
            noticeSink().warn("READ WARNINGS", groupedCount(hidden) + (hidden == 1 ? " more line" : " more lines") + of +
                                                   (hidden == 1 ? " had faults; it was" : " had faults; they were") +
                                                   " read as the first ones were.");
        } catch (...) {
            // Without memory for the text there is nothing more to say.
        }
    }
    return faulty;
}
