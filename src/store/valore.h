#pragma once

#include <QString>
#include <cstdint>
#include <variant>

namespace tastalo {

// One field value of a query result: null, integer, real or text.
class Valore {
public:
    Valore() = default;  // null
    static Valore intero(std::int64_t v) { return Valore(Dato(v)); }
    static Valore reale(double v) { return Valore(Dato(v)); }
    static Valore testo(QString v) { return Valore(Dato(std::move(v))); }

    bool isNull() const { return std::holds_alternative<std::monostate>(m_dato); }
    bool isIntero() const { return std::holds_alternative<std::int64_t>(m_dato); }
    bool isReale() const { return std::holds_alternative<double>(m_dato); }
    bool isTesto() const { return std::holds_alternative<QString>(m_dato); }

    // For showing: integers in decimal, reals in their shortest form, text
    // unchanged, null as empty text.
    QString comeTestoVisibile() const;
    // For reading a value that must be text (a barcode to type): null fails
    // with 94 "Utilizzo non valido di Null".
    QString comeTesto() const;
    // A list id: the value as a 32-bit signed integer. Null fails with 94, a
    // value out of range with 6 "Overflow", a value that is not integer-valued
    // or not a number with 13 "Tipo non corrispondente".
    std::int32_t comeIntero32() const;

private:
    using Dato = std::variant<std::monostate, std::int64_t, double, QString>;
    explicit Valore(Dato dato) : m_dato(std::move(dato)) {}
    Dato m_dato;
};

}  // namespace tastalo
