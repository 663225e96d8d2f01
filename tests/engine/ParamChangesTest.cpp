// What counts as a change of the parameter table, for the program's
// question before quitting: only what a save would write differently.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "engine/EngineTestSupport.h"

using ParamChanges = EngineTest;

TEST_F(ParamChanges, OnlyWhatASaveWouldWriteCounts) {
    struct Row {
        const char* what;
        std::function<void()> act;
        bool counts;
    } rows[] = {
        {"a new entry", [] { XPARAMNEW("C", "3", ""); }, true},
        {"a new entry that fails to evaluate", [] { XPARAMNEW("Q", "NOPE", ""); }, true},
        {"a refused name", [] { XPARAMNEW("1A", "3", ""); }, false},
        {"another expression", [] { XPARAMEDIT("A", "5", "one"); }, true},
        {"another comment", [] { XPARAMEDIT("A", "1", "uno"); }, true},
        {"another factor-only flag", [] { XPARAMEDIT("A", "1", "one", true); }, true},
        {"the name in another case", [] { XPARAMEDIT("a", "1", "one"); }, true},
        {"the same definition again", [] { XPARAMEDIT("A", "1", "one", false); }, false},
        {"the same definition, unevaluated", [] { XPARAMEDIT("A", "1", "one", false, false); }, false},
        {"an edit of a missing name", [] { XPARAMEDIT("ZZ", "1", ""); }, false},
        {"a move up", [] { XPARAMMOVEUP(2); }, true},
        {"a move down", [] { XPARAMMOVEDOWN(1); }, true},
        {"a move up of the first entry", [] { XPARAMMOVEUP(1); }, false},
        {"a move down of the last entry", [] { XPARAMMOVEDOWN(2); }, false},
        {"a deletion", [] { XPARAMDELETE("B"); }, true},
        {"a deletion of a missing name", [] { XPARAMDELETE("ZZ"); }, false},
        {"re-evaluating one entry", [] {
             XVALUE v;
             XPARAMGET(2, v, true);
         }, false},
        {"re-evaluating the table", [] { XPARAMUPDATE(); }, false},
        {"writing the table", [] {
             std::ostringstream out;
             XPARAMWRITE(out);
         }, false},
        {"reading a file that changes an entry", [] {
             std::istringstream in("B=A+2 !\n");
             XPARAMREAD(in);
         }, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        resetExpressionEngine();
        XPARAMNEW("A", "1", "one");
        XPARAMNEW("B", "A+1", "");
        const auto before = paramTableChanges();
        row.act();
        EXPECT_EQ(paramTableChanges() != before, row.counts);
    }
}

TEST_F(ParamChanges, AResetDoesNotBringAnOldReadingBack) {
    XPARAMNEW("A", "1", "");
    const auto before = paramTableChanges();
    resetExpressionEngine();
    XPARAMNEW("A", "1", "");
    EXPECT_NE(paramTableChanges(), before);
}
