// Instructions per call, beside the times. On a shared machine the time of
// one call moves by tens of percent from run to run; the number of
// instructions it executes does not. They are read from the processor's
// counter (perf_event_open) where the machine lets a process do that, and
// otherwise counted by callgrind: the benchmark runs itself once more under
// valgrind, which counts the instructions of each measured loop.
#pragma once

#include <map>
#include <string>
#include <utility>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define TALLYON_HAVE_CALLGRIND 1
#else
#define TALLYON_HAVE_CALLGRIND 0
#endif

namespace instructions {

// Calls counted per measurement, after two that are not (the first call of
// a routine may bind symbols or fill caches).
inline constexpr int kCalls = 50;

// Where the counts come from, for the reader of the table.
struct Source {
    bool available = false;
    std::string description;
};

// One way of counting: start and stop around the counted calls. A counter
// that cannot read its count in the process (callgrind) gives -1 and
// leaves the count in its own output, named by the label.
class Counter {
public:
    virtual ~Counter() = default;
    virtual void start() = 0;
    virtual long long stop(const std::string& label) = 0;
};

// The processor's counter of this process's user-mode instructions; when
// it cannot be opened, why not.
class HardwareCounter final : public Counter {
public:
    HardwareCounter();
    ~HardwareCounter() override;
    bool ok() const { return fd_ >= 0; }
    const std::string& whyNot() const { return whyNot_; }
    void start() override;
    long long stop(const std::string& label) override;

private:
    int fd_ = -1;
    std::string whyNot_;
};

// Inside a run under callgrind: collects only between start and stop and
// writes each measurement as a part of callgrind's output.
class CallgrindCounter final : public Counter {
public:
    CallgrindCounter();
    void start() override;
    long long stop(const std::string& label) override;
};

// Instructions per call of CALL, with the loop around it.
template <typename Call>
double perCall(Counter& counter, const std::string& label, Call&& call) {
    call();
    call();
    counter.start();
    for (int i = 0; i < kCalls; ++i) call();
    const long long n = counter.stop(label);
    return n < 0 ? -1.0 : static_cast<double>(n) / kCalls;
}

// Runs this program again under callgrind with ARGUMENT (the program then
// measures with a CallgrindCounter) and returns the instructions per call
// by label. SOURCE says what was used, or why nothing was.
std::map<std::string, double> countUnderCallgrind(const std::string& argument, const std::string& hardwareWhyNot,
                                                  Source& source);

}  // namespace instructions
