// Parameter list text through the C interface: read with its warnings as
// data, written back, in either encoding a file may have.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "LibraryTestSupport.h"
#include "tallyon.h"

namespace {


int read(tly_engine* e, const std::string& text, const char* source = nullptr) {
    return tly_list_read(e, text.data(), text.size(), source);
}

std::string written(const tly_engine* e) {
    const std::size_t length = tly_list_write(e, nullptr, 0);
    std::string text(length + 1, '\0');
    EXPECT_EQ(tly_list_write(e, text.data(), text.size()), length);
    text.resize(length);
    return text;
}

struct Seen {
    std::string caption, text, context;
    int first, last;
    bool operator==(const Seen&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Seen& s) {
    return out << s.caption << " | " << s.text << " | " << s.context << " | " << s.first << ".." << s.last;
}

std::vector<Seen> notices(const tly_engine* e) {
    std::vector<Seen> out;
    for (int i = 0; i < tly_notice_count(e); ++i) {
        const tly_notice* n = tly_notice_at(e, i);
        out.push_back({n->caption, n->text, n->context, n->first, n->last});
    }
    return out;
}

TEST(ListText, ReadKeepsEveryLineItCanAndTellsWhatItCouldNot) {
    Engine e(tly_engine_new());
    const std::string text =
        "A=1 !one\n"
        "*IN=2.54 !inch\r\n"
        "1X=3\n"
        "C=2+\n"
        "B=A*2 !" + std::string(70, 'c') + "\n";
    EXPECT_EQ(read(e.get(), text, "units.par"), 3);
    const std::vector<Seen> expected = {
        {"BAD NAME", "The given name \"1X\" is not a legal parameter name.  Parameter names must start with a letter.",
         "", 0, 0},
        {"EXPRESSION ERROR", "Missing operand after", "parameter \"C\" of \"units.par\"", 2, 2},
        {"TOO LONG", "The comment of \"B\" is too long.  64 chars. max.  It is kept as \"" + std::string(64, 'c') + "\".",
         "", 0, 0},
    };
    EXPECT_EQ(notices(e.get()), expected);
    ASSERT_EQ(tly_param_count(e.get()), 4);
    tly_param c{};
    ASSERT_EQ(tly_param_get(e.get(), 3, &c), 0);
    EXPECT_STREQ(c.name, "C");
    EXPECT_EQ(c.valid, 0);  // kept, as a file keeps it, without a value
    EXPECT_EQ(written(e.get()), "A=1 !one\n*IN=2.54 !inch\nC=2+ !\nB=A*2 !" + std::string(64, 'c') + "\n");
}

TEST(ListText, ManyFaultyLinesAreCountedInOneNotice) {
    Engine e(tly_engine_new());
    std::string text;
    for (int i = 0; i < 25; ++i) text += "P" + std::to_string(i) + "=1/0\n";
    EXPECT_EQ(read(e.get(), text, "many.par"), 25);
    const std::vector<Seen> seen = notices(e.get());
    ASSERT_EQ(seen.size(), 11u);
    EXPECT_EQ(seen[0], (Seen{"EXPRESSION ERROR", "Division by zero", "parameter \"P0\" of \"many.par\"", 2, 2}));
    EXPECT_EQ(seen[10], (Seen{"READ WARNINGS",
                              "15 more lines of \"many.par\" had faults; they were read as the first ones were.", "", 0,
                              0}));
    EXPECT_EQ(tly_param_count(e.get()), 25);
}

TEST(ListText, EncodingsOfAFileAreRecognised) {
    struct Case {
        const char* what;
        std::string bytes;
        const char* name;
    } cases[] = {
        {"UTF-8", "CAF\xC3\x89=1\n", "CAF\xC3\x89"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" "CAF\xC3\x89=1\n", "CAF\xC3\x89"},
        {"Windows-1252", "CAF\xC9=1\n", "CAF\xC3\x89"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Engine e(tly_engine_new());
        EXPECT_EQ(read(e.get(), c.bytes), 0);
        tly_param p{};
        ASSERT_EQ(tly_param_get(e.get(), 1, &p), 0);
        EXPECT_STREQ(p.name, c.name);
        EXPECT_EQ(written(e.get()), std::string(c.name) + "=1 !\n");  // written back in UTF-8
    }
}

TEST(ListText, AWriteIntoASmallBufferIsCutAndSaysHowLongTheTextIs) {
    Engine e(tly_engine_new());
    tly_error error{};
    ASSERT_EQ(tly_param_set(e.get(), "LENGTH", "2.5", "metres", 0, &error), 0);
    const std::string whole = "LENGTH=2.5 !metres\n";
    char small[8];
    EXPECT_EQ(tly_list_write(e.get(), small, sizeof small), whole.size());
    EXPECT_STREQ(small, whole.substr(0, 7).c_str());
    EXPECT_EQ(tly_list_write(e.get(), nullptr, 0), whole.size());
    // Read into another engine, the text makes the same table.
    Engine copy(tly_engine_new());
    EXPECT_EQ(read(copy.get(), whole), 0);
    EXPECT_EQ(written(copy.get()), whole);
    EXPECT_EQ(tly_list_read(e.get(), nullptr, 0, nullptr), 0);
}

}  // namespace
