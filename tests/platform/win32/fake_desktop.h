#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <string>
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
    std::vector<std::uint16_t> keysDown;  // what heldKeys() answers keysDownPolls times, then nothing
    int keysDownPolls = 0;
    std::map<std::uint16_t, std::u32string> keyNames;  // the system's; a key without one is unnamed
    std::function<void()> afterInject;                 // another window may take the front here
    std::size_t injectLimit = std::numeric_limits<std::size_t>::max();
    std::function<Outcome(Request, int attempt)> decide = [](Request, int) { return Outcome{}; };

    std::vector<ForegroundRequest> requests;
    std::vector<WindowHandle> restored;
    std::vector<std::vector<KeyStroke>> injected;
    std::chrono::milliseconds paused{0};

    // The watch: refused, or routing each injected key at once to the window
    // in front (the first `routedLimit` keys only), swallowing every key from
    // the first one bound for another window on.
    bool watchRefused = false;
    std::size_t routedLimit = std::numeric_limits<std::size_t>::max();
    std::size_t blockedAt = std::numeric_limits<std::size_t>::max();  // a key another program's hook keeps
    std::function<void(std::size_t key)> beforeRouting;  // another window may take the front here
    platform::win32::TargetReading reading = platform::win32::TargetReading::Idle;
    std::function<void()> whileReading;  // another window may take the front here
    WindowHandle activeInThread = 0;     // the target's thread has not yet seen it leave the front
    bool lateRouting = false;            // keys go to a window as the target reads them (Wine)
    WindowHandle watching = 0;
    std::size_t heldBack = 0;  // the operator's presses the running watch held back
    bool swallowing = false;
    platform::win32::KeysSeen seen;
    std::vector<KeyStroke> passedKeys;
    int watchesStopped = 0;
    std::vector<std::chrono::milliseconds> waits;  // the limit of every wait for keys or reading

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
    std::vector<std::uint16_t> heldKeys() override {
        if (keysDownPolls <= 0) return {};
        --keysDownPolls;
        return keysDown;
    }
    std::u32string keyName(std::uint16_t key) override {
        const auto name = keyNames.find(key);
        return name == keyNames.end() ? std::u32string() : name->second;
    }
    std::size_t inject(const std::vector<KeyStroke>& strokes) override {
        injected.push_back(strokes);
        const std::size_t taken = std::min(strokes.size(), injectLimit);
        for (std::size_t i = 0; i < taken && watching != 0 && seen.total() < routedLimit; ++i) {
            if (beforeRouting) beforeRouting(seen.total());
            if (seen.total() == blockedAt) {
                ++seen.blocked;
                swallowing = true;
                continue;
            }
            swallowing = swallowing || foreground != watching;
            if (swallowing) {
                ++seen.swallowed;
            } else {
                ++seen.passed;
                passedKeys.push_back(strokes[i]);
            }
        }
        if (afterInject) afterInject();
        return taken;
    }
    bool startWatch(WindowHandle target) override {
        watching = watchRefused ? 0 : target;
        return !watchRefused;
    }
    platform::win32::KeysSeen waitForKeysSeen(std::size_t, std::chrono::milliseconds limit) override {
        waits.push_back(limit);
        return seen;
    }
    void swallowRest() override { swallowing = true; }
    std::size_t operatorKeysHeldBack() override { return watching != 0 ? heldBack : 0; }
    void stopWatch() override {
        if (watching != 0) ++watchesStopped;
        watching = 0;
        swallowing = false;
        seen = {};
        heldBack = 0;
    }
    platform::win32::TargetReading waitUntilRead(WindowHandle, std::chrono::milliseconds limit) override {
        waits.push_back(limit);
        if (whileReading) whileReading();
        return reading;
    }
    bool routesLate() override { return lateRouting; }
    bool activeInItsThread(WindowHandle window) override { return window == activeInThread; }
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
