#pragma once

#include <QAbstractItemModel>
#include <QStringList>
#include <QStringView>
#include <algorithm>
#include <cstddef>
#include <vector>

#include "ui/blocco_righe.h"

namespace tastalo {

// The rows of a report-style list view as they were read: every cell's text
// in one buffer, so that showing 32,767 barcodes costs a handful of
// allocations instead of an item per row, and the view asks for the texts
// of the rows it paints only.
class RigheListView final : public QAbstractItemModel {
    Q_OBJECT

public:
    explicit RigheListView(const QStringList& intestazioni, QObject* parent = nullptr);

    const QStringList& intestazioni() const { return m_intestazioni; }
    int righe() const { return static_cast<int>(m_fine.size()) / std::max(1, colonne()); }
    int colonne() const { return static_cast<int>(m_intestazioni.size()); }
    // Valid until the rows change.
    QStringView testo(int riga, int colonna) const;
    // Whether the cell holds a note in place of a value that has no text.
    bool nota(int riga, int colonna) const;

    // Appends the block's rows after those already shown, in one insertion.
    void aggiungi(BloccoRighe&& blocco);
    void svuota();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // The text of a cell; a note is drawn in the colour of placeholder text.
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::size_t cella(int riga, int colonna) const;

    QStringList m_intestazioni;
    QString m_testo;
    std::vector<qsizetype> m_fine;
    std::vector<std::size_t> m_note;  // sorted
};

}  // namespace tastalo
