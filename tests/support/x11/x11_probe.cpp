#include "x11_probe.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XI2proto.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/record.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace tastalo::prova {

namespace {

std::vector<unsigned long> longProperty(Display* display, Window window, const char* name, Atom type) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 4096, False, type, &actual,
                           &format, &count, &after, &data) == Success &&
        actual == type && format == 32) {
        const auto* items = reinterpret_cast<unsigned long*>(data);
        values.assign(items, items + count);
    }
    if (data) XFree(data);
    return values;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; }

Display* D(void* display) { return static_cast<Display*>(display); }

}  // namespace

X11Probe::X11Probe() : m_display(XOpenDisplay(nullptr)) {
    // Windows come and go under the tests' feet: a query on a vanished one is not a failure.
    XSetErrorHandler(ignoreErrors);
    if (!m_display) return;
    // Keymap notices on a connection of their own: Xlib keeps its keysym
    // cache up to date only while the program does not take the notices.
    m_notices = XOpenDisplay(nullptr);
    int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (m_notices && XkbQueryExtension(D(m_notices), &opcode, &m_xkbEventBase, &error, &major, &minor))
        XkbSelectEvents(D(m_notices), XkbUseCoreKbd, XkbMapNotifyMask, XkbMapNotifyMask);
}

X11Probe::~X11Probe() {
    if (m_notices) XCloseDisplay(D(m_notices));
    if (m_display) XCloseDisplay(D(m_display));
}

std::vector<unsigned long> X11Probe::keyboardMapping() {
    int minimum = 0, maximum = 0, perKeycode = 0;
    XDisplayKeycodes(D(m_display), &minimum, &maximum);
    KeySym* map =
        XGetKeyboardMapping(D(m_display), static_cast<KeyCode>(minimum), maximum - minimum + 1, &perKeycode);
    std::vector<unsigned long> values(map, map + (maximum - minimum + 1) * perKeycode);
    XFree(map);
    if (XkbDescPtr xkb = XkbGetMap(D(m_display), XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd)) {
        for (int key = xkb->min_key_code; key <= xkb->max_key_code; ++key) {
            const XkbSymMapRec& entry = xkb->map->key_sym_map[key];
            values.insert(values.end(),
                          {entry.kt_index[0], entry.kt_index[1], entry.group_info, entry.width});
            const KeySym* symbols = XkbKeySymsPtr(xkb, key);
            values.insert(values.end(), symbols, symbols + XkbKeyNumSyms(xkb, key));
        }
        XkbFreeKeyboard(xkb, 0, True);
    }
    return values;
}

int X11Probe::spareKeycodes() {
    int minimum = 0, maximum = 0, perKeycode = 0;
    XDisplayKeycodes(D(m_display), &minimum, &maximum);
    KeySym* map =
        XGetKeyboardMapping(D(m_display), static_cast<KeyCode>(minimum), maximum - minimum + 1, &perKeycode);
    XModifierKeymap* modifiers = XGetModifierMapping(D(m_display));
    int spare = 0;
    for (int keycode = minimum; keycode <= maximum; ++keycode) {
        const KeySym* symbols = map + (keycode - minimum) * perKeycode;
        const bool empty = std::all_of(symbols, symbols + perKeycode, [](KeySym s) { return s == NoSymbol; });
        const KeyCode* roles = modifiers->modifiermap;
        const bool modifier = std::find(roles, roles + 8 * modifiers->max_keypermod, keycode) !=
                              roles + 8 * modifiers->max_keypermod;
        if (empty && !modifier) ++spare;
    }
    XFreeModifiermap(modifiers);
    XFree(map);
    return spare;
}

int X11Probe::keymapChanges() {
    if (!m_notices) return -1;
    XSync(D(m_notices), False);
    // The server tells every keyboard device of each change, the master one
    // sometimes twice: the device told least often counts the changes.
    std::map<int, int> notices;
    XEvent event;
    while (XCheckTypedEvent(D(m_notices), m_xkbEventBase, &event)) {
        const auto& notice = reinterpret_cast<XkbEvent&>(event).map;
        if (notice.xkb_type == XkbMapNotify) ++notices[notice.device];
    }
    int changes = 0;
    for (const auto& [device, count] : notices) changes = changes == 0 ? count : std::min(changes, count);
    return changes;
}

