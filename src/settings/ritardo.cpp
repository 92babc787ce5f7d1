#include "settings/ritardo.h"
#include <QList>
#include <QString>
#include "settings/senza_blank.h"

namespace tastalo {
namespace {

constexpr std::int64_t kMassimo = 2147483647;

// ASCII digits only: other scripts' digits are not a delay.
bool soloCifre(QStringView testo) {
    if (testo.isEmpty()) return false;
    for (const QChar c : testo) {
        if (c < u'0' || c > u'9') return false;
    }
    return true;
}

// The value of a run of digits, leading zeros allowed; nothing when it has
// more digits than any value in range could.
std::optional<std::int64_t> valoreCifre(QStringView cifre) {
    qsizetype zeri = 0;
    while (zeri < cifre.size() && cifre[zeri] == u'0') ++zeri;
    cifre = cifre.sliced(zeri);
    if (cifre.size() > 10) return std::nullopt;
    std::int64_t valore = 0;
    for (const QChar c : cifre) valore = valore * 10 + (c.unicode() - u'0');
    return valore;
}

// Half to even, decided on the digits themselves so that no binary fraction
// moves a value across the half.
bool arrotondaInSu(std::int64_t intera, QStringView frazione) {
    if (frazione.isEmpty() || frazione[0] < u'5') return false;
    if (frazione[0] > u'5') return true;
    for (const QChar c : frazione.sliced(1)) {
        if (c != u'0') return true;
    }
    return intera % 2 != 0;
}

}  // namespace

std::optional<std::int32_t> ritardoDaTesto(QStringView testo) {
    QStringView numero = senzaBlank(testo);
    bool negativo = false;
    if (!numero.isEmpty() && (numero[0] == u'+' || numero[0] == u'-')) {
        negativo = numero[0] == u'-';
        numero = numero.sliced(1);
    }
    const qsizetype virgola = numero.indexOf(u',');
    const QStringView intera = virgola < 0 ? numero : numero.first(virgola);
    const QStringView frazione = virgola < 0 ? QStringView() : numero.sliced(virgola + 1);
    if (intera.isEmpty() && frazione.isEmpty()) return std::nullopt;
    if (!frazione.isEmpty() && !soloCifre(frazione)) return std::nullopt;

    // As Italian numbers are written: "." only between groups of three digits
    // (1.000 is a thousand); any other "." (750.5) is not a delay.
    QString cifre;
    const auto gruppi = intera.split(u'.');
    for (qsizetype g = 0; g < gruppi.size(); ++g) {
        const QStringView gruppo = gruppi[g];
        const bool benFormato = gruppi.size() == 1 ? gruppo.isEmpty() || soloCifre(gruppo)
                                : g == 0           ? soloCifre(gruppo) && gruppo.size() <= 3
                                                   : soloCifre(gruppo) && gruppo.size() == 3;
        if (!benFormato) return std::nullopt;
        cifre += gruppo;
    }

    std::optional<std::int64_t> valore = cifre.isEmpty() ? 0 : valoreCifre(cifre);
    if (!valore) return std::nullopt;
    if (arrotondaInSu(*valore, frazione)) ++*valore;
    // A negative text is accepted only when it rounds to zero.
    if (*valore > kMassimo || (negativo && *valore != 0)) return std::nullopt;
    return static_cast<std::int32_t>(*valore);
}

}  // namespace tastalo
