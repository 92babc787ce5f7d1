#pragma once

#include <QComboBox>
#include <QPushButton>
#include <QStringList>
#include <vector>

#include "fake_dialoghi.h"
#include "fake_temporizzatore.h"
#include "send/invio_barcode.h"
#include "support/database_prova.h"
#include "support/fake_messaggi.h"
#include "support/pausa_finta.h"
#include "support/recording_keyboard_target.h"
#include "ui/frm_principale.h"
#include "ui/list_view.h"

namespace tastalo::prova {

// The main window on a test database, with its messages and dialogs recorded
// and its controls reached by their object names.
class FinestraProva {
public:
    explicit FinestraProva(DatabaseProva& db)
        : invio(db.configurazione, db.archivio, tastiera, pausa, messaggi),
          finestra(db.configurazione, db.archivio, messaggi, dialoghi, invio, tempo) {}

    QComboBox* combo() const { return finestra.findChild<QComboBox*>(QStringLiteral("cmbListe")); }
    ListView* lista() const { return finestra.findChild<ListView*>(QStringLiteral("Lista")); }
    QPushButton* pulsante(const char* nome) const {
        return finestra.findChild<QPushButton*>(QString::fromLatin1(nome));
    }

    QStringList voci() const {
        QStringList testi;
        for (int i = 0; i < combo()->count(); ++i) testi << combo()->itemText(i);
        return testi;
    }
    std::vector<int> ids() const {
        std::vector<int> valori;
        for (int i = 0; i < combo()->count(); ++i) valori.push_back(combo()->itemData(i).toInt());
        return valori;
    }
    QStringList righe() const {
        QStringList testi;
        // What the view shows, through its model as any view reads it.
        const QAbstractItemModel* modello = lista()->model();
        for (int i = 0; i < modello->rowCount(); ++i) testi << modello->index(i, 0).data().toString();
        return testi;
    }

    FakeMessaggi messaggi;
    FakeDialoghi dialoghi;
    platform::RecordingKeyboardTarget tastiera;
    PausaFinta pausa;
    FakeTemporizzatore tempo;
    InvioBarcode invio;
    frmPrincipale finestra;
};

}  // namespace tastalo::prova
