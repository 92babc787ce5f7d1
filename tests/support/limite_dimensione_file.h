#pragma once

// Windows has no per-process cap on the size of written files, so the tests
// that stand in for a full disk with one are left out of the Windows build.
#ifndef _WIN32

#include <sys/resource.h>

#include <csignal>

namespace tastalo::prova {

// Caps the size of any file this process writes, as a full disk would, and
// makes an oversized write fail with an error instead of a signal.
class LimiteDimensioneFile {
public:
    explicit LimiteDimensioneFile(rlim_t byte) {
        getrlimit(RLIMIT_FSIZE, &m_prima);
        m_segnale = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limite = m_prima;
        limite.rlim_cur = byte;
        setrlimit(RLIMIT_FSIZE, &limite);
    }
    ~LimiteDimensioneFile() {
        setrlimit(RLIMIT_FSIZE, &m_prima);
        std::signal(SIGXFSZ, m_segnale);
    }
    LimiteDimensioneFile(const LimiteDimensioneFile&) = delete;
    LimiteDimensioneFile& operator=(const LimiteDimensioneFile&) = delete;

private:
    rlimit m_prima{};
    void (*m_segnale)(int) = nullptr;
};

}  // namespace tastalo::prova

#endif
