// tallyon-calc: the expression engine from a terminal or a script.
//
//   tallyon-calc [--real-only] [--params FILE]... [--list] [--save FILE]
//                [--json] [--digits N] [--notation NAME] [--polar] [EXPR]...
//   tallyon-calc --version | --help
//
// Without EXPR it evaluates each line of standard input. Exit status: 0 when
// every expression evaluated, 1 when any failed (or a line of a --params
// file was faulty), 2 for bad usage, a file that cannot be read or written,
// or results that could not be written out.
#include "CalcMain.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "CalcOutput.h"
#include "ParamListFile.h"
#include "Seams.h"
#include "TallyonVersion.h"
#include "XExpression.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

const char kUsage[] =
    "usage: tallyon-calc [--real-only] [--params FILE]... [--list] [--save FILE] [--json]\n"
    "                    [--digits N] [--notation NAME] [--polar] [EXPR]...\n"
    "Evaluates each EXPR (or each line of standard input) and prints the real and\n"
    "the complex result.\n"
    "  --real-only     a result with an imaginary part is an error\n"
    "  --params FILE   merge a parameter file first (may be repeated)\n"
    "  --list          print the parameter table\n"
    "  --save FILE     write the parameter table to FILE at the end\n"
    "  --json          one JSON object per expression per line (every digit, whatever\n"
    "                  the display options)\n"
    "  --notation NAME how results are shown: described (the default: 7 decimals),\n"
    "                  fixed, sci, eng (exponent a multiple of 3) or shortest (the\n"
    "                  shortest text that reads back to the same number)\n"
    "  --digits N      significant digits for fixed, sci and eng (1 to 17; 7)\n"
    "  --polar         complex results as r<angle, the angle in degrees\n"
    "  --version       print the version and end\n"
    "  --help          print this text and end\n"
    "Exit status: 0 when every expression evaluated, 1 when any failed or a line of\n"
    "a --params file was faulty, 2 for bad usage, a file that cannot be read or\n"
    "saved, or results that could not be written.\n";

struct Options {
    bool realOnly = false;
    bool list = false;
    bool json = false;
    std::vector<std::string> paramFiles;
    std::string saveFile;
    std::vector<std::string> exprs;
    bool fromStdin = true;
    DisplayFormat format;
    bool digitsGiven = false;
};

// Passes every report on to the presenter that was installed before (the
// terminal), and keeps the first one for the result record.
class RecordingPresenter : public ExpressionErrorPresenter {
public:
    RecordingPresenter(ExpressionErrorPresenter& next, bool forward) : next_(next), forward_(forward) {}
    void present(const ExpressionErrorReport& report) override {
        if (target && !target->error) target->error = report;
        if (forward_) next_.present(report);
    }
    CalcResult* target = nullptr;

private:
    ExpressionErrorPresenter& next_;
    bool forward_;
};

class RecordingSink : public NoticeSink {
public:
    RecordingSink(NoticeSink& next, bool forward) : next_(next), forward_(forward) {}
    void warn(std::string_view c, std::string_view t) override { keep(c, t); if (forward_) next_.warn(c, t); }
    void info(std::string_view c, std::string_view t) override { keep(c, t); if (forward_) next_.info(c, t); }
    void stop(std::string_view c, std::string_view t) override { keep(c, t); if (forward_) next_.stop(c, t); }
    bool ask(std::string_view c, std::string_view t) override {
        keep(c, t);
        return next_.ask(c, t);
    }
    CalcResult* target = nullptr;

private:
    void keep(std::string_view c, std::string_view t) {
        if (target) target->notices.push_back({std::string(c), std::string(t)});
    }
    NoticeSink& next_;
    bool forward_;
};

enum class Parsed { kRun, kHelp, kVersion, kBad };

Parsed parseArgs(const std::vector<std::string>& args, Options& o, std::ostream& err) {
    bool endOfOptions = false;
    const std::size_t argc = args.size();
    for (std::size_t i = 0; i < argc; ++i) {
        const std::string& a = args[i];
        const bool needsValue = a == "--params" || a == "--save" || a == "--digits" || a == "--notation";
        if (!endOfOptions && needsValue && i + 1 >= argc) {
            err << "tallyon-calc: " << a << " needs "
                << (a == "--digits" ? "a number" : a == "--notation" ? "a notation" : "a file name") << "\n";
            return Parsed::kBad;
        }
        if (endOfOptions || a.empty() || a[0] != '-' || a == "-" || (a.size() > 1 && a[1] != '-')) {
            // A leading minus that is not a long option starts an expression,
            // so "-2*3" needs no "--".
            o.exprs.push_back(a);
            o.fromStdin = false;
        } else if (a == "--") {
            endOfOptions = true;
        } else if (a == "--real-only") {
            o.realOnly = true;
        } else if (a == "--list") {
            o.list = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--params") {
            o.paramFiles.push_back(args[++i]);
        } else if (a == "--save") {
            o.saveFile = args[++i];
        } else if (a == "--digits") {
            const std::string& n = args[++i];
            const bool number = !n.empty() && n.size() <= 2 && n.find_first_not_of("0123456789") == std::string::npos;
            const int digits = number ? std::stoi(n) : 0;
            if (digits < kMinDigits || digits > kMaxDigits) {
                err << "tallyon-calc: --digits takes 1 to 17, not " << n << "\n";
                return Parsed::kBad;
            }
            o.format.digits = digits;
            o.digitsGiven = true;
        } else if (a == "--notation") {
            const std::optional<DisplayFormat::Notation> notation = notationNamed(args[++i]);
            if (!notation) {
                err << "tallyon-calc: --notation takes described, fixed, sci, eng or shortest, not " << args[i]
                    << "\n";
                return Parsed::kBad;
            }
            o.format.notation = *notation;
        } else if (a == "--polar") {
            o.format.polar = true;
        } else if (a == "--help") {
            return Parsed::kHelp;
        } else if (a == "--version") {
            return Parsed::kVersion;
        } else {
            err << "tallyon-calc: unknown option " << a << "\n";
            return Parsed::kBad;
        }
    }
    // Digits mean nothing to the described form (always 7 decimals) or to
    // shortest (always every digit): said, not ignored.
    using Notation = DisplayFormat::Notation;
    if (o.digitsGiven && (o.format.notation == Notation::kDescribed || o.format.notation == Notation::kShortest)) {
        err << "tallyon-calc: --digits needs --notation fixed, sci or eng\n";
        return Parsed::kBad;
    }
    // --list or --save alone, without expressions, should not wait for input.
    if (o.fromStdin && (o.list || !o.saveFile.empty()) && o.exprs.empty()) o.fromStdin = false;
    return Parsed::kRun;
}

