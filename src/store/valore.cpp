#include "store/valore.h"

#include <QLocale>
#include <QStringDecoder>
#include <QStringView>
#include <cmath>
#include <limits>
#include <optional>

#include "core/fallimento.h"

namespace tastalo {

namespace {

constexpr auto kMinimo32 = std::numeric_limits<std::int32_t>::min();
constexpr auto kMassimo32 = std::numeric_limits<std::int32_t>::max();

QString realeComeTesto(double v) { return QString::number(v, 'g', QLocale::FloatingPointShortest); }

std::int32_t daIntero64(std::int64_t v) {
    if (v < kMinimo32 || v > kMassimo32) throw conversione::overflow();
    return static_cast<std::int32_t>(v);
}

std::int32_t daReale(double v) {
    if (std::isnan(v)) throw conversione::tipoNonCorrispondente();
    if (std::isinf(v)) throw conversione::overflow();
    if (v != std::trunc(v)) throw conversione::tipoNonCorrispondente();
    if (v < static_cast<double>(kMinimo32) || v > static_cast<double>(kMassimo32)) {
        throw conversione::overflow();
    }
    return static_cast<std::int32_t>(v);
}

bool eCifra(QChar c) { return c >= u'0' && c <= u'9'; }

// A sign and decimal digits only. Anything else is left to the decimal
// reading below. The value saturates far beyond the 32-bit range, which is
// enough to tell an overflow.
std::optional<std::int64_t> interoDecimale(QStringView t) {
    qsizetype i = 0;
    bool negativo = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) negativo = t[i++] == u'-';
    if (i == t.size()) return std::nullopt;
    std::int64_t v = 0;
    constexpr std::int64_t kSaturazione = std::int64_t{1} << 40;
    for (; i < t.size(); ++i) {
        if (!eCifra(t[i])) return std::nullopt;
        if (v < kSaturazione) v = v * 10 + (t[i].unicode() - u'0');
    }
    return negativo ? -v : v;
}

// Digits with an optional point and exponent ("7.0", "1e3"); no words such
// as "inf" or "nan", which QLocale would accept.
bool isNumeroDecimale(QStringView t) {
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
    qsizetype cifre = 0;
    for (; i < t.size() && eCifra(t[i]); ++i) ++cifre;
    if (i < t.size() && t[i] == u'.') {
        for (++i; i < t.size() && eCifra(t[i]); ++i) ++cifre;
    }
    if (cifre == 0) return false;
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
        qsizetype esponente = 0;
        for (; i < t.size() && eCifra(t[i]); ++i) ++esponente;
        if (esponente == 0) return false;
    }
    return i == t.size();
}

std::int32_t daTesto(const QString& testo) {
    const QString t = testo.trimmed();
    if (const auto intero = interoDecimale(t)) return daIntero64(*intero);
    if (!isNumeroDecimale(t)) throw conversione::tipoNonCorrispondente();
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    // Out of the range of a double ("1e999") is an overflow too.
    if (!ok) throw conversione::overflow();
    return daReale(v);
}

// Bytes that are UTF-8 text without control characters; anything else
// would show as nothing, or as boxes, in place of a barcode.
std::optional<QString> byteComeTesto(const QByteArray& byte) {
    for (const char c : byte) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString testo = utf8.decode(byte);
    if (utf8.hasError()) return std::nullopt;
    return testo;
}

template <class... Casi>
struct Visita : Casi... {
    using Casi::operator()...;
};

}  // namespace

std::optional<QString> Valore::testoVisibile() const {
    return std::visit(Visita{
                          [](std::monostate) -> std::optional<QString> { return QString(); },
                          [](std::int64_t v) -> std::optional<QString> { return QString::number(v); },
                          [](double v) -> std::optional<QString> { return realeComeTesto(v); },
                          [](const QString& v) -> std::optional<QString> { return v; },
                          [](const Binario& v) { return byteComeTesto(v.byte); },
                      },
                      m_dato);
}

QString Valore::comeTestoVisibile() const { return testoVisibile().value_or(QString()); }

QString Valore::comeTesto() const {
    if (nullo()) throw conversione::usoNonValidoDiNull();
    // The send types text only: bytes are refused whatever they hold.
    if (std::holds_alternative<Binario>(m_dato)) throw conversione::tipoNonCorrispondente();
    return comeTestoVisibile();
}

std::int32_t Valore::comeIntero32() const {
    return std::visit(Visita{
                          [](std::monostate) -> std::int32_t { throw conversione::usoNonValidoDiNull(); },
                          [](std::int64_t v) { return daIntero64(v); },
                          [](double v) { return daReale(v); },
                          [](const QString& v) { return daTesto(v); },
                          [](const Binario&) -> std::int32_t { throw conversione::tipoNonCorrispondente(); },
                      },
                      m_dato);
}

}  // namespace tastalo
