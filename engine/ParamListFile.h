// The parameter list as a file: saved with the safe save, so a failed save
// keeps the old file, and read with the checks that keep a wrong file out.
#pragma once

#include <string>

#include "SafeSave.h"

// Writes the parameter table to `path`. On failure the user gets the
// warning "SAVE FAILURE" and the file keeps its old content.
bool saveParameterList(const std::string& path);
bool saveParameterList(const std::string& path, SaveSteps& steps);

// Merges the parameter list in `path` into the table. A file that cannot be
// opened, a folder, or a file that holds binary data gives the warning
// "READ FAILURE" and leaves the table unchanged; a read error part way
// through says so and keeps the lines read before it.
// `faultyLines`, when given, receives how many lines had faults.
bool readParameterList(const std::string& path, int* faultyLines = nullptr);
