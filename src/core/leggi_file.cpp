#include "core/leggi_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tastalo {
namespace {

[[noreturn]] void fallisci(OrigineFallimento origine, const QString& cosa, const QString& percorso,
                           std::int32_t codice, const QString& motivo) {
    const QString descrizione =
        QStringLiteral("Impossibile leggere %1 %2: %3").arg(cosa, QDir::toNativeSeparators(percorso), motivo);
    throw Fallimento(origine, codice, descrizione.toStdString());
}

}  // namespace

std::optional<QByteArray> leggiFile(const QString& percorso, OrigineFallimento origine, const QString& cosa) {
    const QFileInfo info(percorso);
    if (!info.exists()) return std::nullopt;
    if (!info.isFile() && !info.isDir()) {
        fallisci(origine, cosa, percorso, QFileDevice::OpenError, QStringLiteral("non è un file normale"));
    }
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly)) fallisci(origine, cosa, percorso, file.error(), file.errorString());
    QByteArray contenuto = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fallisci(origine, cosa, percorso, file.error(), file.errorString());
    }
    return contenuto;
}

}  // namespace tastalo
