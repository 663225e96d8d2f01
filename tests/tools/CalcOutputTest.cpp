#include <gtest/gtest.h>

#include "CalcOutput.h"

TEST(CalcOutput, JsonStringsStayValidForAnyByte) {
    struct Row {
        const char* what;
        std::string in, out;
    } rows[] = {
        {"plain", "1+2", "\"1+2\""},
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"control characters", std::string("\t\n\r\x01", 4), "\"\\t\\n\\r\\u0001\""},
        {"code-page bytes become code points", "caf\xE9", "\"caf\\u00e9\""},
        {"NUL", std::string("a\0b", 3), "\"a\\u0000b\""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(jsonString(r.in), r.out);
    }
}

TEST(CalcOutput, TextLinesFollowTheMainWindow) {
    CalcResult r;
    r.ok = true;
    r.value = {-1.5, -2.25};
    r.realOk = false;
    EXPECT_EQ(calcTextLines(r), "NO REAL RESULT\nComplex Result = (-1.5000000, -2.2500000)\n");
    r.realOk = true;
    r.real = 14;
    EXPECT_EQ(calcTextLines(r), "Real Result = 14.0000000\nComplex Result = (-1.5000000, -2.2500000)\n");
    r.ok = false;
    EXPECT_EQ(calcTextLines(r), "");
}

TEST(CalcOutput, JsonCarriesNonFiniteValuesAsStrings) {
    CalcResult r;
    r.expr = "x";
    r.ok = true;
    r.value = {1e308 * 10, 0};
    r.isReal = true;
    r.realOk = true;
    r.real = r.value.real();
    r.notices.push_back({"TOO LONG", "text"});
    EXPECT_EQ(calcJson(r),
              "{\"expr\":\"x\",\"ok\":true,\"re\":\"inf\",\"im\":0,\"is_real\":true,\"real\":\"inf\","
              "\"real_ok\":true,\"error\":null,\"notices\":[{\"caption\":\"TOO LONG\",\"text\":\"text\"}]}");
}
