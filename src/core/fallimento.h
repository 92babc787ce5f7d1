#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tastalo {

// Where a failure came from. Codes of different origins overlap (SQLite's
// "database is locked" is 5, like a missing target window), so whoever
// shows a failure decides by its origin first and its code second.
enum class OrigineFallimento {
    Database,              // SQLite: its result code and message
    FileCompact,           // a SQL Server Compact file, read by the program's own reader
    ProviderOleDb,         // an OLE DB provider (Windows): its HRESULT and its own words
    Conversione,           // a value the program converts itself (6, 13, 94)
    FinestraDestinazione,  // finding, activating or typing into the target window
    FileImpostazioni,      // reading or writing spooling.ini
    Programma,             // a request the program cannot carry out (no list chosen...)
};

// A failure with its code and description (UTF-8), thrown by the layers
// below the windows and shown by them.
class Fallimento : public std::runtime_error {
public:
    Fallimento(OrigineFallimento origine, std::int32_t codice, const std::string& descrizione)
        : std::runtime_error(descrizione), m_origine(origine), m_codice(codice) {}

    OrigineFallimento origine() const noexcept { return m_origine; }
    std::int32_t codice() const noexcept { return m_codice; }
    std::string descrizione() const { return what(); }

private:
    OrigineFallimento m_origine;
    std::int32_t m_codice;
};

// The classic run-time codes for conversions the program makes itself.
namespace conversione {
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kTipoNonCorrispondente = 13;
inline constexpr std::int32_t kUsoNonValidoDiNull = 94;

inline Fallimento overflow() { return {OrigineFallimento::Conversione, kOverflow, "Overflow"}; }
inline Fallimento tipoNonCorrispondente() {
    return {OrigineFallimento::Conversione, kTipoNonCorrispondente, "Tipo non corrispondente"};
}
inline Fallimento usoNonValidoDiNull() {
    return {OrigineFallimento::Conversione, kUsoNonValidoDiNull, "Utilizzo non valido di Null"};
}
}  // namespace conversione

}  // namespace tastalo
