#include "busy_load.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>

namespace tastalo::bench {

BusyLoad::BusyLoad(int count) {
    for (int i = 0; i < count; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            std::atomic<unsigned long> spin{0};
            for (;;) spin.fetch_add(1, std::memory_order_relaxed);
        }
        if (pid > 0) m_pids.push_back(pid);
    }
}

BusyLoad::~BusyLoad() {
    for (int pid : m_pids) kill(pid, SIGKILL);
    for (int pid : m_pids) waitpid(pid, nullptr, 0);
}

}  // namespace tastalo::bench
