#include "platform/x11/target_ping.h"

#include <poll.h>

#include <algorithm>

namespace tastalo::platform::x11 {

bool TargetPing::understoodBy(::Window window) {
    const auto protocols = m_connection.longs(window, m_connection.atom("WM_PROTOCOLS"), XA_ATOM);
    const Atom ping = m_connection.atom("_NET_WM_PING");
    return protocols && std::find(protocols->begin(), protocols->end(), ping) != protocols->end();
}

bool TargetPing::roundTrip(::Window window, std::chrono::milliseconds timeout) {
    Display* display = m_connection.display();
    // The answer goes to the root window, with the structure or the
    // substructure mask depending on the toolkit; listen there only while
    // waiting.
    constexpr long kAnswerMasks = StructureNotifyMask | SubstructureNotifyMask;
    m_connection.listenOnRoot(kAnswerMasks);
    // Any 32-bit value serves as the token: the answer carries it back.
    const long token = m_lastToken = (m_lastToken % 0x3FFFFFFF) + 1;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = m_connection.atom("WM_PROTOCOLS");
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(m_connection.atom("_NET_WM_PING"));
    event.xclient.data.l[1] = token;
    event.xclient.data.l[2] = static_cast<long>(window);
    const unsigned long errorsBefore = m_connection.errorCount();
    const bool earlierError = m_connection.hasError();
    XSendEvent(display, window, False, NoEventMask, &event);
    m_connection.sync();
    bool answered = false;
    if (m_connection.errorCount() == errorsBefore)
        answered = waitForAnswer(window, token, std::chrono::steady_clock::now() + timeout);
    else if (!earlierError)
        m_connection.clearErrors();  // the window is gone: no answer, and not the caller's failure
    m_connection.stopListeningOnRoot(kAnswerMasks);
    XSync(display, False);
    dropRootNoise();
    return answered;
}

void TargetPing::dropRootNoise() {
    Display* display = m_connection.display();
    XEvent event;
    while (XCheckWindowEvent(display, m_connection.root(), StructureNotifyMask | SubstructureNotifyMask,
                             &event)) {
    }
    // Answers to other pings (the window manager's) come this way too.
    while (XCheckTypedWindowEvent(display, m_connection.root(), ClientMessage, &event)) {
    }
}

bool TargetPing::waitForAnswer(::Window window, long token, std::chrono::steady_clock::time_point deadline) {
    Display* display = m_connection.display();
    const Atom protocols = m_connection.atom("WM_PROTOCOLS");
    const auto ping = static_cast<long>(m_connection.atom("_NET_WM_PING"));
    struct Wanted {
        Atom protocols;
        long ping, token;
        ::Window window;
    } wanted{protocols, ping, token, window};
    auto isAnswer = [](Display*, XEvent* event, XPointer argument) -> Bool {
        const auto* w = reinterpret_cast<const Wanted*>(argument);
        return event->type == ClientMessage && event->xclient.message_type == w->protocols &&
               event->xclient.data.l[0] == w->ping && event->xclient.data.l[1] == w->token &&
               static_cast<::Window>(event->xclient.data.l[2]) == w->window;
    };
    for (;;) {
        XEvent event;
        // Only the answer and the root's structure events are taken from the
        // queue: other parts of the backend wait for their own events there.
        if (XCheckIfEvent(display, &event, isAnswer, reinterpret_cast<XPointer>(&wanted))) return true;
        dropRootNoise();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
        poll(&descriptor, 1, static_cast<int>(left.count()));
    }
}

}  // namespace tastalo::platform::x11
