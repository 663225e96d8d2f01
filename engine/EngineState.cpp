// The default engine, the reset that returns an engine to its state at
// program start, and the notice for internal faults.
#include "EngineState.h"

#include "Seams.h"

EngineState& defaultEngine() {
    static EngineState engine;
    return engine;
}

void reportLogicError(EngineState& engine, std::string_view text) {
    try {
        noticeSink(engine).stop("LOGIC ERROR", text);
    } catch (...) {
        // A sink's failure must not unwind through the evaluation.
    }
}

void resetEngine(EngineState& engine) {
    ExpressionErrorPresenter* const presenter = engine.presenter;
    NoticeSink* const notices = engine.notices;
    const std::uint64_t changes = engine.changes;
    engine = EngineState{};
    engine.presenter = presenter;
    engine.notices = notices;
    engine.changes = changes + 1;  // the table was emptied
}

void resetExpressionEngine() { resetEngine(defaultEngine()); }
