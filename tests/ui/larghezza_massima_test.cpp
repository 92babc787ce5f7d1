#include "ui/larghezza_massima.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QRandomGenerator>
#include <QStringList>
#include <algorithm>
#include <optional>

namespace tastalo {
namespace {

double misuraOgniTesto(const QFont& font, const QStringList& testi) {
    const QFontMetricsF metriche(font);
    double massima = 0;
    for (const QString& testo : testi) massima = std::max(massima, metriche.horizontalAdvance(testo));
    return massima;
}

double conScorciatoia(const QFont& font, const QStringList& testi, int* intere = nullptr) {
    LarghezzaMassima misura(font);
    for (const QString& testo : testi) misura.considera(testo);
    const double valore = misura.valore();
    if (intere != nullptr) *intere = misura.misurazioniIntere();
    return valore;
}

std::vector<QFont> fontDiProva() {
    std::vector<QFont> fonts;
    for (const QString& famiglia : {QApplication::font().family(), QStringLiteral("DejaVu Sans"),
                                    QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Serif"),
                                    QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Sans Mono")}) {
        for (const double punti : {8.25, 9.0, 12.75}) {
            for (const int stile : {0, 1, 2}) {
                QFont font(famiglia);
                font.setPointSizeF(punti);
                font.setBold(stile == 1);
                font.setItalic(stile == 2);
                fonts.push_back(font);
            }
        }
    }
    return fonts;
}

QString testoCasuale(QRandomGenerator& caso, const QString& alfabeto, int lunghezzaMassima) {
    const int lunghezza = static_cast<int>(caso.bounded(lunghezzaMassima + 1));
    QString testo;
    for (int i = 0; i < lunghezza; ++i) testo += alfabeto[static_cast<int>(caso.bounded(alfabeto.size()))];
    return testo;
}

// Pairs that fonts kern or join ("AV", "To", "fi", "ffl") and characters that
// are not plain ASCII (accents, a tab, a soft hyphen, Arabic, a surrogate pair).
const QString kAlfabetoInsidioso = QStringLiteral("AVTWYLoy.,ffiflrv -1") + QChar(0x00C4) + QChar(0x00E9) +
                                   QChar(u'\t') + QChar(0x00AD) + QChar(0x0644) + QChar(0x0627) +
                                   QString::fromUtf8("\xF0\x9F\x98\x80");

QString alfabetoAscii() {
    QString alfabeto;
    for (char16_t c = 0x20; c <= 0x7E; ++c) alfabeto += QChar(c);
    return alfabeto;
}

TEST(LarghezzaMassima, EqualsMeasuringEveryTextWholeAcrossFontsAndTexts) {
    QRandomGenerator caso(20240613);
    const QString ascii = alfabetoAscii();
    for (const QFont& font : fontDiProva()) {
        for (int insieme = 0; insieme < 40; ++insieme) {
            QStringList testi;
            const int quanti = 2 + static_cast<int>(caso.bounded(30));
            for (int i = 0; i < quanti; ++i) {
                testi << testoCasuale(caso, insieme % 2 == 0 ? ascii : kAlfabetoInsidioso, 24);
            }
            ASSERT_EQ(conScorciatoia(font, testi), misuraOgniTesto(font, testi))
                << font.toString().toStdString() << " on " << testi.join(u'|').toStdString();
        }
    }
}

TEST(LarghezzaMassima, EqualsMeasuringEveryTextWholeForCodesOfOneLength) {
    // Equal-length codes whose widths differ only by a few characters' advances.
    QRandomGenerator caso(7);
    const QString alfabeto = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-./");
    for (const QFont& font : fontDiProva()) {
        QStringList testi;
        for (int i = 0; i < 500; ++i) {
            QString codice;
            for (int c = 0; c < 12; ++c) codice += alfabeto[static_cast<int>(caso.bounded(alfabeto.size()))];
            testi << codice;
        }
        ASSERT_EQ(conScorciatoia(font, testi), misuraOgniTesto(font, testi)) << font.toString().toStdString();
    }
}

TEST(LarghezzaMassima, NumericBarcodesAreShapedWholeOnlyOnceForTheCheck) {
    QStringList testi;
    for (qint64 i = 0; i < 2000; ++i) testi << QString::number(4006381333931LL + i * 7919LL);
    int intere = 0;
    const QFont font = QApplication::font();
    EXPECT_EQ(conScorciatoia(font, testi, &intere), misuraOgniTesto(font, testi));
    EXPECT_EQ(intere, 1);
}

std::optional<QString> coppiaCrenata(const QFont& font) {
    const QFontMetricsF metriche(font);
    for (char16_t a = u'A'; a <= u'Z'; ++a) {
        for (char16_t b : {u'V', u'T', u'Y', u'W', u'o', u'y', u'.'}) {
            const QString coppia = QString(QChar(a)) + QChar(b);
            if (metriche.horizontalAdvance(coppia) != metriche.horizontalAdvance(QString(QChar(a))) +
                                                          metriche.horizontalAdvance(QString(QChar(b)))) {
                return coppia;
            }
        }
    }
    return std::nullopt;
}

TEST(LarghezzaMassima, TextsThatCannotBeSummedAreMeasuredWhole) {
    QFont font(QStringLiteral("DejaVu Sans"));
    QStringList nonSommabili = {QStringLiteral("PREZZO ") + QChar(0x20AC), QStringLiteral("A\tB"),
                                QStringLiteral("caff") + QChar(0x00E8)};
    if (const auto coppia = coppiaCrenata(font)) nonSommabili << QStringLiteral("12") + *coppia + "34";
    QStringList testi = nonSommabili;
    testi << QStringLiteral("123456") << QStringLiteral("1234567");
    int intere = 0;
    EXPECT_EQ(conScorciatoia(font, testi, &intere), misuraOgniTesto(font, testi));
    EXPECT_EQ(intere, nonSommabili.size() + 1);
}

TEST(LarghezzaMassima, NothingOrOnlyEmptyTextsMeasureZero) {
    const QFont font = QApplication::font();
    EXPECT_EQ(conScorciatoia(font, {}), 0.0);
    EXPECT_EQ(conScorciatoia(font, {QString(), QString()}), 0.0);
}

}  // namespace
}  // namespace tastalo
