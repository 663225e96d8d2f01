// Engines side by side on threads: four threads, each with an engine and a
// table of its own, evaluate the same generated lines (and change their
// tables on the way) and must give what one thread alone gives, bit for bit.
// scripts/test runs this under ThreadSanitizer as well, which reports any
// state the engines share without knowing it.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "LibraryTestSupport.h"
#include "tallyon.h"

namespace {

constexpr int kLines = 100000;
constexpr int kThreads = 4;
constexpr int kParameters = 30;

// A line of the usual kinds: numbers, parameters, operators, pairs, the
// polar form, built-in functions and one of the program's, with now and
// then a fault.
class LineMaker {
public:
    explicit LineMaker(unsigned seed) : random_(seed) {}

    std::string line() {
        std::string text = term(0);
        if (pick(40) == 0) text += "+";           // missing operand
        if (pick(60) == 0) text += "/(P1-P1)";    // division by zero
        return text;
    }

private:
    unsigned pick(unsigned n) { return static_cast<unsigned>(random_() % n); }

    std::string operand() {
        switch (pick(6)) {
        case 0: return std::to_string(pick(100));
        case 1: return std::to_string(pick(1000)) + "." + std::to_string(pick(100));
        case 2: return std::to_string(1 + pick(9)) + "E-" + std::to_string(pick(4));
        default: return "P" + std::to_string(pick(kParameters + 2));  // two of them are never defined
        }
    }

    std::string term(int depth) {
        if (depth > 3) return operand();
        static const char* const kOperators[] = {"+", "-", "*", "/", "^"};
        switch (pick(9)) {
        case 0: return "#SQRT(" + term(depth + 1) + ")";
        case 1: return "#HALF(" + term(depth + 1) + ")";
        case 2: return "(" + term(depth + 1) + "," + term(depth + 1) + ")";
        case 3: return "-" + term(depth + 1);
        case 4: return "(" + term(depth + 1) + ")<" + std::to_string(pick(360));
        case 5: return "#MAX(" + term(depth + 1) + "," + operand() + ")";
        default: return term(depth + 1) + kOperators[pick(5)] + operand();
        }
    }

    std::mt19937 random_;
};

std::vector<std::string> makeLines() {
    LineMaker maker(2026);
    std::vector<std::string> lines;
    lines.reserve(kLines);
    for (int i = 0; i < kLines; ++i) lines.push_back(maker.line());
    return lines;
}

// What one line gave, to compare bit for bit.
struct Outcome {
    int status = 0;
    tly_value value{};
    tly_error error{};
    int names = 0;
};

bool same(const Outcome& a, const Outcome& b) {
    return a.status == b.status && std::memcmp(&a.value.re, &b.value.re, sizeof(double)) == 0 &&
           std::memcmp(&a.value.im, &b.value.im, sizeof(double)) == 0 &&
           std::memcmp(&a.value.real, &b.value.real, sizeof(double)) == 0 && a.value.is_real == b.value.is_real &&
           a.error.first == b.error.first && a.error.last == b.error.last &&
           std::strcmp(a.error.message, b.error.message) == 0 && a.names == b.names;
}

int half(void* user, int, const tly_value* args, tly_value* result, char*, size_t) {
    ++*static_cast<long*>(user);
    *result = args[0];
    result->re /= 2;
    result->im /= 2;
    result->real /= 2;
    return 0;
}

// One engine's whole run: its table, the lines, and changes to the table
// on the way, as each thread and the lone thread make them.
std::vector<Outcome> run(const std::vector<std::string>& lines) {
    std::vector<Outcome> out(lines.size());
    Engine engine(tly_engine_new());
    tly_engine* e = engine.get();
    long calls = 0;
    tly_function_define(e, "HALF", 1, 1, half, &calls);
    for (int i = 0; i < kParameters; ++i) {
        const std::string name = "P" + std::to_string(i);
        const std::string expression = i == 0   ? "1.5"
                                       : i % 7 == 0 ? "(P" + std::to_string(i - 1) + "," + std::to_string(i) + ")"
                                                    : "P" + std::to_string(i - 1) + "*1.01+" + std::to_string(i);
        tly_param_set(e, name.c_str(), expression.c_str(), nullptr, i == 3, nullptr);
    }
    std::vector<char> text(1 << 16);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i % 997 == 0) {
            const std::string changed = std::to_string(i % 13) + ".25*P4";
            tly_param_set(e, "P5", changed.c_str(), "changed on the way", 0, nullptr);
        }
        if (i % 10007 == 0) {
            // The table written out and read back in changes nothing.
            const std::size_t n = tly_list_write(e, text.data(), text.size());
            tly_list_read(e, text.data(), n, "again");
        }
        Outcome& o = out[i];
        o.status = tly_eval(e, lines[i].c_str(), &o.value, &o.error);
        if (o.status == 0) std::memset(&o.error, 0, sizeof o.error);
        if (i % 10 == 0) o.names = tly_names_used(e, lines[i].c_str(), nullptr);
    }
    return out;
}

TEST(Threads, FourEnginesGiveWhatOneGivesBitForBit) {
    const std::vector<std::string> lines = makeLines();
    const std::vector<Outcome> alone = run(lines);
    int evaluated = 0;
    for (const Outcome& o : alone) evaluated += o.status == 0 ? 1 : 0;
    // Most lines evaluate, and enough fail to compare faults as well.
    EXPECT_GT(evaluated, kLines / 2);
    EXPECT_LT(evaluated, kLines - kLines / 50);

    std::vector<std::vector<Outcome>> results(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) threads.emplace_back([&, t] { results[static_cast<std::size_t>(t)] = run(lines); });
    for (std::thread& t : threads) t.join();

    for (int t = 0; t < kThreads; ++t) {
        const std::vector<Outcome>& mine = results[static_cast<std::size_t>(t)];
        ASSERT_EQ(mine.size(), alone.size());
        for (std::size_t i = 0; i < alone.size(); ++i) {
            ASSERT_TRUE(same(mine[i], alone[i])) << "thread " << t << ", line " << i << ": " << lines[i] << " gave "
                                                 << mine[i].status << " " << mine[i].error.message << " vs "
                                                 << alone[i].status << " " << alone[i].error.message;
        }
    }
    std::printf("[ threads  ] %d engines on %d lines each (%d evaluated), the same as one engine alone\n", kThreads,
                kLines, evaluated);
}

}  // namespace
