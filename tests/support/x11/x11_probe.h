#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// What the end-to-end tests look at on the display, written apart from the
// backend so that the backend is checked against an independent view.
namespace tastalo::prova {

// Modifier bits as X reports them.
inline constexpr unsigned int kShiftBit = 1U << 0;
inline constexpr unsigned int kCapsLockBit = 1U << 1;
inline constexpr unsigned int kControlBit = 1U << 2;

// Kept free of X11 headers, whose macros (Status, None...) would clash with
// the code under test.
class X11Probe {
public:
    X11Probe();
    ~X11Probe();
    X11Probe(const X11Probe&) = delete;
    X11Probe& operator=(const X11Probe&) = delete;

    bool connected() const { return m_display != nullptr; }

    // The whole keyboard mapping, keysym by keysym: the core one, then for
    // every key what XKB holds (key type, groups, width and symbols).
    std::vector<unsigned long> keyboardMapping();
    // Keycodes with no symbol and no modifier role: those a backend may borrow.
    int spareKeycodes();
    // How many keymap changes the server announced since the last call.
    int keymapChanges();
    unsigned int lockedModifiers();
    unsigned int heldModifiers();
    // Whether the key of this keysym is down on any keyboard.
    bool keyDown(const char* keysymName);

    // Returns once other clients have asked the server for its input devices
    // (XIQueryDevice) `count` times since the call, as a backend does each
    // time it looks for keys held down; false if they did not within
    // `timeout`. Uses connections of its own (the RECORD extension), so any
    // thread may wait here.
    static bool awaitDeviceQueries(int count, std::chrono::milliseconds timeout);

    void press(const char* keysymName);
    void release(const char* keysymName);
    void tap(const char* keysymName);
    // Holds the whole keyboard for this process, as an open menu does.
    bool grabKeyboard();
    void ungrabKeyboard();

    // The viewable window of process `pid` that has a title and, under a
    // window manager, is managed; 0 if none.
    unsigned long windowOfProcess(int pid);
    // The same for a program that does not name its process: by its title.
    unsigned long windowTitled(const std::string& title);
    unsigned long activeWindow();  // _NET_ACTIVE_WINDOW, or the input focus without a manager
    unsigned long inputFocus();    // the server's own view, which a manager may not have caught up with
    bool underWindowManager();

    // A top-level window of this very process with the given title, on the
    // screen (and managed, under a window manager) when this returns.
    unsigned long createOwnWindow(const std::string& title);
    void destroyWindow(unsigned long window);

private:
    void fakeKey(const char* keysymName, bool press);
    unsigned long search(unsigned long window, int depth, const std::function<bool(unsigned long)>& chosen);
    bool managedIfUnderManager(unsigned long window);

    void* m_display = nullptr;  // the Display
    void* m_notices = nullptr;  // another, for the keymap notices alone
    int m_xkbEventBase = -1;
};

}  // namespace tastalo::prova