unsigned int X11Probe::lockedModifiers() {
    XkbStateRec state{};
    XkbGetState(D(m_display), XkbUseCoreKbd, &state);
    return state.locked_mods;
}

unsigned int X11Probe::heldModifiers() {
    XkbStateRec state{};
    XkbGetState(D(m_display), XkbUseCoreKbd, &state);
    return state.base_mods;
}

void X11Probe::fakeKey(const char* keysymName, bool press) {
    const KeyCode keycode = XKeysymToKeycode(D(m_display), XStringToKeysym(keysymName));
    // A press a millisecond after the release before it: with the same
    // timestamp, programs take a tapped key's second press for auto-repeat.
    XTestFakeKeyEvent(D(m_display), keycode, press ? True : False, press ? 1 : CurrentTime);
    XSync(D(m_display), False);
}

bool X11Probe::awaitDeviceQueries(int count, std::chrono::milliseconds timeout) {
    // RECORD reports on one connection and is steered from another.
    Display* control = XOpenDisplay(nullptr);
    Display* data = XOpenDisplay(nullptr);
    int opcode = 0, event = 0, error = 0, major = 0, minor = 0;
    XRecordContext context = 0;
    if (control && data && XRecordQueryVersion(control, &major, &minor) &&
        XQueryExtension(control, "XInputExtension", &opcode, &event, &error)) {
        XRecordRange* range = XRecordAllocRange();
        range->ext_requests.ext_major = {static_cast<unsigned char>(opcode),
                                         static_cast<unsigned char>(opcode)};
        range->ext_requests.ext_minor = {X_XIQueryDevice, X_XIQueryDevice};
        XRecordClientSpec clients = XRecordAllClients;
        context = XRecordCreateContext(control, 0, &clients, 1, &range, 1);
        XFree(range);
        XSync(control, False);
    }
    int queries = 0;
    const auto counted = [](XPointer closure, XRecordInterceptData* intercepted) {
        if (intercepted->category == XRecordFromClient) ++*reinterpret_cast<int*>(closure);
        XRecordFreeData(intercepted);
    };
    if (context && XRecordEnableContextAsync(data, context, counted, reinterpret_cast<XPointer>(&queries))) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (queries < count && std::chrono::steady_clock::now() < deadline) {
            pollfd readable{ConnectionNumber(data), POLLIN, 0};
            poll(&readable, 1, 50);
            XRecordProcessReplies(data);
        }
        XRecordDisableContext(control, context);
        XSync(control, False);
    }
    if (context) XRecordFreeContext(control, context);
    if (data) XCloseDisplay(data);
    if (control) XCloseDisplay(control);
    return queries >= count;
}

void X11Probe::press(const char* keysymName) { fakeKey(keysymName, true); }
void X11Probe::release(const char* keysymName) { fakeKey(keysymName, false); }
void X11Probe::tap(const char* keysymName) {
    fakeKey(keysymName, true);
    fakeKey(keysymName, false);
}

bool X11Probe::grabKeyboard() {
    const int result = XGrabKeyboard(D(m_display), DefaultRootWindow(D(m_display)), False, GrabModeAsync,
                                     GrabModeAsync, CurrentTime);
    XSync(D(m_display), False);
    return result == GrabSuccess;
}

void X11Probe::ungrabKeyboard() {
    XUngrabKeyboard(D(m_display), CurrentTime);
    XSync(D(m_display), False);
}

