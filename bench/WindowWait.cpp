// Starts a program and times it to its first mapped top-level window of a
// given name (splash screens not counted), then reports the program's
// resident memory once it has sat idle for a moment, and ends it. Runs
// against the X server of $DISPLAY (Xvfb in bench/run-gui.sh).
//
//   bench_window_wait NAME PROGRAM [ARGS...]
// prints "start_ms N" and "idle_rss_mb N".
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

bool isSplash(Display* d, Window w) {
    const Atom type = XInternAtom(d, "_NET_WM_WINDOW_TYPE", False);
    const Atom splash = XInternAtom(d, "_NET_WM_WINDOW_TYPE_SPLASH", False);
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(d, w, type, 0, 16, False, XA_ATOM, &actual, &format, &count, &after, &data) == Success &&
        data) {
        const auto* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count; ++i) found = found || atoms[i] == splash;
        XFree(data);
    }
    return found;
}

std::string nameOf(Display* d, Window w) {
    char* name = nullptr;
    std::string out;
    if (XFetchName(d, w, &name) && name) out = name;
    if (name) XFree(name);
    return out;
}

double residentMb(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    double kb = 0;
    while (f >> key)
        if (key == "VmRSS:") {
            f >> kb;
            break;
        }
    return kb / 1024.0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s NAME PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    double ms = -1;
    while (ms < 0) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type != MapNotify) continue;
        const Window w = e.xmap.window;
        if (nameOf(d, w).find(argv[1]) == std::string::npos || isSplash(d, w)) continue;
        ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // idle
    const double rss = residentMb(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    std::printf("start_ms %.0f\nidle_rss_mb %.1f\n", ms, rss);
    XCloseDisplay(d);
    return 0;
}
