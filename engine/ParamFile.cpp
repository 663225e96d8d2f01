// The parameter list file: one line per parameter, "*" for a factor-only
// entry, then NAME=EXPRESSION !COMMENT. Reading is lenient so that files can
// be written by hand; it merges into the table (known names are edited in
// place, new ones appended) and evaluates every line as it goes.
#include <array>
#include <cstring>
#include <istream>
#include <ostream>
#include <string>

#include "EngineState.h"
#include "Wflextra.h"

namespace {

constexpr std::size_t kLineLength = 256;  // characters of a line that are read
constexpr std::size_t kPieceLength = 80;  // name part, expression and comment

std::string_view trimRight(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return s.substr(0, n);
}

// Reads one line, keeping its first 256 characters and blank-padding the
// rest. A line ends at LF, CR LF or a lone CR; the last one needs no end.
// Returns false at the end of the input (or on a read error) when no
// character was read. The characters come straight from the stream's
// buffer; the stream's state ends as reading it a character at a time with
// get() and peek() would leave it.
bool readLine(std::istream& in, std::array<char, kLineLength>& line) {
    using Traits = std::istream::traits_type;
    line.fill(' ');
    const std::istream::sentry ready(in, true);
    if (!ready) return false;
    std::streambuf& buffer = *in.rdbuf();
    std::size_t length = 0;
    bool any = false;
    try {
        for (;;) {
            const Traits::int_type c = buffer.sbumpc();
            if (Traits::eq_int_type(c, Traits::eof())) {
                in.setstate(std::ios::eofbit | std::ios::failbit);
                return any;
            }
            any = true;
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
            if (length < line.size()) line[length++] = Traits::to_char_type(c);
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
    namePart.erase(0, std::min(namePart.find_first_not_of(' '), namePart.size()));
    if (namePart.size() > kPieceLength) namePart.resize(kPieceLength);
    const bool factorOnly = !namePart.empty() && namePart[0] == '*';
    if (factorOnly) namePart[0] = ' ';
    // The whole squeezed name is kept: one too long for the table is
    // rejected with a warning rather than cut into another name.
    const std::string name(trimRight(XSQUEEZE(namePart)));
    if (name.empty()) return;

    const std::string_view rest = line.substr(equals + 1);
    const std::size_t j = rest.find('!');
    if (j == 0) return;
    const std::string_view expression = rest.substr(0, std::min(j, kPieceLength));
    const std::string_view comment =
        j == std::string_view::npos ? std::string_view{} : rest.substr(j + 1).substr(0, kPieceLength);
    if (trimRight(expression).empty()) return;

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
            length = trimRight(std::string_view(line, length)).size();
            put(" !");
            put(p.comment.view());
            out << trimRight(std::string_view(line, length)) << '\n';
        }
    } catch (...) {
        // A failed write ends the writing; what was written stays.
    }
}

void XPARAMREAD(std::istream& in, std::optional<bool> quiet) {
    EngineState& st = engineState();
    const bool remembered = st.quiet;
    if (quiet) st.quiet = *quiet;
    try {
        std::array<char, kLineLength> line{};
        while (readLine(in, line)) applyLine(std::string_view(line.data(), line.size()));
    } catch (...) {
        // A read error ends the reading like the end of the file.
    }
    st.quiet = remembered;
}
