#include "platform/win32/key_watch.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <utility>

namespace tastalo::platform::win32 {

struct KeyWatch::State {
    std::uintptr_t marker = 0;
    DWORD targetProcess = 0;
    HWND lastFront =
        nullptr;  // the last window in front seen to be the target's process's (hook thread only)
    HANDLE progress = nullptr;  // set each time a barrier has come
    HANDLE ready = nullptr;     // set once the hook is in place, or refused
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    bool installed = false;
    std::atomic<bool> swallowAll{false};
    std::atomic<std::size_t> passed{0};
    std::atomic<std::size_t> swallowed{0};
    std::atomic<std::size_t> blocked{0};
    std::atomic<std::size_t> barriers{0};
    std::atomic<std::size_t> heldBack{0};
    // By virtual-key code: the operator's keys whose press was held back and
    // whose release has not come yet (hook thread only).
    std::array<bool, 256> pressHeldBack{};
    // By virtual-key code: our keys whose press went through and whose
    // release has not (hook thread only).
    std::array<bool, 256> pressPassed{};

    ~State() {
        for (HANDLE handle : {progress, ready, thread}) {
            if (handle) CloseHandle(handle);
        }
    }
};

namespace {

// "TS" in the high half: the markers of this program; the low half tells
// one watch from the next, its top bit a barrier from a key.
constexpr std::uintptr_t kMarkerBase = 0x54530000u;
constexpr std::uintptr_t kBarrierBit = 0x8000u;

// A hook procedure has no context of its own: the one watch of the process.
std::atomic<KeyWatch::State*> g_watch{nullptr};
std::atomic<std::uint32_t> g_watchesStarted{0};

bool foregroundInProcess(KeyWatch::State& state) {
    const HWND front = GetForegroundWindow();
    if (!front) return false;
    // The window in front changes seldom: its owner is asked once.
    if (front == state.lastFront) return true;
    DWORD owner = 0;
    GetWindowThreadProcessId(front, &owner);
    if (owner != state.targetProcess) return false;
    state.lastFront = front;
    return true;
}

// The operator's key (not injected) during the watch: true to swallow it.
bool holdBack(KeyWatch::State& state, const KBDLLHOOKSTRUCT& key) {
    bool& heldBack = state.pressHeldBack[key.vkCode & 0xFF];
    if ((key.flags & LLKHF_UP) != 0) {
        // Its press went nowhere: so does its release. Any other release
        // passes, so that no key stays down.
        const bool swallow = heldBack;
        heldBack = false;
        return swallow;
    }
    // A key the system already holds down was pressed before the watch (this
    // is its repeat): held back too, but its release must pass. The state is
    // asked only for the operator's keys, seldom during a send.
    if (!heldBack && (GetAsyncKeyState(static_cast<int>(key.vkCode & 0xFF)) & 0x8000) == 0) heldBack = true;
    state.heldBack.fetch_add(1, std::memory_order_relaxed);
    return true;
}

LRESULT CALLBACK judgeKey(int code, WPARAM wParam, LPARAM lParam) {
    KeyWatch::State* state = g_watch.load(std::memory_order_acquire);
    if (code == HC_ACTION && state != nullptr) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool injected = (key->flags & LLKHF_INJECTED) != 0;
        // Pressed on the keyboard during the send: it would mix with the
        // barcode being typed, or go to whatever window is in front.
        if (!injected && holdBack(*state, *key)) return 1;
        if (injected && key->dwExtraInfo == (state->marker | kBarrierBit)) {
            // The system handles injected events in order: every key before
            // this one has been answered and handed to its window's queue.
            state->barriers.fetch_add(1);
            SetEvent(state->progress);
            return 1;
        }
        if (injected && key->dwExtraInfo == state->marker) {
            // The other hooks first: one of them may bring another window
            // to the front, or swallow the key itself.
            const LRESULT others = CallNextHookEx(nullptr, code, wParam, lParam);
            // The system routes this key to the window in front once this
            // procedure has answered: it may go only to the target's process.
            if (!state->swallowAll.load() && !foregroundInProcess(*state)) state->swallowAll.store(true);
            // Counted here, the answer still to reach the system: the sender
            // trusts the counts once the barrier after the keys has come.
            // Nothing else is done per key: the system waits for this answer.
            bool& down = state->pressPassed[key->vkCode & 0xFF];
            const bool release = (key->flags & LLKHF_UP) != 0;
            if (state->swallowAll.load()) {
                state->swallowed.fetch_add(1);
                // The release of a key whose press went through passes all
                // the same, to whatever window is in front: swallowed, it
                // would leave the key down for the whole system.
                if (release && down) {
                    down = false;
                    return 0;
                }
                return 1;
            }
            if (others != 0) {
                // Another program's hook kept it from the target: the text
                // would arrive mangled, so nothing more goes.
                state->swallowAll.store(true);
                state->blocked.fetch_add(1);
                return others;
            }
            down = !release;
            state->passed.fetch_add(1);
            return 0;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI runWatch(LPVOID parameter) {
    auto& state = *static_cast<KeyWatch::State*>(parameter);
    MSG message;
    // The thread's queue exists before anyone posts to it.
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    const HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, judgeKey, GetModuleHandleW(nullptr), 0);
    state.installed = hook != nullptr;
    SetEvent(state.ready);
    if (!hook) return 1;
    // The hook is called through this loop: it must never block.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    }
    UnhookWindowsHookEx(hook);
    return 0;
}

}  // namespace

std::unique_ptr<KeyWatch> KeyWatch::start(std::uint32_t targetProcess) {
    auto state = std::make_unique<State>();
    state->marker = kMarkerBase | (++g_watchesStarted & 0x7FFFu);
    state->targetProcess = targetProcess;
    state->progress = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    state->ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!state->progress || !state->ready) return nullptr;
    State* none = nullptr;
    if (!g_watch.compare_exchange_strong(none, state.get())) return nullptr;
    state->thread = CreateThread(nullptr, 0, runWatch, state.get(), 0, &state->threadId);
    if (state->thread) {
        // Set by the thread at once, whether the hook was installed or not.
        WaitForSingleObject(state->ready, INFINITE);
        if (state->installed) return std::unique_ptr<KeyWatch>(new KeyWatch(std::move(state)));
        WaitForSingleObject(state->thread, INFINITE);
    }
    g_watch.store(nullptr);
    return nullptr;
}

KeyWatch::KeyWatch(std::unique_ptr<State> state) : m_state(std::move(state)) {}

KeyWatch::~KeyWatch() {
    // The loop ends and the thread removes the hook; the state outlives it.
    PostThreadMessageW(m_state->threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(m_state->thread, INFINITE);
    g_watch.store(nullptr);
}

std::uintptr_t KeyWatch::marker() const { return m_state->marker; }

std::uintptr_t KeyWatch::barrierMarker() const { return m_state->marker | kBarrierBit; }

void KeyWatch::swallowRest() { m_state->swallowAll.store(true); }

std::size_t KeyWatch::operatorKeysHeldBack() const { return m_state->heldBack.load(); }

KeysSeen KeyWatch::waitFor(std::size_t count, std::size_t barriers, std::chrono::milliseconds limit) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(std::max<std::int64_t>(limit.count(), 0));
    for (;;) {
        const KeysSeen seen{m_state->passed.load(), m_state->swallowed.load(), m_state->blocked.load()};
        const ULONGLONG now = GetTickCount64();
        const bool all = seen.total() >= count && m_state->barriers.load() >= barriers;
        if (all || now >= end) return seen;
        MsgWaitForMultipleObjectsEx(1, &m_state->progress, static_cast<DWORD>(end - now), QS_SENDMESSAGE, 0);
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace tastalo::platform::win32
