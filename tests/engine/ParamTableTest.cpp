// The parameter table: name rules and their warnings, storage growth,
// evaluation order, and the routines that find, edit, move and delete.
#include <string>

#include "EngineTestSupport.h"

namespace {

using ParamTableTest = EngineTest;

std::string name(int index) {
    std::string n;
    XPARAMFETCH(index, &n);
    return n;
}

double value(int index) {
    XVALUE v;
    XPARAMGET(index, v);
    return v.realValue;
}

TEST_F(ParamTableTest, NameRulesAndTheirWarnings) {
    ASSERT_TRUE(XPARAMNEW("SPEED", "1", ""));
    clearRecords();
    const std::string deMessage =
        " is not a legal parameter name.  Parameter names starting with a 'D' or 'E' must be followed by a "
        "letter, i.e., have a letter as their second character.";
    struct Row {
        std::string name;
        std::string stored;   // accepted: the stored name
        const char* caption;  // rejected: the warning
        std::string text;
    } rows[] = {
        {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP", "", ""},
        {"ABCDEFGHIJKLMNOPQ", "", "TOO LONG",
         "The given name \"ABCDEFGHIJKLMNOPQ\" is too long.  16 chars. max."},
        {"ABCDEFGH IJKLMNOP", "", "TOO LONG", "The given name \"ABCDEFGH IJKLMNOP\" is too long.  16 chars. max."},
        {"my var", "myvar", "", ""},
        {"   lead  ", "lead", "", ""},
        {"   ", "", "NAME MISSING", "Parameter name cannot be blank."},
        {"a$b", "", "BAD CHARACTER",
         "The given name \"a$b\" contains the character $.  This character is not allowed in a parameter name."},
        {"x y.z", "", "BAD CHARACTER",
         "The given name \"xy.z\" contains the character ..  This character is not allowed in a parameter name."},
        {"_X", "_X", "", ""},
        {"\xE9t\xE9", "\xE9t\xE9", "", ""},
        // In UTF-8 a letter of any script is a letter, a sign is not; the
        // whole character is named.
        {"\xC5\x81\xC3\xB3" "d\xC5\xBA", "\xC5\x81\xC3\xB3" "d\xC5\xBA", "", ""},  // Łódź
        {"\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC", "", ""},  // 日本
        {"a\xE2\x88\x9E", "", "BAD CHARACTER",
         "The given name \"a\xE2\x88\x9E\" contains the character \xE2\x88\x9E.  This character is not allowed in a "
         "parameter name."},  // ∞
        {"x\xE2\x81\xB6", "", "BAD CHARACTER",
         "The given name \"x\xE2\x81\xB6\" contains the character \xE2\x81\xB6.  This character is not allowed in a "
         "parameter name."},  // ⁶
        {"9A", "", "BAD NAME",
         "The given name \"9A\" is not a legal parameter name.  Parameter names must start with a letter."},
        {"D", "", "BAD NAME", "The given name \"D\"" + deMessage},
        {"E", "", "BAD NAME", "The given name \"E\"" + deMessage},
        {"d2", "", "BAD NAME", "The given name \"d2\"" + deMessage},
        {"E1", "", "BAD NAME", "The given name \"E1\"" + deMessage},
        {"DX", "DX", "", ""},
        {"ex", "ex", "", ""},
        {"D_", "D_", "", ""},
        {"Speed", "", "DUPLICATE NAME",
         "The given name \"Speed\" is not unique.  Either delete or edit the existing parameter."},
        {"s p e e d", "", "DUPLICATE NAME",
         "The given name \"speed\" is not unique.  Either delete or edit the existing parameter."},
    };
    XPARAMQUIET(true);  // warnings are shown even while quiet
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        clearRecords();
        const int before = XPARAMCOUNT();
        const bool accepted = r.text.empty();
        EXPECT_EQ(XPARAMNEW(r.name, "1", ""), accepted);
        if (accepted) {
            EXPECT_EQ(XPARAMCOUNT(), before + 1);
            EXPECT_EQ(name(XPARAMCOUNT()), r.stored);
            EXPECT_TRUE(notices.notices.empty());
            continue;
        }
        EXPECT_EQ(XPARAMCOUNT(), before);
        ASSERT_EQ(notices.notices.size(), 1u);
        EXPECT_EQ(notices.notices[0].kind, "warn");
        EXPECT_EQ(notices.notices[0].caption, std::string(r.caption));
        EXPECT_EQ(notices.notices[0].text, r.text);
    }
}

TEST_F(ParamTableTest, ExpressionLengthLimit) {
    const std::string e64 = "1" + std::string(62, '0') + "1";
    EXPECT_TRUE(XPARAMNEW("A", e64 + "    ", ""));
    EXPECT_FALSE(XPARAMNEW("B", e64 + "1", ""));
    ASSERT_EQ(notices.notices.size(), 1u);
    EXPECT_EQ(notices.notices[0].caption, "TOO LONG");
    EXPECT_EQ(notices.notices[0].text, "The given expression \"" + e64 + "1\" is too long.  64 chars. max.");
    EXPECT_EQ(XPARAMCOUNT(), 1);
    EXPECT_FALSE(XPARAMEDIT("A", e64 + "1", "changed"));
    std::string comment;
    XPARAMFETCH(1, nullptr, nullptr, &comment);
    EXPECT_EQ(comment, "");
}

TEST_F(ParamTableTest, StorageGrowsBySixteenAndKeepsEntries) {
    for (int i = 1; i <= 16; ++i) ASSERT_TRUE(XPARAMNEW("P" + std::to_string(i), std::to_string(i), "c"));
    EXPECT_EQ(defaultEngine().params.size(), 16u);
    ASSERT_TRUE(XPARAMNEW("P17", "P16+1", ""));
    EXPECT_EQ(defaultEngine().params.size(), 32u);
    for (int i = 1; i <= 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(name(i), "P" + std::to_string(i));
        EXPECT_EQ(value(i), i);
    }
    EXPECT_EQ(value(17), 17);
}

TEST_F(ParamTableTest, NewEntryThatFailsToEvaluateIsStillStored) {
    EXPECT_TRUE(XPARAMNEW("A", "A+1", "self"));
    EXPECT_EQ(XPARAMCOUNT(), 1);
    const ExpressionErrorReport e = onlyReport();
    EXPECT_EQ(e.message, "Parameter used before being defined");
    XVALUE v;
    v.realValue = 5;
    EXPECT_FALSE(XPARAMGET(1, v));
    EXPECT_EQ(v.realValue, 0);  // copied although not valid: the initial value
    EXPECT_TRUE(v.isReal);
    EXPECT_TRUE(XPARAMNEW("B", "2", "", false, false));  // stored unevaluated
    EXPECT_FALSE(XPARAMGET(2, v));
    EXPECT_EQ(v.realValue, 0);
}

TEST_F(ParamTableTest, OnlyEarlierEntriesAreVisibleToAParameter) {
    ASSERT_TRUE(XPARAMNEW("A", "1", ""));
    ASSERT_TRUE(XPARAMNEW("B", "2", ""));
    ASSERT_TRUE(XPARAMNEW("C", "A+B", ""));
    ASSERT_TRUE(XPARAMNEW("Q", "4", ""));
    EXPECT_TRUE(PXNSOLVEPARAM(3));
    EXPECT_EQ(value(3), 3);
    clearRecords();
    // C edited to use Q, which stands after it: C fails and keeps its value.
    EXPECT_FALSE(XPARAMEDIT("C", "A+Q", ""));
    EXPECT_EQ(onlyReport().message, "Parameter used before being defined");
    XVALUE v;
    EXPECT_FALSE(XPARAMGET(3, v));
    EXPECT_EQ(v.realValue, 3);
    // A plain evaluation sees the whole table.
    double x = 0;
    EXPECT_TRUE(XNUMBEREX_R8("A+Q", x));
    EXPECT_EQ(x, 5);
}

TEST_F(ParamTableTest, MovingAnEntryBeforeItsInputIsFoundByUpdate) {
    ASSERT_TRUE(XPARAMNEW("A", "1", ""));
    ASSERT_TRUE(XPARAMNEW("B", "A + 1", ""));
    XPARAMMOVEUP(2);
    EXPECT_EQ(name(1), "B");
    EXPECT_EQ(value(1), 2);  // nothing re-evaluated by the move
    EXPECT_FALSE(XPARAMUPDATE());
    const ExpressionErrorReport e = onlyReport();
    EXPECT_EQ(e.message, "Parameter used before being defined");
    EXPECT_EQ(e.display, "A + 1");
    EXPECT_EQ(e.marker, "^");
    XPARAMMOVEDOWN(1);
    EXPECT_TRUE(XPARAMUPDATE());
}

TEST_F(ParamTableTest, UpdateEvaluatesEveryEntryAfterAFailure) {
    ASSERT_TRUE(XPARAMNEW("A", "1", ""));
    ASSERT_TRUE(XPARAMNEW("B", "A", ""));
    ASSERT_TRUE(XPARAMNEW("C", "A*2", ""));
    XPARAMMOVEDOWN(1);
    XPARAMMOVEDOWN(2);  // B C A
    ASSERT_EQ(name(3), "A");
    EXPECT_FALSE(XPARAMUPDATE());
    EXPECT_EQ(presenter.reports.size(), 2u);  // B and C each report
    XVALUE v;
    EXPECT_FALSE(XPARAMGET(1, v));
    EXPECT_FALSE(XPARAMGET(2, v));
    EXPECT_TRUE(XPARAMGET(3, v));  // A after them is still evaluated
}

TEST_F(ParamTableTest, FindIsBlindToCaseAndBlanksAndHonoursTheLimit) {
    ASSERT_TRUE(XPARAMNEW("Speed", "1", ""));
    ASSERT_TRUE(XPARAMNEW("B", "2", ""));
    ASSERT_TRUE(XPARAMNEW("C", "3", ""));
    ASSERT_TRUE(XPARAMNEW("ABCDEFGHIJKLMNOP", "4", ""));
    struct Row {
        const char* name;
        std::optional<int> limit;
        int index;
    } rows[] = {
        {"SPEED", {}, 1},  {" s p e e d ", {}, 1}, {"sp\teed", {}, 1}, {"c", 2, 0},
        {"c", 3, 3},       {"c", 99, 3},           {"c", 0, 0},        {"Z", {}, 0},
        {"ABCDEFGHIJKLMNOPQ", {}, 0},  // not cut to the 16-character name
        {"abcdefghijklmnop", {}, 4},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        int index = -1;
        XPARAMFIND(r.name, index, r.limit);
        EXPECT_EQ(index, r.index);
    }
}

TEST_F(ParamTableTest, EditStoresTheSqueezedNameAndOnlyWhatIsGiven) {
    ASSERT_TRUE(XPARAMNEW("Speed", "1", "old", true));
    EXPECT_FALSE(XPARAMEDIT("nothing", "2", ""));
    EXPECT_TRUE(notices.notices.empty());
    EXPECT_TRUE(XPARAMEDIT("s pEED", "2", "new"));
    std::string n, e, c;
    bool factor = false;
    ASSERT_TRUE(XPARAMFETCH(1, &n, &e, &c, &factor));
    EXPECT_EQ(n, "spEED");
    EXPECT_EQ(e, "2");
    EXPECT_EQ(c, "new");
    EXPECT_TRUE(factor);  // absent: unchanged
    int index = 0;
    XPARAMFIND("speed", index);
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(XPARAMEDIT("speed", "3", "", false, false));
    XVALUE v;
    EXPECT_FALSE(XPARAMGET(1, v));
    EXPECT_EQ(v.realValue, 0);
    EXPECT_FALSE(XPARAMGETFACTOR("speed"));
    EXPECT_TRUE(XPARAMGET(1, v, true));  // re-evaluation on request
    EXPECT_EQ(v.realValue, 3);
}

TEST_F(ParamTableTest, DependentsKeepOldValuesUntilReevaluated) {
    ASSERT_TRUE(XPARAMNEW("A", "1", ""));
    ASSERT_TRUE(XPARAMNEW("B", "A*10", ""));
    ASSERT_TRUE(XPARAMEDIT("A", "2", ""));
    EXPECT_EQ(value(2), 10);
    XVALUE v;
    EXPECT_TRUE(XPARAMGET(2, v, true));
    EXPECT_EQ(v.realValue, 20);
}

TEST_F(ParamTableTest, DeleteAndOutOfRangeIndexes) {
    ASSERT_TRUE(XPARAMNEW("A", "1", ""));
    ASSERT_TRUE(XPARAMNEW("B", "2", ""));
    ASSERT_TRUE(XPARAMNEW("C", "3", ""));
    EXPECT_TRUE(XPARAMDELETE("b"));
    EXPECT_EQ(XPARAMCOUNT(), 2);
    EXPECT_EQ(name(2), "C");
    EXPECT_EQ(value(2), 3);
    EXPECT_FALSE(XPARAMDELETE("B"));
    XPARAMMOVEUP(1);
    XPARAMMOVEUP(3);
    XPARAMMOVEDOWN(2);
    XPARAMMOVEDOWN(0);
    EXPECT_EQ(name(1), "A");
    EXPECT_EQ(name(2), "C");
    XVALUE v;
    v.realValue = 8;
    EXPECT_FALSE(XPARAMGET(0, v));
    EXPECT_FALSE(XPARAMGET(3, v));
    EXPECT_EQ(v.realValue, 8);
    EXPECT_FALSE(XPARAMFETCH(3));
    EXPECT_TRUE(XPARAMDELETE("A"));
    EXPECT_TRUE(XPARAMDELETE("C"));
    EXPECT_EQ(XPARAMCOUNT(), 0);
    EXPECT_FALSE(XPARAMFETCH(1));
    EXPECT_TRUE(notices.notices.empty());
}

}  // namespace

