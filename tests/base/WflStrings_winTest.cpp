// Code-page conversions under the real Windows API.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "WflStrings.h"

TEST(XUNICODE, RoundTripsThroughTheAnsiCodePage) {
    struct Row {
        const char* what;
        std::string text;
    } rows[] = {
        {"empty", ""},
        {"ascii expression", "#SQRT(x**2 + y**2) < 45"},
        {"blanks kept", "  a  "},
        {"accented letters of the code page", "caf\xE9 \xC0\xFF"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::vector<wchar_t> wide = XUNICODE(r.text);
        ASSERT_FALSE(wide.empty());
        EXPECT_EQ(wide.back(), L'\0');
        EXPECT_EQ(wide.size(), r.text.size() + 1);  // single-byte code page: one unit each
        EXPECT_EQ(XMULTIBYTE(wide.data()), r.text);
    }
}

TEST(XUNICODE, AgreesWithTheSystemConversion) {
    std::vector<wchar_t> wide = XUNICODE("A\xE9");
    EXPECT_EQ(wide[0], L'A');
    wchar_t expected = 0;
    MultiByteToWideChar(CP_ACP, 0, "\xE9", 1, &expected, 1);
    EXPECT_EQ(wide[1], expected);
    EXPECT_EQ(XMULTIBYTE(nullptr), "");
}

TEST(XLOADSTRING, MissingResourceIsEmpty) {
    EXPECT_EQ(XLOADSTRING(54321), "");
}

// These tests run in the code page 1252 (no UTF-8 manifest): what it has no
// place for becomes "?", never a look-alike, and the exact form refuses it.
TEST(XMULTIBYTE, NeverMakesALookAlikeInAnOlderCodePage) {
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(XMULTIBYTE(L"\x03A9mega.par"), "?mega.par");     // Ωmega.par, not Omega.par
    EXPECT_EQ(XMULTIBYTE(L"\x0141\x00F3" L"d\x017A"), "?\xF3" "d?");  // Łódź: ó is in the page
    EXPECT_FALSE(XMULTIBYTEEXACT(L"\x0141ukasz").has_value());
    EXPECT_EQ(XMULTIBYTEEXACT(L"caf\x00E9"), std::optional<std::string>("caf\xE9"));
}
