// The C interface as a program that links the library uses it: values,
// faults with their messages and columns, the table, names an expression
// uses, the program's own functions and the notices.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "TallyonVersion.h"
#include "LibraryTestSupport.h"
#include "tallyon.h"

namespace {


Engine newEngine() {
    Engine e(tly_engine_new());
    EXPECT_NE(e, nullptr);
    return e;
}

void define(tly_engine* e, const char* name, const char* expression, int factorOnly = 0) {
    tly_error error{};
    ASSERT_EQ(tly_param_set(e, name, expression, nullptr, factorOnly, &error), 0) << name << ": " << error.message;
}

tly_param entry(const tly_engine* e, int index) {
    tly_param p{};
    EXPECT_EQ(tly_param_get(e, index, &p), 0) << index;
    return p;
}

std::vector<std::string> names(const tly_engine* e) {
    std::vector<std::string> out;
    for (int i = 1; i <= tly_param_count(e); ++i) out.push_back(entry(e, i).name);
    return out;
}

TEST(Library, VersionIsTheProjects) { EXPECT_STREQ(tly_version(), TALLYON_VERSION); }

TEST(Library, ValuesOfExpressions) {
    struct Case {
        const char* text;
        double re, im;
        bool isReal;
    } cases[] = {
        {"2*(3+4)", 14, 0, true},
        {"  2*(3+4)  ", 14, 0, true},
        {"(3,4)*2", 6, 8, false},
        {"#SQRT(-4)", 0, 2, false},
        {"2^10", 1024, 0, true},
        {"1.5E3", 1500, 0, true},
        {"#ABS((3,4))", 5, 0, true},
    };
    Engine e = newEngine();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        tly_value v{};
        tly_error error{};
        ASSERT_EQ(tly_eval(e.get(), c.text, &v, &error), 0) << error.message;
        EXPECT_EQ(v.re, c.re);
        EXPECT_EQ(v.im, c.im);
        EXPECT_EQ(v.is_real != 0, c.isReal);
        if (c.isReal) {
            EXPECT_EQ(v.real, c.re);
        }
    }
}

TEST(Library, FaultsCarryTheMessageAndTheColumnsOfTheText) {
    struct Case {
        const char* text;
        const char* message;
        int first, last;
    } cases[] = {
        {"2+", "Missing operand after", 2, 2},
        {"   2+", "Missing operand after", 5, 5},  // columns of the text as given, blanks and all
        {"1/0", "Division by zero", 2, 2},
        {"2*X", "Parameter used before being defined", 3, 3},
        {"\xC3\xA9+\xE2\x88\x9E", "Illegal character used", 3, 3},  // "é+∞": columns count characters
        {"#NOSUCH(1)", "Unrecognized function name", 1, 7},
        {"", "Given line empty", 1, 1},
    };
    Engine e = newEngine();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        tly_value v{1, 1, 1, 1};
        tly_error error{};
        ASSERT_EQ(tly_eval(e.get(), c.text, &v, &error), 1);
        EXPECT_STREQ(error.message, c.message);
        EXPECT_EQ(error.first, c.first);
        EXPECT_EQ(error.last, c.last);
        EXPECT_EQ(v.re, 0.0);  // a fault leaves no value
        EXPECT_EQ(v.is_real, 0);
    }
}

TEST(Library, RealOnlyRefusesAComplexValueOverTheWholeLine) {
    Engine e = newEngine();
    tly_value v{};
    tly_error error{};
    ASSERT_EQ(tly_eval(e.get(), "(1,2)", &v, &error), 0);
    tly_set_real_only(e.get(), 1);
    ASSERT_EQ(tly_eval(e.get(), "(1,2)", &v, &error), 1);
    EXPECT_STREQ(error.message,
                 "Expression has non-zero imaginary part.  Pure real required.  Check for spurious comma.");
    EXPECT_EQ(error.first, 1);
    EXPECT_EQ(error.last, 5);
    EXPECT_EQ(tly_eval(e.get(), "2*3", &v, &error), 0);
}

