// Measures start-up as a fresh process sees it. The program runs itself again as a child several
// times; each child reports, on a pipe, how long after its parent started it each milestone was
// reached, and the parent prints the median of every milestone.
//
// Usage of a program built on this header:
//   program [--runs N] [--catalogue FILE]
//       N fresh children (default 21), each given FILE when there is one, then one line per
//       milestone: "<name> <median> <unit>"
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace OrvBench {

inline std::int64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

/// A value in kB of /proc/self/status, such as "VmRSS" or "VmHWM"; 0 when it is missing.
inline long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':') {
            return std::strtol(line.c_str() + length + 1, nullptr, 10);
        }
    }
    return 0;
}

/// What a child reports: milestone names with their values, in the order reached.
class Report {
public:
    explicit Report(std::int64_t startNanoseconds) : m_start(startNanoseconds) {}
    /// Records the time since the parent started this child, in milliseconds.
    void Milestone(const std::string& name) {
        const double elapsed = static_cast<double>(MonotonicNanoseconds() - m_start) / 1e6;
        m_lines << name << ' ' << elapsed << " ms\n";
    }
    /// Records a value of another unit.
    void Value(const std::string& name, double value, const char* unit) {
        m_lines << name << ' ' << value << ' ' << unit << '\n';
    }
    std::string Text() const { return m_lines.str(); }

private:
    std::int64_t m_start;
    std::ostringstream m_lines;
};

/// Runs `child` in fresh processes and prints the medians; returns the exit status of main.
/// `child` does the work of one start-up and fills the report; its second argument is the
/// catalogue file given, or null.
inline int RunColdStart(int argc, char** argv,
                        const std::function<void(Report&, const char*)>& child) {
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "--child") == 0) {
        Report report(std::strtoll(argv[2], nullptr, 10));
        report.Milestone("main_entered");
        child(report, argc == 5 ? argv[4] : nullptr);
        const int fd = std::atoi(argv[3]);
        const std::string text = report.Text();
        if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
            return 1;
        }
        return 0;
    }
    int runs = 21;
    char* catalogue = nullptr;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 < argc && std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (i + 1 < argc && std::strcmp(argv[i], "--catalogue") == 0) {
            catalogue = argv[i + 1];
        } else {
            std::fprintf(stderr, "usage: %s [--runs N] [--catalogue FILE]\n", argv[0]);
            return 2;
        }
    }
    std::vector<std::string> order;
    std::map<std::string, std::pair<std::vector<double>, std::string>> samples;
    for (int run = 0; run < runs; ++run) {
        int fds[2];
        if (pipe(fds) != 0) {
            std::perror("pipe");
            return 1;
        }
        const std::string fd = std::to_string(fds[1]);
        char childFlag[] = "--child";
        pid_t pid = 0;
        // Taken last, so the clock starts as close to the spawn as it can.
        std::string start = std::to_string(MonotonicNanoseconds());
        char* childArgv[] = {argv[0],   childFlag, start.data(), const_cast<char*>(fd.c_str()),
                             catalogue, nullptr};
        if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, childArgv, environ) != 0) {
            std::perror("posix_spawn");
            return 1;
        }
        close(fds[1]);
        std::string text;
        char buffer[4096];
        ssize_t got = 0;
        while ((got = read(fds[0], buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
        close(fds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "a start-up child failed\n");
            return 1;
        }
        std::istringstream lines(text);
        std::string name;
        double value = 0.0;
        std::string unit;
        while (lines >> name >> value >> unit) {
            if (samples.find(name) == samples.end()) {
                order.push_back(name);
            }
            samples[name].first.push_back(value);
            samples[name].second = unit;
        }
    }
    for (const std::string& name : order) {
        std::vector<double>& values = samples[name].first;
        std::sort(values.begin(), values.end());
        std::printf("%s %.4g %s\n", name.c_str(), values[values.size() / 2],
                    samples[name].second.c_str());
    }
    return 0;
}

} // namespace OrvBench
