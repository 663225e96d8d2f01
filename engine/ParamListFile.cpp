// The parameter list file through the safe save, and the checks that keep
// a file that is no parameter list out of the table.
#include "ParamListFile.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <optional>
#include <system_error>

#include "Seams.h"
#include "XExpression.h"
#include "EngineState.h"

namespace {

// The platform's text file line end: parameter files are text files.
#ifdef _WIN32
constexpr std::string_view kLineEnd = "\r\n";
#else
constexpr std::string_view kLineEnd = "\n";
#endif

std::string tableText() {
    std::ostringstream out;
    XPARAMWRITE(out);
    if (kLineEnd == "\n") return out.str();
    std::string text;
    for (char c : out.str()) {
        if (c == '\n') text += kLineEnd;
        else text += c;
    }
    return text;
}

}  // namespace

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(bytes).str();
}

namespace {

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// The name of the file and its folder part, split at the last separator.
std::size_t nameStart(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string datedCopyName(const std::string& path, const std::tm& when) {
    char stamp[80];  // room for any int, though a calendar's fields are small
    std::snprintf(stamp, sizeof stamp, "-%04d-%02d-%02d-%02d%02d%02d", when.tm_year + 1900, when.tm_mon + 1,
                  when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart(path)) return path + stamp;
    return path.substr(0, dot) + stamp + path.substr(dot);
}

std::optional<CopyAside> keepCopyAside(const std::string& path, std::string_view bytes) {
    // A copy made before from the same bytes is the copy: a file that did
    // not change since gets no second one.
    const std::string name = path.substr(nameStart(path));
    const std::size_t dot = name.find_last_of('.');
    const std::string stem = name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    const std::string folder = path.substr(0, nameStart(path));
    const std::size_t stampLength = std::string_view("-YYYY-MM-DD-HHMMSS").size();
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end;
         it.increment(error)) {
        try {
            const std::string other = it->path().filename().string();
            if (other.size() < stem.size() + stampLength + extension.size() || !other.starts_with(stem + "-") ||
                !other.ends_with(extension)) {
                continue;
            }
            const std::string otherPath = folder + other;
            if (otherPath == path) continue;
            if (const std::optional<std::string> held = readWholeFile(otherPath); held && *held == bytes) {
                return CopyAside{otherPath, false};
            }
        } catch (...) {
            // A name this program cannot spell is no copy of ours.
        }
    }
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (local == nullptr) return std::nullopt;
    const std::string dated = datedCopyName(path, *local);
    std::string copy = dated;
    // Two copies within one second get a number after the stamp.
    const std::size_t cut = dated.size() - extension.size();
    for (int n = 2; exists(copy); ++n) copy = dated.substr(0, cut) + "-" + std::to_string(n) + dated.substr(cut);
    const std::unique_ptr<SaveSteps> steps = makePlatformSaveSteps();
    if (!saveFileSafely(copy, bytes, *steps)) return std::nullopt;
    return CopyAside{copy, true};
}

bool saveParameterList(const std::string& path, SaveSteps& steps) {
    const std::string quoted = "\"" + path + "\"";
    // Lines of the old file that the table would not write back (notes, a
    // comment cut by the read, a file that is no text) are still the
    // user's words: the file as it was is kept under a dated name first.
    // A file saved over keeps its encoding; a new one is UTF-8.
    ListEncoding encoding = ListEncoding::kUtf8;
    if (std::optional<std::string> old = exists(path) ? readWholeFile(path) : std::nullopt) {
        encoding = listEncoding(*old);
        if (const int lost = linesNotWrittenBack(*old); lost > 0) {
            const std::optional<CopyAside> copy = keepCopyAside(path, *old);
            if (!copy) {
                noticeSink().warn("SAVE FAILURE", "Unable to save the parameter list to " + quoted + ": " +
                                                      (lost == 1 ? "one line" : std::to_string(lost) + " lines") +
                                                      " of it would be lost, and no copy of it could be made.");
                return false;
            }
            // Told once: a copy made before was told when it was made.
            if (copy->made) noticeSink().info("FILE KEPT",
                              quoted + (lost == 1 ? " held one line" : " held " + std::to_string(lost) + " lines") +
                                  " that the parameter table does not write back (notes, lines cut or refused "
                                  "when it was read, or bytes that are no text).  The file as it was is kept as \"" +
                                  copy->path + "\".");
        }
    }
    if (saveFileSafely(path, listBytes(tableText(), encoding), steps)) return true;
    noticeSink().warn("SAVE FAILURE", "Unable to save the parameter list to " + quoted + ".");
    return false;
}

bool saveParameterList(const std::string& path) {
    const std::unique_ptr<SaveSteps> steps = makePlatformSaveSteps();
    return saveParameterList(path, *steps);
}

namespace {

// A parameter list is text: a NUL byte among its first 64 KB means the user
// picked some other file (a program, a picture, a text saved as UTF-16),
// whose bytes would be read as lines of names and stored as garbage.
constexpr std::size_t kTextProbe = 64 * 1024;

bool readFailure(const std::string& text) {
    noticeSink().warn("READ FAILURE", text);
    return false;
}

}  // namespace

bool readParameterList(const std::string& path, ListRead* found) {
    if (found) *found = ListRead{};
    const std::string quoted = "\"" + path + "\"";
    const std::string unable = "Unable to read the parameter list from " + quoted + ".";
    std::error_code error;
    // A folder opens as a file on some systems and then reads as nothing.
    if (std::filesystem::is_directory(path, error)) return readFailure(unable);
    // The whole file first, then its lines: the check for binary data
    // needs the start again, and a pipe (or /dev/stdin) cannot go back.
    // The file is closed before the lines are read, so that it is not held
    // open while their reports wait for the user.
    std::string bytes;
    bool stopped = false;
    {
        std::ifstream in(path, std::ios::binary);
        if (!in) return readFailure(unable);
        std::ostringstream whole;
        whole << in.rdbuf();
        stopped = in.bad();
        bytes = std::move(whole).str();
    }
    if (bytes.substr(0, kTextProbe).find('\0') != std::string::npos) {
        if (found) {
            found->unkeptLines = linesNotWrittenBack(bytes);
            found->bytes = std::move(bytes);
        }
        return readFailure(quoted + " is not a parameter list (it holds binary data).");
    }
    std::istringstream text(listText(bytes));
    const int faulty = readParameterLines(defaultEngine(), text, std::nullopt, path);
    if (found) {
        found->faultyLines = faulty;
        found->unkeptLines = linesNotWrittenBack(bytes);
        found->bytes = std::move(bytes);
    }
    if (stopped) {
        return readFailure("Reading the parameter list from " + quoted +
                           " stopped at a read error; the lines before it were read.");
    }
    return true;
}
