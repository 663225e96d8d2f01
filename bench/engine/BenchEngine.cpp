// Parse+evaluate per call: our engine beside Debian's expression libraries
// and a floor (copy, upper-case, convert each number), all in one run.
//
// Prints a table of median times per expression, the ratios ours/best-peer
// and ours/floor with their geometric means, and the heap allocations per
// evaluation of our engine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>


#include "Corpus.h"
#include "Peers.h"
#include "BenchSupport.h"
#include "XExpression.h"

// ---- Allocation counting -------------------------------------------------
namespace {
std::atomic<long long> gAllocations{0};
}

void* operator new(std::size_t n) {
    ++gAllocations;
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

const char* textFor(const std::string& peer, const CorpusRow& r) {
    if (peer == "fparser") return r.fparser;
    if (peer == "muparser") return r.muparser;
    if (peer == "muparserx") return r.muparserx;
    if (peer == "matheval") return r.matheval;
    return "";
}

// The least work any evaluator must do: copy the text, upper-case it and
// convert each number in it.
double floorWork(const char* text) {
    char buf[256];
    const std::size_t n = std::min<std::size_t>(std::strlen(text), sizeof buf);
    std::memcpy(buf, text, n);
    for (std::size_t i = 0; i < n; ++i) {
        if (buf[i] >= 'a' && buf[i] <= 'z') buf[i] = static_cast<char>(buf[i] - 32);
    }
    double sum = 0;
    std::size_t i = 0;
    while (i < n) {
        const char c = buf[i];
        const bool startsNumber = (c >= '0' && c <= '9') || c == '.';
        const bool inName = i > 0 && ((buf[i - 1] >= 'A' && buf[i - 1] <= 'Z') || buf[i - 1] == '_');
        if (startsNumber && !inName) {
            double v = 0;
            auto r = std::from_chars(buf + i, buf + n, v);
            sum += v;
            i = static_cast<std::size_t>(r.ptr - buf);
            if (r.ptr == buf + i && r.ec != std::errc()) ++i;
        } else {
            ++i;
        }
    }
    return sum;
}

void setUpParameters() {
    resetExpressionEngine();
    char x[32], y[32], z[32];
    std::snprintf(x, sizeof x, "%.17g", kX);
    std::snprintf(y, sizeof y, "%.17g", kY);
    std::snprintf(z, sizeof z, "%.17g", kZ);
    XPARAMNEW("X", x, "");
    XPARAMNEW("Y", y, "");
    XPARAMNEW("Z", z, "");
}


}  // namespace

int main(int argc, char** argv) {
    pinToOneCpu();
    setUpParameters();
    auto peers = makePeers();

    // Check every row once, so a peer that rejects its text is skipped
    // instead of timing its error path.
    std::vector<std::string> who = {"ours", "floor"};
    for (auto& p : peers) who.push_back(p->name());
    std::map<std::string, bool> usable;
    for (const CorpusRow& r : corpus()) {
        std::complex<double> c;
        if (!XNUMBEREX_C8(r.ours, c)) std::fprintf(stderr, "ours rejects %s\n", r.ours);
        usable[std::string(r.label) + "/ours"] = true;
        usable[std::string(r.label) + "/floor"] = true;
        for (auto& p : peers) {
            const char* t = textFor(p->name(), r);
            double v = 0;
            usable[std::string(r.label) + "/" + p->name()] = *t != '\0' && p->evaluate(t, v);
        }
    }

    for (const CorpusRow& r : corpus()) {
        const std::string label = r.label;
        benchmark::RegisterBenchmark((label + "/ours").c_str(), [&r](benchmark::State& s) {
            std::complex<double> c;
            for (auto _ : s) {
                benchmark::DoNotOptimize(XNUMBEREX_C8(r.ours, c));
                benchmark::DoNotOptimize(c);
            }
        });
        benchmark::RegisterBenchmark((label + "/floor").c_str(), [&r](benchmark::State& s) {
            for (auto _ : s) benchmark::DoNotOptimize(floorWork(r.ours));
        });
        for (auto& p : peers) {
            if (!usable[label + "/" + p->name()]) continue;
            Peer* peer = p.get();
            const char* t = textFor(p->name(), r);
            benchmark::RegisterBenchmark((label + "/" + p->name()).c_str(), [peer, t](benchmark::State& s) {
                double v = 0;
                for (auto _ : s) {
                    benchmark::DoNotOptimize(peer->evaluate(t, v));
                    benchmark::DoNotOptimize(v);
                }
            });
        }
    }

    // Defaults: interleaved repetitions, medians only. Arguments may override.
    std::vector<char*> args(argv, argv + argc);
    std::string reps = "--benchmark_repetitions=5", inter = "--benchmark_enable_random_interleaving=true",
                agg = "--benchmark_report_aggregates_only=true", minTime = "--benchmark_min_time=0.05";
    args.insert(args.begin() + 1, {reps.data(), inter.data(), agg.data(), minTime.data()});
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());

    MedianTimes medians(false);
    benchmark::RunSpecifiedBenchmarks(&medians);

    // Allocations per evaluation after the first.
    long long allocs = 0;
    int evals = 0;
    for (const CorpusRow& r : corpus()) {
        std::complex<double> c;
        XNUMBEREX_C8(r.ours, c);
        const long long before = gAllocations.load();
        for (int i = 0; i < 100; ++i) XNUMBEREX_C8(r.ours, c);
        allocs += gAllocations.load() - before;
        evals += 100;
    }

    std::printf("\n%-9s %9s", "expr", "ours");
    for (auto& p : peers) std::printf(" %10s", p->name());
    std::printf(" %9s %10s %10s\n", "floor", "ours/best", "ours/floor");
    double logBest = 0, logFloor = 0, worst = 0;
    int rows = 0;
    for (const CorpusRow& r : corpus()) {
        const std::string label = r.label;
        const double ours = medians.times[label + "/ours"];
        const double fl = medians.times[label + "/floor"];
        std::printf("%-9s %9.1f", r.label, ours);
        double best = 0;
        for (auto& p : peers) {
            auto it = medians.times.find(label + "/" + p->name());
            if (it == medians.times.end() || !usable[label + "/" + p->name()]) {
                std::printf(" %10s", "-");
                continue;
            }
            std::printf(" %10.1f", it->second);
            if (best == 0 || it->second < best) best = it->second;
        }
        std::printf(" %9.1f", fl);
        if (best > 0) {
            std::printf(" %10.2f", ours / best);
            logBest += std::log(ours / best);
            worst = std::max(worst, ours / best);
            ++rows;
        } else {
            std::printf(" %10s", "-");
        }
        std::printf(" %10.2f\n", ours / fl);
        logFloor += std::log(ours / fl);
    }
    const double geoBest = rows ? std::exp(logBest / rows) : 0;
    const double geoFloor = std::exp(logFloor / static_cast<double>(corpus().size()));
    std::printf("(times: median ns per parse+evaluate)\n");
    std::printf("geomean ours/best-peer %.2f (worst %.2f), ours/floor %.2f, allocs/eval %.2f\n", geoBest,
                worst, geoFloor, static_cast<double>(allocs) / evals);
    std::printf("engine-summary %.2f %.2f %.2f\n", geoBest, geoFloor, static_cast<double>(allocs) / evals);
    return 0;
}