bool X11Probe::underWindowManager() {
    const auto check =
        longProperty(D(m_display), DefaultRootWindow(D(m_display)), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    return !check.empty() && check[0] != 0;
}

unsigned long X11Probe::activeWindow() {
    if (underWindowManager()) {
        const auto active =
            longProperty(D(m_display), DefaultRootWindow(D(m_display)), "_NET_ACTIVE_WINDOW", XA_WINDOW);
        return active.empty() ? 0 : active[0];
    }
    return inputFocus();
}

bool X11Probe::keyDown(const char* keysymName) {
    const KeyCode code = XKeysymToKeycode(D(m_display), XStringToKeysym(keysymName));
    char keys[32] = {};
    XQueryKeymap(D(m_display), keys);
    return code != 0 && ((keys[code / 8] >> (code % 8)) & 1);
}

unsigned long X11Probe::inputFocus() {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(D(m_display), &focus, &revert);
    return focus;
}

unsigned long X11Probe::windowOfProcess(int pid) {
    const unsigned long window = search(DefaultRootWindow(D(m_display)), 4, [&](unsigned long candidate) {
        const auto owner = longProperty(D(m_display), candidate, "_NET_WM_PID", XA_CARDINAL);
        return !owner.empty() && owner[0] == static_cast<unsigned long>(pid);
    });
    return window != 0 && managedIfUnderManager(window) ? window : 0;
}

unsigned long X11Probe::windowTitled(const std::string& title) {
    const unsigned long window = search(DefaultRootWindow(D(m_display)), 4, [&](unsigned long candidate) {
        char* name = nullptr;
        const bool same = XFetchName(D(m_display), candidate, &name) && name && title == name;
        if (name) XFree(name);
        return same;
    });
    return window != 0 && managedIfUnderManager(window) ? window : 0;
}

// The first viewable window with a name, down to `depth` levels below
// `window`, that `chosen` accepts.
unsigned long X11Probe::search(unsigned long window, int depth,
                               const std::function<bool(unsigned long)>& chosen) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(D(m_display), window, &root, &parent, &children, &count)) return 0;
    unsigned long found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes;
        char* name = nullptr;
        if (XGetWindowAttributes(D(m_display), children[i], &attributes) &&
            attributes.map_state == IsViewable && XFetchName(D(m_display), children[i], &name) && name &&
            chosen(children[i])) {
            found = children[i];
        }
        if (name) XFree(name);
        if (found == 0 && depth > 1) found = search(children[i], depth - 1, chosen);
    }
    if (children) XFree(children);
    return found;
}

// A manager shows a window a moment before it lists it as managed, and the
// backend looks for targets only in that list.
bool X11Probe::managedIfUnderManager(unsigned long window) {
    if (!underWindowManager()) return true;
    const auto clients =
        longProperty(D(m_display), DefaultRootWindow(D(m_display)), "_NET_CLIENT_LIST", XA_WINDOW);
    return std::find(clients.begin(), clients.end(), window) != clients.end();
}

unsigned long X11Probe::createOwnWindow(const std::string& title) {
    const Window window =
        XCreateSimpleWindow(D(m_display), DefaultRootWindow(D(m_display)), 0, 0, 200, 100, 0, 0, 0);
    XStoreName(D(m_display), window, title.c_str());
    const Atom utf8 = XInternAtom(D(m_display), "UTF8_STRING", False);
    XChangeProperty(D(m_display), window, XInternAtom(D(m_display), "_NET_WM_NAME", False), utf8, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    const long pid = getpid();
    XChangeProperty(D(m_display), window, XInternAtom(D(m_display), "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    XChangeProperty(D(m_display), window, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(host), static_cast<int>(std::strlen(host)));
    XMapRaised(D(m_display), window);
    XSync(D(m_display), False);
    // Wait until it is on the screen and, under a manager, managed: a window
    // that appears later would take the focus in the middle of a test.
    for (int i = 0; i < 500; ++i) {
        XWindowAttributes attributes;
        const bool viewable =
            XGetWindowAttributes(D(m_display), window, &attributes) && attributes.map_state == IsViewable;
        if (viewable && managedIfUnderManager(window)) break;
        usleep(10000);
    }
    return window;
}

}  // namespace tastalo::prova

namespace tastalo::prova {

void X11Probe::destroyWindow(unsigned long window) {
    XDestroyWindow(D(m_display), window);
    XSync(D(m_display), False);
}

}  // namespace tastalo::prova
