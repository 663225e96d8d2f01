// The parameter list file: one line per parameter, "*" for a factor-only
// entry, then NAME=EXPRESSION !COMMENT. Reading is lenient so that files can
// be written by hand; it merges into the table (known names are edited in
// place, new ones appended) and evaluates every line as it goes.
#include <algorithm>
#include <array>
#include <cstring>
#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "EngineState.h"
#include "ParamListFile.h"
#include "Seams.h"
#include "Text.h"
#include "Unicode.h"

namespace {

constexpr std::size_t kLineLength = 256;  // characters of a line that are read
constexpr std::size_t kPieceLength = 80;    // name part and expression
constexpr std::size_t kCommentLength = 64;  // what the table keeps of a comment

// Notepad and many other editors begin a file with the UTF-8 byte-order
// mark. It is no part of the first line: left in, it would become part of
// the first name, which then could never be found.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The lines of a stream. A line ends at LF, CR LF or a lone CR, the last
// one needs no end, and only its first 256 characters are kept. The
// characters come from the stream's buffer a block at a time, since the
// reader reads to the end anyway; the lines found and the state the stream
// is left in are those of reading a character at a time with get() and
// peek().
class LineReader {
public:
    explicit LineReader(std::istream& in) : in_(in) {}

    // The next line, or false at the end of the input (or on a read error)
    // when no character was read. A line that begins with all of `skip`
    // loses those characters; one that begins with only a part keeps them.
    bool next(std::string_view& line, std::string_view skip = {});

private:
    // Whether N characters lie ahead in the block, reading more as needed.
    bool ahead(std::size_t n) { return end_ - at_ >= n || refill(n); }
    bool refill(std::size_t n);

    std::istream& in_;
    std::array<char, 4096> block_;
    std::size_t at_ = 0;   // the next character in the block
    std::size_t end_ = 0;  // past the last one read
    bool ended_ = false;   // the buffer had no more
    bool started_ = false;
    std::array<char, kLineLength> line_;
};

bool LineReader::refill(std::size_t n) {
    std::memmove(block_.data(), block_.data() + at_, end_ - at_);
    end_ -= at_;
    at_ = 0;
    while (end_ < n && !ended_) {
        const std::streamsize got =
            in_.rdbuf()->sgetn(block_.data() + end_, static_cast<std::streamsize>(block_.size() - end_));
        if (got <= 0) {
            ended_ = true;
        } else {
            end_ += static_cast<std::size_t>(got);
        }
    }
    return end_ - at_ >= n;
}

bool LineReader::next(std::string_view& line, std::string_view skip) {
    // Only the first line needs the stream's own sentry (which also
    // flushes a tied stream); after it the stream stays good until the
    // input ends, and then it fails as a sentry would make it.
    if (!started_) {
        started_ = true;
        const std::istream::sentry ready(in_, true);
        if (!ready) return false;
    } else if (!in_.good()) {
        in_.setstate(std::ios::failbit);
        return false;
    }
    std::size_t length = 0;
    try {
        bool any = false;
        if (!skip.empty() && ahead(skip.size()) && std::string_view(block_.data() + at_, skip.size()) == skip) {
            at_ += skip.size();
            any = true;
        }
        for (;;) {
            if (!ahead(1)) {
                in_.setstate(std::ios::eofbit | std::ios::failbit);
                line = std::string_view(line_.data(), length);
                return any;
            }
            any = true;
            // The characters up to the line's end, or to the block's.
            const char* const from = block_.data() + at_;
            const char* const to = block_.data() + end_;
            const char* stop = static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(to - from)));
            if (stop == nullptr) stop = to;
            if (const void* cr = std::memchr(from, '\r', static_cast<std::size_t>(stop - from))) {
                stop = static_cast<const char*>(cr);
            }
            const std::size_t kept = std::min(static_cast<std::size_t>(stop - from), line_.size() - length);
            at_ += static_cast<std::size_t>(stop - from) + (stop != to ? 1 : 0);
            // A whole line inside the block is read where it stands, unless
            // the look past a CR at the block's end reads over it.
            const bool cr = stop != to && *stop == '\r';
            const bool inPlace = length == 0 && stop != to && !(cr && at_ == end_);
            if (!inPlace) std::memcpy(line_.data() + length, from, kept);
            length += kept;
            if (stop == to) continue;
            if (cr) {
                if (!ahead(1)) {
                    in_.setstate(std::ios::eofbit);
                } else if (block_[at_] == '\n') {
                    ++at_;
                }
            }
            line = std::string_view(inPlace ? from : line_.data(), length);
            return true;
        }
    } catch (const std::ios_base::failure&) {
        throw;  // the stream asked for exceptions on its own state
    } catch (...) {
        // A failing buffer makes the stream bad, as it would inside get().
        in_.setstate(std::ios::badbit);
        return false;
    }
}

