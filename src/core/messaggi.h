#pragma once

#include <QString>

namespace tastalo {

// Every notice to the operator goes through here: a modal box with one OK
// button and the title "Tastalo". Windows receive it in their constructor so
// that tests can observe messages instead of waiting on a modal box.
class Messaggi {
public:
    virtual ~Messaggi() = default;
    // Information icon.
    virtual void informazione(const QString& testo) = 0;
    // Critical (stop) icon.
    virtual void errore(const QString& testo) = 0;
};

}  // namespace tastalo
