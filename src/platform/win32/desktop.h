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
    // True while any key of the keyboard is down (mouse buttons aside).
    virtual bool anyKeyHeld() = 0;
    // Injects the strokes in order; answers how many the system took.
    virtual std::size_t inject(const std::vector<KeyStroke>& strokes) = 0;

    virtual void pause(std::chrono::milliseconds duration) = 0;
};

}  // namespace tastalo::platform::win32
