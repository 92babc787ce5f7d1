#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/x11/display_connection.h"

namespace tastalo::platform::x11 {

// The operator's own keyboards during a send: every keyboard of the core
// one but the XTest device our keys come from. XTest keys and the
// operator's reach the focus window as one stream, so a key the operator
// presses mid-send lands among a barcode's keys (or turns them into
// shortcuts); the server reports each such press (a raw event, whatever the
// focus or a grab), and the serial it carries tells which of our keys went
// in before it.
class OperatorKeys {
public:
    struct Press {
        unsigned long serial = 0;
        unsigned int keycode = 0;
    };

    explicit OperatorKeys(DisplayConnection& connection) : m_connection(connection) {}

    // Which keyboards are the operator's, and which keys are down on them
    // now, by keycode. False when the server has no XInput 2.
    bool survey();
    std::vector<unsigned int> heldByOperator() const { return m_held; }
    // Keys down on our own device alone: left by someone's XTest client,
    // no finger holds them.
    std::vector<unsigned int> heldByXTestOnly() const;
    // Starts listening for presses on the operator's keyboards; presses
    // before the last survey are left to it.
    void watch();
    void stop();
    // The first press since watch() among the reports read so far (a round
    // trip before this call makes that "every press the server handled").
    std::optional<Press> firstPress();
    // A key's name as the keymap gives it ("Control_L", "a").
    std::u32string name(unsigned int keycode) const;

private:
    bool isOperators(int device) const;
    void readReports();

    DisplayConnection& m_connection;
    int m_opcode = -1;
    std::vector<int> m_xtest;
    std::vector<int> m_keyboards;
    std::vector<unsigned int> m_held;
    std::vector<unsigned int> m_heldByXTest;
    unsigned long m_surveyed = 0;  // the serial of the last survey's first request
    bool m_watching = false;
    std::optional<Press> m_first;
};

}  // namespace tastalo::platform::x11
