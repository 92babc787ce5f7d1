#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/keyboard_target.h"

namespace tastalo::platform {

// A stand-in for tests: records every call in order and can be told to fail
// at a given call or to lose the focus.
class RecordingKeyboardTarget final : public KeyboardTarget {
public:
    struct Call {
        enum class Kind { Activate, HasFocus, Type, Enter, Finish } kind;
        std::u32string text;  // title for Activate, text for Type
    };

    Status activate(std::u32string_view title) override;
    // Not recorded: what sees() told, or nothing.
    std::optional<TitleMatch> lookUp(std::u32string_view) override { return m_sees; }
    bool targetHasFocus() override;
    // Not recorded: what loseFocusAt() gave as the reason.
    Status focusLoss() override { return m_focusLoss; }
    Status typeText(std::u32string_view text) override;
    Status pressEnter() override;
    // Not recorded: success, or what failConfirmOn() planned.
    Status confirmDelivery() override;
    // Not recorded: what countsDelivered() gave, or nothing.
    std::optional<std::size_t> entersDelivered() override { return m_delivered; }
    bool deliveryUnwatched() const override { return m_unwatched; }
    std::size_t operatorKeysHeldBack() const override { return m_heldBack; }
    void finish() override;

    const std::vector<Call>& calls() const { return m_calls; }
    // What the target received: typed texts, with "\n" for every Enter.
    std::u32string received() const;
    int count(Call::Kind kind) const;

    // When set, the answer to the n-th call (0-based) of `kind` is `status`.
    void failOn(Call::Kind kind, int index, Status status);
    // When set, the n-th confirmDelivery() (0-based) answers `status`.
    void failConfirmOn(int index, Status status) { m_confirmFailure = {index, std::move(status)}; }
    // When set, targetHasFocus() answers false from its n-th call on (0-based).
    void loseFocusAt(int index, Status why = failure(kTargetLostFocus)) {
        m_loseFocusAt = index;
        m_focusLoss = std::move(why);
    }
    // As a backend whose confirmations travel while the next text is typed:
    // this many Enters arrived whole.
    void countsDelivered(std::size_t enters) { m_delivered = enters; }
    // As when the system refuses to let the keys be watched.
    void refuseWatch() { m_unwatched = true; }
    // The operator's keys the system held back during the send.
    void holdBackOperatorKeys(std::size_t count) { m_heldBack = count; }
    // How well the windows it can see match any title.
    void sees(TitleMatch match) { m_sees = match; }
    // Runs before each recorded call, to act in the middle of a send.
    void setHook(std::function<void(const Call&)> hook) { m_hook = std::move(hook); }

private:
    Status record(Call::Kind kind, std::u32string text);

    std::vector<Call> m_calls;
    Status m_focusLoss = failure(kTargetLostFocus);
    struct Planned {
        Call::Kind kind;
        int index;
        Status status;
    };
    std::vector<Planned> m_failures;
    int m_loseFocusAt = -1;
    int m_confirmations = 0;
    std::optional<std::pair<int, Status>> m_confirmFailure;
    std::function<void(const Call&)> m_hook;
    std::optional<TitleMatch> m_sees;
    bool m_unwatched = false;
    std::size_t m_heldBack = 0;
    std::optional<std::size_t> m_delivered;
};

}  // namespace tastalo::platform
