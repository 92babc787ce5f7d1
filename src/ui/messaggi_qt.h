#pragma once

#include "core/messaggi.h"

namespace tastalo {

// The real boxes, parented to the window that is active when they are shown.
class MessaggiQt final : public Messaggi {
public:
    void informazione(const QString& testo) override;
    void errore(const QString& testo) override;
};

}  // namespace tastalo
