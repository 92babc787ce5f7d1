#include "support/compact/catalogo_compact.h"

#include <optional>
#include <stdexcept>
#include <vector>

#include "support/compact/riga_compact.h"

namespace tastalo::prova::compact::dettaglio {

namespace {

constexpr std::uint32_t kColonneCatalogo = 38;
constexpr std::size_t kFissiCatalogo = 60;
constexpr std::size_t kVariabiliCatalogo = 10;
constexpr std::uint32_t kTipoTabella = 1;
constexpr std::uint32_t kTipoColonna = 4;

// Column flags: stored at a fixed place, nullable, not an identity.
constexpr std::uint16_t kFissa = 0x08;
constexpr std::uint16_t kNullabile = 0x10;
constexpr std::uint16_t kNonIdentita = 0x20;

// How the engine classes a column's storage (+14 of a column row).
std::uint16_t classe(std::uint16_t t, std::uint32_t versione) {
    switch (t) {
        case tipo::kTinyint: return 0x02;
        case tipo::kSmallint: return versione == kVersione40 ? 0x03 : 0x02;
        case tipo::kReal:
        case tipo::kFloat: return 0x05;
        case tipo::kBit: return 0x0B;
        case tipo::kDatetime: return 0x40;
        case tipo::kUniqueidentifier: return 0x65;
        case tipo::kNvarchar: return 0x1F;
        case tipo::kNtext: return 0x64;
        case tipo::kVarbinary: return 0x41;
        default: return 0x03;  // int, bigint, money
    }
}

Byte catalogo(const Byte& nulli, const Byte& fissi, const std::string& padre, const std::string& nome) {
    auto stringa = [](const std::string& s) {
        Variabile v{Byte(s.begin(), s.end()), true};
        v.dati.push_back(0);
        return std::optional<Variabile>(std::move(v));
    };
    std::vector<std::optional<Variabile>> variabili(kVariabiliCatalogo);
    variabili[0] = stringa(padre);
    variabili[1] = stringa(nome);
    return componiRecord(kColonneCatalogo, nulli, {}, fissi, variabili);
}

void mettiNumero(Byte& fissi, std::uint16_t numero) {
    // Big-endian, unlike everything else in the row.
    fissi[10] = static_cast<std::uint8_t>(numero >> 8);
    fissi[11] = static_cast<std::uint8_t>(numero);
}

}  // namespace

std::string latin1(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size() &&
                   (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
            out.push_back(
                static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F)));
            i += 2;
        } else {
            throw std::invalid_argument("nome non Latin-1: " + utf8);
        }
    }
    if (out.empty()) throw std::invalid_argument("nome vuoto");
    return out;
}

Byte rigaCatalogoTabella(const std::string& nomeLatin1, std::uint32_t idOggetto, std::uint16_t numero) {
    Byte fissi(kFissiCatalogo, 0);
    metti32(fissi.data() + 2, kTipoTabella);
    mettiNumero(fissi, numero);
    metti16(fissi.data() + 12, 0xFFFF);
    metti32(fissi.data() + 18, idOggetto);
    return catalogo({0x00, 0xE0, 0xFF, 0xFF, 0xFF}, fissi, "__SysObjects", nomeLatin1);
}

Byte rigaCatalogoColonna(const std::string& tabellaLatin1, const std::string& nomeLatin1,
                         const ColonnaScritta& colonna, std::uint16_t posizione, std::uint16_t posto,
                         std::uint16_t numero, std::uint32_t versione) {
    Byte fissi(kFissiCatalogo, 0);
    std::uint16_t flag = colonna.identita ? 0 : kNonIdentita;
    if (!variabile(colonna.tipo)) flag |= kFissa;
    if (colonna.nullabile) flag |= kNullabile;
    metti16(fissi.data(), flag);
    metti32(fissi.data() + 2, kTipoColonna);
    mettiNumero(fissi, numero);
    metti16(fissi.data() + 12, posizione);
    metti16(fissi.data() + 14, classe(colonna.tipo, versione));
    // 3.5 repeats the position from 1 here; 4.0 leaves it 0.
    if (versione != kVersione40) metti16(fissi.data() + 16, static_cast<std::uint16_t>(posizione + 1));
    metti16(fissi.data() + 32, colonna.tipo);
    metti32(fissi.data() + 34, lunghezzaMassima(colonna));
    metti16(fissi.data() + 38, colonna.identita ? 0 : 1000);
    metti16(fissi.data() + 40, posto);
    return catalogo({0x80, 0x1F, 0x40, 0xFF, 0xFF}, fissi, tabellaLatin1, nomeLatin1);
}

}  // namespace tastalo::prova::compact::dettaglio
