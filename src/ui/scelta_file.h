#pragma once

#include <QString>
#include <optional>
#include <vector>

class QWidget;

namespace tastalo {

// One type of file the open-file dialog offers: the name the operator reads,
// exactly as given, and the pattern of the files it shows ("*.sdf", "*").
struct TipoFile {
    QString nome;
    QString schema;
    bool operator==(const TipoFile&) const = default;
};

// The system's open-file dialog, behind an interface so that tests can answer
// it without a modal window.
class SceltaFile {
public:
    virtual ~SceltaFile() = default;
    // Offers the types in order, the first chosen. Gives the chosen path, or
    // nothing when the operator cancels.
    virtual std::optional<QString> apriFile(QWidget* genitore, const QString& titolo,
                                            const std::vector<TipoFile>& tipi,
                                            const QString& nomeIniziale) = 0;
};

class SceltaFileQt final : public SceltaFile {
public:
    std::optional<QString> apriFile(QWidget* genitore, const QString& titolo,
                                    const std::vector<TipoFile>& tipi, const QString& nomeIniziale) override;
};

}  // namespace tastalo
