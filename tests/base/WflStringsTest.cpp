#include <gtest/gtest.h>

#include <string>

#include "WflStrings.h"

TEST(FixedText, AssignCutsOrPadsAndViewDropsTrailingBlanks) {
    FixedText<5> f;
    EXPECT_EQ(f.raw(), "     ");
    EXPECT_TRUE(f.blank());
    f = "ab";
    EXPECT_EQ(f.raw(), "ab   ");
    EXPECT_EQ(f.view(), "ab");
    f = "abcdefgh";
    EXPECT_EQ(f.raw(), "abcde");
    f = " a b ";
    EXPECT_EQ(f.view(), " a b");
    EXPECT_EQ(f, std::string_view(" a b   "));  // trailing blanks never matter
    EXPECT_FALSE(f == std::string_view("a b"));
}

TEST(XC2F, CopiesUpToNulThenBlanks) {
    struct Row {
        const char* what;
        const char* src;
        std::string field;
    } rows[] = {
        {"empty string fills the field with blanks", "", "      "},
        {"short string is padded", "ab", "ab    "},
        {"string of the field's length", "abcdef", "abcdef"},
        {"longer string is cut", "abcdefgh", "abcdef"},
        {"null pointer is an empty string", nullptr, "      "},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::string field(6, 'x');
        XC2F(r.src, std::span<char>(field));
        EXPECT_EQ(field, r.field);
    }
    FixedText<4> f("zzzz");
    XC2F("q", f);
    EXPECT_EQ(f.raw(), "q   ");
}

TEST(XF2C, AllBlankFieldGivesEmptyString) {
    EXPECT_EQ(XF2C("    "), "");
    EXPECT_EQ(XF2C(" a b  "), " a b");
    EXPECT_EQ(XF2C(""), "");
}

TEST(CLEN, CountsUpToFirstNulOrCapacity) {
    EXPECT_EQ(CLEN(std::string_view("abc\0ef", 6)), 3u);
    EXPECT_EQ(CLEN("abc   "), 6u);
    EXPECT_EQ(CLEN(std::string_view("\0", 1)), 0u);
}

TEST(CaseChange, OnlyTheTwoRangesChange) {
    // Every byte value: upper-casing changes exactly a-z and 0xE0..0xFE.
    for (int b = 1; b < 256; ++b) {
        SCOPED_TRACE(b);
        std::string s(1, static_cast<char>(b));
        std::string up = XTOUPPER(std::string_view(s));
        const bool upRange = (b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE);
        EXPECT_EQ(static_cast<unsigned char>(up[0]), upRange ? b - 32 : b);
        std::string low = XTOLOWER(std::string_view(s));
        const bool lowRange = (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE);
        EXPECT_EQ(static_cast<unsigned char>(low[0]), lowRange ? b + 32 : b);
    }
    std::string expr = "#sin(x)*2+3.5e-1 <= y_1";
    XTOUPPER(std::span<char>(expr));
    EXPECT_EQ(expr, "#SIN(X)*2+3.5E-1 <= Y_1");
    // 0xFF (y with diaeresis) has no capital in the code page and stays.
    EXPECT_EQ(XTOUPPER("\xFF"), "\xFF");
    // 0xDF lies just past the lower-casing range and stays; 0xD7 moves to 0xF7.
    EXPECT_EQ(XTOLOWER("\xDF\xD7"), "\xDF\xF7");
}

TEST(STRCMP, AgreesUpToShorterLengthOrCommonNul) {
    struct Row {
        const char* what;
        std::string_view a, b;
        bool same;
    } rows[] = {
        {"equal", "abc", "abc", true},
        {"shorter is a prefix", "ab", "abc", true},
        {"differ at first character", "xbc", "abc", false},
        {"differ after the shorter length does not matter", "abcX", "abcY", false},
        {"both NUL before a difference", std::string_view("ab\0x", 4), std::string_view("ab\0y", 4), true},
        {"NUL against a character differs", std::string_view("ab\0", 3), "abc", false},
        {"empty agrees with anything", "", "abc", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(STRCMP(r.a, r.b), r.same);
    }
}

TEST(PXISTRING, BasesAndSigns) {
    struct Row {
        long long value;
        int base;
        const char* text;
    } rows[] = {
        {0, 10, "0"},        {42, 10, "42"},   {-42, 10, "-42"},  {255, 16, "FF"},
        {255, 2, "11111111"}, {8, 8, "10"},     {17, 7, "17"},     {17, 0, "17"},
        {-9223372036854775807LL - 1, 10, "-9223372036854775808"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(PXISTRING(r.value, r.base), r.text);
    }
}

TEST(PXLOG, DigitsNeeded) {
    struct Row {
        long long value;
        int base;
        int digits;
    } rows[] = {{0, 10, 1}, {9, 10, 1}, {10, 10, 2}, {999, 10, 3}, {1000, 10, 4},
                {-1000, 10, 4}, {255, 16, 2}, {256, 16, 3}, {1, 2, 1}, {8, 2, 4},
                {2147483647, 10, 10}, {12, 3, 2}};  // base 3 means 10
    for (const auto& r : rows) {
        SCOPED_TRACE(r.value);
        EXPECT_EQ(PXLOG(r.value, r.base), r.digits);
    }
}

TEST(Quotes, QuoteAndUnquote) {
    EXPECT_EQ(XQUOTE("abc   "), "\"abc\"");
    EXPECT_EQ(XQUOTE(""), "\"\"");
    EXPECT_EQ(XUNQUOTE("  \"abc\"  "), "abc");
    EXPECT_EQ(XUNQUOTE("'x y'"), "x y");
    EXPECT_EQ(XUNQUOTE("\"abc'"), "\"abc'");  // mismatched quotes stay
    EXPECT_EQ(XUNQUOTE("\""), "\"");
    EXPECT_EQ(XUNQUOTE(XQUOTE("a b")), "a b");
}

TEST(XSHORTEN, KeepsShortTextsAndCutsLongOnesAtSeparators) {
    EXPECT_EQ(XSHORTEN("C:\\short.par", 40), "C:\\short.par");
    const std::string path = "C:\\Users\\someone\\Documents\\Projects\\Units\\conversions.par";
    for (std::size_t limit : {10u, 20u, 30u, 40u}) {
        SCOPED_TRACE(limit);
        const std::string s = XSHORTEN(path, limit);
        EXPECT_LE(s.size(), limit);
        EXPECT_NE(s.find("..."), std::string::npos);
    }
    // With room enough the file name survives whole, after a separator.
    const std::string s = XSHORTEN(path, 30);
    EXPECT_EQ(s.substr(s.size() - 16), "\\conversions.par");
    EXPECT_EQ(s.substr(0, 3), "C:\\");
    EXPECT_EQ(XSHORTEN(path, 2), "..");
}

TEST(PXFSTRING, ShortestRoundTripAndFixed) {
    EXPECT_EQ(PXFSTRING(0.1), "0.1");
    EXPECT_EQ(PXFSTRING(-2.5), "-2.5");
    EXPECT_EQ(PXFSTRING(1e300), "1e+300");
    EXPECT_EQ(PXFSTRING(3.14159, 2), "3.14");
    EXPECT_EQ(PXFSTRING(2.0, 0), "2");
}
