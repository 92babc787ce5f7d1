#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QImage>
#include <QPushButton>
#include <QTranslator>
#include <memory>

#include "ui/icona_programma.h"
#include "ui/traduzioni_qt.h"

namespace tastalo {
namespace {

TEST(TraduzioniQt, StandardButtonsReadInItalian) {
    const std::unique_ptr<QTranslator> traduttore(installaTraduzioniQt());
    ASSERT_NE(traduttore, nullptr);

    QDialogButtonBox pulsanti(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel);
    EXPECT_EQ(pulsanti.button(QDialogButtonBox::Yes)->text().remove(u'&'), QStringLiteral("Sì"));
    EXPECT_EQ(pulsanti.button(QDialogButtonBox::Cancel)->text().remove(u'&'), QStringLiteral("Annulla"));
}

TEST(LogoProgramma, AnySideComesFromTheDrawingsAtThatSize) {
    // Between, below and beyond the sides the build draws.
    for (const int lato : {20, 10, 256, 300}) {
        SCOPED_TRACE(lato);
        const QImage logo = logoProgramma(lato).toImage();
        ASSERT_EQ(logo.size(), QSize(lato, lato));
        // See-through corners round the opaque key, at every size.
        EXPECT_LT(qAlpha(logo.pixel(0, 0)), 128);
        EXPECT_EQ(qAlpha(logo.pixel(lato / 2, lato / 2)), 255);
    }
}

}  // namespace
}  // namespace tastalo
