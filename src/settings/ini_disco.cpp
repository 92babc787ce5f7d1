#include "settings/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <system_error>

#include "core/fallimento.h"
#include "core/leggi_file.h"

namespace tastalo::ini {
namespace {

[[noreturn]] void errore(const QString& verbo, const QString& percorso, std::int32_t codice,
                         const QString& motivo) {
    const QString descrizione = QStringLiteral("Impossibile %1 il file delle impostazioni %2: %3")
                                    .arg(verbo, QDir::toNativeSeparators(percorso), motivo);
    throw Fallimento(OrigineFallimento::FileImpostazioni, codice, descrizione.toStdString());
}

[[noreturn]] void erroreFile(const QString& verbo, const QString& percorso, const QFileDevice& file) {
    errore(verbo, percorso, static_cast<std::int32_t>(file.error()), file.errorString());
}

QString utf16NonLeggibile() { return QStringLiteral("il testo UTF-16 del file non è leggibile"); }

}  // namespace

std::optional<QByteArray> leggiFile(const QString& percorso) {
    return tastalo::leggiFile(percorso, OrigineFallimento::FileImpostazioni,
                              QStringLiteral("il file delle impostazioni"));
}

void scriviFileAtomico(const QString& percorso, const QByteArray& contenuto) {
    const QString verbo =
        QFileInfo(percorso).isFile() ? QStringLiteral("scrivere") : QStringLiteral("creare");
    QSaveFile file(percorso);
    if (!file.open(QIODevice::WriteOnly)) erroreFile(verbo, percorso, file);
    // A short write (disk full, size limit) can pass unreported or with no
    // reason, and would then be committed: the size that reached the disk
    // decides, and errno names the cause.
    errno = 0;
    const bool scritto =
        file.write(contenuto) == contenuto.size() && file.flush() && file.size() == contenuto.size();
    if (!scritto) {
        const int codiceSistema = errno;
        const QString motivo = codiceSistema != 0
                                   ? QString::fromStdString(std::generic_category().message(codiceSistema))
                                   : file.errorString();
        const std::int32_t codice =
            file.error() != QFileDevice::NoError ? file.error() : QFileDevice::WriteError;
        file.cancelWriting();
        errore(verbo, percorso, codice, motivo);
    }
    if (!file.commit()) erroreFile(verbo, percorso, file);
}

QString leggiDaFile(const QString& percorso, QStringView sezione, QStringView chiave) {
    const std::optional<QByteArray> contenuto = leggiFile(percorso);
    if (!contenuto) return {};
    const TestoDecodificato testo = decodifica(*contenuto);
    // A value read from text that did not decode would be a guess.
    if (!testo.valido) errore(QStringLiteral("leggere"), percorso, kContenutoNonValido, utf16NonLeggibile());
    return leggiValore(testo.utf8, sezione, chiave);
}

void scriviSuFile(const QString& percorso, QStringView sezione, const std::vector<ValoreIni>& valori) {
    for (const ValoreIni& v : valori) {
        if (const auto motivo = motivoTestoNonValido(sezione, v.chiave, v.valore)) {
            errore(QStringLiteral("scrivere"), percorso, kTestoNonValido, *motivo);
        }
    }
    // A directory in the way is left to the write, which names the reason.
    const std::optional<QByteArray> contenuto =
        QFileInfo(percorso).isDir() ? std::nullopt : leggiFile(percorso);
    const TestoDecodificato testo = contenuto ? decodifica(*contenuto) : TestoDecodificato{};
    if (!testo.valido) {
        // Writing back text that did not decode would change bytes of other lines.
        errore(QStringLiteral("scrivere"), percorso, kContenutoNonValido, utf16NonLeggibile());
    }
    QByteArray nuovo = testo.utf8;
    try {
        for (const ValoreIni& v : valori) nuovo = scriviValore(nuovo, sezione, v.chiave, v.valore);
    } catch (const Fallimento& f) {
        errore(QStringLiteral("scrivere"), percorso, f.codice(), QString::fromStdString(f.descrizione()));
    }
    if (contenuto && nuovo == testo.utf8) return;
    scriviFileAtomico(percorso, codifica(nuovo, testo.codifica));
}

}  // namespace tastalo::ini
