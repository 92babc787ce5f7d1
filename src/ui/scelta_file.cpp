#include "ui/scelta_file.h"

#include <QFileDialog>
#include <QStringList>

namespace tastalo {

std::optional<QString> SceltaFileQt::apriFile(QWidget* genitore, const QString& titolo,
                                              const std::vector<TipoFile>& tipi,
                                              const QString& nomeIniziale) {
    // No existence check here: the operator may type any name, and the caller
    // decides what to do with a name that is no existing file.
    QFileDialog dialogo(genitore, titolo, nomeIniziale);
    dialogo.setFileMode(QFileDialog::AnyFile);
    dialogo.setAcceptMode(QFileDialog::AcceptOpen);
    // Qt reads a type's pattern from the last parentheses of its filter and,
    // with the details hidden, shows what comes before them: each name shows
    // whole, parentheses of its own included.
    dialogo.setOption(QFileDialog::HideNameFilterDetails);
    QStringList filtri;
    for (const TipoFile& tipo : tipi) filtri << tipo.nome + QStringLiteral(" (") + tipo.schema + u')';
    dialogo.setNameFilters(filtri);
    dialogo.selectFile(nomeIniziale);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialogo.selectedFiles().constFirst();
}

}  // namespace tastalo
