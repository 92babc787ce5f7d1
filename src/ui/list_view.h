#pragma once

#include <QStringList>
#include <QTreeView>

#include "ui/righe_list_view.h"

namespace tastalo {

// A report-style list view: fixed columns headed by captions, rows of texts.
class ListView : public QTreeView {
    Q_OBJECT

public:
    explicit ListView(const QStringList& intestazioni, QWidget* parent = nullptr);

    RigheListView& righe() { return m_righe; }
    const RigheListView& righe() const { return m_righe; }

private:
    RigheListView m_righe;
};

}  // namespace tastalo
