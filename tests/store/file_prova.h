#pragma once

#include <SQLiteCpp/SQLiteCpp.h>

#include <QFileInfo>
#include <QString>
#include <chrono>
#include <functional>
#include <string>

#include "core/fallimento.h"
#include "support/temp_folder.h"

namespace tastalo::test {

inline constexpr auto kAttesaBreve = std::chrono::milliseconds(100);

inline QString stringaConnessione(const QString& percorso) {
    return QStringLiteral("Provider=Microsoft.SQLSERVER.CE.OLEDB.3.5;Data Source=") + percorso +
           QStringLiteral(";");
}

inline std::string utf8(const QString& testo) { return testo.toUtf8().toStdString(); }

// Runs SQL on a file of the test's own making, creating it when missing.
inline void eseguiSql(const QString& percorso, const std::string& sql) {
    SQLite::Database db(utf8(percorso), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec(sql);
}

inline long long contaRighe(const QString& percorso, const std::string& select) {
    SQLite::Database db(utf8(percorso), SQLite::OPEN_READONLY);
    return db.execAndGet(select).getInt64();
}

inline bool esiste(const QString& percorso) { return QFileInfo::exists(percorso); }

// The failure that `azione` throws; fails the test when it throws none.
inline Fallimento fallimentoDi(const std::function<void()>& azione) {
    try {
        azione();
    } catch (const Fallimento& f) {
        return f;
    }
    throw std::logic_error("no failure was thrown");
}

}  // namespace tastalo::test
