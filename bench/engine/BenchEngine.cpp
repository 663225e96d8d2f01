// Parse+evaluate per call: our engine beside Debian's expression libraries
// and a floor (copy, upper-case, convert each number), all in one run.
//
// Prints a table of median times per expression, then one of instructions
// per call of the same calls (InstructionCount.h says how they are counted),
// each with the ratios ours/best-peer and ours/floor and their geometric
// means, and the heap allocations per evaluation of our engine.
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


#include "BenchSupport.h"
#include "Corpus.h"
#include "InstructionCount.h"
#include "Peers.h"
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


using Peers = std::vector<std::unique_ptr<Peer>>;

// Hands FN every measured call with its label "row/who": ours, the floor,
// and each peer that accepts the row's text.
template <typename Fn>
void forEachCall(const Peers& peers, std::map<std::string, bool>& usable, Fn&& fn) {
    for (const CorpusRow& r : corpus()) {
        const std::string label = r.label;
        fn(label + "/ours", [&r] {
            std::complex<double> c;
            benchmark::DoNotOptimize(XNUMBEREX_C8(r.ours, c));
            benchmark::DoNotOptimize(c);
        });
        fn(label + "/floor", [&r] { benchmark::DoNotOptimize(floorWork(r.ours)); });
        for (const auto& p : peers) {
            if (!usable[label + "/" + p->name()]) continue;
            Peer* peer = p.get();
            const char* t = textFor(p->name(), r);
            fn(label + "/" + p->name(), [peer, t] {
                double v = 0;
                benchmark::DoNotOptimize(peer->evaluate(t, v));
                benchmark::DoNotOptimize(v);
            });
        }
    }
}

// One table over the corpus: a figure per row for ours, each peer and the
// floor, then ours over the best peer and over the floor. Returns the
// geometric means of both ratios and the row where ours/best-peer is worst.
struct Ratios {
    double geoBest = 0, geoFloor = 0, worst = 0;
    std::string worstRow;
};
Ratios printTable(const Peers& peers, std::map<std::string, bool>& usable, const std::map<std::string, double>& figures,
                  int decimals, const std::string& note) {
    auto figure = [&](const std::string& key) {
        const auto it = figures.find(key);
        return it == figures.end() ? 0.0 : it->second;
    };
    std::printf("\n%-9s %9s", "expr", "ours");
    for (const auto& p : peers) std::printf(" %10s", p->name());
    std::printf(" %9s %10s %10s\n", "floor", "ours/best", "ours/floor");
    Ratios out;
    double logBest = 0, logFloor = 0;
    int rows = 0;
    for (const CorpusRow& r : corpus()) {
        const std::string label = r.label;
        const double ours = figure(label + "/ours");
        const double fl = figure(label + "/floor");
        std::printf("%-9s %9.*f", r.label, decimals, ours);
        double best = 0;
        for (const auto& p : peers) {
            const double v = figure(label + "/" + p->name());
            if (v <= 0 || !usable[label + "/" + p->name()]) {
                std::printf(" %10s", "-");
                continue;
            }
            std::printf(" %10.*f", decimals, v);
            if (best == 0 || v < best) best = v;
        }
        std::printf(" %9.*f", decimals, fl);
        if (best > 0) {
            std::printf(" %10.2f", ours / best);
            logBest += std::log(ours / best);
            if (ours / best > out.worst) {
                out.worst = ours / best;
                out.worstRow = label;
            }
            ++rows;
        } else {
            std::printf(" %10s", "-");
        }
        std::printf(" %10.2f\n", ours / fl);
        logFloor += std::log(ours / fl);
    }
    std::printf("(%s)\n", note.c_str());
    out.geoBest = rows ? std::exp(logBest / rows) : 0;
    out.geoFloor = std::exp(logFloor / static_cast<double>(corpus().size()));
    return out;
}

// The argument with which the program runs itself under callgrind.
constexpr const char* kCountUnderCallgrind = "--count-instructions-under-callgrind";

}  // namespace

int main(int argc, char** argv) {
    pinToOneCpu();
    setUpParameters();
    auto peers = makePeers();

    // Check every row once, so a peer that rejects its text is skipped
    // instead of timing its error path.
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

    // Run under callgrind by the run below: count, and nothing else.
    if (argc > 1 && std::strcmp(argv[1], kCountUnderCallgrind) == 0) {
        instructions::CallgrindCounter counter;
        forEachCall(peers, usable,
                    [&](const std::string& label, auto call) { instructions::perCall(counter, label, call); });
        return 0;
    }

    forEachCall(peers, usable, [](const std::string& label, auto call) {
        benchmark::RegisterBenchmark(label.c_str(), [call](benchmark::State& s) {
            for (auto _ : s) call();
        });
    });

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

    const Ratios time = printTable(peers, usable, medians.times, 1, "times: median ns per parse+evaluate");
    std::printf("geomean ours/best-peer %.2f (worst %.2f), ours/floor %.2f, allocs/eval %.2f\n", time.geoBest,
                time.worst, time.geoFloor, static_cast<double>(allocs) / evals);

    // The same calls counted in instructions, which the load of a shared
    // machine does not move.
    instructions::HardwareCounter hardware;
    instructions::Source source;
    std::map<std::string, double> counts;
    if (hardware.ok()) {
        forEachCall(peers, usable, [&](const std::string& label, auto call) {
            counts[label] = instructions::perCall(hardware, label, call);
        });
        source = {true, "counted by the processor (perf_event_open, user mode)"};
    } else {
        counts = instructions::countUnderCallgrind(kCountUnderCallgrind, hardware.whyNot(), source);
    }
    std::string worstI = "n/a";
    if (source.available) {
        const Ratios count =
            printTable(peers, usable, counts, 0, "instructions per parse+evaluate, " + source.description);
        std::printf("geomean ours/best-peer I %.2f (worst-row I %.2f, %s), ours/floor I %.2f\n", count.geoBest,
                    count.worst, count.worstRow.c_str(), count.geoFloor);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.2f", count.worst);
        worstI = buf;
    } else {
        std::printf("\n(%s)\n", source.description.c_str());
    }
    // engine-summary <ours/best-peer> <ours/floor> <allocs/eval> <worst-row I>
    std::printf("engine-summary %.2f %.2f %.2f %s\n", time.geoBest, time.geoFloor,
                static_cast<double>(allocs) / evals, worstI.c_str());
    return 0;
}
