// The reset that returns the engine's module state to its state at program
// start, and the notice for internal faults.
#include "EngineState.h"

#include "Seams.h"

void reportLogicError(std::string_view text) {
    try {
        noticeSink().stop("LOGIC ERROR", text);
    } catch (...) {
        // A sink's failure must not unwind through the evaluation.
    }
}

void resetExpressionEngine() { engineState() = EngineState{}; }
