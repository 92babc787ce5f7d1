#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace tastalo::platform::wayland {

// How much the compositor has written to each of its other clients that
// they have not read yet, as the kernel counts it. A compositor drops a
// client whose connection is full (libwayland-server cannot queue more than
// a few kilobytes of its own), so this is what bounds how far keys may run
// ahead of the program reading them.
struct ClientQueue {
    std::uint32_t socket = 0;  // the compositor's end (inode)
    std::uint32_t queued = 0;  // bytes sent and not yet read, with the kernel's overhead
    std::uint32_t limit = 0;   // what the compositor's end may have queued at most
    bool connected = true;     // false once the client has gone
};

// The compositor's ends of every client connection but this process's own,
// found through our connection to it (`ownSocket`, a file descriptor), from
// the kernel's socket diagnostics. nullopt where the kernel does not tell.
std::optional<std::vector<ClientQueue>> readClientQueues(int ownSocket);

// What a send has put in the clients' connections, against what was there
// when it began.
class ClientBacklog {
public:
    enum class State {
        Read,     // no client holds more than allowed
        Behind,   // some client does
        Gone,     // a client disconnected with something unread (said once)
        Unknown,  // the kernel does not tell
    };

    // Takes what each client holds now as its starting level. False (and
    // every later check Unknown) where the kernel does not tell.
    bool start(int ownSocket);
    // Whether every client has read what came since the start (`drained`),
    // or holds at most a quarter of what its connection can hold over it;
    // `excess` is the most any holds over its level.
    State check(bool drained, std::uint32_t* excess = nullptr);

private:
    int m_ownSocket = -1;
    // This process's sockets, as at the start.
    std::set<std::uint32_t> m_ours;
    bool m_known = false;
    // The lowest each client was seen holding: what it holds when idle.
    std::map<std::uint32_t, std::uint32_t> m_level;
    // Clients that had something unread at the last check: one of them
    // disconnecting since means keys may have been lost with it.
    std::set<std::uint32_t> m_unread;
};

}  // namespace tastalo::platform::wayland
