// Launches the program from a folder of its own (its settings file and a
// database whose first list holds 32,767 barcodes) and watches the display:
// from the launch to the splash screen on it, and from the key that ends the
// splash to the main window on it, its list loaded. A bare Qt window
// (korvedo_target) launched the same way shows the toolkit's own share.
// Goals: splash within 300 ms of the launch; main window within 100 ms of
// the splash's end. Run it on a private display: bench/startup/run.sh.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "database_liste.h"
#include "liste_esempio.h"

// After Qt: Xlib's macros (Status, Bool) would break its headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace tastalo;

constexpr int kBarcodeGrandi = 32767;
constexpr double kSplashGoalMs = 300, kMainGoalMs = 100;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// What the display tells about the windows of one launched process.
class Watcher {
public:
    explicit Watcher(Display* display) : m_display(display) {
        XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureNotifyMask);
        XSync(m_display, False);
        drop();
    }

    void drop() {
        while (XPending(m_display)) {
            XEvent event;
            XNextEvent(m_display, &event);
        }
        m_windows.clear();
    }

    // Waits (up to `patience`) for the first window of `pid` for which
    // `wanted` holds to be exposed, that is on the screen; gives the time.
    std::optional<Clock::time_point> exposed(pid_t pid, const std::function<bool(Window)>& wanted,
                                             std::chrono::milliseconds patience) {
        const auto deadline = Clock::now() + patience;
        while (Clock::now() < deadline) {
            if (!XPending(m_display)) {
                pollfd descriptor{ConnectionNumber(m_display), POLLIN, 0};
                poll(&descriptor, 1, 5);
                continue;
            }
            XEvent event;
            XNextEvent(m_display, &event);
            const auto now = Clock::now();
            if (event.type == CreateNotify && event.xcreatewindow.parent == DefaultRootWindow(m_display)) {
                // Every new top-level window: its exposures and unmapping are ours too.
                XSelectInput(m_display, event.xcreatewindow.window, StructureNotifyMask | ExposureMask);
                m_windows[event.xcreatewindow.window] = {};
            } else if (event.type == Expose && m_windows.contains(event.xexpose.window)) {
                auto& seen = m_windows[event.xexpose.window];
                if (!seen.exposed) seen.exposed = now;
                if (pidOf(event.xexpose.window) == pid && wanted(event.xexpose.window)) return *seen.exposed;
            } else if (event.type == UnmapNotify && m_windows.contains(event.xunmap.window)) {
                m_windows[event.xunmap.window].unmapped = now;
            }
        }
        return std::nullopt;
    }

    std::optional<Clock::time_point> unmapped(Window window) const {
        auto found = m_windows.find(window);
        return found == m_windows.end() ? std::nullopt : found->second.unmapped;
    }

    std::string title(Window window) {
        char* name = nullptr;
        std::string text;
        if (XFetchName(m_display, window, &name) && name) text = name;
        if (name) XFree(name);
        return text;
    }

private:
    struct Seen {
        std::optional<Clock::time_point> exposed, unmapped;
    };

    pid_t pidOf(Window window) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        pid_t pid = -1;
        if (XGetWindowProperty(m_display, window, XInternAtom(m_display, "_NET_WM_PID", False), 0, 1, False,
                               XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
            count == 1)
            pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
        if (data) XFree(data);
        return pid;
    }

    Display* m_display;
    std::map<Window, Seen> m_windows;
};

