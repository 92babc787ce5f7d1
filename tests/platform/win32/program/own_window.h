#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace tastalo::prova {

// A plain visible window of the test process itself, shown and brought to
// the front on creation, destroyed with the object.
class OwnWindow {
public:
    explicit OwnWindow(const std::wstring& title);
    ~OwnWindow();
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;

    HWND handle() const { return m_window; }

private:
    HWND m_window = nullptr;
};

}  // namespace tastalo::prova
