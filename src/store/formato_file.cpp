#include "store/formato_file.h"

#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstring>

#include "store/compact/file_compact.h"

namespace tastalo {

namespace {
constexpr char kIntestazioneSqlite[] = "SQLite format 3";  // with its NUL: 16 bytes
constexpr qint64 kPrimaPagina = 4096;
}  // namespace

FormatoFile riconosciFormato(const QString& percorso) {
    // Only a regular file is opened: reading a pipe or a device could block.
    if (percorso.isEmpty() || !QFileInfo(percorso).isFile()) return FormatoFile::Altro;
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly)) return FormatoFile::Altro;
    const QByteArray inizio = file.read(kPrimaPagina);
    if (inizio.size() >= static_cast<qsizetype>(sizeof kIntestazioneSqlite) &&
        std::memcmp(inizio.constData(), kIntestazioneSqlite, sizeof kIntestazioneSqlite) == 0) {
        return FormatoFile::SQLite;
    }
    if (compact::sembraCompact(reinterpret_cast<const std::uint8_t*>(inizio.constData()),
                               static_cast<std::size_t>(inizio.size()))) {
        return FormatoFile::Compact;
    }
    return FormatoFile::Altro;
}

}  // namespace tastalo
