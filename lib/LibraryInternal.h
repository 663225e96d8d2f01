// What the parts of the library share beyond tallyon.h.
#pragma once

#include "tallyon.h"

// tly_eval, with REAL_ONLY asked for by the caller as well as by the
// engine's switch: a field that takes only real values asks for it without
// changing the switch of the engine it shares with other fields.
int evaluateOnEngine(tly_engine* engine, const char* text, bool realOnly, tly_value* value, tly_error* error);
