#include "korvedo_window.h"

#include <QKeyEvent>
#include <QVBoxLayout>

CasellaCodici::CasellaCodici(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName("casellaCodici");
    setTabChangesFocus(false);
}

void CasellaCodici::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit invio();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

KorvedoWindow::KorvedoWindow(const QString& title, const QString& logPath, QWidget* parent)
    : QWidget(parent), m_casella(new CasellaCodici(this)), m_log(logPath) {
    setWindowTitle(title);
    resize(360, 120);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_casella);
    if (!logPath.isEmpty()) m_log.open(QIODevice::WriteOnly | QIODevice::Append);
    connect(m_casella, &CasellaCodici::invio, this, &KorvedoWindow::registra);
    m_casella->setFocus();
}

void KorvedoWindow::registra() {
    // The raw text keeps every character as typed (no space folding).
    const QString testo = m_casella->document()->toRawText();
    if (m_log.isOpen()) {
        m_log.write(testo.toUtf8() + '\n');
        m_log.flush();
    }
    m_casella->clear();
}
