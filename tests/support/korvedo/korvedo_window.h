#pragma once

#include <QFile>
#include <QPlainTextEdit>
#include <QWidget>

// A stand-in for the application that receives the barcodes: one text box
// with the focus; every Enter writes the box's text and a line end to the
// log at once and empties the box. Tab stays in the box as a character.
class CasellaCodici final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CasellaCodici(QWidget* parent = nullptr);

signals:
    void invio();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class KorvedoWindow final : public QWidget {
    Q_OBJECT
public:
    KorvedoWindow(const QString& title, const QString& logPath, QWidget* parent = nullptr);

private:
    void registra();

    CasellaCodici* m_casella;
    QFile m_log;
};
