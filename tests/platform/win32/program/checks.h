#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// A minimal assertion harness for the cross-built test program: each check
// prints one line, and the summary line is the one the test runner reads.
namespace tastalo::prova {

class Checks {
public:
    bool expect(bool ok, std::string_view name, const std::string& detail = {}) {
        ok ? ++m_passed : ++m_failed;
        std::printf("%s %.*s%s%s\n", ok ? "[ ok ]" : "[FAIL]", static_cast<int>(name.size()), name.data(),
                    detail.empty() || ok ? "" : ": ", ok ? "" : detail.c_str());
        std::fflush(stdout);
        return ok;
    }

    // Prints the totals; the process exits with what this returns.
    int finish() const {
        std::printf("%d passed, %d failed\n", m_passed, m_failed);
        std::fflush(stdout);
        return m_failed == 0 && m_passed > 0 ? 0 : 1;
    }

private:
    int m_passed = 0;
    int m_failed = 0;
};

}  // namespace tastalo::prova
