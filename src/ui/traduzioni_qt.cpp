#include "ui/traduzioni_qt.h"

#include <QCoreApplication>
#include <QTranslator>
#include <memory>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registraTraduzioniQt() { Q_INIT_RESOURCE(tastalo_traduzioni_qt); }

namespace tastalo {

QTranslator* installaTraduzioniQt() {
    QCoreApplication* applicazione = QCoreApplication::instance();
    if (applicazione == nullptr) return nullptr;
    registraTraduzioniQt();
    // Loaded by its name, not through the system's locale, which may be any.
    auto traduttore = std::make_unique<QTranslator>(applicazione);
    if (!traduttore->load(QStringLiteral(":/tastalo/traduzioni/qtbase_it.qm")) ||
        !QCoreApplication::installTranslator(traduttore.get())) {
        return nullptr;
    }
    return traduttore.release();
}

}  // namespace tastalo
