#include "platform/x11/display_connection.h"

#include <algorithm>
#include <cstdlib>

#include "platform/keyboard_target.h"

namespace tastalo::platform::x11 {

namespace {

// Xlib has one error handler per process. Ours serves every open connection
// of this backend and passes errors of other connections to whoever was there
// before.
struct HandlerRegistry {
    std::vector<DisplayConnection*> connections;
    XErrorHandler previous = nullptr;
};

HandlerRegistry& registry() {
    static HandlerRegistry instance;
    return instance;
}

int onXError(Display* display, XErrorEvent* event) {
    for (DisplayConnection* connection : registry().connections) {
        if (connection->display() == display) {
            connection->recordError(*event);
            return 0;
        }
    }
    return registry().previous ? registry().previous(display, event) : 0;
}

void attach(DisplayConnection* connection) {
    HandlerRegistry& r = registry();
    if (r.connections.empty()) r.previous = XSetErrorHandler(onXError);
    r.connections.push_back(connection);
}

void detach(DisplayConnection* connection) {
    HandlerRegistry& r = registry();
    std::erase(r.connections, connection);
    if (!r.connections.empty()) return;
    // Give the handler back only if nobody replaced ours in the meantime.
    XErrorHandler current = XSetErrorHandler(r.previous);
    if (current != onXError) XSetErrorHandler(current);
    r.previous = nullptr;
}

}  // namespace

bool inWaylandSession() {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return wayland && *wayland;
}

DisplayConnection::~DisplayConnection() {
    if (!m_display) return;
    XCloseDisplay(m_display);
    detach(this);
}

Status DisplayConnection::open() {
    if (m_display) return Status::success();
    const char* name = std::getenv("DISPLAY");
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return failure(inWaylandSession() ? kTargetOutOfReach : kKeyboardUnavailable, {},
                       std::string("cannot open X display \"") + (name ? name : "") + '"');
    }
    int event = 0, error = 0, major = 0, minor = 0;
    const bool xtest = XTestQueryExtension(display, &event, &error, &major, &minor);
    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    const bool xkb = XkbQueryExtension(display, &opcode, &event, &error, &major, &minor);
    if (!xtest || !xkb) {
        XCloseDisplay(display);
        return failure(kKeyboardUnavailable, {}, "the X server lacks the XTEST or XKEYBOARD extension");
    }
    m_display = display;
    m_root = DefaultRootWindow(display);
    m_xkbEventBase = event;
    attach(this);
    return Status::success();
}

Atom DisplayConnection::atom(const char* name) {
    auto found = m_atoms.find(name);
    if (found != m_atoms.end()) return found->second;
    const Atom value = XInternAtom(m_display, name, False);
    m_atoms.emplace(name, value);
    return value;
}

void DisplayConnection::listenOnRoot(long mask) {
    m_rootMask |= mask;
    XSelectInput(m_display, m_root, m_rootMask);
}

void DisplayConnection::stopListeningOnRoot(long mask) {
    m_rootMask &= ~mask;
    XSelectInput(m_display, m_root, m_rootMask);
}

bool DisplayConnection::sync() {
    XSync(m_display, False);
    return !hasError();
}

std::string DisplayConnection::errorText() const {
    if (!m_firstError) return {};
    char buffer[256] = {};
    XGetErrorText(m_display, m_firstError->error_code, buffer, sizeof buffer);
    return std::string(buffer) + " (richiesta " + std::to_string(m_firstError->request_code) + "." +
           std::to_string(m_firstError->minor_code) + ")";
}

void DisplayConnection::recordError(const XErrorEvent& event) {
    ++m_errorCount;
    if (!m_firstError) m_firstError = event;
}

std::optional<std::vector<unsigned long>> DisplayConnection::longs(::Window window, Atom property,
                                                                   Atom type) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int result = XGetWindowProperty(m_display, window, property, 0, 1L << 16, False, type, &actualType,
                                          &format, &count, &after, &data);
    std::optional<std::vector<unsigned long>> values;
    if (result == Success && actualType == type && format == 32) {
        // Xlib hands 32-bit items back as longs, whatever the size of long.
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        values.emplace(items, items + count);
    }
    if (data) XFree(data);
    return values;
}

bool DisplayConnection::isWithin(::Window window, ::Window ancestor) {
    for (::Window w = window; w != 0 && w != PointerRoot && w != m_root;) {
        if (w == ancestor) return true;
        ::Window rootReturn = 0, parent = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(m_display, w, &rootReturn, &parent, &children, &count)) return false;
        if (children) XFree(children);
        w = parent;
    }
    return false;
}

std::optional<DisplayConnection::Text> DisplayConnection::text(::Window window, Atom property) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int result = XGetWindowProperty(m_display, window, property, 0, 1L << 16, False, AnyPropertyType,
                                          &actualType, &format, &count, &after, &data);
    std::optional<Text> value;
    if (result == Success && actualType != 0 && format == 8)
        value = Text{std::string(reinterpret_cast<const char*>(data), count), actualType};
    if (data) XFree(data);
    return value;
}

}  // namespace tastalo::platform::x11
