#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "Wflextra.h"

TEST(XSQUEEZE, MovesBlanksToTheEnd) {
    struct Row {
        const char* what;
        std::string in, out;
    } rows[] = {
        {"blanks, tab and trailing blanks", "  a b\tc  ", "abc    "},
        {"all blank gives empty", "     ", ""},
        {"empty", "", ""},
        {"nothing to squeeze", "abc", "abc"},
        {"control characters count as blanks", std::string("a\x01\x1F" "b\r\n", 6), "ab    "},
        {"bytes above 127 are kept", "\xE9 \xFF", "\xE9\xFF "},
        {"NUL counts as a blank", std::string("a\0b", 3), "ab "},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(XSQUEEZE(r.in), r.out);
    }
    EXPECT_EQ(XSQUEEZE("  a b\tc  ").size(), 7u);
}

TEST(XNUMBER_R8, LegalNumbers) {
    struct Row {
        const char* text;
        double value;
    } rows[] = {
        {"1.5e3", 1500},     {"1.5D-3", 0.0015},  {".5", 0.5},          {"-7", -7},
        {"1 000", 1000},     {"2.5 e-3", 0.0025}, {"+4", 4},            {"5.", 5},
        {"5.E3", 5000},      {"1d2", 100},        {"1E+2", 100},        {"007", 7},
        {"0.1", 0.1},        {"\t3\t", 3},        {"1e0000000000000000002", 100},
        {"1e-400", 0},       {"-0", -0.0},
        // Correct rounding: halfway cases and long digit strings.
        {"9007199254740993", 9007199254740992.0},
        {"2.2250738585072011e-308", 2.2250738585072011e-308},
        {"0.30000000000000004441", 0.30000000000000004},
        {"1.7976931348623157e308", 1.7976931348623157e308},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        double v = -99;
        EXPECT_TRUE(XNUMBER_R8(r.text, v));
        EXPECT_EQ(v, r.value);
    }
}

TEST(XNUMBER_R8, LongDigitStringsStillRoundCorrectly) {
    double v = -1;
    EXPECT_TRUE(XNUMBER_R8("0." + std::string(300, '0') + "1", v));
    EXPECT_EQ(v, 1e-301);
    EXPECT_TRUE(XNUMBER_R8(std::string(500, '0') + "42." + std::string(400, '0'), v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(XNUMBER_R8("1" + std::string(300, '0') + "D-300", v));
    EXPECT_EQ(v, 1);
    EXPECT_FALSE(XNUMBER_R8(std::string(400, '1'), v));  // about 1.1E399
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(XNUMBER_R8("0." + std::string(400, '0') + "1", v));  // underflows to zero
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(XNUMBER_R8("0000.000D99999999", v));
    EXPECT_EQ(v, 0);
}

// Numbers as users write them, with up to 20 digits, a point anywhere and
// exponents of every size and spelling, against std::from_chars on the same
// text, which rounds correctly: the values must agree bit for bit.
TEST(XNUMBER_R8, PlainNumbersRoundLikeFromChars) {
    std::mt19937 random(53);
    for (int i = 0; i < 200000; ++i) {
        std::string digits;
        const int count = 1 + static_cast<int>(random() % 20);
        for (int k = 0; k < count; ++k) digits += static_cast<char>('0' + random() % 10);
        if (random() % 3 == 0) digits.insert(random() % (digits.size() + 1), ".");
        std::string text = random() % 4 == 0 ? "-" : (random() % 8 == 0 ? "+" : "");
        text += digits;
        std::string exponent;
        if (random() % 2 == 0) {
            const int e = static_cast<int>(random() % 61) - 30;
            exponent = std::string(1, "EeDd"[random() % 4]) + (e < 0 ? "-" : (random() % 2 ? "+" : "")) +
                       (random() % 4 == 0 ? "0" : "") + std::to_string(e < 0 ? -e : e);
        }
        text += exponent;

        std::string plain = text.substr(text[0] == '+' ? 1 : 0);
        for (char& c : plain) {
            if (c == 'D' || c == 'd' || c == 'E') c = 'e';
        }
        const bool negative = plain[0] == '-';
        double expected = 0;
        const char* begin = plain.data() + (negative ? 1 : 0);
        const auto r = std::from_chars(begin, plain.data() + plain.size(), expected);
        ASSERT_TRUE(r.ec == std::errc() && r.ptr == plain.data() + plain.size()) << text;
        if (negative) expected = -expected;

        double v = -99;
        ASSERT_TRUE(XNUMBER_R8(text, v)) << text;
        ASSERT_EQ(std::memcmp(&v, &expected, sizeof v), 0) << text << " gave " << v << ", expected " << expected;
    }
}

TEST(XNUMBER_R8, RejectsEverythingBeyondTheGrammar) {
    const char* rows[] = {
        "1.2.3", "abc", "1.5X", "", "   ", ".", "-", "+-1", "E5", ".E3", "1E", "1E+",
        "1E5.0", "2*5", "3,4", "1/2", "1 2 3x", "0x10", "inf", "nan", "1e5e5", "--1",
        "1D2D3", "1.5E-", "1e400", "-1e400",
    };
    for (const char* text : rows) {
        SCOPED_TRACE(text);
        double v = -99;
        EXPECT_FALSE(XNUMBER_R8(text, v));
        EXPECT_EQ(v, 0);
    }
}

TEST(XNUMBER_R4, NarrowsAndChecksRange) {
    float v = -1;
    EXPECT_FALSE(XNUMBER_R4("1e39", v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(XNUMBER_R4("1e38", v));
    EXPECT_EQ(v, 1e38f);
    EXPECT_TRUE(XNUMBER_R4("3.4028234663852886e38", v));
    EXPECT_EQ(v, std::numeric_limits<float>::max());
    EXPECT_FALSE(XNUMBER_R4("-3.5e38", v));
    EXPECT_EQ(v, 0);
    EXPECT_FALSE(XNUMBER_R4("x", v));
    EXPECT_EQ(v, 0);
}

TEST(XNUMBER_I4, RoundsHalvesAwayFromZeroAndChecksRange) {
    struct Row {
        const char* text;
        bool ok;
        std::int32_t value;
    } rows[] = {
        {"2.5", true, 3},           {"-2.5", true, -3},          {"2.4", true, 2},
        {"2147483647", true, 2147483647}, {"2147483648", false, 0},
        {"-2147483647", true, -2147483647}, {"-2147483648", false, 0},
        {"2147483647.4", false, 0}, {"1e10", false, 0}, {"q", false, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        std::int32_t v = -1;
        EXPECT_EQ(XNUMBER_I4(r.text, v), r.ok);
        EXPECT_EQ(v, r.value);
    }
}
