#include "watch_cost.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_desktop.h"
#include "platform/win32/windows_keyboard_target.h"
#include "target_process.h"

namespace tastalo::prova {
namespace {

using platform::win32::Desktop;
using platform::win32::KeysSeen;
using platform::win32::KeyStroke;
using platform::win32::TargetReading;
using platform::win32::WindowHandle;

// The real desktop with the watch refused, as a policy would refuse it, and
// the target's reading not watched either: the send as it was before.
class UnwatchedDesktop final : public Desktop {
public:
    std::vector<platform::win32::TopLevelWindow> topLevelWindows() override {
        return m_real.topLevelWindows();
    }
    bool runsAboveThisProcess(WindowHandle window) override { return m_real.runsAboveThisProcess(window); }
    WindowHandle foregroundWindow() override { return m_real.foregroundWindow(); }
    bool setForegroundWindow(WindowHandle window) override { return m_real.setForegroundWindow(window); }
    bool setForegroundWindowAttached(WindowHandle window) override {
        return m_real.setForegroundWindowAttached(window);
    }
    bool isMinimised(WindowHandle window) override { return m_real.isMinimised(window); }
    void restore(WindowHandle window) override { m_real.restore(window); }
    std::vector<std::uint16_t> heldModifiers() override { return m_real.heldModifiers(); }
    std::vector<std::uint16_t> heldKeys() override { return m_real.heldKeys(); }
    std::u32string keyName(std::uint16_t key) override { return m_real.keyName(key); }
    std::size_t inject(const std::vector<KeyStroke>& strokes) override { return m_real.inject(strokes); }
    bool startWatch(WindowHandle) override { return false; }
    KeysSeen waitForKeysSeen(std::size_t, std::chrono::milliseconds) override { return {}; }
    void swallowRest() override {}
    std::size_t operatorKeysHeldBack() override { return 0; }
    void stopWatch() override {}
    TargetReading waitUntilRead(WindowHandle, std::chrono::milliseconds) override {
        return TargetReading::CannotTell;
    }
    bool routesLate() override { return m_real.routesLate(); }
    bool activeInItsThread(WindowHandle window) override { return m_real.activeInItsThread(window); }
    void pause(std::chrono::milliseconds duration) override { m_real.pause(duration); }

private:
    platform::win32::Win32Desktop m_real;
};

struct Timed {
    std::size_t sent = 0;
    std::size_t keys = 0;  // keystrokes, each Enter included
    ULONGLONG ms = 0;      // until the last call returned
    ULONGLONG heldMs = 0;  // until the target held everything (0: not within a minute of the end)
    bool unwatched = false;
};

Timed timedSend(platform::KeyboardTarget& keyboard, const std::vector<std::u32string>& list,
                TargetProcess& target, std::size_t expectedLength) {
    Timed timed;
    if (!keyboard.activate(U"Korvedo").ok()) return timed;
    timed.unwatched = keyboard.deliveryUnwatched();
    const ULONGLONG started = GetTickCount64();
    for (const std::u32string& barcode : list) {
        platform::Status status = keyboard.typeText(barcode);
        if (status.ok()) status = keyboard.pressEnter();
        if (status.ok()) status = keyboard.confirmDelivery();
        if (!status.ok()) break;
        ++timed.sent;
        timed.keys += barcode.size() + 1;
    }
    timed.ms = GetTickCount64() - started;
    keyboard.finish();
    const ULONGLONG done = GetTickCount64();
    for (ULONGLONG now = done; now - done < 60000; now = GetTickCount64()) {
        if (target.text(0).size() >= expectedLength) {
            timed.heldMs = now - started;
            break;
        }
        Sleep(5);
    }
    return timed;
}

}  // namespace

std::vector<std::u32string> costList() {
    std::vector<std::u32string> list;
    for (int i = 1; i <= 2000; ++i) {
        const std::string number = std::to_string(800000 + i);
        list.push_back(U"à€" + std::u32string(number.begin(), number.end()) + U"\U0001F600");
    }
    return list;
}

std::size_t lengthOf(const std::vector<std::u32string>& list) {
    std::size_t length = 0;  // in UTF-16 units, each Enter two of them
    for (const std::u32string& barcode : list) length += barcode.size() + 1 + 2;
    return length;
}

void checkRefusedWatch(Checks& checks) {
    std::string error;
    const auto korvedo = TargetProcess::start({L"Korvedo"}, error);
    if (!checks.expect(korvedo != nullptr, "watch refused: target starts", error)) return;
    std::vector<std::u32string> list = costList();
    list.resize(40);
    platform::win32::WindowsKeyboardTarget plain(std::make_unique<UnwatchedDesktop>());
    const Timed timed = timedSend(plain, list, *korvedo, lengthOf(list));
    checks.expect(
        timed.unwatched && timed.sent == list.size() && timed.heldMs > 0,
        "watch refused: the send goes on unwatched, says so, and the keys arrive",
        std::string(timed.unwatched ? "unwatched" : "watched") + ", sent " + std::to_string(timed.sent));
}

void measureWatchCost(Checks& checks) {
    std::string error;
    const auto korvedo = TargetProcess::start({L"Korvedo"}, error, L"--fast 1");
    if (!checks.expect(korvedo != nullptr, "watch cost: target starts", error)) return;
    const std::vector<std::u32string> list = costList();
    const std::size_t length = lengthOf(list);
    std::vector<Timed> watched, unwatched;
    // Alternated, so that the machine's moods weigh on both alike.
    for (int round = 0; round < 3; ++round) {
        korvedo->clear(0);
        auto keyboard = platform::createKeyboardTarget();
        watched.push_back(timedSend(*keyboard, list, *korvedo, length));
        korvedo->clear(0);
        platform::win32::WindowsKeyboardTarget plain(std::make_unique<UnwatchedDesktop>());
        unwatched.push_back(timedSend(plain, list, *korvedo, length));
    }
    const auto perKey = [](ULONGLONG ms, std::size_t keys) {
        return keys ? 1000.0 * double(ms) / double(keys) : 0.0;
    };
    for (std::size_t i = 0; i < watched.size(); ++i) {
        const Timed& on = watched[i];
        const Timed& off = unwatched[i];
        std::printf(
            "  watch cost, round %zu, %zu keys: with the watch done in %llu ms, all held at %llu ms "
            "(%.0f us a key); without, done in %llu ms, all held at %llu ms (%.0f us a key); "
            "ratio of the times all held %.2f\n",
            i + 1, on.keys, on.ms, on.heldMs, perKey(on.heldMs, on.keys), off.ms, off.heldMs,
            perKey(off.heldMs, off.keys), off.heldMs ? double(on.heldMs) / double(off.heldMs) : 0.0);
    }
    const bool allSent =
        std::all_of(watched.begin(), watched.end(), [](const Timed& t) { return t.sent == 2000; });
    checks.expect(allSent, "watch cost: every barcode sent with the watch");
    const bool plainSent = std::all_of(unwatched.begin(), unwatched.end(),
                                       [](const Timed& t) { return t.sent == 2000 && t.heldMs > 0; });
    checks.expect(plainSent, "watch cost: every barcode sent and held without the watch");
}

}  // namespace tastalo::prova
