#include "send_harness.h"

#include "core/avvisi.h"
#include "core/fallimento.h"
#include "database_liste.h"

namespace tastalo::bench {

SendHarness::SendHarness(platform::KeyboardTarget& keyboard, PausaInvio& pause, const QString& title)
    : m_send(m_configuration, m_archive, keyboard, pause, m_messages) {
    m_messages.allaComparsa(
        [this](const prova::FakeMessaggi::Messaggio&) { m_lastMessage = std::chrono::steady_clock::now(); });
    if (!m_folder.isValid()) {
        throw Fallimento(OrigineFallimento::Programma, 75,
                         "Cannot create a temporary folder: " + m_folder.errorString().toStdString());
    }
    m_configuration.PercorsoDatabase = m_folder.filePath(QStringLiteral("Dati.sdf"));
    m_configuration.TitoloFinestra = title;
    makedb::creaDatabase(m_configuration.PercorsoDatabase);
}

void SendHarness::addList(std::int32_t idList, const std::vector<std::u32string>& barcodes) {
    std::vector<QString> stored;
    stored.reserve(barcodes.size());
    for (const auto& barcode : barcodes) stored.push_back(QString::fromStdU32String(barcode));
    makedb::aggiungiLista(m_configuration.PercorsoDatabase, idList, QStringLiteral("Lista %1").arg(idList),
                          stored);
}

SendHarness::Outcome SendHarness::send(std::int32_t idList, std::int32_t ritardo) {
    using Clock = std::chrono::steady_clock;
    m_configuration.Ritardo = ritardo;
    m_messages.svuota();
    const Clock::time_point start = Clock::now();
    m_send.esegui(idList);
    const Clock::time_point end = Clock::now();
    if (m_messages.messaggi().empty()) m_lastMessage = end;

    Outcome outcome;
    outcome.elapsed = end - start;
    outcome.untilMessage = m_lastMessage - start;
    outcome.messages = m_messages.testi();
    outcome.completed = outcome.messages == QStringList{avvisi::kCompletato};
    return outcome;
}

}  // namespace tastalo::bench
