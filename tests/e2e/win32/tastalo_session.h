#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QString>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "database_liste.h"
#include "support/temp_folder.h"

namespace tastalo::prova {

// tastalo.exe copied into a program folder of its own, started from another
// working folder and watched from outside. A step that does not come about
// in time throws, naming the step.
class TastaloSession {
public:
    TastaloSession();
    ~TastaloSession();
    TastaloSession(const TastaloSession&) = delete;
    TastaloSession& operator=(const TastaloSession&) = delete;

    // A file of the program folder, as the program names it (backslashes).
    std::wstring path(const QString& name) const;
    void writeSettings(const std::wstring& database, const std::wstring& title,
                       const std::wstring& delay) const;
    // The keys of section DATI of spooling.ini, in UTF-8.
    std::map<std::string, std::string> settings() const;
    void writeDatabase(const QString& name, const std::vector<makedb::Lista>& lists) const;
    std::vector<QString> files() const;

    // Starts the program and waits for its splash screen; answers with the
    // milliseconds from the start of the process to the splash on screen.
    double start();
    // A key pressed on the splash screen, which closes it.
    void closeSplash();
    // The visible window of the program titled `title`, once there is one.
    HWND window(const std::wstring& title, const std::string& step);
    // Waits for a message box, reads its text (Ctrl+C copies it) and
    // dismisses it with Enter; `onShown` runs as soon as the box is found.
    std::wstring message(const std::string& step, const std::function<void()>& onShown = {});
    // Brings `window` in front, then runs `keys`.
    void keysTo(HWND window, const std::function<void()>& keys, const std::string& step);
    // Waits until `window` has gone.
    void waitGone(HWND window, const std::string& step);
    DWORD processId() const { return m_process.dwProcessId; }
    // Escape in the main window: the program ends, with status 0.
    void closeWith(HWND mainWindow);

private:
    HWND waitForWindow(const std::function<bool(HWND)>& wanted, DWORD timeoutMs, const std::string& step);

    prova::TempFolder m_folder;
    PROCESS_INFORMATION m_process{};
    HWND m_splash = nullptr;
};

}  // namespace tastalo::prova
