// Text and JSON output of tallyon-calc, kept apart from argument handling so
// the tests can check the exact lines.
#pragma once

#include <complex>
#include <optional>
#include <string>
#include <vector>

#include "Format.h"
#include "Seams.h"

struct CalcNotice {
    std::string caption;
    std::string text;
};

// Everything one expression produced.
struct CalcResult {
    std::string expr;
    bool ok = false;                // evaluated as a complex value
    std::complex<double> value;     // meaningful when ok
    bool isReal = false;            // the engine's own is-real flag
    bool realOk = false;            // evaluated as a real value
    double real = 0;                // meaningful when realOk
    std::optional<ExpressionErrorReport> error;  // the first report shown
    std::vector<CalcNotice> notices;
};

// The two lines the main window shows: the real line and the complex line,
// in the display format chosen (the described one by default).
std::string calcTextLines(const CalcResult& r, const DisplayFormat& format = {});

// One JSON object on one line (no trailing newline).
std::string calcJson(const CalcResult& r);

std::string jsonString(std::string_view s);

// The parameter table as the list page shows it, one line per entry.
std::string calcListing();

// The same table as one JSON object on one line (no trailing newline):
// {"parameters":[{"seq","name","re","im","is_real","real","factor_only",
// "expression","comment","error"}, ...]}; a parameter that does not
// evaluate has "error":true and null values.
std::string calcListingJson();
