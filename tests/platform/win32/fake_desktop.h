#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <limits>
#include <set>
#include <vector>

#include "platform/win32/desktop.h"

namespace tastalo::test {

// A desktop in memory: windows, a foreground window, and an activation that
// the test decides on. Records every request it receives.
class FakeDesktop final : public platform::win32::Desktop {
public:
    using WindowHandle = platform::win32::WindowHandle;
    using KeyStroke = platform::win32::KeyStroke;

    enum class Request { Plain, Attached };
    struct ForegroundRequest {
        Request kind;
        WindowHandle window;
    };

    // Answer to a foreground request: whether the system accepts it, and
    // whether the window then really comes to the front.
    struct Outcome {
        bool accepted = true;
        bool takesEffect = true;
    };

    std::vector<platform::win32::TopLevelWindow> windows;  // topmost first
    WindowHandle foreground = 0;
    std::set<WindowHandle> minimised;
    std::set<WindowHandle> elevated;  // run as administrator
    std::vector<std::uint16_t> held;
    int keyHeldPolls = 0;               // anyKeyHeld() answers true this many times
    std::function<void()> afterInject;  // another window may take the front here
    std::size_t injectLimit = std::numeric_limits<std::size_t>::max();
    std::function<Outcome(Request, int attempt)> decide = [](Request, int) { return Outcome{}; };

    std::vector<ForegroundRequest> requests;
    std::vector<WindowHandle> restored;
    std::vector<std::vector<KeyStroke>> injected;
    std::chrono::milliseconds paused{0};

    std::vector<platform::win32::TopLevelWindow> topLevelWindows() override { return windows; }
    bool runsAboveThisProcess(WindowHandle window) override { return elevated.count(window) > 0; }
    WindowHandle foregroundWindow() override { return foreground; }
    bool setForegroundWindow(WindowHandle window) override { return request(Request::Plain, window); }
    bool setForegroundWindowAttached(WindowHandle window) override {
        return request(Request::Attached, window);
    }
    bool isMinimised(WindowHandle window) override { return minimised.count(window) > 0; }
    void restore(WindowHandle window) override {
        restored.push_back(window);
        minimised.erase(window);
    }
    std::vector<std::uint16_t> heldModifiers() override { return held; }
    bool anyKeyHeld() override { return keyHeldPolls > 0 && keyHeldPolls-- > 0; }
    std::size_t inject(const std::vector<KeyStroke>& strokes) override {
        injected.push_back(strokes);
        if (afterInject) afterInject();
        return std::min(strokes.size(), injectLimit);
    }
    void pause(std::chrono::milliseconds duration) override { paused += duration; }

    // Everything injected so far, in one sequence.
    std::vector<KeyStroke> allInjected() const {
        std::vector<KeyStroke> all;
        for (const auto& batch : injected) all.insert(all.end(), batch.begin(), batch.end());
        return all;
    }

private:
    bool request(Request kind, WindowHandle window) {
        requests.push_back({kind, window});
        const Outcome outcome = decide(kind, static_cast<int>(requests.size()) - 1);
        if (outcome.accepted && outcome.takesEffect) foreground = window;
        return outcome.accepted;
    }
};

}  // namespace tastalo::test
