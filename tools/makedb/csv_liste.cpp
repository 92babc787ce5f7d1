#include "csv_liste.h"

#include <QStringDecoder>
#include <QStringList>
#include <unordered_map>

#include "core/fallimento.h"

namespace tastalo::makedb {

const char* const kFormatoCsv =
    "CSV lists: UTF-8 text (a byte-order mark is allowed), one line per barcode:\n"
    "  idLista;lista;Barcode\n"
    "A line with two fields (idLista;lista) makes a list without barcodes. Lines\n"
    "of one id add to the same list, in file order, and must repeat its name.\n"
    "idLista is a whole number; a field may be quoted (\"a;b\", with \"\" for a\n"
    "quote). Empty lines, lines starting with # and a first line that starts\n"
    "with idLista are skipped. An empty third field is an empty barcode.";

namespace {

[[noreturn]] void rigaNonValida(int riga, const QString& motivo) {
    throw Fallimento(OrigineFallimento::Programma, kCsvNonValido,
                     QStringLiteral("riga %1: %2").arg(riga).arg(motivo).toStdString());
}

QStringList campi(const QString& riga, int numero) {
    QStringList risultato;
    QString campo;
    bool traVirgolette = false;
    for (qsizetype i = 0; i < riga.size(); ++i) {
        const QChar c = riga[i];
        if (traVirgolette) {
            if (c != u'"') {
                campo += c;
            } else if (i + 1 < riga.size() && riga[i + 1] == u'"') {
                campo += c;
                ++i;
            } else {
                traVirgolette = false;
            }
        } else if (c == u'"') {
            traVirgolette = true;
        } else if (c == u';') {
            risultato.push_back(campo);
            campo.clear();
        } else {
            campo += c;
        }
    }
    if (traVirgolette) rigaNonValida(numero, QStringLiteral("virgolette non chiuse"));
    risultato.push_back(campo);
    return risultato;
}

}  // namespace

std::vector<Lista> leggiCsv(const QByteArray& utf8) {
    QStringDecoder decodifica(QStringDecoder::Utf8);
    QString testo = decodifica(utf8);
    if (decodifica.hasError()) {
        throw Fallimento(OrigineFallimento::Programma, kCsvNonValido, "il testo non è UTF-8");
    }
    if (testo.startsWith(QChar(0xFEFF))) testo.remove(0, 1);

    std::vector<Lista> liste;
    std::unordered_map<std::int64_t, std::size_t> posizioni;
    const QStringList righe = testo.split(u'\n');
    bool primaRiga = true;
    for (qsizetype n = 0; n < righe.size(); ++n) {
        QString riga = righe[n];
        if (riga.endsWith(u'\r')) riga.chop(1);
        const int numero = static_cast<int>(n + 1);
        if (riga.trimmed().isEmpty() || riga.startsWith(u'#')) continue;
        const QStringList c = campi(riga, numero);
        const bool intestazione = primaRiga && c[0].trimmed().compare(u"idLista", Qt::CaseInsensitive) == 0;
        primaRiga = false;
        if (intestazione) continue;
        if (c.size() != 2 && c.size() != 3) {
            rigaNonValida(numero,
                          QStringLiteral("attesi idLista;lista;Barcode, trovati %1 campi").arg(c.size()));
        }
        bool ok = false;
        const std::int64_t id = c[0].trimmed().toLongLong(&ok, 10);
        if (!ok) rigaNonValida(numero, QStringLiteral("idLista \"%1\" non è un numero intero").arg(c[0]));

        auto [trovata, nuova] = posizioni.try_emplace(id, liste.size());
        if (nuova) {
            liste.push_back(Lista{id, c[1], {}});
        } else if (liste[trovata->second].nome != c[1]) {
            rigaNonValida(
                numero,
                QStringLiteral("la lista %1 ha già il nome \"%2\"").arg(id).arg(liste[trovata->second].nome));
        }
        if (c.size() == 3) liste[trovata->second].barcode.push_back(c[2]);
    }
    return liste;
}

}  // namespace tastalo::makedb
