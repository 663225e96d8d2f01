// The parameter list file: the lines written, and how lenient reading
// merges lines into the table.
#include <cstdio>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "ParamListFile.h"

namespace {

class ParamFileTest : public EngineTest {
protected:
    std::string written() {
        std::ostringstream out;
        XPARAMWRITE(out);
        return out.str();
    }
    void read(const std::string& text, std::optional<bool> quiet = std::nullopt, std::string_view source = {}) {
        std::istringstream in(text);
        XPARAMREAD(in, quiet, source);
    }
    // Every entry with its value, as one comparable text.
    std::string table() {
        std::string out;
        for (int i = 1; i <= XPARAMCOUNT(); ++i) {
            XVALUE v;
            const bool ok = XPARAMGET(i, v);
            const Entry e = entry(i);
            out += (e.factorOnly ? "*" : "") + e.name + "=" + e.expression + " !" + e.comment + " -> " +
                   (ok ? std::to_string(v.realValue) : "invalid") + "\n";
        }
        return out;
    }
    struct Entry {
        std::string name, expression, comment;
        bool factorOnly = false;
        bool operator==(const Entry&) const = default;
        friend void PrintTo(const Entry& e, std::ostream* os) {
            *os << (e.factorOnly ? "*" : "") << e.name << "=" << e.expression << " !" << e.comment;
        }
    };
    Entry entry(int index) {
        Entry e;
        EXPECT_TRUE(XPARAMFETCH(index, &e.name, &e.expression, &e.comment, &e.factorOnly));
        return e;
    }
};

TEST_F(ParamFileTest, LinesAsWritten) {
    EXPECT_EQ(written(), "");
    ASSERT_TRUE(XPARAMNEW("X", "2.54", "inch", true));
    ASSERT_TRUE(XPARAMNEW("Y", "3", ""));
    ASSERT_TRUE(XPARAMNEW("Z", "", "no expression", false, false));
    ASSERT_TRUE(XPARAMNEW("W", " 4 ", "  spaced"));
    EXPECT_EQ(written(), "*X=2.54 !inch\nY=3 !\nZ= !no expression\nW= 4 !  spaced\n");
}

TEST_F(ParamFileTest, WhatWasWrittenReadsBack) {
    ASSERT_TRUE(XPARAMNEW("Inch", "2.54", "cm per inch", true));
    ASSERT_TRUE(XPARAMNEW("Foot", "12 Inch", "cm"));
    ASSERT_TRUE(XPARAMNEW("Empty", "", "skipped", false, false));
    const std::string text = written();
    resetExpressionEngine();
    read(text);
    ASSERT_EQ(XPARAMCOUNT(), 2);
    EXPECT_EQ(entry(1), (Entry{"Inch", "2.54", "cm per inch", true}));
    EXPECT_EQ(entry(2), (Entry{"Foot", "12 Inch", "cm", false}));
    XVALUE v;
    EXPECT_TRUE(XPARAMGET(2, v));
    EXPECT_DOUBLE_EQ(v.realValue, 30.48);
}

TEST_F(ParamFileTest, LenientLinesIntoAnEmptyTable) {
    read("x = 3\n*  U=0.001\na b=1 !note\n");
    ASSERT_EQ(XPARAMCOUNT(), 3);
    EXPECT_EQ(entry(1), (Entry{"x", " 3", "", false}));
    EXPECT_EQ(entry(2), (Entry{"U", "0.001", "", true}));
    EXPECT_EQ(entry(3), (Entry{"ab", "1", "note", false}));
    EXPECT_TRUE(presenter.reports.empty());
    EXPECT_TRUE(notices.notices.empty());
}

TEST_F(ParamFileTest, LinesSkippedWithoutAMessage) {
    const char* lines[] = {
        "no equals sign",  "=5",       "   =5",        "x=!comment", "x=   !comment",
        "x=",              "!c=1",     "a!b=1",        "",           "   ",
        "* =1",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        read(std::string(line) + "\n");
        EXPECT_EQ(XPARAMCOUNT(), 0);
    }
    EXPECT_TRUE(presenter.reports.empty());
    EXPECT_TRUE(notices.notices.empty());
}

TEST_F(ParamFileTest, KnownNamesAreEditedInPlace) {
    ASSERT_TRUE(XPARAMNEW("A", "1", "a", true));
    ASSERT_TRUE(XPARAMNEW("B", "2", "b"));
    ASSERT_TRUE(XPARAMNEW("C", "3", "c"));
    read("b = A*5 !new\nnew=7\n");
    ASSERT_EQ(XPARAMCOUNT(), 4);
    EXPECT_EQ(entry(2), (Entry{"b", " A*5", "new", false}));
    XVALUE v;
    EXPECT_TRUE(XPARAMGET(2, v));
    EXPECT_EQ(v.realValue, 5);
    EXPECT_EQ(entry(4).name, "new");
    // An edited entry sees only the entries before its own position.
    read("a=C\n");
    EXPECT_FALSE(XPARAMGET(1, v));
    EXPECT_EQ(onlyReport().message, "Parameter used before being defined");
    EXPECT_FALSE(entry(1).factorOnly);  // the line carries no "*"
}

TEST_F(ParamFileTest, ForwardReferenceIsStoredInvalidAndReported) {
    read("p=1\nq=r+1\nr=2\n");
    ASSERT_EQ(XPARAMCOUNT(), 3);
    XVALUE v;
    EXPECT_FALSE(XPARAMGET(2, v));
    EXPECT_TRUE(XPARAMGET(3, v));
    const ExpressionErrorReport e = onlyReport();
    EXPECT_EQ(e.message, "Parameter used before being defined");
    EXPECT_EQ(e.display, "r+1");
    EXPECT_EQ(e.marker, "^");
}

TEST_F(ParamFileTest, RejectedLinesWarnAndReadingGoesOn) {
    const std::string longExpression = std::string(65, '1');
    read("ABCDEFGHIJ KLMNOPQ=1\n9z=1\nok=" + longExpression + "\nlast=2\n", true);
    ASSERT_EQ(XPARAMCOUNT(), 1);
    EXPECT_EQ(entry(1).name, "last");
    ASSERT_EQ(notices.notices.size(), 3u);
    EXPECT_EQ(notices.notices[0].caption, "TOO LONG");
    EXPECT_EQ(notices.notices[0].text, "The given name \"ABCDEFGHIJKLMNOPQ\" is too long.  16 chars. max.");
    EXPECT_EQ(notices.notices[1].caption, "BAD NAME");
    EXPECT_EQ(notices.notices[2].text,
              "The given expression \"" + longExpression + "\" is too long.  64 chars. max.");
}

TEST_F(ParamFileTest, OnlyTheFirst256CharactersOfALineCount) {
    read("y=1" + std::string(252, ' ') + "!c\nk=1" + std::string(100000, 'x') + "\nm=2");
    // y's "!" stands in column 256, its comment beyond: it reads as empty.
    ASSERT_EQ(XPARAMCOUNT(), 2);
    EXPECT_EQ(entry(1), (Entry{"y", "1", "", false}));
    EXPECT_EQ(entry(2).name, "m");
    // k's expression, cut to 80 characters, is too long for the table.
    ASSERT_EQ(notices.notices.size(), 1u);
    EXPECT_EQ(notices.notices[0].text,
              "The given expression \"1" + std::string(79, 'x') + "\" is too long.  64 chars. max.");
}

TEST_F(ParamFileTest, LineEndsOfEveryKind) {
    read("a=1\r\nb=2\rc=3\nf=4");
    ASSERT_EQ(XPARAMCOUNT(), 4);
    EXPECT_EQ(entry(1), (Entry{"a", "1", "", false}));
    EXPECT_EQ(entry(2), (Entry{"b", "2", "", false}));
    EXPECT_EQ(entry(3), (Entry{"c", "3", "", false}));
    EXPECT_EQ(entry(4), (Entry{"f", "4", "", false}));
    read("");
    EXPECT_EQ(XPARAMCOUNT(), 4);
}

TEST_F(ParamFileTest, BinaryJunkIsReadLineByLine) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>((i * 131 + 7) % 256));
    read(std::string("g\0h=1\n", 6) + junk + "\nlast=5\n", true);
    int index = 0;
    XPARAMFIND("gh", index);
    EXPECT_EQ(index, 1);
    XPARAMFIND("last", index);
    ASSERT_NE(index, 0);
    XVALUE v;
    EXPECT_TRUE(XPARAMGET(index, v));
    EXPECT_EQ(v.realValue, 5);
    for (const Notice& n : notices.notices) EXPECT_NE(n.caption, "LOGIC ERROR");
}

