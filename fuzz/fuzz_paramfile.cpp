// The parameter file reader on raw bytes; then write the table and read it
// back into an empty table: nothing stored may be lost or changed.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "FuzzSupport.h"
#include "XExpression.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool ready = [] {
        installFuzzSeams();
        return true;
    }();
    (void)ready;
    resetExpressionEngine();
    std::istringstream first(std::string(reinterpret_cast<const char*>(data), size));
    XPARAMREAD(first, true);
    const std::string afterFirst = describeTable(false);

    std::ostringstream written;
    XPARAMWRITE(written);
    // The values of the first read may be stale (a later line can edit an
    // entry that earlier ones used), so values are compared after both
    // tables are brought up to date.
    XPARAMQUIET(true);
    XPARAMUPDATE();
    const std::string valuesFirst = describeTable(true);

    resetExpressionEngine();
    std::istringstream second(written.str());
    XPARAMREAD(second, true);
    const std::string afterSecond = describeTable(false);
    XPARAMQUIET(true);
    XPARAMUPDATE();
    const std::string valuesSecond = describeTable(true);

    if (afterFirst != afterSecond || valuesFirst != valuesSecond) {
        std::fprintf(stderr, "round trip changed the table\nwritten:\n%s\nfirst:\n%s\nsecond:\n%s\n",
                     written.str().c_str(), valuesFirst.c_str(), valuesSecond.c_str());
        std::abort();
    }
    return 0;
}
