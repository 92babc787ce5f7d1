// Tastalo: types lists of scanned barcodes into another program's window.

#include <QApplication>

#include "app/avvio.h"
#include "platform/keyboard_target.h"
#include "send/invio_barcode.h"
#include "send/pausa_invio.h"
#include "settings/configurazione.h"
#include "settings/ini_programma.h"
#include "store/archivio_liste.h"
#include "tastalo/version.h"
#include "ui/dialoghi.h"
#include "ui/frm_principale.h"
#include "ui/frm_splash.h"
#include "ui/icona_programma.h"
#include "ui/messaggi_qt.h"
#include "ui/scelta_file.h"
#include "ui/temporizzatore.h"
#include "ui/traduzioni_qt.h"

int main(int argc, char* argv[]) {
    using namespace tastalo;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tastalo"));
    QApplication::setApplicationVersion(QString::fromLatin1(version::kText));
    QApplication::setWindowIcon(iconaProgramma());
    installaTraduzioniQt();

    MessaggiQt messaggi;
    // The settings file and the default database live beside the executable,
    // whatever the working directory.
    IniProgramma ini(QCoreApplication::applicationDirPath());
    Configurazione configurazione;
    caricaConfigurazione(ini, configurazione, messaggi);

    ArchivioListe archivio;
    const std::unique_ptr<platform::KeyboardTarget> tastiera = platform::createKeyboardTarget();
    PausaInvioQt pausa;
    InvioBarcode invio(configurazione, archivio, *tastiera, pausa, messaggi);
    SceltaFileQt sceltaFile;
    DialoghiQt dialoghi(ini, configurazione, messaggi, sceltaFile);
    TemporizzatoreQt tempoEnter;
    frmPrincipale principale(configurazione, archivio, messaggi, dialoghi, invio, tempoEnter);
    messaggi.impostaFinestraPrincipale(&principale);

    TemporizzatoreQt tempo;
    frmSplash splash(tempo, [&principale] { principale.show(); });
    splash.show();
    return QApplication::exec();
}
