#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QRadioButton;

namespace tastalo {

// The deletion dialog's answer, its property CosaFare, with the values the
// main window acts on.
enum class RispostaCancellazione {
    Tutte = 0,        // "&Ok" with "Tutte" chosen: every list
    Selezionata = 1,  // "&Ok" with the single-list choice: the list named by Lista
    Annulla = 2,      // left without "&Ok", in any way
};

// "Richiesta Cancellazione": asks whether to delete the list named by Lista
// or every list; the answer is CosaFare. Each showing starts from the
// single-list choice, whatever came before.
class frmCancella : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QString Lista READ Lista WRITE impostaLista)
    Q_PROPERTY(RispostaCancellazione CosaFare READ CosaFare WRITE impostaCosaFare)

public:
    explicit frmCancella(QWidget* parent = nullptr);

    const QString& Lista() const { return m_lista; }
    void impostaLista(const QString& lista) { m_lista = lista; }
    RispostaCancellazione CosaFare() const { return m_cosaFare; }
    void impostaCosaFare(RispostaCancellazione valore) { m_cosaFare = valore; }

    // The indexed pair of option buttons (object name "optCancella", dynamic
    // property "index" 0 or 1).
    QRadioButton* optCancella(int indice) const;

    void setVisible(bool visible) override;
    void reject() override;

private:
    void Form_Load();
    void cmdOk_Click();

    QString m_lista;
    RispostaCancellazione m_cosaFare = RispostaCancellazione::Annulla;
    QLabel* m_label1;
    QRadioButton* m_optCancella[2];
    QPushButton* m_cmdOk;
    QPushButton* m_cmdAnnulla;
};

}  // namespace tastalo
