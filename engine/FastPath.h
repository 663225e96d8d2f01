// The evaluation's fast path: one pass over a line that is plainly sound,
// reading and computing as it goes, beside the stages that prepare, decode
// and reduce every other line.
#pragma once

#include <string_view>

#include "XExpression.h"

struct EngineState;

// Evaluates LINE on ENGINE with the first SEARCHLIMIT parameters visible. True when
// the line is one the fast path takes: VALUE is then set, bit for bit, as
// preparation, decoding and evaluation would set it. False for every other
// line, and for every line on which those stages would report anything:
// nothing has been reported, VALUE and the engine's state are untouched,
// and the caller evaluates the line the long way.
bool fastEvaluate(EngineState& engine, std::string_view line, int searchLimit, XVALUE& value);
