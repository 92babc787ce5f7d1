#pragma once

#include <QString>
#include <QStringView>
#include <memory>

#include "store/valore.h"

namespace tastalo {

// A read-only query result, read row by row. Opened by ArchivioListe; the
// connection it brings is its own and goes when it is closed or destroyed.
// The file's failures are thrown as Fallimento with its format's code and
// message (SQLite's, or the Compact reader's); using a closed result, or reading or moving on with no current
// row, fails with SQLite's misuse code (21), a position out of range with 25.
class Recordset {
public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool aperto() const;
    void chiudi() noexcept;

    // True when there is no current row: at once for an empty result, or
    // after moving past the last row.
    bool allaFine() const;
    void avanti();
    // Runs the query again and stands on its first row, so the rows are those
    // in the file at that moment.
    void primo();

    int numeroCampi() const;
    QString nomeCampo(int posizione) const;
    Valore campo(int posizione) const;
    // By name, without regard to case. An unknown name fails (Database, code 1).
    Valore campo(QStringView nome) const;
    // The position of a field by name without regard to case, or -1.
    int indiceCampo(QStringView nome) const;

    // The format behind a result (SQLite, SQL Server Compact): private to the store.
    struct Impl;
    explicit Recordset(std::unique_ptr<Impl> impl);

private:
    void richiediAperto() const;
    void richiediRiga() const;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tastalo
