#include "support/recording_keyboard_target.h"

#include <algorithm>

namespace tastalo::platform {

Status RecordingKeyboardTarget::record(Call::Kind kind, std::u32string text) {
    const int index = count(kind);
    Call call{kind, std::move(text)};
    if (m_hook) m_hook(call);
    m_calls.push_back(std::move(call));
    for (const Planned& planned : m_failures) {
        if (planned.kind == kind && planned.index == index) return planned.status;
    }
    return Status::success();
}

Status RecordingKeyboardTarget::activate(std::u32string_view title) {
    return record(Call::Kind::Activate, std::u32string(title));
}

bool RecordingKeyboardTarget::targetHasFocus() {
    const int index = count(Call::Kind::HasFocus);
    record(Call::Kind::HasFocus, {});
    return m_loseFocusAt < 0 || index < m_loseFocusAt;
}

Status RecordingKeyboardTarget::typeText(std::u32string_view text) {
    return record(Call::Kind::Type, std::u32string(text));
}

Status RecordingKeyboardTarget::pressEnter() { return record(Call::Kind::Enter, {}); }

Status RecordingKeyboardTarget::confirmDelivery() {
    const int index = m_confirmations++;
    if (m_confirmFailure && m_confirmFailure->first == index) return m_confirmFailure->second;
    return Status::success();
}

void RecordingKeyboardTarget::finish() { record(Call::Kind::Finish, {}); }

std::u32string RecordingKeyboardTarget::received() const {
    std::u32string text;
    for (const Call& call : m_calls) {
        if (call.kind == Call::Kind::Type) text += call.text;
        if (call.kind == Call::Kind::Enter) text += U'\n';
    }
    return text;
}

int RecordingKeyboardTarget::count(Call::Kind kind) const {
    return static_cast<int>(
        std::count_if(m_calls.begin(), m_calls.end(), [kind](const Call& c) { return c.kind == kind; }));
}

void RecordingKeyboardTarget::failOn(Call::Kind kind, int index, Status status) {
    m_failures.push_back({kind, index, std::move(status)});
}

}  // namespace tastalo::platform
