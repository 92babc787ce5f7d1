#include "settings/ini_file.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tastalo::ini {
namespace {

constexpr QByteArrayView kBomUtf16LE = "\xFF\xFE";
constexpr QByteArrayView kBomUtf16BE = "\xFE\xFF";

bool surrogatiAppaiati(QStringView testo) {
    for (qsizetype i = 0; i < testo.size(); ++i) {
        if (testo[i].isLowSurrogate()) return false;
        if (testo[i].isHighSurrogate()) {
            if (i + 1 >= testo.size() || !testo[i + 1].isLowSurrogate()) return false;
            ++i;
        }
    }
    return true;
}

}  // namespace

TestoDecodificato decodifica(const QByteArray& contenuto) {
    QStringConverter::Encoding encoding;
    TestoDecodificato risultato;
    if (contenuto.startsWith(kBomUtf16LE)) {
        encoding = QStringConverter::Utf16LE;
        risultato.codifica = Codifica::Utf16LE;
    } else if (contenuto.startsWith(kBomUtf16BE)) {
        encoding = QStringConverter::Utf16BE;
        risultato.codifica = Codifica::Utf16BE;
    } else {
        risultato.utf8 = contenuto;
        return risultato;
    }
    const QByteArrayView corpo = QByteArrayView(contenuto).sliced(2);
    QStringDecoder decoder(encoding,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    const QString testo = decoder.decode(corpo);
    // The decoder lets lone surrogates and a trailing odd byte pass, yet
    // neither survives the trip through UTF-8.
    risultato.valido = !decoder.hasError() && corpo.size() % 2 == 0 && surrogatiAppaiati(testo);
    risultato.utf8 = testo.toUtf8();
    return risultato;
}

QByteArray codifica(const QByteArray& utf8, Codifica codifica) {
    if (codifica == Codifica::Utf8) return utf8;
    const bool le = codifica == Codifica::Utf16LE;
    QStringEncoder encoder(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                           QStringConverter::Flag::Stateless);
    QByteArray risultato = (le ? kBomUtf16LE : kBomUtf16BE).toByteArray();
    risultato += QByteArray(encoder.encode(QString::fromUtf8(utf8)));
    return risultato;
}

}  // namespace tastalo::ini
