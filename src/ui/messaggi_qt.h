#pragma once

#include <QPointer>
#include <QWidget>

#include "core/messaggi.h"

namespace tastalo {

// The real boxes. A box belongs to the modal dialog in front, else to the
// main window once there is one, else to the active window. The main window
// is brought to the front before its box shows: after a send the target is
// in front, and the window manager gives the focus back, when the box
// closes, to the window that had it before, which must be Tastalo's.
class MessaggiQt final : public Messaggi {
public:
    void informazione(const QString& testo) override;
    void errore(const QString& testo) override;

    void impostaFinestraPrincipale(QWidget* finestra) { m_principale = finestra; }

private:
    QPointer<QWidget> m_principale;
};

}  // namespace tastalo
