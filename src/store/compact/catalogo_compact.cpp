#include "store/compact/catalogo_compact.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "store/compact/fallimento_compact.h"
#include "store/compact/record_compact.h"
#include "store/compact/testo_compact.h"

namespace tastalo::compact {

namespace {

// A catalog row: u32 column count, null bitmap, fixed part, ten u16 string
// offsets, the strings.
constexpr std::uint32_t kColonneCatalogo = 38;
constexpr std::size_t kInizioFissi = 4 + (kColonneCatalogo + 7) / 8;
constexpr std::size_t kDimensioneFissi = 60;
constexpr std::size_t kStringhe = 10;
constexpr std::size_t kInizioOffset = kInizioFissi + kDimensioneFissi;
constexpr std::size_t kInizioStringhe = kInizioOffset + 2 * kStringhe;

// Fields of the fixed part.
constexpr std::size_t kCampoAttributi = 0;  // u16; 0x08: the column has a fixed length
constexpr std::size_t kCampoGenere = 2;     // u32
constexpr std::size_t kCampoPosizione = 12;
constexpr std::size_t kCampoTipo = 32;
constexpr std::size_t kCampoLunghezza = 34;
constexpr std::size_t kCampoOffset = 40;
constexpr std::size_t kCampoIdOggetto = 18;
constexpr std::uint16_t kAttributoFisso = 0x08;

constexpr std::uint32_t kGenereTabella = 1;
constexpr std::uint32_t kGenereColonna = 4;

constexpr std::size_t kMaxColonne = 1024;
constexpr std::uint32_t kMaxLunghezzaFissa = 8000;

Fallimento catalogoDanneggiato(const std::string& dettaglio) {
    return fallimento(kFileDanneggiato, "file danneggiato: catalogo, " + dettaglio);
}

// String `i` of a catalog row, up to its first NUL.
std::string stringa(const LettoreRecord& record, std::size_t i) {
    const std::uint8_t* dati = record.dati();
    const std::size_t fineDati = record.lunghezza() - kInizioStringhe;
    const std::uint16_t offset = u16(dati + kInizioOffset + 2 * i);
    const std::size_t inizio = offset & 0x7FFF;
    const std::size_t fine =
        i + 1 < kStringhe ? (u16(dati + kInizioOffset + 2 * (i + 1)) & 0x7FFF) : fineDati;
    if (inizio > fine || fine > fineDati) {
        throw catalogoDanneggiato("pagina " + std::to_string(record.pagina()) + ", slot " +
                                  std::to_string(record.slot()) + ": la stringa " + std::to_string(i) +
                                  " esce dal record");
    }
    const std::uint8_t* testo = dati + kInizioStringhe + inizio;
    const std::size_t quanti = fine - inizio;
    if (offset & 0x8000) {
        return utf8DaLatin1(testo, static_cast<std::size_t>(std::find(testo, testo + quanti, 0) - testo));
    }
    std::size_t unita = 0;
    while (unita + 1 < quanti && (testo[unita] | testo[unita + 1]) != 0) unita += 2;
    return utf8DaUtf16(testo, unita);
}

struct ColonnaLetta {
    std::string tabella;
    Colonna colonna;
};

void controllaTabella(Tabella& tabella, Disposizione& disposizione) {
    const auto dettaglio = [&](const std::string& testo) {
        return catalogoDanneggiato("tabella " + tabella.nome + ": " + testo);
    };
    if (tabella.colonne.empty() || tabella.colonne.size() > kMaxColonne) {
        throw dettaglio(std::to_string(tabella.colonne.size()) + " colonne");
    }
    std::sort(tabella.colonne.begin(), tabella.colonne.end(),
              [](const Colonna& a, const Colonna& b) { return a.posizione < b.posizione; });
    disposizione.colonne = static_cast<std::uint32_t>(tabella.colonne.size());
    for (std::size_t i = 0; i < tabella.colonne.size(); ++i) {
        const Colonna& colonna = tabella.colonne[i];
        if (colonna.posizione != i) {
            throw dettaglio("la colonna " + colonna.nome + " è in posizione " +
                            std::to_string(colonna.posizione) + " invece di " + std::to_string(i));
        }
        if (colonna.tipo == kBit) {
            ++disposizione.bit;
        } else if (colonna.variabile) {
            ++disposizione.variabili;
        }
    }
    std::vector<bool> bitUsati(disposizione.bit);
    std::vector<bool> variabiliUsate(disposizione.variabili);
    for (const Colonna& colonna : tabella.colonne) {
        const auto colonnaDanneggiata = [&](const std::string& testo) {
            return dettaglio("colonna " + colonna.nome + " (tipo " + esadecimale(colonna.tipo, 2) +
                             "): " + testo);
        };
        const bool attesaVariabile = tipoVariabile(colonna.tipo);
        const std::uint32_t attesa = dimensioneFissa(colonna.tipo);
        if (colonna.tipo == kBit) {
            if (colonna.variabile || colonna.offsetOIndice >= bitUsati.size() ||
                bitUsati[colonna.offsetOIndice]) {
                throw colonnaDanneggiata("bit " + std::to_string(colonna.offsetOIndice) + " non valido");
            }
            bitUsati[colonna.offsetOIndice] = true;
        } else if (colonna.variabile) {
            if ((attesa != 0) || colonna.offsetOIndice >= variabiliUsate.size() ||
                variabiliUsate[colonna.offsetOIndice]) {
                throw colonnaDanneggiata("indice variabile " + std::to_string(colonna.offsetOIndice) +
                                         " non valido");
            }
            variabiliUsate[colonna.offsetOIndice] = true;
        } else {
            if (attesaVariabile || (attesa != 0 && colonna.lunghezzaMassima != attesa) ||
                colonna.lunghezzaMassima == 0 || colonna.lunghezzaMassima > kMaxLunghezzaFissa) {
                throw colonnaDanneggiata("lunghezza fissa " + std::to_string(colonna.lunghezzaMassima) +
                                         " non valida");
            }
            disposizione.fissi =
                std::max(disposizione.fissi,
                         static_cast<std::uint32_t>(colonna.offsetOIndice + colonna.lunghezzaMassima));
        }
    }
}

}  // namespace

std::uint32_t dimensioneFissa(std::uint16_t tipo) {
    switch (tipo) {
        case kTinyint: return 1;
        case kSmallint: return 2;
        case kInt: return 4;
        case kReal: return 4;
        case kBigint: return 8;
        case kDatetime: return 8;
        case kFloat: return 8;
        case kMoney: return 8;
        case kUniqueidentifier: return 16;
        default: return 0;
    }
}

bool tipoVariabile(std::uint16_t tipo) {
    return tipo == kNvarchar || tipo == kNtext || tipo == kVarbinary || tipo == kImage;
}

Catalogo leggiCatalogo(PagineCompact& pagine) {
    Catalogo catalogo;
    std::vector<ColonnaLetta> colonne;
    LettoreRecord record(pagine, kIdCatalogo, "catalogo");
    while (record.prossimo()) {
        const std::uint8_t* dati = record.dati();
        if (record.lunghezza() < kInizioStringhe || u32(dati) != kColonneCatalogo) {
            throw catalogoDanneggiato("pagina " + std::to_string(record.pagina()) + ", slot " +
                                      std::to_string(record.slot()) + ": riga non valida (" +
                                      std::to_string(record.lunghezza()) + " byte)");
        }
        const std::uint8_t* fissi = dati + kInizioFissi;
        const std::uint32_t genere = u32(fissi + kCampoGenere);
        if (genere == kGenereTabella) {
            Tabella tabella;
            tabella.nome = stringa(record, 1);
            tabella.idOggetto = u32(fissi + kCampoIdOggetto);
            catalogo.tabelle.push_back(std::move(tabella));
        } else if (genere == kGenereColonna) {
            ColonnaLetta letta;
            letta.tabella = stringa(record, 0);
            letta.colonna.nome = stringa(record, 1);
            letta.colonna.posizione = u16(fissi + kCampoPosizione);
            letta.colonna.tipo = u16(fissi + kCampoTipo);
            letta.colonna.lunghezzaMassima = u32(fissi + kCampoLunghezza);
            letta.colonna.variabile = (u16(fissi + kCampoAttributi) & kAttributoFisso) == 0;
            letta.colonna.offsetOIndice = u16(fissi + kCampoOffset);
            colonne.push_back(std::move(letta));
        }
    }
    std::unordered_map<std::string, std::size_t> perNome;
    std::unordered_set<std::uint32_t> oggetti;
    for (std::size_t i = 0; i < catalogo.tabelle.size(); ++i) {
        const Tabella& tabella = catalogo.tabelle[i];
        if (tabella.nome.empty() || tabella.idOggetto == kIdCatalogo ||
            !perNome.emplace(tabella.nome, i).second || !oggetti.insert(tabella.idOggetto).second) {
            throw catalogoDanneggiato("la tabella \"" + tabella.nome + "\" (oggetto " +
                                      esadecimale(tabella.idOggetto, 4) +
                                      ") non ha un nome o un oggetto suo");
        }
    }
    for (ColonnaLetta& letta : colonne) {
        const auto trovata = perNome.find(letta.tabella);
        if (trovata == perNome.end()) {
            throw catalogoDanneggiato("la colonna " + letta.colonna.nome + " appartiene alla tabella " +
                                      letta.tabella + ", che non c'è");
        }
        Tabella& tabella = catalogo.tabelle[trovata->second];
        if (tabella.colonne.size() >= kMaxColonne)
            throw catalogoDanneggiato("tabella " + tabella.nome + ": troppe colonne");
        tabella.colonne.push_back(std::move(letta.colonna));
    }
    catalogo.disposizioni.resize(catalogo.tabelle.size());
    for (std::size_t i = 0; i < catalogo.tabelle.size(); ++i)
        controllaTabella(catalogo.tabelle[i], catalogo.disposizioni[i]);
    return catalogo;
}

}  // namespace tastalo::compact
