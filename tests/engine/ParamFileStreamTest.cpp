// Reading a list file takes its characters from the stream's buffer. The
// lines it finds, and the state it leaves the stream in, must be those of a
// reader that takes one character at a time with get() and peek(): lines
// end at LF, CR LF or a lone CR, only the first 256 characters of a line
// count, and the end of the input leaves eofbit and failbit set.
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace {

// The lines as get() and peek() find them, each cut to 256 characters.
std::vector<std::string> linesByGet(std::istream& in) {
    std::vector<std::string> lines;
    for (;;) {
        std::string line;
        bool any = false;
        for (;;) {
            const auto c = in.get();
            if (c == std::istream::traits_type::eof()) break;
            any = true;
            if (c == '\n') break;
            if (c == '\r') {
                if (in.peek() == '\n') in.get();
                break;
            }
            if (line.size() < 256) line.push_back(static_cast<char>(c));
        }
        if (!any) return lines;
        lines.push_back(line);
    }
}

struct Table {
    std::vector<std::string> rows;
    bool operator==(const Table&) const = default;
};

Table tableNow() {
    Table t;
    for (int i = 1; i <= XPARAMCOUNT(); ++i) {
        std::string name, expression, comment;
        bool factor = false;
        XPARAMFETCH(i, &name, &expression, &comment, &factor);
        t.rows.push_back((factor ? "*" : "") + name + "=" + expression + " !" + comment);
    }
    return t;
}

class ParamFileStreamTest : public EngineTest {};

// The lines a get() reader finds in the file, written again one per LF
// line, must make the same table as the file itself, and the file's stream
// must end in the state the get() reader left its own copy in.
void expectReadAsWithGet(const std::string& file) {
    std::istringstream byGet(file);
    std::string plain;
    for (const std::string& line : linesByGet(byGet)) plain += line + "\n";

    resetExpressionEngine();
    XPARAMQUIET(true);
    std::istringstream expected(plain);
    XPARAMREAD(expected);
    const Table want = tableNow();

    resetExpressionEngine();
    XPARAMQUIET(true);
    std::istringstream in(file);
    XPARAMREAD(in);
    ASSERT_EQ(tableNow(), want);
    ASSERT_EQ(in.rdstate(), byGet.rdstate());
}

TEST_F(ParamFileStreamTest, LinesAndStreamStateAsWithGet) {
    const char* pieces[] = {"A1=1", "B=2", "x y=3 !c", "*U=0.001", "\r", "\n", "\r\n", "\n\r", "=", "!",
                            "C", "D", "=X", " ", "Q=", "7", "\t", "Long=1+1+1+1+1+1+1+1+1+1+1+1+1+1"};
    std::mt19937 random(256);
    XPARAMQUIET(true);
    for (int i = 0; i < 3000; ++i) {
        std::string file;
        const int count = static_cast<int>(random() % 30);
        for (int k = 0; k < count; ++k) file += pieces[random() % std::size(pieces)];
        if (random() % 5 == 0) file += std::string(300, 'Z') + "=1\n";  // a line past 256 characters
        if (random() % 5 == 0) file += "K" + std::string(253, ' ') + "=5\r";  // its 256th character counts

        ASSERT_NO_FATAL_FAILURE(expectReadAsWithGet(file)) << "file [" << file << "]";
    }
}

// Files of several thousand characters, so that lines, line ends (a CR
// and its LF too) and long lines fall across the places where the reader
// takes the next part of the input.
TEST_F(ParamFileStreamTest, LongFilesReadAsWithGet) {
    const char* pieces[] = {"A1=1", "B=2+A1", "x y=3 !c", "*U=0.001", "\r", "\n", "\r\n", "\n", "=", "!", "Q=",
                            "7", "\t", " ", "Long=1+1+1+1+1+1+1+1+1+1+1+1+1+1 !a comment of some length"};
    std::mt19937 random(4096);
    XPARAMQUIET(true);
    for (int i = 0; i < 100; ++i) {
        std::string file;
        const std::size_t size = 4000 + random() % 9000;
        while (file.size() < size) {
            file += pieces[random() % std::size(pieces)];
            // Long names put the "=" late, often past a block's end.
            if (random() % 6 == 0) file += std::string(100 + random() % 200, 'Z') + "=1\r";
        }
        ASSERT_NO_FATAL_FAILURE(expectReadAsWithGet(file)) << "file of " << file.size() << " characters, case " << i;
    }
}

TEST_F(ParamFileStreamTest, TheTwoHundredFiftySixthCharacterIsTheLastRead) {
    std::istringstream in("K" + std::string(253, ' ') + "=5\rL" + std::string(254, ' ') + "=6\r\n");
    XPARAMREAD(in);
    ASSERT_EQ(XPARAMCOUNT(), 1);
    std::string name, expression;
    XPARAMFETCH(1, &name, &expression);
    EXPECT_EQ(name, "K");
    EXPECT_EQ(expression, "5");
}

TEST_F(ParamFileStreamTest, AStreamThatFailedAlreadyGivesNothing) {
    std::istringstream in("A=1\n");
    in.setstate(std::ios::failbit);
    XPARAMREAD(in);
    EXPECT_EQ(XPARAMCOUNT(), 0);
    EXPECT_EQ(in.rdstate(), std::ios::failbit);
    std::istringstream empty("");
    XPARAMREAD(empty);
    EXPECT_EQ(empty.rdstate(), std::ios::eofbit | std::ios::failbit);
}

}  // namespace