pid_t launch(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

bool focusWithin(Display* display, Window window) {
    Window focus = 0, root = 0, parent = 0, *children = nullptr;
    int revert = 0;
    unsigned int count = 0;
    XGetInputFocus(display, &focus, &revert);
    for (Window w = focus; w != 0 && w != DefaultRootWindow(display) && w != PointerRoot;) {
        if (w == window) return true;
        if (!XQueryTree(display, w, &root, &parent, &children, &count)) return false;
        if (children) XFree(children);
        w = parent;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display: run it through bench/startup/run.sh\n");
        return 1;
    }

    // The program folder: the executable, its settings and a database whose
    // first list (by name) is the big one.
    QTemporaryDir folder;
    const std::string program = QDir(folder.path()).filePath(QStringLiteral("tastalo")).toStdString();
    std::filesystem::copy_file(TASTALO_PATH, program);
    const QString database = QDir(folder.path()).filePath(QStringLiteral("Dati.sdf"));
    std::vector<makedb::Lista> liste = makedb::listeGenerate(5, 400);
    makedb::Lista grande{1000, QStringLiteral("A grande"), {}};
    for (int i = 0; i < kBarcodeGrandi; ++i)
        grande.barcode.push_back(makedb::ean13(400'000'000'000 + i * 7919LL));
    liste.push_back(std::move(grande));
    makedb::scriviDatabase(database, liste, makedb::Vincolo::Cascata, false);
    QFile settings(QDir(folder.path()).filePath(QStringLiteral("spooling.ini")));
    if (!settings.open(QIODevice::WriteOnly)) return 1;
    settings.write(
        QStringLiteral("[DATI]\r\nDataBase=%1\r\nFinestraPGM=Nessuna\r\nDelay=0\r\n").arg(database).toUtf8());
    settings.close();

    Watcher watcher(display);
    const KeyCode space = XKeysymToKeycode(display, XK_space);
    std::vector<double> toSplash, toMain, toSplashGone, toQtWindow;
    int failed = 0;
    for (int run = 0; run < runs; ++run) {
        watcher.drop();
        const auto start = Clock::now();
        const pid_t pid = launch(program, {});
        Window splash = 0;
        const auto shown = watcher.exposed(
            pid, [&](Window w) { return watcher.title(w) != "Invia Dati" && (splash = w) != 0; },
            std::chrono::seconds(20));
        // The key goes where the focus is: to the splash once it has it.
        const auto focusDeadline = Clock::now() + std::chrono::seconds(5);
        while (shown && !focusWithin(display, splash) && Clock::now() < focusDeadline) poll(nullptr, 0, 1);
        const auto key = Clock::now();
        XTestFakeKeyEvent(display, space, True, CurrentTime);
        XTestFakeKeyEvent(display, space, False, CurrentTime);
        XFlush(display);
        const auto main = shown ? watcher.exposed(
                                      pid, [&](Window w) { return watcher.title(w) == "Invia Dati"; },
                                      std::chrono::seconds(20))
                                : std::nullopt;
        if (shown && main) {
            toSplash.push_back(ms(*shown - start));
            toMain.push_back(ms(*main - key));
            if (const auto gone = watcher.unmapped(splash)) toSplashGone.push_back(ms(*gone - key));
        } else {
            ++failed;
        }
        stop(pid);

        watcher.drop();
        const auto qtStart = Clock::now();
        const pid_t qt =
            launch(KORVEDO_TARGET_PATH, {"Nudo", QDir(folder.path()).filePath("nudo.log").toStdString()});
        if (const auto qtShown = watcher.exposed(
                qt, [](Window) { return true; }, std::chrono::seconds(20)))
            toQtWindow.push_back(ms(*qtShown - qtStart));
        stop(qt);
    }
    XCloseDisplay(display);

    const double splash = median(toSplash), main = median(toMain);
    std::printf("\nStart-up under Xvfb and openbox, %d launches (%d failed), medians:\n", runs, failed);
    std::printf("  launch to the splash screen on the display:           %7.1f ms  (goal %.0f ms)\n", splash,
                kSplashGoalMs);
    std::printf("    a bare Qt window, launch to the display:            %7.1f ms\n", median(toQtWindow));
    std::printf(
        "  splash's end (key) to the main window on the display: %7.1f ms  (goal %.0f ms), "
        "a first list of %d barcodes\n",
        main, kMainGoalMs, kBarcodeGrandi);
    std::printf("    key to the splash gone from the display:            %7.1f ms\n", median(toSplashGone));
    const bool met = failed == 0 && splash <= kSplashGoalMs && main <= kMainGoalMs;
    std::printf("\nGoals: %s\n", met ? "met" : "NOT met");
    return met ? 0 : 2;
}
