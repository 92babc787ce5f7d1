#include "store/recordset.h"

#include "core/fallimento.h"
#include "store/recordset_impl.h"
#include "store/sqlite_fallimento.h"

namespace tastalo {

namespace {
constexpr const char* kChiuso = "the result is closed";
constexpr const char* kNessunaRiga = "no current row";
constexpr const char* kFuoriIntervallo = "column index out of range";
}  // namespace

Recordset::Recordset(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
Recordset::~Recordset() = default;

bool Recordset::aperto() const { return m_impl->aperto(); }

void Recordset::chiudi() noexcept { m_impl->chiudi(); }

void Recordset::richiediAperto() const {
    if (!m_impl->aperto()) sqlite::fallisci(SQLITE_MISUSE, kChiuso);
}

void Recordset::richiediRiga() const {
    richiediAperto();
    if (!m_impl->riga()) sqlite::fallisci(SQLITE_MISUSE, kNessunaRiga);
}

bool Recordset::allaFine() const {
    richiediAperto();
    return !m_impl->riga();
}

void Recordset::avanti() {
    richiediRiga();
    m_impl->avanti();
}

void Recordset::primo() {
    richiediAperto();
    m_impl->primo();
}

int Recordset::numeroCampi() const {
    richiediAperto();
    return static_cast<int>(m_impl->nomi().size());
}

QString Recordset::nomeCampo(int posizione) const {
    if (posizione < 0 || posizione >= numeroCampi()) sqlite::fallisci(SQLITE_RANGE, kFuoriIntervallo);
    return m_impl->nomi()[static_cast<std::size_t>(posizione)];
}

Valore Recordset::campo(int posizione) const {
    richiediRiga();
    if (posizione < 0 || posizione >= numeroCampi()) sqlite::fallisci(SQLITE_RANGE, kFuoriIntervallo);
    return m_impl->valore(posizione);
}

Valore Recordset::campo(QStringView nome) const {
    const int posizione = indiceCampo(nome);
    if (posizione < 0) {
        throw Fallimento(OrigineFallimento::Database, SQLITE_ERROR,
                         "no such column: " + nome.toString().toStdString());
    }
    return campo(posizione);
}

int Recordset::indiceCampo(QStringView nome) const {
    richiediAperto();
    if (m_impl->ultimaPosizione >= 0 && nome == m_impl->ultimoNome) return m_impl->ultimaPosizione;
    const auto& nomi = m_impl->nomi();
    for (std::size_t i = 0; i < nomi.size(); ++i) {
        if (nome.compare(nomi[i], Qt::CaseInsensitive) == 0) {
            m_impl->ultimoNome = nome.toString();
            m_impl->ultimaPosizione = static_cast<int>(i);
            return m_impl->ultimaPosizione;
        }
    }
    return -1;
}

}  // namespace tastalo
