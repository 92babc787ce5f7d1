#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tastalo::platform {
struct Status;
}

// The words the operator reads in the program's message boxes, all in one
// place and the same on every platform. The keystroke backends report codes
// and facts; they are worded here.
namespace tastalo::avvisi {

// Starting up.
inline const QString kDelayNonValido =
    QStringLiteral("Il valore Delay di spooling.ini non è valido: verrà usato 500.");
// Why spooling.ini was not used, then that the defaults are: one full stop
// between them, whether or not the reason (often the system's words) ends
// with one, or with one and a line end.
QString conValoriPredefiniti(const QString& motivo);

// The main window and its lists.
QString nessunaLista(const QString& motivo);
inline const QString kNessunaListaSelezionata = QStringLiteral("Nessuna lista selezionata.");
inline const QString kNessunDatabase = QStringLiteral("Nessun file di database indicato.");
QString fileInesistente(const QString& nome);
QString cartellaNonFile(const QString& nome);
QString fileNonNormale(const QString& nome);
// In the list view, in place of a value that has no text (bytes that are no
// text): which row of the list it is.
QString valoreNonMostrabile(std::int64_t riga);
inline const QString kCompactNonCancellabile = QStringLiteral(
    "Tastalo non può cancellare le liste di questo file: è in formato SQL Server Compact, che Tastalo "
    "legge soltanto. Il file non è stato modificato.\n\n"
    "Cancellare le liste con il programma che scrive il file, oppure convertirlo in SQLite con "
    "\"tastalo-makedb --from-compact\" e indicare il nuovo file nelle Impostazioni.");

// The settings dialog.
inline const QString kRitardoNonValido = QStringLiteral(
    "Il ritardo deve essere un numero di millisecondi da 0 a 2147483647: il punto separa le migliaia "
    "(1.000), la virgola i decimali (1,5).");
inline const QString kImpostazioniNonSalvate = QStringLiteral("\nLe impostazioni non sono state salvate.");

// The send.
inline const QString kNessunDato = QStringLiteral("mancano i dati da elaborare.");
inline const QString kCompletato = QStringLiteral("Operazione Completata.");
inline const QString kProgrammaChiuso = QStringLiteral("Il programma a cui inviare i dati risulta chiuso.");
QString barcodeNonDigitabile(std::size_t numero, char32_t controllo, std::size_t posizione);
QString invioInterrotto(std::size_t inviati, std::size_t totale);
QString tastiNonPresi(std::size_t inviati, std::size_t totale);
// The target closed during the send.
QString programmaChiusoDurante(std::size_t inviati, std::size_t totale);
// The operator pressed a key during the send.
QString tastoPremutoDurante(const std::u32string& tasto, std::size_t inviati, std::size_t totale);
// Added to the send's last message when keys the operator pressed during
// the send were held back.
inline const QString kTastiTrattenuti = QStringLiteral(
    "\n\nI tasti premuti sulla tastiera durante l'invio sono stati ignorati, perché non si mescolassero "
    "ai barcode.");
// The keyboard layout changed during the send.
QString layoutCambiato(std::size_t inviati, std::size_t totale);
// Added when the barcode after those sent may have arrived all the same.
QString forseArrivato(std::size_t numero);
// Added to the send's last message when the system did not let Tastalo
// watch where its keys went.
inline const QString kConsegnaNonSorvegliata = QStringLiteral(
    "\n\nAttenzione: il sistema non ha permesso a Tastalo di controllare dove sono arrivati i tasti, "
    "quindi l'invio è stato fatto senza questo controllo. Verificare nella finestra di destinazione che "
    "tutti i barcode siano arrivati.");

// A failure of the keystroke backend, from its code and facts.
QString fallimentoTastiera(const platform::Status& stato);

}  // namespace tastalo::avvisi