// A file saved with a UTF-8 byte-order mark reads as the same file without
// it. Only a whole mark at the very start goes: anywhere else, or in part,
// the bytes stay what they are.
TEST_F(ParamFileTest, ByteOrderMarkAtTheStartIsSkipped) {
    const std::string text = "*Inch = 2.54 !cm\r\nFoot=12 Inch\r\n";
    read(text);
    const std::string plain = table();
    resetExpressionEngine();
    read("\xEF\xBB\xBF" + text);
    EXPECT_EQ(table(), plain);
    EXPECT_TRUE(presenter.reports.empty());
    EXPECT_TRUE(notices.notices.empty());

    struct Row {
        const char* what;
        std::string text;
    } kept[] = {
        {"part of a mark", "\xEF\xBB" "A=1\n"},
        {"a mark on the second line", "Z=1\n\xEF\xBB\xBF" "A=1\n"},
    };
    for (const Row& r : kept) {
        SCOPED_TRACE(r.what);
        resetExpressionEngine();
        read(r.text, true);
        int index = 0;
        XPARAMFIND("A", index);
        EXPECT_EQ(index, 0);
    }
}

// Reading makes room for the entries of a long input at once; the table
// still shows the growth in steps of 16 that adding one entry at a time
// makes, and every entry is found by its name.
TEST_F(ParamFileTest, ReadingGrowsTheTableAsAddingDoes) {
    std::string text;
    // Long comments: the room made is for more than 32 entries.
    for (int i = 1; i <= 17; ++i) text += "P" + std::to_string(i) + "=" + std::to_string(i) + " !" + std::string(60, 'c') + "\n";
    read(text);
    ASSERT_EQ(XPARAMCOUNT(), 17);
    EXPECT_EQ(defaultEngine().params.size(), 32u);
    for (int i = 1; i <= 17; ++i) {
        int index = 0;
        XPARAMFIND("p" + std::to_string(i), index);
        EXPECT_EQ(index, i);
    }
}

