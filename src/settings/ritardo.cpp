#include "settings/ritardo.h"
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
    qsizetype separatore = numero.indexOf(u'.');
    if (separatore < 0) separatore = numero.indexOf(u',');
    const QStringView intera = separatore < 0 ? numero : numero.first(separatore);
    const QStringView frazione = separatore < 0 ? QStringView() : numero.sliced(separatore + 1);

    if (intera.isEmpty() && frazione.isEmpty()) return std::nullopt;
    if (!intera.isEmpty() && !soloCifre(intera)) return std::nullopt;
    if (!frazione.isEmpty() && !soloCifre(frazione)) return std::nullopt;

    std::optional<std::int64_t> valore = intera.isEmpty() ? 0 : valoreCifre(intera);
    if (!valore) return std::nullopt;
    if (arrotondaInSu(*valore, frazione)) ++*valore;
    // A negative text is accepted only when it rounds to zero.
    if (*valore > kMassimo || (negativo && *valore != 0)) return std::nullopt;
    return static_cast<std::int32_t>(*valore);
}

}  // namespace tastalo
