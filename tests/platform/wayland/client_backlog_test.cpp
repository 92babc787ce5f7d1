#include "platform/wayland/client_backlog.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace tastalo::test {
namespace {

using platform::wayland::ClientBacklog;
using State = ClientBacklog::State;

int connectTo(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 ? fd : -1;
}

void writeAll(int fd, std::size_t size) {
    const std::vector<char> bytes(size, 'k');
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(size));
}

// A listening socket stands in for the compositor, this process for
// Tastalo, and a child process for a program that reads its keys only
// when told to ('r': all that has come; 'q': leave without reading).
class Compositor : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/client-backlog.XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        m_folder = folder;
        const std::string path = m_folder + "/wayland-test";
        m_listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(m_listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(::listen(m_listening, 4), 0);
        m_own = connectTo(path);
        ASSERT_GE(m_own, 0);
        m_ownEnd = ::accept(m_listening, nullptr, nullptr);

        int orders[2], answers[2];
        ASSERT_EQ(::pipe(orders), 0);
        ASSERT_EQ(::pipe(answers), 0);
        m_child = ::fork();
        if (m_child == 0) {
            const int program = connectTo(path);
            char order = 0;
            std::size_t read = 0;
            while (::read(orders[0], &order, 1) == 1 && order == 'r') {
                std::size_t expected = 0;
                (void)::read(orders[0], &expected, sizeof expected);
                std::vector<char> buffer(65536);
                while (read < expected)
                    read += static_cast<std::size_t>(::read(program, buffer.data(), buffer.size()));
                (void)::write(answers[1], "k", 1);
            }
            std::_Exit(0);
        }
        m_orders = orders[1];
        m_answers = answers[0];
        m_programEnd = ::accept(m_listening, nullptr, nullptr);
        ASSERT_GE(m_programEnd, 0);
    }

    void TearDown() override {
        if (m_child > 0) {
            (void)::write(m_orders, "q", 1);
            ::waitpid(m_child, nullptr, 0);
        }
        for (const int fd : {m_listening, m_own, m_ownEnd, m_programEnd, m_orders, m_answers}) ::close(fd);
        std::filesystem::remove_all(m_folder);
    }

    void programReads(std::size_t total) {
        (void)::write(m_orders, "r", 1);
        (void)::write(m_orders, &total, sizeof total);
        char done = 0;
        ASSERT_EQ(::read(m_answers, &done, 1), 1);
    }

    void programLeaves() {
        (void)::write(m_orders, "q", 1);
        ::waitpid(m_child, nullptr, 0);
        m_child = -1;
    }

    std::string m_folder;
    int m_listening = -1, m_own = -1, m_ownEnd = -1, m_programEnd = -1, m_orders = -1, m_answers = -1;
    pid_t m_child = -1;
};

TEST_F(Compositor, AProgramIsBehindWhileItHoldsTooMuchUnreadAndGoneIfItLeavesWithoutReading) {
    ClientBacklog backlog;
    ASSERT_TRUE(backlog.start(m_own));
    EXPECT_EQ(backlog.check(true), State::Read);

    // Little unread: fine to go on typing, not yet read.
    writeAll(m_programEnd, 1000);
    EXPECT_EQ(backlog.check(false), State::Read);
    EXPECT_EQ(backlog.check(true), State::Behind);
    // What our own connection holds is never waited for.
    writeAll(m_ownEnd, 100000);

    writeAll(m_programEnd, 80000);
    std::uint32_t excess = 0;
    EXPECT_EQ(backlog.check(false, &excess), State::Behind);
    EXPECT_GE(excess, 81000u);
    programReads(81000);
    EXPECT_EQ(backlog.check(true), State::Read);

    writeAll(m_programEnd, 1000);
    EXPECT_EQ(backlog.check(true), State::Behind);
    programLeaves();
    EXPECT_EQ(backlog.check(true), State::Gone);
    // Said once: another program quitting must not stop every later check.
    EXPECT_EQ(backlog.check(true), State::Read);
}

TEST_F(Compositor, WithoutASocketToStartFromNothingIsKnown) {
    ClientBacklog backlog;
    EXPECT_FALSE(backlog.start(m_orders));
    EXPECT_EQ(backlog.check(true), State::Unknown);
}

}  // namespace
}  // namespace tastalo::test
