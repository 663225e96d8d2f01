#include "InstructionCount.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#ifdef __linux__
#include <fcntl.h>
#include <linux/perf_event.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace instructions {

#ifdef __linux__

HardwareCounter::HardwareCounter() {
    perf_event_attr attr{};
    attr.size = sizeof attr;
    attr.type = PERF_TYPE_HARDWARE;
    attr.config = PERF_COUNT_HW_INSTRUCTIONS;
    attr.disabled = 1;
    attr.exclude_kernel = 1;
    attr.exclude_hv = 1;
    fd_ = static_cast<int>(syscall(SYS_perf_event_open, &attr, 0, -1, -1, 0));
    if (fd_ < 0) whyNot_ = std::string("perf_event_open: ") + std::strerror(errno);
}

HardwareCounter::~HardwareCounter() {
    if (fd_ >= 0) close(fd_);
}

void HardwareCounter::start() {
    ioctl(fd_, PERF_EVENT_IOC_RESET, 0);
    ioctl(fd_, PERF_EVENT_IOC_ENABLE, 0);
}

long long HardwareCounter::stop(const std::string&) {
    ioctl(fd_, PERF_EVENT_IOC_DISABLE, 0);
    long long count = 0;
    if (read(fd_, &count, sizeof count) != static_cast<ssize_t>(sizeof count)) return -1;
    return count;
}

#else

HardwareCounter::HardwareCounter() : whyNot_("no perf_event_open on this system") {}
HardwareCounter::~HardwareCounter() = default;
void HardwareCounter::start() {}
long long HardwareCounter::stop(const std::string&) { return -1; }

#endif

#if TALLYON_HAVE_CALLGRIND

// Instrumenting costs time, so it starts only once the program is set up.
CallgrindCounter::CallgrindCounter() { CALLGRIND_START_INSTRUMENTATION; }

void CallgrindCounter::start() {
    CALLGRIND_ZERO_STATS;
    CALLGRIND_TOGGLE_COLLECT;
}

long long CallgrindCounter::stop(const std::string& label) {
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS_AT(label.c_str());
    return -1;
}

#else

CallgrindCounter::CallgrindCounter() = default;
void CallgrindCounter::start() {}
long long CallgrindCounter::stop(const std::string&) { return -1; }

#endif

namespace {

// Each part of callgrind's output names the request that dumped it
// ("desc: Trigger: Client Request: <label>") and ends with its total.
std::map<std::string, double> readDumps(const std::string& path, std::string& creator) {
    std::map<std::string, double> perCall;
    std::ifstream in(path);
    std::string line, label;
    const std::string trigger = "desc: Trigger: Client Request: ";
    while (std::getline(in, line)) {
        if (line.rfind("creator: ", 0) == 0) creator = line.substr(9);
        if (line.rfind(trigger, 0) == 0) label = line.substr(trigger.size());
        if (line.rfind("totals: ", 0) == 0 && !label.empty()) {
            perCall[label] = std::strtod(line.c_str() + 8, nullptr) / kCalls;
            label.clear();
        }
    }
    return perCall;
}

}  // namespace

std::map<std::string, double> countUnderCallgrind(const std::string& argument, const std::string& hardwareWhyNot,
                                                  Source& source) {
    source = {false, "instructions not counted: " + hardwareWhyNot};
#if defined(__linux__) && TALLYON_HAVE_CALLGRIND
    char dir[] = "/tmp/tallyon-bench-XXXXXX";
    if (mkdtemp(dir) == nullptr) return {};
    const std::string out = std::string(dir) + "/callgrind.out";
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    self[n] = '\0';
    std::vector<std::string> args = {"valgrind",           "--tool=callgrind",    "--instr-atstart=no",
                                     "--collect-atstart=no", "--combine-dumps=yes", "--callgrind-out-file=" + out,
                                     self,                 argument};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    // The run under valgrind talks on stderr; only its output file counts.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "valgrind", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        source.description += "; valgrind not found";
        rmdir(dir);
        return {};
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::string creator = "callgrind";
    std::map<std::string, double> counts = readDumps(out, creator);
    std::remove(out.c_str());
    rmdir(dir);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || counts.empty()) {
        source.description += "; the run under callgrind failed";
        return {};
    }
    source = {true, "counted by " + creator + " (valgrind); hardware counters unavailable: " + hardwareWhyNot};
    return counts;
#else
    (void)argument;
    source.description += "; callgrind's header is not installed";
    return {};
#endif
}

}  // namespace instructions
