#include "platform/wayland/client_backlog.h"

#include <dirent.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <linux/unix_diag.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <set>
#include <string>

namespace tastalo::platform::wayland {

namespace {

struct UnixSocket {
    std::uint32_t inode = 0;
    std::uint32_t peer = 0;
    std::uint8_t shutdown = 0;
    std::string name;
    std::uint32_t queued = 0;
    std::uint32_t limit = 0;
};

// Closes the netlink socket however the reading ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

void readAttributes(const unix_diag_msg* message, std::size_t length, UnixSocket& socket) {
    auto* attribute = reinterpret_cast<const rtattr*>(message + 1);
    auto remaining = static_cast<int>(length - NLMSG_ALIGN(sizeof(*message)));
    for (; RTA_OK(attribute, remaining); attribute = RTA_NEXT(attribute, remaining)) {
        const void* data = RTA_DATA(attribute);
        const std::size_t size = RTA_PAYLOAD(attribute);
        switch (attribute->rta_type) {
            case UNIX_DIAG_NAME: socket.name.assign(static_cast<const char*>(data), size); break;
            case UNIX_DIAG_PEER:
                if (size >= sizeof(std::uint32_t)) std::memcpy(&socket.peer, data, sizeof(std::uint32_t));
                break;
            case UNIX_DIAG_SHUTDOWN:
                if (size >= 1) socket.shutdown = *static_cast<const std::uint8_t*>(data);
                break;
            case UNIX_DIAG_MEMINFO:
                if (size >= sizeof(std::uint32_t) * (SK_MEMINFO_SNDBUF + 1)) {
                    std::array<std::uint32_t, SK_MEMINFO_SNDBUF + 1> memory{};
                    std::memcpy(memory.data(), data, sizeof memory);
                    socket.queued = memory[SK_MEMINFO_WMEM_ALLOC];
                    socket.limit = memory[SK_MEMINFO_SNDBUF];
                }
                break;
            default: break;
        }
    }
}

std::optional<std::vector<UnixSocket>> dumpUnixSockets() {
    const Descriptor netlink(::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG));
    if (netlink.get() < 0) return std::nullopt;
    struct {
        nlmsghdr header;
        unix_diag_req request;
    } query{};
    query.header.nlmsg_len = sizeof query;
    query.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    query.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    query.request.sdiag_family = AF_UNIX;
    query.request.udiag_states = 1u << TCP_ESTABLISHED;
    query.request.udiag_show = UDIAG_SHOW_NAME | UDIAG_SHOW_PEER | UDIAG_SHOW_MEMINFO;
    if (::send(netlink.get(), &query, sizeof query, 0) != static_cast<ssize_t>(sizeof query))
        return std::nullopt;

    std::vector<UnixSocket> sockets;
    alignas(nlmsghdr) std::array<char, 32768> buffer;
    for (;;) {
        const ssize_t received = ::recv(netlink.get(), buffer.data(), buffer.size(), 0);
        if (received <= 0) return std::nullopt;
        auto* header = reinterpret_cast<const nlmsghdr*>(buffer.data());
        auto remaining = static_cast<std::uint32_t>(received);
        for (; NLMSG_OK(header, remaining); header = NLMSG_NEXT(header, remaining)) {
            if (header->nlmsg_type == NLMSG_DONE) return sockets;
            if (header->nlmsg_type == NLMSG_ERROR) return std::nullopt;
            if (header->nlmsg_type != SOCK_DIAG_BY_FAMILY) continue;
            const auto* message = static_cast<const unix_diag_msg*>(NLMSG_DATA(header));
            UnixSocket socket;
            socket.inode = message->udiag_ino;
            readAttributes(message, header->nlmsg_len - NLMSG_LENGTH(0), socket);
            sockets.push_back(std::move(socket));
        }
    }
}

std::optional<std::uint32_t> inodeOf(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISSOCK(status.st_mode)) return std::nullopt;
    return static_cast<std::uint32_t>(status.st_ino);
}

