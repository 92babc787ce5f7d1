#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "campioni_compact.h"
#include "store/compact/fallimento_compact.h"
#include "support/fallimento_atteso.h"
#include "support/temp_folder.h"

namespace tastalo::prova {
namespace {

using namespace tastalo::compact;
using ::testing::HasSubstr;
using Byte = std::vector<std::uint8_t>;

constexpr std::size_t kPagina = 4096;

std::uint32_t leggi32(const Byte& b, std::size_t i) {
    return static_cast<std::uint32_t>(b[i] | b[i + 1] << 8 | b[i + 2] << 16) |
           static_cast<std::uint32_t>(b[i + 3]) << 24;
}
void scrivi32(Byte& b, std::size_t i, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) b[i + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v >> (8 * k));
}

// Where Northwind keeps its things: the map root names one map page, whose
// entries (three 20-bit page numbers to a u64) start at logical id 1027.
std::size_t voceMappa(const Byte& b, std::uint32_t id, int& spostamento) {
    const std::size_t mappa = leggi32(b, kPagina * leggi32(b, 0x2C) + 16);
    spostamento = static_cast<int>(20 * ((id - 1027) % 3));
    return kPagina * mappa + 16 + 8 * ((id - 1027) / 3);
}
std::size_t fisica(const Byte& b, std::uint32_t id) {
    int spostamento = 0;
    const std::size_t voce = voceMappa(b, id, spostamento);
    const std::uint64_t parola = leggi32(b, voce) | static_cast<std::uint64_t>(leggi32(b, voce + 4)) << 32;
    return kPagina * ((parola >> spostamento) & 0xFFFFF);
}
std::size_t slot(const Byte& b, std::uint32_t id, std::uint32_t k) {
    return fisica(b, id) + kPagina - 4 - 4 * k;
}
std::size_t record(const Byte& b, std::uint32_t id, std::uint32_t k) {
    return fisica(b, id) + 0x18 + (leggi32(b, slot(b, id, k)) & 0xFFF);
}

// Pages of Northwind used below: 1040 holds the head of customer FURIB
// (slot 27), continued at 1041 slot 0; 1069 is the Shippers page; 1046 holds
// the Categories, whose first Picture starts on long-value page 1043.
constexpr std::uint32_t kClienti = 1040;
constexpr std::uint32_t kContinuazione = 1041;
constexpr std::uint32_t kSpedizionieri = 1069;
constexpr std::uint32_t kCategorie = 1046;

class DanniCompact : public CampioniCompact {
protected:
    void SetUp() override {
        CampioniCompact::SetUp();
        if (IsSkipped()) return;
        originale = byteDi(campioneCompact("Northwind.sdf"));
        percorso = std::filesystem::path(cartella.file(QStringLiteral("Northwind.sdf")).toStdU16String());
    }

    TempFolder cartella;
    Byte originale;
    std::filesystem::path percorso;
};

TEST_F(DanniCompact, EachDamageIsRefusedWithItsCodeAndPlace) {
    const struct {
        const char* danno;
        std::function<void(Byte&)> muta;
        std::int32_t codice;
        const char* parole;
    } casi[] = {
        {"cut in the middle of a page", [](Byte& b) { b.erase(b.end() - 100, b.end()); }, kFileTroncato,
         "numero intero di pagine"},
        {"last pages cut off", [](Byte& b) { b.resize(300 * kPagina); }, kFileTroncato,
         "oltre la fine del file (300"},
        {"map entry beyond the end",
         [](Byte& b) {
             int spostamento = 0;
             const std::size_t voce = voceMappa(b, kSpedizionieri, spostamento);
             for (int bit = 0; bit < 20; ++bit) {
                 const int n = spostamento + bit;
                 b[voce + static_cast<std::size_t>(n / 8)] |= static_cast<std::uint8_t>(1 << (n % 8));
             }
         },
         kFileTroncato, "la pagina 1048575 (id logico 1069)"},
        {"current page names another logical id",
         [](Byte& b) { scrivi32(b, fisica(b, kClienti) + 4, 4u << 20 | 1041); }, kFileDanneggiato,
         "dichiara l'id logico 1041"},
        {"map root that is not one", [](Byte& b) { scrivi32(b, 0x2C, leggi32(b, 0x2C) + 1); },
         kFileDanneggiato, "radice della mappa"},
        {"fragment pointing to itself",
         [](Byte& b) { scrivi32(b, record(b, kContinuazione, 0), kContinuazione << 12); }, kFileDanneggiato,
         "tabella Customers, pagina 1040, slot 27: i frammenti della riga formano un ciclo"},
        {"slot length past the page", [](Byte& b) { b[slot(b, kSpedizionieri, 0) + 2] = 0xFF; },
         kFileDanneggiato, "tabella Shippers, pagina 1069, slot 0: il record"},
        {"column offset past the record",
         [](Byte& b) {
             // After the fragment pointer: column count, null bitmap, Shipper ID.
             const std::size_t offset = record(b, kSpedizionieri, 0) + 4 + 4 + 1 + 4;
             b[offset] = 0xF0;
             b[offset + 1] = 0xFF;
         },
         kFileDanneggiato, "tabella Shippers, colonna Company Name, pagina 1069, slot 0"},
        {"long value naming a heap page",
         [](Byte& b) {
             // Category 1: pointer, count, null bitmap, Category ID, three
             // offsets, the name (9), Description (8 + 82), Picture's length.
             const std::size_t riferimenti = record(b, kCategorie, 0) + 4 + 4 + 1 + 4 + 6 + 9 + 90 + 8;
             b[riferimenti] = kCategorie & 0xFF;
         },
         kFileDanneggiato, "la pagina logica 1046 è di tipo 4 invece di 5"},
        {"unknown engine version", [](Byte& b) { scrivi32(b, 0x10, 0x002DD714); }, kVersioneSconosciuta,
         "0x002DD714"},
        {"encryption marker", [](Byte& b) { b[0x50] = 0x2A; }, kFileCifrato, "cifrato"},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.danno);
        Byte byte = originale;
        caso.muta(byte);
        scrivi(percorso, byte);
        EXPECT_THAT(
            [&] {
                FileCompact file(percorso);
                leggiTutto(file);
            },
            fallisce(OrigineFallimento::FileCompact, caso.codice, HasSubstr(caso.parole)));
    }
}

