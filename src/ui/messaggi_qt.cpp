#include "ui/messaggi_qt.h"

#include <QApplication>
#include <QMessageBox>

namespace tastalo {
namespace {

QWidget* proprietario(QWidget* principale) {
    if (QWidget* modale = QApplication::activeModalWidget()) return modale;
    if (principale == nullptr || !principale->isVisible()) return QApplication::activeWindow();
    // Owned and in front: Windows gives the activation back to the owner, an
    // X11 window manager to the window focused before the box.
    if (!principale->isActiveWindow()) {
        principale->raise();
        principale->activateWindow();
    }
    return principale;
}

void mostra(QMessageBox::Icon icona, const QString& testo, QWidget* principale) {
    QMessageBox box(icona, QStringLiteral("Tastalo"), testo, QMessageBox::Ok, proprietario(principale));
    box.exec();
}

}  // namespace

void MessaggiQt::informazione(const QString& testo) { mostra(QMessageBox::Information, testo, m_principale); }

void MessaggiQt::errore(const QString& testo) { mostra(QMessageBox::Critical, testo, m_principale); }

}  // namespace tastalo
