#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace tastalo {

// The system's open-file dialog, behind an interface so that tests can answer
// it without a modal window.
class SceltaFile {
public:
    virtual ~SceltaFile() = default;
    // Filters use Qt's form: "Nome (*.ext);;Altro (*)". Gives the chosen path,
    // or nothing when the operator cancels.
    virtual std::optional<QString> apriFile(QWidget* genitore, const QString& titolo, const QString& filtri,
                                            const QString& nomeIniziale) = 0;
};

class SceltaFileQt final : public SceltaFile {
public:
    std::optional<QString> apriFile(QWidget* genitore, const QString& titolo, const QString& filtri,
                                    const QString& nomeIniziale) override;
};

}  // namespace tastalo
