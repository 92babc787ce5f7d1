#include "ui/messaggi_qt.h"

#include <QApplication>
#include <QMessageBox>

namespace tastalo {
namespace {

void mostra(QMessageBox::Icon icona, const QString& testo) {
    QWidget* genitore = QApplication::activeModalWidget();
    if (genitore == nullptr) genitore = QApplication::activeWindow();
    QMessageBox box(icona, QStringLiteral("Tastalo"), testo, QMessageBox::Ok, genitore);
    box.exec();
}

}  // namespace

void MessaggiQt::informazione(const QString& testo) { mostra(QMessageBox::Information, testo); }

void MessaggiQt::errore(const QString& testo) { mostra(QMessageBox::Critical, testo); }

}  // namespace tastalo
