#include "send/invio_barcode.h"

#include <algorithm>

#include "core/avvisi.h"
#include "core/fallimento.h"
#include "core/messaggi.h"
#include "platform/keyboard_target.h"
#include "platform/title_match.h"
#include "send/carica_barcode.h"
#include "send/pausa_invio.h"
#include "settings/configurazione.h"

namespace tastalo {
namespace {

// Code of the failure for a send asked with no list chosen.
constexpr std::int32_t kNessunaListaScelta = 381;

Fallimento fallimentoDestinazione(const platform::Status& stato) {
    return {OrigineFallimento::FinestraDestinazione, stato.code,
            avvisi::fallimentoTastiera(stato).toStdString()};
}

void verifica(const platform::Status& stato) {
    if (!stato.ok()) throw fallimentoDestinazione(stato);
}

// Gives the borrowed keyboard state back however the send ends.
class FineSessione {
public:
    explicit FineSessione(platform::KeyboardTarget& tastiera) : m_tastiera(tastiera) {}
    ~FineSessione() { m_tastiera.finish(); }
    FineSessione(const FineSessione&) = delete;
    FineSessione& operator=(const FineSessione&) = delete;

private:
    platform::KeyboardTarget& m_tastiera;
};

class InCorso {
public:
    explicit InCorso(bool& inCorso) : m_inCorso(inCorso) { m_inCorso = true; }
    ~InCorso() { m_inCorso = false; }
    InCorso(const InCorso&) = delete;
    InCorso& operator=(const InCorso&) = delete;

private:
    bool& m_inCorso;
};

}  // namespace

std::optional<CarattereNonDigitabile> primoBarcodeNonDigitabile(const std::vector<QString>& barcode) {
    for (std::size_t i = 0; i < barcode.size(); ++i) {
        const platform::Status stato = platform::checkTypeable(barcode[i].toStdU32String());
        if (!stato.ok()) {
            return CarattereNonDigitabile{static_cast<int>(i) + 1, static_cast<int>(stato.position),
                                          stato.subject.front()};
        }
    }
    return std::nullopt;
}

InvioBarcode::InvioBarcode(const Configurazione& configurazione, const ArchivioListe& archivio,
                           platform::KeyboardTarget& tastiera, PausaInvio& pausa, Messaggi& messaggi)
    : m_configurazione(configurazione),
      m_archivio(archivio),
      m_tastiera(tastiera),
      m_pausa(pausa),
      m_messaggi(messaggi) {}

void InvioBarcode::esegui(std::optional<std::int32_t> idLista, const Avanzamento& avanzamento) {
    if (m_inCorso) return;
    InCorso inCorso(m_inCorso);
    m_interrotto = false;
    try {
        if (!idLista) {
            throw Fallimento(OrigineFallimento::Programma, kNessunaListaScelta,
                             avvisi::kNessunaListaSelezionata.toStdString());
        }
        const std::vector<QString> barcode =
            CaricaBarcode(m_archivio, m_configurazione.StringaConnessione(), *idLista);
        // Only empty barcodes would type bare Enters: nothing to send either.
        if (std::all_of(barcode.begin(), barcode.end(), [](const QString& b) { return b.isEmpty(); })) {
            m_messaggi.errore(avvisi::kNessunDato);
            return;
        }
        if (const auto trovato = primoBarcodeNonDigitabile(barcode)) {
            m_messaggi.errore(avvisi::barcodeNonDigitabile(static_cast<std::size_t>(trovato->barcode),
                                                           trovato->carattere,
                                                           static_cast<std::size_t>(trovato->posizione)));
            return;
        }
        int inviati = 0;
        // The keyboard is given back (in digita) before any message shows.
        const Esito esito = digita(barcode, avanzamento, inviati);
        const auto n = static_cast<std::size_t>(inviati);
        switch (esito) {
            case Esito::Completato: m_messaggi.informazione(avvisi::kCompletato + avvisoConsegna()); break;
            case Esito::FuocoPerso:
                m_messaggi.errore(avvisi::invioInterrotto(n, barcode.size()) +
                                  (m_forseArrivato ? avvisi::forseArrivato(n + 1) : QString()) +
                                  avvisoConsegna());
                break;
            case Esito::TastiNonPresi: m_messaggi.errore(avvisi::tastiNonPresi(n, barcode.size())); break;
            case Esito::ProgrammaChiuso:
                m_messaggi.errore(avvisi::programmaChiusoDurante(n, barcode.size()) + avvisoConsegna());
                break;
            case Esito::LayoutCambiato: m_messaggi.errore(avvisi::layoutCambiato(n, barcode.size())); break;
            case Esito::TastoPremuto:
                m_messaggi.errore(avvisi::tastoPremutoDurante(m_tastoPremuto, n, barcode.size()));
                break;
            case Esito::Interrotto: break;
        }
    } catch (const Fallimento& fallimento) {
        if (!m_interrotto) mostraFallimento(fallimento);
    }
}

InvioBarcode::Esito InvioBarcode::digita(const std::vector<QString>& barcode, const Avanzamento& avanzamento,
                                         int& inviati) {
    const int totale = static_cast<int>(barcode.size());
    std::vector<std::u32string> testi;
    testi.reserve(barcode.size());
    for (const QString& b : barcode) testi.push_back(b.toStdU32String());
    FineSessione fine(m_tastiera);
    m_nonSorvegliato = false;
    m_forseArrivato = false;
    m_tastoPremuto.clear();
    verifica(m_tastiera.activate(m_configurazione.TitoloFinestra.toStdU32String()));
    m_nonSorvegliato = m_tastiera.deliveryUnwatched();
    // The whole list at once: the backend prepares every key it will need
    // before the first one, instead of barcode by barcode.
    m_tastiera.expectTexts(testi);
    if (avanzamento) avanzamento(0, totale);
    // The failures that end the send with the count of barcodes delivered.
    const auto esitoConConteggio = [&](const platform::Status& stato) -> std::optional<Esito> {
        switch (stato.code) {
            case platform::kTargetLostFocus: return Esito::FuocoPerso;
            case platform::kTargetLostFocusReading:
                // Lost while the target read the barcode's last keys: it may
                // hold that barcode whole, which the message then says.
                m_forseArrivato = true;
                return Esito::FuocoPerso;
            case platform::kKeysNotTaken: return Esito::TastiNonPresi;
            case platform::kTargetWindowMissing: return Esito::ProgrammaChiuso;
            case platform::kKeymapReplaced: return Esito::LayoutCambiato;
            case platform::kOperatorKeyPressed: m_tastoPremuto = stato.subject; return Esito::TastoPremuto;
            default: return std::nullopt;
        }
    };
    const auto conConteggio = [&](const platform::Status& stato) {
        const std::optional<Esito> esito = esitoConConteggio(stato);
        // The confirmation of the last barcodes may have been on its way:
        // the backend, where it counts, says how many arrived whole.
        if (esito) {
            if (const auto arrivati = m_tastiera.entersDelivered()) inviati = static_cast<int>(*arrivati);
        }
        return esito;
    };
    attendiRitardo();
    for (int i = 0; i < totale; ++i) {
        if (m_interrotto) return Esito::Interrotto;
        // Whatever is in front now is not the window the operator chose:
        // typing on would put barcodes where they do not belong. The backend
        // checks again as it types, for a change in between.
        platform::Status stato = m_tastiera.targetHasFocus()
                                     ? m_tastiera.typeText(testi[static_cast<std::size_t>(i)])
                                     : m_tastiera.focusLoss();
        if (stato.ok()) stato = m_tastiera.pressEnter();
        if (const auto esito = conConteggio(stato)) return *esito;
        verifica(stato);
        if (avanzamento) avanzamento(i + 1, totale);
        m_pausa.elaboraEventi();
        if (m_interrotto) return Esito::Interrotto;
        attendiRitardo();
        // Only now is the barcode known to have arrived whole: asked after
        // the pause, when the system has long handled its keys, the answer
        // costs the pace nothing. Where it can travel while the next barcode
        // is typed, it is read then; the last one's is waited for.
        stato = i + 1 < totale ? m_tastiera.requestDelivery() : m_tastiera.confirmDelivery();
        if (const auto esito = conConteggio(stato)) return *esito;
        verifica(stato);
        inviati = i + 1;
    }
    return m_interrotto ? Esito::Interrotto : Esito::Completato;
}

QString InvioBarcode::avvisoConsegna() const {
    QString avviso = m_nonSorvegliato ? avvisi::kConsegnaNonSorvegliata : QString();
    if (m_tastiera.operatorKeysHeldBack() > 0) avviso += avvisi::kTastiTrattenuti;
    return avviso;
}

void InvioBarcode::attendiRitardo() {
    // Read afresh at every pause: a setting saved during the send applies
    // from the next pause on.
    m_pausa.attendi(std::max<std::int32_t>(m_configurazione.Ritardo, 0));
}

void InvioBarcode::interrompi() {
    if (!m_inCorso) return;
    m_interrotto = true;
    m_pausa.interrompi();
}

void InvioBarcode::mostraFallimento(const Fallimento& fallimento) {
    if (fallimento.origine() == OrigineFallimento::FinestraDestinazione &&
        fallimento.codice() == platform::kTargetWindowMissing) {
        m_messaggi.errore(avvisi::kProgrammaChiuso);
        return;
    }
    m_messaggi.errore(QStringLiteral("%1 %2")
                          .arg(fallimento.codice())
                          .arg(QString::fromStdString(fallimento.descrizione())));
}

}  // namespace tastalo
