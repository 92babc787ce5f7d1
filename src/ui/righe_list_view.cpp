#include "ui/righe_list_view.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>

namespace tastalo {

RigheListView::RigheListView(const QStringList& intestazioni, QObject* parent)
    : QAbstractItemModel(parent), m_intestazioni(intestazioni) {}

std::size_t RigheListView::cella(int riga, int colonna) const {
    return static_cast<std::size_t>(riga) * static_cast<std::size_t>(colonne()) +
           static_cast<std::size_t>(colonna);
}

QStringView RigheListView::testo(int riga, int colonna) const {
    const std::size_t c = cella(riga, colonna);
    const qsizetype inizio = c == 0 ? 0 : m_fine[c - 1];
    return QStringView(m_testo).mid(inizio, m_fine[c] - inizio);
}

bool RigheListView::nota(int riga, int colonna) const {
    return std::binary_search(m_note.begin(), m_note.end(), cella(riga, colonna));
}

void RigheListView::aggiungi(BloccoRighe&& blocco) {
    if (blocco.righe() == 0 || blocco.m_colonne != colonne()) return;
    const int prima = righe();
    beginInsertRows({}, prima, prima + blocco.righe() - 1);
    const std::size_t celle = m_fine.size();
    for (std::size_t cellaNota : blocco.m_note) m_note.push_back(celle + cellaNota);
    if (m_fine.empty()) {
        m_testo = std::move(blocco.m_testo);
        m_fine = std::move(blocco.m_fine);
    } else {
        const qsizetype base = m_testo.size();
        m_testo.append(blocco.m_testo);
        m_fine.reserve(m_fine.size() + blocco.m_fine.size());
        for (qsizetype fine : blocco.m_fine) m_fine.push_back(base + fine);
    }
    endInsertRows();
}

void RigheListView::svuota() {
    if (m_fine.empty()) return;
    beginResetModel();
    m_testo = QString();
    m_fine = {};
    m_note = {};
    endResetModel();
}

QModelIndex RigheListView::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || row >= righe() || column < 0 || column >= colonne()) return {};
    return createIndex(row, column);
}

QModelIndex RigheListView::parent(const QModelIndex&) const { return {}; }

int RigheListView::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : righe(); }

int RigheListView::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : colonne(); }

QVariant RigheListView::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
        case Qt::DisplayRole: return testo(index.row(), index.column()).toString();
        case Qt::ForegroundRole:
            if (!m_note.empty() && nota(index.row(), index.column())) {
                return QGuiApplication::palette().placeholderText();
            }
            return {};
        default: return {};
    }
}

QVariant RigheListView::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= colonne())
        return {};
    return m_intestazioni[section];
}

}  // namespace tastalo
