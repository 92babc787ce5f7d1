#include "ui/larghezza_massima.h"

#include <QFont>
#include <algorithm>

namespace tastalo {

LarghezzaMassima::LarghezzaMassima(const QFont& font, QPaintDevice* dispositivo)
    : m_metriche(font, dispositivo),
      m_coppie(static_cast<std::size_t>(kCaratteri) * kCaratteri, Coppia::Ignota) {
    m_avanzamenti.fill(-1.0);
}

double LarghezzaMassima::misuraIntera(QStringView testo) {
    ++m_misurazioniIntere;
    return m_metriche.horizontalAdvance(testo.toString());
}

double LarghezzaMassima::avanzamento(int carattere) {
    double& valore = m_avanzamenti[static_cast<std::size_t>(carattere)];
    if (valore < 0) valore = m_metriche.horizontalAdvance(QString(QChar(char16_t(kPrimo + carattere))));
    return valore;
}

bool LarghezzaMassima::coppiaSemplice(int primo, int secondo) {
    Coppia& stato = m_coppie[static_cast<std::size_t>(primo) * kCaratteri + secondo];
    if (stato == Coppia::Ignota) {
        const QChar coppia[2] = {QChar(char16_t(kPrimo + primo)), QChar(char16_t(kPrimo + secondo))};
        const double insieme = m_metriche.horizontalAdvance(QString(coppia, 2));
        stato = insieme == avanzamento(primo) + avanzamento(secondo) ? Coppia::Semplice : Coppia::Legata;
    }
    return stato == Coppia::Semplice;
}

double LarghezzaMassima::somma(QStringView testo) {
    const QChar* caratteri = testo.constData();
    const qsizetype lunghezza = testo.size();
    double totale = 0;
    int precedente = -1;
    for (qsizetype i = 0; i < lunghezza; ++i) {
        const char16_t c = caratteri[i].unicode();
        if (c < kPrimo || c > kUltimo) return -1;
        const int indice = c - kPrimo;
        if (precedente >= 0 && !coppiaSemplice(precedente, indice)) return -1;
        totale += avanzamento(indice);
        precedente = indice;
    }
    return totale;
}

void LarghezzaMassima::considera(QStringView testo) {
    const double sommata = m_scorciatoia ? somma(testo) : -1;
    if (sommata < 0) {
        m_massimaIntera = std::max(m_massimaIntera, misuraIntera(testo));
        return;
    }
    m_sommati.append(testo);
    if (!m_haSommati || sommata > m_massimaSommata) {
        m_massimaSommata = sommata;
        m_testoSommatoPiuLargo = testo;
        m_haSommati = true;
        m_verificata = false;
    }
}

double LarghezzaMassima::valore() {
    if (m_haSommati && !m_verificata) {
        m_verificata = misuraIntera(m_testoSommatoPiuLargo) == m_massimaSommata;
        if (!m_verificata) {
            // The font shapes these characters in a way that pairs do not show:
            // measure every summed text whole and stop summing.
            for (QStringView testo : std::as_const(m_sommati)) {
                m_massimaIntera = std::max(m_massimaIntera, misuraIntera(testo));
            }
            m_sommati.clear();
            m_haSommati = false;
            m_massimaSommata = 0;
            m_scorciatoia = false;
        }
    }
    return std::max(m_massimaIntera, m_massimaSommata);
}

}  // namespace tastalo
