// The parameter file reader on raw bytes; then write the table and read it
// back into an empty table: nothing stored may be lost or changed.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "FuzzSupport.h"
#include "EngineState.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool ready = [] {
        installFuzzSeams();
        return true;
    }();
    (void)ready;
    EngineState& engine = fuzzEngine();
    resetEngine(engine);
    std::istringstream first(std::string(reinterpret_cast<const char*>(data), size));
    readParameterLines(engine, first, true, {});
    const std::string afterFirst = describeTable(false);

    std::ostringstream written;
    writeParameterLines(engine, written);
    // The values of the first read may be stale (a later line can edit an
    // entry that earlier ones used), so values are compared after both
    // tables are brought up to date.
    engine.quiet = true;
    updateParameters(engine);
    const std::string valuesFirst = describeTable(true);

    resetEngine(engine);
    std::istringstream second(written.str());
    readParameterLines(engine, second, true, {});
    const std::string afterSecond = describeTable(false);
    engine.quiet = true;
    updateParameters(engine);
    const std::string valuesSecond = describeTable(true);

    if (afterFirst != afterSecond || valuesFirst != valuesSecond) {
        std::fprintf(stderr, "round trip changed the table\nwritten:\n%s\nfirst:\n%s\nsecond:\n%s\n",
                     written.str().c_str(), valuesFirst.c_str(), valuesSecond.c_str());
        std::abort();
    }
    return 0;
}