// The mark itself (U+FEFF, invisible) is no name character. A name that
// begins with the three characters its bytes are in the Windows code page
// ("ï»¿"), in a file of that page, would begin the file with a mark once
// saved back: such a file is written in UTF-8 with the mark instead, and
// reads back with the name whole.
TEST_F(ParamFileTest, ANameThatBeginsLikeAByteOrderMarkReadsBack) {
    EXPECT_FALSE(XPARAMNEW("\xEF\xBB\xBF" "A", "1", ""));
    EXPECT_EQ(XPARAMCOUNT(), 0);

    const std::string name = "\xC3\xAF\xC2\xBB\xC2\xBF" "A";  // "ï»¿A"
    ASSERT_TRUE(XPARAMNEW(name, "1", "caf\xC3\xA9"));
    const std::string saved = listBytes(written(), ListEncoding::kCodePage);
    EXPECT_EQ(listEncoding(saved), ListEncoding::kUtf8WithMark);
    resetExpressionEngine();
    read(listText(saved));
    ASSERT_EQ(XPARAMCOUNT(), 1);
    EXPECT_EQ(entry(1).name, name);
    EXPECT_EQ(entry(1).comment, "caf\xC3\xA9");
}

// One read shows the reports of its first ten faulty lines; the faults of
// the lines after them are counted and told once. What is stored does not
// depend on what is shown.
TEST_F(ParamFileTest, FaultyLinesBeyondTheTenthAreCountedNotShown) {
    struct Row {
        const char* what;
        int lines;
        const char* line;  // printf pattern of one faulty line, %d its number
        std::size_t reports, warnings;
        const char* notice;  // the closing notice, or "" for none
        int stored;
    } rows[] = {
        {"3 000 bad names", 3000, "9A%d=1", 0, 10,
         "2 990 more lines of \"junk.par\" had faults; they were read as the first ones were.", 0},
        {"3 000 faulty expressions", 3000, "A%d=NOPE", 10, 0,
         "2 990 more lines of \"junk.par\" had faults; they were read as the first ones were.", 3000},
        {"eleven faulty lines", 11, "A%d=1/0", 10, 0,
         "1 more line of \"junk.par\" had faults; it was read as the first ones were.", 11},
        {"exactly ten", 10, "A%d=1/0", 10, 0, "", 10},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        resetExpressionEngine();
        clearRecords();
        std::string text;
        for (int i = 1; i <= r.lines; ++i) {
            char line[32];
            std::snprintf(line, sizeof line, r.line, i);
            text += std::string(line) + "\n";
        }
        read(text + "good=7\n", std::nullopt, "junk.par");
        EXPECT_EQ(presenter.reports.size(), r.reports);
        std::size_t warnings = 0;
        std::vector<std::string> closing;
        for (const Notice& n : notices.notices) {
            if (n.caption == "READ WARNINGS") closing.push_back(n.kind + ": " + n.text);
            else ++warnings;
        }
        EXPECT_EQ(warnings, r.warnings);
        if (*r.notice == '\0') {
            EXPECT_TRUE(closing.empty());
        } else {
            EXPECT_EQ(closing, std::vector<std::string>{std::string("warn: ") + r.notice});
        }
        ASSERT_EQ(XPARAMCOUNT(), r.stored + 1);
        XVALUE v;
        EXPECT_TRUE(XPARAMGET(XPARAMCOUNT(), v));
        EXPECT_EQ(v.realValue, 7);
    }
    // After the read every report reaches the user again.
    clearRecords();
    eval("1/0");
    EXPECT_EQ(presenter.reports.size(), 1u);
}

