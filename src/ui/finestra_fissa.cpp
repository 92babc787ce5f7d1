#include "ui/finestra_fissa.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tastalo {

void centraSulloSchermo(QWidget& finestra) {
    const QScreen* schermo =
        finestra.screen() != nullptr ? finestra.screen() : QGuiApplication::primaryScreen();
    if (schermo == nullptr) return;
    QRect area = finestra.frameGeometry();
    area.moveCenter(schermo->availableGeometry().center());
    finestra.move(area.topLeft());
}

}  // namespace tastalo
