#include "core/avvisi.h"

#include "platform/keyboard_target.h"

namespace tastalo::avvisi {
namespace {

QString daUtf32(const std::u32string& testo) { return QString::fromStdU32String(testo); }

// "à" (U+00E0); a control character, which would not show, by its number only.
QString carattere(char32_t c) {
    const QString numero =
        QStringLiteral("U+%1").arg(static_cast<unsigned>(c), 4, 16, QLatin1Char('0')).toUpper();
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return numero;
    return QStringLiteral("\"%1\" (%2)").arg(daUtf32(std::u32string(1, c)), numero);
}

QString testoTastiera(const platform::Status& stato) {
    switch (stato.code) {
        case platform::kTargetWindowMissing:
            if (stato.subject.empty())
                return QStringLiteral("Nessuna finestra di destinazione è stata attivata.");
            return QStringLiteral("La finestra \"%1\" non è stata trovata.").arg(daUtf32(stato.subject));
        case platform::kKeyboardUnavailable:
            return QStringLiteral("Impossibile usare la tastiera del sistema per digitare.");
        case platform::kCharacterNotTypeable: {
            const QString chi = stato.subject.empty()
                                    ? QStringLiteral("Un carattere")
                                    : QStringLiteral("Il carattere ") + carattere(stato.subject[0]);
            if (stato.position == 0) return chi + QStringLiteral(" non si può digitare.");
            return chi + QStringLiteral(" in posizione %1 non si può digitare.").arg(stato.position);
        }
        case platform::kTargetLostFocus:
        case platform::kTargetLostFocusReading:
            return QStringLiteral("La finestra di destinazione non è più attiva.");
        case platform::kModifiersHeld:
            return QStringLiteral(
                "Impossibile digitare mentre sono premuti i tasti Maiusc, Ctrl, Alt o simili: "
                "rilasciarli e ripetere l'invio.");
        case platform::kInputRefused:
            return QStringLiteral(
                "Il sistema ha rifiutato i tasti: la finestra di destinazione non li ha "
                "ricevuti tutti.");
        case platform::kTargetAboveThisProcess:
            return QStringLiteral(
                       "La finestra \"%1\" appartiene a un programma avviato come amministratore: "
                       "il sistema non permette di scriverci. Avviare anche Tastalo come "
                       "amministratore, oppure l'altro programma senza.")
                .arg(daUtf32(stato.subject));
        case platform::kTargetNotActivated:
            return QStringLiteral(
                       "La finestra \"%1\" è aperta, ma il sistema non l'ha portata in primo piano: "
                       "Tastalo non scrive in una finestra che non ha la tastiera, e non ha inviato "
                       "nessun barcode. Ripetere l'invio; se si ripete, il gestore delle finestre va "
                       "impostato perché lasci attivare le finestre ai programmi (in sway: "
                       "focus_on_window_activation focus).")
                .arg(daUtf32(stato.subject));
        case platform::kTargetOutOfReach:
            if (stato.subject.empty())
                return QStringLiteral(
                    "In questa sessione Wayland Tastalo non può digitare: il desktop non gli permette di "
                    "scrivere nelle finestre Wayland e non c'è il display X11 (XWayland). Nessun barcode "
                    "è stato inviato. Avviare Tastalo con XWayland attivo (variabile DISPLAY impostata), "
                    "oppure accedere con una sessione X11.");
            return QStringLiteral(
                       "La finestra \"%1\" non è raggiungibile: in questa sessione Wayland il desktop non "
                       "permette a Tastalo di trovare le finestre Wayland, e nessuna finestra dei programmi "
                       "avviati sotto XWayland ha quel titolo. Nessun barcode è stato inviato. Se il "
                       "programma è aperto, avviarlo in modalità X11 (XWayland).")
                .arg(daUtf32(stato.subject));
        case platform::kOutOfReachBySetting:
            if (stato.subject.empty())
                return QStringLiteral(
                    "Tastalo è impostato per scrivere solo con X11 (variabile d'ambiente "
                    "TASTALO_BACKEND=x11), ma non c'è il display X11 (XWayland). Nessun barcode è stato "
                    "inviato. Togliere l'impostazione per scrivere nelle finestre Wayland.");
            return QStringLiteral(
                       "La finestra \"%1\" non è raggiungibile: Tastalo è impostato per scrivere solo nelle "
                       "finestre X11 (variabile d'ambiente TASTALO_BACKEND=x11), e nessuna di esse ha quel "
                       "titolo. Nessun barcode è stato inviato. Togliere l'impostazione per raggiungere "
                       "anche le finestre Wayland.")
                .arg(daUtf32(stato.subject));
        case platform::kKeysHeld:
            return QStringLiteral(
                       "Sulla tastiera sono premuti i tasti %1: Tastalo non ha inviato nessun barcode. "
                       "Rilasciarli e ripetere l'invio.")
                .arg(daUtf32(stato.subject));
        case platform::kOperatorKeyPressed:
            return QStringLiteral("Durante l'invio è stato premuto il tasto %1 sulla tastiera.")
                .arg(daUtf32(stato.subject));
        case platform::kKeysNotTaken:
            return QStringLiteral(
                "La finestra di destinazione non ha preso i tasti entro il tempo previsto: il programma "
                "potrebbe essere bloccato o troppo lento.");
        default: return QStringLiteral("La tastiera ha dato un errore inatteso.");
    }
}

}  // namespace

QString nessunaLista(const QString& motivo) {
    return QStringLiteral("Non ci sono liste da elaborare.\n") + motivo;
}

QString valoreNonMostrabile(std::int64_t riga) {
    return QStringLiteral("(riga %1: dati binari, non mostrabili)").arg(riga);
}

QString fileInesistente(const QString& nome) { return QStringLiteral("Il file %1 non esiste.").arg(nome); }

QString cartellaNonFile(const QString& nome) {
    return QStringLiteral("%1 è una cartella, non un file.").arg(nome);
}

QString fileNonNormale(const QString& nome) { return QStringLiteral("%1 non è un file normale.").arg(nome); }

QString conValoriPredefiniti(const QString& motivo) {
    const QString frase = QStringLiteral("Verranno usati i valori predefiniti.");
    QString testo = motivo;
    while (!testo.isEmpty() && testo.back().isSpace()) testo.chop(1);
    return testo + (testo.endsWith(u'.') ? QStringLiteral(" ") : QStringLiteral(". ")) + frase;
}

QString barcodeNonDigitabile(std::size_t numero, char32_t controllo, std::size_t posizione) {
    return QStringLiteral(
               "Il barcode numero %1 della lista contiene il carattere di controllo %2 in posizione %3, che "
               "non si può digitare. Non è stato inviato nessun barcode.")
        .arg(numero)
        .arg(carattere(controllo))
        .arg(posizione);
}

QString invioInterrotto(std::size_t inviati, std::size_t totale) {
    return QStringLiteral(
               "Invio interrotto: la finestra di destinazione non è più attiva. Barcode inviati: %1 di %2.")
        .arg(inviati)
        .arg(totale);
}

QString fallimentoTastiera(const platform::Status& stato) {
    QString testo = testoTastiera(stato);
    // The system's own words, for whoever helps the operator.
    if (!stato.detail.empty()) testo += QStringLiteral(" (%1)").arg(QString::fromStdString(stato.detail));
    return testo;
}

QString forseArrivato(std::size_t numero) {
    return QStringLiteral(
               " Il barcode %1 potrebbe essere arrivato anch'esso: verificarlo nella finestra di "
               "destinazione.")
        .arg(numero);
}

QString tastiNonPresi(std::size_t inviati, std::size_t totale) {
    return QStringLiteral(
               "Invio interrotto: la finestra di destinazione non ha preso i tasti entro il tempo previsto "
               "(il programma potrebbe essere bloccato o troppo lento). Barcode inviati: %1 di %2; il "
               "barcode seguente potrebbe essere arrivato solo in parte.")
        .arg(inviati)
        .arg(totale);
}

QString tastoPremutoDurante(const std::u32string& tasto, std::size_t inviati, std::size_t totale) {
    return QStringLiteral(
               "Invio interrotto: durante l'invio è stato premuto il tasto %1 sulla tastiera, che è arrivato "
               "alla finestra di destinazione insieme ai tasti di Tastalo. Barcode inviati per intero: %2 di "
               "%3. Il barcode seguente potrebbe essere stato scritto in parte o mescolato al tasto, senza "
               "Invio: verificarlo nella finestra di destinazione.")
        .arg(daUtf32(tasto))
        .arg(inviati)
        .arg(totale);
}

QString programmaChiusoDurante(std::size_t inviati, std::size_t totale) {
    return kProgrammaChiuso + QStringLiteral(" Barcode inviati: %1 di %2.").arg(inviati).arg(totale);
}

QString layoutCambiato(std::size_t inviati, std::size_t totale) {
    return QStringLiteral(
               "Invio interrotto: il layout della tastiera è stato cambiato durante l'invio. Barcode inviati "
               "per intero: %1 di %2. Il barcode seguente potrebbe essere stato scritto in parte o con "
               "caratteri sbagliati, senza Invio: verificarlo nella finestra di destinazione.")
        .arg(inviati)
        .arg(totale);
}

}  // namespace tastalo::avvisi