// The pieces of one line of a parameter list, as a read takes them apart.
struct LinePieces {
    std::string_view name;        // squeezed, pointing into `squeezed`
    std::string_view expression;  // at most 80 characters
    std::string_view comment;     // the whole comment, blanks and all
    bool factorOnly = false;
    char squeezed[kPieceLength];
};

// Whether LINE defines a parameter, and its pieces when it does. A line
// that does not (no "=", nothing before it, a "!" before it, or nothing
// after it) is a note for whoever reads the file; a read passes over it.
bool splitLine(std::string_view line, LinePieces& pieces) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0) return false;
    // A "!" before the first "=" makes the whole line a comment.
    const std::size_t bang = line.find('!');
    if (bang < equals) return false;

    // The name: the part before "=" without its leading blanks, cut to 80
    // characters; a "*" first marks a factor-only entry; every blank and
    // control character is squeezed out. The whole squeezed name is kept:
    // one too long for the table is rejected with a warning rather than cut
    // into another name.
    std::string_view namePart = textkit::trimLeft(line.substr(0, equals)).substr(0, kPieceLength);
    pieces.factorOnly = !namePart.empty() && namePart[0] == '*';
    if (pieces.factorOnly) namePart.remove_prefix(1);
    std::size_t length = 0;
    for (const char c : namePart) {
        if (static_cast<unsigned char>(c) > ' ') pieces.squeezed[length++] = c;
    }
    if (length == 0) return false;
    pieces.name = std::string_view(pieces.squeezed, length);

    const std::string_view rest = line.substr(equals + 1);
    const std::size_t j = bang == std::string_view::npos ? bang : bang - equals - 1;  // the first "!" of REST
    if (j == 0) return false;
    pieces.expression = rest.substr(0, std::min(j, kPieceLength));
    pieces.comment = j == std::string_view::npos ? std::string_view{} : rest.substr(j + 1);
    return !textkit::trimRight(pieces.expression).empty();
}

// A comment is kept to what the table holds. The cut never falls inside a
// character: in UTF-8 text a character's bytes go together, so a cut that
// would split one is made before it.
std::string_view keptComment(std::string_view comment) {
    comment = textkit::trimRight(comment);
    if (comment.size() <= kCommentLength) return comment;
    std::size_t cut = kCommentLength;
    std::size_t lead = cut;
    while (lead > 0 && cut - lead < 3 && (static_cast<unsigned char>(comment[lead]) & 0xC0) == 0x80) --lead;
    const auto first = static_cast<unsigned char>(comment[lead]);
    const std::size_t width = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    if (lead < cut && lead + width > cut) cut = lead;
    return textkit::trimRight(comment.substr(0, cut));
}

void applyLine(EngineState& engine, const LinePieces& pieces) {
    const std::string_view comment = keptComment(pieces.comment);
    if (!storeParameter(engine, pieces.name, pieces.expression, comment, pieces.factorOnly)) return;
    // Told after the entry is stored, so the report names a parameter the
    // user can find; the file itself keeps the whole comment until a save
    // replaces it (and that save keeps a copy).
    if (comment.size() < textkit::trimRight(pieces.comment).size()) {
        noticeSink(engine).warn("TOO LONG", "The comment of \"" + std::string(pieces.name) + "\" is too long.  " +
                                          std::to_string(kCommentLength) + " chars. max.  It is kept as \"" +
                                          std::string(comment) + "\".");
    }
}

}  // namespace

ListEncoding listEncoding(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) return ListEncoding::kUtf8WithMark;
    return utf8::wellFormed(bytes) ? ListEncoding::kUtf8 : ListEncoding::kCodePage;
}

