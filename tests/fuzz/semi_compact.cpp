// Writes the fuzzer's seed files into the folder given: small files of the
// test writer that reach every part of the reader (catalog, split rows, every
// type, older copies, each engine version).

#include <cstdio>
#include <filesystem>

#include "support/compact/liste_compact.h"
#include "support/compact/scrittore_compact.h"

using namespace tastalo::prova::compact;
namespace compact = tastalo::compact;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path cartella = argv[1];

    const std::vector<TabellaScritta> liste =
        databaseListe({{1, u"Magazzino", {u"8001234567897", u"4006381333931"}}, {2, u"Città ☃", {u"1"}}});
    const TabellaScritta tipi{
        "tipi",
        {{"a", tipo::kTinyint},
         {"b", tipo::kSmallint},
         {"c", tipo::kInt},
         {"d", tipo::kBigint},
         {"e", tipo::kBit},
         {"f", tipo::kReal},
         {"g", tipo::kFloat},
         {"h", tipo::kMoney},
         {"i", tipo::kDatetime},
         {"j", tipo::kUniqueidentifier},
         {"k", tipo::kNvarchar},
         {"l", tipo::kNtext},
         {"m", tipo::kVarbinary}},
        {{std::int64_t{1}, std::int64_t{-2}, std::int64_t{3}, std::int64_t{-4}, std::int64_t{1}, 0.5, 0.25,
          compact::Denaro{123456}, compact::DataOra{40000, 12345}, compact::Guid{{1, 2, 3}},
          std::u16string(u"x€"), std::u16string(u"nota"), compact::Binario{1, 2}},
         RigaScritta(13)}};
    TabellaScritta lunghe{"lunghe", {{"t", tipo::kNvarchar, 8000}}, {}};
    for (int i = 0; i < 3; ++i) lunghe.righe.push_back({std::u16string(1500 + 700 * i, u'a')});

    Opzioni vecchie;
    vecchie.copieVecchie = true;
    Opzioni quattro;
    quattro.versione = kVersione40;
    quattro.lcid = 5129;
    try {
        scriviFileCompact(cartella / "liste.sdf", liste);
        scriviFileCompact(cartella / "tipi.sdf", {tipi});
        scriviFileCompact(cartella / "lunghe.sdf", {lunghe});
        scriviFileCompact(cartella / "vecchie.sdf", liste, vecchie);
        scriviFileCompact(cartella / "quattro.sdf", {tipi}, quattro);
        scriviFileCompact(cartella / "vuoto.sdf", {});
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
