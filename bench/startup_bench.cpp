// Time from starting the program to its main window on the screen, beside a minimal Qt 6
// window's: each run starts the program afresh on a virtual display (Xvfb) of its own and
// waits for the X server to map its window. Wall time, and the CPU time the program used by
// then, which a busy machine disturbs less; its resident memory at that moment.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

// The virtual display, started once for all the runs.
struct Display {
    pid_t xvfb = -1;
    std::string name;
    xcb_connection_t* connection = nullptr;

    Display() {
        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb",        "-displayfd", fd.c_str(), "-screen", "0",
                              "1024x768x24", "-nolisten",  "tcp",      nullptr};
        posix_spawnp(&xvfb, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ);
        close(fds[1]);
        char number[16] = {};
        const ssize_t n = read(fds[0], number, sizeof number - 1);
        close(fds[0]);
        if (n <= 0) {
            return;
        }
        name = ":" + std::to_string(std::atoi(number));
        connection = xcb_connect(name.c_str(), nullptr);
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection);
    }
    ~Display() {
        if (connection != nullptr) {
            xcb_disconnect(connection);
        }
        if (xvfb > 0) {
            kill(xvfb, SIGTERM);
            waitpid(xvfb, nullptr, 0);
        }
    }

    // Waits up to `ms` for a window to be mapped.
    bool WaitForMap(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(connection)) {
                const bool mapped = (e->response_type & 0x7f) == XCB_MAP_NOTIFY;
                std::free(e);
                if (mapped) {
                    return true;
                }
            }
            pollfd p{xcb_get_file_descriptor(connection), POLLIN, 0};
            poll(&p, 1, 5);
        }
        return false;
    }
    void Drain() {
        while (xcb_generic_event_t* e = xcb_poll_for_event(connection)) {
            std::free(e);
        }
    }
};

Display& TheDisplay() {
    static Display display;
    return display;
}

// The first number of /proc/PID/schedstat: nanoseconds on a CPU so far.
double CpuMs(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/schedstat");
    double ns = 0;
    in >> ns;
    return ns / 1e6;
}

double ResidentMb(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    double kb = 0;
    while (in >> key) {
        if (key == "VmRSS:") {
            in >> kb;
            break;
        }
    }
    return kb / 1024;
}

void BM_StartToWindow(benchmark::State& state) {
    const char* program = state.range(0) == 0 ? MINIMAL_WINDOW : QUORINIMAGE_PROGRAM;
    Display& display = TheDisplay();
    if (display.connection == nullptr) {
        state.SkipWithError("no virtual display (Xvfb)");
        return;
    }
    // A home of its own, so that no kept settings or recovery copies count.
    char home[] = "/tmp/quorinimage-startup-XXXXXX";
    if (mkdtemp(home) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::vector<std::string> env = {"DISPLAY=" + display.name,
                                          "QT_QPA_PLATFORM=xcb",
                                          "QT_QPA_PLATFORMTHEME=",
                                          std::string("HOME=") + home,
                                          std::string("XDG_RUNTIME_DIR=") + home,
                                          "LANG=C.UTF-8"};
    std::vector<char*> envp;
    for (const std::string& e : env) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    envp.push_back(nullptr);
    std::vector<double> cpu, rss;
    for (auto _ : state) {
        display.Drain();
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = -1;
        char* argv[] = {const_cast<char*>(program), nullptr};
        if (posix_spawn(&pid, program, nullptr, nullptr, argv, envp.data()) != 0) {
            state.SkipWithError("the program did not start");
            return;
        }
        const bool shown = display.WaitForMap(10'000);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu.push_back(CpuMs(pid));
        rss.push_back(ResidentMb(pid));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        if (!shown) {
            state.SkipWithError("no window was mapped");
            return;
        }
        state.SetIterationTime(seconds);
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(rss.begin(), rss.end());
    state.counters["cpu_ms"] = cpu[cpu.size() / 2];
    state.counters["rss_mb"] = rss[rss.size() / 2];
    std::system((std::string("rm -rf ") + home).c_str());
}
// 0: the minimal window, 1: the editor.
BENCHMARK(BM_StartToWindow)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(21)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
