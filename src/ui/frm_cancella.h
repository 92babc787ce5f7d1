#pragma once

#include <QDialog>
#include <QString>

#include "ui/dialoghi.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace tastalo {

// "Richiesta Cancellazione": asks whether to delete the list named by Lista
// or every list. The answer is CosaFare (see risposta in dialoghi.h): 1 for
// the single list, 0 for all, 2 when left without "&Ok" in any way.
// Each showing starts from the single-list choice, whatever came before.
class frmCancella : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QString Lista READ Lista WRITE impostaLista)
    Q_PROPERTY(int CosaFare READ CosaFare WRITE impostaCosaFare)

public:
    explicit frmCancella(QWidget* parent = nullptr);

    const QString& Lista() const { return m_lista; }
    void impostaLista(const QString& lista) { m_lista = lista; }
    int CosaFare() const { return m_cosaFare; }
    void impostaCosaFare(int valore) { m_cosaFare = valore; }

    // The indexed pair of option buttons (object name "optCancella", dynamic
    // property "index" 0 or 1).
    QRadioButton* optCancella(int indice) const;

    void setVisible(bool visible) override;
    void reject() override;

private:
    void Form_Load();
    void cmdOk_Click();

    QString m_lista;
    int m_cosaFare = risposta::kAnnulla;
    QLabel* m_label1;
    QRadioButton* m_optCancella[2];
    QPushButton* m_cmdOk;
    QPushButton* m_cmdAnnulla;
};

}  // namespace tastalo
