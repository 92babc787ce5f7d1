#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <variant>

namespace tastalo {

// One field value of a query result: null, integer, real, text or binary
// (an SQLite blob, a Compact varbinary or image).
class Valore {
public:
    Valore() = default;  // null
    static Valore intero(std::int64_t v) { return Valore(Dato(v)); }
    static Valore reale(double v) { return Valore(Dato(v)); }
    static Valore testo(QString v) { return Valore(Dato(std::move(v))); }
    static Valore binario(QByteArray byte = {}) { return Valore(Dato(Binario{std::move(byte)})); }

    bool nullo() const { return std::holds_alternative<std::monostate>(m_dato); }

    // For showing: integers in decimal, reals in their shortest form (a point
    // before the decimals), text unchanged, null as empty text, binary as its
    // bytes read as UTF-8 text (as SQLite turns a blob into text). Nothing for
    // bytes that are no such text: invalid UTF-8, or control characters.
    std::optional<QString> testoVisibile() const;
    // testoVisibile, or empty text where there is none.
    QString comeTestoVisibile() const;
    // For reading a value that must be text (a barcode to type): numbers as
    // comeTestoVisibile gives them; null fails with 94 "Utilizzo non valido
    // di Null", binary with 13 "Tipo non corrispondente".
    QString comeTesto() const;
    // A list id: the value as a 32-bit signed integer. Null fails with 94, a
    // value out of range with 6 "Overflow", a value that is not integer-valued
    // or not a number with 13 "Tipo non corrispondente". Integer-valued reals
    // and text holding a whole number (blanks around it allowed) convert.
    std::int32_t comeIntero32() const;

private:
    struct Binario {
        QByteArray byte;
    };
    using Dato = std::variant<std::monostate, std::int64_t, double, QString, Binario>;
    explicit Valore(Dato dato) : m_dato(std::move(dato)) {}
    Dato m_dato;
};

}  // namespace tastalo
