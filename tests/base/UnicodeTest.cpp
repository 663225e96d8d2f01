// UTF-8 reading, name characters, upper-casing and the older code page.
#include <gtest/gtest.h>

#include <string>

#include "Unicode.h"

namespace {

TEST(Unicode, OnlyTheStrictFormOfACharacterIsOne) {
    struct Row {
        const char* what;
        std::string bytes;
        char32_t code;
        std::size_t length;
    } rows[] = {
        {"two bytes", "\xC3\xA9", U'é', 2},
        {"three bytes", "\xE2\x88\x9E", U'∞', 3},
        {"four bytes", "\xF0\x9F\x98\x80", U'\U0001F600', 4},
        {"ASCII is no character of several bytes", "A", 0, 0},
        {"a lone code-page byte", "\xE9t", 0, 0},
        {"an overlong slash", "\xC0\xAF", 0, 0},
        {"an overlong three-byte form", "\xE0\x80\xAF", 0, 0},
        {"a surrogate half", "\xED\xA0\x80", 0, 0},
        {"past U+10FFFF", "\xF4\x90\x80\x80", 0, 0},
        {"cut short", "\xE2\x88", 0, 0},
        {"a continuation byte first", "\x88\x9E", 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const utf8::Character c = utf8::multiByteAt(r.bytes, 0);
        EXPECT_EQ(c.length, r.length);
        if (r.length != 0) {
            EXPECT_EQ(c.code, r.code);
        }
        EXPECT_EQ(utf8::wellFormed(r.bytes), r.length != 0 || r.bytes == "A");
    }
}

TEST(Unicode, CountsAndCutsByCharacters) {
    const std::string text = "\xC5\x81\xC3\xB3" "d\xC5\xBA \xE6\x97\xA5";  // "Łódź 日"
    EXPECT_EQ(utf8::characterCount(text), 6u);
    EXPECT_EQ(utf8::characterCount("caf\xE9"), 4u);  // a lone byte counts as one
    EXPECT_EQ(utf8::characterStart(text, 1), 0u);    // inside Ł
    EXPECT_EQ(utf8::characterStart(text, 2), 2u);    // at ó
    EXPECT_EQ(utf8::characterStart(text, 9), 8u);    // inside 日
    EXPECT_EQ(utf8::characterStart(text, 10), 8u);
}

TEST(Unicode, NameCharactersAreLettersMarksAndTheCodePage) {
    struct Row {
        const char* what;
        char32_t code;
        bool name;
    } rows[] = {
        {"Polish letter", U'ł', true},        {"Cyrillic letter", U'Ж', true},
        {"Greek letter", U'Ω', true},         {"ideograph", U'日', true},
        {"combining acute", U'\u0301', true}, {"division sign of the code page", U'÷', true},
        {"euro sign of the code page", U'€', true},
        {"infinity", U'∞', false},            {"superscript six", U'⁶', false},
        {"full-width plus", U'＋', false},    {"Arabic-Indic digit three", U'\u0663', false},
        {"byte-order mark", U'\uFEFF', false}, {"ideographic space", U'\u3000', false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(utf8::isNameCharacter(r.code), r.name);
    }
}

TEST(Unicode, UpperCasingNeverMakesOneOfTwoCharacters) {
    struct Row {
        const char* what;
        char32_t code, capital;
    } rows[] = {
        {"é", U'é', U'É'},         {"þ", U'þ', U'Þ'},
        {"÷ is no letter", U'÷', U'÷'},
        {"ÿ keeps the code page's rule", U'ÿ', U'ÿ'},
        {"ł", U'ł', U'Ł'},         {"ж", U'ж', U'Ж'},         {"ω", U'ω', U'Ω'},
        {"the final sigma stays", U'ς', U'ς'},
        {"the micro sign stays", U'µ', U'µ'},
        {"the dotless i stays (its capital is ASCII)", U'ı', U'ı'},
        {"a capital stays", U'Ж', U'Ж'},
        {"full-width a", U'ａ', U'Ａ'},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(utf8::upper(r.code), r.capital);
        EXPECT_EQ(utf8::encode(utf8::upper(r.code)).size(), utf8::encode(r.code).size());
    }
}

// The older code page under test is Windows-1252 in both builds (Wine's
// default); every byte reads as one character and writes back as itself.
TEST(Unicode, TheOlderCodePageRoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    const std::string text = utf8::fromCodePage(all);
    EXPECT_TRUE(utf8::wellFormed(text));
    EXPECT_EQ(utf8::fromCodePage("5 \x80 Z\xFCrich"), "5 \xE2\x82\xAC Z\xC3\xBCrich");
    ASSERT_TRUE(utf8::toCodePage(text).has_value());
    EXPECT_EQ(*utf8::toCodePage(text), all);
    EXPECT_FALSE(utf8::toCodePage("\xCE\xA9mega").has_value());  // Ω has no place in it
    EXPECT_FALSE(utf8::toCodePage("caf\xE9").has_value());        // no UTF-8 to begin with
}

}  // namespace
