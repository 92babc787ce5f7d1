#pragma once

#include <QString>
#include <QStringView>
#include <memory>

#include "store/valore.h"

namespace tastalo {

// A read-only query result, read row by row. Opened by ArchivioListe; the
// connection it brings is its own and goes when it is closed or destroyed.
// Every failure is thrown as Failure (Database) with SQLite's code and message;
// using a closed result, or reading or moving on with no current row, fails
// with SQLite's misuse code (21), a position out of range with 25.
class Recordset {
public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool isOpen() const;
    void close() noexcept;

    // True when there is no current row: at once for an empty result, or
    // after moving past the last row.
    bool atEnd() const;
    void moveNext();
    // Runs the query again and stands on its first row, so the rows are those
    // in the file at that moment.
    void moveFirst();

    int fieldCount() const;
    QString fieldName(int posizione) const;
    Valore field(int posizione) const;
    // By name, without regard to case. An unknown name fails (Database, code 1).
    Valore field(QStringView nome) const;
    // The position of a field by name without regard to case, or -1.
    int fieldIndex(QStringView nome) const;

private:
    friend class ArchivioListe;
    struct Impl;
    explicit Recordset(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tastalo
