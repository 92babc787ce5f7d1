#include "ui/frm_splash.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include "controlli.h"
#include "fake_temporizzatore.h"
#include "ui/frm_cancella.h"
#include "ui/icona_programma.h"

namespace tastalo::prova {
namespace {

using prova::controllo;
using prova::FakeTemporizzatore;

class SplashProva : public ::testing::Test {
protected:
    SplashProva() : splash(tempo, [this] { ++principaliMostrate; }) { splash.show(); }

    FakeTemporizzatore tempo;
    int principaliMostrate = 0;
    frmSplash splash;
};

TEST_F(SplashProva, TimerFiringClosesItAndShowsTheMainWindowOnce) {
    EXPECT_EQ(tempo.intervallo(), 5000);
    tempo.scatta();

    EXPECT_FALSE(splash.isVisible());
    EXPECT_FALSE(tempo.attivo());
    EXPECT_EQ(principaliMostrate, 1);
}

TEST(SplashKeys, AnyCharacterKeyClosesItAndStopsTheTimer) {
    for (const Qt::Key tasto : {Qt::Key_A, Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape,
                                Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_5}) {
        SCOPED_TRACE(tasto);
        FakeTemporizzatore tempo;
        int principaliMostrate = 0;
        frmSplash splash(tempo, [&] { ++principaliMostrate; });
        splash.show();

        QTest::keyClick(&splash, tasto);

        EXPECT_FALSE(splash.isVisible());
        EXPECT_FALSE(tempo.attivo());
        EXPECT_EQ(principaliMostrate, 1);
    }
}

TEST_F(SplashProva, KeysThatProduceNoCharacterLeaveItOpen) {
    for (const Qt::Key tasto : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt, Qt::Key_Left}) {
        QTest::keyClick(&splash, tasto);
    }
    EXPECT_TRUE(splash.isVisible());
    EXPECT_TRUE(tempo.attivo());
    EXPECT_EQ(principaliMostrate, 0);
}

TEST_F(SplashProva, AKeyReachingAChildIsSeenByTheWindowFirst) {
    auto& logo = controllo<QLabel>(splash, QStringLiteral("imgLogo"));
    QTest::keyClick(&logo, Qt::Key_X);

    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(principaliMostrate, 1);
}

TEST_F(SplashProva, MouseClicksDoNothing) {
    QTest::mouseClick(&splash, Qt::LeftButton);
    QTest::mouseClick(&splash, Qt::RightButton);
    QTest::mouseDClick(&splash, Qt::LeftButton);
    QTest::mouseClick(&controllo<QLabel>(splash, QStringLiteral("lblProductName")), Qt::LeftButton);

    EXPECT_TRUE(splash.isVisible());
    EXPECT_TRUE(tempo.attivo());
    EXPECT_EQ(principaliMostrate, 0);
}

TEST_F(SplashProva, MainWindowIsShownOnceWhenKeyAndTimerBothArrive) {
    QTest::keyClick(&splash, Qt::Key_A);
    tempo.scatta();
    QTest::keyClick(&splash, Qt::Key_B);
    splash.close();

    EXPECT_EQ(principaliMostrate, 1);
}

TEST(SplashReentry, EventsArrivingWhileTheMainWindowLoadsDoNotShowItAgain) {
    // Showing the main window may run a nested event loop (a message box while
    // it loads its lists), in which more keys or the timer may arrive.
    FakeTemporizzatore tempo;
    int principaliMostrate = 0;
    frmSplash* splashPtr = nullptr;
    frmSplash splash(tempo, [&] {
        ++principaliMostrate;
        QTest::keyClick(splashPtr, Qt::Key_Escape);
        tempo.scatta();
        splashPtr->close();
    });
    splashPtr = &splash;
    splash.show();

    QTest::keyClick(&splash, Qt::Key_Return);

    EXPECT_EQ(principaliMostrate, 1);
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(SplashProva, ClosedByTheWindowSystemItStillShowsTheMainWindow) {
    splash.close();

    EXPECT_FALSE(tempo.attivo());
    EXPECT_EQ(principaliMostrate, 1);
}

TEST_F(SplashProva, ShowsTheProductNameAndTheVersion) {
    EXPECT_EQ(controllo<QLabel>(splash, QStringLiteral("lblVersion")).text(),
              QStringLiteral("Versione 1.4.8"));
    EXPECT_EQ(controllo<QLabel>(splash, QStringLiteral("lblProductName")).text(), QStringLiteral("Tastalo"));
}

TEST_F(SplashProva, SelfSizingLabelsShowTheirWholeTextInsideTheFrame) {
    const auto& frame = controllo<QFrame>(splash, QStringLiteral("Frame1"));
    for (const char* nome : {"lblProductName", "lblVersion", "lblMakerLarge"}) {
        SCOPED_TRACE(nome);
        const auto& label = controllo<QLabel>(splash, QString::fromLatin1(nome));
        EXPECT_GE(label.width(), label.fontMetrics().horizontalAdvance(label.text()));
        EXPECT_TRUE(frame.rect().contains(label.geometry())) << label.geometry().right();
    }
}

TEST_F(SplashProva, IsCentredOnTheScreen) {
    const QPoint centroSchermo = splash.screen()->availableGeometry().center();
    EXPECT_LE((splash.frameGeometry().center() - centroSchermo).manhattanLength(), 2);
}

TEST_F(SplashProva, HasTheFixedDialogBorderOfTheOtherWindowsWithoutTitleBarOrTaskbarEntry) {
    const frmCancella altra;
    const Qt::WindowFlags bordo = Qt::MSWindowsFixedSizeDialogHint | Qt::FramelessWindowHint;
    EXPECT_EQ(splash.windowFlags() & bordo, altra.windowFlags() & bordo);
    EXPECT_TRUE(altra.windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint));
    EXPECT_FALSE(splash.windowFlags().testFlag(Qt::WindowTitleHint));
    // Tool windows are the ones the taskbar leaves out.
    EXPECT_EQ(splash.windowType(), Qt::Tool);
}

bool haPixelVisibili(const QImage& immagine) {
    for (int y = 0; y < immagine.height(); ++y) {
        for (int x = 0; x < immagine.width(); ++x) {
            if (qAlpha(immagine.pixel(x, y)) != 0) return true;
        }
    }
    return false;
}

TEST_F(SplashProva, LogoIsDrawnFromTheResourcesAndStretchedToItsBox) {
    const QPixmap logo = logoProgramma(256);
    ASSERT_EQ(logo.size(), QSize(256, 256));
    EXPECT_TRUE(haPixelVisibili(logo.toImage()));

    const auto& imgLogo = controllo<QLabel>(splash, QStringLiteral("imgLogo"));
    EXPECT_TRUE(imgLogo.hasScaledContents());
    EXPECT_EQ(imgLogo.pixmap().size(), QSize(256, 256));
}

TEST(ProgramIcon, OffersTheLogoAtTheUsualIconSizes) {
    const QIcon icona = iconaProgramma();
    ASSERT_FALSE(icona.isNull());
    EXPECT_THAT(icona.availableSizes(),
                ::testing::IsSupersetOf({QSize(16, 16), QSize(32, 32), QSize(256, 256)}));
    EXPECT_TRUE(haPixelVisibili(icona.pixmap(QSize(32, 32)).toImage()));
}

}  // namespace
}  // namespace tastalo::prova