std::string listText(std::string_view bytes) {
    if (listEncoding(bytes) == ListEncoding::kCodePage) return utf8::fromCodePage(bytes);
    return std::string(bytes);
}

std::string listBytes(std::string_view text, ListEncoding encoding) {
    if (encoding == ListEncoding::kCodePage) {
        // Bytes that begin like the mark would read back as UTF-8 without
        // the characters they are: those go out in UTF-8 as well.
        std::optional<std::string> bytes = utf8::toCodePage(text);
        if (bytes && !bytes->starts_with(kByteOrderMark)) return std::move(*bytes);
        encoding = ListEncoding::kUtf8WithMark;
    }
    if (encoding == ListEncoding::kUtf8WithMark && !text.starts_with(kByteOrderMark)) {
        return std::string(kByteOrderMark) + std::string(text);
    }
    return std::string(text);
}

ListScan scanParameterList(std::string_view bytes) {
    ListScan scan;
    const std::string decoded = listText(bytes);
    std::string_view text = decoded;
    if (text.find('\0') != std::string_view::npos) {
        // Not text at all: nothing of it would come back.
        scan.unkeptLines = std::max<int>(1, static_cast<int>(std::count(text.begin(), text.end(), '\n')));
        return scan;
    }
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    // Where each name stands in the list: a later line of a name replaces
    // the entry an earlier one made, and with it that line.
    std::map<ParamKey, std::size_t> at;
    std::vector<bool> counted;  // an entry's line is among the lost ones already
    while (!text.empty()) {
        std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        if (end != std::string_view::npos && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);

        if (std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; })) {
            continue;
        }
        LinePieces pieces;
        ParamKey key;
        if (line.size() > kLineLength || !splitLine(line, pieces) ||
            !parameterStorable(pieces.name, pieces.expression, key)) {
            ++scan.unkeptLines;
            continue;
        }
        const std::string_view comment = keptComment(pieces.comment);
        const bool cut = comment.size() < textkit::trimRight(pieces.comment).size();
        if (cut) ++scan.unkeptLines;
        FileParameter entry{std::string(pieces.name), std::string(textkit::trimRight(pieces.expression)),
                              std::string(comment), pieces.factorOnly, std::string(key.begin(), key.end())};
        const auto [place, added] = at.try_emplace(key, scan.entries.size());
        if (added) {
            scan.entries.push_back(std::move(entry));
            counted.push_back(cut);
            continue;
        }
        // The same line twice loses nothing; another definition loses the
        // earlier line.
        FileParameter& earlier = scan.entries[place->second];
        const bool same = earlier.name == entry.name && earlier.expression == entry.expression &&
                          earlier.comment == entry.comment && earlier.factorOnly == entry.factorOnly;
        if (!same && !counted[place->second]) ++scan.unkeptLines;
        counted[place->second] = cut;
        earlier = std::move(entry);
    }
    return scan;
}

int linesNotWrittenBack(std::string_view text) { return scanParameterList(text).unkeptLines; }

void XPARAMWRITE(std::ostream& out) { writeParameterLines(defaultEngine(), out); }

void writeParameterLines(const EngineState& st, std::ostream& out) {
    // Each line is put together in place: "*" for a factor-only entry, the
    // name, "=", the expression, " !" and the comment, each without its
    // trailing blanks (the line is at most 1 + 16 + 1 + 64 + 2 + 64 long).
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
            // Reading skips a byte-order mark at the start of a file. When
            // the first line itself begins with those bytes (a name may),
            // one mark goes before it, so that reading keeps the line whole.
            const std::string_view written = textkit::trimRight(std::string_view(line, length));
            if (i == 1 && written.substr(0, kByteOrderMark.size()) == kByteOrderMark) out << kByteOrderMark;
            out << written << '\n';
        }
    } catch (...) {
        // A failed write ends the writing; what was written stays.
    }
}

