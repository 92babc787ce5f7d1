#include "startup/icona_programma.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <mutex>

// A static library's resources are only linked in when something refers to
// them, and Q_INIT_RESOURCE must be used outside any namespace.
static void registraRisorseFinestre() { Q_INIT_RESOURCE(tastalo_startup_windows); }

namespace tastalo {
namespace {

const QString kLogo = QStringLiteral(":/tastalo/logo.svg");

void assicuraRisorse() {
    static std::once_flag registrate;
    std::call_once(registrate, registraRisorseFinestre);
}

}  // namespace

QPixmap logoProgramma(int lato) {
    assicuraRisorse();
    QImage immagine(lato, lato, QImage::Format_ARGB32_Premultiplied);
    immagine.fill(Qt::transparent);
    QSvgRenderer disegnatore(kLogo);
    if (disegnatore.isValid()) {
        QPainter pittore(&immagine);
        pittore.setRenderHint(QPainter::Antialiasing);
        disegnatore.render(&pittore, QRectF(0, 0, lato, lato));
    }
    return QPixmap::fromImage(immagine);
}

QIcon iconaProgramma() {
    // Drawn at each usual size rather than scaled from one bitmap, and with no
    // need for Qt's SVG icon plug-in at run time.
    QIcon icona;
    for (int lato : {16, 24, 32, 48, 64, 128, 256}) icona.addPixmap(logoProgramma(lato));
    return icona;
}

}  // namespace tastalo
