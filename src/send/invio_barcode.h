#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tastalo {

class ArchivioListe;
struct Configurazione;
class Fallimento;
class Messaggi;
class PausaInvio;
namespace platform {
class KeyboardTarget;
}

// Types a list's barcodes into the target window, each followed by Enter,
// with the configured pause before the first and after each. Runs to its end
// inside one call on the user-interface thread and tells the operator how it
// ended; only interrompi() (the main window closing) ends it without a word.
class InvioBarcode {
public:
    // Barcodes typed so far, of all.
    using Avanzamento = std::function<void(int inviati, int totale)>;

    InvioBarcode(const Configurazione& configurazione, const ArchivioListe& archivio,
                 platform::KeyboardTarget& tastiera, PausaInvio& pausa, Messaggi& messaggi);

    // `idLista` is the chosen list's id, or nothing when no list is chosen.
    void esegui(std::optional<std::int32_t> idLista, const Avanzamento& avanzamento = {});

    bool inCorso() const { return m_inCorso; }
    // Stops the send in progress at once: nothing more is typed, no message.
    void interrompi();

private:
    enum class Esito {
        Completato,
        FuocoPerso,
        TastiNonPresi,
        ProgrammaChiuso,
        LayoutCambiato,
        TastoPremuto,
        Interrotto
    };
    // `inviati` receives the barcodes that reached the target whole.
    Esito digita(const std::vector<QString>& barcode, const Avanzamento& avanzamento, int& inviati);
    void attendiRitardo();
    // What the last message adds when the keys went unwatched or the
    // operator's were held back.
    QString avvisoConsegna() const;
    void mostraFallimento(const Fallimento& fallimento);

    const Configurazione& m_configurazione;
    const ArchivioListe& m_archivio;
    platform::KeyboardTarget& m_tastiera;
    PausaInvio& m_pausa;
    Messaggi& m_messaggi;
    bool m_inCorso = false;
    bool m_interrotto = false;
    // The system refused to let this send's keys be watched.
    bool m_nonSorvegliato = false;
    // The barcode after those sent may have arrived whole.
    bool m_forseArrivato = false;
    // The key the operator pressed during the send.
    std::u32string m_tastoPremuto;
};

// The first character that cannot be typed (a control character other than
// Tab): which barcode holds it and where, both counted from 1.
struct CarattereNonDigitabile {
    int barcode = 0;
    int posizione = 0;
    char32_t carattere = 0;
    bool operator==(const CarattereNonDigitabile&) const = default;
};
std::optional<CarattereNonDigitabile> primoBarcodeNonDigitabile(const std::vector<QString>& barcode);

}  // namespace tastalo