namespace {

constexpr int kFaultyLinesShown = 10;

// A file of many lines makes a table of many entries. Where the stream can
// tell how much input lies ahead, the table gets room for about one entry a
// line at once (lines of a written file run to some 30 characters), so
// that it does not grow, and copy itself, step by step. The guess is capped,
// and anything the stream cannot tell leaves the table to grow as it goes.
void reserveFor(EngineState& engine, std::istream& in) {
    constexpr std::streamsize kCharactersPerLine = 32;
    constexpr std::streamsize kMostEntries = 1 << 16;
    std::streamsize ahead = 0;
    try {
        if (in.good() && in.rdbuf() != nullptr) ahead = in.rdbuf()->in_avail();
    } catch (...) {
        return;  // the stream's own read will meet its fault
    }
    if (ahead > 0) reserveParameters(engine, static_cast<int>(std::min(ahead / kCharactersPerLine, kMostEntries)));
}

// Stands between one read and the user. A file that is not a parameter
// list, or one with thousands of faulty lines, would otherwise show one
// modal report per line, with no way out but to end the program. The
// reports of the first ten faulty lines pass as they always did; the lines
// after them are read all the same, their faults counted, not shown.
// Questions always pass: they need their answer.
class FaultLimiter final : public ExpressionErrorPresenter, public NoticeSink {
public:
    explicit FaultLimiter(EngineState& engine)
        : engine_(engine), presenter_(expressionErrorPresenter(engine)), notices_(noticeSink(engine)),
          oldPresenter_(engine.presenter), oldNotices_(engine.notices) {
        engine.presenter = this;
        engine.notices = this;
    }
    ~FaultLimiter() override {
        engine_.presenter = oldPresenter_;
        engine_.notices = oldNotices_;
    }
    FaultLimiter(const FaultLimiter&) = delete;
    FaultLimiter& operator=(const FaultLimiter&) = delete;

    void endLine() {
        if (lineFaulty_) ++faultyLines_;
        lineFaulty_ = false;
        context_.clear();
    }
    int hiddenLines() const { return std::max(0, faultyLines_ - kFaultyLinesShown); }
    int faultyLines() const { return faultyLines_; }

    // The parameter whose line is being read: its reports name it, since
    // the expression alone does not tell the user which line it was.
    void startLine(std::string_view name, std::string_view source) {
        context_ = "parameter \"" + std::string(name) + "\"";
        if (!source.empty()) context_ += " of \"" + std::string(source) + "\"";
    }

    void present(const ExpressionErrorReport& report) override {
        if (!fault()) return;
        if (context_.empty() || !report.context.empty()) return presenter_.present(report);
        ExpressionErrorReport named = report;
        named.context = context_;
        presenter_.present(named);
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
    EngineState& engine_;
    ExpressionErrorPresenter& presenter_;
    NoticeSink& notices_;
    ExpressionErrorPresenter* oldPresenter_;
    NoticeSink* oldNotices_;
    int faultyLines_ = 0;
    bool lineFaulty_ = false;
    std::string context_;
};

// The file's own name, without its folder: enough to tell which file, short
// enough for a caption.
std::string_view fileName(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// 1234567 as "1 234 567".
std::string groupedCount(int n) {
    std::string digits = std::to_string(n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), " ");
    return digits;
}

}  // namespace

void XPARAMREAD(std::istream& in, std::optional<bool> quiet, std::string_view source) {
    readParameterLines(defaultEngine(), in, quiet, source);
}

int readParameterLines(EngineState& st, std::istream& in, std::optional<bool> quiet, std::string_view source) {
    const bool remembered = st.quiet;
    if (quiet) st.quiet = *quiet;
    int hidden = 0;
    int faulty = 0;
    try {
        FaultLimiter limiter(st);
        reserveFor(st, in);
        LineReader lines(in);
        std::string_view line;
        bool first = true;
        while (lines.next(line, first ? kByteOrderMark : std::string_view{})) {
            first = false;
            LinePieces pieces;
            if (splitLine(line, pieces)) {
                limiter.startLine(pieces.name, fileName(source));
                applyLine(st, pieces);
            }
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
            noticeSink(st).warn("READ WARNINGS", groupedCount(hidden) + (hidden == 1 ? " more line" : " more lines") + of +
                                                   (hidden == 1 ? " had faults; it was" : " had faults; they were") +
                                                   " read as the first ones were.");
        } catch (...) {
            // Without memory for the text there is nothing more to say.
        }
    }
    return faulty;
}