TEST_F(DanniCompact, RandomByteFlipsOnlyEverFailAsFallimento) {
    // The map, the catalog and the heap pages: flipped a few bytes at a time,
    // then every table read whole.
    std::vector<std::size_t> pagine = {leggi32(originale, 0x2C),
                                       leggi32(originale, kPagina * leggi32(originale, 0x2C) + 16)};
    for (std::uint32_t id = 1027; id < 1027 + 1527; ++id) {
        const std::size_t inizio = fisica(originale, id);
        if (inizio != 0 && originale[inizio + 6] >> 4 == 4) pagine.push_back(inizio / kPagina);
    }
    scrivi(percorso, originale);
    std::fstream file(percorso, std::ios::binary | std::ios::in | std::ios::out);
    const auto metti = [&](std::size_t dove, std::uint8_t valore) {
        file.seekp(static_cast<std::streamoff>(dove));
        file.put(static_cast<char>(valore));
        file.flush();
    };
    int rifiutati = 0;
    const auto leggiORifiuta = [&] {
        try {
            FileCompact compact(percorso);
            leggiTutto(compact);
        } catch (const Fallimento& errore) {
            EXPECT_EQ(errore.origine(), OrigineFallimento::FileCompact);
            ++rifiutati;
        }
    };
    std::mt19937 caso(20240611);
    for (int giro = 0; giro < 200; ++giro) {
        SCOPED_TRACE(giro);
        std::vector<std::size_t> cambiati;
        for (int i = 0; i < 15; ++i) {
            cambiati.push_back(pagine[caso() % pagine.size()] * kPagina + caso() % kPagina);
            metti(cambiati.back(), originale[cambiati.back()] ^ static_cast<std::uint8_t>(1 + caso() % 255));
        }
        EXPECT_NO_THROW(leggiORifiuta());
        for (std::size_t dove : cambiati) metti(dove, originale[dove]);
    }
    EXPECT_GT(rifiutati, 30);
}

TEST_F(DanniCompact, CoherentReadRunsAgainOnceWhenTheFileIsWrittenMeanwhile) {
    const struct {
        int scritture;
        int esecuzioni;
        bool fallisce;
    } casi[] = {{0, 1, false}, {1, 2, false}, {2, 2, true}};
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.scritture);
        scrivi(percorso, originale);
        int esecuzioni = 0;
        const auto lettura = [&](FileCompact& file) {
            ++esecuzioni;
            EXPECT_EQ(leggiTutto(file).at("Orders"), 1077u);
            if (esecuzioni <= caso.scritture) {
                // A commit as the engine makes one: the counter moves on.
                Byte byte = originale;
                scrivi32(byte, 0x08, leggi32(byte, 0x08) + static_cast<std::uint32_t>(esecuzioni));
                scrivi(percorso, byte);
                EXPECT_FALSE(file.invariato());
            }
        };
        if (caso.fallisce) {
            EXPECT_THAT([&] { leggiCoerente(percorso, lettura); },
                        fallisce(OrigineFallimento::FileCompact, kFileCambiato));
        } else {
            leggiCoerente(percorso, lettura);
        }
        EXPECT_EQ(esecuzioni, caso.esecuzioni);
    }
}

}  // namespace
}  // namespace tastalo::prova
