#include "ui/font_dialogo.h"

#include <QLabel>
#include <QWidget>

namespace tastalo {
namespace {

// The text as drawn: "&&" shows one "&", a single "&" marks the access key.
QString testoVisibile(const QLabel& label) {
    QString testo = label.text();
    testo.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    testo.remove(QLatin1Char('&'));
    testo.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return testo;
}

}  // namespace

bool didascalieEntrano(const QWidget& finestra) {
    for (const QLabel* label : finestra.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || label->wordWrap()) continue;
        const QFontMetrics metriche(label->font());
        if (metriche.horizontalAdvance(testoVisibile(*label)) > label->contentsRect().width()) {
            return false;
        }
    }
    return true;
}

QFont arial(double punti, bool grassetto) {
    QFont font(QStringLiteral("Arial"));
    // Where Arial is missing, fontconfig's metric-compatible substitute.
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(punti);
    font.setBold(grassetto);
    return font;
}

QFont fontDisegnoInTwips() { return arial(8.25); }

void adattaFontDialogo(QWidget& finestra) {
    if (!didascalieEntrano(finestra)) finestra.setFont(fontDisegnoInTwips());
}

}  // namespace tastalo
