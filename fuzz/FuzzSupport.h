// Shared set-up of the fuzz targets: quiet presenters, a notice sink that
// treats an internal-fault notice as a crash, and a small parameter table.
#pragma once

#include <string>
#include <string_view>

struct EngineState;

// The engine every fuzz target works on: an instance of its own, not the
// program's default engine.
EngineState& fuzzEngine();

// Installs the presenter and sink on it, once per process.
void installFuzzSeams();

// Empties the engine and defines a few parameters: plain, complex,
// factor-only, and one whose evaluation failed.
void defineFuzzParameters();

// Both of the above, once per process.
void prepareFuzzEngine();

// One stored entry as text, for comparing tables.
std::string describeTable(bool withValues);

// The fast path against the long way on TEXT: it must report nothing, and
// a text it takes must give the long way's status and value, bit for bit.
// Aborts on a difference.
void checkFastPathAgrees(std::string_view text);
