#include "support/compact/scrittore_compact.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>

#include "support/compact/catalogo_compact.h"
#include "support/compact/heap_compact.h"
#include "support/compact/riga_compact.h"

namespace tastalo::prova::compact {

using namespace dettaglio;

namespace {

constexpr std::uint32_t kPrimoIdDati = 1027;  // the catalog's page list; below are the map's
constexpr std::size_t kVociMappa = 1527;      // 20-bit entries of one map page
constexpr std::uint32_t kTipoRadice = 1;
constexpr std::uint32_t kTipoMappa = 2;

// Logical id → its bytes, current and older copies.
struct Pagine {
    std::map<std::uint32_t, Byte> attuali;
    std::map<std::uint32_t, Byte> vecchie;

    void aggiungi(std::vector<PaginaLogica>&& pagine, bool vecchia) {
        for (PaginaLogica& p : pagine) (vecchia ? vecchie : attuali)[p.idLogico] = std::move(p.byte);
    }
};

std::vector<std::uint32_t> ids(const std::vector<PaginaLogica>& pagine) {
    std::vector<std::uint32_t> out;
    for (const PaginaLogica& p : pagine) out.push_back(p.idLogico);
    return out;
}

// Older copies hold other rows, whole: the same ones in reverse order, laid
// out on as many of the pages' logical ids as they fill.
std::vector<PaginaLogica> copieVecchie(std::vector<Byte> record, std::uint16_t proprietario,
                                       const std::vector<PaginaLogica>& attuali) {
    if (attuali.empty()) return {};
    std::reverse(record.begin(), record.end());
    std::vector<PaginaLogica> vecchie = disponiHeap(record, proprietario, attuali.front().idLogico, false);
    const std::vector<std::uint32_t> idAttuali = ids(attuali);
    const std::set<std::uint32_t> nominate(idAttuali.begin(), idAttuali.end());
    std::erase_if(vecchie, [&](const PaginaLogica& p) { return !nominate.contains(p.idLogico); });
    return vecchie;
}

std::uint32_t idOggetto(std::size_t tabella) {
    return kPrimoIdDati + 1 + static_cast<std::uint32_t>(tabella);
}

std::string minuscolo(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

Byte paginaMappa(const std::map<std::uint32_t, std::uint32_t>& fisiche, std::size_t m) {
    Byte p(kPagina, 0);
    intestaPagina(p.data(), kTipoMappa, 2, 0);
    std::uint32_t usate = 0;
    for (std::size_t i = 0; i < kVociMappa; ++i) {
        const auto it = fisiche.find(static_cast<std::uint32_t>(kPrimoIdDati + kVociMappa * m + i));
        if (it == fisiche.end()) continue;
        std::uint8_t* gruppo = p.data() + 16 + i / 3 * 8;
        std::uint64_t v = 0;
        for (int b = 7; b >= 0; --b) v = v << 8 | gruppo[b];
        v |= static_cast<std::uint64_t>(it->second) << (20 * (i % 3));
        metti64(gruppo, v);
        ++usate;
    }
    metti32(p.data() + 4088, usate);
    return p;
}

Byte radice(const std::vector<std::uint32_t>& pagineMappa) {
    Byte p(kPagina, 0);
    intestaPagina(p.data(), kTipoRadice, 1, 0);
    for (std::size_t m = 0; m < pagineMappa.size(); ++m) metti32(p.data() + 16 + 4 * m, pagineMappa[m]);
    metti32(p.data() + 4088, static_cast<std::uint32_t>(pagineMappa.size()));
    return p;
}

// The header as the engine writes it for a new file; the fields past the
// map root are kept as found, their meaning unknown.
Byte intestazione(const Opzioni& opzioni, std::uint32_t radice) {
    Byte p(kPagina, 0);
    const bool quattro = opzioni.versione == kVersione40;
    metti32(p.data() + 0x08, opzioni.contatoreCommit);
    metti32(p.data() + 0x10, opzioni.versione);
    metti32(p.data() + 0x14, 1);
    metti32(p.data() + 0x18, 1);
    metti32(p.data() + 0x20, 2);
    metti32(p.data() + 0x28, opzioni.lcid);
    metti32(p.data() + 0x2C, radice);
    metti32(p.data() + 0x30, quattro ? 0x4 : 0x50003);
    metti32(p.data() + 0x34, quattro ? 0x12122 : 0x14ED);
    metti32(p.data() + 0x40, 3);
    metti32(p.data() + 0x44, 0x24A);
    metti32(p.data() + 0x48, quattro ? 0xF020006 : 0xF060006);
    if (opzioni.marcaCifratura) {
        for (std::size_t i = 0x4C; i < 0x5C; ++i) p[i] = static_cast<std::uint8_t>(0x5A + 7 * i);
    }
    metti32(p.data() + 0xAC, 0x60101);
    metti32(p.data() + 0xB0, 1);
    metti32(p.data() + 0xC0, 1);
    return p;
}

// The catalog's rows: each table, then its columns. A table's object id is
// the logical id of its page list: 1027 + 1 + its index (1027 is the
// catalog's own), as in the engine's files.
std::vector<Byte> righeCatalogo(const std::vector<TabellaScritta>& tabelle, std::uint32_t versione,
                                std::uint16_t& numero) {
    std::vector<Byte> catalogo;
    std::set<std::string> nomi;
    for (std::size_t t = 0; t < tabelle.size(); ++t) {
        const TabellaScritta& tabella = tabelle[t];
        const std::string nome = latin1(tabella.nome);
        if (!nomi.insert(minuscolo(nome)).second) {
            throw std::invalid_argument("due tabelle di nome " + tabella.nome);
        }
        if (tabella.colonne.empty()) {
            throw std::invalid_argument("tabella " + tabella.nome + " senza colonne");
        }
        const Disposizione disposizione = disponi(tabella);
        catalogo.push_back(rigaCatalogoTabella(nome, idOggetto(t), numero++));
        for (std::size_t c = 0; c < tabella.colonne.size(); ++c) {
            catalogo.push_back(rigaCatalogoColonna(nome, latin1(tabella.colonne[c].nome), tabella.colonne[c],
                                                   static_cast<std::uint16_t>(c), disposizione.posto[c],
                                                   numero++, versione));
        }
    }
    return catalogo;
}

// Every logical page, current and older, with the catalog's and the
// tables' page lists; `prossimoId` ends past the last id used.
Pagine pagineLogiche(const std::vector<TabellaScritta>& tabelle, const Opzioni& opzioni,
                     std::uint32_t& prossimoId) {
    std::uint16_t numero = 2;
    const std::vector<Byte> catalogo = righeCatalogo(tabelle, opzioni.versione, numero);
    prossimoId = idOggetto(tabelle.size());
    Pagine pagine;
    std::vector<PaginaLogica> heap = disponiHeap(catalogo, kIdCatalogo, prossimoId);
    prossimoId += static_cast<std::uint32_t>(heap.size());
    pagine.aggiungi({paginaOggetto(kPrimoIdDati, ids(heap))}, false);
    if (opzioni.copieVecchie) {
        // An older catalog also names a table since dropped.
        std::vector<Byte> vecchio = catalogo;
        const ColonnaScritta colonna{"Colonna", tipo::kInt};
        vecchio.push_back(
            rigaCatalogoColonna("Vecchia", "Colonna", colonna, 0, 0, numero++, opzioni.versione));
        vecchio.push_back(rigaCatalogoTabella("Vecchia", prossimoId + 1'000, numero++));
        if (heap.empty()) {
            // No current catalog page to be an older copy of: one no map names.
            std::reverse(vecchio.begin(), vecchio.end());
            pagine.aggiungi(disponiHeap(vecchio, kIdCatalogo, prossimoId++, false), true);
        } else {
            pagine.aggiungi(copieVecchie(std::move(vecchio), kIdCatalogo, heap), true);
        }
    }
    pagine.aggiungi(std::move(heap), false);

    for (std::size_t t = 0; t < tabelle.size(); ++t) {
        const TabellaScritta& tabella = tabelle[t];
        const Disposizione disposizione = disponi(tabella);
        std::vector<Byte> righe;
        for (std::size_t r = 0; r < tabella.righe.size(); ++r) {
            righe.push_back(codificaRiga(tabella, disposizione, r));
        }
        const auto proprietario = static_cast<std::uint16_t>(idOggetto(t));
        heap = disponiHeap(righe, proprietario, prossimoId);
        prossimoId += static_cast<std::uint32_t>(heap.size());
        pagine.aggiungi({paginaOggetto(idOggetto(t), ids(heap))}, false);
        if (opzioni.copieVecchie) pagine.aggiungi(copieVecchie(std::move(righe), proprietario, heap), true);
        pagine.aggiungi(std::move(heap), false);
    }
    if (prossimoId > 0xFFFFF) throw std::invalid_argument("troppe pagine per id logici di 20 bit");
    return pagine;
}

}  // namespace

std::vector<std::uint8_t> scriviFileCompact(const std::vector<TabellaScritta>& tabelle,
                                            const Opzioni& opzioni) {
    std::uint32_t prossimoId = 0;
    Pagine pagine = pagineLogiche(tabelle, opzioni, prossimoId);

    // Physical order is not logical order: the pages go last id first, an
    // older copy before the current one, the map and its root at the end;
    // older copies of the map root and map pages at the start.
    std::vector<Byte> file(1);
    const std::size_t pagineMappa = (prossimoId - 1 - kPrimoIdDati) / kVociMappa + 1;
    const std::size_t inizioMappaVecchia = file.size();
    if (opzioni.copieVecchie) file.resize(file.size() + 1 + pagineMappa);
    std::map<std::uint32_t, std::uint32_t> attuali;
    std::map<std::uint32_t, std::uint32_t> vecchie;
    std::uint32_t sequenza = 10;
    constexpr std::uint32_t kDopo = 100'000;  // current copies were written after older ones
    for (auto it = pagine.attuali.rbegin(); it != pagine.attuali.rend(); ++it) {
        if (auto v = pagine.vecchie.find(it->first); v != pagine.vecchie.end()) {
            metti32(v->second.data() + 8, sequenza);
            vecchie[it->first] = static_cast<std::uint32_t>(file.size());
            file.push_back(std::move(v->second));
            pagine.vecchie.erase(v);
        }
        metti32(it->second.data() + 8, sequenza++ + kDopo);
        attuali[it->first] = static_cast<std::uint32_t>(file.size());
        file.push_back(std::move(it->second));
    }
    for (auto& [id, byte] : pagine.vecchie) {  // copies of no current page
        metti32(byte.data() + 8, sequenza++);
        file.push_back(std::move(byte));
    }

    std::vector<std::uint32_t> mappa;
    for (std::size_t m = 0; m < pagineMappa; ++m) {
        mappa.push_back(static_cast<std::uint32_t>(file.size()));
        file.push_back(paginaMappa(attuali, m));
        metti32(file.back().data() + 8, sequenza + kDopo);
    }
    const auto posizioneRadice = static_cast<std::uint32_t>(file.size());
    file.push_back(radice(mappa));
    metti32(file.back().data() + 8, sequenza + kDopo);

    if (opzioni.copieVecchie) {
        // The older map names the older copies where there are some.
        for (const auto& [id, fisica] : attuali) vecchie.try_emplace(id, fisica);
        std::vector<std::uint32_t> mappaVecchia;
        for (std::size_t m = 0; m < pagineMappa; ++m) {
            const std::size_t posto = inizioMappaVecchia + 1 + m;
            mappaVecchia.push_back(static_cast<std::uint32_t>(posto));
            file[posto] = paginaMappa(vecchie, m);
        }
        file[inizioMappaVecchia] = radice(mappaVecchia);
    }
    file[0] = intestazione(opzioni, posizioneRadice);

    std::vector<std::uint8_t> out;
    out.reserve(file.size() * kPagina);
    for (const Byte& p : file) out.insert(out.end(), p.begin(), p.end());
    return out;
}

void scriviFileCompact(const std::filesystem::path& percorso, const std::vector<TabellaScritta>& tabelle,
                       const Opzioni& opzioni) {
    const std::vector<std::uint8_t> byte = scriviFileCompact(tabelle, opzioni);
    std::ofstream file(percorso, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(byte.data()), static_cast<std::streamsize>(byte.size()));
    if (!file.flush()) throw std::runtime_error("impossibile scrivere " + percorso.string());
}

}  // namespace tastalo::prova::compact
