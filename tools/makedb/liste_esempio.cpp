#include "liste_esempio.h"

namespace tastalo::makedb {

QString ean13(std::int64_t base) {
    constexpr std::int64_t kDodiciCifre = 1'000'000'000'000;
    std::int64_t cifre = base % kDodiciCifre;
    if (cifre < 0) cifre += kDodiciCifre;
    const QString corpo = QStringLiteral("%1").arg(cifre, 12, 10, QChar(u'0'));
    int somma = 0;
    for (int i = 0; i < 12; ++i) somma += (corpo[i].unicode() - u'0') * (i % 2 == 0 ? 1 : 3);
    return corpo + QChar(u'0' + (10 - somma % 10) % 10);
}

namespace {

// Italian company prefixes (800-839) with a spread of item numbers.
std::vector<QString> codici(std::int64_t prefisso, int quanti, std::uint32_t seme) {
    std::vector<QString> risultato;
    risultato.reserve(static_cast<std::size_t>(quanti));
    std::uint32_t stato = seme;
    for (int i = 0; i < quanti; ++i) {
        stato = stato * 1664525u + 1013904223u;
        risultato.push_back(ean13(prefisso * 100'000 + (stato >> 8) % 100'000));
    }
    return risultato;
}

}  // namespace

std::vector<Lista> listeDemo() {
    return {
        {3, QStringLiteral("Ricevimento merce"), codici(8'001'234, 8, 3)},
        {7, QStringLiteral("Magazzino"), codici(8'002'345, 12, 7)},
        {12, QStringLiteral("Negozio centro"), codici(8'003'456, 5, 12)},
        {15, QStringLiteral("Scaffale B da contare"), {}},
        {21, QStringLiteral("Resi ai fornitori"), codici(8'004'567, 3, 21)},
        {30, QStringLiteral("Ordini città"), codici(8'005'678, 6, 30)},
    };
}

std::vector<Lista> listeGenerate(int numeroListe, int barcodePerLista) {
    std::vector<Lista> liste;
    if (numeroListe <= 0) return liste;
    liste.reserve(static_cast<std::size_t>(numeroListe));
    const int larghezza = static_cast<int>(QString::number(numeroListe).size());
    for (int n = 1; n <= numeroListe; ++n) {
        Lista lista{n, QStringLiteral("Lista %1").arg(n, larghezza, 10, QChar(u'0')), {}};
        lista.barcode.reserve(static_cast<std::size_t>(barcodePerLista > 0 ? barcodePerLista : 0));
        // Prefix 800, then list and position: distinct across the database.
        for (int i = 0; i < barcodePerLista; ++i) {
            lista.barcode.push_back(ean13(800'000'000'000 + std::int64_t{n} * 1'000'000 + i));
        }
        liste.push_back(std::move(lista));
    }
    return liste;
}

}  // namespace tastalo::makedb
