#include "ui/scelta_file.h"

#include <QFileDialog>

namespace tastalo {

std::optional<QString> SceltaFileQt::apriFile(QWidget* genitore, const QString& titolo, const QString& filtri,
                                              const QString& nomeIniziale) {
    // No existence check here: the operator may type any name, and the caller
    // decides what to do with a name that is no existing file.
    QFileDialog dialogo(genitore, titolo, nomeIniziale, filtri);
    dialogo.setFileMode(QFileDialog::AnyFile);
    dialogo.setAcceptMode(QFileDialog::AcceptOpen);
    dialogo.selectFile(nomeIniziale);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialogo.selectedFiles().constFirst();
}

}  // namespace tastalo
