#include "store/recordset.h"

#include "store/sqlite_impl.h"

namespace tastalo {

namespace {
constexpr const char* kChiuso = "the result is closed";
constexpr const char* kNessunaRiga = "no current row";
constexpr const char* kFuoriIntervallo = "column index out of range";
}  // namespace

Recordset::Impl::Impl(const QString& percorso, int attesaMs, const QString& istruzione)
    : db(sqlite::apri(percorso, SQLite::OPEN_READONLY, attesaMs)) {
    const QByteArray testo = istruzione.toUtf8();
    sqlite3_stmt* s = nullptr;
    const int codice =
        sqlite3_prepare_v2(db->getHandle(), testo.constData(), static_cast<int>(testo.size()), &s, nullptr);
    statement.reset(s);
    if (codice != SQLITE_OK) sqlite::fallisci(db->getHandle(), codice);
    if (!statement) sqlite::fallisci(SQLITE_ERROR, "the statement is empty");

    const int colonne = sqlite3_column_count(s);
    nomi.reserve(static_cast<std::size_t>(colonne));
    for (int i = 0; i < colonne; ++i) nomi.push_back(QString::fromUtf8(sqlite3_column_name(s, i)));
    passo();
}

void Recordset::Impl::passo() {
    const int codice = sqlite3_step(statement.get());
    if (codice == SQLITE_ROW) {
        riga = true;
        return;
    }
    riga = false;
    if (codice != SQLITE_DONE) sqlite::fallisci(db->getHandle(), codice);
}

void Recordset::Impl::richiediAperto() const {
    if (!statement) sqlite::fallisci(SQLITE_MISUSE, kChiuso);
}

void Recordset::Impl::richiediRiga() const {
    richiediAperto();
    if (!riga) sqlite::fallisci(SQLITE_MISUSE, kNessunaRiga);
}

Valore Recordset::Impl::valore(int posizione) const {
    richiediRiga();
    if (posizione < 0 || posizione >= static_cast<int>(nomi.size())) {
        sqlite::fallisci(SQLITE_RANGE, kFuoriIntervallo);
    }
    sqlite3_stmt* s = statement.get();
    switch (sqlite3_column_type(s, posizione)) {
        case SQLITE_NULL: return {};
        case SQLITE_INTEGER: return Valore::intero(sqlite3_column_int64(s, posizione));
        case SQLITE_FLOAT: return Valore::reale(sqlite3_column_double(s, posizione));
        case SQLITE_TEXT: {
            // The text pointer first, then its length in bytes, as SQLite asks.
            const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(s, posizione));
            const int byte = sqlite3_column_bytes(s, posizione);
            return Valore::testo(QString::fromUtf8(utf8, byte));
        }
        default: return Valore::binario();
    }
}

void Recordset::Impl::chiudi() noexcept {
    statement.reset();
    db.reset();
    riga = false;
}

Recordset::Recordset(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
Recordset::~Recordset() = default;

bool Recordset::aperto() const { return m_impl->statement != nullptr; }

void Recordset::chiudi() noexcept { m_impl->chiudi(); }

bool Recordset::allaFine() const {
    m_impl->richiediAperto();
    return !m_impl->riga;
}

void Recordset::avanti() {
    m_impl->richiediRiga();
    m_impl->passo();
}

void Recordset::primo() {
    m_impl->richiediAperto();
    // reset() repeats the error of a failed step, which was reported then.
    sqlite3_reset(m_impl->statement.get());
    m_impl->passo();
}

int Recordset::numeroCampi() const {
    m_impl->richiediAperto();
    return static_cast<int>(m_impl->nomi.size());
}

QString Recordset::nomeCampo(int posizione) const {
    m_impl->richiediAperto();
    if (posizione < 0 || posizione >= numeroCampi()) sqlite::fallisci(SQLITE_RANGE, kFuoriIntervallo);
    return m_impl->nomi[static_cast<std::size_t>(posizione)];
}

Valore Recordset::campo(int posizione) const { return m_impl->valore(posizione); }

Valore Recordset::campo(QStringView nome) const {
    const int posizione = indiceCampo(nome);
    if (posizione < 0) {
        throw Fallimento(OrigineFallimento::Database, SQLITE_ERROR,
                         "no such column: " + nome.toString().toStdString());
    }
    return m_impl->valore(posizione);
}

int Recordset::indiceCampo(QStringView nome) const {
    m_impl->richiediAperto();
    if (m_impl->ultimaPosizione >= 0 && nome == m_impl->ultimoNome) return m_impl->ultimaPosizione;
    const auto& nomi = m_impl->nomi;
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
