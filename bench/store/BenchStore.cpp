// The parameter store at 1 000, 10 000 and 20 000 parameters, each defined
// from earlier ones: reading the list file, re-evaluating the whole table,
// finding the last name and writing the file, beside a floor for reading:
// each line of the same file read, cut at its "=" and "!", and its
// expression evaluated once (against a table that already holds every name).
//
// Prints a table of median times, the growth of each routine from 10 000 to
// 20 000 parameters and the ratio of reading to the floor, and ends with a
// line "store-summary <largest growth> <largest read/floor>".
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "BenchSupport.h"
#include "ParamListGenerator.h"
#include "XExpression.h"

namespace {

constexpr int kSizes[] = {1000, 10000, 20000};

const std::string& fileOf(int count) {
    static std::map<int, std::string> files;
    auto it = files.find(count);
    if (it == files.end()) it = files.emplace(count, benchParamListFile(count)).first;
    return it->second;
}

void loadTable(int count) {
    resetExpressionEngine();
    std::istringstream in(fileOf(count));
    XPARAMREAD(in);
}

// The least work reading the file takes: each line read and cut into its
// parts, and its expression evaluated once. The table must already hold
// the names the expressions use.
double floorRead(const std::string& file) {
    std::istringstream in(file);
    std::string line;
    double sum = 0;
    XVALUE v;
    while (std::getline(in, line)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::size_t bang = std::min(line.find('!', equals), line.size());
        if (XNUMBEREXGET(std::string_view(line).substr(equals + 1, bang - equals - 1), v)) sum += v.realValue;
    }
    return sum;
}

void registerAll() {
    for (int count : kSizes) {
        const std::string n = std::to_string(count);
        benchmark::RegisterBenchmark(("read/" + n).c_str(), [count](benchmark::State& s) {
            for (auto _ : s) {
                s.PauseTiming();
                resetExpressionEngine();
                std::istringstream in(fileOf(count));
                s.ResumeTiming();
                XPARAMREAD(in);
            }
            if (XPARAMCOUNT() != count) s.SkipWithError("the file was not read whole");
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("floor/" + n).c_str(), [count](benchmark::State& s) {
            loadTable(count);
            for (auto _ : s) benchmark::DoNotOptimize(floorRead(fileOf(count)));
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("update/" + n).c_str(), [count](benchmark::State& s) {
            loadTable(count);
            for (auto _ : s) benchmark::DoNotOptimize(XPARAMUPDATE());
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("find-last/" + n).c_str(), [count](benchmark::State& s) {
            loadTable(count);
            const std::string last = benchParamName(count);
            int index = 0;
            for (auto _ : s) {
                XPARAMFIND(last, index);
                benchmark::DoNotOptimize(index);
            }
            if (index != count) s.SkipWithError("the last name was not found last");
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("write/" + n).c_str(), [count](benchmark::State& s) {
            loadTable(count);
            for (auto _ : s) {
                std::ostringstream out;
                XPARAMWRITE(out);
                benchmark::DoNotOptimize(out.tellp());
            }
        })->Unit(benchmark::kMicrosecond);
    }
}


}  // namespace

int main(int argc, char** argv) {
    pinToOneCpu();
#ifdef __GLIBC__
    // Freed memory stays in the process. Otherwise glibc's moving thresholds
    // decide, run by run, whether a table built afresh comes from mapped
    // pages that must first be faulted in, and two table sizes compared can
    // land on different sides of them.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
#endif
    // Every line must read and evaluate cleanly, or the times mean nothing.
    loadTable(kSizes[0]);
    XVALUE v;
    if (XPARAMCOUNT() != kSizes[0] || !XPARAMUPDATE() || !XPARAMGET(kSizes[0], v)) {
        std::fprintf(stderr, "bench_store: the generated list file does not evaluate\n");
        return 1;
    }
    registerAll();

    std::vector<char*> args(argv, argv + argc);
    std::string reps = "--benchmark_repetitions=5", inter = "--benchmark_enable_random_interleaving=true",
                agg = "--benchmark_report_aggregates_only=true", minTime = "--benchmark_min_time=0.1";
    args.insert(args.begin() + 1, {reps.data(), inter.data(), agg.data(), minTime.data()});
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    MedianTimes medians(true);
    benchmark::RunSpecifiedBenchmarks(&medians);

    const char* routines[] = {"read", "update", "find-last", "write", "floor"};
    std::printf("\n%-10s", "routine");
    for (int count : kSizes) std::printf(" %12d", count);
    std::printf(" %14s\n", "10k->20k");
    double worstGrowth = 0;
    for (const char* r : routines) {
        std::printf("%-10s", r);
        for (int count : kSizes) std::printf(" %12.2f", medians.times[std::string(r) + "/" + std::to_string(count)]);
        const double growth = medians.times[std::string(r) + "/20000"] / medians.times[std::string(r) + "/10000"];
        std::printf(" %13.2fx\n", growth);
        if (std::string(r) != "floor") worstGrowth = std::max(worstGrowth, growth);
    }
    double worstRead = 0;
    std::printf("read/floor:");
    for (int count : kSizes) {
        const std::string n = std::to_string(count);
        const double ratio = medians.times["read/" + n] / medians.times["floor/" + n];
        std::printf(" %s %.2f", n.c_str(), ratio);
        worstRead = std::max(worstRead, ratio);
    }
    std::printf("\n(times: median microseconds per call of the whole routine; floor: each line read and its\n"
                " expression evaluated once)\n");
    std::printf("largest growth 10k->20k %.2f, largest read/floor %.2f\n", worstGrowth, worstRead);
    std::printf("store-summary %.2f %.2f\n", worstGrowth, worstRead);
    return 0;
}
