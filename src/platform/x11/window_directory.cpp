#include "platform/x11/window_directory.h"

#include <unistd.h>

#include <algorithm>
#include <climits>

namespace tastalo::platform::x11 {

namespace {

std::u32string fromLatin1(const std::string& bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    for (char c : bytes) text.push_back(static_cast<unsigned char>(c));
    return text;
}

std::string hostName() {
    char buffer[HOST_NAME_MAX + 1] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0) return {};
    return buffer;
}

}  // namespace

std::vector<std::uint64_t> recencyFromStacking(const std::vector<unsigned long>& clients,
                                               const std::vector<unsigned long>& stacking) {
    std::vector<std::uint64_t> recency(clients.size(), 0);
    for (std::size_t i = 0; i < clients.size(); ++i) {
        auto found = std::find(stacking.begin(), stacking.end(), clients[i]);
        if (found != stacking.end()) recency[i] = static_cast<std::uint64_t>(found - stacking.begin()) + 1;
    }
    return recency;
}

bool WindowDirectory::hasEwmhManager() {
    const Atom check = m_connection.atom("_NET_SUPPORTING_WM_CHECK");
    const auto fromRoot = m_connection.longs(m_connection.root(), check, XA_WINDOW);
    if (!fromRoot || fromRoot->empty() || (*fromRoot)[0] == 0) return false;
    // A manager that has gone leaves a stale property behind; its own window
    // answers only while it lives.
    const ::Window manager = (*fromRoot)[0];
    const auto fromManager = m_connection.longs(manager, check, XA_WINDOW);
    return fromManager && !fromManager->empty() && (*fromManager)[0] == manager;
}

bool WindowDirectory::managerSupports(const char* hint) {
    const auto supported =
        m_connection.longs(m_connection.root(), m_connection.atom("_NET_SUPPORTED"), XA_ATOM);
    if (!supported) return false;
    const Atom wanted = m_connection.atom(hint);
    return std::find(supported->begin(), supported->end(), wanted) != supported->end();
}

std::vector<WindowCandidate> WindowDirectory::candidates() {
    if (hasEwmhManager()) {
        const auto clients =
            m_connection.longs(m_connection.root(), m_connection.atom("_NET_CLIENT_LIST"), XA_WINDOW);
        if (clients) return managedCandidates(*clients);
    }
    return treeCandidates();
}

std::vector<WindowCandidate> WindowDirectory::managedCandidates(const std::vector<unsigned long>& clients) {
    const auto stacking =
        m_connection.longs(m_connection.root(), m_connection.atom("_NET_CLIENT_LIST_STACKING"), XA_WINDOW);
    const std::vector<std::uint64_t> recency =
        recencyFromStacking(clients, stacking.value_or(std::vector<unsigned long>{}));
    std::vector<WindowCandidate> found;
    for (std::size_t i = 0; i < clients.size(); ++i) {
        if (belongsToThisProcess(clients[i])) continue;
        found.push_back({clients[i], title(clients[i]), recency[i]});
    }
    return found;
}

std::vector<WindowCandidate> WindowDirectory::treeCandidates() {
    Display* display = m_connection.display();
    ::Window rootReturn = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    std::vector<WindowCandidate> found;
    if (!XQueryTree(display, m_connection.root(), &rootReturn, &parent, &children, &count)) return found;
    // Children come bottom to top, so the position is the stacking order.
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes)) continue;
        if (attributes.override_redirect || attributes.map_state != IsViewable) continue;
        ::Window client = children[i];
        std::u32string name = title(client);
        if (name.empty()) {
            // Under a manager without EWMH the top level is a frame; the
            // application window is the one below it with WM_STATE.
            client = clientBelow(children[i], 3);
            if (client == 0) continue;
            name = title(client);
        }
        if (name.empty() || belongsToThisProcess(client)) continue;
        found.push_back({client, std::move(name), i + 1ULL});
    }
    if (children) XFree(children);
    return found;
}

::Window WindowDirectory::clientBelow(::Window frame, int depth) {
    if (depth == 0) return 0;
    Display* display = m_connection.display();
    ::Window rootReturn = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, frame, &rootReturn, &parent, &children, &count)) return 0;
    const Atom wmState = m_connection.atom("WM_STATE");
    ::Window client = 0;
    for (unsigned int i = count; i-- > 0 && client == 0;) {
        if (m_connection.longs(children[i], wmState, wmState)) client = children[i];
    }
    for (unsigned int i = count; i-- > 0 && client == 0;) client = clientBelow(children[i], depth - 1);
    if (children) XFree(children);
    return client;
}

std::u32string WindowDirectory::title(::Window window) {
    const Atom utf8 = m_connection.atom("UTF8_STRING");
    if (auto name = m_connection.text(window, m_connection.atom("_NET_WM_NAME")); name && name->type == utf8)
        return fromUtf8(name->bytes);
    auto name = m_connection.text(window, XA_WM_NAME);
    if (!name) return {};
    if (name->type == XA_STRING) return fromLatin1(name->bytes);
    if (name->type == utf8) return fromUtf8(name->bytes);
    // COMPOUND_TEXT and other encodings: Xlib converts them.
    XTextProperty property;
    property.value = reinterpret_cast<unsigned char*>(name->bytes.data());
    property.encoding = name->type;
    property.format = 8;
    property.nitems = name->bytes.size();
    char** list = nullptr;
    int count = 0;
    std::u32string converted;
    if (Xutf8TextPropertyToTextList(m_connection.display(), &property, &list, &count) >= Success && list) {
        for (int i = 0; i < count; ++i) converted += fromUtf8(list[i]);
        XFreeStringList(list);
    }
    return converted;
}

bool WindowDirectory::belongsToThisProcess(::Window window) {
    const auto pid = m_connection.longs(window, m_connection.atom("_NET_WM_PID"), XA_CARDINAL);
    if (!pid || pid->empty() || (*pid)[0] != static_cast<unsigned long>(getpid())) return false;
    // The same process number on another machine is another process.
    auto machine = m_connection.text(window, XA_WM_CLIENT_MACHINE);
    if (!machine) return true;
    std::string& name = machine->bytes;
    while (!name.empty() && name.back() == '\0') name.pop_back();  // some clients store the terminator
    return name.empty() || name == hostName();
}

}  // namespace tastalo::platform::x11
