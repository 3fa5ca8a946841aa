// Start-up figures: time from process start to a painted top-most window for a bare Win32
// program and for the saver in run mode, and for the saver to the control's creation with a
// local movie. Prints medians side by side with the ratio; never fails on a time.
//
//   bench_startup --scr=PATH --tools=WINDOWS_BUILD_DIR [--runs=N]
#include "MovieHarness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace e2e;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A window counts as painted when it is visible and has nothing left to paint.
bool Painted(HWND hWnd)
{
    return hWnd && ::IsWindowVisible(hWnd) && !::GetUpdateRect(hWnd, nullptr, FALSE);
}

struct Times {
    double painted = -1;
    double control = -1;
};

Times Measure(const std::string& exe, const std::string& args, bool bWaitForControl)
{
    Times t;
    Process p;
    const auto start = Clock::now();
    if (!p.Start(exe, args))
        return t;
    HWND hWnd = nullptr;
    WaitUntil(
        [&] {
            if (!hWnd) {
                const std::vector<HWND> top = VisibleTopWindows(p.Pid());
                hWnd = top.empty() ? nullptr : top.front();
            }
            if (t.painted < 0 && Painted(hWnd))
                t.painted = MsSince(start);
            if (bWaitForControl && t.control < 0 && hWnd && FindControlWindow(hWnd))
                t.control = MsSince(start);
            return t.painted >= 0 && (!bWaitForControl || t.control >= 0);
        },
        20000);
    PressKey(VK_ESCAPE);
    p.WaitExit(10000);
    return t;
}

double Median(std::vector<double> v)
{
    v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return x < 0; }), v.end());
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--scr=", 6) == 0)
            Config().scr = ToWindowsPath(argv[i] + 6);
        else if (std::strncmp(argv[i], "--tools=", 8) == 0)
            Config().buildDir = ToWindowsPath(argv[i] + 8);
        else if (std::strncmp(argv[i], "--runs=", 7) == 0)
            runs = std::max(1, std::atoi(argv[i] + 7));
    }
    if (Config().scr.empty() || Config().buildDir.empty()) {
        std::fprintf(stderr, "usage: bench_startup --scr=PATH --tools=WINDOWS_BUILD_DIR [--runs=N]\n");
        return 2;
    }
    const std::string bare = Config().buildDir + "\\bench\\startup\\bench_bare_window.exe";
    FlashDoubleRegistration reg;
    const std::string dir = FreshDir("bench_startup");
    const std::string scr = MakeSaver(dir, "Bench", "--scale-mode 0 --mouse-ends-saver 0", SwfMovie(550, 400));
    if (!reg.Ok() || scr.empty()) {
        std::fprintf(stderr, "bench_startup: cannot set up the saver or the stand-in control\n");
        return 1;
    }

    std::vector<double> bareMs, scrMs, ctrlMs;
    for (int i = 0; i < runs; ++i) {
        bareMs.push_back(Measure(bare, "", false).painted);
        const Times t = Measure(scr, "/s", true);
        scrMs.push_back(t.painted);
        ctrlMs.push_back(t.control);
    }
    const double b = Median(bareMs), s = Median(scrMs), c = Median(ctrlMs);
    std::printf("start-up, median of %d runs (ms from process start)\n", runs);
    std::printf("  %-34s %10s %10s %8s\n", "", "bare", "saver", "ratio");
    std::printf("  %-34s %10.1f %10.1f %8.2f\n", "painted top-most window", b, s, b > 0 ? s / b : 0.0);
    std::printf("  %-34s %10.1f %10.1f %8.2f\n", "control created (local movie)", b, c, b > 0 ? c / b : 0.0);
    return 0;
}
