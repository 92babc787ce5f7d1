#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/keyboard_target.h"
#include "platform/x11/xlib_includes.h"

namespace tastalo::platform::x11 {

// Whether the program runs in a Wayland session (WAYLAND_DISPLAY set and not
// empty): there the X display is XWayland's, and it shows no Wayland window.
bool inWaylandSession();

// One Xlib connection to the display named by DISPLAY, opened on first use
// and closed with the object. Protocol errors are recorded here instead of
// ending the process (Xlib's default), so that every caller can turn them
// into a Status.
class DisplayConnection {
public:
    DisplayConnection() = default;
    ~DisplayConnection();
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;

    // Opens the connection unless it is open already, and checks that the
    // server offers the XTEST and XKEYBOARD extensions. No display at all is
    // kTargetOutOfReach in a Wayland session, kKeyboardUnavailable otherwise.
    Status open();
    bool isOpen() const { return m_display != nullptr; }
    Display* display() const { return m_display; }
    ::Window root() const { return m_root; }

    Atom atom(const char* name);
    int xkbEventBase() const { return m_xkbEventBase; }

    // Several parts listen on the root window; each adds and removes its own
    // event mask without disturbing the others'.
    void listenOnRoot(long mask);
    void stopListeningOnRoot(long mask);

    // Protocol errors since the last clearErrors(); the first one is kept
    // because later ones are usually its consequences.
    void clearErrors() { m_firstError.reset(); }
    bool hasError() const { return m_firstError.has_value(); }
    // Grows with every error, cleared or not: a part can tell whether its
    // own requests failed without discarding what others recorded.
    unsigned long errorCount() const { return m_errorCount; }
    // Waits until the server has handled every request sent so far; true
    // when none of them failed since the last clearErrors().
    bool sync();
    std::string errorText() const;

    // A 32-bit list property (windows, cardinals, atoms); nothing when the
    // window or the property is missing or has another type.
    std::optional<std::vector<unsigned long>> longs(::Window window, Atom property, Atom type);
    // Whether `window` is `ancestor` or lies inside it (a focus window handed
    // on to a child); false for None and PointerRoot.
    bool isWithin(::Window window, ::Window ancestor);

    // An 8-bit property of any type, with the type it had.
    struct Text {
        std::string bytes;
        Atom type = 0;
    };
    std::optional<Text> text(::Window window, Atom property);

    // Called by the process-wide error handler.
    void recordError(const XErrorEvent& event);

private:
    Display* m_display = nullptr;
    ::Window m_root = 0;
    int m_xkbEventBase = 0;
    long m_rootMask = 0;
    std::unordered_map<std::string, Atom> m_atoms;
    std::optional<XErrorEvent> m_firstError;
    unsigned long m_errorCount = 0;
};

}  // namespace tastalo::platform::x11