TEST_F(ParamFileTest, QuietArgumentHoldsOnlyForTheRead) {
    read("bad=1/0\n", true);
    EXPECT_TRUE(presenter.reports.empty());
    EXPECT_FALSE(defaultEngine().quiet);
    read("bad=2/0\n");
    EXPECT_EQ(presenter.reports.size(), 1u);
    XPARAMQUIET(true);
    read("bad=3/0\n", false);
    EXPECT_EQ(presenter.reports.size(), 2u);
    EXPECT_TRUE(defaultEngine().quiet);
}

}  // namespace

// What a save would not give back of a file: each row is a file and how
// many of its lines would be lost if it were read and the table saved over
// it. A file with none to lose must also come back whole from that round
// trip.
TEST_F(ParamFileTest, LinesASaveWouldNotGiveBackAreCounted) {
    using namespace std::string_literals;
    struct Row {
        const char* what;
        std::string text;
        int lost;
    };
    const std::vector<Row> rows = {
        {"plain lines", "a=1 !one\n*in=2.54\nb=a*in\n", 0},
        {"blanks around the pieces", "  a = 1  ! spaced\r\n", 0},
        {"blank lines", "\n   \n\t\r\n", 0},
        {"an expression in error is kept", "c=q\n", 0},
        {"a byte-order mark", "\xEF\xBB\xBF" "a=1\n", 0},
        {"the same line twice", "a=1\na=1\n", 0},
        {"a comment line", "! from the data sheet\na=1\n", 1},
        {"words without =", "resistors\na=1\n", 1},
        {"nothing before =", "=5\n", 1},
        {"nothing after =", "a=\n", 1},
        {"a bad name", "9x=1\n", 1},
        {"a name too long", "averyveryverylongname=1\n", 1},
        {"an expression too long", "a=" + std::string(65, '1') + "\n", 1},
        {"a comment too long", "a=1 !" + std::string(65, 'x') + "\n", 1},
        {"a line past 256 characters", "a=1" + std::string(260, ' ') + "!c\n", 1},
        {"a name defined again", "a=1\nb=2\nA=3\n", 1},
        {"a cut comment defined again", "a=1 !" + std::string(65, 'x') + "\na=2\n", 1},
        {"a NUL byte", "a=1\0b=2\n"s, 1},
        {"UTF-16", "a\0=\0" "1\0\n\0"s, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(linesNotWrittenBack(row.text), row.lost);
        if (row.lost != 0) continue;
        resetExpressionEngine();
        read(row.text, true);
        const std::string before = table();
        const std::string text = written();
        resetExpressionEngine();
        read(text, true);
        EXPECT_EQ(table(), before);
        EXPECT_EQ(linesNotWrittenBack(text), 0);
    }
}

TEST_F(ParamFileTest, ALongCommentIsToldAndCutBeforeACharacter) {
    // "a" and 40 two-byte letters: byte 64 is the first byte of the 32nd.
    std::string comment = "a";
    for (int i = 0; i < 40; ++i) comment += "\xC3\xA9";
    read("x=1 !" + comment + "\n");
    ASSERT_EQ(XPARAMCOUNT(), 1);
    EXPECT_EQ(entry(1).comment, comment.substr(0, 63));
    ASSERT_EQ(notices.notices.size(), 1u);
    EXPECT_EQ(notices.notices[0].caption, "TOO LONG");
    EXPECT_EQ(notices.notices[0].text, "The comment of \"x\" is too long.  64 chars. max.  It is kept as \"" +
                                           comment.substr(0, 63) + "\".");
    // Text in a one-byte code page is cut where it stands.
    notices.notices.clear();
    read("y=1 !" + std::string(70, '\xE9') + "\n");
    EXPECT_EQ(entry(2).comment, std::string(64, '\xE9'));
}
