// The parameter list as a file: saved with the safe save, so a failed save
// keeps the old file, and read with the checks that keep a wrong file out.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "SafeSave.h"

// Writes the parameter table to `path`. On failure the user gets the
// warning "SAVE FAILURE" and the file keeps its old content. An old file
// with lines the table would not write back is first kept aside (see
// keepCopyAside), and the user is told so ("FILE KEPT").
bool saveParameterList(const std::string& path);
bool saveParameterList(const std::string& path, SaveSteps& steps);

// Merges the parameter list in `path` into the table. A file that cannot be
// opened, a folder, or a file that holds binary data gives the warning
// "READ FAILURE" and leaves the table unchanged; a read error part way
// through says so and keeps the lines read before it.
// What one read found, for a caller that keeps the file.
struct ListRead {
    int faultyLines = 0;  // lines that had faults (each was reported, or counted)
    int unkeptLines = 0;  // lines a save of the table would not give back
    std::string bytes;    // the file as it was read
};
bool readParameterList(const std::string& path, ListRead* found = nullptr);

// parameters.par as parameters-2026-12-10-093015.par beside it.
std::string datedCopyName(const std::string& path, const std::tm& when);
// Keeps BYTES, the content of the file at `path`, under a dated name beside
// it, and gives that name. When a dated copy beside it holds the same bytes
// already, that copy is the answer and nothing is written. Nothing when the
// copy cannot be written.
std::optional<std::string> keepCopyAside(const std::string& path, std::string_view bytes);
