#include "settings/ini_file.h"
#include "settings/senza_blank.h"

#include <QStringDecoder>
#include <vector>

#include "core/fallimento.h"

namespace tastalo::ini {
namespace {

constexpr QByteArrayView kBomUtf8 = "\xEF\xBB\xBF";

bool blank(char c) { return c == ' ' || c == '\t'; }

// A half-open byte range [da, a) of the contents.
struct Intervallo {
    qsizetype da = 0;
    qsizetype a = 0;
};

enum class Tipo { Vuota, Commento, Sezione, Chiave, Altro };

struct Riga {
    qsizetype fineTesto = 0;  // end of the text, before CR LF or LF
    qsizetype fine = 0;       // past the line end
    Tipo tipo = Tipo::Altro;
    Intervallo nome;    // section or key name, trimmed
    Intervallo valore;  // value trimmed; when empty it sits right after "="
};

Intervallo rifila(QByteArrayView c, qsizetype da, qsizetype a) {
    while (da < a && blank(c[da])) ++da;
    while (a > da && blank(c[a - 1])) --a;
    return {da, a};
}

qsizetype cerca(QByteArrayView c, char carattere, qsizetype da, qsizetype a) {
    for (qsizetype i = da; i < a; ++i) {
        if (c[i] == carattere) return i;
    }
    return -1;
}

void classifica(QByteArrayView c, qsizetype inizio, Riga& r) {
    const Intervallo testo = rifila(c, inizio, r.fineTesto);
    if (testo.da == testo.a) {
        r.tipo = Tipo::Vuota;
    } else if (c[testo.da] == ';') {
        r.tipo = Tipo::Commento;
    } else if (c[testo.da] == '[') {
        const qsizetype chiusa = cerca(c, ']', testo.da + 1, testo.a);
        if (chiusa >= 0) {
            r.tipo = Tipo::Sezione;
            r.nome = rifila(c, testo.da + 1, chiusa);
        }
    } else if (const qsizetype uguale = cerca(c, '=', testo.da, testo.a); uguale >= 0) {
        r.tipo = Tipo::Chiave;
        r.nome = rifila(c, testo.da, uguale);
        r.valore = rifila(c, uguale + 1, r.fineTesto);
        if (r.valore.da == r.valore.a) r.valore = {uguale + 1, uguale + 1};
    }
}

std::vector<Riga> righe(QByteArrayView c) {
    std::vector<Riga> tutte;
    qsizetype pos = c.startsWith(kBomUtf8) ? kBomUtf8.size() : 0;
    while (pos < c.size()) {
        Riga r;
        const qsizetype aCapo = cerca(c, '\n', pos, c.size());
        if (aCapo < 0) {
            r.fineTesto = r.fine = c.size();
        } else {
            r.fine = aCapo + 1;
            r.fineTesto = (aCapo > pos && c[aCapo - 1] == '\r') ? aCapo - 1 : aCapo;
        }
        classifica(c, pos, r);
        tutte.push_back(r);
        pos = r.fine;
    }
    return tutte;
}

std::optional<QString> daUtf8(QByteArrayView byte) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString testo = utf8.decode(byte);
    if (utf8.hasError()) return std::nullopt;
    return testo;
}

// Names are compared as text; a file that is not valid UTF-8 is taken as Latin-1.
QString decodificaTesto(QByteArrayView byte) { return daUtf8(byte).value_or(QString::fromLatin1(byte)); }

QString testoDi(QByteArrayView c, Intervallo i) { return decodificaTesto(c.sliced(i.da, i.a - i.da)); }

bool stessoNome(QByteArrayView c, Intervallo i, QStringView nome) {
    return QStringView(testoDi(c, i)).compare(nome, Qt::CaseInsensitive) == 0;
}

// The first section of that name, or -1.
qsizetype primaSezione(QByteArrayView c, const std::vector<Riga>& tutte, QStringView sezione) {
    for (std::size_t i = 0; i < tutte.size(); ++i) {
        if (tutte[i].tipo == Tipo::Sezione && stessoNome(c, tutte[i].nome, sezione)) {
            return static_cast<qsizetype>(i);
        }
    }
    return -1;
}

QByteArray fineRigaDi(QByteArrayView c) {
    const qsizetype aCapo = cerca(c, '\n', 0, c.size());
    if (aCapo < 0) return kFineRigaPredefinita.toByteArray();
    return (aCapo > 0 && c[aCapo - 1] == '\r') ? QByteArray("\r\n") : QByteArray("\n");
}

bool contieneACapo(QStringView testo) { return testo.contains(u'\r') || testo.contains(u'\n'); }

// New text goes in the file's own encoding: UTF-8, or Latin-1 in a file that
// is not valid UTF-8, as such a file is read. Nothing when the text would not
// read back as itself.
std::optional<QByteArray> nelFileSePossibile(QStringView testo, bool latin1) {
    if (!latin1) return testo.toUtf8();
    QByteArray byte = testo.toLatin1();
    if (decodificaTesto(byte) != testo) return std::nullopt;
    return byte;
}

// `cosa` tells the operator which text could not be written.
QByteArray nelFile(QStringView testo, bool latin1, const QString& cosa) {
    if (auto byte = nelFileSePossibile(testo, latin1)) return *byte;
    throw Fallimento(OrigineFallimento::FileImpostazioni, kTestoNonRappresentabile,
                     QStringLiteral("%1 contiene caratteri che la codifica del file (Latin-1) non "
                                    "può rappresentare")
                         .arg(cosa)
                         .toStdString());
}

// Names were checked by motivoTestoNonValido; the program's own are ASCII.
QByteArray nomeNelFile(QStringView nome, bool latin1) {
    return nelFile(nome, latin1, QStringLiteral("il nome \"%1\"").arg(nome));
}

QByteArray valoreNelFile(QStringView chiave, QStringView valore, bool latin1) {
    return nelFile(valore, latin1, QStringLiteral("il valore di %1").arg(chiave));
}

QByteArray rigaNuova(QStringView chiave, QStringView valore, bool latin1, const QByteArray& fineRiga) {
    return nomeNelFile(chiave, latin1) + '=' + valoreNelFile(chiave, valore, latin1) + fineRiga;
}

}  // namespace

