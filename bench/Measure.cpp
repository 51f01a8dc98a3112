#include "Measure.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace brevanto::bench {

namespace {

// Spawns argv[0] with stdout redirected to stdoutFd (unless -1); answers the child's id.
pid_t spawn(const std::vector<std::string>& argv, int stdoutFd, bool searchPath) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    pid_t pid = 0;
    const int error = searchPath
                          ? posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ)
                          : posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) throw std::runtime_error("cannot run " + argv[0] + ": " + std::strerror(error));
    return pid;
}

void waitFor(pid_t pid, const std::string& name) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("waitpid failed for " + name);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(name + " failed");
}

}  // namespace

double nowSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double timeProgram(const std::vector<std::string>& argv, int stdoutFd) {
    const double start = nowSeconds();
    waitFor(spawn(argv, stdoutFd, true), argv[0]);
    return nowSeconds() - start;
}

std::string runSelf(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{"/proc/self/exe"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    pid_t pid = 0;
    try {
        pid = spawn(argv, pipeFds[1], false);
    } catch (...) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        throw;
    }
    ::close(pipeFds[1]);
    std::string output;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    waitFor(pid, "the benchmark's child run");
    return output;
}

void resetPeakResident() {
    // The kernel keeps the high-water mark across exec, so a child would otherwise report the
    // memory its parent held when it forked.
    std::FILE* refs = std::fopen("/proc/self/clear_refs", "w");
    if (refs == nullptr) return;
    std::fputs("5", refs);
    std::fclose(refs);
}

namespace {

// A line of /proc/self/status in MiB, or a negative number.
double statusMiB(const char* format) {
    double mib = -1;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        long kib = -1;
        while (std::fgets(line, sizeof line, status) != nullptr)
            if (std::sscanf(line, format, &kib) == 1) break;
        std::fclose(status);
        if (kib >= 0) mib = static_cast<double>(kib) / 1024.0;
    }
    return mib;
}

}  // namespace

double residentMiB() { return statusMiB("VmRSS: %ld kB"); }

double peakResidentMiB() {
    if (const double mib = statusMiB("VmHWM: %ld kB"); mib >= 0) return mib;
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 != 0 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

void printFigure(const std::string& figure, double ours, double floor) {
    std::printf("%s ours=%.4f floor=%.4f ratio=%.2f\n", figure.c_str(), ours, floor,
                floor > 0 ? ours / floor : 0.0);
    std::fflush(stdout);
}

void emptyFolder(const std::filesystem::path& folder) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
}

}  // namespace brevanto::bench
