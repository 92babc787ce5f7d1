#include "store/compact/pagine_compact.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "store/compact/fallimento_compact.h"

namespace tastalo::compact {

namespace {

Fallimento danneggiato(const std::string& dettaglio) {
    return fallimento(kFileDanneggiato, "file danneggiato: " + dettaglio);
}

}  // namespace

PagineCompact::PagineCompact(const FileSolaLettura& file, std::uint32_t radice)
    : m_file(file), m_numeroPagine(file.dimensione() / kDimensionePagina), m_cache(kVociCache) {
    leggiMappa(radice);
    controllaTestate();
}

void PagineCompact::leggiFisica(std::uint32_t numero, std::uint8_t* destinazione, std::size_t quanti) const {
    if (numero >= m_numeroPagine || m_file.leggi(static_cast<std::uint64_t>(numero) * kDimensionePagina,
                                                 destinazione, quanti) != quanti) {
        throw fallimento(kFileTroncato, "file troncato: la pagina " + std::to_string(numero) +
                                            " è oltre la fine del file (" + std::to_string(m_numeroPagine) +
                                            " pagine)");
    }
}

const std::uint8_t* PagineCompact::fisica(std::uint32_t numero) {
    Voce* scelta = &m_cache.front();
    for (Voce& voce : m_cache) {
        if (voce.numero == numero && numero != 0) {
            voce.uso = ++m_orologio;
            return voce.byte.data();
        }
        if (voce.uso < scelta->uso) scelta = &voce;
    }
    scelta->numero = 0;
    leggiFisica(numero, scelta->byte.data(), kDimensionePagina);
    scelta->numero = numero;
    scelta->uso = ++m_orologio;
    return scelta->byte.data();
}

void PagineCompact::leggiMappa(std::uint32_t radice) {
    const std::uint8_t* pagRadice = fisica(radice);
    if (tipoPagina(pagRadice) != kTipoRadice || idPagina(pagRadice) != kIdRadice) {
        throw danneggiato(
            "la pagina " + std::to_string(radice) + " dovrebbe essere la radice della mappa ma è di tipo " +
            std::to_string(tipoPagina(pagRadice)) + " con id logico " + std::to_string(idPagina(pagRadice)));
    }
    std::vector<std::uint32_t> pagineMappa;
    for (std::size_t m = 0; m < kVociRadice; ++m) {
        const std::uint32_t numero = u32(pagRadice + kDimensioneTestata + 4 * m);
        if (numero != 0) {
            pagineMappa.resize(m + 1, 0);
            pagineMappa[m] = numero;
        }
    }
    std::vector<std::uint32_t> distinte;
    std::copy_if(pagineMappa.begin(), pagineMappa.end(), std::back_inserter(distinte),
                 [](std::uint32_t n) { return n != 0; });
    std::sort(distinte.begin(), distinte.end());
    if (const auto doppia = std::adjacent_find(distinte.begin(), distinte.end()); doppia != distinte.end()) {
        throw danneggiato("la pagina " + std::to_string(*doppia) +
                          " compare due volte tra le pagine della mappa");
    }
    m_mappa.resize(pagineMappa.size());
    for (std::size_t m = 0; m < pagineMappa.size(); ++m) {
        if (pagineMappa[m] == 0) continue;
        const std::uint8_t* pagMappa = fisica(pagineMappa[m]);
        if (tipoPagina(pagMappa) != kTipoMappa) {
            throw danneggiato("la pagina " + std::to_string(pagineMappa[m]) + " dovrebbe essere la pagina " +
                              std::to_string(m) + " della mappa ma è di tipo " +
                              std::to_string(tipoPagina(pagMappa)));
        }
        std::vector<std::uint32_t>& voci = m_mappa[m];
        voci.assign(kVociMappa, 0);
        for (std::size_t j = 0; j < kParoleMappa; ++j) {
            const std::uint64_t parola = u64(pagMappa + kDimensioneTestata + 8 * j);
            for (std::size_t k = 0; k < 3; ++k) {
                const auto numero = static_cast<std::uint32_t>((parola >> (20 * k)) & 0xFFFFF);
                if (numero == 0) continue;
                const std::uint32_t id =
                    kPrimoIdMappato + static_cast<std::uint32_t>(m * kVociMappa + 3 * j + k);
                if (numero >= m_numeroPagine) {
                    throw fallimento(kFileTroncato, "file troncato: la pagina " + std::to_string(numero) +
                                                        " (id logico " + std::to_string(id) +
                                                        ") è oltre la fine del file (" +
                                                        std::to_string(m_numeroPagine) + " pagine)");
                }
                voci[3 * j + k] = numero;
                ++m_pagineMappate;
            }
        }
    }
}

void PagineCompact::controllaTestate() {
    // One pass over the current pages: each must carry the logical id the
    // map gives it (a stale copy or a wrong entry would not), and the heap
    // pages are noted by owner so that a table's pages are found in order.
    for (std::size_t m = 0; m < m_mappa.size(); ++m) {
        for (std::size_t i = 0; i < m_mappa[m].size(); ++i) {
            const std::uint32_t numero = m_mappa[m][i];
            if (numero == 0) continue;
            const auto id = static_cast<std::uint32_t>(kPrimoIdMappato + m * kVociMappa + i);
            std::uint8_t testata[kOffsetProprietario + 2];
            leggiFisica(numero, testata, sizeof testata);
            if (idPagina(testata) != id) {
                throw danneggiato("la pagina " + std::to_string(numero) +
                                  ", copia attuale della pagina logica " + std::to_string(id) +
                                  ", dichiara l'id logico " + std::to_string(idPagina(testata)));
            }
            if (tipoPagina(testata) == kTipoHeap) {
                m_heap.push_back((static_cast<std::uint64_t>(u16(testata + kOffsetProprietario)) << 32) | id);
            }
        }
    }
    std::sort(m_heap.begin(), m_heap.end());
}

std::uint32_t PagineCompact::fisicaDi(std::uint32_t id) const {
    const std::uint32_t indice = id - kPrimoIdMappato;
    if (id >= kPrimoIdMappato && indice / kVociMappa < m_mappa.size()) {
        const std::vector<std::uint32_t>& voci = m_mappa[indice / kVociMappa];
        if (!voci.empty() && voci[indice % kVociMappa] != 0) return voci[indice % kVociMappa];
    }
    throw danneggiato("la pagina logica " + std::to_string(id) + " non è nella mappa delle pagine");
}

const std::uint8_t* PagineCompact::pagina(std::uint32_t id, std::uint8_t tipo) {
    const std::uint32_t numero = fisicaDi(id);
    const std::uint8_t* byte = fisica(numero);
    if (idPagina(byte) != id) {
        throw danneggiato("la pagina " + std::to_string(numero) + ", copia attuale della pagina logica " +
                          std::to_string(id) + ", dichiara l'id logico " + std::to_string(idPagina(byte)));
    }
    if (tipoPagina(byte) != tipo) {
        throw danneggiato("la pagina logica " + std::to_string(id) + " è di tipo " +
                          std::to_string(tipoPagina(byte)) + " invece di " + std::to_string(tipo));
    }
    return byte;
}

const std::uint8_t* PagineCompact::paginaHeap(std::uint32_t id, std::uint32_t proprietario) {
    const std::uint8_t* byte = pagina(id, kTipoHeap);
    if (u16(byte + kOffsetProprietario) != proprietario) {
        throw danneggiato("la pagina logica " + std::to_string(id) + " appartiene all'oggetto " +
                          esadecimale(u16(byte + kOffsetProprietario), 4) + " invece di " +
                          esadecimale(proprietario, 4));
    }
    return byte;
}

std::vector<std::uint32_t> PagineCompact::pagineHeap(std::uint32_t proprietario) const {
    const std::uint64_t chiave = static_cast<std::uint64_t>(proprietario) << 32;
    auto inizio = std::lower_bound(m_heap.begin(), m_heap.end(), chiave);
    auto fine = std::lower_bound(inizio, m_heap.end(), chiave + (std::uint64_t{1} << 32));
    std::vector<std::uint32_t> id;
    id.reserve(static_cast<std::size_t>(fine - inizio));
    for (auto it = inizio; it != fine; ++it) id.push_back(static_cast<std::uint32_t>(*it));
    return id;
}

}  // namespace tastalo::compact
