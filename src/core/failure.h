#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tastalo {

// Where a failure came from. Codes of different sources overlap (SQLite's
// "database is locked" is 5, like a missing target window), so whoever
// shows a failure decides by its source first and its code second.
enum class FailureSource {
    Database,      // SQLite: its result code and message
    Conversion,    // a value the program converts itself (6, 13, 94)
    TargetWindow,  // finding, activating or typing into the target window
    SettingsFile,  // reading or writing spooling.ini
    Program,       // a request the program cannot carry out (no list chosen...)
};

class Failure : public std::runtime_error {
public:
    Failure(FailureSource source, std::int32_t code, const std::string& description)
        : std::runtime_error(description), m_source(source), m_code(code) {}

    FailureSource source() const noexcept { return m_source; }
    std::int32_t code() const noexcept { return m_code; }
    std::string description() const { return what(); }

private:
    FailureSource m_source;
    std::int32_t m_code;
};

// The classic run-time codes for conversions the program makes itself.
namespace conversion {
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kInvalidUseOfNull = 94;

inline Failure overflow() { return {FailureSource::Conversion, kOverflow, "Overflow"}; }
inline Failure typeMismatch() {
    return {FailureSource::Conversion, kTypeMismatch, "Tipo non corrispondente"};
}
inline Failure invalidUseOfNull() {
    return {FailureSource::Conversion, kInvalidUseOfNull, "Utilizzo non valido di Null"};
}
}  // namespace conversion

}  // namespace tastalo
