#include "store/compact/valore_compact.h"

#include <cstdio>

namespace tastalo::compact {

namespace {

constexpr std::int64_t kMillisecondiGiorno = 86'400'000;
// 1900-01-01, where datetime counts from, is this many days before 1970-01-01.
constexpr std::int64_t kGiorni1900a1970 = 25'567;

struct Data {
    std::int64_t anno;
    unsigned mese;
    unsigned giorno;
};

// Days since 1970-01-01 to the proleptic Gregorian date (H. Hinnant's
// civil_from_days).
Data dataDaGiorni(std::int64_t giorni) {
    giorni += 719'468;
    const std::int64_t era = (giorni >= 0 ? giorni : giorni - 146'096) / 146'097;
    const auto doe = static_cast<unsigned>(giorni - era * 146'097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned giorno = doy - (153 * mp + 2) / 5 + 1;
    const unsigned mese = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yoe) + era * 400 + (mese <= 2 ? 1 : 0), mese, giorno};
}

}  // namespace

std::string testoDataOra(const DataOra& valore) {
    // 1/300 s to the nearest millisecond: 1 tick is .003, 2 ticks .007.
    const std::int64_t millisecondi = (static_cast<std::int64_t>(valore.tick) * 10 + 1) / 3;
    const std::int64_t totale = static_cast<std::int64_t>(valore.giorni) * kMillisecondiGiorno + millisecondi;
    std::int64_t giorni = totale / kMillisecondiGiorno;
    std::int64_t resto = totale % kMillisecondiGiorno;
    if (resto < 0) {
        resto += kMillisecondiGiorno;
        --giorni;
    }
    const Data data = dataDaGiorni(giorni - kGiorni1900a1970);
    char testo[64];
    std::snprintf(testo, sizeof testo, "%04lld-%02u-%02u %02lld:%02lld:%02lld.%03lld",
                  static_cast<long long>(data.anno), data.mese, data.giorno,
                  static_cast<long long>(resto / 3'600'000), static_cast<long long>(resto / 60'000 % 60),
                  static_cast<long long>(resto / 1000 % 60), static_cast<long long>(resto % 1000));
    return testo;
}

std::string testoDenaro(const Denaro& valore) {
    const bool negativo = valore.decimillesimi < 0;
    // The magnitude as unsigned, so that the most negative value has one too.
    const std::uint64_t grandezza = negativo ? 0 - static_cast<std::uint64_t>(valore.decimillesimi)
                                             : static_cast<std::uint64_t>(valore.decimillesimi);
    char testo[32];
    std::snprintf(testo, sizeof testo, "%s%llu.%04llu", negativo ? "-" : "",
                  static_cast<unsigned long long>(grandezza / 10'000),
                  static_cast<unsigned long long>(grandezza % 10'000));
    return testo;
}

std::string testoGuid(const Guid& valore) {
    const auto& b = valore.byte;
    char testo[40];
    std::snprintf(testo, sizeof testo, "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                  b[3], b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    return testo;
}

}  // namespace tastalo::compact
