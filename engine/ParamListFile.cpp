// The parameter list file through the safe save, and the checks that keep
// a file that is no parameter list out of the table.
#include "ParamListFile.h"

#include <filesystem>
#include <fstream>
#include <sstream>
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

bool saveParameterList(const std::string& path, SaveSteps& steps) {
    if (saveFileSafely(path, tableText(), steps)) return true;
    noticeSink().warn("SAVE FAILURE", "Unable to save the parameter list to \"" + path + "\".");
    return false;
}

bool saveParameterList(const std::string& path) {
    const std::unique_ptr<SaveSteps> steps = makePlatformSaveSteps();
    return saveParameterList(path, *steps);
}

namespace {

// A parameter list is text: a NUL byte among its first 64 KB means the user
// picked some other file (a program, a picture), whose bytes would be read
// as lines of names and stored as garbage.
constexpr std::size_t kTextProbe = 64 * 1024;

bool holdsBinaryData(std::istream& in) {
    std::string head(kTextProbe, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head.find('\0') != std::string::npos;
}

bool readFailure(const std::string& text) {
    noticeSink().warn("READ FAILURE", text);
    return false;
}

}  // namespace

bool readParameterList(const std::string& path, int* faultyLines) {
    if (faultyLines) *faultyLines = 0;
    const std::string quoted = "\"" + path + "\"";
    const std::string unable = "Unable to read the parameter list from " + quoted + ".";
    std::error_code error;
    // A folder opens as a file on some systems and then reads as nothing.
    if (std::filesystem::is_directory(path, error)) return readFailure(unable);
    std::ifstream in(path, std::ios::binary);
    if (!in) return readFailure(unable);
    const bool binary = holdsBinaryData(in);
    if (in.bad()) return readFailure(unable);
    if (binary) return readFailure(quoted + " is not a parameter list (it holds binary data).");
    in.clear();
    in.seekg(0);
    if (!in) return readFailure(unable);
    const int faulty = readParameterLines(in, std::nullopt, path);
    if (faultyLines) *faultyLines = faulty;
    if (in.bad()) {
        return readFailure("Reading the parameter list from " + quoted +
                           " stopped at a read error; the lines before it were read.");
    }
    return true;
}