TEST(Library, EnginesKeepTheirTablesAndSwitchesApart) {
    Engine a = newEngine();
    Engine b = newEngine();
    define(a.get(), "LENGTH", "2.5");
    define(b.get(), "LENGTH", "8");
    define(b.get(), "WIDTH", "3");
    tly_set_real_only(a.get(), 1);
    tly_value v{};
    tly_error error{};
    ASSERT_EQ(tly_eval(a.get(), "LENGTH*2", &v, nullptr), 0);
    EXPECT_EQ(v.real, 5.0);
    ASSERT_EQ(tly_eval(b.get(), "LENGTH*2", &v, nullptr), 0);
    EXPECT_EQ(v.real, 16.0);
    EXPECT_EQ(tly_eval(a.get(), "WIDTH", &v, &error), 1);
    EXPECT_STREQ(error.message, "Parameter used before being defined");
    EXPECT_EQ(tly_eval(b.get(), "(1,2)", &v, nullptr), 0);  // b is not real-only
    EXPECT_EQ(tly_param_delete(a.get(), "LENGTH"), 0);
    EXPECT_EQ(tly_param_count(a.get()), 0);
    EXPECT_EQ(tly_param_count(b.get()), 2);
}

TEST(Library, ARefusedSetLeavesTheTableAsItWas) {
    struct Case {
        const char* name;
        const char* expression;
        const char* message;
        int first, last;
    } cases[] = {
        {"1X", "2", "The given name \"1X\" is not a legal parameter name.  Parameter names must start with a letter.",
         0, 0},
        {"", "2", "Parameter name cannot be blank.", 0, 0},
        {"NEW", "2+", "Missing operand after", 2, 2},
        {"NEW", " 1/0", "Division by zero", 3, 3},
        {"NEW", "NEW+1", "Parameter used before being defined", 1, 3},
        {"A", "B", "Parameter used before being defined", 1, 1},  // A may not use the later B
        {"A", "1/0", "Division by zero", 2, 2},
    };
    Engine e = newEngine();
    define(e.get(), "A", "1");
    define(e.get(), "B", "A*2");
    char before[512];
    tly_list_write(e.get(), before, sizeof before);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " = " + c.expression);
        tly_error error{};
        ASSERT_EQ(tly_param_set(e.get(), c.name, c.expression, "", 0, &error), 1);
        EXPECT_STREQ(error.message, c.message);
        EXPECT_EQ(error.first, c.first);
        EXPECT_EQ(error.last, c.last);
        char after[512];
        tly_list_write(e.get(), after, sizeof after);
        EXPECT_STREQ(after, before);
        EXPECT_EQ(entry(e.get(), 1).value.real, 1.0);
        EXPECT_EQ(entry(e.get(), 2).value.real, 2.0);
    }
}

// The record holds 159 bytes of a message; a longer warning is cut there,
// and the whole of it is the call's notice.
TEST(Library, ALongWarningIsWholeInTheNoticeOfTheCall) {
    Engine e = newEngine();
    tly_error error{};
    ASSERT_EQ(tly_param_set(e.get(), "D2", "2", "", 0, &error), 1);
    const std::string whole =
        "The given name \"D2\" is not a legal parameter name.  Parameter names starting with a 'D' or 'E' "
        "must be followed by a letter, i.e., have a letter as their second character.";
    ASSERT_GT(whole.size(), sizeof error.message - 1);
    EXPECT_EQ(std::string(error.message), whole.substr(0, sizeof error.message - 1));
    ASSERT_EQ(tly_notice_count(e.get()), 1);
    EXPECT_STREQ(tly_notice_at(e.get(), 0)->caption, "BAD NAME");
    EXPECT_EQ(tly_notice_at(e.get(), 0)->text, whole);
}

