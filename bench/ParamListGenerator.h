// The parameter list the store and window benchmarks load: n parameters,
// each defined from earlier ones, as the text of a parameter file.
#pragma once

#include <string>

inline std::string benchParamName(int i) { return "P" + std::to_string(i); }

// Line i defines P<i> from the one before it and one about half-way back,
// so every line is evaluated against a table that holds what it uses; the
// values stay bounded.
inline std::string benchParamListFile(int count) {
    std::string file;
    for (int i = 1; i <= count; ++i) {
        file += benchParamName(i) + "=";
        if (i == 1) {
            file += "1.5";
        } else {
            const int halfway = i / 2 + 1 > i - 1 ? i - 1 : i / 2 + 1;
            file += "0.5*" + benchParamName(i - 1) + "+" + benchParamName(halfway) + "/3+1";
        }
        file += " !parameter " + std::to_string(i) + "\n";
    }
    return file;
}
