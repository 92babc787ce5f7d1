#pragma once

#include <QWidget>
#include <functional>

class QFrame;
class QLabel;

namespace tastalo {

class Temporizzatore;

// The first window: the program's name, version and logo, until its timer
// fires or the operator presses a key. Closing it, whatever the cause, shows
// the main window exactly once. Mouse clicks do nothing.
class frmSplash : public QWidget {
    Q_OBJECT

public:
    static constexpr int kIntervalloMs = 5000;

    // `tempo` starts at once; `mostraPrincipale` shows the main window.
    frmSplash(Temporizzatore& tempo, std::function<void()> mostraPrincipale, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void creaControlli();
    void Form_Load();
    void tempo_Timer();
    void chiudi();
    // Stops the timer and shows the main window, the first time only.
    bool concludi();

    Temporizzatore& m_tempo;
    std::function<void()> m_mostraPrincipale;
    bool m_concluso = false;

    QFrame* m_frame1 = nullptr;
    QLabel* m_lblProductName = nullptr;
    QLabel* m_lblVersion = nullptr;
};

}  // namespace tastalo
