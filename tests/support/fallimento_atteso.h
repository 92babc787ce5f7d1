#pragma once

#include <gmock/gmock.h>

#include "core/fallimento.h"

namespace tastalo {

// Origins by name in the messages of a failed check.
inline void PrintTo(OrigineFallimento origine, std::ostream* os) {
    static const char* const kNomi[] = {"Database",    "FileCompact",          "ProviderOleDb",
                                        "Conversione", "FinestraDestinazione", "FileImpostazioni",
                                        "Programma"};
    *os << kNomi[static_cast<int>(origine)];
}

}  // namespace tastalo

namespace tastalo::prova {

// Matches an action that throws a Fallimento of `origine` whose code and
// description match `codice` and `descrizione` (values or matchers):
//     EXPECT_THAT([&] { v.comeIntero32(); }, fallisce(OrigineFallimento::Conversione, 6, "Overflow"));
template <typename Codice = decltype(::testing::A<std::int32_t>()),
          typename Descrizione = decltype(::testing::A<std::string>())>
auto fallisce(OrigineFallimento origine, Codice codice = ::testing::A<std::int32_t>(),
              Descrizione descrizione = ::testing::A<std::string>()) {
    return ::testing::Throws<Fallimento>(
        ::testing::AllOf(::testing::Property("origine", &Fallimento::origine, origine),
                         ::testing::Property("codice", &Fallimento::codice, codice),
                         ::testing::Property("descrizione", &Fallimento::descrizione, descrizione)));
}

}  // namespace tastalo::prova
