#include "platform/x11/operator_keys.h"

#include <algorithm>

namespace tastalo::platform::x11 {

namespace {

// The keys down on one device, by keycode; nothing when it cannot be read.
std::vector<unsigned int> keysDown(Display* display, int device) {
    std::vector<unsigned int> down;
    XDevice* opened = XOpenDevice(display, static_cast<XID>(device));
    if (!opened) return down;
    if (XDeviceState* state = XQueryDeviceState(display, opened)) {
        const auto* item = reinterpret_cast<const char*>(state->data);
        for (int i = 0; i < state->num_classes; ++i) {
            const auto* any = reinterpret_cast<const XInputClass*>(item);
            if (any->c_class == KeyClass) {
                const auto* keys = reinterpret_cast<const XKeyState*>(any);
                for (int code = 0; code < keys->num_keys && code < 256; ++code) {
                    if ((keys->keys[code / 8] >> (code % 8)) & 1)
                        down.push_back(static_cast<unsigned int>(code));
                }
            }
            item += any->length;
        }
        XFreeDeviceState(state);
    }
    XCloseDevice(display, opened);
    return down;
}

bool contains(const std::vector<int>& ids, int id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace

bool OperatorKeys::survey() {
    Display* display = m_connection.display();
    // A press the server handled before this survey shows here as a key
    // down, or was let go before anything of ours was typed.
    m_surveyed = NextRequest(display);
    m_xtest.clear();
    m_keyboards.clear();
    m_held.clear();
    m_heldByXTest.clear();
    int event = 0, error = 0;
    if (!XQueryExtension(display, "XInputExtension", &m_opcode, &event, &error)) return false;
    int major = 2, minor = 0;
    if (XIQueryVersion(display, &major, &minor) != Success) return false;
    // Our keys go through the XTest keyboard of the master keyboard paired
    // with this client's pointer: the core pointer (always device 2) unless
    // a client pointer was set.
    int pointer = 0;
    XIGetClientPointer(display, None, &pointer);
    if (pointer == 0) pointer = 2;
    int count = 0;
    XIDeviceInfo* devices = XIQueryDevice(display, XIAllDevices, &count);
    int core = -1;
    for (int i = 0; i < count; ++i) {
        if (devices[i].deviceid == pointer) core = devices[i].attachment;
    }
    for (int i = 0; i < count; ++i) {
        const XIDeviceInfo& device = devices[i];
        if (device.use != XISlaveKeyboard) continue;
        const std::string name = device.name ? device.name : "";
        if (device.attachment == core && name.ends_with("XTEST keyboard"))
            m_xtest.push_back(device.deviceid);
        else
            m_keyboards.push_back(device.deviceid);
    }
    if (devices) XIFreeDeviceInfo(devices);
    for (int device : m_keyboards) {
        for (unsigned int code : keysDown(display, device)) {
            if (std::find(m_held.begin(), m_held.end(), code) == m_held.end()) m_held.push_back(code);
        }
    }
    for (int device : m_xtest) {
        for (unsigned int code : keysDown(display, device)) m_heldByXTest.push_back(code);
    }
    return true;
}

std::vector<unsigned int> OperatorKeys::heldByXTestOnly() const {
    std::vector<unsigned int> only;
    for (unsigned int code : m_heldByXTest) {
        if (std::find(m_held.begin(), m_held.end(), code) == m_held.end()) only.push_back(code);
    }
    return only;
}

void OperatorKeys::watch() {
    if (m_opcode < 0) return;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XIEventMask mask{XIAllDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(m_connection.display(), m_connection.root(), &mask, 1);
    m_first.reset();
    m_watching = true;
}

void OperatorKeys::stop() {
    if (!m_watching) return;
    XIEventMask mask{XIAllDevices, 0, nullptr};
    XISelectEvents(m_connection.display(), m_connection.root(), &mask, 1);
    XSync(m_connection.display(), False);
    readReports();
    m_watching = false;
    m_first.reset();
}

std::optional<OperatorKeys::Press> OperatorKeys::firstPress() {
    if (m_watching) readReports();
    return m_first;
}

bool OperatorKeys::isOperators(int device) const { return !contains(m_xtest, device); }

void OperatorKeys::readReports() {
    Display* display = m_connection.display();
    XEvent event;
    while (XCheckTypedEvent(display, GenericEvent, &event)) {
        XGenericEventCookie& cookie = event.xcookie;
        if (cookie.extension != m_opcode || !XGetEventData(display, &cookie)) continue;
        if (cookie.evtype == XI_RawKeyPress) {
            const auto* raw = static_cast<const XIRawEvent*>(cookie.data);
            if (!m_first && isOperators(raw->sourceid) && raw->serial >= m_surveyed)
                m_first = Press{raw->serial, static_cast<unsigned int>(raw->detail)};
        }
        XFreeEventData(display, &cookie);
    }
}

std::u32string OperatorKeys::name(unsigned int keycode) const {
    const KeySym symbol = XkbKeycodeToKeysym(m_connection.display(), static_cast<KeyCode>(keycode), 0, 0);
    const char* text = symbol != NoSymbol ? XKeysymToString(symbol) : nullptr;
    const std::string named = text ? text : "keycode " + std::to_string(keycode);
    return std::u32string(named.begin(), named.end());
}

}  // namespace tastalo::platform::x11
