// Starts a program and times it to what a user sees: the first frame of its
// top-level window (splash screens not counted) that already looks like the
// window once it has settled. The window's pixels are read with XGetImage in
// a tight loop from the moment it is mapped; every distinct frame is kept with
// the time it was first seen. When nothing but a blinking caret has changed
// for SETTLE_MS, the last frame is the final one, and the start time is when
// the first frame of the unbroken run of frames matching it was seen. Then
// the program's resident memory is read (it has sat idle for SETTLE_MS) and
// the program is ended. Runs against the X server of $DISPLAY (Xvfb in
// bench/run-gui.sh).
//
//   bench_window_wait NAME PROGRAM [ARGS...]
// prints "start_ms N" (exec to the first final frame), "map_ms N" (exec to
// the window's MapNotify), "frames N" and "idle_rss_mb N".
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double settleMs = 1500;   // no change but the caret for this long: settled
constexpr double timeoutMs = 20000; // give up on a window that never settles
// Pixels that may differ between two frames that look the same: a text
// caret (1-2 px wide, one line high) blinks in the focused editor.
constexpr long caretPixels = 64;

struct Frame {
    double ms = 0; // since exec, when this frame was first seen
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

double since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

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

// The window's pixels now; false when it cannot be read (unmapped, gone).
bool grab(Display* d, Window w, Frame& out) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable) return false;
    XImage* img = XGetImage(d, w, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
    if (!img) return false;
    out.width = a.width;
    out.height = a.height;
    out.pixels.resize(size_t(a.width) * size_t(a.height));
    for (int y = 0; y < a.height; ++y) {
        uint32_t* row = out.pixels.data() + size_t(y) * size_t(a.width);
        if (img->bits_per_pixel == 32) // the usual 24/32-bit visual: copy rows
            std::memcpy(row, img->data + size_t(y) * size_t(img->bytes_per_line), size_t(a.width) * 4);
        else
            for (int x = 0; x < a.width; ++x) row[x] = uint32_t(XGetPixel(img, x, y));
    }
    XDestroyImage(img);
    return true;
}

long differingPixels(const Frame& a, const Frame& b) {
    if (a.width != b.width || a.height != b.height) return long(a.pixels.size() + b.pixels.size()) + 1;
    long n = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
    return n;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; } // a window read as it goes away

// Waits for the first mapped top-level window whose name holds `name`.
Window waitForMap(Display* d, const char* name) {
    for (;;) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type != MapNotify) continue;
        const Window w = e.xmap.window;
        if (nameOf(d, w).find(name) != std::string::npos && !isSplash(d, w)) return w;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s NAME PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    for (int attempt = 0; !d && attempt < 20; ++attempt) { // a busy Xvfb may refuse a moment
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        d = XOpenDisplay(nullptr);
    }
    if (!d) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    const Window w = waitForMap(d, argv[1]);
    const double mapMs = since(start);

    std::vector<Frame> frames; // distinct frames in the order seen
    double lastChange = mapMs; // when a frame last differed by more than a caret
    Frame now;
    while (since(start) - lastChange < settleMs && since(start) < timeoutMs) {
        const double at = since(start);
        if (!grab(d, w, now)) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                std::fprintf(stderr, "the program ended before its window settled\n");
                return 1;
            }
            continue;
        }
        if (!frames.empty() && frames.back().pixels == now.pixels && frames.back().width == now.width) continue;
        if (frames.empty() || differingPixels(frames.back(), now) > caretPixels) lastChange = at;
        now.ms = at;
        frames.push_back(now);
    }
    if (frames.empty()) {
        std::fprintf(stderr, "the window could not be read\n");
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        return 1;
    }
    size_t first = frames.size() - 1;
    while (first > 0 && differingPixels(frames[first - 1], frames.back()) <= caretPixels) --first;

    const double rss = residentMb(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    std::printf("start_ms %.0f\nmap_ms %.0f\nframes %zu\nidle_rss_mb %.1f\n", frames[first].ms, mapMs, frames.size(),
                rss);
    XCloseDisplay(d);
    return 0;
}
