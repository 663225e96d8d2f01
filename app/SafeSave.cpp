#include "SafeSave.h"

#include <fstream>
#include <sstream>

#include "Seams.h"
#include "XExpression.h"

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
    const std::string text = tableText();
    std::string temp;
    const bool ok = steps.createTemp(path, temp) && steps.write(text) && steps.flush() && steps.close() &&
                    steps.replace(temp, path);
    if (!ok) {
        if (!temp.empty()) steps.discard(temp);
        noticeSink().warn("SAVE FAILURE", "Unable to save the parameter list to \"" + path + "\".");
    }
    return ok;
}

bool saveParameterList(const std::string& path) {
    const std::unique_ptr<SaveSteps> steps = makePlatformSaveSteps();
    return saveParameterList(path, *steps);
}

bool readParameterList(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        noticeSink().warn("READ FAILURE", "Unable to read the parameter list from \"" + path + "\".");
        return false;
    }
    XPARAMREAD(in);
    return true;
}
