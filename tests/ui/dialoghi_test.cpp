#include "ui/dialoghi.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>

#include "settings/configurazione.h"
#include "settings/ini_programma.h"
#include "support/fake_messaggi.h"
#include "support/temp_folder.h"
#include "ui/frm_cancella.h"
#include "ui/frm_imposta.h"
#include "ui/scelta_file.h"

namespace tastalo {
namespace {

class SceltaFileAssente final : public SceltaFile {
public:
    std::optional<QString> apriFile(QWidget*, const QString&, const std::vector<TipoFile>&,
                                    const QString&) override {
        return std::nullopt;
    }
};

// Acts on the modal dialog once it is up; closes any dialog left open so a
// failing check cannot leave the test waiting.
void allApertura(std::function<void(QWidget*)> operatore) {
    QTimer::singleShot(0, [operatore = std::move(operatore)] {
        operatore(QApplication::activeModalWidget());
        for (QWidget* finestra : QApplication::topLevelWidgets()) {
            if (auto* dialogo = qobject_cast<QDialog*>(finestra);
                dialogo != nullptr && dialogo->isVisible()) {
                dialogo->reject();
            }
        }
    });
}

class DialoghiVeri : public ::testing::Test {
protected:
    prova::TempFolder cartella;
    IniProgramma ini{cartella.path()};
    Configurazione configurazione;
    prova::FakeMessaggi messaggi;
    SceltaFileAssente sceltaFile;
    DialoghiQt dialoghi{ini, configurazione, messaggi, sceltaFile};
    QWidget principale;
};

TEST_F(DialoghiVeri, TheDeletionQuestionShowsTheListAndGivesTheOperatorsAnswer) {
    QString didascalia;
    allApertura([&](QWidget* aperto) {
        auto* dialogo = qobject_cast<frmCancella*>(aperto);
        ASSERT_NE(dialogo, nullptr);
        didascalia = dialogo->optCancella(0)->text();
        dialogo->optCancella(1)->click();
        dialogo->findChild<QPushButton*>("cmdOk")->click();
    });
    EXPECT_EQ(dialoghi.chiediCancellazione(&principale, "7 - Alfa"), RispostaCancellazione::Tutte);
    EXPECT_EQ(didascalia, "7 - Alfa");

    allApertura([](QWidget* aperto) { ASSERT_NE(qobject_cast<frmCancella*>(aperto), nullptr); });
    EXPECT_EQ(dialoghi.chiediCancellazione(&principale, "7 - Alfa"), RispostaCancellazione::Annulla);
}

TEST_F(DialoghiVeri, TheSettingsDialogOpensOverTheMainWindowAndReturnsWhenClosed) {
    QWidget* genitore = nullptr;
    bool impostazioni = false;
    allApertura([&](QWidget* aperto) {
        impostazioni = qobject_cast<frmImposta*>(aperto) != nullptr;
        genitore = aperto != nullptr ? aperto->parentWidget() : nullptr;
    });
    dialoghi.mostraImpostazioni(&principale);
    EXPECT_TRUE(impostazioni);
    EXPECT_EQ(genitore, &principale);
}

TEST(SceltaFileVera, EachTypeShowsItsNameAsGivenAndTheSecondShowsEveryFile) {
    prova::TempFolder cartella;
    QStringList nomi;
    QStringList schemiDelSecondo;
    allApertura([&](QWidget* aperto) {
        auto* dialogo = qobject_cast<QFileDialog*>(aperto);
        ASSERT_NE(dialogo, nullptr);
        const auto* tipi = dialogo->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(tipi, nullptr);
        for (int i = 0; i < tipi->count(); ++i) nomi << tipi->itemText(i);
        dialogo->selectNameFilter(dialogo->nameFilters().value(1));
        const auto* modello = dialogo->findChild<QFileSystemModel*>();
        ASSERT_NE(modello, nullptr);
        schemiDelSecondo = modello->nameFilters();
    });
    SceltaFileQt scelta;
    EXPECT_EQ(scelta.apriFile(nullptr, QStringLiteral("Apri Database"),
                              {{QStringLiteral("File database (*.sdf)"), QStringLiteral("*.sdf")},
                               {QStringLiteral("tutti i files"), QStringLiteral("*")}},
                              cartella.file(QStringLiteral("Dati.sdf"))),
              std::nullopt);
    EXPECT_EQ(nomi, (QStringList{"File database (*.sdf)", "tutti i files"}));
    EXPECT_EQ(schemiDelSecondo, QStringList{"*"});
}

}  // namespace
}  // namespace tastalo