CalcResult evaluate(const std::string& expr, RecordingPresenter& presenter, RecordingSink& sink) {
    CalcResult r;
    r.expr = expr;
    presenter.target = &r;
    sink.target = &r;
    // The same order as the main window: the complex value first; only when
    // that succeeds the real value, which adds the real-only check.
    r.ok = XNUMBEREX_C8(expr, r.value);
    if (r.ok) {
        XVALUE v;
        XPARAMQUIET(true);  // the flag only; the report was shown already
        if (XNUMBEREXGET(expr, v)) r.isReal = v.isReal;
        XPARAMQUIET(false);
        r.realOk = XNUMBEREX_R8(expr, r.real);
    }
    presenter.target = nullptr;
    sink.target = nullptr;
    return r;
}

}  // namespace

int runTallyonCalc(const std::vector<std::string>& args, const CalcStreams& io, const SaveStepsFactory& saveSteps) {
    Options o;
    switch (parseArgs(args, o, io.err)) {
    case Parsed::kHelp: io.out << kUsage; return 0;
    case Parsed::kVersion: io.out << "tallyon-calc " TALLYON_VERSION "\n"; return 0;
    case Parsed::kBad: io.err << kUsage; return kExitUsage;
    case Parsed::kRun: break;
    }

    XNUMBERREALONLY(o.realOnly);
    // Read as Tallyon's Read does: a folder, a missing file or one that is
    // no parameter list is refused with the same notice, here on stderr.
    // A faulty line of a file (refused for a bad name, a comment cut, an
    // expression in error) is a failure, reported as it is met: a script
    // must not take the table, or a file --save writes from it, as whole.
    bool anyFailed = false;
    for (const std::string& file : o.paramFiles) {
        ListRead found;
        if (!readParameterList(file, &found)) return kExitUsage;
        if (found.faultyLines > 0) anyFailed = true;
    }

    // In JSON mode reports belong in the JSON records only; as text they
    // go to the terminal as they happen.
    RecordingPresenter presenter(expressionErrorPresenter(), !o.json);
    RecordingSink sink(noticeSink(), !o.json);
    ExpressionErrorPresenter* oldPresenter = setExpressionErrorPresenter(&presenter);
    NoticeSink* oldSink = setNoticeSink(&sink);

    auto run = [&](const std::string& expr, bool labelled) {
        CalcResult r = evaluate(expr, presenter, sink);
        if (!r.ok || r.error) anyFailed = true;
        if (o.json) {
            io.out << calcJson(r) << "\n";
        } else {
            if (labelled) io.out << expr << "\n";
            io.out << calcTextLines(r, o.format);
        }
        io.out.flush();
    };

    if (o.fromStdin) {
        std::string line;
        bool first = true;
        while (std::getline(io.in, line)) {
            // A byte-order mark is no part of the first expression.
            if (first && line.starts_with(kUtf8ByteOrderMark)) line.erase(0, kUtf8ByteOrderMark.size());
            first = false;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find_first_not_of(" \t") == std::string::npos) continue;
            run(line, true);
        }
    } else {
        for (const std::string& e : o.exprs) run(e, o.exprs.size() > 1);
    }

    setExpressionErrorPresenter(oldPresenter);
    setNoticeSink(oldSink);

    if (o.list) io.out << (o.json ? calcListingJson() + "\n" : calcListing());
    // The same safe save as Tallyon's: the old file stays whole unless the
    // new one was written completely.
    if (!o.saveFile.empty()) {
        const std::unique_ptr<SaveSteps> steps = saveSteps();
        if (!saveParameterList(o.saveFile, *steps)) return kExitUsage;
    }
    // Results that never reached their reader (a full disk, a closed pipe)
    // are a failure to say so, not a success.
    io.out.flush();
    if (!io.out) {
        io.err << "tallyon-calc: the results could not be written to standard output\n";
        return kExitUsage;
    }
    return anyFailed ? kExitFailed : 0;
}
