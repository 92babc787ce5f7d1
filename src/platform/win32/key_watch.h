#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "platform/win32/desktop.h"

namespace tastalo::platform::win32 {

// A low-level keyboard hook (WH_KEYBOARD_LL) on a thread of its own, which
// sees each key this process injects with marker() at the moment the system
// routes it. While the window in front belongs to the target's process the
// key passes; otherwise it is swallowed, and so is every marked key after
// it. The operator's own keys (not injected) are held back: each press is
// swallowed, and so is the release of a key whose press was, so that they
// never mix with the keys typed; any other release passes, so that no key
// the operator held before is left down. Keys other programs inject pass
// untouched. The hook is removed on destruction.
class KeyWatch {
public:
    // Null when the system refuses the hook (a policy, a desktop that does
    // not allow hooks).
    static std::unique_ptr<KeyWatch> start(std::uint32_t targetProcess);
    ~KeyWatch();
    KeyWatch(const KeyWatch&) = delete;
    KeyWatch& operator=(const KeyWatch&) = delete;

    // The value injected keys carry in dwExtraInfo to be watched: one per
    // watch, so keys of an earlier one are not counted.
    std::uintptr_t marker() const;
    // The value of a barrier: an event injected after keys, always
    // swallowed, whose arrival at the hook means every key injected before
    // it has reached its window's queue (the hook's answer for a key comes
    // before the key is queued).
    std::uintptr_t barrierMarker() const;
    // Waits until `count` marked keys have been routed or swallowed and
    // `barriers` barriers have arrived, or until `limit` has passed.
    // Messages other threads send to this one are handled meanwhile.
    KeysSeen waitFor(std::size_t count, std::size_t barriers, std::chrono::milliseconds limit);
    void swallowRest();
    // The operator's key presses held back so far.
    std::size_t operatorKeysHeldBack() const;

    struct State;

private:
    explicit KeyWatch(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

}  // namespace tastalo::platform::win32
