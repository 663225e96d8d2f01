#include "SafeSave.h"

bool saveFileSafely(const std::string& path, std::string_view bytes, SaveSteps& steps) {
    std::string temp;
    const bool ok = steps.createTemp(path, temp) && steps.write(bytes) && steps.flush() && steps.close() &&
                    steps.replace(temp, path);
    if (!ok && !temp.empty()) steps.discard(temp);
    return ok;
}
