// sandmere-first-window: how long programs take from their start to their first mapped window.
//
//   sandmere-first-window [--runs N] [--settle MS] PROGRAM [PROGRAM...]
//
// Each run starts the program (no arguments, in the current folder, with this environment),
// watches the X server named by DISPLAY for the first top-level window that maps, and ends the
// program with SIGTERM after --settle milliseconds (default 300). The programs take turns, run
// after run, so that a machine busy with other work slows them alike. For each program it prints
// every run, then the median, the least and the most, the processor time its threads had run
// when the window mapped (median), and the peak resident memory the kernel
// counted up to the end of the settle time (VmHWM). Use it on an X server of one's own: any
// window mapped there during a run counts.
#include <X11/Xlib.h>
#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "end_program.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

// The process's peak resident memory in kB, 0 when unknown.
long peakResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return 0;
}

// The processor time the process's threads have run so far in ms (from the scheduler's counts,
// which a busy machine does not stretch as it stretches the wall clock).
double processorMs(pid_t pid) {
    double total = 0.0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    if (DIR* dir = opendir(tasks.c_str())) {
        while (dirent* e = readdir(dir)) {
            if (e->d_name[0] == '.') continue;
            std::ifstream stat(tasks + "/" + e->d_name + "/schedstat");
            double ns = 0;
            if (stat >> ns) total += ns / 1e6;
        }
        closedir(dir);
    }
    return total;
}

// Waits for the next MapNotify of a child of the root; false after the time-out.
bool waitForMap(Display* display, Clock::time_point t0, double timeoutMs) {
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect) return true;
        }
        double left = timeoutMs - msSince(t0);
        if (left <= 0) return false;
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left) + 1);
    }
}

struct Runs {
    std::string program;
    std::vector<double> ms;
    std::vector<double> cpuMs;
    std::vector<long> peakKb;
};

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    int settleMs = 300;
    std::vector<Runs> programs;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--settle") == 0 && i + 1 < argc) settleMs = std::max(0, std::atoi(argv[++i]));
        else programs.push_back(Runs{argv[i], {}, {}, {}});
    }
    if (programs.empty()) {
        std::fprintf(stderr, "usage: sandmere-first-window [--runs N] [--settle MS] PROGRAM [PROGRAM...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "sandmere-first-window: no X display (DISPLAY is unset or the server is away)\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);
    for (int run = 0; run < runs; ++run) {
        for (Runs& p : programs) {
            XSync(display, True);  // forget what the last run left
            Clock::time_point t0 = Clock::now();
            pid_t pid = fork();
            if (pid < 0) return 1;
            if (pid == 0) {
                execl(p.program.c_str(), p.program.c_str(), static_cast<char*>(nullptr));
                _exit(127);
            }
            bool mapped = waitForMap(display, t0, 10000.0);
            double ms = msSince(t0);
            double cpu = processorMs(pid);
            usleep(static_cast<useconds_t>(settleMs) * 1000);
            long peak = peakResidentKb(pid);
            endProgram(pid, 3000);
            if (!mapped) {
                std::fprintf(stderr, "sandmere-first-window: %s mapped no window within 10 s\n", p.program.c_str());
                return 1;
            }
            p.ms.push_back(ms);
            p.cpuMs.push_back(cpu);
            p.peakKb.push_back(peak);
            std::printf("run %d  %-40s %7.1f ms  processor %7.1f ms  peak %6.1f MB\n", run + 1, p.program.c_str(), ms,
                        cpu, peak / 1024.0);
            std::fflush(stdout);
            usleep(200000);
        }
    }
    std::printf("\n%-40s %9s %9s %9s %14s %10s\n", "program", "median", "least", "most", "processor", "peak MB");
    for (const Runs& p : programs) {
        std::vector<double> peaks(p.peakKb.begin(), p.peakKb.end());
        std::printf("%-40s %6.1f ms %6.1f ms %6.1f ms %11.1f ms %10.1f\n", p.program.c_str(), median(p.ms),
                    *std::min_element(p.ms.begin(), p.ms.end()), *std::max_element(p.ms.begin(), p.ms.end()),
                    median(p.cpuMs), median(peaks) / 1024.0);
    }
    if (programs.size() > 1) {
        double base = median(programs[0].ms);
        for (size_t i = 1; i < programs.size(); ++i)
            std::printf("%s / %s: %.2f (processor time %.2f)\n", programs[i].program.c_str(),
                        programs[0].program.c_str(), base > 0 ? median(programs[i].ms) / base : 0.0,
                        median(programs[0].cpuMs) > 0 ? median(programs[i].cpuMs) / median(programs[0].cpuMs) : 0.0);
    }
    XCloseDisplay(display);
    return 0;
}
