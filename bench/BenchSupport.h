// What the benchmark programs share: pinning to one CPU and collecting the
// median time of each benchmark.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#ifdef __linux__
#include <sched.h>
#endif

// One CPU: no migrations between the runs we compare.
inline void pinToOneCpu() {
#ifdef __linux__
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    sched_setaffinity(0, sizeof one, &one);
#endif
}

// The median of each benchmark's repetitions (or its only run), by name,
// in the benchmark's own time unit: CPU time or wall time.
class MedianTimes : public benchmark::BenchmarkReporter {
public:
    explicit MedianTimes(bool wallTime) : wallTime_(wallTime) {}
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (median || single) {
                times[run.run_name.function_name] = wallTime_ ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
            }
        }
    }
    std::map<std::string, double> times;

private:
    bool wallTime_;
};
