#include "ui/list_view.h"

#include <QHeaderView>

namespace tastalo {

ListView::ListView(const QStringList& intestazioni, QWidget* parent)
    : QTreeView(parent), m_righe(intestazioni) {
    setModel(&m_righe);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The fitted width is the column's width: the header must not stretch it.
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
}

}  // namespace tastalo
