#include "ui/icona_programma.h"

#include <QSize>
#include <algorithm>
#include <iterator>
#include <mutex>

// A static library's resources are only linked in when something refers to
// them, and Q_INIT_RESOURCE must be used outside any namespace.
static void registraLogo() { Q_INIT_RESOURCE(tastalo_logo); }

namespace tastalo {
namespace {

// The sides at which the build draws the logo, from the same list.
constexpr int kLati[] = {TASTALO_LOGO_LATI};
static_assert(std::ranges::is_sorted(kLati));

QString percorsoLogo(int lato) { return QStringLiteral(":/tastalo/logo/logo-%1.png").arg(lato); }

void assicuraRisorse() {
    static std::once_flag registrate;
    std::call_once(registrate, registraLogo);
}

}  // namespace

QPixmap logoProgramma(int lato) {
    if (lato <= 0) return {};
    assicuraRisorse();
    // Scaling down from the next larger drawing keeps the edges clean;
    // only a side beyond the largest one is scaled up.
    const auto* sorgente = std::ranges::find_if(kLati, [lato](int l) { return l >= lato; });
    const int latoSorgente = sorgente != std::end(kLati) ? *sorgente : kLati[std::size(kLati) - 1];
    const QPixmap logo(percorsoLogo(latoSorgente));
    if (logo.isNull() || latoSorgente == lato) return logo;
    return logo.scaled(lato, lato, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QIcon iconaProgramma() {
    // Each usual size drawn from the SVG on its own, so that small icons stay
    // sharp instead of being scaled from one bitmap.
    assicuraRisorse();
    QIcon icona;
    for (const int lato : kLati) icona.addFile(percorsoLogo(lato), QSize(lato, lato));
    return icona;
}

}  // namespace tastalo