TEST(Library, ChangesReachTheEntriesThatUseThem) {
    Engine e = newEngine();
    define(e.get(), "A", "1");
    define(e.get(), "B", "A*2");
    define(e.get(), "C", "B+A");
    define(e.get(), "A", "5");  // an entry changed in place
    EXPECT_EQ(names(e.get()), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(entry(e.get(), 2).value.real, 10.0);
    EXPECT_EQ(entry(e.get(), 3).value.real, 15.0);

    // Deleted, A leaves B and C without a value.
    EXPECT_EQ(tly_param_delete(e.get(), "a"), 0);
    EXPECT_EQ(tly_param_delete(e.get(), "A"), 1);
    EXPECT_EQ(names(e.get()), (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(entry(e.get(), 1).valid, 0);
    EXPECT_EQ(entry(e.get(), 1).value.re, 0.0);
    tly_value v{};
    tly_error error{};
    EXPECT_EQ(tly_eval(e.get(), "B", &v, &error), 1);
    EXPECT_STREQ(error.message, "Parameter used before being defined");
}

TEST(Library, MovingAnEntryEvaluatesTheTableInItsNewOrder) {
    Engine e = newEngine();
    define(e.get(), "A", "2");
    define(e.get(), "B", "3");
    define(e.get(), "C", "A*B");
    EXPECT_EQ(tly_param_move_up(e.get(), 1), 1);  // the first cannot go up
    EXPECT_EQ(tly_param_move_down(e.get(), 3), 1);
    EXPECT_EQ(tly_param_move_up(e.get(), 4), 1);
    EXPECT_EQ(tly_param_move_up(e.get(), 3), 0);
    EXPECT_EQ(names(e.get()), (std::vector<std::string>{"A", "C", "B"}));
    EXPECT_EQ(entry(e.get(), 2).valid, 0);  // C now stands before the B it uses
    EXPECT_EQ(tly_param_move_down(e.get(), 2), 0);
    EXPECT_EQ(names(e.get()), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(entry(e.get(), 3).valid, 1);
    EXPECT_EQ(entry(e.get(), 3).value.real, 6.0);
}

TEST(Library, EntriesAsStored) {
    Engine e = newEngine();
    tly_error error{};
    ASSERT_EQ(tly_param_set(e.get(), "IN", "2.54", "centimetres per inch", 1, &error), 0);
    ASSERT_EQ(tly_param_set(e.get(), "Z", "(0,1)", nullptr, 0, &error), 0);
    EXPECT_EQ(tly_param_find(e.get(), "in"), 1);
    EXPECT_EQ(tly_param_find(e.get(), "I N"), 1);  // blanks do not count
    EXPECT_EQ(tly_param_find(e.get(), "Q"), 0);
    const tly_param in = entry(e.get(), 1);
    EXPECT_STREQ(in.name, "IN");
    EXPECT_STREQ(in.expression, "2.54");
    EXPECT_STREQ(in.comment, "centimetres per inch");
    EXPECT_EQ(in.factor_only, 1);
    EXPECT_EQ(in.valid, 1);
    EXPECT_EQ(in.value.real, 2.54);
    const tly_param z = entry(e.get(), 2);
    EXPECT_EQ(z.value.is_real, 0);
    EXPECT_EQ(z.value.im, 1.0);
    tly_param none{};
    EXPECT_EQ(tly_param_get(e.get(), 3, &none), 1);
    EXPECT_EQ(tly_param_get(e.get(), 0, &none), 1);
    // A factor-only entry turns the sign before it into a product.
    tly_value v{};
    ASSERT_EQ(tly_eval(e.get(), "2-IN", &v, nullptr), 0);
    EXPECT_EQ(v.real, 2 * 2.54);
    tly_param_clear(e.get());
    EXPECT_EQ(tly_param_count(e.get()), 0);
    EXPECT_EQ(tly_eval(e.get(), "IN", &v, nullptr), 1);
}

TEST(Library, NamesAnExpressionUsesAreListedWithoutEvaluatingIt) {
    Engine e = newEngine();
    define(e.get(), "LENGTH", "2");
    struct Case {
        const char* text;
        std::vector<std::string> names;
    } cases[] = {
        {"2*LENGTH + width*length + #SQRT(area)", {"LENGTH", "width", "area"}},
        {"my var * 2", {"my", "var"}},  // two names side by side: a product
        {"1/0 + X", {"X"}},         // not evaluated
        {"(3,4)*2", {}},
        {"\xC3\xA9t\xC3\xA9 + \xC3\x89T\xC3\x89", {"\xC3\xA9t\xC3\xA9"}},  // "été" and "ÉTÉ" are one name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        tly_error error{};
        const int n = tly_names_used(e.get(), c.text, &error);
        ASSERT_EQ(n, static_cast<int>(c.names.size())) << error.message;
        for (int i = 0; i < n; ++i) EXPECT_EQ(tly_name_used(e.get(), i), c.names[static_cast<std::size_t>(i)]);
        EXPECT_EQ(tly_name_used(e.get(), n), nullptr);
    }
    tly_error error{};
    EXPECT_EQ(tly_names_used(e.get(), "2*(", &error), -1);
    EXPECT_STREQ(error.message, "Parentheses do not balance");
}

// A function of the program: the hypotenuse of two real arguments, which
// counts its calls through its user pointer.
int hypotenuse(void* user, int count, const tly_value* args, tly_value* result, char* message, size_t size) {
    ++*static_cast<int*>(user);
    if (count != 2 || !args[0].is_real || !args[1].is_real) {
        std::snprintf(message, size, "Both sides must be real");
        return 1;
    }
    result->is_real = 1;
    result->real = std::hypot(args[0].real, args[1].real);
    result->re = result->real;
    return 0;
}

int sumOfAll(void*, int count, const tly_value* args, tly_value* result, char*, size_t) {
    result->re = result->im = 0;
    for (int i = 0; i < count; ++i) {
        result->re += args[i].re;
        result->im += args[i].im;
    }
    result->is_real = 0;
    return 0;
}

TEST(Library, FunctionsOfTheProgramBelongToTheirEngine) {
    Engine e = newEngine();
    Engine other = newEngine();
    int calls = 0;
    ASSERT_EQ(tly_function_define(e.get(), "Hyp", 2, 2, hypotenuse, &calls), 0);
    ASSERT_EQ(tly_function_define(e.get(), "SUM_4", 1, 4, sumOfAll, nullptr), 0);
    struct Refused {
        const char* name;
        int min, max;
    } refused[] = {{"SQRT", 1, 1}, {"1X", 1, 1}, {"A-B", 1, 1}, {"", 1, 1}, {"OK", 0, 1}, {"OK", 2, 1}, {"OK", 1, 5},
                   {"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEF", 1, 1}};
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(tly_function_define(e.get(), r.name, r.min, r.max, sumOfAll, nullptr), 1);
    }
    EXPECT_EQ(tly_function_define(e.get(), "OK", 1, 1, nullptr, nullptr), 1);

    tly_value v{};
    tly_error error{};
    ASSERT_EQ(tly_eval(e.get(), "2*#HYP(3,4)", &v, &error), 0) << error.message;
    EXPECT_EQ(v.real, 10.0);
    EXPECT_EQ(v.is_real, 1);
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(tly_eval(e.get(), "#sum_4(1,(0,2),3)", &v, &error), 0) << error.message;
    EXPECT_EQ(v.re, 4.0);
    EXPECT_EQ(v.im, 2.0);
    // A sum whose imaginary part vanishes is real, as the engine's own are.
    ASSERT_EQ(tly_eval(e.get(), "#SUM_4((1,2),(1,-2))", &v, &error), 0);
    EXPECT_EQ(v.is_real, 1);

    struct Fault {
        const char* text;
        const char* message;
        int first, last;
    } faults[] = {
        {"1+#HYP((0,1),4)", "Both sides must be real", 3, 15},
        {"#HYP(3)", "Function has too few arguments.  2 reqd.", 1, 7},
        {"#HYP(1,2,3)", "Function has too many arguments.  2 max.", 1, 11},
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.text);
        ASSERT_EQ(tly_eval(e.get(), f.text, &v, &error), 1);
        EXPECT_STREQ(error.message, f.message);
        EXPECT_EQ(error.first, f.first);
        EXPECT_EQ(error.last, f.last);
    }
    ASSERT_EQ(tly_eval(other.get(), "#HYP(3,4)", &v, &error), 1);
    EXPECT_STREQ(error.message, "Unrecognized function name");

    // Defined again, a name takes the new definition.
    ASSERT_EQ(tly_function_define(e.get(), "hyp", 1, 4, sumOfAll, nullptr), 0);
    ASSERT_EQ(tly_eval(e.get(), "#HYP(3,4)", &v, &error), 0);
    EXPECT_EQ(v.re, 7.0);
}

// A function that evaluates on the engine that called it: the engine is
// busy, so the inner call is a fault, and so is the outer one.
int reentering(void* user, int, const tly_value*, tly_value*, char* message, size_t size) {
    tly_error inner{};
    if (tly_eval(static_cast<tly_engine*>(user), "1", nullptr, &inner) == 0) return 0;
    std::snprintf(message, size, "%s", inner.message);
    return 1;
}

TEST(Library, AFunctionThatUsesItsOwnEngineGetsAFaultNotAMuddle) {
    Engine e = newEngine();
    ASSERT_EQ(tly_function_define(e.get(), "AGAIN", 1, 1, reentering, e.get()), 0);
    tly_value v{};
    tly_error error{};
    ASSERT_EQ(tly_eval(e.get(), "2*#AGAIN(3)", &v, &error), 1);
    EXPECT_STREQ(error.message, "Routine PXNSOLVE entered during another evaluation.");
    EXPECT_EQ(error.first, 3);
    EXPECT_EQ(error.last, 11);
    ASSERT_EQ(tly_eval(e.get(), "2*3", &v, &error), 0);  // and the engine works on
    EXPECT_EQ(v.real, 6.0);
}

struct Heard {
    std::vector<int> kinds;
    std::vector<std::string> captions;
};

int listen(void* user, int kind, const tly_notice* notice) {
    auto* heard = static_cast<Heard*>(user);
    heard->kinds.push_back(kind);
    heard->captions.push_back(notice->caption);
    return 0;
}

TEST(Library, NoticesReachTheCallbackAsTheyHappen) {
    Engine e = newEngine();
    Heard heard;
    tly_set_notice_callback(e.get(), listen, &heard);
    tly_error error{};
    EXPECT_EQ(tly_param_set(e.get(), "1X", "2", "", 0, &error), 1);
    EXPECT_EQ(tly_eval(e.get(), "2+", nullptr, &error), 1);
    EXPECT_EQ(heard.kinds, (std::vector<int>{TLY_NOTICE_WARNING, TLY_NOTICE_EXPRESSION}));
    EXPECT_EQ(heard.captions, (std::vector<std::string>{"BAD NAME", "EXPRESSION ERROR"}));
    // The last call's notices are kept as data as well.
    ASSERT_EQ(tly_notice_count(e.get()), 1);
    EXPECT_STREQ(tly_notice_at(e.get(), 0)->text, "Missing operand after");
    EXPECT_EQ(tly_notice_at(e.get(), 1), nullptr);
    tly_set_notice_callback(e.get(), nullptr, nullptr);
    EXPECT_EQ(tly_eval(e.get(), "1/0", nullptr, &error), 1);
    EXPECT_EQ(heard.kinds.size(), 2u);
}

TEST(Library, NullArgumentsAreFaultsNotCrashes) {
    tly_error error{};
    tly_value v{};
    EXPECT_EQ(tly_eval(nullptr, "1", &v, &error), 1);
    EXPECT_STRNE(error.message, "");
    Engine e = newEngine();
    EXPECT_EQ(tly_eval(e.get(), nullptr, &v, &error), 1);
    EXPECT_EQ(tly_eval(e.get(), "1", nullptr, nullptr), 0);
    EXPECT_EQ(tly_param_set(e.get(), nullptr, "1", nullptr, 0, nullptr), 1);
    EXPECT_EQ(tly_param_count(nullptr), 0);
    EXPECT_EQ(tly_names_used(e.get(), nullptr, nullptr), -1);
    tly_engine_free(nullptr);
}

}  // namespace