// Every socket this process holds: a Wayland connection of the program's
// own windows, read only between barcodes, must not be waited for.
std::set<std::uint32_t> ownSockets() {
    std::set<std::uint32_t> inodes;
    DIR* folder = ::opendir("/proc/self/fd");
    if (!folder) return inodes;
    while (const dirent* entry = ::readdir(folder)) {
        char target[64] = {};
        const std::string path = std::string("/proc/self/fd/") + entry->d_name;
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
        if (length <= 0) continue;
        const std::string link(target, static_cast<std::size_t>(length));
        if (link.rfind("socket:[", 0) == 0)
            inodes.insert(static_cast<std::uint32_t>(std::stoul(link.substr(8))));
    }
    ::closedir(folder);
    return inodes;
}

std::optional<std::vector<ClientQueue>> clientQueues(int ownSocket, const std::set<std::uint32_t>& ours) {
    const auto own = inodeOf(ownSocket);
    if (!own) return std::nullopt;
    auto sockets = dumpUnixSockets();
    if (!sockets) return std::nullopt;
    // The compositor's end of our connection carries the name of the socket
    // it listens on, as do its ends of every other client's.
    const auto compositorEnd =
        std::find_if(sockets->begin(), sockets->end(), [&](const UnixSocket& s) { return s.peer == *own; });
    if (compositorEnd == sockets->end() || compositorEnd->name.empty() || compositorEnd->limit == 0)
        return std::nullopt;
    const std::string name = compositorEnd->name;
    std::vector<ClientQueue> queues;
    for (const UnixSocket& socket : *sockets) {
        if (socket.name != name || ours.count(socket.peer) != 0) continue;
        queues.push_back(
            {socket.inode, socket.queued, socket.limit, socket.shutdown == 0 && socket.peer != 0});
    }
    return queues;
}

}  // namespace

std::optional<std::vector<ClientQueue>> readClientQueues(int ownSocket) {
    return clientQueues(ownSocket, ownSockets());
}

bool ClientBacklog::start(int ownSocket) {
    m_ownSocket = ownSocket;
    // Read once: the checks run in the typing loop.
    m_ours = ownSockets();
    m_level.clear();
    m_unread.clear();
    const auto queues = clientQueues(ownSocket, m_ours);
    m_known = queues.has_value();
    if (m_known) {
        for (const ClientQueue& queue : *queues) m_level[queue.socket] = queue.queued;
    }
    return m_known;
}

ClientBacklog::State ClientBacklog::check(bool drained, std::uint32_t* excess) {
    if (excess) *excess = 0;
    if (!m_known) return State::Unknown;
    const auto queues = clientQueues(m_ownSocket, m_ours);
    if (!queues) return State::Unknown;
    State state = State::Read;
    std::set<std::uint32_t> unread;
    for (const ClientQueue& queue : *queues) {
        // A client that connected during the send starts empty.
        std::uint32_t& level = m_level.emplace(queue.socket, 0).first->second;
        if (!queue.connected) continue;
        level = std::min(level, queue.queued);
        const std::uint32_t over = queue.queued - level;
        if (over == 0) continue;
        unread.insert(queue.socket);
        if (excess) *excess = std::max(*excess, over);
        if (drained || over > queue.limit / 4) state = State::Behind;
    }
    // Gone, or disconnected and not yet closed by the compositor: what it
    // had not read went with it. Said once for each.
    const bool gone = std::any_of(m_unread.begin(), m_unread.end(), [&](std::uint32_t socket) {
        return !unread.count(socket) &&
               std::none_of(queues->begin(), queues->end(),
                            [&](const ClientQueue& q) { return q.socket == socket && q.connected; });
    });
    m_unread = std::move(unread);
    return gone ? State::Gone : state;
}

}  // namespace tastalo::platform::wayland