QString leggiValore(QByteArrayView contenuto, QStringView sezione, QStringView chiave) {
    const std::vector<Riga> tutte = righe(contenuto);
    const qsizetype s = primaSezione(contenuto, tutte, senzaBlank(sezione));
    if (s < 0) return {};
    const QStringView nomeChiave = senzaBlank(chiave);
    for (std::size_t i = static_cast<std::size_t>(s) + 1; i < tutte.size(); ++i) {
        const Riga& r = tutte[i];
        if (r.tipo == Tipo::Sezione) break;
        if (r.tipo == Tipo::Chiave && stessoNome(contenuto, r.nome, nomeChiave)) {
            return testoDi(contenuto, r.valore);
        }
    }
    return {};
}

std::optional<QString> motivoTestoNonValido(QStringView sezione, QStringView chiave, QStringView valore) {
    const QStringView s = senzaBlank(sezione);
    if (s.isEmpty() || contieneACapo(s) || s.contains(u']')) {
        return QStringLiteral("il nome della sezione \"%1\" non è valido").arg(sezione);
    }
    const QStringView k = senzaBlank(chiave);
    if (k.isEmpty() || contieneACapo(k) || k.contains(u'=') || k.startsWith(u';') || k.startsWith(u'[')) {
        return QStringLiteral("il nome della chiave \"%1\" non è valido").arg(chiave);
    }
    if (contieneACapo(valore)) {
        return QStringLiteral("il valore della chiave \"%1\" contiene un ritorno a capo").arg(k);
    }
    return std::nullopt;
}

QByteArray scriviValore(const QByteArray& contenuto, QStringView sezione, QStringView chiave,
                        QStringView valore) {
    if (const auto motivo = motivoTestoNonValido(sezione, chiave, valore)) {
        throw Fallimento(OrigineFallimento::FileImpostazioni, kTestoNonValido, motivo->toStdString());
    }
    const QStringView nomeSezione = senzaBlank(sezione);
    const QStringView nomeChiave = senzaBlank(chiave);
    const bool latin1 = !daUtf8(contenuto).has_value();
    const QByteArray fineRiga = fineRigaDi(contenuto);
    const std::vector<Riga> tutte = righe(contenuto);

    const qsizetype s = primaSezione(contenuto, tutte, nomeSezione);
    if (s < 0) {
        QByteArray risultato = contenuto;
        const qsizetype bom = contenuto.startsWith(kBomUtf8) ? kBomUtf8.size() : 0;
        if (risultato.size() > bom && !risultato.endsWith('\n')) risultato += fineRiga;
        risultato += '[' + nomeNelFile(nomeSezione, latin1) + ']' + fineRiga +
                     rigaNuova(nomeChiave, valore, latin1, fineRiga);
        return risultato;
    }

    std::size_t dopo = static_cast<std::size_t>(s);
    for (std::size_t i = dopo + 1; i < tutte.size(); ++i) {
        const Riga& r = tutte[i];
        if (r.tipo == Tipo::Sezione) break;
        if (r.tipo != Tipo::Chiave) continue;
        if (stessoNome(contenuto, r.nome, nomeChiave)) {
            // A value that already reads as the new text keeps its bytes.
            if (testoDi(contenuto, r.valore) == valore) return contenuto;
            // The key's text, "=" and the blanks after it stay; the value and
            // its trailing blanks give way to the new value.
            return contenuto.left(r.valore.da) + valoreNelFile(nomeChiave, valore, latin1) +
                   contenuto.mid(r.fineTesto);
        }
        dopo = i;
    }

    const Riga& ultima = tutte[dopo];
    QByteArray risultato = contenuto.left(ultima.fine);
    if (ultima.fine == ultima.fineTesto) risultato += fineRiga;  // last line had no line end
    return risultato + rigaNuova(nomeChiave, valore, latin1, fineRiga) + contenuto.mid(ultima.fine);
}

}  // namespace tastalo::ini
