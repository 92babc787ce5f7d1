// Tastalo: types lists of scanned barcodes into another program's window.

#include <QApplication>

#include "common/messaggi.h"
#include "common/scelta_file.h"
#include "common/temporizzatore.h"
#include "main/dialoghi.h"
#include "main/frm_principale.h"
#include "main/invio_barcode.h"
#include "main/pausa_invio.h"
#include "platform/keyboard_target.h"
#include "startup/avvio.h"
#include "startup/configurazione.h"
#include "startup/frm_splash.h"
#include "startup/icona_programma.h"
#include "startup/ini_programma.h"
#include "startup/traduzioni_qt.h"
#include "store/archivio_liste.h"
#include "tastalo/version.h"

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
    frmPrincipale principale(configurazione, archivio, messaggi, dialoghi, invio);

    TemporizzatoreQt tempo;
    frmSplash splash(tempo, [&principale] { principale.show(); });
    splash.show();
    return QApplication::exec();
}
