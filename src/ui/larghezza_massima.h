#pragma once

#include <QFontMetricsF>
#include <QList>
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <vector>

class QFont;
class QPaintDevice;

namespace tastalo {

// The widest of many single-line texts in one font, in pixels: the same value
// as the largest QFontMetricsF::horizontalAdvance of the texts, found without
// shaping each text. Shaping costs a few microseconds a call, too much for a
// list of 32,767 barcodes.
//
// A text made only of printable ASCII characters, none of whose neighbouring
// pairs the font kerns or joins, measures as the sum of its characters'
// advances (both are sums of the same glyph advances in 1/64 pixel, so the sum
// is exact). Such texts are summed from a table of single characters; whether
// a pair is plain is learnt by measuring it once. Every other text is measured
// whole. At the end the widest summed text is measured whole as a check; if
// it disagrees, every summed text is measured again, so the result never
// rests on the shortcut alone.
//
// The texts are not copied: each must stay as it is until valore() returns.
class LarghezzaMassima {
public:
    explicit LarghezzaMassima(const QFont& font, QPaintDevice* dispositivo = nullptr);

    void considera(QStringView testo);
    // The widest advance so far; 0 when no text was considered.
    double valore();

    // How many texts were shaped whole: for checking that the shortcut works.
    int misurazioniIntere() const { return m_misurazioniIntere; }

private:
    static constexpr char16_t kPrimo = 0x20;
    static constexpr char16_t kUltimo = 0x7E;
    static constexpr int kCaratteri = kUltimo - kPrimo + 1;
    enum class Coppia : std::uint8_t { Ignota, Semplice, Legata };

    double misuraIntera(QStringView testo);
    double avanzamento(int carattere);
    bool coppiaSemplice(int primo, int secondo);
    // The summed width, or a negative value when the text must be measured whole.
    double somma(QStringView testo);

    QFontMetricsF m_metriche;
    std::array<double, kCaratteri> m_avanzamenti;
    std::vector<Coppia> m_coppie;
    double m_massimaIntera = 0;
    double m_massimaSommata = 0;
    QStringView m_testoSommatoPiuLargo;
    bool m_haSommati = false;
    bool m_verificata = false;
    bool m_scorciatoia = true;
    QList<QStringView> m_sommati;
    int m_misurazioniIntere = 0;
};

}  // namespace tastalo
