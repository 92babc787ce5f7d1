#pragma once

#include <QString>
#include <QStringView>
#include <cstddef>
#include <vector>

namespace tastalo {

// Rows to append to a list view's rows (RigheListView), gathered apart so
// that a failure while reading them adds none: every cell's text in one
// buffer, row by row.
class BloccoRighe {
public:
    explicit BloccoRighe(int colonne) : m_colonne(colonne) {}

    void aggiungiCella(QStringView testo);
    // A cell whose value has no text to show: `nota` says so in its place,
    // and the view sets it apart from the values.
    void aggiungiNota(QStringView nota);
    int righe() const { return m_colonne == 0 ? 0 : static_cast<int>(m_fine.size()) / m_colonne; }

private:
    friend class RigheListView;
    int m_colonne;
    QString m_testo;
    std::vector<qsizetype> m_fine;    // where each cell ends in m_testo, row by row
    std::vector<std::size_t> m_note;  // the cells that hold a note, in order
};

}  // namespace tastalo
