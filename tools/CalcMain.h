// tallyon-calc's whole run, apart from main(), so that tests can run it
// with their own streams and make its save fail at a chosen step.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "ParamListFile.h"

struct CalcStreams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

using SaveStepsFactory = std::function<std::unique_ptr<SaveSteps>()>;

// Runs tallyon-calc with `args` (without the program name); returns the exit
// status. Reports and notices go through the engine's installed seams.
int runTallyonCalc(const std::vector<std::string>& args, const CalcStreams& io,
                   const SaveStepsFactory& saveSteps = makePlatformSaveSteps);