// Names compare without case, by the Windows code page's letters; the signs
// "÷" (0xF7) and "×" (0xD7), which stand where a lower- and an upper-case
// letter would, are two different names.
TEST_F(ParamTableTest, NamesCompareByLettersNotByTheirPlaceInTheCodePage) {
    struct Row {
        const char* first;
        const char* second;
        bool same;
    };
    const Row rows[] = {
        {"ab", "AB", true},
        {"caf\xE9", "CAF\xC9", true},  // é and É
        {"a\xF7", "a\xD7", false},     // ÷ and ×
        {"a\xFF", "a\xDF", false},     // ÿ and ß: outside the rule
        // The same in UTF-8, and letters of other scripts.
        {"caf\xC3\xA9", "CAF\xC3\x89", true},        // é and É
        {"a\xC3\xB7", "a\xC3\x97", false},           // ÷ and ×
        {"a\xC3\xBF", "a\xC5\xB8", false},           // ÿ and Ÿ: the code page's rule leaves ÿ alone
        {"\xC5\x82\xC3\xB3" "d\xC5\xBA", "\xC5\x81\xC3\x93" "D\xC5\xB9", true},  // łódź and ŁÓDŹ
        {"\xD0\xB4\xD0\xB0", "\xD0\x94\xD0\x90", true},  // да and ДА
        {"\xCF\x89", "\xCE\xA9", true},              // ω and Ω
        {"\xCF\x83", "\xCF\x82", false},             // σ and the final ς
        {"a\xC2\xB5", "a\xCE\xBC", false},           // the micro sign and μ
        {"\xE6\x97\xA5", "\xE6\x9C\xAC", false},   // 日 and 本
        {"\xEF\xBD\x81", "\xEF\xBC\xA1", true},    // full-width a and A
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.first);
        resetExpressionEngine();
        ASSERT_TRUE(XPARAMNEW(row.first, "1", ""));
        const bool added = XPARAMNEW(row.second, "2", "", false);
        EXPECT_EQ(added, !row.same);
        int index = 0;
        XPARAMFIND(row.second, index);
        EXPECT_EQ(index, row.same ? 1 : 2);
        XVALUE v;
        ASSERT_TRUE(XNUMBEREXGET(std::string(row.second) + "*10", v));
        EXPECT_EQ(v.realValue, row.same ? 10 : 20);
    }
}
