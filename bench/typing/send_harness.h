#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "send/invio_barcode.h"
#include "settings/configurazione.h"
#include "store/archivio_liste.h"
#include "support/fake_messaggi.h"

namespace tastalo {
class PausaInvio;
namespace platform {
class KeyboardTarget;
}
}  // namespace tastalo

namespace tastalo::bench {

// The program's send job as the main window runs it, on a list database of
// its own in a temporary folder, with the operator's messages recorded.
class SendHarness {
public:
    struct Outcome {
        // From the call of the send to its return, which comes right after
        // the completion message.
        std::chrono::duration<double, std::milli> elapsed{};
        // From the call to the last message (the completion message when all went well).
        std::chrono::duration<double, std::milli> untilMessage{};
        QStringList messages;
        // Only the completion message was shown.
        bool completed = false;
    };

    // Creates the empty database. The send activates the window titled `title`.
    // Throws Fallimento when the database cannot be written.
    SendHarness(platform::KeyboardTarget& keyboard, PausaInvio& pause, const QString& title);

    // Stores a list of barcodes, in this order, under `idList`. Throws Fallimento.
    void addList(std::int32_t idList, const std::vector<std::u32string>& barcodes);

    // Sends the list `idList` with a pause of `ritardo` ms.
    Outcome send(std::int32_t idList, std::int32_t ritardo);

private:
    QTemporaryDir m_folder;
    Configurazione m_configuration;
    ArchivioListe m_archive;
    prova::FakeMessaggi m_messages;
    std::chrono::steady_clock::time_point m_lastMessage;
    InvioBarcode m_send;
};

}  // namespace tastalo::bench
