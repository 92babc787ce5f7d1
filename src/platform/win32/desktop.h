#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/key_strokes.h"

// The few desktop calls the Windows backend makes, behind an interface so
// that its choices (which window, how many retries, what counts as failure)
// are tested with a stand-in on every platform.
namespace tastalo::platform::win32 {

// A window handle as an integer; 0 is no window.
using WindowHandle = std::uint64_t;

struct TopLevelWindow {
    WindowHandle handle = 0;
    std::u32string title;
};

// The keys of this send the watch has seen where the system routed them:
// let through to the target's process, swallowed, or kept from it by
// another program's hook.
struct KeysSeen {
    std::size_t passed = 0;
    std::size_t swallowed = 0;
    std::size_t blocked = 0;
    std::size_t total() const { return passed + swallowed + blocked; }
};

// Whether the target's process has read every input it was given.
enum class TargetReading { Idle, StillReading, CannotTell };

class Desktop {
public:
    virtual ~Desktop() = default;

    // Visible top-level windows of other processes, the topmost first.
    virtual std::vector<TopLevelWindow> topLevelWindows() = 0;

    // True when the window's process runs at a higher integrity level than
    // this one (started as administrator when this one was not): Windows
    // drops the keystrokes sent to it, and SendInput does not necessarily
    // say so. False when that cannot be told.
    virtual bool runsAboveThisProcess(WindowHandle window) = 0;

    virtual WindowHandle foregroundWindow() = 0;
    // False when the system refuses the request.
    virtual bool setForegroundWindow(WindowHandle window) = 0;
    // The same request, made while attached to the input of the thread that
    // owns the foreground window, which lifts the system's restrictions.
    virtual bool setForegroundWindowAttached(WindowHandle window) = 0;

    virtual bool isMinimised(WindowHandle window) = 0;
    virtual void restore(WindowHandle window) = 0;

    // Modifier keys (of modifierKeys()) that are down now.
    virtual std::vector<std::uint16_t> heldModifiers() = 0;
    // The keys of the keyboard that are down now (virtual-key codes; mouse
    // buttons aside, Shift, Ctrl and Alt as their left or right key).
    virtual std::vector<std::uint16_t> heldKeys() = 0;
    // The system's name of a key, as the keyboard layout has it; empty when
    // it has none.
    virtual std::u32string keyName(std::uint16_t key) = 0;
    // Injects the strokes in order, marked as this send's while a watch is on;
    // answers how many the system took.
    virtual std::size_t inject(const std::vector<KeyStroke>& strokes) = 0;

    // Starts watching the keys this process injects from now on (a
    // low-level keyboard hook): each one, as the system routes it, is let
    // through if the window in front belongs to the process of `target`;
    // otherwise it is swallowed, and so is every key of this watch after it.
    // The operator's own key presses are held back meanwhile: they go
    // nowhere, nor do their releases. Keys other programs inject are not
    // touched. False when the system refuses the watch: keys then go
    // unwatched, and nothing is held back.
    virtual bool startWatch(WindowHandle target) = 0;
    // Waits until the watch has seen `count` keys since it started, or until
    // `limit` has passed; answers what it saw.
    virtual KeysSeen waitForKeysSeen(std::size_t count, std::chrono::milliseconds limit) = 0;
    // From now on every key of this watch is swallowed.
    virtual void swallowRest() = 0;
    // The operator's key presses the watch has held back since it started.
    virtual std::size_t operatorKeysHeldBack() = 0;
    // Removes the watch; safe without one.
    virtual void stopWatch() = 0;

    // Waits until the process of `window` waits for input with none pending
    // (it has read every key it was given), or until `limit` has passed.
    virtual TargetReading waitUntilRead(WindowHandle window, std::chrono::milliseconds limit) = 0;
    // True where a key goes to a window only as the target reads it (Wine),
    // not as the system routes it (Windows).
    virtual bool routesLate() = 0;
    // True while `window` is still the active window of its thread: that
    // thread has not yet handled the news that another window came to the
    // front, if one did.
    virtual bool activeInItsThread(WindowHandle window) = 0;

    virtual void pause(std::chrono::milliseconds duration) = 0;
};

}  // namespace tastalo::platform::win32
