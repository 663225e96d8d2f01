// The one instance of the engine's module state, and the reset that returns
// it to its state at program start.
#include "EngineState.h"

#include "Seams.h"

EngineState& engineState() {
    static EngineState state;
    return state;
}

void reportLogicError(std::string_view text) {
    try {
        noticeSink().stop("LOGIC ERROR", text);
    } catch (...) {
        // A sink's failure must not unwind through the evaluation.
    }
}

void resetExpressionEngine() { engineState() = EngineState{}; }
