#pragma once

// Private to the store: one reference to a COM interface, released when it
// goes, so that no failure leaves an object of the provider alive.

#include <objbase.h>

#include <utility>

namespace tastalo::oledb {

template <class Interfaccia>
class PuntatoreCom {
public:
    PuntatoreCom() = default;
    ~PuntatoreCom() { rilascia(); }
    PuntatoreCom(const PuntatoreCom&) = delete;
    PuntatoreCom& operator=(const PuntatoreCom&) = delete;
    PuntatoreCom(PuntatoreCom&& altro) noexcept : m_p(std::exchange(altro.m_p, nullptr)) {}
    PuntatoreCom& operator=(PuntatoreCom&& altro) noexcept {
        if (this != &altro) {
            rilascia();
            m_p = std::exchange(altro.m_p, nullptr);
        }
        return *this;
    }

    Interfaccia* get() const { return m_p; }
    Interfaccia* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // Where a call that hands out a reference writes it (the one held goes first).
    void** ricevi() {
        rilascia();
        return reinterpret_cast<void**>(&m_p);
    }
    void rilascia() noexcept {
        if (m_p) std::exchange(m_p, nullptr)->Release();
    }

private:
    Interfaccia* m_p = nullptr;
};

}  // namespace tastalo::oledb
