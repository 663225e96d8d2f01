#include <gtest/gtest.h>

#include "CalcOutput.h"

// JSON is UTF-8 text: UTF-8 passes as it is, bytes of the Windows code
// page are decoded to the characters they stand for there.
TEST(CalcOutput, JsonStringsStayValidForAnyByte) {
    struct Row {
        const char* what;
        std::string in, out;
    } rows[] = {
        {"plain", "1+2", "\"1+2\""},
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"control characters", std::string("\t\n\r\x01", 4), "\"\\t\\n\\r\\u0001\""},
        {"a code-page letter", "caf\xE9", "\"caf\xC3\xA9\""},
        {"the code page's euro sign is U+20AC", "5 \x80", "\"5 \xE2\x82\xAC\""},
        {"UTF-8 passes as written", "Z\xC3\xBCrich caf\xC3\xA9", "\"Z\xC3\xBCrich caf\xC3\xA9\""},
        {"three- and four-byte characters", "\xE6\x97\xA5 \xF0\x9F\x98\x80", "\"\xE6\x97\xA5 \xF0\x9F\x98\x80\""},
        {"a cut UTF-8 character makes the text code page", "\xC3", "\"\xC3\x83\""},
        {"an overlong form is no UTF-8", "\xC0\xAF", "\"\xC3\x80\xC2\xAF\""},
        {"a surrogate is no UTF-8", "\xED\xA0\x80", "\"\xC3\xAD\xC2\xA0\xE2\x82\xAC\""},
        {"DEL", "\x7F", "\"\\u007f\""},
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
